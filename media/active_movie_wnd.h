// CActiveMovieWnd: a kind-1 clip played by FFmpeg: its worker thread reads and decodes the clip, the mixer sounds it,
// and its video window shows the picture.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "media/media_environment.h"
#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/mm/pcm_buffer.h"
#include "platform/gdi/pixel_image.h"

class CClipVideoWnd;
class CDC;
class IVideoFrames;

// States: 0 no clip built, 1 stopped, 2 paused, 3 running. Every control call
// does nothing in state 0 (also while the worker still builds). The worker
// announces a built clip with 953 (2, handle) and the end of play with
// 953 (1, handle); at its end the clip stays running, so moving its position
// plays on from there.
//
// A clip with a picture has a video window: a hidden child of the owner,
// made on the user-interface thread the first time the clip is placed or
// shown, and destroyed by Free. Its picture follows the clip's clock (the
// sound's voice; a clip whose picture outlasts its sound is padded with
// silence). Source rectangles are given and read as left, top, width and
// height in the rectangle's four fields.
class CActiveMovieWnd {
 public:
  // The extensions a clip may have; any other cannot be played.
  static bool IsPlayableExtension(const CString& path);
  // FFmpeg is part of the program: always TRUE.
  static BOOL IsAvailable() { return TRUE; }

  CActiveMovieWnd();
  ~CActiveMovieWnd();
  CActiveMovieWnd(const CActiveMovieWnd&) = delete;
  CActiveMovieWnd& operator=(const CActiveMovieWnd&) = delete;

  // Stops an earlier clip, then starts the worker on the path; FALSE without a media layer.
  BOOL Open(const MediaEnvironment& env, const CString& path, BOOL reportErrors);
  // Stops the worker (its flag interrupts reading and decoding) and joins it.
  void Free();

  void Play();
  void Pause();
  void Stop();
  // Seconds. current > -2: the position (negative or past the end: the end);
  // stop > 0: where play stops (past the end: the end).
  void SetPosition(double current, double stop);
  double GetPosition() const;
  double GetDuration() const;
  // hundredths of a decibel: volume -10000..0, balance -10000..10000 (clamped).
  void SetVolume(LONG volume);
  void SetBalance(LONG balance);
  // 1.0 normal; 0 or below is ignored.
  void SetRate(double rate);
  // The video window shown or hidden, and placed (owner client coordinates).
  void ShowVideo(BOOL show);
  void SetWindowRect(const CRect& rect);
  // The part of the picture shown (left, top, width, height); empty and
  // FALSE without a picture. A part reaching outside the picture is refused.
  BOOL GetVideoRect(CRect& rect) const;
  void SetVideoRect(const CRect& rect);
  // The picture's own size; FALSE without a picture.
  BOOL GetVideoSize(CSize& size) const;

  // For the video window: the frame the clock stands at (-1 without a
  // picture), and the picture drawn into the client area, answering that
  // frame. A frame that cannot be decoded leaves the one before (black
  // before the first), and is not tried again until the clock moves on.
  LONG CurrentFrame() const;
  LONG DrawPicture(CDC& dc, const CRect& client);
  CClipVideoWnd* GetVideoWnd() const { return m_window.get(); }

  int GetState() const { return m_state.load(); }
  DWORD GetHandle() const { return m_handle; }
  const CString& GetPath() const { return m_path; }

 private:
  void Build(MediaEnvironment env, BOOL reportErrors);
  void Report(const MediaEnvironment& env, UINT stringId);
  DWORD StopFrame() const;
  void StartVoice();
  void ApplyLevels();
  // The window, made when the clip has a picture and this is the owner's thread; null otherwise.
  CClipVideoWnd* VideoWindow();
  // Under the lock.
  LONG FrameAt(double seconds) const;

  CMediaSystem* m_system = nullptr;
  HWND m_owner = nullptr;
  CString m_path;
  DWORD m_handle = 0;
  std::atomic<int> m_state{0};
  std::atomic<bool> m_stop{false};
  std::thread m_worker;

  mutable std::mutex m_mutex;  // the sound the worker hands over, and the voice
  std::shared_ptr<const CPcmBuffer> m_sound;
  double m_duration = 0.0;
  DWORD m_voice = 0;
  DWORD m_position = 0;   // frame, while no voice plays
  DWORD m_stopFrame = 0;  // 0: the end
  LONG m_volume = 0;
  LONG m_balance = 0;
  double m_rate = 1.0;

  // The picture: handed over by the worker under the lock, then used on the user-interface thread.
  std::unique_ptr<IVideoFrames> m_frames;
  CRect m_source;        // the part shown
  CPixelImage m_picture;  // the frame decoded last
  LONG m_pictureFrame = -1;

  // User-interface thread only.
  std::unique_ptr<CClipVideoWnd> m_window;
  CRect m_windowRect;
};
