// Reading the packed data file's directory and positioning on its entries.
#include "model/data_file.h"

#include <exception>

#include "model/archive.h"
#include "model/file_error_report.h"
#include "model/string_table.h"
#include "platform/user/wait_cursor.h"

IMPLEMENT_SERIAL(CDataFileObject, CObject, VERSIONABLE_SCHEMA | 1)

void CDataFileObject::Serialize(CArchive& ar) {
  ar.GetObjectSchema();  // only schema 1 has ever been written
  m_strName = ar.ReadString();
  m_dwOffset = ar.ReadDword();
  m_dwSize = ar.ReadDword();
}

CDataFile::~CDataFile() {
  if (m_readers) m_readers->StopReaders();
  m_file.Abort();
  DeleteAll();
}

void CDataFile::Close() {
  // Also when closed: a worker may still be asking for an entry, and Open
  // comes through here before it changes the path and the directory.
  if (m_readers) m_readers->StopReaders();
  if (!m_file.IsOpen()) return;
  m_bOpen = FALSE;
  m_file.Abort();
}

void CDataFile::DeleteAll() { m_entries.clear(); }

const CDataFileObject* CDataFile::GetEntry(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return m_entries[static_cast<std::size_t>(index)].get();
}

BOOL CDataFile::Open(const CString& path) {
  Close();
  m_bOpen = FALSE;
  m_strPath = path;
  CFileException error;
  if (!m_file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &error)) {
    if (m_reporter) m_reporter->ReportFileErrorToVariables(path, error, FALSE, StringId::kUnableToOpenFile);
    return FALSE;
  }
  DeleteAll();
  try {
    CWaitCursor wait;
    m_fileLength = m_file.GetLength();
    // An empty file holds no directory; the caller then opens the name as a course.
    if (m_fileLength == 0) AfxThrowFileException(CFileException::invalidFile, -1, path);
    CArchive ar(m_file);
    if (ar.ReadString().view() != kSignature) AfxThrowFileException(CFileException::invalidFile, -1, path);
    ReadDirectory(ar);
  } catch (const std::exception&) {
    m_file.Abort();
    DeleteAll();
    return FALSE;
  }
  m_bOpen = TRUE;
  return TRUE;
}

void CDataFile::ReadDirectory(CArchive& ar) {
  DWORD count = ar.ReadCount();
  ar.CheckAvailable(static_cast<ULONGLONG>(count) * 2);  // every reference takes at least its tag
  for (DWORD i = 0; i < count; ++i) {
    // Adopting refuses an entry named twice, so no entry is owned twice.
    if (auto entry = ar.ReadOwned<CDataFileObject>()) m_entries.push_back(std::move(entry));
  }
}

const CDataFileObject* CDataFile::FindEntry(std::string_view name) const {
  if (!m_bOpen) return nullptr;
  for (const auto& entry : m_entries) {
    if (entry->m_strName.CompareNoCase(name) == 0) return entry.get();
  }
  return nullptr;
}

bool CDataFile::IsReadable(const CDataFileObject& entry) const {
  if (entry.m_dwOffset == 0 || entry.m_dwSize == 0) return false;
  return static_cast<ULONGLONG>(entry.m_dwOffset) + entry.m_dwSize <= m_fileLength;
}

BOOL CDataFile::SeekToEntry(std::string_view name) {
  const CDataFileObject* entry = FindEntry(name);
  if (!entry || !IsReadable(*entry)) return FALSE;
  try {
    m_file.Seek(entry->m_dwOffset, CFile::begin);
  } catch (const CFileException&) {
    return FALSE;
  }
  return TRUE;
}

BOOL CDataFile::OpenEntryFile(CFile& file, std::string_view name) {
  const CDataFileObject* entry = FindEntry(name);
  if (!entry || !IsReadable(*entry)) return FALSE;
  CFileException error;
  if (!file.CFile::Open(m_strPath, CFile::modeRead | CFile::shareDenyWrite, &error)) {
    if (m_reporter) m_reporter->ReportFileErrorToVariables(m_strPath, error, FALSE, StringId::kInvalidFileName);
    return FALSE;
  }
  try {
    file.CFile::Seek(entry->m_dwOffset, CFile::begin);
  } catch (const CFileException& e) {
    file.Abort();
    if (m_reporter) m_reporter->ReportFileErrorToVariables(m_strPath, e, FALSE, StringId::kInvalidFileName);
    return FALSE;
  }
  return TRUE;
}
