// The check button: stored form, layout, pressing, radio groups on the page, the access key and scoring.
#include "behaviour/check_button_response.h"

#include <gtest/gtest.h>

#include <deque>

#include "behaviour/response_manager.h"
#include "platform/msg/window_messages.h"
#include "tests/behaviour/answer_test_support.h"
#include "tests/behaviour/display_test_support.h"

using namespace tvn::testing;

namespace {

std::unique_ptr<CCheckButtonResponse> Check(const CheckButtonFields& fields, VariableRectFields rect = {10, 10, 110, 30},
                                            ResponseFields response = {}) {
  CourseBuilder b;
  b.CheckButtonResponse(IconFields{4, "check", "", 3}, response, fields, rect);
  return ReadBack<CCheckButtonResponse>(b);
}

// Mouse positions as the tracking loop would take them.
class ScriptedPress final : public IPressTrackingHost {
 public:
  explicit ScriptedPress(std::deque<std::pair<CPoint, bool>> moves) : m_moves(std::move(moves)) {}
  BOOL NextMouse(CPoint& point, BOOL& released) override {
    if (m_moves.empty()) return FALSE;
    point = m_moves.front().first;
    released = m_moves.front().second;
    m_moves.pop_front();
    pressedLooks.push_back(true);
    return TRUE;
  }
  void Repaint(const CRect&) override { ++repaints; }
  int repaints = 0;
  std::vector<bool> pressedLooks;

 private:
  std::deque<std::pair<CPoint, bool>> m_moves;
};

// Check buttons of a task on a real page.
struct CheckPage {
  CheckPage() {
    services.pageOverride = &page;
    task.SetServices(&services);
    page.SetRunning(true);
  }
  CCheckButtonResponse* Add(DWORD style, int top, BYTE mark = 0) {
    CheckButtonFields f;
    f.style = style;
    f.label = "option";
    ResponseFields r;
    r.answerMark = mark;
    auto button = Check(f, {10, top, 150, top + 20}, r);
    CCheckButtonResponse* raw = button.get();
    task.GetResponses()->AddChild(std::move(button));
    raw->Activate();
    return raw;
  }
  FakeTaskServices services;
  CTestPage page;
  CTask task;
};

}  // namespace

TEST(CheckButton, ReadsItsFieldsAndAnswersAsAFormResponse) {
  CheckButtonFields f;
  f.font.face = "Courier New";
  f.label = "Agree {Name}";
  f.condition = "Flag = 1";
  f.accessKey = 'a';
  f.style = 0xC9;
  f.textColour = RGB(1, 2, 3);
  f.backColour = RGB(4, 5, 6);
  auto c = Check(f);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->m_strLabel, "Agree {Name}");
  EXPECT_EQ(c->m_strCondition, "Flag = 1");
  EXPECT_EQ(c->m_accessKey, 'a');
  EXPECT_EQ(c->m_dwStyle, 0xC9u);
  EXPECT_EQ(c->m_textColour, RGB(1, 2, 3));
  EXPECT_EQ(c->m_backColour, RGB(4, 5, 6));
  EXPECT_STREQ(c->m_font.GetLogFont().lfFaceName, "Courier New");
  EXPECT_EQ(c->GetBounds(), CRect(10, 10, 110, 30));
  EXPECT_EQ(c->GetTypeFlags(), 0x145);
  EXPECT_EQ(c->GetStateValue(), 0);
  EXPECT_TRUE(c->IsOpaque()) << "known elsewhere as IsTransparent: 1 unless style 0x10 fills it";
  c->m_dwStyle |= CheckStyle::kFilled;
  EXPECT_FALSE(c->IsOpaque());

  // Scoring: checked with mark 1 or unchecked with mark 2 is right; anything else 2.
  struct Row {
    bool checked;
    BYTE mark;
    BYTE right;
  };
  const Row rows[] = {{true, 1, 1}, {false, 2, 1}, {true, 2, 2}, {false, 1, 2}, {false, 0, 2}};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    c->m_wState = rows[i].checked ? CheckState::kChecked : 0;
    c->SetAnswerMark(rows[i].mark);
    EXPECT_EQ(c->IsRightAnswer(), rows[i].right) << "row " << i;
  }
}

TEST(CheckButton, BoxSitsBesideTheLabelAtEitherEnd) {
  const CRect r(0, 0, 100, 20);
  const CheckButtonLayout left = LayOutCheckButton(r, 16, CheckStyle::kSquare);
  EXPECT_EQ(left.box, CRect(1, 2, 18, 18));
  EXPECT_EQ(left.label.left, 21);
  EXPECT_EQ(left.label.right, 99);
  const CheckButtonLayout right = LayOutCheckButton(r, 16, CheckStyle::kSquare | CheckStyle::kBoxRight);
  EXPECT_EQ(right.box, CRect(83, 2, 99, 18));
  EXPECT_EQ(right.label, CRect(1, 0, 79, 20));
  // A rectangle lower than the text, and one narrower still.
  EXPECT_EQ(LayOutCheckButton(CRect(0, 0, 100, 10), 16, 0).box.Height(), 10);
  EXPECT_EQ(LayOutCheckButton(CRect(0, 0, 6, 10), 16, 0).box.Height(), 6);
}

