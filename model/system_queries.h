// Queries of the system and the screen, and window placements and fonts kept as profile values.
#pragma once

#include <string_view>

#include "platform/base/cstring.h"
#include "platform/gdi/gdi_types.h"
#include "platform/base/win_types.h"

// This runtime always presents itself as the NT family, version 4 or later.
BOOL IsWindowsNt4();

// Bitmap compressions a device format may report.
namespace DeviceFormat {
constexpr DWORD kRgb = 0;
constexpr DWORD kBitFields = 3;
}  // namespace DeviceFormat

// Bits per pixel from a device's bitmap format: 1, 4, 8, 24 and 32 as they
// are; 15 or 16 decided by the colour masks; 0 for anything else.
int BitDepthFromFormat(DWORD compression, int bitCount, DWORD redMask, DWORD greenMask, DWORD blueMask);
// Bits per pixel of a screen device: the display (a null name or "DISPLAY")
// is 32-bit true colour; no other device exists, giving 0.
int GetDisplayBitDepth(const char* deviceName);

// A window's placement as the profile keeps it (44 bytes in memory).
struct WINDOWPLACEMENT {
  UINT length = 0;
  UINT flags = 0;
  UINT showCmd = 0;
  LONG minX = 0, minY = 0;
  LONG maxX = 0, maxY = 0;
  LONG normalLeft = 0, normalTop = 0, normalRight = 0, normalBottom = 0;
};
static_assert(sizeof(WINDOWPLACEMENT) == 44, "a window placement is 44 bytes");

// Where the profile's values come from (the application's profile).
class IProfileValues {
 public:
  virtual ~IProfileValues() = default;
  virtual CString GetProfileString(const CString& section, const CString& key, const CString& defaultValue) = 0;
};

// "flags,show,minX,minY,maxX,maxY,left,top,right,bottom": all ten fields
// give TRUE and the placement; anything less FALSE with the output untouched.
BOOL ParseWindowPlacement(std::string_view value, WINDOWPLACEMENT& out);
BOOL GetProfileWindowPlacement(IProfileValues& profile, const CString& section, const CString& key,
                               WINDOWPLACEMENT& out);
void WriteProfileWindowPlacement(IProfileValues& profile, const CString& section, const CString& key,
                                 const WINDOWPLACEMENT& placement);

// "height,width,escapement,orientation,weight," then eight single characters
// separated by commas (italic, underline, strike-out, character set, output
// precision, clip precision, quality, pitch and family) and the face name,
// which runs to the end of the value. Fourteen fields give TRUE; fewer give
// FALSE with the default font copied out; an empty value FALSE, output untouched.
BOOL ParseProfileFont(std::string_view value, const LOGFONT& defaultFont, LOGFONT& out);
BOOL GetProfileFont(IProfileValues& profile, const CString& section, const CString& key, const LOGFONT& defaultFont,
                    LOGFONT& out);
void WriteProfileFont(IProfileValues& profile, const CString& section, const CString& key, const LOGFONT& font);
