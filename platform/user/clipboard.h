// The clipboard's text, in code page 1252, and named clipboard formats.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

constexpr UINT CF_TEXT = 1;

class CClipboard {
 public:
  static BOOL HasText();
  // Empty when the clipboard holds no text.
  static CString GetText();
  static BOOL SetText(const CString& text);
  static BOOL Empty();
  // The id of a named format: the same name (any case) always gives the same
  // id, from 0xC000 upwards; 0 for an empty name.
  static UINT RegisterFormat(const CString& name);
  // Text together with the bytes of named formats, in one change of the
  // clipboard. Named formats travel under a type private to this program,
  // so only its own windows read them back.
  static BOOL SetTextAndData(const CString& text, const std::vector<std::pair<UINT, std::string>>& data);
  static BOOL HasFormat(UINT format);
  // The bytes of a named format, nothing when the clipboard holds none.
  static std::optional<std::string> GetData(UINT format);
};

inline UINT RegisterClipboardFormat(const CString& name) { return CClipboard::RegisterFormat(name); }
inline BOOL IsClipboardFormatAvailable(UINT format) { return CClipboard::HasFormat(format); }
