// A page of every control a course puts before the learner, played headless
// and grabbed off screen as the view shows it: rich-text editors, editor
// fields (plain and masked), list boxes with and without their border, a
// drop-down list, check and radio buttons on and off, a
// grid, and live rich text with and without its own background. Points and
// regions are checked with a tolerance; fonts may differ between machines.
#include <gtest/gtest.h>

#include "behaviour/rtf_action.h"
#include "playback/presentation_view.h"
#include "platform/user/combo_box.h"
#include "tests/support/editor_writer.h"
#include "tests/support/screen_picture.h"
#include "tests/support/scripted_player.h"

using namespace tvn::testing;

namespace {

constexpr COLORREF kPage = RGB(255, 255, 255);
constexpr COLORREF kFrame = RGB(0, 0, 0);
constexpr COLORREF kBack = RGB(255, 250, 180);
constexpr COLORREF kGreen = RGB(0, 160, 0);

// Where each control stands on the page (page and view coordinates agree: nothing scrolls).
constexpr CRect kEditorBordered(20, 20, 200, 80), kEditorBare(220, 20, 400, 80);
constexpr CRect kFieldBordered(20, 100, 200, 130), kFieldBare(220, 100, 400, 130), kFieldMasked(420, 100, 600, 130);
constexpr CRect kListBordered(20, 150, 160, 250), kListBare(180, 150, 320, 250), kDropDown(340, 150, 560, 310);
constexpr CRect kDropDownByNumber(420, 20, 620, 90);
constexpr int kButtonsTop = 330;
constexpr CRect kGrid(20, 380, 200, 460), kLiveClear(240, 380, 420, 460), kLiveOpaque(440, 380, 620, 460);

VariableRectFields At(const CRect& r) { return {r.left, r.top, r.right, r.bottom}; }

std::vector<std::uint8_t> ControlsCourse() {
  FontFields small;
  small.pointSize = 10;
  std::vector<CourseBuilder::Writer> actions;
  actions.push_back([](CourseBuilder& b) {
    ShapeFields green;
    green.type = 1;
    green.flags = 0x04;
    green.brushStyle = 0;
    green.brushColour = kGreen;
    DisplayFields d;
    d.rect = {230, 370, 630, 470};
    d.layer = 2;
    b.ShapeAction(IconFields{4, "green", "", 3}, green, d);
  });
  for (auto [rect, flags] : {std::pair{kLiveClear, RtfFlag::kLive}, std::pair{kLiveOpaque, RtfFlag::kLive | RtfFlag::kOpaque}}) {
    actions.push_back([=](CourseBuilder& b) {
      RtfFields r;
      r.flags = flags | RtfFlag::kWrap;
      r.backColour = kBack;
      r.text = "{\\rtf1 Hi}";
      DisplayFields d;
      d.rect = At(rect);
      d.layer = 4;
      b.RtfAction(IconFields{4, "live", "", 3}, r, d);
    });
  }
  std::vector<CourseBuilder::Writer> responses;
  for (auto [rect, flags] : {std::pair{kEditorBordered, 0x14u}, std::pair{kEditorBare, 0x04u}}) {
    responses.push_back([=](CourseBuilder& b) {
      RtfEditorFields e;
      e.flags = flags;
      e.backColour = kBack;
      e.font = small;
      b.RtfEditorResponse(IconFields{4, "notes", "", 3}, ResponseFields{}, e, At(rect));
    });
  }
  for (auto [rect, options, mask] : {std::tuple{kFieldBordered, 0x11111u, ""}, std::tuple{kFieldBare, 0x11101u, ""},
                                     std::tuple{kFieldMasked, 0x11111u, "(999) 999-9999"}}) {
    EditorFields e;
    e.options = options;
    e.backColour = kBack;
    e.mask = mask;
    e.font = small;
    responses.push_back(EditorResponse(IconFields{4, "field", "", 3}, ResponseFields{}, e, At(rect)));
  }
  for (auto [rect, options] : {std::pair{kListBordered, 0x11u}, std::pair{kListBare, 0x01u}, std::pair{kDropDown, 0x02u},
                               std::pair{kDropDownByNumber, 0x02u}}) {
    responses.push_back([=](CourseBuilder& b) {
      ListBoxFields l;
      l.options = options;
      l.backColour = kBack;
      l.font = small;
      if (options == 0x02u) {
        l.items = "SMALL\r\nMEDIUM\r\nLARGE";
        l.selection = rect == kDropDown ? "LA" : "3";
      } else {
        l.items = "Red\r\nGreen\r\nBlue";
        l.selection = "2";
      }
      b.ListBoxResponse(IconFields{4, "list", "", 3}, ResponseFields{}, l, At(rect));
    });
  }
  // Square off and on, round off and on, side by side.
  const std::uint32_t styles[] = {0x44, 0x4C, 0xA4, 0x8C};
  for (int i = 0; i < 4; ++i) {
    responses.push_back([=](CourseBuilder& b) {
      CheckButtonFields c;
      c.label = "Pick";
      c.style = styles[i];
      c.font = small;
      const int left = 20 + 140 * i;
      b.CheckButtonResponse(IconFields{4, "pick", "", 3}, ResponseFields{}, c, {left, kButtonsTop, left + 130, kButtonsTop + 30});
    });
  }
  responses.push_back([](CourseBuilder& b) {
    GridFields g;
    g.rows = 2;
    g.columns = 3;
    g.gridFlags = 0x1;
    g.cells.resize(6);
    b.GridResponse(IconFields{4, "grid", "", 3}, ResponseFields{}, g, At(kGrid));
  });
  responses.push_back([](CourseBuilder& b) { b.KeyboardResponse(IconFields{4, "key", "", 3}, ResponseFields{}, KeyFields{}); });

  CourseFileFields f;
  f.course = IconFields{4, "Controls", "", 3};
  f.tasks.push_back([=](CourseBuilder& b) { b.Task(IconFields{4, "Page", "", 3}, 1, {}, actions, responses); });
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

class ControlPicturesPlaythrough : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(player.Start(ControlsCourse())); }
  ScreenPicture Shot(const char* name) {
    player.Pump();
    ScreenPicture shot(*player.View().GetWidget());
    shot.Keep(name);
    return shot;
  }
  ScriptedPlayer player;
};

}  // namespace

