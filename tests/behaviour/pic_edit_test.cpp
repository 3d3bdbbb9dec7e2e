// The masked edit field's window through real Qt key events: the page sees
// every key first, field keys move the focus, the mask decides the rest.
#include "behaviour/pic_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "platform/user/clipboard.h"
#include "tests/platform/user/window_test_support.h"

namespace {

CKeyboard SpecialKey(int keySwitch, bool shift = false) {
  CKeyboard key;
  key.SetKeyFlags(8);
  key.SetSwitch(keySwitch, TRUE);
  key.SetSwitch(CKeyboard::kShift, shift ? TRUE : FALSE);
  key.SetSwitch(CKeyboard::kLastSpecialKey, FALSE);
  return key;
}

CKeyboard TabKey(bool shift) { return SpecialKey(CKeyboard::kTab, shift); }

}  // namespace

class PicEditTest : public WindowTest {
 protected:
  std::unique_ptr<CRecordingWnd> page = MakeWindow(CRect(0, 0, 400, 300));

  void Press(CWnd& field, int qtKey, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* widget = static_cast<CChildControl&>(field).GetControlWidget();
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
    QApplication::sendEvent(widget, &release);
    PumpReady();
  }
  void TypeText(CWnd& field, const char* text) {
    for (const char* p = text; *p; ++p) {
      const char c = *p;
      const int key = (c >= 'a' && c <= 'z') ? Qt::Key_A + (c - 'a') : (c >= '0' && c <= '9') ? Qt::Key_0 + (c - '0') : Qt::Key_Space;
      Press(field, key, QString(QChar(c)));
    }
  }
  std::vector<WPARAM> KeysSeenByPage() {
    std::vector<WPARAM> keys;
    for (const RecordedMessage& m : page->Messages(WM_KEYDOWN)) keys.push_back(m.wParam);
    return keys;
  }
};

TEST_F(PicEditTest, KeysReachThePageFirstThenFieldKeysAndTheMaskDecide) {
  CPicEdit phone, name;
  ASSERT_TRUE(phone.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), page.get(), 923));
  ASSERT_TRUE(name.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, CRect(10, 50, 200, 74), page.get(), 924));
  phone.SetFieldKeys(TabKey(true), TabKey(false));
  name.SetFieldKeys(TabKey(true), TabKey(false));
  phone.SetSelectOnFocus(FALSE);
  ASSERT_TRUE(phone.SetMaskString("(999) 999-9999"));
  EXPECT_FALSE(phone.GetModify());
  phone.SetPromptChar('_');
  phone.SetFocus();
  PumpReady();

  TypeText(phone, "1x2");
  EXPECT_EQ(phone.GetWindowText(), "(12_) ___-____");
  EXPECT_EQ(dialogs->beeps, std::vector<UINT>{MB_ICONEXCLAMATION}) << "a letter at a digit beeps";
  EXPECT_EQ(phone.GetDataText(TRUE), "12");
  EXPECT_EQ(KeysSeenByPage().size(), 3u) << "every key went to the page first";

  // F3 stops at the page.
  Press(phone, Qt::Key_F3);
  EXPECT_EQ(KeysSeenByPage().back(), static_cast<WPARAM>(0x72));

  // Tab is the next-field key; in the plain field Return is swallowed.
  Press(phone, Qt::Key_Tab);
  EXPECT_EQ(CWnd::GetFocus(), &name);
  TypeText(name, "ann lee  ");
  Press(name, Qt::Key_Return, "\r");
  EXPECT_EQ(name.GetWindowText(), "ann lee  ");
  EXPECT_EQ(name.GetDataText(TRUE), "ann lee") << "trailing blanks are trimmed";
  Press(name, Qt::Key_Backtab, {}, Qt::ShiftModifier);
  EXPECT_EQ(CWnd::GetFocus(), &phone);

  // Ctrl+V pastes through the mask; undo takes it back.
  CClipboard::SetText("55a5");
  phone.SetSel(6, 6);
  Press(phone, Qt::Key_V, {}, Qt::ControlModifier);
  EXPECT_EQ(phone.GetWindowText(), "(12_) 555-____");
  phone.Undo();
  EXPECT_EQ(phone.GetWindowText(), "(12_) ___-____");
  EXPECT_TRUE(phone.GetModify());

  // Only a dialog or form view lets a field be taken by id.
  EXPECT_FALSE(phone.SubclassEdit(923, page.get()));
  EXPECT_FALSE(phone.SubclassEdit(0, page.get()));
  EXPECT_FALSE(phone.IsSubclassed());
}

