// The push button: stored form, press tracking, the hot key, the bevelled look and its pictures' states.
#include "behaviour/push_button_response.h"

#include <gtest/gtest.h>

#include <deque>

#include "platform/user/gui_session.h"
#include "platform/msg/window_messages.h"
#include "tests/behaviour/answer_test_support.h"
#include "tests/platform/gdi/canvas.h"

using tvn::testing::ButtonFields;
using tvn::testing::CourseBuilder;
using tvn::testing::IconFields;
using tvn::testing::ReadBack;
using tvn::testing::ResponseFields;
using tvn::testing::VariableRectFields;

namespace {

std::unique_ptr<CPushButtonResponse> Button(const ButtonFields& fields, VariableRectFields rect = {10, 10, 110, 60}) {
  CourseBuilder b;
  b.PushButtonResponse(IconFields{4, "ok", "", 3}, ResponseFields{}, fields, rect);
  return ReadBack<CPushButtonResponse>(b);
}

// Mouse positions as the tracking loop would take them; running out ends the
// loop as a lost capture does.
class ScriptedPress final : public IPressTrackingHost {
 public:
  struct Move {
    CPoint point;
    bool release;
  };
  explicit ScriptedPress(std::deque<Move> moves) : m_moves(std::move(moves)) {}
  BOOL NextMouse(CPoint& point, BOOL& released) override {
    if (m_moves.empty()) return FALSE;
    point = m_moves.front().point;
    released = m_moves.front().release;
    m_moves.pop_front();
    return TRUE;
  }
  void Repaint(const CRect&) override { ++repaints; }
  int repaints = 0;

 private:
  std::deque<Move> m_moves;
};

// The box around every reddish pixel (smoothed text blends into the face).
CRect RedInk(Canvas& canvas) {
  CRect box;
  bool any = false;
  const CSize size = canvas.bitmap.GetSize();
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x)
      if (const COLORREF c = canvas.dc.GetPixel(x, y); GetRValue(c) > GetGValue(c) + 40 && GetRValue(c) > GetBValue(c) + 40) {
        const CRect px(x, y, x + 1, y + 1);
        if (any) box.UnionRect(box, px);
        else box = px;
        any = true;
      }
  return box;
}

}  // namespace

TEST(PushButton, ReadsEveryFieldAndTheCursorFileOnlyFromSchemaThree) {
  ButtonFields f;
  f.caption = "Go on";
  f.hotKey = 'g';
  f.style = 0x20012;
  f.textColour = RGB(1, 2, 3);
  f.bevel = 5;
  f.cursorFile = "hand.cur";
  f.images[2].fileName = "down.bmp";
  auto b = Button(f);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->m_strCaption, "Go on");
  EXPECT_EQ(b->m_hotKey, 'g');
  EXPECT_EQ(b->GetStateValue(), 0x20012);
  EXPECT_EQ(b->m_textColour, RGB(1, 2, 3));
  EXPECT_EQ(b->m_faceColour, 0xC0C0C0u);
  EXPECT_EQ(b->m_bevel, 5);
  EXPECT_EQ(b->m_strCursorFile, "hand.cur");
  EXPECT_EQ(b->m_images[2].fileName, "down.bmp");
  EXPECT_EQ(b->GetBounds(), CRect(10, 10, 110, 60));
  EXPECT_EQ(b->GetTypeFlags(), 340);
  EXPECT_EQ(b->GetKind(), ResponseKind::kPushButton);
  EXPECT_FALSE(b->IsOpaque()) << "known elsewhere as IsTransparent: a button is never transparent";

  CStringArray files;
  EXPECT_TRUE(b->CollectFiles(&files, 0));
  EXPECT_TRUE(files.GetSize() >= 2);

  f.schema = 2;
  auto old = Button(f);
  ASSERT_TRUE(old);
  EXPECT_TRUE(old->m_strCursorFile.IsEmpty());
  EXPECT_EQ(old->m_images[2].fileName, "down.bmp");
}

TEST(PushButton, NewButtonSitsCentredNearTheBottom) {
  CPushButtonResponse b;
  b.PlaceNew(CSize(640, 450));
  EXPECT_EQ(b.GetBounds(), CRect(250, 325, 390, 375));
  EXPECT_EQ(b.m_dwStyle, ButtonStyle::kDefault);
  EXPECT_EQ(b.m_bevel, 2);
}

TEST(PushButton, PressTrackingAnswersOnlyForAReleaseInside) {
  auto b = Button(ButtonFields{});
  const CPoint inside(50, 30);
  const CPoint outside(300, 300);

  ScriptedPress outRelease({{inside, false}, {outside, false}, {outside, true}});
  EXPECT_FALSE(b->TrackPress(outRelease));

  ScriptedPress comeBack({{outside, false}, {inside, false}, {inside, true}});
  EXPECT_TRUE(b->TrackPress(comeBack));
  // Down look, left, back, and up again: each change is shown at once.
  EXPECT_EQ(comeBack.repaints, 4);

  // Capture lost, quit or the course stopping: the loop ends with no release.
  ScriptedPress lost({{inside, false}});
  EXPECT_FALSE(b->TrackPress(lost));
  EXPECT_EQ(b->m_wState & (ButtonState::kHeld | ButtonState::kLeftWhileHeld), 0);
}

