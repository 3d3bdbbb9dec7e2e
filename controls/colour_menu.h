// The editor's text colours: ColourFromId and the owner-drawn pop-up CColourMenu.
#pragma once

#include "platform/gdi/gdi_types.h"
#include "platform/user/menu.h"

// Command ids of the colour menu: sixteen named colours, then "Customized".
constexpr UINT kFirstColourId = 5700;
constexpr UINT kCustomColourId = 5716;
constexpr UINT kLastColourId = kCustomColourId;

// The colour of a menu id (red in the low byte): the stock palette's entry
// for 5700-5715, the window-text colour for 5716 and for any id outside the
// menu.
COLORREF ColourFromId(UINT id);

// A pop-up of the 17 colour items, ids 5700-5716 in order, each owner-drawn
// with its id as item data: a swatch of its colour beside its name (the
// string of the same id). It is usually put into another menu as a pop-up;
// the drawing goes with the menu handle, so the object may go first.
class CColourMenu : public CMenu {
 public:
  CColourMenu();

  // Width: the name's width in the display font + 50; height: the name's height.
  void MeasureItem(MEASUREITEMSTRUCT* item) override;
  // The item on its background (the highlight colour when selected), the
  // name at left + 50 and the swatch from left + 5 to left + 45, top + 2 to
  // bottom - 2, outlined with the current pen. Ids outside the menu draw nothing.
  void DrawItem(DRAWITEMSTRUCT* item) override;

  static void Measure(MEASUREITEMSTRUCT& item);
  static void Draw(const DRAWITEMSTRUCT& item);
};
