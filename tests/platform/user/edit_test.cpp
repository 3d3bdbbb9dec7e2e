// The edit control: 1252 text and line ends, selection, limit, modified flag,
// case and password styles, clipboard, undo and keys reaching the window
// first; UTF-8 texts where the program chose them.
#include "platform/user/edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include "platform/base/program_text.h"
#include "platform/user/clipboard.h"
#include "tests/platform/user/window_test_support.h"

namespace {

// Refuses digits and records the clipboard messages it is sent.
class CNoDigitsEdit : public CEdit {
 public:
  std::vector<UINT> seen;

 protected:
  void OnChar(UINT ch, UINT repeat, UINT flags) override {
    if (ch >= '0' && ch <= '9') return;
    CEdit::OnChar(ch, repeat, flags);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_PASTE || message == WM_KEYDOWN || message == WM_CHAR) seen.push_back(message);
    return CEdit::WindowProc(message, wParam, lParam);
  }
};

}  // namespace

class EditTest : public WindowTest {
 protected:
  // Each case starts in code page 1252, whatever the one before chose.
  ~EditTest() override { tvn::text::SetProgramEncoding(tvn::text::TextEncoding::kAnsi); }

  std::unique_ptr<CRecordingWnd> parent = MakeWindow(CRect(0, 0, 400, 300));

  std::vector<WORD> Notifications(UINT id) {
    std::vector<WORD> codes;
    for (const RecordedMessage& m : parent->Messages(WM_COMMAND))
      if (LOWORD(m.wParam) == id) codes.push_back(HIWORD(m.wParam));
    return codes;
  }
  void Type(CWnd& wnd, const char* text) {
    for (const char* p = text; *p; ++p) wnd.PostMessage(WM_CHAR, static_cast<unsigned char>(*p), 1);
    PumpReady();
  }
  CString Text(CEdit& edit) {
    CString text;
    edit.SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(&text));
    return text;
  }
};

TEST_F(EditTest, TextSelectionLimitAndModifiedFlagInCodePage1252) {
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), parent.get(), 923));
  const CString euro = "Caf\xE9 \x80";
  edit.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(&euro));
  EXPECT_EQ(static_cast<QLineEdit*>(edit.GetControlWidget())->text(), QString::fromUtf8("Café €"));
  EXPECT_EQ(Text(edit), euro);
  EXPECT_EQ(edit.SendMessage(WM_GETTEXTLENGTH), 6);
  CString cut;
  EXPECT_EQ(edit.SendMessage(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(&cut)), 3) << "room for three and the terminator";
  EXPECT_EQ(cut, "Caf");
  EXPECT_FALSE(edit.GetModify());

  edit.SetSel(1, 3);
  int s = 0, e = 0;
  edit.GetSel(s, e);
  EXPECT_EQ(std::make_pair(s, e), std::make_pair(1, 3));
  edit.SetSel(4, -1);
  EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(4, 6)));
  edit.SetSel(-1, 0);
  EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(4, 4))) << "-1 drops the selection, the caret stays";

  // Typing replaces at the caret, sets the modified flag and notifies; the
  // window's own text follows.
  edit.SetSel(0, -1);
  Type(edit, "ab\xFC");
  EXPECT_EQ(edit.GetWindowText(), "ab\xFC");
  EXPECT_TRUE(edit.GetModify());
  EXPECT_FALSE(Notifications(923).empty());
  EXPECT_EQ(Notifications(923).back(), EN_CHANGE);
  edit.SetWindowText("x");
  EXPECT_FALSE(edit.GetModify()) << "setting the text clears the flag";

  // The limit stops typing and pasting; what fits of a paste goes in.
  edit.LimitText(4);
  edit.SetSel(1, 1);
  Type(edit, "yz!");
  EXPECT_EQ(Text(edit), "xyz!");
  Type(edit, "?");
  EXPECT_EQ(Text(edit), "xyz!");
  EXPECT_EQ(Notifications(923).back(), EN_MAXTEXT);
  edit.SetSel(1, 3);
  CClipboard::SetText("12345\r\nsecond line");
  edit.Paste();
  EXPECT_EQ(Text(edit), "x12!");
  EXPECT_EQ(edit.GetLimitText(), 4u);

  // Upper case and password styles; a password gives nothing to copy.
  CEdit upper, secret;
  ASSERT_TRUE(upper.Create(WS_CHILD | WS_VISIBLE | ES_UPPERCASE | ES_AUTOHSCROLL, CRect(10, 40, 200, 64), parent.get(), 924));
  Type(upper, "m\xE9l");
  EXPECT_EQ(upper.GetWindowText(), "M\xC9L");
  ASSERT_TRUE(secret.Create(WS_CHILD | WS_VISIBLE | ES_PASSWORD | ES_AUTOHSCROLL, CRect(10, 70, 200, 94), parent.get(), 925));
  EXPECT_EQ(static_cast<QLineEdit*>(secret.GetControlWidget())->echoMode(), QLineEdit::Password);
  Type(secret, "hidden");
  secret.SetSel(0, -1);
  CClipboard::SetText("before");
  secret.Copy();
  EXPECT_EQ(CClipboard::GetText(), "before");

  // Without automatic scrolling a one-line field stops at its width.
  CEdit narrow;
  ASSERT_TRUE(narrow.Create(WS_CHILD | WS_VISIBLE, CRect(10, 100, 40, 124), parent.get(), 926));
  Type(narrow, "wwwwwwwwwwwwwwwwwwww");
  EXPECT_GT(narrow.GetWindowText().GetLength(), 0);
  EXPECT_LT(narrow.GetWindowText().GetLength(), 20);
  EXPECT_EQ(Notifications(926).back(), EN_MAXTEXT);
}