TEST_F(ControlPicturesPlaythrough, BordersShowWhereAskedAndTheBackgroundReachesTheEdgeWhereNot) {
  ScreenPicture shot = Shot("page_of_controls");
  for (const CRect& r : {kEditorBordered, kFieldBordered, kFieldMasked, kListBordered}) {
    const int midY = (r.top + r.bottom) / 2;
    EXPECT_TRUE(shot.Near(r.left, midY, kFrame, 40)) << "left edge at " << r.left << "," << r.top;
    EXPECT_TRUE(shot.Near(r.right - 1, midY, kFrame, 40)) << "right edge at " << r.left << "," << r.top;
    EXPECT_TRUE(shot.Near(r.left + 40, r.bottom - 1, kFrame, 40)) << "bottom edge at " << r.left << "," << r.top;
    EXPECT_TRUE(shot.Near(r.left - 1, midY, kPage)) << "the page right outside at " << r.left << "," << r.top;
    EXPECT_TRUE(shot.Near(r.right - 3, r.bottom - 3, kBack)) << "the background inside at " << r.left << "," << r.top;
  }
  for (const CRect& r : {kEditorBare, kFieldBare, kListBare}) {
    const int midY = (r.top + r.bottom) / 2;
    EXPECT_TRUE(shot.Near(r.left, midY, kBack)) << "no frame at " << r.left << "," << r.top;
    EXPECT_TRUE(shot.Near(r.right - 1, r.bottom - 1, kBack)) << "no frame at " << r.left << "," << r.top;
    EXPECT_TRUE(shot.Near(r.left - 1, midY, kPage)) << "the page right outside at " << r.left << "," << r.top;
  }
  // The masked field shows its prompts; the lists their rows, the chosen one marked.
  EXPECT_GT(shot.Ink(QRect(kFieldMasked.left + 2, kFieldMasked.top + 2, 150, 26), kBack), 20);
  for (const CRect& r : {kListBordered, kListBare}) {
    EXPECT_GT(shot.Ink(QRect(r.left + 2, r.top + 2, 60, 14), kBack), 10) << "the first row's text";
    EXPECT_LT(shot.Count(QRect(r.left + 2, r.top + 2, 100, 90), kBack), 100 * 90 - 200) << "a marked row";
  }
}