TEST(CheckButton, PressingTogglesASquareAndChecksARoundOneOnlyWhenReleasedOnIt) {
  CheckPage p;
  CCheckButtonResponse* square = p.Add(CheckStyle::kSquare, 10);
  CCheckButtonResponse* round = p.Add(CheckStyle::kRound | CheckStyle::kGroupStart, 40);
  const CPoint inSquare(50, 20), inRound(50, 50), outside(300, 200);

  ScriptedPress click({{inSquare, true}});
  EXPECT_TRUE(square->TrackPress(click));
  EXPECT_TRUE(square->IsChecked());
  ScriptedPress again({{inSquare, true}});
  square->TrackPress(again);
  EXPECT_FALSE(square->IsChecked()) << "a square button clears";

  round->TrackPress(*std::make_unique<ScriptedPress>(std::deque<std::pair<CPoint, bool>>{{inRound, true}}));
  ScriptedPress roundAgain({{inRound, true}});
  round->TrackPress(roundAgain);
  EXPECT_TRUE(round->IsChecked()) << "a round button stays checked";

  // Released outside nothing changes; leaving and coming back keeps the press.
  ScriptedPress away({{outside, false}, {outside, true}});
  EXPECT_FALSE(square->TrackPress(away));
  EXPECT_FALSE(square->IsChecked());
  ScriptedPress back({{outside, false}, {inSquare, false}, {inSquare, true}});
  square->TrackPress(back);
  EXPECT_TRUE(square->IsChecked());
  EXPECT_GE(back.repaints, 4) << "pressed look, left, back, released";
  // A loop that ends without a release (capture lost) counts as outside.
  ScriptedPress lost({{inSquare, false}});
  square->TrackPress(lost);
  EXPECT_TRUE(square->IsChecked());
  EXPECT_EQ(square->m_wState & (CheckState::kPressed | CheckState::kOutside), 0);
}

TEST(CheckButton, RoundButtonsClearTheirGroupOnThePageAndTheAccessKeyTouchesNoOther) {
  CheckPage p;
  // No 0x20 before the first two: their group reaches back to the start of the list.
  CCheckButtonResponse* a = p.Add(CheckStyle::kRound, 10);
  CCheckButtonResponse* b = p.Add(CheckStyle::kRound, 40);
  CCheckButtonResponse* square = p.Add(CheckStyle::kSquare, 70);  // in between, joins nothing
  CCheckButtonResponse* c = p.Add(CheckStyle::kRound | CheckStyle::kGroupStart, 100);
  CCheckButtonResponse* d = p.Add(CheckStyle::kRound, 130);
  for (CCheckButtonResponse* x : {a, square, c, d}) x->m_wState = CheckState::kChecked;

  b->m_wState = CheckState::kChecked;
  b->UncheckGroup();
  EXPECT_FALSE(a->IsChecked());
  EXPECT_TRUE(b->IsChecked());
  EXPECT_TRUE(square->IsChecked());
  EXPECT_TRUE(c->IsChecked()) << "another group";
  d->UncheckGroup();
  EXPECT_FALSE(c->IsChecked());
  EXPECT_TRUE(b->IsChecked());

  a->m_accessKey = 'x';
  a->OnKey('X', 0);
  EXPECT_TRUE(a->IsChecked()) << "the access key toggles even a round button";
  EXPECT_TRUE(b->IsChecked()) << "and leaves the group alone";
  EXPECT_FALSE(a->OnKey('X', 0)) << "never the task's answer";
  EXPECT_FALSE(a->IsChecked());
}

TEST(CheckButton, ActivationSetsTheStartStateAndACheckedButtonRunsItsScriptAtTaskEnd) {
  CheckPage p;
  p.services.vars.Declare("Flag", VarType::kNumber).SetReal(1);
  p.services.vars.Declare("Ran", VarType::kNumber);
  CheckButtonFields f;
  f.condition = "Flag = 1";
  ResponseFields r;
  r.expression = "Ran = Ran + 1";
  r.answerMark = 1;
  auto owned = Check(f, {10, 10, 100, 30}, r);
  CCheckButtonResponse* button = owned.get();
  p.task.GetResponses()->AddChild(std::move(owned));
  ASSERT_TRUE(button->Activate());
  EXPECT_TRUE(button->IsChecked());
  EXPECT_NE(p.page.FindDisplayItem(button), nullptr);
  button->UpdateFromControl();
  EXPECT_EQ(p.services.vars.Var("Ran").GetReal(), 1);
  EXPECT_EQ(static_cast<CResponseManager*>(p.task.GetResponses())->AllChecksCorrect(), 1);

  // Disabled buttons are never scored nor pressed.
  button->SetFlags(button->GetFlags() | 0x80);
  EXPECT_EQ(static_cast<CResponseManager*>(p.task.GetResponses())->AllChecksCorrect(), 2);
  EXPECT_FALSE(button->OnMouseButton(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(20, 20), kInputFromTaskResponses, nullptr));
  button->Toggle();
  button->SetFlags(button->GetFlags() & ~0x80u);
  button->UpdateFromControl();
  EXPECT_EQ(p.services.vars.Var("Ran").GetReal(), 1) << "unchecked: the script does not run";

  // An empty rectangle shows nothing.
  auto empty = Check(CheckButtonFields{}, {0, 0, 0, 0});
  p.task.GetResponses()->AddChild(std::move(empty));
  auto* hidden = static_cast<CCheckButtonResponse*>(p.task.GetResponses()->GetChild(1));
  EXPECT_TRUE(hidden->Activate());
  EXPECT_EQ(p.page.FindDisplayItem(hidden), nullptr);
}
