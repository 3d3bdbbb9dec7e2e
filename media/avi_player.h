// CAviPlayer: a kind-4 medium: an AVI file drawn frame by frame into the page, timed by its sound or by the clock.
#pragma once

#include <climits>
#include <memory>

#include "media/avi_audio_player.h"
#include "media/media_environment.h"
#include "platform/base/cstring.h"
#include "platform/base/geometry.h"

class CDC;
class CMmioMemFile;
class CVideoDecoder;
class IClock;

// Times are milliseconds of the file's time line, which runs over both the
// first video and the first audio stream. The page's animation step calls
// OnIdle; a repaint calls Draw. At the end of its last pass the player posts
// 953 (1, its id) to the notify window. User-interface thread only.
class CAviPlayer {
 public:
  explicit CAviPlayer(const MediaEnvironment& env);
  ~CAviPlayer();
  CAviPlayer(const CAviPlayer&) = delete;
  CAviPlayer& operator=(const CAviPlayer&) = delete;

  // Opens the file (pre-load memory and the packed data file through the
  // memory-file list, else the disk); loops -1 plays for ever.
  BOOL Open(const CString& name, HWND notifyWindow, LONG loopCount);
  // Plays from the start time; the sound from the current time to the range end.
  void Play();
  void Stop();
  // The tick: TRUE when the current time changed (the frame is to be redrawn).
  BOOL OnIdle();
  // Draws the frame of the current time scaled into the rectangle (flag unused).
  void Draw(CDC* dc, BOOL flag = FALSE);
  // -1: the current time becomes the stop time; otherwise the start time
  // (and the current time) becomes the frame's time.
  void Seek(LONG frame);
  // The stop time becomes the frame's time (-1 without video); answers it.
  LONG FrameToTime(LONG frame);
  // Frames of the video stream, 0 without one.
  LONG GetLength() const;
  // The frame of the current time, 0 before the video stream's start.
  LONG GetCurrentFrame() const;
  void SetRect(const CRect& rect) { m_rect = rect; }

  // The lParam of its notices (from the media id counter, never 0).
  DWORD GetId() const { return m_id; }
  BOOL IsPlaying() const { return m_playing; }
  LONG GetCurrentTime() const { return m_rangeStart + m_offset; }
  LONG GetStartTime() const { return m_startTime; }
  LONG GetStopTime() const { return m_stopTime; }
  LONG GetRangeStart() const { return m_rangeStart; }
  LONG GetRangeEnd() const { return m_rangeEnd; }
  LONG GetPassesPlayed() const { return m_passes; }
  const CRect& GetRect() const { return m_rect; }
  BOOL HasVideo() const;
  BOOL HasAudio() const;
  // Whether its sound is playing (FALSE when it times itself by the clock).
  BOOL IsAudioPlaying() const { return m_audio.IsPlaying(); }
  // The name the file was opened under: its ".TVN+" key when it is read from memory.
  const CString& GetPath() const { return m_path; }
  BOOL IsRegistered() const { return m_memFile != nullptr; }

 private:
  void Close();
  void SetCurrentTime(LONG time) { m_offset = time - m_rangeStart; }
  // The sound track decoded once, at the first play.
  bool PrepareSound();
  LONG SampleAtTime(LONG time) const;

  MediaEnvironment m_env;
  const IClock* m_clock = nullptr;
  std::unique_ptr<CVideoDecoder> m_decoder;
  CAviAudioPlayer m_audio;
  AviAudioStream m_sound;
  bool m_soundTried = false;
  CMmioMemFile* m_memFile = nullptr;  // this player's entry in the memory-file list

  DWORD m_id = 0;
  BOOL m_playing = FALSE;
  DWORD m_startTick = 0;
  LONG m_startTime = 0;
  LONG m_stopTime = -1;
  LONG m_rangeStart = INT_MAX;
  LONG m_rangeEnd = 0;
  LONG m_videoStart = INT_MAX;
  LONG m_videoEnd = 0;
  LONG m_offset = 0;
  CRect m_rect;
  LONG m_loopCount = -1;
  LONG m_passes = 0;
  HWND m_notify = nullptr;
  CString m_path;
};
