// Loading cursors from files.
#include "model/cursor_object.h"

#include <exception>
#include <vector>

#include "platform/sys/file.h"

IMPLEMENT_SERIAL(CCursorObject, CObject, 2)

void CCursorObject::Release() {
  m_cursor.reset();
  m_strFileName.Empty();
}

BOOL CCursorObject::LoadFromBytes(std::span<const BYTE> bytes, const CString& fileName) {
  Release();
  auto image = ReadCursorFile(bytes);
  if (!image) return FALSE;
  m_cursor = std::make_unique<CursorImage>(std::move(*image));
  m_strFileName = fileName;
  return TRUE;
}

BOOL CCursorObject::Load(const CString& fileName) {
  Release();
  CFile file;
  if (!file.Open(fileName, CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
  return LoadFromFile(file, fileName);
}

BOOL CCursorObject::LoadFromFile(CFile& file, const CString& fileName) {
  Release();
  std::vector<BYTE> bytes;
  try {
    ULONGLONG length = file.GetLength();
    ULONGLONG position = file.GetPosition();
    if (position > length || length - position > kMaxFileSize) return FALSE;
    bytes.resize(static_cast<std::size_t>(length - position));
    if (file.Read(bytes.data(), static_cast<UINT>(bytes.size())) != bytes.size()) return FALSE;
  } catch (const std::exception&) {
    return FALSE;
  }
  return LoadFromBytes(bytes, fileName);
}
