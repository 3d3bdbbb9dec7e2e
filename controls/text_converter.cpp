// The converter thread and the two sides of the 4096-byte handover.
#include "controls/text_converter.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "controls/text_converter_registry.h"

// What the two threads share; it outlives either side.
struct CTextConverter::Handover {
  std::mutex mutex;
  std::condition_variable changed;
  std::array<char, kBufferSize> buffer{};
  std::size_t available = 0;  // bytes waiting in the buffer
  std::size_t cursor = 0;     // where the reader takes the next byte
  bool inputEnded = false;    // the writer side has no more RTF
  bool done = false;          // the conversion has ended
  bool failed = false;        // the converter reported failure
  bool cancelled = false;     // the control side went away
};

namespace {

[[noreturn]] void ThrowGeneric(const CString& name) { throw CFileException(CFileException::genericException, -1, name); }

}  // namespace

CTextConverter::CTextConverter(const CConverterRegistry* converters, const CString& converterName,
                               CDataFile* dataFile, IPreloadCache* cache)
    : CConverterFile(dataFile, cache), m_provider(converters ? converters->Find(converterName) : nullptr) {}

CTextConverter::~CTextConverter() { Finish(); }

void CTextConverter::Finish() {
  if (m_handover) {
    {
      std::lock_guard lock(m_handover->mutex);
      m_handover->cancelled = true;
      m_handover->inputEnded = true;
    }
    m_handover->changed.notify_all();
  }
  if (m_thread.joinable()) m_thread.join();
  m_open = false;
}

bool CTextConverter::ReadSource(const CString& path, std::string& bytes, CFileException* error) {
  if (!CConverterFile::Open(path, modeRead | shareDenyWrite, error)) return false;
  try {
    const ULONGLONG length = CDataMemFile::GetLength();
    if (length > (1u << 30)) ThrowGeneric(path);
    bytes.resize(static_cast<std::size_t>(length));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const UINT got = CDataMemFile::Read(bytes.data() + done, static_cast<UINT>(std::min<std::size_t>(bytes.size() - done, 1u << 20)));
      if (got == 0) break;
      done += got;
    }
    bytes.resize(done);
  } catch (const CFileException& failure) {
    CDataMemFile::Close();
    if (error) *error = failure;
    return false;
  }
  CDataMemFile::Close();
  return true;
}

BOOL CTextConverter::IsFormatCorrect(const CString& path) {
  if (!m_provider) return FALSE;
  std::string bytes;
  if (!ReadSource(path, bytes, nullptr)) return FALSE;
  return m_provider->IsFormatCorrect(bytes) ? TRUE : FALSE;
}

BOOL CTextConverter::Open(const CString& path, UINT openFlags, CFileException* error) {
  Finish();
  m_reading = !IsWriteMode(openFlags);
  m_bytesWritten = 0;
  SetFilePath(path);
  std::string source;
  if (m_reading) {
    if (!ReadSource(path, source, error)) return FALSE;
  } else if (!CConverterFile::Open(path, openFlags, error)) {
    return FALSE;
  }
  m_open = true;
  auto handover = std::make_shared<Handover>();
  m_handover = handover;
  if (!m_provider) {
    handover->done = handover->failed = true;
    return TRUE;
  }
  // An empty file converts to nothing: every read gives 0 bytes.
  if (m_reading && source.empty()) {
    handover->done = true;
    return TRUE;
  }
  const auto limit = m_waitLimit;
  if (m_reading) {
    m_thread = std::thread([provider = m_provider, handover, bytes = std::move(source), limit] {
      auto output = [&](std::string_view piece) {
        while (!piece.empty()) {
          std::unique_lock lock(handover->mutex);
          if (!handover->changed.wait_for(lock, limit, [&] { return handover->available == 0 || handover->cancelled; }) ||
              handover->cancelled)
            return false;
          const std::size_t n = std::min(piece.size(), kBufferSize);
          std::memcpy(handover->buffer.data(), piece.data(), n);
          handover->available = n;
          handover->cursor = 0;
          piece.remove_prefix(n);
          lock.unlock();
          handover->changed.notify_all();
        }
        return true;
      };
      const bool ok = provider->ForeignToRtf(bytes, output);
      {
        std::lock_guard lock(handover->mutex);
        handover->failed = !ok;
        handover->done = true;
      }
      handover->changed.notify_all();
    });
  } else {
    // The converter's output goes to the file this object opened; only its thread writes it until it is joined.
    m_thread = std::thread([this, provider = m_provider, handover, limit] {
      auto input = [&](char* to, std::size_t room) -> std::size_t {
        std::unique_lock lock(handover->mutex);
        if (!handover->changed.wait_for(lock, limit, [&] { return handover->available > 0 || handover->inputEnded; }))
          return 0;
        const std::size_t n = std::min(room, handover->available);
        std::memcpy(to, handover->buffer.data() + handover->cursor, n);
        handover->cursor += n;
        handover->available -= n;
        lock.unlock();
        handover->changed.notify_all();
        return n;
      };
      bool ok = true;
      auto output = [&](std::string_view bytes) {
        if (!ok || bytes.empty()) return;
        try {
          CConverterFile::Write(bytes.data(), static_cast<UINT>(bytes.size()));
        } catch (const std::exception&) {
          ok = false;
        }
      };
      ok = provider->RtfToForeign(input, output) && ok;
      {
        std::lock_guard lock(handover->mutex);
        handover->failed = !ok;
        handover->done = true;
      }
      handover->changed.notify_all();
    });
  }
  return TRUE;
}