TEST_F(EditTest, MultiLineCountsLineEndsAsTwoAndClipboardAndUndoFollowTheStyles) {
  CEdit memo;
  ASSERT_TRUE(memo.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL, CRect(10, 10, 300, 200),
                          parent.get(), 930));
  auto* plain = static_cast<QPlainTextEdit*>(memo.GetControlWidget());
  EXPECT_EQ(plain->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(plain->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  memo.SetWindowText("one\r\ntwo\r\nthree");
  EXPECT_EQ(plain->toPlainText(), "one\ntwo\nthree");
  EXPECT_EQ(memo.GetLineCount(), 3);
  memo.SetSel(6, 10);
  memo.Copy();
  EXPECT_EQ(CClipboard::GetText(), "wo\r\n");
  memo.SetSel(10, 15);
  EXPECT_EQ(memo.GetSel(), static_cast<DWORD>(MAKELONG(10, 15)));
  memo.Cut();
  EXPECT_EQ(Text(memo), "one\r\ntwo\r\n");
  EXPECT_EQ(CClipboard::GetText(), "three");
  memo.PostMessage(WM_CHAR, '\r', 1);
  Type(memo, "4");
  EXPECT_EQ(Text(memo), "one\r\ntwo\r\n\r\n4");

  // Undo takes back the last change; a second undo takes back the undo.
  memo.SetWindowText("base");
  memo.EmptyUndoBuffer();
  EXPECT_FALSE(memo.CanUndo());
  memo.SetSel(4, 4);
  Type(memo, "!");
  ASSERT_TRUE(memo.CanUndo());
  memo.Undo();
  EXPECT_EQ(Text(memo), "base");
  memo.Undo();
  EXPECT_EQ(Text(memo), "base!");

  // A pasted line end of one character is two in the field, for the limit too.
  memo.LimitText(8);
  memo.SetSel(5, 5);
  CClipboard::SetText("a\nbc");
  memo.Paste();
  EXPECT_EQ(Text(memo).str(), "base!a\r\n");

  // Read only: nothing changes the text, copying still works.
  CEdit line;
  ASSERT_TRUE(line.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 210, 300, 234), parent.get(), 931));
  line.SetWindowText("fixed");
  line.SetReadOnly();
  EXPECT_TRUE(line.GetStyle() & ES_READONLY);
  line.SetSel(0, 2);
  line.Clear();
  line.Cut();
  Type(line, "zz");
  line.Paste();
  EXPECT_EQ(Text(line), "fixed");
  EXPECT_EQ(CClipboard::GetText(), "fi");
  EXPECT_FALSE(line.Undo());
}

