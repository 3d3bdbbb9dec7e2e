// The clipboard's text, in code page 1252, and named clipboard formats.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

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
};

inline UINT RegisterClipboardFormat(const CString& name) { return CClipboard::RegisterFormat(name); }
inline BOOL IsClipboardFormatAvailable(UINT format) { return format == CF_TEXT ? CClipboard::HasText() : FALSE; }
