// CMciVideoDevice: "avivideo" and "mpegvideo" devices of media with a picture: frames on the clock, sound as a voice.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/base/geometry.h"
#include "platform/mm/mci_device.h"
#include "platform/mm/mci_video_window.h"
#include "platform/mm/pcm_buffer.h"
#include "platform/gdi/pixel_image.h"
#include "platform/mm/video_frames.h"

class CDC;

// The play clock is the program's clock: the picture and the end follow it,
// and the sound (when the medium has one) plays alongside as one voice. The
// time line is the longer of picture and sound. Every command, and every
// drawing of the picture, first brings the device up to the clock, which is
// when a finished play posts its notice; the MCI window asks on its play
// timer. While a notice waits, a watcher thread asks too (every 10 ms), so a
// device that nobody asks still reports its end.
//
// The picture shows in a window (CMciVideoWindows): the default window of
// its own, a window of the program given by "window ... handle", or, for a
// device whose opener draws the picture itself (the MCI window), the
// opener's window alone.
class CMciVideoDevice final : public CMciDevice, private IMciPicture {
 public:
  // The factory of a type. A medium without a picture (or with one the video
  // layer cannot read) opens as a sound device, as "mpegvideo" sounds always
  // did. framesByDefault: the time format starts as frames (avivideo).
  static MciDeviceFactory Factory(VideoFramesOpener opener, bool framesByDefault);

  CMciVideoDevice(DWORD id, std::string type, std::unique_ptr<IVideoFrames> frames,
                  std::shared_ptr<const CPcmBuffer> sound, MciDeviceServices& services, bool framesByDefault);
  ~CMciVideoDevice() override;

  DWORD Command(const CMciCommand& command, std::string& reply, HWND callback) override;
  void Close() override;
  bool Draw(CDC& dc, const CRect& area) override;
  void SetPictureHost(HWND host) override;

  // The frame the clock stands at (the last one past the picture's end).
  DWORD CurrentFrame() override;

 private:
  enum class Mode { stopped, playing, paused };

  DWORD CommandLocked(const CMciCommand& command, std::string& reply, HWND callback);
  // The watcher runs while a notice waits; stopped and joined without the lock held.
  void StartWatcher();
  void StopWatcher();

  DWORD Play(const CMciCommand& command, HWND callback);
  DWORD Seek(const CMciCommand& command);
  DWORD Status(const CMciCommand& command, std::string& reply);
  DWORD Set(const CMciCommand& command);
  DWORD Put(const CMciCommand& command);
  DWORD Where(const CMciCommand& command, std::string& reply) const;
  DWORD SetAudio(const CMciCommand& command);
  DWORD Window(const CMciCommand& command);
  bool DrawPictureInto(CDC& dc, const CRect& dest, const CRect& clip) override;
  // The frame the clock stands at decoded into m_picture; false while none is.
  bool DecodeCurrent();

  // Ends a play whose end the clock has passed (posting its notice).
  void Update();
  double PositionMs() const;
  DWORD FrameAt(double ms) const;
  double LengthMs() const;
  // The position is kept and the sound stops.
  void Halt(Mode mode);
  void StartVoice(double fromMs);
  // A number in the time format to milliseconds and back.
  bool ToMs(const std::string& text, double& ms) const;
  DWORD FromMs(double ms) const;
  // Until the play ends, bounded by its length and 2 s of steady time;
  // called without the lock, which the watcher and the windows take
  // meanwhile. On the user-interface thread the program's loop runs (the
  // callback's input held back), so the picture moves; an Escape or the quit
  // message ends the wait, not the play.
  void WaitForEnd(HWND callback);

  std::mutex m_lock;  // the state below, between callers and the watcher
  std::condition_variable m_wake;
  std::thread m_watcher;
  bool m_stopWatcher = false;

  MciDeviceServices& m_services;
  std::unique_ptr<IVideoFrames> m_frames;
  std::shared_ptr<const CPcmBuffer> m_sound;  // empty without sound
  CMciNotifier m_notifier;
  Mode m_mode = Mode::stopped;
  double m_positionMs = 0.0;  // while not playing
  double m_startMs = 0.0;     // where the running play started (or resumed)
  DWORD m_startClock = 0;
  double m_toMs = 0.0;        // where the running play ends
  double m_rate = 1.0;
  float m_gain = 1.0f;
  DWORD m_voice = 0;
  bool m_framesFormat;
  CRect m_source;       // the part of the frame shown
  CRect m_destination;  // where it goes in the window; empty: the source's size at 0,0
  CPixelImage m_picture;  // the one frame decoded last
  DWORD m_pictureFrame = 0;
  bool m_havePicture = false;
  // Last: its windows go before the state their painting reads.
  std::unique_ptr<CMciVideoWindows> m_windows;
  // Gone with the device: a wait whose loop ran a close of it stops looking.
  std::shared_ptr<const bool> m_life = std::make_shared<const bool>(true);
};
