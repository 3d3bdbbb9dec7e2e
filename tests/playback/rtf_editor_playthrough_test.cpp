// Rich-text editors played headless: what the learner types is in the bound
// variable, as RTF, when the next task's actions run, and a later editor
// filled from the variable shows it again; the demo course's notes pages.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "behaviour/rtf_action.h"
#include "behaviour/rtf_editor_response.h"
#include "model/course_doc.h"
#include "model/task.h"
#include "model/task_managers.h"
#include "playback/presentation_view.h"
#include "tests/playback/view_test_courses.h"
#include "tests/support/rich_text_page.h"
#include "tests/support/scripted_player.h"

namespace {

using namespace tvn::testing;

// The editor of the current task's rich-text editor response.
CRtfEditorView* Editor(ScriptedPlayer& player) {
  CTask* task = player.Course() ? player.Course()->GetCurrentTask() : nullptr;
  for (int i = 0; task && i < task->GetResponses()->GetCount(); ++i)
    if (auto* r = dynamic_cast<CRtfEditorResponse*>(task->GetResponses()->GetChild(i))) return r->GetEditor();
  return nullptr;
}

// A page point as the view's window shows it.
CPoint ClientPoint(ScriptedPlayer& player, int x, int y) {
  CRect point(x, y, x + 1, y + 1);
  player.View().LogicalToClientRect(&point);
  return point.TopLeft();
}

// The learner clicks into the editor and types (a key, then its character, as
// the window layer delivers typing), then colours the first word red from the menu.
void WriteNotes(ScriptedPlayer& player, CRtfEditorView& editor, const std::string& text, long firstWord) {
  editor.SetFocus();
  player.Pump();
  ASSERT_EQ(CWnd::GetFocus(), &editor);
  for (const char c : text) {
    editor.PostMessage(WM_KEYDOWN, static_cast<WPARAM>(std::toupper(static_cast<unsigned char>(c))), 1);
    editor.PostMessage(WM_CHAR, static_cast<unsigned char>(c), 1);
    player.Pump();
  }
  editor.SetSel(0, firstWord);
  editor.SendMessage(WM_COMMAND, 5709);  // "Red" in the colour menu
  player.Pump();
}

void ExpectShownAgain(CRtfEditorView* editor, const char* text) {
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->IsWindowVisible());
  EXPECT_EQ(editor->GetTextRange(0, -1), text);
  editor->SetSel(0, 3);
  CHARFORMAT format;
  editor->GetSelectionCharFormat(format);
  EXPECT_EQ(format.crTextColor, RGB(255, 0, 0));
}

// Task 1: notes bound to "Notes", an editor bound to the number "Count", a
// button; task 2 copies the notes in its action and shows them again.
std::vector<std::uint8_t> NotesCourse() {
  CourseFileFields f;
  for (auto [name, id, flags] : {std::tuple{"Notes", 700, 0x100u}, std::tuple{"Count", 701, 0x200u},
                                 std::tuple{"Seen", 702, 0x100u}}) {
    VariableFields v;
    v.name = name;
    v.flags = flags;
    v.id = id;
    f.variables.push_back(v);
  }
  auto editor = [](std::int32_t variable, std::uint32_t flags, std::int32_t top) {
    return [=](CourseBuilder& c) {
      RtfEditorFields e{static_cast<std::uint32_t>(variable), flags, 0, 0, 0xFFFFFF, FontFields{}};
      c.RtfEditorResponse(IconFields{4, "editor", "", 3}, ResponseFields{}, e, {20, top, 300, top + 100});
    };
  };
  auto done = [](CourseBuilder& c) {
    ButtonFields button;
    button.caption = "Done";
    c.PushButtonResponse(IconFields{4, "done", "", 3}, ResponseFields{}, button, {300, 300, 400, 340});
  };
  f.tasks.push_back([=](CourseBuilder& b) {
    b.Task(IconFields{4, "write", "", 3}, 1, {}, {}, {editor(700, 0x1B0, 20), editor(701, 0x1B8, 140), done});
  });
  f.tasks.push_back([=](CourseBuilder& b) {
    auto copy = [](CourseBuilder& c) { c.VariableAction(IconFields{4, "copy", "", 3}, "Seen = Notes"); };
    b.Task(IconFields{4, "read", "", 3}, 2, {}, {copy}, {editor(700, 0x1B8, 20), KeyResponse("")});
  });
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

}  // namespace