TEST_F(EditTest, UnderUtf8PlacesCountBytesTypedCharactersAreCodePointsAndNoCutSplitsOne) {
  tvn::text::SetProgramEncoding(tvn::text::TextEncoding::kUtf8);
  const std::string city = "\xC5\x81\xC3\xB3\x64\xC5\xBA";  // Łódź: 2 + 2 + 1 + 2 bytes
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), parent.get(), 940));
  edit.SetWindowText(CString(city));
  auto* line = static_cast<QLineEdit*>(edit.GetControlWidget());
  EXPECT_EQ(line->text(), QString::fromUtf8(city));
  edit.SetSel(2, 4);  // the ó
  EXPECT_EQ(line->selectedText(), QString::fromUtf8("\xC3\xB3"));
  EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(2, 4)));
  edit.SetSel(7, 7);
  edit.PostMessage(WM_CHAR, 0x151, 1);  // ő
  PumpReady();
  EXPECT_EQ(Text(edit), city + "\xC5\x91");
  // What fits of a paste under the limit ends at a whole character.
  edit.SetWindowText("ab");
  edit.LimitText(5);
  edit.SetSel(2, 2);
  CClipboard::SetText(CString("\xC5\x81\xC5\x81"));
  edit.Paste();
  EXPECT_EQ(Text(edit), "ab\xC5\x81");

  CEdit memo;
  ASSERT_TRUE(memo.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(10, 40, 300, 200), parent.get(), 941));
  memo.SetWindowText(CString("\xC5\x81\xC3\xB3\r\nd"));
  memo.SetSel(6, 7);
  memo.Copy();
  EXPECT_EQ(CClipboard::GetText(), "d");
  EXPECT_EQ(memo.GetSel(), static_cast<DWORD>(MAKELONG(6, 7)));
}

TEST_F(EditTest, EveryCharacterStaysAsItIsAndPlacesCountIt) {
  // Under UTF-8 a text may begin with U+FEFF (three bytes): it is a character
  // of the field like any other.
  tvn::text::SetProgramEncoding(tvn::text::TextEncoding::kUtf8);
  const std::string mark = "\xEF\xBB\xBF";
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), parent.get(), 947));
  edit.SetWindowText(CString(mark + "abc"));
  auto* line = static_cast<QLineEdit*>(edit.GetControlWidget());
  EXPECT_EQ(line->text(), QString(QChar(0xFEFF)) + "abc");
  edit.SetSel(4, 4);
  EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(4, 4)));
  edit.SetSel(3, 5);
  EXPECT_EQ(line->selectedText(), "ab");
  EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(3, 5)));
  edit.SetSel(6, 6);
  Type(edit, "d");
  EXPECT_EQ(Text(edit), mark + "abcd");
  EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(7, 7)));

  // A multi-line field in code page 1252 keeps its no-break spaces (0xA0).
  tvn::text::SetProgramEncoding(tvn::text::TextEncoding::kAnsi);
  CEdit memo;
  ASSERT_TRUE(memo.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(10, 40, 300, 200), parent.get(), 948));
  memo.SetWindowText("1\xA0km\r\n2\xA0m");
  memo.SetSel(1, 2);
  memo.Copy();
  EXPECT_EQ(CClipboard::GetText(), "\xA0");
  EXPECT_EQ(memo.GetSel(), static_cast<DWORD>(MAKELONG(1, 2)));
  memo.SetSel(9, 9);
  Type(memo, "!");
  EXPECT_EQ(Text(memo), "1\xA0km\r\n2\xA0m!");
  memo.SetSel(6, 8);
  EXPECT_EQ(memo.GetSel(), static_cast<DWORD>(MAKELONG(6, 8)));
  memo.Cut();
  EXPECT_EQ(CClipboard::GetText(), "2\xA0");
  EXPECT_EQ(Text(memo), "1\xA0km\r\nm!");
}

