// The demo's rich-text page played headless: the link shows the hand and a click takes the hypertext branch.
#include <gtest/gtest.h>

#include "behaviour/rtf_action.h"
#include "model/course_doc.h"
#include "model/task.h"
#include "model/task_managers.h"
#include "playback/presentation_view.h"
#include "tests/support/rich_text_page.h"
#include "tests/support/scripted_player.h"

namespace {

using namespace tvn::testing;

std::vector<std::uint8_t> RichTextCourse() {
  CourseFileFields f;
  f.header = "Rich";
  f.course = IconFields{4, "Rich text", "", 3};
  f.tasks.push_back([](CourseBuilder& b) { RichTextPage(b, 1, 2, 3); });
  // Both pages wait for a key, so the course stays where the branch went.
  auto wait = [](CourseBuilder& c) { c.KeyboardResponse(IconFields{4, "Key", "", 3}, ResponseFields{}, KeyFields{}); };
  f.tasks.push_back([=](CourseBuilder& b) { b.Task(IconFields{4, "Followed", "", 3}, 2, {}, {}, {wait}); });
  f.tasks.push_back([=](CourseBuilder& b) { b.Task(IconFields{4, "Keyed", "", 3}, 3, {}, {}, {wait}); });
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

// The view point on a character of the body's link, as the page laid it out.
CPoint LinkPoint(ScriptedPlayer& player, const char* link) {
  CTask* task = player.Course()->GetCurrentTask();
  CRtfAction* body = nullptr;
  for (int i = 0; task && i < task->GetActions()->GetCount(); ++i)
    if (auto* a = dynamic_cast<CRtfAction*>(task->GetActions()->GetChild(i)); a && a->GetName() == CString("Body"))
      body = a;
  if (!body) return CPoint(-1, -1);
  CRtfDisplay& display = body->TextDisplay();
  const std::string text = display.GetTextRange(0, -1).str();
  const long index = static_cast<long>(text.find(link)) + 2;
  const CPoint at = display.PosFromChar(index);
  return CPoint(kRichTextBodyLeft + display.GetLeftIndent() + at.x + 2, kRichTextBodyTop + at.y + 6);
}

TEST(RichTextPlaythrough, TheLinkShowsTheHandAndAClickFollowsIt) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(RichTextCourse()));
  ASSERT_EQ(player.CurrentTask(), 1);
  const CPoint link = LinkPoint(player, kRichTextLink);
  ASSERT_GE(link.x, kRichTextBodyLeft);

  player.MoveTo(CPoint(kRichTextBodyLeft + 2, kRichTextBodyTop + 200));
  EXPECT_NE(player.View().GetCursorState(), ViewCursor::kHand);
  player.MoveTo(link);
  EXPECT_EQ(player.View().GetCursorState(), ViewCursor::kHand);
  player.Click(link);
  EXPECT_EQ(player.CurrentTask(), 2) << "the hypertext response's branch";
  EXPECT_EQ(player.Text("HyperTextSelected").str(), kRichTextLink);
}

TEST(RichTextPlaythrough, ClickingPlainTextOrPressingAKeyDoesNotFollowTheLink) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(RichTextCourse()));
  player.Click(CPoint(kRichTextBodyLeft + 20, kRichTextBodyTop + 6));
  EXPECT_EQ(player.CurrentTask(), 1);
  EXPECT_EQ(player.Text("HyperTextSelected").str(), "");
  player.Key('X');
  EXPECT_EQ(player.CurrentTask(), 3);
}

TEST(RichTextPlaythrough, ALiveWindowScrollsAndPassesClicksOnInTheViewsCoordinates) {
  CourseFileFields f;
  f.header = "Live";
  f.course = IconFields{4, "Live rich text", "", 3};
  f.tasks.push_back([](CourseBuilder& b) {
    auto live = [](CourseBuilder& c) {
      RtfFields r;
      r.flags = RtfFlag::kLive | RtfFlag::kWrap;
      r.text = "{\\rtf1 Plain words in a live window\\par 2\\par 3\\par 4\\par 5\\par 6\\par 7}";
      DisplayFields d;
      d.rect = {100, 120, 300, 200};
      d.layer = 4;
      c.RtfAction(IconFields{4, "Live", "", 3}, r, d);
    };
    auto click = [](CourseBuilder& c) {
      c.KeyboardResponse(IconFields{4, "Key", "", 3}, ResponseFields{}, KeyFields{});
    };
    b.Task(IconFields{4, "Page", "", 3}, 1, {}, {live}, {click});
  });
  CourseBuilder b;
  b.CourseFile(f);
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(b.bytes()));
  CWnd* window = player.View().GetDlgItem(kRtfWindowId);
  ASSERT_TRUE(window);
  EXPECT_TRUE(window->IsWindowVisible());
  EXPECT_EQ(window->GetStyle() & (WS_VSCROLL | WS_HSCROLL), WS_VSCROLL) << "seven lines in a window of four";
  window->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 15));
  // The window stands at the rectangle's left moved right by the display's indent (10).
  EXPECT_EQ(player.Number("ClickX"), 100 + 10 + 10);
  EXPECT_EQ(player.Number("ClickY"), 135);
}

}  // namespace
