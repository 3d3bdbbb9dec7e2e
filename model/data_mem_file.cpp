// The data memory file over its three sources, and extraction to a temporary file.
#include "model/data_mem_file.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <vector>

#include "model/data_file.h"
#include "model/file_error_report.h"
#include "model/preload_source.h"
#include "model/string_table.h"
#include "platform/base/host_path.h"
#include "platform/sys/system_info.h"

CDataMemFile::~CDataMemFile() { ReleaseBlock(); }

void CDataMemFile::ReleaseBlock() {
  if (!m_block) return;
  CMemFile::Close();
  m_block->SetInUse(false);
  m_block->UnlockData();
  m_block = nullptr;
}

void CDataMemFile::Report(const CString& name, const std::exception& error, BOOL writing, UINT fallbackId) {
  if (m_reporter) m_reporter->ReportFileErrorToVariables(name, error, writing, fallbackId);
}

BOOL CDataMemFile::Open(const CString& name, UINT openFlags, CFileException* error) {
  Abort();
  if (m_cache) {
    if (IPreloadBlock* block = m_cache->FindImage(name)) {
      block->SetInUse(true);
      const BYTE* data = block->LockData();
      m_block = block;
      Attach(data, data ? block->GetDataSize() : 0);
      m_strName = name;
      m_strFileName = name;
      m_source = Source::cache;
      return TRUE;
    }
  }
  if (m_dataFile) {
    if (const CDataFileObject* entry = m_dataFile->FindEntry(name.view())) {
      m_strName = name;
      m_strFileName = name;
      if (!m_dataFile->OpenEntryFile(m_file, name.view())) {
        // Reading a file that claims to be open but is not would only fail later.
        CFileException failure(CFileException::invalidFile, -1, name);
        if (error) {
          *error = failure;
        } else if (!m_dataFile->IsReadable(*entry)) {
          Report(name, failure, FALSE, StringId::kInvalidFileName);  // an open failure was reported already
        }
        return FALSE;
      }
      m_entryStart = entry->m_dwOffset;
      m_entrySize = entry->m_dwSize;
      m_source = Source::entry;
      return TRUE;
    }
  }
  if (openFlags & kMayBeMissing) return TRUE;

  CFileException failure;
  if (!m_file.Open(name, openFlags & ~kMayBeMissing, &failure)) {
    if (error) {
      *error = failure;
    } else {
      Report(name, failure, FALSE, StringId::kFailedToOpen);
    }
    return FALSE;
  }
  m_strName = name;
  m_strFileName = name;
  m_source = Source::disk;
  return TRUE;
}

UINT CDataMemFile::Read(void* buffer, UINT count) {
  switch (m_source) {
    case Source::entry: {
      ULONGLONG position = GetPosition();
      if (position >= m_entrySize) return 0;
      UINT n = static_cast<UINT>(std::min<ULONGLONG>(count, m_entrySize - position));
      return m_file.Read(buffer, n);
    }
    case Source::disk: return m_file.Read(buffer, count);
    default: return CMemFile::Read(buffer, count);
  }
}

void CDataMemFile::Write(const void* buffer, UINT count) {
  switch (m_source) {
    case Source::disk: m_file.Write(buffer, count); return;
    case Source::entry:
    case Source::cache: AfxThrowFileException(CFileException::accessDenied, EROFS, m_strName);
    default: CMemFile::Write(buffer, count); return;
  }
}

ULONGLONG CDataMemFile::Seek(LONGLONG offset, UINT from) {
  switch (m_source) {
    case Source::entry: {
      // Positions count from the entry's first byte; seeks from the end from its last.
      auto size = static_cast<LONGLONG>(m_entrySize);
      LONGLONG base = from == current ? static_cast<LONGLONG>(GetPosition()) : from == end ? size : 0;
      const LONGLONG limit = std::numeric_limits<LONGLONG>::max() - static_cast<LONGLONG>(m_entryStart);
      if ((offset < 0 && base + offset < 0) || (offset > 0 && base > limit - offset))
        AfxThrowFileException(CFileException::badSeek, EINVAL, m_strName);
      LONGLONG target = base + offset;
      m_file.Seek(static_cast<LONGLONG>(m_entryStart) + target, begin);
      return static_cast<ULONGLONG>(target);
    }
    case Source::disk: return m_file.Seek(offset, from);
    default: return CMemFile::Seek(offset, from);
  }
}