TEST_F(EditTest, ACharacterOutsideTheBasicPlaneIsOneQuestionMarkInCodePage1252) {
  const QString face = QString::fromUcs4(U"\U0001F600");
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), parent.get(), 945));
  edit.SetFocus();
  auto* line = static_cast<QLineEdit*>(edit.GetControlWidget());
  auto key = [&](int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QApplication::sendEvent(line, &press);
    QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
    QApplication::sendEvent(line, &release);
    PumpReady();
  };
  QGuiApplication::clipboard()->setText("a" + face + "b");
  edit.Paste();
  EXPECT_EQ(Text(edit), "a?b");
  EXPECT_EQ(line->text(), "a?b");
  key(Qt::Key_End);
  key(Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(2, 3)));
  key(Qt::Key_Delete);
  EXPECT_EQ(Text(edit), "a?");
  DWORD start = 0, end = 0;
  edit.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(DWORD{2}, DWORD{2}));

  // Typed on a key or committed by an input method, it is one '?' too.
  key(0, Qt::NoModifier, face);
  QInputMethodEvent commit;
  commit.setCommitString(face);
  QApplication::sendEvent(line, &commit);
  PumpReady();
  key('C', Qt::NoModifier, "c");
  EXPECT_EQ(Text(edit), "a???c");
  EXPECT_EQ(line->text(), "a???c");
  EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(5, 5)));

  // A multi-line field counts it the same way.
  CEdit memo;
  ASSERT_TRUE(memo.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(10, 40, 300, 200), parent.get(), 946));
  memo.SetWindowText("x\r\n");
  memo.SetFocus();
  memo.SetSel(3, 3);
  QApplication::sendEvent(memo.GetControlWidget(), &commit);
  PumpReady();
  EXPECT_EQ(Text(memo), "x\r\n?");
  EXPECT_EQ(static_cast<QPlainTextEdit*>(memo.GetControlWidget())->toPlainText(), "x\n?");
  EXPECT_EQ(memo.GetSel(), static_cast<DWORD>(MAKELONG(4, 4)));
}

TEST_F(EditTest, InputMethodCommitsAreTypedAsCharacters) {
  // Each field gets the letters once committed by an input method (dead keys,
  // compose, any input method) and its twin gets them typed: both end alike.
  auto commit = [&](CEdit& edit, const QString& text) {
    edit.SetFocus();
    QInputMethodEvent composing("e", {});  // shown while composing, not yet text
    QApplication::sendEvent(edit.GetControlWidget(), &composing);
    PumpReady();
    EXPECT_EQ(Text(edit).str(), edit.GetWindowText().str()) << "composing changes nothing";
    QInputMethodEvent done;
    done.setCommitString(text);
    QApplication::sendEvent(edit.GetControlWidget(), &done);
    PumpReady();
  };
  // Upper case, limited to three: what does not fit is refused.
  CEdit upper, typedUpper;
  int id = 950;
  for (CEdit* e : {&upper, &typedUpper}) {
    ASSERT_TRUE(e->Create(WS_CHILD | WS_VISIBLE | ES_UPPERCASE | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), parent.get(),
                          static_cast<UINT>(id++)));
    e->LimitText(3);
    e->SetWindowText("E");
    e->SetSel(1, 1);
  }
  commit(upper, QString::fromUtf8("être"));
  Type(typedUpper, "\xEAtre");
  EXPECT_EQ(Text(upper).str(), "E\xCAT");
  EXPECT_EQ(Text(upper).str(), Text(typedUpper).str());
  EXPECT_EQ(static_cast<QLineEdit*>(upper.GetControlWidget())->text(), QString::fromUtf8("EÊT"));
  EXPECT_EQ(Notifications(950).back(), EN_MAXTEXT);

  // The window's own character handler decides, in code page 1252.
  CNoDigitsEdit noDigits, typedNoDigits;
  for (CEdit* e : {static_cast<CEdit*>(&noDigits), static_cast<CEdit*>(&typedNoDigits)})
    ASSERT_TRUE(e->Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 40, 200, 64), parent.get(),
                          static_cast<UINT>(id++)));
  commit(noDigits, QString::fromUtf8("a2€ő"));
  Type(typedNoDigits, "a2\x80?");
  EXPECT_EQ(Text(noDigits).str(), "a\x80?");
  EXPECT_EQ(Text(noDigits).str(), Text(typedNoDigits).str());
  EXPECT_EQ(std::count(noDigits.seen.begin(), noDigits.seen.end(), static_cast<UINT>(WM_CHAR)), 4);
}