TEST(PushButton, StateImageFollowsHoverAndPress) {
  CPushButtonResponse b;
  EXPECT_EQ(b.ShownImage(), CPushButtonResponse::kUpImage);
  b.m_wState = ButtonState::kHover;
  EXPECT_EQ(b.ShownImage(), CPushButtonResponse::kHoverImage);
  b.m_wState = ButtonState::kHeld | ButtonState::kHover;
  EXPECT_EQ(b.ShownImage(), CPushButtonResponse::kDownImage);
  b.m_wState = ButtonState::kHeld | ButtonState::kLeftWhileHeld;
  EXPECT_EQ(b.ShownImage(), CPushButtonResponse::kUpImage);
}

TEST(PushButton, HotKeyIsMatchedUpperCased) {
  ButtonFields f;
  f.hotKey = 'a';
  auto b = Button(f);
  EXPECT_TRUE(b->OnKey(0x41, 0));
  EXPECT_FALSE(b->OnKey(0x42, 0));
  EXPECT_FALSE(b->OnKey('a', 0));

  auto none = Button(ButtonFields{});
  EXPECT_FALSE(none->OnKey(0, 0));

  CourseBuilder disabled;
  disabled.PushButtonResponse(IconFields{0x84, "off", "", 3}, ResponseFields{}, f, {10, 10, 110, 60});
  auto off = ReadBack<CPushButtonResponse>(disabled);
  EXPECT_FALSE(off->OnKey(0x41, 0));
}

TEST(PushButton, UpLookHasLightTopLeftAndDarkBottomRight) {
  CPushButtonResponse b;
  b.m_faceColour = RGB(200, 200, 200);
  b.m_highlightColour = RGB(255, 255, 255);
  b.m_shadowColour = RGB(0, 0, 128);
  b.m_bevel = 5;
  b.m_dwStyle = 0;
  Canvas canvas(80, 60, RGB(0, 255, 0));
  const CRect rect(9, 9, 71, 51);  // drawn one pixel inside: 10,10 .. 70,50
  b.Draw(&canvas.dc, 0, &rect);
  EXPECT_EQ(canvas.dc.GetPixel(10, 20), RGB(255, 255, 255));
  EXPECT_EQ(canvas.dc.GetPixel(69, 20), RGB(0, 0, 128));
  EXPECT_EQ(canvas.dc.GetPixel(30, 49), RGB(0, 0, 128));
  EXPECT_EQ(canvas.dc.GetPixel(30, 30), RGB(200, 200, 200));

  b.m_wState = ButtonState::kHeld;
  Canvas down(80, 60, RGB(0, 255, 0));
  b.Draw(&down.dc, 0, &rect);
  // A wide bevel held down swaps the edges' colours.
  EXPECT_EQ(down.dc.GetPixel(10, 20), RGB(0, 0, 128));
  EXPECT_EQ(down.dc.GetPixel(69, 20), RGB(255, 255, 255));
}

TEST(PushButton, ContentMovesByTwoWhenAWideBevelIsHeld) {
  // Text needs the windowing system's fonts.
  int argc = 1;
  char program[] = "push_button_test";
  char* argv[] = {program, nullptr};
  CGuiSession gui(argc, argv);
  CPushButtonResponse b;
  b.m_bevel = 5;
  b.m_textColour = RGB(255, 0, 0);
  b.m_strCaption = "X";
  b.Activate();
  const CRect rect(9, 9, 91, 61);
  Canvas up(100, 70, RGB(0, 255, 0));
  b.Draw(&up.dc, 0, &rect);
  const CRect upInk = RedInk(up);
  ASSERT_FALSE(upInk.IsRectEmpty());

  b.m_wState = ButtonState::kHeld;
  Canvas down(100, 70, RGB(0, 255, 0));
  b.Draw(&down.dc, 0, &rect);
  const CRect downInk = RedInk(down);
  EXPECT_EQ(downInk.left - upInk.left, 2);
  EXPECT_EQ(downInk.top - upInk.top, 2);

  // A narrow bevel moves the content by the bevel width.
  b.m_bevel = 1;
  b.m_wState = 0;
  Canvas narrowUp(100, 70, RGB(0, 255, 0));
  b.Draw(&narrowUp.dc, 0, &rect);
  b.m_wState = ButtonState::kHeld;
  Canvas narrowDown(100, 70, RGB(0, 255, 0));
  b.Draw(&narrowDown.dc, 0, &rect);
  EXPECT_EQ(RedInk(narrowDown).left - RedInk(narrowUp).left, 1);
}

TEST(PushButton, HitsAnywhereInsideWhenDrawn) {
  auto b = Button(ButtonFields{});
  const CRect rect(10, 10, 110, 60);
  EXPECT_TRUE(b->GetRegion(0, 20, 20, &rect));
  EXPECT_FALSE(b->GetRegion(0, 5, 20, &rect));
  EXPECT_TRUE(b->ContainsPoint(109, 59));
  EXPECT_FALSE(b->ContainsPoint(110, 60));
}

TEST(PushButton, CopyKeepsItsCaptionWhenTheSourceHasNone) {
  ButtonFields f;
  f.caption = "Mine";
  auto target = Button(f);
  auto source = Button(ButtonFields{});
  source->m_bevel = 7;
  target->CopyFrom(source.get(), TRUE);
  EXPECT_EQ(target->m_strCaption, "Mine");
  EXPECT_EQ(target->m_bevel, 7);
  target->CopyFrom(source.get(), FALSE);
  EXPECT_TRUE(target->m_strCaption.IsEmpty());
  EXPECT_TRUE(target->SetBackColour(RGB(9, 9, 9)));
  EXPECT_FALSE(target->SetBackColour(RGB(9, 9, 9)));
}
