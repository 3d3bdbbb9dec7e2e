// Plain GDI records that course files store byte for byte.
#pragma once

#include "platform/base/win_types.h"

constexpr int LF_FACESIZE = 32;

// The logical font: 60 bytes on disk, in this field order.
struct LOGFONT {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};
};
static_assert(sizeof(LOGFONT) == 60, "LOGFONT is stored as 60 bytes");

constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;

// The logical pen as shape actions store it: 16 bytes, the width as a point
// whose y is not used.
struct LOGPEN {
  UINT lopnStyle = 0;
  LONG lopnWidthX = 0;
  LONG lopnWidthY = 0;
  COLORREF lopnColor = 0;
};
static_assert(sizeof(LOGPEN) == 16, "LOGPEN is stored as 16 bytes");

// The logical brush: style, colour, hatch; 12 bytes.
struct LOGBRUSH {
  UINT lbStyle = 0;
  COLORREF lbColor = 0;
  LONG lbHatch = 0;
};
static_assert(sizeof(LOGBRUSH) == 12, "LOGBRUSH is stored as 12 bytes");
