// CActiveMovieWnd: a kind-1 clip played by FFmpeg: its worker thread reads and decodes the clip, the mixer sounds it.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "media/media_environment.h"
#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/pcm_buffer.h"

// States: 0 no clip built, 1 stopped, 2 paused, 3 running. Every control call
// does nothing in state 0 (also while the worker still builds). The worker
// announces a built clip with 953 (2, handle) and the end of play with
// 953 (1, handle); at its end the clip stays running, so moving its position
// plays on from there.
class CActiveMovieWnd {
 public:
  // The extensions a clip may have; any other cannot be played.
  static bool IsPlayableExtension(const CString& path);
  // FFmpeg is part of the program: always TRUE.
  static BOOL IsAvailable() { return TRUE; }

  CActiveMovieWnd() = default;
  ~CActiveMovieWnd() { Free(); }
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
  // The clip's picture is not shown yet: these keep what they are given.
  void ShowVideo(BOOL show) { m_videoShown = show; }
  void SetWindowRect(const CRect& rect) { m_windowRect = rect; }
  BOOL GetVideoRect(CRect& rect) const;
  void SetVideoRect(const CRect& rect) { m_videoRect = rect; }

  int GetState() const { return m_state.load(); }
  DWORD GetHandle() const { return m_handle; }
  const CString& GetPath() const { return m_path; }

 private:
  void Build(MediaEnvironment env, BOOL reportErrors);
  void Report(const MediaEnvironment& env, UINT stringId);
  DWORD StopFrame() const;
  void StartVoice();
  void ApplyLevels();

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

  BOOL m_videoShown = FALSE;
  CRect m_windowRect;
  CRect m_videoRect;
};
