// Rich-text editors played headless: what the learner types is in the bound
// variable, as RTF, when the next task's actions run, and a later editor
// filled from the variable shows it again; the demo course's notes pages.
#include <gtest/gtest.h>

#include <filesystem>

#include "behaviour/rtf_action.h"
#include "behaviour/rtf_editor_response.h"
#include "model/course_doc.h"
#include "model/task.h"
#include "model/task_managers.h"
#include "playback/presentation_view.h"
#include "tests/playback/view_test_courses.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/rich_text_page.h"
#include "tests/support/scripted_player.h"

namespace {

using namespace tvn::testing;

// The view point on the demo's rich-text link, as the page laid it out.
CPoint LinkPoint(ScriptedPlayer& player) {
  CTask* task = player.Course()->GetCurrentTask();
  for (int i = 0; task && i < task->GetActions()->GetCount(); ++i)
    if (auto* body = dynamic_cast<CRtfAction*>(task->GetActions()->GetChild(i));
        body && body->GetName() == CString("Body")) {
      CRtfDisplay& display = body->TextDisplay();
      const std::string text = display.GetTextRange(0, -1).str();
      const CPoint at = display.PosFromChar(static_cast<long>(text.find(kRichTextLink)) + 2);
      // A page point; the demo's page settings may place the page elsewhere in the window.
      CRect point(kRichTextBodyLeft + display.GetLeftIndent() + at.x + 2, kRichTextBodyTop + at.y + 6, 0, 0);
      point.right = point.left + 1;
      point.bottom = point.top + 1;
      player.View().LogicalToClientRect(&point);
      return point.TopLeft();
    }
  return CPoint(-1, -1);
}

// Time passes in tenths, as the page's timers count it.
void Wait(ScriptedPlayer& player, DWORD milliseconds) {
  for (DWORD passed = 0; passed < milliseconds; passed += 100) player.Tick(100);
}

// The editor of the current task's first rich-text editor response.
CRtfEditorView* Editor(ScriptedPlayer& player) {
  CTask* task = player.Course() ? player.Course()->GetCurrentTask() : nullptr;
  for (int i = 0; task && i < task->GetResponses()->GetCount(); ++i)
    if (auto* r = dynamic_cast<CRtfEditorResponse*>(task->GetResponses()->GetChild(i))) return r->GetEditor();
  return nullptr;
}

// Keys as the window layer delivers typing: a key, then its character, to the focused window.
void Type(ScriptedPlayer& player, const char* text) {
  for (const char* p = text; *p; ++p) {
    CWnd* focus = CWnd::GetFocus();
    ASSERT_NE(focus, nullptr);
    const char c = *p;
    const UINT vk = (c >= 'a' && c <= 'z') ? static_cast<UINT>(c - 'a' + 'A') : static_cast<UINT>(c);
    focus->PostMessage(WM_KEYDOWN, vk, 1);
    focus->PostMessage(WM_CHAR, static_cast<unsigned char>(c), 1);
    player.Pump();
  }
}

// The learner clicks into the editor, types, and colours the first word red from the menu.
void WriteNotes(ScriptedPlayer& player, CRtfEditorView& editor, const char* text, long firstWord) {
  editor.SetFocus();
  player.Pump();
  ASSERT_EQ(CWnd::GetFocus(), &editor);
  Type(player, text);
  editor.SetSel(0, firstWord);
  editor.SendMessage(WM_COMMAND, 5709);  // "Red" in the colour menu
  player.Pump();
}

constexpr std::int32_t kNotesId = 700;
constexpr std::int32_t kCountId = 701;

// Task 1: notes bound to "Notes", a second editor bound to the number "Count", and a
// button; task 2 copies the notes in its first action and shows them again.
std::vector<std::uint8_t> NotesCourse() {
  CourseFileFields f;
  for (auto [name, id, flags] : {std::tuple{"Notes", kNotesId, 0x100u}, std::tuple{"Count", kCountId, 0x200u},
                                 std::tuple{"Seen", 702, 0x100u}}) {
    VariableFields v;
    v.name = name;
    v.id = id;
    v.flags = flags;
    f.variables.push_back(v);
  }
  auto editor = [](const char* name, std::int32_t variable, std::uint32_t flags, VariableRectFields rect) {
    return [=](CourseBuilder& c) {
      RtfEditorFields e;
      e.variableId = static_cast<std::uint32_t>(variable);
      e.flags = flags;
      c.RtfEditorResponse(IconFields{4, name, "", 3}, ResponseFields{}, e, rect);
    };
  };
  auto done = [](CourseBuilder& c) {
    ButtonFields button;
    button.caption = "Done";
    c.PushButtonResponse(IconFields{4, "done", "", 3}, ResponseFields{}, button, {300, 300, 400, 340});
  };
  f.tasks.push_back([=](CourseBuilder& b) {
    b.Task(IconFields{4, "write", "", 3}, 1, {}, {},
           {editor("notes", kNotesId, 0x1B0, {20, 20, 300, 140}), editor("count", kCountId, 0x1B8, {20, 160, 300, 200}),
            done});
  });
  f.tasks.push_back([=](CourseBuilder& b) {
    auto copy = [](CourseBuilder& c) { c.VariableAction(IconFields{4, "copy", "", 3}, "Seen = Notes"); };
    b.Task(IconFields{4, "read", "", 3}, 2, {}, {copy},
           {editor("again", kNotesId, 0x1B8, {20, 20, 300, 140}), KeyResponse("")});
  });
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

}  // namespace

TEST(RtfEditorPlaythrough, TypedNotesAreInTheVariableForTheNextTaskAndComeBack) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(NotesCourse()));
  ASSERT_EQ(player.CurrentTask(), 1);
  CRtfEditorView* editor = Editor(player);
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->IsWindowVisible());
  WriteNotes(player, *editor, "Buy milk", 3);
  EXPECT_EQ(editor->GetTextRange(0, -1), "Buy milk");
  EXPECT_EQ(player.CurrentTask(), 1) << "typing reaches the page first, and no response takes it";

  player.PressAndRelease(CPoint(350, 320), {}, CPoint(350, 320));
  ASSERT_EQ(player.CurrentTask(), 2);
  const CString notes = player.Text("Notes");
  EXPECT_EQ(notes.Left(6), "{\\rtf1") << notes.str();
  EXPECT_NE(notes.Find("\\red255\\green0\\blue0"), -1) << "the red word keeps its colour: " << notes.str();
  EXPECT_EQ(player.Text("Seen"), notes) << "the next task's actions see the notes";
  EXPECT_EQ(player.Number("Count"), 0) << "the number variable is never written";

  CRtfEditorView* again = Editor(player);
  ASSERT_NE(again, nullptr);
  EXPECT_NE(again, editor);
  EXPECT_EQ(again->GetTextRange(0, -1), "Buy milk");
  again->SetSel(0, 3);
  CHARFORMAT format;
  again->GetSelectionCharFormat(format);
  EXPECT_EQ(format.crTextColor, RGB(255, 0, 0));
}

