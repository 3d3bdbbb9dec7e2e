// The demo course played from its first page to its last, as a learner
// would: every page shows its own texts and nothing the page before left,
// each text has the room it needs and lies over no other, the page fits its
// window without scroll bars, the quiz menu is there only where it skips,
// and the score counts every question.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "behaviour/rtf_action.h"
#include "behaviour/text_action.h"
#include "model/course_doc.h"
#include "model/font_services.h"
#include "model/task.h"
#include "model/task_managers.h"
#include "platform/gdi/dc.h"
#include "platform/user/menu.h"
#include "playback/player_app.h"
#include "playback/presentation_frame.h"
#include "playback/presentation_view.h"
#include "tests/support/rich_text_page.h"
#include "tests/support/scripted_player.h"

namespace {

using namespace tvn::testing;

constexpr int kQuestionTask = 1;
constexpr UINT kSkipCommand = 5001;  // the quiz menu's one item

struct PlacedText {
  CString name;
  CRect rect;
};

// Every text action on the page, each measured in its own font as it is
// drawn: wrapped at its rectangle's width, it must end inside its rectangle.
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

// What the page shows as text: text actions as expanded, rich text as its plain characters.
std::vector<std::string> TextsShown(ScriptedPlayer& player) {
  std::vector<std::string> shown;
  for (CDrawObj* object : player.View().GetObjects()) {
    if (auto* text = dynamic_cast<CTextAction*>(object->GetOwner()); text && !text->GetShownText().IsEmpty())
      shown.push_back(text->GetShownText().str());
    else if (auto* rtf = dynamic_cast<CRtfAction*>(object->GetOwner()))
      shown.push_back(rtf->TextDisplay().GetTextRange(0, -1).str());
  }
  return shown;
}

// The page is the task's and shows one text beginning with each of the
// expected beginnings and nothing else; it has no scroll bar, and the quiz
// menu offers its item on the question page only.
void ExpectPage(ScriptedPlayer& player, int task, const std::vector<std::string>& beginnings) {
  ASSERT_EQ(player.CurrentTask(), task);
  std::vector<std::string> shown = TextsShown(player);
  for (const std::string& beginning : beginnings) {
    auto found =
        std::find_if(shown.begin(), shown.end(), [&](const std::string& t) { return t.starts_with(beginning); });
    if (found == shown.end()) {
      ADD_FAILURE() << "task " << task << " does not show \"" << beginning << "...\"";
      continue;
    }
    shown.erase(found);
  }
  for (const std::string& left : shown) ADD_FAILURE() << "task " << task << " still shows \"" << left << "\"";
  CheckTextsOnPage(player);
  EXPECT_EQ(player.View().GetScrollLimit(SB_HORZ), 0) << "task " << task;
  EXPECT_EQ(player.View().GetScrollLimit(SB_VERT), 0) << "task " << task;
  EXPECT_EQ(player.View().GetStyle() & (WS_HSCROLL | WS_VSCROLL), 0u) << "task " << task;
  const HMENU menu = player.App().GetPresentationFrame()->GetMenuHandle();
  const bool skips = menu && GetMenuState(menu, kSkipCommand, MF_BYCOMMAND) != kNoMenuItem;
  EXPECT_EQ(skips, task == kQuestionTask) << "task " << task;
}

CPoint ClientPoint(ScriptedPlayer& player, int x, int y) {
  CRect point(x, y, x + 1, y + 1);
  player.View().LogicalToClientRect(&point);
  return point.TopLeft();
}

void Click(ScriptedPlayer& player, int x, int y) {
  const CPoint at = ClientPoint(player, x, y);
  player.PressAndRelease(at, {}, at);
}

// Lets the clock run in steps until the page changes, for at most the time given.
void WaitForNextPage(ScriptedPlayer& player, DWORD limit) {
  const int task = player.CurrentTask();
  for (DWORD waited = 0; waited < limit && player.CurrentTask() == task && !player.Ended(); waited += 100)
    player.Tick(100);
}

void StartDemo(ScriptedPlayer& player) {
  ASSERT_TRUE(player.StartDemo(TVN_DEMO_COURSE));
  ExpectPage(player, 8, {"Welcome: listen to the narration."});
  WaitForNextPage(player, 10000);  // the narration's end
  ExpectPage(player, 9, {"What is your name?"});
  player.Key(VK_RETURN);
  ExpectPage(player, kQuestionTask, {"Welcome to the demo quiz", "Which colour runs"});
}

// From the result page through the film to the rich-text page.
void PlayFilm(ScriptedPlayer& player) {
  player.Key('X');
  ExpectPage(player, 10, {"A short film"});
  WaitForNextPage(player, 12000);
  ExpectPage(player, 5, {"Rich text on the page", "Formatted text comes from RTF"});
}

// The two notes pages, each left with Done; the second ends the program.
void WriteNotes(ScriptedPlayer& player) {
  ASSERT_FALSE(player.Ended());
  ExpectPage(player, 11, {"Write a few notes."});
  Click(player, 540, 425);
  ExpectPage(player, 12, {"Your notes, as you wrote them."});
  Click(player, 540, 425);
  EXPECT_TRUE(player.Ended());
}

}  // namespace

