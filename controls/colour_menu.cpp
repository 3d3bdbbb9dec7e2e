// The editor's colour menu: colour ids to colours and the owner-drawn items.
#include "controls/colour_menu.h"

#include <algorithm>
#include <array>
#include <memory>

#include "model/string_table.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/system_metrics.h"

namespace {

constexpr COLORREF Rgb(int r, int g, int b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}

// The stock default palette's entries for ids 5700-5715 (palette indexes 0-6,
// 12, 7, 13-19: "Gray" comes before "Silver" in the menu, not in the palette).
constexpr std::array<COLORREF, 16> kColours = {
    Rgb(0, 0, 0),       Rgb(128, 0, 0),   Rgb(0, 128, 0),   Rgb(128, 128, 0),
    Rgb(0, 0, 128),     Rgb(128, 0, 128), Rgb(0, 128, 128), Rgb(128, 128, 128),
    Rgb(192, 192, 192), Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(255, 255, 0),
    Rgb(0, 0, 255),     Rgb(255, 0, 255), Rgb(0, 255, 255), Rgb(255, 255, 255),
};

constexpr int kNameLeft = 50;   // the name starts here; the swatch fits before it
constexpr int kSwatchLeft = 5;
constexpr int kSwatchRight = 45;
constexpr int kSwatchInset = 2;  // above and below

bool IsColourId(UINT id) { return id >= kFirstColourId && id <= kLastColourId; }

// Shared by every colour menu and whatever menu it is put into.
class ColourItemPainter final : public IMenuItemPainter {
 public:
  void MeasureItem(MEASUREITEMSTRUCT& item) const override { CColourMenu::Measure(item); }
  void DrawItem(const DRAWITEMSTRUCT& item) const override { CColourMenu::Draw(item); }
};

}  // namespace

COLORREF ColourFromId(UINT id) {
  if (id >= kFirstColourId && id < kCustomColourId) return kColours[id - kFirstColourId];
  return GetSysColor(COLOR_WINDOWTEXT);
}

CColourMenu::CColourMenu() {
  CreatePopupMenu();
  m_hMenu->painter = std::make_shared<ColourItemPainter>();
  for (UINT id = kFirstColourId; id <= kLastColourId; ++id) AppendOwnerDrawMenu(MF_ENABLED, id, id);
}

void CColourMenu::MeasureItem(MEASUREITEMSTRUCT* item) {
  if (item) Measure(*item);
}

void CColourMenu::DrawItem(DRAWITEMSTRUCT* item) {
  if (item) Draw(*item);
}

void CColourMenu::Measure(MEASUREITEMSTRUCT& item) {
  // Measured as on the display, in the font a new context has.
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  const CSize extent = dc.GetTextExtent(LoadStringText(item.itemID));
  item.itemWidth = static_cast<UINT>(std::max(0L, static_cast<long>(extent.cx)) + kNameLeft);
  item.itemHeight = static_cast<UINT>(std::max(0L, static_cast<long>(extent.cy)));
}

void CColourMenu::Draw(const DRAWITEMSTRUCT& item) {
  if (!item.dc || !IsColourId(item.itemID)) return;
  CDC& dc = *item.dc;
  const CRect& rc = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;

  dc.FillSolidRect(rc, selected ? GetSysColor(COLOR_HIGHLIGHT) : dc.GetBkColor());
  // After the fill, which would otherwise cover it.
  if (item.itemState & ODS_FOCUS) dc.DrawFocusRect(rc);

  // The brush, text colour and background mode come back as they were.
  const int saved = dc.SaveDC();
  if (selected) dc.SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
  dc.SetBkMode(TRANSPARENT);
  dc.TextOut(rc.left + kNameLeft, rc.top, LoadStringText(item.itemID));

  CBrush swatch(ColourFromId(item.itemID));
  dc.SelectObject(&swatch);
  dc.Rectangle(rc.left + kSwatchLeft, rc.top + kSwatchInset, rc.left + kSwatchRight, rc.bottom - kSwatchInset);
  dc.RestoreDC(saved);
}
