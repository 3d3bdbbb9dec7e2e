// The page area a clear or transition action works on: whole page, rectangle, layers and names.
#pragma once

#include "platform/base/collections.h"
#include "platform/base/cstring.h"
#include "platform/base/geometry.h"

class CArchive;
class CIconObject;
class COffScreenView;

// Area flag bits.
namespace AreaFlag {
constexpr DWORD kWholePage = 0x1;
constexpr DWORD kKeepObjects = 0x4;  // clear action: compute the area, remove nothing
}  // namespace AreaFlag

// On disk: area flags, the names, then the layers as a counted byte array.
struct CAreaSelection {
  void Serialize(CArchive& ar);
  void CopyFrom(const CAreaSelection& source, BOOL keepIdentity);
  // Takes the chosen layers, then the named objects, off the page (or only
  // measures them with keepOnly) and adds their rectangles to area.
  void Collect(COffScreenView& view, CIconObject* owner, BOOL keepOnly, CRect& area) const;

  DWORD flags = AreaFlag::kWholePage;
  CString names;  // one per line; variables in braces expanded when run
  CByteArray layers;  // a non-zero byte selects the layer of its index
};