ULONGLONG CDataMemFile::GetLength() const {
  switch (m_source) {
    case Source::entry: return m_entrySize;
    case Source::disk: return m_file.GetLength();
    default: return CMemFile::GetLength();
  }
}

ULONGLONG CDataMemFile::GetPosition() const {
  switch (m_source) {
    case Source::entry: {
      ULONGLONG position = m_file.GetPosition();
      return position > m_entryStart ? position - m_entryStart : 0;
    }
    case Source::disk: return m_file.GetPosition();
    default: return CMemFile::GetPosition();
  }
}

BOOL CDataMemFile::GetStatus(CFileStatus& status) const {
  switch (m_source) {
    case Source::disk: return m_file.GetStatus(status);
    case Source::entry:
      if (!m_file.GetStatus(status)) return FALSE;
      status.m_size = m_entrySize;
      status.m_szFullName = m_strName;
      return TRUE;
    default: return CMemFile::GetStatus(status);
  }
}

void CDataMemFile::SetLength(ULONGLONG length) {
  if (m_source == Source::disk) return m_file.SetLength(length);
  if (m_source != Source::none) AfxThrowFileException(CFileException::accessDenied, EROFS, m_strName);
  CMemFile::SetLength(length);
}

void CDataMemFile::Flush() {
  if (m_source == Source::disk) m_file.Flush();
}

void CDataMemFile::Close() {
  Source source = m_source;
  m_source = Source::none;
  m_entryStart = m_entrySize = 0;
  if (source == Source::cache) {
    ReleaseBlock();
  } else if (source != Source::none) {
    m_file.Close();
  } else {
    CMemFile::Close();
  }
}

void CDataMemFile::Abort() {
  m_source = Source::none;
  m_entryStart = m_entrySize = 0;
  ReleaseBlock();
  m_file.Abort();
  CMemFile::Close();
}

BOOL CDataMemFile::ExtractToTempFile(CString& outPath, BOOL quiet) {
  auto tempPath = tvn::sys::CreateUniqueTempFile("tvn");
  if (!tempPath) return FALSE;
  const CString tempName = tvn::path::HostPathToText(*tempPath);

  BOOL ok = FALSE;
  ULONGLONG saved = 0;
  try {
    saved = GetPosition();
    Seek(0, begin);
    CFile out;
    CFileException error;
    if (!out.OpenHostPath(*tempPath, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &error)) {
      if (!quiet) Report(tempName, error, TRUE, StringId::kWriteReadOnly);
    } else {
      const ULONGLONG length = GetLength();
      std::vector<BYTE> buffer;
      bool haveBuffer = true;
      try {
        buffer.resize(std::max<std::size_t>(1, static_cast<std::size_t>(std::min<ULONGLONG>(length, kTransferBuffer))));
      } catch (const std::bad_alloc&) {
        haveBuffer = false;
        if (!quiet && m_reporter) m_reporter->Messages().MessageBoxBeep(StringId::kOutOfMemory, nullptr, -1);
      }
      if (haveBuffer) {
        ULONGLONG copied = 0;
        try {
          while (copied < length) {
            UINT want = static_cast<UINT>(std::min<ULONGLONG>(buffer.size(), length - copied));
            UINT got = Read(buffer.data(), want);
            if (got == 0) break;
            out.Write(buffer.data(), got);
            copied += got;
          }
          out.Close();
          // A source that ends early leaves a truncated copy: that is a failure.
          ok = copied == length;
        } catch (const CFileException& e) {
          if (!quiet) Report(tempName, e, TRUE, StringId::kWriteReadOnly);
        }
      }
    }
    Seek(static_cast<LONGLONG>(saved), begin);
  } catch (const CFileException& e) {
    if (!quiet) Report(m_strName, e, FALSE, StringId::kReadGeneric);
    ok = FALSE;
  }
  if (!ok) {
    tvn::sys::RemoveFile(*tempPath);
    return FALSE;
  }
  outPath = tempName;
  return TRUE;
}
