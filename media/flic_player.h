// CFlicPlayer: an FLC animation played frame by frame from the view's animation step, drawn into the page.
#pragma once

#include <memory>

#include "media/flic_decoder.h"
#include "media/media_environment.h"
#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

class CBitmap;
class CDC;
class IClock;
class IMediaByteSource;

// Error codes; Close keeps the last one.
namespace FlicError {
constexpr int kNone = 0;
constexpr int kNoMemory = 1;
constexpr int kHeader = 2;
constexpr int kOpen = 3;
constexpr int kNotFlc = 4;
constexpr int kFrameHeader = 5;
constexpr int kData = 6;
}  // namespace FlicError

// Runs on the user-interface thread only, with no timer of its own: the
// media-file object calls OnTick from the view's animation step and draws the
// frame into the page's back buffer when OnTick answers TRUE. The end of the
// last pass posts MM_MCINOTIFY (953) with 1 and the player's id to the
// notification window.
class CFlicPlayer {
 public:
  // The display's bits per pixel as the application recorded them: only 32 is
  // drawn here (the display is true colour); any other depth does not open.
  explicit CFlicPlayer(int displayBits = 32);
  ~CFlicPlayer();
  CFlicPlayer(const CFlicPlayer&) = delete;
  CFlicPlayer& operator=(const CFlicPlayer&) = delete;

  // Opens the file through the media layer's byte source (pre-load memory,
  // the packed data file or the disk) and decodes frame 1. loopValue -1 loops
  // for ever, otherwise the number of passes (0 and 1 play one). FALSE with
  // the error code set when it cannot.
  BOOL Start(const MediaEnvironment& env, const CString& file, HWND notify, int loopValue);
  // The same on bytes already open (null: the file could not be opened),
  // timed by the clock, with the id the end notice carries.
  BOOL Start(std::unique_ptr<IMediaByteSource> file, const IClock& clock, DWORD id, HWND notify, int loopValue);
  // TRUE when a new frame was decoded (the caller then draws it).
  BOOL OnTick();
  // The current frame into the display rectangle: unscaled at its top-left
  // corner, cut to the smaller size, or stretched over the whole rectangle.
  void Draw(CDC* dc, BOOL unscaled);
  void Play();
  // Playing off, passes done 0.
  void Stop();
  // Decodes from frame 1 up to frame counter n (0 is frame 1).
  BOOL GotoFrame(CDC* dc, int n);
  // Decodes forward to the last frame, drawing it into dc when one is given.
  BOOL SeekToEnd(CDC* dc);
  // Frame 1 again, counting afresh.
  BOOL Rewind(CDC* dc);
  // Frames decoded after frame 1 before a pass ends.
  void SetEndFrame(int n);
  void Close();

  const CRect& GetDisplayRect() const { return m_displayRect; }
  void SetDisplayRect(const CRect& rect) { m_displayRect = rect; }
  int GetWidth() const { return m_decoder.Width(); }
  int GetHeight() const { return m_decoder.Height(); }
  int GetError() const { return m_error; }
  // The text of a code; codes outside 1..6 have the text of 0.
  static CString GetErrorText(int code);

  BOOL IsOpen() const { return m_open; }
  BOOL IsPlaying() const { return m_playing; }
  // The header's frame count, and frames decoded since frame 1.
  int GetFrameCount() const { return m_frameCount; }
  int GetFrameCounter() const { return m_frameCounter; }
  int GetPassesDone() const { return m_passesDone; }
  // The lParam of the end notice: from the media layer's id counter, never 0.
  DWORD GetId() const { return m_id; }
  // The file's own period (the header's speed, milliseconds per frame) and
  // the one played; a negative period plays as 0 (a frame on every tick).
  LONG GetFileSpeed() const { return m_fileSpeed; }
  DWORD GetFramePeriod() const { return m_framePeriod; }
  void SetFramePeriod(long long ms);
  // The decoded frame, 0x00RRGGBB words top row first (the bitmap's layout).
  const CFlicDecoder& Frame() const { return m_decoder; }

 private:
  // Decodes the frame at the current read position; the error code on failure.
  BOOL DecodeNext(CDC* dc);
  BOOL ReadAt(unsigned long long position, void* out, std::size_t count);
  BOOL Fail(int code);
  // Closes, then fails with the code.
  BOOL FailStart(int code);
  // The end of a pass, or of play after a damaged frame.
  void EndOfPlay();

  int m_displayBits;
  std::unique_ptr<IMediaByteSource> m_file;
  const IClock* m_clock = nullptr;
  CFlicDecoder m_decoder;
  std::unique_ptr<CDC> m_memDC;
  std::unique_ptr<CBitmap> m_bitmap;
  CRect m_displayRect;
  HWND m_notify = nullptr;
  DWORD m_id = 0;

  int m_loopValue = 1;
  int m_passesDone = 0;
  int m_framesPerPass = 0;
  int m_lastFrameIndex = 0;
  int m_frameCounter = 0;
  int m_frameCount = 0;
  LONG m_fileSpeed = 0;
  DWORD m_framePeriod = 0;
  DWORD m_nextDue = 0;
  unsigned long long m_firstFrame = 0;
  unsigned long long m_secondFrame = 0;
  unsigned long long m_readPos = 0;

  BOOL m_open = FALSE;
  BOOL m_playing = FALSE;
  BOOL m_drawAtOnce = TRUE;
  int m_error = FlicError::kNone;
};
