// The demo course played from its first page to its last: on every page each
// text has the room it needs, and no text lies over another.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "behaviour/rtf_action.h"
#include "behaviour/text_action.h"
#include "model/course_doc.h"
#include "model/task.h"
#include "model/task_managers.h"
#include "platform/gdi/dc.h"
#include "model/font_services.h"
#include "playback/presentation_view.h"
#include "tests/support/rich_text_page.h"
#include "tests/support/scripted_player.h"

namespace {

using namespace tvn::testing;

struct PlacedText {
  CString name;
  CRect rect;
};

// Every text on the page, each measured in its own font as it is drawn:
// wrapped at its rectangle's width, it must end inside its rectangle.
void CheckTextsOnPage(ScriptedPlayer& player) {
  const int task = player.CurrentTask();
  std::vector<PlacedText> texts;
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  for (CDrawObj* object : player.View().GetObjects()) {
    auto* text = dynamic_cast<CTextAction*>(object->GetOwner());
    if (!text || text->GetShownText().IsEmpty()) continue;
    CRect rect;
    object->GetRect(&rect);
    IGdiFont* old = text->GetFontObject()->Select(&dc);
    CRect needed(0, 0, rect.Width(), 0);
    dc.DrawText(text->GetShownText(), &needed, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_CALCRECT);
    if (old) GetFontServices().SelectFont(&dc, old);
    EXPECT_LE(needed.Width(), rect.Width()) << "task " << task << ": \"" << text->GetShownText().str() << "\"";
    EXPECT_LE(needed.Height(), rect.Height()) << "task " << task << ": \"" << text->GetShownText().str()
                                              << "\" needs " << needed.Height() << " px";
    texts.push_back({text->GetName(), rect});
  }
  for (std::size_t i = 0; i < texts.size(); ++i)
    for (std::size_t j = i + 1; j < texts.size(); ++j) {
      CRect both;
      EXPECT_FALSE(both.IntersectRect(texts[i].rect, texts[j].rect))
          << "task " << task << ": \"" << texts[i].name.str() << "\" and \"" << texts[j].name.str() << "\" overlap";
    }
}

CPoint ClientPoint(ScriptedPlayer& player, int x, int y) {
  CRect point(x, y, x + 1, y + 1);
  player.View().LogicalToClientRect(&point);
  return point.TopLeft();
}

}  // namespace

TEST(DemoLayoutPlaythrough, EveryTextOfEveryPageHasItsOwnRoom) {
  const std::filesystem::path demo = TVN_DEMO_COURSE;
  if (!std::filesystem::exists(demo)) GTEST_SKIP() << "the demo course is not built";
  ScriptedPlayer player;
  ASSERT_TRUE(player.StartDemo(demo));
  std::vector<int> seen;
  auto check = [&](int task) {
    ASSERT_EQ(player.CurrentTask(), task);
    seen.push_back(task);
    CheckTextsOnPage(player);
  };

  check(8);  // the welcome page
  player.TickInSteps(2000);
  check(9);  // the name page keeps the welcome title
  player.Key(VK_RETURN);
  check(1);
  player.TickInSteps(6000);
  check(2);
  player.TickInSteps(15000);
  check(3);
  // The longest name the name field takes greets the learner on the result page.
  ASSERT_TRUE(player.Variable("Name"));
  player.Variable("Name")->SetString("Wolfgang Amadeus");
  player.TickInSteps(15000);
  check(4);
  player.Key('X');
  check(10);
  for (DWORD waited = 0; waited < 12000 && player.CurrentTask() == 10; waited += 100) player.Tick(100);
  check(5);

  CTask* page = player.Course()->GetCurrentTask();
  auto* body = dynamic_cast<CRtfAction*>(page->GetActions()->GetChild(2));
  ASSERT_TRUE(body);
  const std::string text = body->TextDisplay().GetTextRange(0, -1).str();
  const CPoint at = body->TextDisplay().PosFromChar(static_cast<long>(text.find(kRichTextLink)) + 2);
  const CPoint link = ClientPoint(player, kRichTextBodyLeft + body->TextDisplay().GetLeftIndent() + at.x + 2,
                                  kRichTextBodyTop + at.y + 6);
  player.MoveTo(link);
  player.Click(link);
  check(6);
  player.Key('X');
  check(11);
  const CPoint done = ClientPoint(player, 540, 425);
  player.PressAndRelease(done, {}, done);
  check(12);
  EXPECT_EQ(seen, (std::vector<int>{8, 9, 1, 2, 3, 4, 10, 5, 6, 11, 12}));
}