TEST(RtfEditorPlaythrough, TypedNotesAreInTheVariableForTheNextTaskAndComeBack) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(NotesCourse()));
  CRtfEditorView* editor = Editor(player);
  ASSERT_NE(editor, nullptr);
  WriteNotes(player, *editor, "Buy milk", 3);
  EXPECT_EQ(editor->GetTextRange(0, -1), "Buy milk");
  EXPECT_EQ(player.CurrentTask(), 1) << "typing reaches the page first, and no response takes it";

  player.PressAndRelease(CPoint(350, 320), {}, CPoint(350, 320));
  ASSERT_EQ(player.CurrentTask(), 2);
  const CString notes = player.Text("Notes");
  EXPECT_EQ(notes.Left(6), "{\\rtf1") << notes.str();
  EXPECT_NE(notes.Find("\\red255\\green0\\blue0"), -1) << "the red word keeps its colour: " << notes.str();
  EXPECT_EQ(player.Text("Seen"), notes) << "the next task's actions see the notes";
  EXPECT_EQ(player.Number("Count"), 0) << "a number variable is never written";
  ExpectShownAgain(Editor(player), "Buy milk");
}

TEST(RtfEditorPlaythrough, TheDemoNotesComeBackOnTheLaterPage) {
  const std::filesystem::path demo = TVN_DEMO_COURSE;
  if (!std::filesystem::exists(demo)) GTEST_SKIP() << "the demo course is not built";
  ScriptedPlayer player;
  ASSERT_TRUE(player.StartDemo(demo));
  // Welcome (its narration ends), name (Enter), three questions (their timers), result (a key), film.
  player.TickInSteps(2000);
  player.Key(VK_RETURN);
  for (DWORD seconds : {6, 15, 15}) player.TickInSteps(seconds * 1000);
  ASSERT_EQ(player.CurrentTask(), 4);
  player.Key('X');
  ASSERT_EQ(player.CurrentTask(), 10);
  // The film page goes on by itself (past the film's middle, or on its timer without a film).
  for (DWORD waited = 0; waited < 12000 && player.CurrentTask() == 10; waited += 100) player.Tick(100);
  ASSERT_EQ(player.CurrentTask(), 5);

  // The rich-text page's link leads to the page that goes on to the notes.
  CTask* page = player.Course()->GetCurrentTask();
  auto* body = dynamic_cast<CRtfAction*>(page->GetActions()->GetChild(2));
  ASSERT_TRUE(body && body->GetName() == CString("Body"));
  const std::string text = body->TextDisplay().GetTextRange(0, -1).str();
  const CPoint at = body->TextDisplay().PosFromChar(static_cast<long>(text.find(kRichTextLink)) + 2);
  const CPoint link = ClientPoint(player, kRichTextBodyLeft + body->TextDisplay().GetLeftIndent() + at.x + 2,
                                  kRichTextBodyTop + at.y + 6);
  player.MoveTo(link);  // the link takes the click once the pointer is on it
  player.Click(link);
  ASSERT_EQ(player.CurrentTask(), 6);
  player.Key('X');
  ASSERT_EQ(player.CurrentTask(), 11);

  CRtfEditorView* editor = Editor(player);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->GetTextLength(), 0);
  WriteNotes(player, *editor, "Ask about the quiz", 3);
  const CPoint done = ClientPoint(player, 540, 425);
  player.PressAndRelease(done, {}, done);
  ASSERT_EQ(player.CurrentTask(), 12);
  EXPECT_EQ(player.Text("Notes").Left(6), "{\\rtf1");
  ExpectShownAgain(Editor(player), "Ask about the quiz");
  int editors = 0;
  for (CWnd* w = player.View().GetWindow(GW_CHILD); w; w = w->GetWindow(GW_HWNDNEXT))
    if (dynamic_cast<CRtfEditorView*>(w)) ++editors;
  EXPECT_EQ(editors, 1) << "the notes page's editor went with its page";
  player.PressAndRelease(done, {}, done);
  EXPECT_TRUE(player.Ended()) << "Done leads to the last page, which ends the program";
}
