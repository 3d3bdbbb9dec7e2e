// IPageSettings: what the page asks of its window action: the background, window flags, scroll margins, kept layers.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

class CDC;

namespace PageFlag {
constexpr DWORD kScrollBars = 0x200;  // scroll bars on the view; sizing keeps the scroll ranges
constexpr DWORD kAutoScrollX = 0x1000;
constexpr DWORD kAutoScrollY = 0x2000;
}  // namespace PageFlag

// The page keeps a window action of its own behind this: a running window
// action copies its settings there; the page draws its background through it
// and asks it which layers survive clearing.
class IPageSettings {
 public:
  virtual ~IPageSettings() = default;
  // Paints the page background over the area being composed.
  virtual void DrawBackground(CDC* dc, const CRect& clip) = 0;
  virtual BOOL IsLayerKept(BYTE layer) const = 0;
  virtual DWORD GetWindowFlags() const = 0;
  virtual CSize GetScrollMargins() const = 0;
};

// A page that no window action has set up yet: the window colour, no layer kept.
class CPlainPageSettings final : public IPageSettings {
 public:
  void DrawBackground(CDC* dc, const CRect& clip) override;
  BOOL IsLayerKept(BYTE) const override { return FALSE; }
  DWORD GetWindowFlags() const override { return 0; }
  CSize GetScrollMargins() const override { return CSize(40, 40); }
};