TEST_F(EditTest, RealKeysReachTheWindowsHandlersBeforeTheControlEdits) {
  CNoDigitsEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), parent.get(), 940));
  edit.SetFocus();
  QWidget* widget = edit.GetControlWidget();
  for (const char* key : {"a", "1", "b"}) {
    QKeyEvent press(QEvent::KeyPress, key[0] == '1' ? Qt::Key_1 : Qt::Key_A + (key[0] - 'a'), Qt::NoModifier, key);
    QApplication::sendEvent(widget, &press);
    EXPECT_TRUE(static_cast<QLineEdit*>(widget)->text().isEmpty() || key[0] != 'a') << "nothing before the message";
    PumpReady();
  }
  EXPECT_EQ(edit.GetWindowText(), "ab");
  ASSERT_FALSE(edit.seen.empty());
  EXPECT_EQ(edit.seen.front(), static_cast<UINT>(WM_KEYDOWN));

  // Ctrl+V becomes WM_PASTE; Backspace edits through the control.
  CClipboard::SetText("c3");
  QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
  QApplication::sendEvent(widget, &paste);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier);
  QApplication::sendEvent(widget, &release);
  PumpReady();
  EXPECT_EQ(std::count(edit.seen.begin(), edit.seen.end(), static_cast<UINT>(WM_PASTE)), 1);
  EXPECT_EQ(edit.GetWindowText(), "abc3") << "a paste is not typing";
  QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
  QApplication::sendEvent(widget, &back);
  PumpReady();
  EXPECT_EQ(edit.GetWindowText(), "abc");
}

TEST_F(EditTest, ASecondUndoTakesBackTheFirstInOneLineAndInSeveral) {
  // Typed with real keys: a run of letters, a move, one more letter. Undo
  // takes back the last change and puts back the selection before it; the
  // next undo takes back the undo, whatever history the control keeps.
  int id = 960;
  for (const DWORD style : {DWORD{ES_AUTOHSCROLL}, DWORD{ES_MULTILINE | ES_WANTRETURN}}) {
    SCOPED_TRACE(style);
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, CRect(10, 10, 300, 100), parent.get(),
                            static_cast<UINT>(id++)));
    edit.SetFocus();
    QWidget* widget = edit.GetControlWidget();
    auto key = [&](int code, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
      QKeyEvent press(QEvent::KeyPress, code, mods, text);
      QApplication::sendEvent(widget, &press);
      QKeyEvent release(QEvent::KeyRelease, code, mods, text);
      QApplication::sendEvent(widget, &release);
      PumpReady();
    };
    for (const char* letter : {"a", "b", "c"}) key(Qt::Key_A + (letter[0] - 'a'), letter);
    key(Qt::Key_Left);
    key(Qt::Key_D, "d");
    ASSERT_EQ(Text(edit).str(), "abdc");
    key(Qt::Key_Z, {}, Qt::ControlModifier);
    EXPECT_EQ(Text(edit).str(), "abc");
    EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(2, 2)));
    key(Qt::Key_Z, {}, Qt::ControlModifier);
    EXPECT_EQ(Text(edit).str(), "abdc");
    EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(3, 3)));
    EXPECT_TRUE(edit.Undo());
    EXPECT_EQ(Text(edit).str(), "abc");
    EXPECT_EQ(Notifications(static_cast<UINT>(id - 1)).back(), EN_CHANGE);

    // A paste over a selection is one change too; setting the text forgets it.
    edit.SetSel(0, 2);
    CClipboard::SetText("xy");
    edit.Paste();
    EXPECT_EQ(Text(edit).str(), "xyc");
    edit.Undo();
    EXPECT_EQ(Text(edit).str(), "abc");
    EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(0, 2)));
    edit.Undo();
    EXPECT_EQ(Text(edit).str(), "xyc");
    edit.SetWindowText("new");
    EXPECT_FALSE(edit.CanUndo());
    EXPECT_FALSE(edit.Undo());
    EXPECT_EQ(Text(edit).str(), "new");
  }
}