TEST(RtfEditorPlaythrough, TheDemoNotesComeBackOnTheLaterPage) {
  const std::filesystem::path demo = TVN_DEMO_COURSE;
  if (!std::filesystem::exists(demo)) GTEST_SKIP() << "the demo course is not built";
  ScriptedPlayer player;
  for (const char* file : {"DEMO.BMP", "NARRATE.WAV", "STAR.BMP", "SPINNER.BMP", "BADGE.PNG"})
    std::filesystem::copy_file(demo.parent_path() / file, player.Directory() / file);
  ASSERT_TRUE(player.Start(ReadBytes(demo), "demo.tvn"));
  Wait(player, 2000);  // the narration ends
  ASSERT_EQ(player.CurrentTask(), 9);
  player.Key(VK_RETURN);
  ASSERT_EQ(player.CurrentTask(), 1);
  Wait(player, 6000);  // each question ends on its timer
  ASSERT_EQ(player.CurrentTask(), 2);
  Wait(player, 15000);
  ASSERT_EQ(player.CurrentTask(), 3);
  Wait(player, 15000);
  ASSERT_EQ(player.CurrentTask(), 4);
  player.Key('X');
  ASSERT_EQ(player.CurrentTask(), 5);
  const CPoint link = LinkPoint(player);
  player.MoveTo(link);  // the link takes the click once the pointer is on it
  player.Click(link);
  ASSERT_EQ(player.CurrentTask(), 6);
  player.Key('X');
  ASSERT_EQ(player.CurrentTask(), 11);

  // The notes page: the learner writes, colours a word and clicks Done.
  CRtfEditorView* editor = Editor(player);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->GetTextLength(), 0);
  WriteNotes(player, *editor, "Ask about the quiz", 3);
  EXPECT_EQ(player.CurrentTask(), 11) << "typing reaches no hot key";
  CRect done(540, 425, 541, 426);
  player.View().LogicalToClientRect(&done);
  player.PressAndRelease(done.TopLeft(), {}, done.TopLeft());
  ASSERT_EQ(player.CurrentTask(), 12);
  EXPECT_EQ(player.Text("Notes").Left(6), "{\\rtf1");

  // The later page's editor shows them again, colour and all.
  CRtfEditorView* again = Editor(player);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->GetTextRange(0, -1), "Ask about the quiz");
  EXPECT_TRUE(again->IsWindowVisible());
  int editors = 0;
  for (CWnd* w = player.View().GetWindow(GW_CHILD); w; w = w->GetWindow(GW_HWNDNEXT))
    if (dynamic_cast<CRtfEditorView*>(w)) ++editors;
  EXPECT_EQ(editors, 1) << "the notes page's editor went with its page";
  again->SetSel(0, 3);
  CHARFORMAT format;
  again->GetSelectionCharFormat(format);
  EXPECT_EQ(format.crTextColor, RGB(255, 0, 0));
  player.PressAndRelease(done.TopLeft(), {}, done.TopLeft());
  EXPECT_TRUE(player.Ended()) << "Done leads to the last page, which ends the program";
}