TEST_F(ControlPicturesPlaythrough, TheDropDownFieldShowsTheChosenEntry) {
  std::vector<CComboBox*> combos;
  for (CWnd* w = player.View().GetWindow(GW_CHILD); w; w = w->GetWindow(GW_HWNDNEXT))
    if (auto* c = dynamic_cast<CComboBox*>(w)) combos.push_back(c);
  ASSERT_EQ(combos.size(), 2u);
  EXPECT_EQ(combos[1]->GetCurSel(), 2) << "\"3\" chooses the third entry";
  CComboBox* combo = combos[0];
  CRect field;
  combo->GetWindowRect(&field);
  player.View().ScreenToClient(&field);
  EXPECT_EQ(field.TopLeft(), kDropDown.TopLeft());
  EXPECT_LT(field.Height(), 40);
  ScreenPicture closed = Shot("page_drop_down_closed");
  EXPECT_GT(closed.Ink(QRect(field.left + 4, field.top + 3, 90, field.Height() - 6), kBack), 10) << "LARGE";
  EXPECT_TRUE(closed.Near(field.left + 50, field.bottom + 20, kPage)) << "the page below the closed field";
  CString chosen;
  combo->GetLBText(combo->GetCurSel(), chosen);
  EXPECT_EQ(chosen, "LARGE");
}

TEST_F(ControlPicturesPlaythrough, MarksGridAndLiveTextShowWhereTheyBelong) {
  ScreenPicture shot = Shot("page_marks_grid_live");
  // Each button's box at the left of its rectangle: on and off differ there only.
  auto differ = [&](int left, int other, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) n += shot.At(left + x, y) != shot.At(other + x, y) ? 1 : 0;
    return n;
  };
  const QRect box(0, kButtonsTop, 22, 30), label(30, kButtonsTop, 95, 30);
  EXPECT_GT(differ(20, 160, box), 6) << "the cross of the checked square";
  EXPECT_GT(differ(300, 440, box), 6) << "the dot of the chosen round button";
  EXPECT_EQ(differ(20, 160, label), 0);
  EXPECT_GT(shot.Ink(QRect(50, kButtonsTop + 2, 80, 26), kPage), 10) << "the label";
  EXPECT_GT(shot.Ink(QRect(22, kButtonsTop + 5, 15, 20), kPage), 10) << "the square's outline";

  // Dotted grid lines along the top and through the middle.
  EXPECT_GT(shot.Ink(QRect(kGrid.left, kGrid.top, kGrid.Width(), 1), kPage), kGrid.Width() / 4);
  EXPECT_GT(shot.Ink(QRect(kGrid.left, kGrid.top + kGrid.Height() / 2, kGrid.Width(), 1), kPage), kGrid.Width() / 4);
  EXPECT_LT(shot.Ink(QRect(kGrid.left + 5, kGrid.top + 5, 40, 30), kPage), 5) << "cells are empty";

  // Live rich text: without its own background the page shows beside the text.
  EXPECT_TRUE(shot.Near(kLiveClear.right - 8, kLiveClear.bottom - 8, kGreen)) << "the page through the window";
  EXPECT_TRUE(shot.Near(kLiveOpaque.right - 8, kLiveOpaque.bottom - 8, kBack)) << "the text's own background";
  EXPECT_GT(shot.Ink(QRect(kLiveClear.left + 10, kLiveClear.top, 60, 30), kGreen), 10) << "the text over the page";
}
