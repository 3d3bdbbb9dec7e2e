// Mouse cursors: the system shapes by their numeric ids and cursors read from
// cursor files.
#pragma once

#include <memory>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

struct CursorShape;
using HCURSOR = const CursorShape*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;

constexpr UINT IDC_ARROW = 32512;
constexpr UINT IDC_IBEAM = 32513;
constexpr UINT IDC_WAIT = 32514;
constexpr UINT IDC_CROSS = 32515;
constexpr UINT IDC_UPARROW = 32516;
constexpr UINT IDC_SIZE = 32640;
constexpr UINT IDC_ICON = 32641;
constexpr UINT IDC_SIZENWSE = 32642;
constexpr UINT IDC_SIZENESW = 32643;
constexpr UINT IDC_SIZEWE = 32644;
constexpr UINT IDC_SIZENS = 32645;
constexpr UINT IDC_SIZEALL = 32646;
constexpr UINT IDC_NO = 32648;
constexpr UINT IDC_HAND = 32649;
constexpr UINT IDC_APPSTARTING = 32650;

// A system cursor by id; an unknown id gives null. The module is ignored: the
// system shapes are the only built-in ones. System cursors are never destroyed.
HCURSOR LoadCursor(HINSTANCE module, UINT id);
// A cursor resource of the program by name: "HAND" is the pointing hand.
HCURSOR LoadCursorResource(const char* name);

// A cursor read from a ".cur" or ".ico" file (first image; for a cursor file
// the hot spot it stores). Null when the file cannot be read or is malformed.
struct CursorDeleter {
  void operator()(const CursorShape* shape) const;
};
using CursorPtr = std::unique_ptr<const CursorShape, CursorDeleter>;
CursorPtr LoadCursorFromFile(const CString& fileName);
// The same from the bytes of such a file.
CursorPtr LoadCursorFromBytes(const BYTE* data, std::size_t size);

// The system id of a system cursor, 0 for any other.
UINT CursorSystemId(HCURSOR cursor);