TEST_F(PicEditTest, AFieldKeyThatTypesNothingDoesNotEatTheNextCharacter) {
  // Down and Up move between the fields and bring no character message.
  CPicEdit zip, city;
  ASSERT_TRUE(zip.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), page.get(), 923));
  ASSERT_TRUE(city.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, CRect(10, 50, 200, 74), page.get(), 924));
  for (CPicEdit* field : {&zip, &city}) field->SetFieldKeys(SpecialKey(CKeyboard::kUp), SpecialKey(CKeyboard::kDown));
  zip.SetSelectOnFocus(FALSE);
  city.SetSelectOnFocus(FALSE);
  ASSERT_TRUE(zip.SetMaskString("99999"));
  zip.SetFocus();
  PumpReady();

  TypeText(zip, "12");
  Press(zip, Qt::Key_Down);
  ASSERT_EQ(CWnd::GetFocus(), &city);
  TypeText(city, "ab");
  Press(city, Qt::Key_Up);
  ASSERT_EQ(CWnd::GetFocus(), &zip);
  zip.SetSel(2, 2);
  TypeText(zip, "3");
  EXPECT_EQ(zip.GetDataText(TRUE).str(), "123") << "the masked field takes the first character after its field key";
  Press(zip, Qt::Key_Down);
  ASSERT_EQ(CWnd::GetFocus(), &city);
  city.SetSel(2, 2);
  TypeText(city, "c");
  EXPECT_EQ(city.GetWindowText().str(), "abc") << "so does the plain field";
}

TEST_F(PicEditTest, ClearIsTheDeleteKeyForThePageAndForTheText) {
  // Each field twice: one gets the Delete key, its twin WM_CLEAR; both with a
  // caret and no selection, then with a selection.
  CPicEdit keyed, cleared, plainKeyed, plainCleared;
  int id = 923;
  for (CPicEdit* field : {&keyed, &cleared, &plainKeyed, &plainCleared}) {
    ASSERT_TRUE(field->Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), page.get(), id++));
    field->SetSelectOnFocus(FALSE);
  }
  for (CPicEdit* field : {&keyed, &cleared}) {
    ASSERT_TRUE(field->SetMaskString("999-999"));
    field->SetData("123456", 0, FALSE, TRUE);
  }
  for (CPicEdit* field : {&plainKeyed, &plainCleared}) field->SetWindowText("abcdef");

  const std::pair<int, int> selections[] = {{1, 1}, {2, 5}};
  for (auto [s, e] : selections) {
    for (auto [byKey, byClear] : {std::pair{&keyed, &cleared}, std::pair{&plainKeyed, &plainCleared}}) {
      byKey->SetFocus();
      byKey->SetSel(s, e);
      Press(*byKey, Qt::Key_Delete);
      const size_t before = KeysSeenByPage().size();
      byClear->SetFocus();
      byClear->SetSel(s, e);
      EXPECT_EQ(byClear->SendMessage(WM_CLEAR), TRUE);
      ASSERT_EQ(KeysSeenByPage().size(), before + 1);
      EXPECT_EQ(KeysSeenByPage().back(), static_cast<WPARAM>(VK_DELETE));
      EXPECT_EQ(byClear->GetWindowText(), byKey->GetWindowText()) << "selection " << s << ".." << e;
      int ks = 0, ke = 0, cs = 0, ce = 0;
      byKey->GetSel(ks, ke);
      byClear->GetSel(cs, ce);
      EXPECT_EQ(std::pair(cs, ce), std::pair(ks, ke));
    }
  }
  EXPECT_EQ(keyed.GetWindowText(), "136-   ") << "one digit, then a selection went";
  EXPECT_EQ(plainKeyed.GetWindowText(), "ac");

  // Shift+Delete cuts; its clear is the Delete key once more, for the page
  // and for the text, and not another cut.
  plainKeyed.SetWindowText("abcdef");
  plainKeyed.SetFocus();
  plainKeyed.SetSel(1, 3);
  const size_t before = KeysSeenByPage().size();
  Press(plainKeyed, Qt::Key_Delete, {}, Qt::ShiftModifier);
  EXPECT_EQ(plainKeyed.GetWindowText().str(), "adef");
  EXPECT_EQ(CClipboard::GetText().str(), "bc");
  EXPECT_EQ(KeysSeenByPage().size(), before + 2);
}