TEST_F(EditTest, AComposingInputMethodLeavesTextAndSelectionAloneUntilItCommits) {
  // A dead key over a selection: the accent is shown while composing, but the
  // selected letters stay until the composed letter comes, which replaces
  // them as a typed one would; a cancelled composition changes nothing.
  int id = 970;
  for (const DWORD style : {DWORD{ES_AUTOHSCROLL}, DWORD{ES_MULTILINE}}) {
    SCOPED_TRACE(style);
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_UPPERCASE | style, CRect(10, 10, 300, 100),
                            parent.get(), static_cast<UINT>(id++)));
    edit.SetWindowText("ABCD");
    edit.SetFocus();
    edit.SetSel(1, 3);
    QWidget* widget = edit.GetControlWidget();
    auto compose = [&](const QString& preedit, const QString& commit = {}) {
      QInputMethodEvent event(preedit, {});
      if (!commit.isEmpty()) event.setCommitString(commit);
      QApplication::sendEvent(widget, &event);
      PumpReady();
    };
    compose(QString::fromUtf8("´"));
    EXPECT_EQ(Text(edit).str(), "ABCD");
    EXPECT_EQ(edit.GetWindowText().str(), "ABCD");
    EXPECT_FALSE(edit.GetModify());
    compose({});
    EXPECT_EQ(Text(edit).str(), "ABCD");
    EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(1, 3))) << "the selection is back";
    EXPECT_FALSE(edit.CanUndo());

    compose(QString::fromUtf8("´"));
    compose({}, QString::fromUtf8("é"));
    EXPECT_EQ(Text(edit).str(), "A\xC9" "D");
    EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(2, 2)));
    edit.Undo();
    EXPECT_EQ(Text(edit).str(), "ABCD");

    // A key or a click the input method lets through while it composes moves
    // the caret within the text only: what is typed or pasted next is not
    // padded.
    auto type = [&](int code, const char* letter) {
      for (const QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(t, code, Qt::NoModifier, letter);
        QApplication::sendEvent(widget, &event);
      }
      PumpReady();
    };
    edit.SetSel(4, 4);
    compose(QString::fromUtf8("´"));
    type(Qt::Key_Right, "");
    type(Qt::Key_X, "x");
    EXPECT_EQ(Text(edit).str(), "ABCDX");
    edit.SetSel(1, 1);
    compose(QString::fromUtf8("´"));
    QWidget* area = style & ES_MULTILINE ? static_cast<QPlainTextEdit*>(widget)->viewport() : widget;
    for (const QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      const QPointF at(area->width() - 4, 8);
      QMouseEvent click(t, at, area->mapToGlobal(at), Qt::LeftButton,
                        t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(area, &click);
    }
    PumpReady();
    CClipboard::SetText("y");
    edit.Paste();
    EXPECT_EQ(Text(edit).str(), "ABCDXY");
  }
}
