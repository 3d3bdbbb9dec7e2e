// The plain converter file and the OEM text file.
#include "controls/converter_file.h"

#include <vector>

#include "controls/oem_codepage.h"

BOOL CConverterFile::Open(const CString& name, UINT openFlags, CFileException* error) {
  m_writing = IsWriteMode(openFlags);
  m_lastPercent = -1;
  if (m_writing) {
    m_length = 0;
    return m_writeFile.Open(name, openFlags, error);
  }
  if (!CDataMemFile::Open(name, openFlags, error)) return FALSE;
  m_length = CDataMemFile::IsOpen() ? CDataMemFile::GetLength() : 0;
  return TRUE;
}

void CConverterFile::Write(const void* buffer, UINT count) {
  if (!m_writing) throw CFileException(CFileException::accessDenied, -1, GetName());
  m_writeFile.Write(buffer, count);
}

void CConverterFile::Close() {
  if (m_writing) m_writeFile.Close();
  else CDataMemFile::Close();
}

void CConverterFile::Abort() {
  if (m_writing) m_writeFile.Abort();
  else CDataMemFile::Abort();
}

UINT COemFile::Read(void* buffer, UINT count) {
  const UINT got = CConverterFile::Read(buffer, count);
  tvn::oem::OemToAnsi(static_cast<unsigned char*>(buffer), got);
  return got;
}

void COemFile::Write(const void* buffer, UINT count) {
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  std::vector<unsigned char> oem(bytes, bytes + count);
  tvn::oem::AnsiToOem(oem.data(), oem.size());
  CConverterFile::Write(oem.data(), count);
}
