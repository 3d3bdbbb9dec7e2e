// Typed answers played headless: two fields filled with Tab between them, a
// push button ends the task and the variables hold what was typed; a key
// typed in a field still reaches the task's keyboard response.
#include <gtest/gtest.h>

#include "behaviour/pic_edit.h"
#include "platform/msg/window_messages.h"
#include "playback/presentation_view.h"
#include "tests/playback/view_test_courses.h"
#include "tests/support/editor_writer.h"
#include "tests/support/scripted_player.h"

namespace {

using namespace tvn::testing;

constexpr std::int32_t kNameId = 501;
constexpr std::int32_t kPhoneId = 502;
constexpr std::int32_t kAgeId = 503;

std::vector<std::uint8_t> Form() {
  CourseFileFields f;
  for (auto [name, id, flags] : {std::tuple{"Name", kNameId, 0x100u}, std::tuple{"Phone", kPhoneId, 0x100u},
                                 std::tuple{"Age", kAgeId, 0x400u}}) {
    VariableFields v;
    v.name = name;
    v.id = id;
    v.flags = flags;
    f.variables.push_back(v);
  }
  f.tasks.push_back([](CourseBuilder& b) {
    EditorFields name;
    name.variableId = kNameId;
    name.mask = "UXXXXXXXXXXX";
    EditorFields phone;
    phone.variableId = kPhoneId;
    phone.mask = "(999) 999-9999";
    EditorFields age;
    age.variableId = kAgeId;
    ButtonFields done;
    done.caption = "Done (Q)";
    done.hotKey = 'q';
    b.Task(IconFields{4, "form", "", 3}, 1, {}, {},
           {EditorResponse(IconFields{4, "name", "", 3}, ResponseFields{}, name, {20, 20, 220, 44}),
            EditorResponse(IconFields{4, "phone", "", 3}, ResponseFields{}, phone, {20, 60, 220, 84}),
            EditorResponse(IconFields{4, "age", "", 3}, ResponseFields{}, age, {20, 100, 120, 124}),
            [done](CourseBuilder& c) {
              c.PushButtonResponse(IconFields{4, "done", "", 3}, ResponseFields{}, done, {300, 300, 400, 340});
            },
            [](CourseBuilder& c) {
              c.KeyboardResponse(IconFields{4, "escape", "", 3}, Outcomes(Outcome::kGoTo, 3),
                                 KeyFields{0, "", {0, 0, 0, 0, 1}});
            }});
  });
  for (std::int32_t n : {2, 3})
    f.tasks.push_back([n](CourseBuilder& b) {
      b.Task(IconFields{4, "after" + std::to_string(n), "", 3}, n, {}, {}, {KeyResponse("")});
    });
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

// Keys as the window layer delivers typing: a key, then its character, to the focused field.
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

void PressKey(ScriptedPlayer& player, UINT vk, bool shift = false) {
  CWnd* focus = CWnd::GetFocus();
  ASSERT_NE(focus, nullptr);
  player.Hold(VK_SHIFT, shift);
  focus->PostMessage(WM_KEYDOWN, vk, 1);
  player.Pump();
  player.Hold(VK_SHIFT, false);
}

std::vector<CPicEdit*> Fields(CPresentationView& view) {
  std::vector<CPicEdit*> fields;
  for (CWnd* w = view.GetWindow(GW_CHILD); w; w = w->GetWindow(GW_HWNDNEXT))
    if (auto* field = dynamic_cast<CPicEdit*>(w)) fields.push_back(field);
  return fields;
}

}  // namespace

TEST(TypedAnswersPlaythrough, TwoFieldsWithTabBetweenThemAndAButtonStoreWhatWasTyped) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.Start(Form()));
  std::vector<CPicEdit*> fields = Fields(player.View());
  ASSERT_EQ(fields.size(), 3u);
  for (CPicEdit* field : fields) EXPECT_EQ(field->GetDlgCtrlID(), 923);
  // The field made last is on top; find them by their masks.
  auto byMask = [&](const char* mask) {
    for (CPicEdit* field : fields)
      if (field->Mask().GetMaskString() == mask) return field;
    return static_cast<CPicEdit*>(nullptr);
  };
  CPicEdit* name = byMask("UXXXXXXXXXXX");
  CPicEdit* phone = byMask("(999) 999-9999");
  ASSERT_TRUE(name && phone);
  EXPECT_TRUE(name->IsWindowVisible());

  name->SetFocus();
  player.Pump();
  Type(player, "ann  ");
  EXPECT_EQ(name->GetWindowText(), "Ann  _______");
  PressKey(player, VK_TAB);
  ASSERT_EQ(CWnd::GetFocus(), phone) << "Tab goes to the next field";
  Type(player, "555x1234567");
  EXPECT_EQ(phone->GetWindowText(), "(555) 123-4567");
  PressKey(player, VK_TAB, true);
  EXPECT_EQ(CWnd::GetFocus(), name) << "Shift+Tab comes back";
  EXPECT_EQ(player.CurrentTask(), 1);

  player.PressAndRelease(CPoint(350, 320), {}, CPoint(350, 320));
  EXPECT_EQ(player.CurrentTask(), 2);
  EXPECT_EQ(player.Text("Name"), "Ann") << "trailing blanks are not stored";
  EXPECT_EQ(player.Text("Phone"), "5551234567");
  EXPECT_EQ(player.Number("Age"), 0);
}

TEST(TypedAnswersPlaythrough, AKeyTypedInAFieldReachesTheTasksKeyboardResponseAndHotKeys) {
  for (const bool escape : {true, false}) {
    ScriptedPlayer player;
    ASSERT_TRUE(player.Start(Form()));
    std::vector<CPicEdit*> fields = Fields(player.View());
    ASSERT_FALSE(fields.empty());
    fields.back()->SetFocus();
    player.Pump();
    Type(player, "42");
    EXPECT_EQ(player.CurrentTask(), 1);
    if (escape) PressKey(player, VK_ESCAPE);
    else Type(player, "q");
    EXPECT_EQ(player.CurrentTask(), escape ? 3 : 2) << (escape ? "the keyboard response" : "the button's hot key");
  }
}
