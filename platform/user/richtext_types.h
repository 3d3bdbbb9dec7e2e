// Character format records of the rich-text control.
#pragma once

#include "platform/user/edit_messages.h"
#include "platform/gdi/gdi_types.h"
#include "platform/base/win_types.h"

struct CHARFORMAT {
  UINT cbSize = sizeof(CHARFORMAT);
  DWORD dwMask = 0;
  DWORD dwEffects = 0;
  LONG yHeight = 0;   // twips
  LONG yOffset = 0;
  COLORREF crTextColor = 0;
  BYTE bCharSet = 0;
  BYTE bPitchAndFamily = 0;
  char szFaceName[LF_FACESIZE] = {};
};
static_assert(sizeof(CHARFORMAT) == 60, "the character format's size member is 60");

constexpr DWORD CFM_BOLD = 0x00000001;
constexpr DWORD CFM_ITALIC = 0x00000002;
constexpr DWORD CFM_UNDERLINE = 0x00000004;
constexpr DWORD CFM_STRIKEOUT = 0x00000008;
constexpr DWORD CFM_PROTECTED = 0x00000010;
constexpr DWORD CFM_LINK = 0x00000020;
constexpr DWORD CFM_CHARSET = 0x08000000;
constexpr DWORD CFM_OFFSET = 0x10000000;
constexpr DWORD CFM_FACE = 0x20000000;
constexpr DWORD CFM_COLOR = 0x40000000;
constexpr DWORD CFM_SIZE = 0x80000000;

constexpr DWORD CFE_BOLD = 0x0001;
constexpr DWORD CFE_ITALIC = 0x0002;
constexpr DWORD CFE_UNDERLINE = 0x0004;
constexpr DWORD CFE_STRIKEOUT = 0x0008;

constexpr int MAX_TAB_STOPS = 32;

// Paragraph format record of the rich-text control.
struct PARAFORMAT {
  UINT cbSize = sizeof(PARAFORMAT);
  DWORD dwMask = 0;
  WORD wNumbering = 0;
  WORD wReserved = 0;
  LONG dxStartIndent = 0;
  LONG dxRightIndent = 0;
  LONG dxOffset = 0;
  WORD wAlignment = 0;
  short cTabCount = 0;
  LONG rgxTabs[MAX_TAB_STOPS] = {};
};
static_assert(sizeof(PARAFORMAT) == 156, "the paragraph format's size member is 156");

constexpr DWORD CFE_PROTECTED = 0x0010;
constexpr DWORD CFE_AUTOCOLOR = 0x40000000;
// Every attribute of a character format: a range of text that agrees in all of them.
constexpr DWORD CFM_ALL = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_LINK | CFM_SIZE |
                          CFM_COLOR | CFM_FACE | CFM_OFFSET | CFM_CHARSET;

constexpr DWORD PFM_STARTINDENT = 0x00000001;
constexpr DWORD PFM_RIGHTINDENT = 0x00000002;
constexpr DWORD PFM_OFFSET = 0x00000004;
constexpr DWORD PFM_ALIGNMENT = 0x00000008;
constexpr DWORD PFM_TABSTOPS = 0x00000010;
constexpr DWORD PFM_NUMBERING = 0x00000020;
// Every attribute of a paragraph format.
constexpr DWORD PFM_ALL = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT | PFM_TABSTOPS | PFM_NUMBERING;

constexpr WORD PFN_BULLET = 1;
constexpr WORD PFA_LEFT = 1;
constexpr WORD PFA_RIGHT = 2;
constexpr WORD PFA_CENTER = 3;
constexpr WORD PFA_JUSTIFY = 4;  // every line but a paragraph's last spans the whole width

// Stream formats of the rich-text control.
constexpr int SF_TEXT = 1;
constexpr int SF_RTF = 2;

// The header of a control's WM_NOTIFY notice, and the common codes.
struct NMHDR {
  HWND hwndFrom = nullptr;
  std::uintptr_t idFrom = 0;
  UINT code = 0;
};
constexpr UINT NM_RETURN = static_cast<UINT>(-4);
constexpr UINT NM_SETFOCUS = static_cast<UINT>(-7);
constexpr UINT NM_KILLFOCUS = static_cast<UINT>(-8);

// A click on a window that is not active yet, and the answers to it.
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr LRESULT MA_ACTIVATE = 1;
constexpr LRESULT MA_ACTIVATEANDEAT = 2;