TEST_F(PicEditTest, InputMethodCommitsGoThroughTheMaskLikeTypedCharacters) {
  // One field gets the letters committed by an input method (a dead key's
  // "ê", then "3"), its twin gets them from keys.
  CPicEdit committed, typed;
  int id = 923;
  for (CPicEdit* field : {&committed, &typed}) {
    ASSERT_TRUE(field->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), page.get(),
                              id++));
    field->SetFieldKeys(SpecialKey(CKeyboard::kUp), SpecialKey(CKeyboard::kDown));
    field->SetSelectOnFocus(FALSE);
    ASSERT_TRUE(field->SetMaskString("(999) 999-9999"));
    field->SetPromptChar('_');
    field->SetFocus();
    PumpReady();
    TypeText(*field, "12");
  }
  auto commit = [&](const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(committed.GetControlWidget(), &event);
    PumpReady();
  };
  committed.SetFocus();
  committed.SetSel(3, 3);
  commit(QString::fromUtf8("ê"));
  commit("3");
  typed.SetFocus();
  typed.SetSel(3, 3);
  Press(typed, Qt::Key_Ecircumflex, QString::fromUtf8("ê"));
  TypeText(typed, "3");
  EXPECT_EQ(committed.GetWindowText().str(), "(123) ___-____");
  EXPECT_EQ(typed.GetWindowText().str(), committed.GetWindowText().str());
  EXPECT_EQ(dialogs->beeps, (std::vector<UINT>{MB_ICONEXCLAMATION, MB_ICONEXCLAMATION})) << "each refused ê beeps";

  // A field key that brings no character, away and back: the next commit is
  // taken, as the next typed key would be.
  Press(typed, Qt::Key_Up);
  ASSERT_EQ(CWnd::GetFocus(), &committed);
  Press(committed, Qt::Key_Down);
  ASSERT_EQ(CWnd::GetFocus(), &typed);
  Press(typed, Qt::Key_Up);
  ASSERT_EQ(CWnd::GetFocus(), &committed);
  committed.SetSel(6, 6);
  commit("4");
  EXPECT_EQ(committed.GetWindowText().str(), "(123) 4__-____");
}

TEST_F(PicEditTest, AComposingInputMethodChangesNeitherTheMaskNorThePlainFieldUntilItCommits) {
  // The whole text selected, then a dead key: the field keeps showing what
  // the course will store; only the composed letter goes in, through the mask.
  CPicEdit masked, plain;
  int id = 923;
  for (CPicEdit* field : {&masked, &plain}) {
    ASSERT_TRUE(field->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), page.get(),
                              id++));
  }
  ASSERT_TRUE(masked.SetMaskString("UUU"));
  masked.SetPromptChar('_');
  masked.SetData("ABC", 0, FALSE, TRUE);
  plain.SetWindowText("ABC");
  auto compose = [&](CPicEdit& field, const QString& preedit, const QString& commit = {}) {
    QInputMethodEvent event(preedit, {});
    if (!commit.isEmpty()) event.setCommitString(commit);
    QApplication::sendEvent(field.GetControlWidget(), &event);
    PumpReady();
  };
  auto shown = [](CPicEdit& field) { return static_cast<QLineEdit*>(field.GetControlWidget())->text(); };
  for (CPicEdit* field : {&masked, &plain}) {
    field->SetFocus();
    field->SetSel(0, -1);
    compose(*field, "^");
    EXPECT_EQ(field->GetWindowText().str(), "ABC");
    EXPECT_EQ(shown(*field), "ABC");
    EXPECT_EQ(field->GetDataText(TRUE).str(), "ABC");
    compose(*field, {});  // cancelled
    EXPECT_EQ(shown(*field), "ABC");
    EXPECT_EQ(field->GetSel(), static_cast<DWORD>(MAKELONG(0, 3)));
  }

  // A letter the mask refuses beeps and leaves all three; one it takes
  // replaces the selection.
  masked.SetFocus();
  masked.SetSel(0, -1);
  compose(masked, "^");
  compose(masked, {}, QString::fromUtf8("ê"));
  EXPECT_EQ(shown(masked), "ABC");
  EXPECT_EQ(dialogs->beeps, std::vector<UINT>{MB_ICONEXCLAMATION});
  compose(masked, "^");
  compose(masked, {}, "x");
  EXPECT_EQ(masked.GetWindowText().str(), "X__");
  EXPECT_EQ(masked.GetDataText(TRUE).str(), "X");
  plain.SetFocus();
  plain.SetSel(1, 2);
  compose(plain, "^");
  compose(plain, {}, QString::fromUtf8("ê"));
  EXPECT_EQ(plain.GetWindowText().str(), "A\xEA" "C");
}