TEST(DemoPlaythrough, EveryQuestionLeftAloneScoresNothingAndAKeyPassesTheLink) {
  if (!std::filesystem::exists(TVN_DEMO_COURSE)) GTEST_SKIP() << "the demo course is not built";
  ScriptedPlayer player;
  ASSERT_NO_FATAL_FAILURE(StartDemo(player));
  WaitForNextPage(player, 6500);
  ExpectPage(player, 2, {"Which of these are fruits?"});
  WaitForNextPage(player, 15500);
  ExpectPage(player, 3, {"Drag the star into the green basket."});
  // The longest name the name field takes greets the learner on the result page.
  ASSERT_TRUE(player.Variable("Name"));
  player.Variable("Name")->SetString("Wolfgang Amadeus");
  WaitForNextPage(player, 15500);
  ExpectPage(player, 4, {"Better luck next time, Wolfgang Amadeus! Score: 0 of 3"});
  PlayFilm(player);
  player.Key('X');
  WriteNotes(player);
}

TEST(DemoPlaythrough, RightAnswersScoreEveryQuestionAndTheLinkLeadsToItsOwnPage) {
  if (!std::filesystem::exists(TVN_DEMO_COURSE)) GTEST_SKIP() << "the demo course is not built";
  ScriptedPlayer player;
  ASSERT_NO_FATAL_FAILURE(StartDemo(player));
  Click(player, 130, 325);  // "Red to blue"
  ExpectPage(player, 2, {"Which of these are fruits?"});
  player.Key('A');
  player.Key('T');
  Click(player, 150, 325);  // Done
  ExpectPage(player, 3, {"Drag the star into the green basket."});
  ASSERT_TRUE(player.Variable("Name"));
  player.Variable("Name")->SetString("Ada");
  // The star, dragged by its centre over the basket, is seen there.
  player.Press(ClientPoint(player, 124, 264), MK_LBUTTON);
  player.MoveTo(ClientPoint(player, 300, 264), MK_LBUTTON);
  player.MoveTo(ClientPoint(player, 480, 265), MK_LBUTTON);
  EXPECT_EQ(player.Pixel(480, 265), RGB(0xFF, 0xC0, 0x00));
  player.Release(ClientPoint(player, 480, 265));
  ExpectPage(player, 4, {"Well done, Ada! Score: 3 of 3"});
  EXPECT_EQ(player.Number("Score"), 3);
  PlayFilm(player);

  CTask* page = player.Course()->GetCurrentTask();
  auto* body = dynamic_cast<CRtfAction*>(page->GetActions()->GetChild(2));
  ASSERT_TRUE(body);
  const std::string text = body->TextDisplay().GetTextRange(0, -1).str();
  const CPoint at = body->TextDisplay().PosFromChar(static_cast<long>(text.find(kRichTextLink)) + 2);
  const CPoint link = ClientPoint(player, kRichTextBodyLeft + body->TextDisplay().GetLeftIndent() + at.x + 2,
                                  kRichTextBodyTop + at.y + 6);
  player.MoveTo(link);
  player.Click(link);
  ExpectPage(player, 6, {"You followed the link \"Read more\"."});
  player.Key('X');
  WriteNotes(player);
}
