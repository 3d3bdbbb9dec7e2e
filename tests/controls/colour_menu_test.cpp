// The editor's colour choices: ids to colours, the menu's items, and how each item measures and draws.
#include <gtest/gtest.h>

#include "controls/colour_menu.h"
#include "model/string_table.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/system_metrics.h"

namespace {

// A 200 x 20 item on a memory bitmap, painted grey first so untouched pixels show.
struct ItemCanvas {
  static constexpr COLORREF kMenuGrey = RGB(200, 200, 200);
  CBitmap bitmap;
  CDC dc;
  CBitmap* old = nullptr;
  ItemCanvas() {
    bitmap.CreateBitmap(200, 20, 1, 32, nullptr);
    dc.CreateCompatibleDC(nullptr);
    old = dc.SelectObject(&bitmap);
    dc.FillSolidRect(CRect(0, 0, 200, 20), kMenuGrey);
    dc.SetBkColor(kMenuGrey);
    dc.SetTextColor(RGB(0, 0, 0));
  }
  ~ItemCanvas() { dc.SelectObject(old); }
  void Draw(UINT id, UINT state) {
    DRAWITEMSTRUCT item;
    item.itemID = id;
    item.itemData = id;
    item.itemState = state;
    item.dc = &dc;
    item.rcItem = CRect(0, 0, 200, 20);
    CColourMenu::Draw(item);
  }
};

}  // namespace

TEST(ColourMenu, IdsGiveTheStockPaletteColoursInMenuOrder) {
  const struct {
    UINT id;
    COLORREF colour;
  } rows[] = {
      {5700, RGB(0, 0, 0)},       {5701, RGB(128, 0, 0)},   {5704, RGB(0, 0, 128)},
      {5706, RGB(0, 128, 128)},   {5707, RGB(128, 128, 128)},  // "Gray" before "Silver"
      {5708, RGB(192, 192, 192)}, {5709, RGB(255, 0, 0)},   {5713, RGB(255, 0, 255)},
      {5715, RGB(255, 255, 255)},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(ColourFromId(rows[i].id), rows[i].colour) << "row " << i;
  // "Customized", and an id the menu does not have, follow the window-text colour.
  EXPECT_EQ(ColourFromId(5716), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(ColourFromId(5699), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(LoadStringText(5707), "Gray");
  EXPECT_EQ(LoadStringText(5716), "Customized");
}

TEST(ColourMenu, HoldsSeventeenOwnerDrawnItemsWithTheirIdsAsData) {
  CColourMenu menu;
  ASSERT_EQ(menu.GetMenuItemCount(), 17u);
  for (int i = 0; i < 17; ++i) {
    const UINT id = 5700 + static_cast<UINT>(i);
    EXPECT_EQ(menu.GetMenuItemID(i), id) << "item " << i;
    EXPECT_EQ(GetMenuItemData(menu.m_hMenu, static_cast<UINT>(i), MF_BYPOSITION), id) << "item " << i;
    EXPECT_EQ(menu.m_hMenu->items[static_cast<std::size_t>(i)].flags & MF_OWNERDRAW, MF_OWNERDRAW) << "item " << i;
  }
  EXPECT_NE(menu.m_hMenu->painter, nullptr);

  // Put into another menu, it still draws after the object has gone.
  CMenu context;
  context.CreatePopupMenu();
  context.AppendMenu(MF_STRING, 65535, "Colour");
  {
    CColourMenu colours;
    context.ModifyMenu(65535, MF_BYCOMMAND | MF_POPUP, reinterpret_cast<std::uintptr_t>(colours.Detach()), "Colour");
  }
  HMENU inner = context.GetSubMenu(0);
  ASSERT_NE(inner, nullptr);
  ASSERT_NE(inner->painter, nullptr);
  MEASUREITEMSTRUCT measure;
  measure.itemID = 5709;
  inner->painter->MeasureItem(measure);
  EXPECT_GT(measure.itemWidth, 50u);
}

TEST(ColourMenu, AnItemIsItsNamesWidthAndFiftyWideAndAsHighAsItsName) {
  CDC display;
  display.CreateCompatibleDC(nullptr);
  for (UINT id : {5700u, 5713u, 5716u}) {
    MEASUREITEMSTRUCT item;
    item.itemID = id;
    item.itemData = id;
    CColourMenu::Measure(item);
    const CSize name = display.GetTextExtent(LoadStringText(id));
    EXPECT_EQ(item.itemWidth, static_cast<UINT>(name.cx) + 50) << id;
    EXPECT_EQ(item.itemHeight, static_cast<UINT>(name.cy)) << id;
    EXPECT_GT(item.itemHeight, 0u);
  }
}

TEST(ColourMenu, DrawsASwatchBesideTheNameAndKeepsItsColourWhenSelected) {
  ItemCanvas plain;
  plain.Draw(5709, 0);
  CDC& dc = plain.dc;
  // The swatch: outlined from x 5 to 45 and y 2 to 18, filled red.
  EXPECT_EQ(dc.GetPixel(25, 10), RGB(255, 0, 0));
  EXPECT_EQ(dc.GetPixel(5, 10), RGB(0, 0, 0));   // outline, left
  EXPECT_EQ(dc.GetPixel(44, 10), RGB(0, 0, 0));  // outline, right (the rectangle ends before 45)
  EXPECT_EQ(dc.GetPixel(25, 2), RGB(0, 0, 0));   // outline, top
  EXPECT_EQ(dc.GetPixel(25, 17), RGB(0, 0, 0));  // outline, bottom
  EXPECT_EQ(dc.GetPixel(4, 10), ItemCanvas::kMenuGrey);
  EXPECT_EQ(dc.GetPixel(45, 10), ItemCanvas::kMenuGrey);
  EXPECT_EQ(dc.GetPixel(25, 1), ItemCanvas::kMenuGrey);
  EXPECT_EQ(dc.GetPixel(25, 18), ItemCanvas::kMenuGrey);
  // The name in black from x 50 on; nothing of it before.
  bool ink = false;
  for (int x = 50; x < 200 && !ink; ++x)
    for (int y = 0; y < 20 && !ink; ++y) ink = dc.GetPixel(x, y) == RGB(0, 0, 0);
  EXPECT_TRUE(ink);
  for (int y = 0; y < 20; ++y) EXPECT_EQ(dc.GetPixel(47, y), ItemCanvas::kMenuGrey) << y;
  // The context's modes come back.
  EXPECT_EQ(dc.GetBkMode(), OPAQUE);
  EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 0));

  ItemCanvas selected;
  selected.Draw(5704, ODS_SELECTED);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(selected.dc.GetPixel(2, 2), highlight);
  EXPECT_EQ(selected.dc.GetPixel(199, 19), highlight);
  EXPECT_EQ(selected.dc.GetPixel(25, 10), RGB(0, 0, 128));  // the swatch keeps its colour
  bool highlightText = false;
  for (int x = 50; x < 200 && !highlightText; ++x)
    for (int y = 0; y < 20 && !highlightText; ++y) highlightText = selected.dc.GetPixel(x, y) == GetSysColor(COLOR_HIGHLIGHTTEXT);
  EXPECT_TRUE(highlightText);

  // "Customized" shows the window-text colour; an id outside the menu draws nothing.
  ItemCanvas custom;
  custom.Draw(5716, 0);
  EXPECT_EQ(custom.dc.GetPixel(25, 10), GetSysColor(COLOR_WINDOWTEXT));
  ItemCanvas other;
  other.Draw(57643, ODS_SELECTED);
  EXPECT_EQ(other.dc.GetPixel(25, 10), ItemCanvas::kMenuGrey);
}
