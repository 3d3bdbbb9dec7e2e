// The FLIC player: opening and header checks, frame reading, ticks and passes, seeking, drawing and error texts.
#include "media/flic_player.h"

#include <algorithm>
#include <array>
#include <limits>
#include <new>
#include <vector>

#include "platform/msg/clock.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/mm/media_source.h"
#include "platform/mm/media_system.h"
#include "platform/user/message_loop.h"
#include "platform/msg/window_messages.h"

namespace {

constexpr WPARAM kNotifySuccessful = 1;  // MCI_NOTIFY_SUCCESSFUL

WORD Word(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
DWORD Dword(const BYTE* p) { return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
                                    (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24); }

// Header offsets.
constexpr std::size_t kTypeAt = 4;
constexpr std::size_t kFramesAt = 6;
constexpr std::size_t kWidthAt = 8;
constexpr std::size_t kHeightAt = 10;
constexpr std::size_t kSpeedAt = 16;
constexpr std::size_t kFrame1At = 80;
constexpr std::size_t kFrame2At = 84;

}  // namespace

CFlicPlayer::CFlicPlayer(int displayBits) : m_displayBits(displayBits) {}

CFlicPlayer::~CFlicPlayer() { Close(); }

CString CFlicPlayer::GetErrorText(int code) {
  static constexpr std::array<const char*, 7> kTexts{
      "There is no error or the error is undefined.",
      "Could not allocate enough memory.",
      "Could not read the flic header.",
      "Could not open the flic file or the file does not exist.",
      "This file is not a standard FLC file format.",
      "Could not read frame header.",
      "Could not read flic data.",
  };
  return kTexts[code >= 1 && code <= 6 ? static_cast<std::size_t>(code) : 0];
}

BOOL CFlicPlayer::Fail(int code) {
  m_error = code;
  return FALSE;
}

BOOL CFlicPlayer::FailStart(int code) {
  Close();
  return Fail(code);
}

BOOL CFlicPlayer::ReadAt(unsigned long long position, void* out, std::size_t count) {
  if (!m_file || position > m_file->Size() || count > m_file->Size() - position || !m_file->Seek(position))
    return FALSE;
  auto* bytes = static_cast<BYTE*>(out);
  std::size_t got = 0;
  while (got < count) {
    const long long n = m_file->Read(bytes + got, count - got);
    if (n <= 0) return FALSE;
    got += static_cast<std::size_t>(n);
  }
  return TRUE;
}

BOOL CFlicPlayer::Start(const MediaEnvironment& env, const CString& file, HWND notify, int loopValue) {
  // The media layer reads every medium: no layer, no file.
  if (!env.system) return FailStart(FlicError::kOpen);
  return Start(env.system->OpenSource(file), env.system->Clock(), env.system->Ids().Next(), notify, loopValue);
}

BOOL CFlicPlayer::Start(std::unique_ptr<IMediaByteSource> file, const IClock& clock, DWORD id, HWND notify,
                        int loopValue) {
  Close();
  m_notify = notify;
  m_loopValue = loopValue;
  m_open = m_playing = FALSE;
  m_framesPerPass = m_frameCounter = m_lastFrameIndex = 0;
  m_error = FlicError::kNone;
  m_clock = &clock;
  m_id = id;
  m_file = std::move(file);
  if (!m_file) return Fail(FlicError::kOpen);
  std::array<BYTE, flic::kHeaderSize> header{};
  if (!ReadAt(0, header.data(), header.size())) return FailStart(FlicError::kHeader);
  if (Word(&header[kTypeAt]) != flic::kFlcType) return FailStart(FlicError::kNotFlc);
  m_frameCount = Word(&header[kFramesAt]);
  const int width = Word(&header[kWidthAt]);
  const int height = Word(&header[kHeightAt]);
  m_fileSpeed = static_cast<LONG>(std::min<DWORD>(Dword(&header[kSpeedAt]), std::numeric_limits<LONG>::max()));
  m_firstFrame = Dword(&header[kFrame1At]);
  m_secondFrame = Dword(&header[kFrame2At]);
  // Only a true-colour display is drawn; the depth check stays for the others.
  if (m_displayBits != 32 || !m_decoder.Allocate(width, height)) return FailStart(FlicError::kNoMemory);
  if (m_secondFrame == 0) {
    std::array<BYTE, flic::kFrameHeaderSize> frame{};
    if (!ReadAt(m_firstFrame, frame.data(), frame.size())) return FailStart(FlicError::kFrameHeader);
    m_secondFrame = m_firstFrame + Dword(frame.data());
  }
  m_readPos = m_firstFrame;
  m_decoder.AcceptColours(true);
  m_decoder.ResetPalette();
  const BOOL decoded = DecodeNext(nullptr);
  m_decoder.AcceptColours(false);
  if (!decoded) return FailStart(m_error);
  m_readPos = m_secondFrame;
  m_framesPerPass = m_lastFrameIndex = m_frameCount - 1;
  m_frameCounter = 0;
  m_framePeriod = static_cast<DWORD>(m_fileSpeed);
  m_open = TRUE;
  m_nextDue = m_clock->Now() + m_framePeriod;
  return TRUE;
}

BOOL CFlicPlayer::DecodeNext(CDC* dc) {
  std::array<BYTE, flic::kFrameHeaderSize> header{};
  if (!ReadAt(m_readPos, header.data(), header.size())) return Fail(FlicError::kFrameHeader);
  const DWORD size = Dword(header.data());
  if (Word(&header[4]) != flic::kFrameType) return Fail(FlicError::kFrameHeader);
  const unsigned chunks = Word(&header[6]);
  if (size > flic::kFrameHeaderSize) {
    // The frame's bytes must all be in the file before any is held.
    const unsigned long long bodyAt = m_readPos + flic::kFrameHeaderSize;
    const std::size_t bodySize = size - flic::kFrameHeaderSize;
    if (bodyAt > m_file->Size() || bodySize > m_file->Size() - bodyAt) return Fail(FlicError::kData);
    std::vector<BYTE> body;
    try {
      body.resize(bodySize);
    } catch (const std::bad_alloc&) {
      return Fail(FlicError::kNoMemory);
    }
    if (!ReadAt(bodyAt, body.data(), body.size())) return Fail(FlicError::kData);
    m_readPos = bodyAt + bodySize;
    if (!m_decoder.DecodeFrame(body.data(), body.size(), chunks)) return Fail(FlicError::kData);
  } else {
    m_readPos += std::max<DWORD>(size, flic::kFrameHeaderSize);
  }
  if (dc && m_drawAtOnce) Draw(dc, TRUE);
  return TRUE;
}

void CFlicPlayer::EndOfPlay() {
  m_playing = FALSE;
  m_passesDone = 0;
  if (m_notify) ::PostMessage(m_notify, MM_MCINOTIFY, kNotifySuccessful, static_cast<LPARAM>(m_id));
}

BOOL CFlicPlayer::OnTick() {
  if (!m_playing) return FALSE;
  if (m_framePeriod > 0) {
    const DWORD now = m_clock->Now();
    if (static_cast<LONG>(now - m_nextDue) < 0) return FALSE;
    m_nextDue = now + m_framePeriod;
  }
  // A single frame has nothing to decode after frame 1: its pass ends at once.
  if (m_framesPerPass > 0) {
    if (!DecodeNext(nullptr)) {
      // A damaged frame ends play as the last pass would, so that whatever
      // waits for the animation goes on.
      EndOfPlay();
      return FALSE;
    }
    ++m_frameCounter;
    if (m_frameCounter < m_framesPerPass) return TRUE;
  }
  ++m_passesDone;
  if (m_loopValue == -1 || m_passesDone < m_loopValue) {
    if (!Rewind(nullptr)) EndOfPlay();
  } else {
    EndOfPlay();
  }
  return TRUE;
}

void CFlicPlayer::Play() {
  if (m_open) m_playing = TRUE;
}

void CFlicPlayer::Stop() {
  m_playing = FALSE;
  m_passesDone = 0;
}

BOOL CFlicPlayer::Rewind(CDC* dc) {
  if (!m_open) return FALSE;
  m_readPos = m_firstFrame;
  m_frameCounter = 0;
  if (!DecodeNext(dc)) return FALSE;
  m_readPos = m_secondFrame;
  return TRUE;
}

BOOL CFlicPlayer::GotoFrame(CDC* dc, int n) {
  if (!m_open) return FALSE;
  if (n == m_frameCounter) return TRUE;
  m_drawAtOnce = FALSE;
  BOOL ok = Rewind(dc);
  while (ok && m_frameCounter < n && m_frameCounter < m_lastFrameIndex) {
    ok = DecodeNext(dc);
    if (ok) ++m_frameCounter;
  }
  m_drawAtOnce = TRUE;
  return ok;
}

BOOL CFlicPlayer::SeekToEnd(CDC* dc) {
  if (!m_open) return FALSE;
  BOOL ok = TRUE;
  while (ok && m_frameCounter < m_lastFrameIndex) {
    m_drawAtOnce = m_frameCounter + 1 == m_lastFrameIndex;
    ok = DecodeNext(dc);
    if (ok) ++m_frameCounter;
  }
  m_drawAtOnce = TRUE;
  return ok;
}

void CFlicPlayer::SetEndFrame(int n) { m_framesPerPass = n; }

void CFlicPlayer::SetFramePeriod(long long ms) {
  m_framePeriod = static_cast<DWORD>(std::clamp<long long>(ms, 0, std::numeric_limits<LONG>::max()));
}

void CFlicPlayer::Close() {
  m_open = FALSE;
  m_playing = FALSE;
  m_passesDone = 0;
  m_decoder.Free();
  m_file.reset();
  m_bitmap.reset();
  m_memDC.reset();
}

void CFlicPlayer::Draw(CDC* dc, BOOL unscaled) {
  if (!dc || !m_decoder.IsAllocated()) return;
  const int width = m_decoder.Width();
  const int height = m_decoder.Height();
  if (!m_memDC) {
    auto memDC = std::make_unique<CDC>();
    auto bitmap = std::make_unique<CBitmap>();
    if (!memDC->CreateCompatibleDC(dc) || !bitmap->CreateCompatibleBitmap(dc, width, height)) return;
    memDC->SelectObject(bitmap.get());
    m_memDC = std::move(memDC);
    m_bitmap = std::move(bitmap);
  }
  const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
  m_bitmap->SetBitmapBits(static_cast<DWORD>(bytes), m_decoder.Pixels());
  const CRect& r = m_displayRect;
  if (unscaled) {
    dc->BitBlt(r.left, r.top, std::min(r.Width(), width), std::min(r.Height(), height), m_memDC.get(), 0, 0, SRCCOPY);
  } else {
    const int mode = dc->SetStretchBltMode(COLORONCOLOR);
    dc->StretchBlt(r.left, r.top, r.Width(), r.Height(), m_memDC.get(), 0, 0, width, height, SRCCOPY);
    dc->SetStretchBltMode(mode);
  }
}