UINT CTextConverter::Read(void* buffer, UINT count) {
  if (!m_open || !m_reading || !m_handover) return 0;
  Handover& h = *m_handover;
  auto* out = static_cast<char*>(buffer);
  UINT copied = 0;
  std::unique_lock lock(h.mutex);
  while (copied < count) {
    if (h.available == 0) {
      h.changed.notify_all();
      if (!h.changed.wait_for(lock, m_waitLimit, [&] { return h.available > 0 || h.done; })) {
        h.cancelled = true;
        ThrowGeneric(GetFilePath());
      }
      if (h.available == 0) {
        if (h.failed) ThrowGeneric(GetFilePath());
        break;
      }
    }
    const std::size_t n = std::min<std::size_t>(count - copied, h.available);
    std::memcpy(out + copied, h.buffer.data() + h.cursor, n);
    h.cursor += n;
    h.available -= n;
    copied += static_cast<UINT>(n);
  }
  lock.unlock();
  h.changed.notify_all();
  return copied;
}

void CTextConverter::Write(const void* buffer, UINT count) {
  if (!m_open || m_reading || !m_handover) throw CFileException(CFileException::accessDenied, -1, GetFilePath());
  Handover& h = *m_handover;
  m_bytesWritten += count;
  const auto* in = static_cast<const char*>(buffer);
  std::size_t left = count;
  while (left > 0) {
    std::unique_lock lock(h.mutex);
    if (!h.changed.wait_for(lock, m_waitLimit, [&] { return h.available == 0 || h.done; })) {
      h.cancelled = true;
      ThrowGeneric(GetFilePath());
    }
    if (h.done) ThrowGeneric(GetFilePath());  // the converter stopped taking input
    const std::size_t n = std::min(left, kBufferSize);
    std::memcpy(h.buffer.data(), in, n);
    h.available = n;
    h.cursor = 0;
    in += n;
    left -= n;
    lock.unlock();
    h.changed.notify_all();
  }
}

ULONGLONG CTextConverter::Seek(LONGLONG offset, UINT from) {
  if (offset != 0 && from != current) throw CFileException(CFileException::badSeek, -1, GetFilePath());
  return 0;
}

void CTextConverter::SetLength(ULONGLONG) { throw CFileException(CFileException::accessDenied, -1, GetFilePath()); }

void CTextConverter::Close() {
  if (!m_open) return;
  bool failed = false;
  if (!m_reading && m_handover) {
    {
      std::lock_guard lock(m_handover->mutex);
      m_handover->inputEnded = true;
    }
    m_handover->changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
    failed = m_handover->failed;
    CConverterFile::Close();
  }
  Finish();
  if (failed) ThrowGeneric(GetFilePath());
}

void CTextConverter::Abort() {
  Finish();
  if (!m_reading) CConverterFile::Abort();
}

BOOL IsFormatCorrectFor(const CConverterRegistry* converters, const CString& converterName, const CString& path,
                        CDataFile* dataFile, IPreloadCache* cache) {
  CTextConverter converter(converters, converterName, dataFile, cache);
  return converter.IsFormatCorrect(path);
}
