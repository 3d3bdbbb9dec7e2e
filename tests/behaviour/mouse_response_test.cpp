// The mouse response: which clicks of which buttons it takes, copying and its stored form.
#include "behaviour/mouse_response.h"

#include <gtest/gtest.h>

#include "platform/msg/window_messages.h"
#include "tests/behaviour/answer_test_support.h"

using tvn::testing::CourseBuilder;
using tvn::testing::HostTask;
using tvn::testing::IconFields;
using tvn::testing::ReadBack;
using tvn::testing::ResponseFields;

namespace {

std::unique_ptr<CMouseResponse> Mouse(DWORD flags, std::uint32_t iconFlags = 4) {
  CourseBuilder b;
  ResponseFields r;
  r.outcomeFlags = 0x2;
  r.targets = {7};
  b.MouseResponse(IconFields{iconFlags, "click", "", 3}, r, flags);
  return ReadBack<CMouseResponse>(b);
}

BOOL Click(CMouseResponse& m, UINT message, UINT keyFlags, int source = kInputFromTaskResponses) {
  return m.OnMouseButton(message, keyFlags, CPoint(30, 40), source, nullptr);
}

}  // namespace

TEST(MouseResponse, ReadsItsFlagsBeforeTheResponseBase) {
  auto m = Mouse(0x0C);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->GetMouseFlags(), 0x0Cu);
  EXPECT_EQ(m->GetName(), "click");
  EXPECT_EQ(m->GetBranchTarget(0), 7);
  EXPECT_EQ(m->GetKind(), ResponseKind::kMouse);
  EXPECT_EQ(m->GetSubManager(), &m->GetActions());
  EXPECT_EQ(CMouseResponse().GetMouseFlags(), MouseFlag::kDefault);
}

TEST(MouseResponse, LeftPressByDefaultNotRightOrRelease) {
  auto m = Mouse(0x11);
  EXPECT_TRUE(Click(*m, WM_LBUTTONDOWN, MK_LBUTTON));
  EXPECT_TRUE(Click(*m, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT));
  EXPECT_FALSE(Click(*m, WM_RBUTTONDOWN, MK_RBUTTON));
  EXPECT_FALSE(Click(*m, WM_RBUTTONUP, MK_RBUTTON));
  EXPECT_FALSE(Click(*m, WM_LBUTTONUP, MK_LBUTTON));
  EXPECT_FALSE(Click(*m, WM_LBUTTONDBLCLK, MK_LBUTTON));
  // Offers from the armed events or from page objects are not this response's.
  EXPECT_FALSE(Click(*m, WM_LBUTTONDOWN, MK_LBUTTON, 5));
  EXPECT_FALSE(Click(*m, WM_LBUTTONDOWN, MK_LBUTTON, 6));
}

TEST(MouseResponse, ClickKindsAndButtons) {
  auto rightRelease = Mouse(0x0C);
  EXPECT_TRUE(Click(*rightRelease, WM_RBUTTONUP, MK_RBUTTON));
  EXPECT_FALSE(Click(*rightRelease, WM_RBUTTONUP, 0));  // the view adds the released button's flag
  EXPECT_FALSE(Click(*rightRelease, WM_RBUTTONDOWN, MK_RBUTTON));

  auto doubleEither = Mouse(0x25);
  EXPECT_TRUE(Click(*doubleEither, WM_LBUTTONDBLCLK, MK_LBUTTON));
  EXPECT_TRUE(Click(*doubleEither, WM_RBUTTONDBLCLK, MK_RBUTTON));
  EXPECT_FALSE(Click(*doubleEither, WM_LBUTTONDOWN, MK_LBUTTON));

  // The middle button counts by its key flag on a left or right message;
  // middle-button messages are no click kind at all.
  auto middle = Mouse(0x12);
  EXPECT_FALSE(Click(*middle, WM_MBUTTONDOWN, MK_MBUTTON));
  EXPECT_TRUE(Click(*middle, WM_LBUTTONDOWN, MK_LBUTTON | MK_MBUTTON));
  EXPECT_FALSE(Click(*middle, WM_LBUTTONDOWN, MK_LBUTTON));

  auto noButton = Mouse(0x10);
  EXPECT_FALSE(Click(*noButton, WM_LBUTTONDOWN, MK_LBUTTON));
}

TEST(MouseResponse, DisabledNeverTakesAClick) {
  auto m = Mouse(0x11, 0x84);
  EXPECT_FALSE(Click(*m, WM_LBUTTONDOWN, MK_LBUTTON));
}

TEST(MouseResponse, CopiesFlagsThenTheBase) {
  auto source = Mouse(0x0C);
  CMouseResponse copy;
  copy.CopyFrom(source.get(), FALSE);
  EXPECT_EQ(copy.GetMouseFlags(), 0x0Cu);
  EXPECT_EQ(copy.GetBranchTarget(0), 7);
  CMouseResponse constructed(*source);
  EXPECT_EQ(constructed.GetMouseFlags(), 0x0Cu);
}

TEST(MouseResponse, MatchedClickGivesTheBranchThroughTheTask) {
  HostTask h;
  auto* m = h.AddResponse(Mouse(0x11));
  CIconObject* matched =
      h.task.GetResponses()->FindMouseButtonTarget(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(1, 1), kInputFromTaskResponses);
  EXPECT_EQ(matched, m);
  int target = 0;
  EXPECT_EQ(h.task.EvaluateAnswer(matched, &target), Outcome::kGoTo);
  EXPECT_EQ(target, 7);
}
