// CCursorObject: a mouse cursor loaded from a cursor file, as responses ask for one.
#pragma once

#include <memory>
#include <span>

#include "platform/user/cursor_file.h"
#include "platform/base/cstring.h"
#include "platform/sys/file.h"
#include "platform/base/object.h"

// Nothing of it is stored in course files; the application keeps the loaded ones.
class CCursorObject : public CObject {
  DECLARE_SERIAL(CCursorObject)

 public:
  // Cursor files are small; anything larger is not a cursor.
  static constexpr ULONGLONG kMaxFileSize = 1024 * 1024;

  ~CCursorObject() override { Release(); }

  // Frees the current cursor and loads the file; FALSE (holding no cursor) when that fails.
  BOOL Load(const CString& fileName);
  // The same from a file opened by the caller (a packed entry through a data
  // memory file, for one), read from its current position to its end.
  BOOL LoadFromFile(CFile& file, const CString& fileName);
  // The same from a cursor file's bytes, remembered under the name.
  BOOL LoadFromBytes(std::span<const BYTE> bytes, const CString& fileName);
  // Frees the cursor and empties the name.
  void Release();

  // The loaded cursor, or null.
  const CursorImage* GetCursor() const { return m_cursor.get(); }
  const CString& GetFileName() const { return m_strFileName; }

 private:
  std::unique_ptr<CursorImage> m_cursor;
  CString m_strFileName;  // the file the cursor was loaded from
};
