// The rich-text editor view: default formats, read-only mode, keys, context menu, commands, clipboard and RTF in and out.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/rtf_editor_doc.h"
#include "controls/rtf_editor_view.h"
#include "model/message_service.h"
#include "model/text_formats.h"
#include "platform/user/button.h"
#include "platform/user/clipboard.h"
#include "platform/user/cursor.h"
#include "platform/sys/file.h"
#include "tests/controls/rtf_editor_test_support.h"
#include "tests/model/test_variable_context.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/recording_message_sink.h"

namespace {

using namespace tvn::testing;

constexpr const char* kBoldThenPlain = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 {\\b Bold} plain\\par second}";

class RtfEditorViewTest : public WindowTest {
 protected:
  RtfEditorViewTest() {
    vars.Declare("ErrorNumber", VarType::kInteger);
    vars.Declare("ErrorMessage", VarType::kString);
    env.text.variables = &vars;
    env.text.messages = &messages;
    env.dialogs = &editorDialogs;
    env.status = &status;
    env.pageBackground = RGB(10, 20, 30);
  }

  // A live editor on the parent window.
  void Make(CRtfEditorView& view, DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE) {
    view.SetEnvironment(env);
    ASSERT_TRUE(view.Create(parent.get(), CRect(10, 10, 300, 200), style, kRtfEditorControlId));
  }

  std::unique_ptr<CRecordingWnd> parent = MakeWindow(CRect(0, 0, 400, 300));
  TestVariableContext vars;
  RecordingMessageSink sink;
  CMessageService messages{sink, "Tvnrun"};
  ScriptedEditorDialogs editorDialogs;
  RecordingEditorStatus status;
  RtfEditorEnvironment env;
  CRtfEditorView view;
};

LOGFONT Font(const char* face, LONG weight, BYTE italic = 0) {
  LOGFONT font{};
  std::strcpy(font.lfFaceName, face);
  font.lfWeight = weight;
  font.lfItalic = italic;
  font.lfPitchAndFamily = 0x22;
  return font;
}

TEST_F(RtfEditorViewTest, DefaultFormatsAndTheFontFormat) {
  const CHARFORMAT& proportional = view.GetProportionalFormat();
  EXPECT_EQ(proportional.cbSize, 60u);
  EXPECT_EQ(proportional.dwMask, 0xF000001Fu) << "0xD000001F, and the face";
  EXPECT_EQ(proportional.dwEffects, 0x40000000u);
  EXPECT_EQ(proportional.yHeight, 200);
  EXPECT_EQ(proportional.yOffset, 0);
  EXPECT_EQ(proportional.crTextColor, 0u);
  EXPECT_EQ(proportional.bCharSet, 0);
  EXPECT_EQ(proportional.bPitchAndFamily, 0);
  EXPECT_STREQ(proportional.szFaceName, "Times New Roman");
  EXPECT_STREQ(view.GetFixedPitchFormat().szFaceName, "Courier New");
  EXPECT_EQ(view.GetFixedPitchFormat().dwMask, 0xF000001Fu);

  Make(view);
  view.SetCharFormatFromFont(Font("Arial", 700), 12, RGB(200, 0, 0));
  EXPECT_EQ(proportional.dwMask, 0xF000000Fu);
  EXPECT_EQ(proportional.yHeight, 240);
  EXPECT_EQ(proportional.dwEffects, CFE_BOLD) << "automatic colour cleared";
  EXPECT_EQ(proportional.crTextColor, RGB(200, 0, 0));
  EXPECT_EQ(proportional.bPitchAndFamily, 0x22);
  EXPECT_STREQ(proportional.szFaceName, "Arial");
  view.SetCharFormatFromFont(Font("Arial", 400, 1), 10, RGB(0, 0, 0));
  EXPECT_EQ(proportional.dwEffects, CFE_BOLD | CFE_ITALIC) << "the earlier bold stays";

  // Applying it leaves no undo step, nothing modified, the caret at 0, and
  // the text in the format.
  view.ReplaceSel("Typed", TRUE);
  view.SetModify(TRUE);
  view.ApplyDefaultFormat(FALSE);
  long start = -1, end = -1;
  view.GetSel(start, end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 0);
  EXPECT_FALSE(view.CanUndo());
  EXPECT_FALSE(view.GetModify());
  view.SetSel(0, -1);
  CHARFORMAT typed;
  view.GetSelectionCharFormat(typed);
  EXPECT_EQ(typed.dwEffects & (CFE_BOLD | CFE_ITALIC), CFE_BOLD | CFE_ITALIC);
  EXPECT_EQ(typed.yHeight, 200);
  EXPECT_STREQ(typed.szFaceName, "Arial");
}

TEST_F(RtfEditorViewTest, CreationStylesAndRtfInAndOut) {
  Make(view);
  EXPECT_EQ(view.GetDlgCtrlID(), 923);
  EXPECT_TRUE(view.GetStyle() & ES_SELECTIONBAR);
  EXPECT_GT(view.GetLeftMargin(), 0) << "the selection bar is a left margin";
  EXPECT_EQ(view.GetBackgroundColor(), RGB(10, 20, 30)) << "the page's background";
  ASSERT_NE(view.GetDocument(), nullptr);
  EXPECT_EQ(view.GetDocument()->GetSaveType(), 4);

  view.SetRtfText(kBoldThenPlain);
  EXPECT_EQ(view.GetTextRange(0, -1).str(), "Bold plain\rsecond");
  CString rtf = "previous";
  ASSERT_TRUE(view.GetRtfText(rtf));
  ASSERT_TRUE(rtf.view().starts_with("{\\rtf"));
  // What comes out reads back to the same formats.
  CRtfEditorView again;
  again.SetRtfText(rtf);
  again.SetSel(0, 4);
  CHARFORMAT bold;
  again.GetSelectionCharFormat(bold);
  EXPECT_TRUE(bold.dwEffects & CFE_BOLD);
  again.SetSel(5, 10);
  CHARFORMAT plain;
  again.GetSelectionCharFormat(plain);
  EXPECT_FALSE(plain.dwEffects & CFE_BOLD);
  EXPECT_EQ(again.GetStreamedLength(), static_cast<ULONGLONG>(rtf.GetLength()));
  EXPECT_EQ(again.OutputGrowth(), 8192u);

  // A text document still hands RTF to the response.
  view.GetDocument()->SetDocType(5);
  ASSERT_TRUE(view.GetRtfText(rtf));
  EXPECT_TRUE(rtf.view().starts_with("{\\rtf"));
}

// Writes half the text, then fails as a full disk would.
class FailingStreamView : public CRtfEditorView {
 public:
  void Stream(CFile& file, BOOL storing, BOOL selectionOnly) override {
    if (!storing) return CRtfEditorView::Stream(file, storing, selectionOnly);
    file.Write("{\\rtf1 half", 11);
    throw CFileException(CFileException::diskFull, -1);
  }
};

TEST_F(RtfEditorViewTest, AFailingGetRtfTextReportsAndKeepsThePreviousText) {
  FailingStreamView failing;
  failing.SetEnvironment(env);
  failing.SetRtfText("{\\rtf1 text}");
  CString value = "{\\rtf1 before}";
  EXPECT_FALSE(failing.GetRtfText(value));
  EXPECT_EQ(value.str(), "{\\rtf1 before}") << "never a partial text";
  EXPECT_EQ(vars.Var("ErrorNumber").GetLong(), CFileException::diskFull);
}

TEST_F(RtfEditorViewTest, ReadOnlySwallowsClicksKeepsTheArrowAndGivesTheFocusBack) {
  Make(view);
  view.SetRtfText(kBoldThenPlain);
  CRtfEditorView other;
  other.SetEnvironment(env);
  ASSERT_TRUE(other.Create(parent.get(), CRect(0, 220, 100, 260), WS_CHILD | WS_VISIBLE));

  view.SetReadOnly(TRUE);
  EXPECT_TRUE(view.GetReadOnlyFlag());
  EXPECT_TRUE(view.IsReadOnly());
  view.SetSel(2, 2);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK})
    EXPECT_EQ(view.SendMessage(message, MK_LBUTTON, MAKELPARAM(20, 5)), 0);
  long start = 0, end = 0;
  view.GetSel(start, end);
  EXPECT_EQ(start, 2);
  EXPECT_EQ(end, 2);

  ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
  EXPECT_TRUE(view.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(view.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(CursorSystemId(loop->GetCursor()), IDC_ARROW);

  other.SetFocus();
  view.SetFocus();
  PumpReady();
  EXPECT_EQ(loop->GetFocus(), other.m_hWnd) << "the focus went back";

  // Editable again: the I-beam, and the focus stays.
  view.SetReadOnly(FALSE);
  view.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(view.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(CursorSystemId(loop->GetCursor()), IDC_IBEAM);
  view.SetFocus();
  PumpReady();
  EXPECT_EQ(loop->GetFocus(), view.m_hWnd);
}

TEST_F(RtfEditorViewTest, KeysReachTheViewFirstAndTheContextMenuFollowsThePopupField) {
  Make(view);
  view.SetRtfText(kBoldThenPlain);
  view.SendMessage(WM_KEYDOWN, 'A', 1);
  ASSERT_EQ(parent->Messages(WM_KEYDOWN).size(), 1u);
  EXPECT_EQ(parent->Messages(WM_KEYDOWN)[0].wParam, static_cast<WPARAM>('A'));

  // Popup 0: neither the right button nor Shift+F10 shows a menu.
  view.SetContextMenuPopup(0);
  view.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(20, 5));
  loop->SetKeyDown(VK_SHIFT, true);
  view.SendMessage(WM_KEYDOWN, VK_F10, 1);
  loop->SetKeyDown(VK_SHIFT, false);
  EXPECT_TRUE(editorDialogs.menus.empty());

  // Popup 1: the second popup of menu 257, the colour menu in place of "Colour".
  view.SetContextMenuPopup(1);
  view.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(20, 5));
  loop->SetKeyDown(VK_SHIFT, true);
  view.SendMessage(WM_SYSKEYDOWN, VK_F10, 1);  // F10 comes as a system key
  loop->SetKeyDown(VK_SHIFT, false);
  ASSERT_EQ(editorDialogs.menus.size(), 2u);
  const std::vector<std::string>& items = editorDialogs.menus[0];
  const std::vector<std::string> expected{"&Undo",       "-",          "Cu&t",         "&Copy",      "&Paste",
                                          "&Delete",     "-",          "&Font...",     "C&olour >",  "&Bullet Style",
                                          "P&aragraph...", "-",        "&Import...",   "&Save As..", "-",
                                          "F&ind...",    "&Replace..."};
  EXPECT_EQ(items, expected);
  EXPECT_EQ(editorDialogs.colourIds.front(), 5700u);
  EXPECT_EQ(editorDialogs.colourIds.back(), 5716u);
  EXPECT_EQ(editorDialogs.colourIds.size(), 17u);

  // A colour chosen from the menu colours the selection.
  editorDialogs.menuAnswers.push_back(5709);
  view.SetSel(0, 4);
  view.ShowContextMenu(CPoint(0, 0));
  CHARFORMAT red;
  view.GetSelectionCharFormat(red);
  EXPECT_EQ(red.crTextColor, RGB(255, 0, 0));
  EXPECT_FALSE(red.dwEffects & CFE_AUTOCOLOR);
  EXPECT_TRUE(red.dwEffects & CFE_BOLD) << "only the colour changed";
}

TEST_F(RtfEditorViewTest, FontColourParagraphAndBulletCommands) {
  Make(view);
  view.SetRtfText(kBoldThenPlain);
  view.SetSel(5, 10);
  editorDialogs.font = [](CHARFORMAT& f) {
    f.dwMask = CFM_ITALIC | CFM_SIZE;
    f.dwEffects = CFE_ITALIC;
    f.yHeight = 360;
    return TRUE;
  };
  view.RunCommand(RtfEditorCommand::kFont);
  CHARFORMAT chosen;
  view.GetSelectionCharFormat(chosen);
  EXPECT_TRUE(chosen.dwEffects & CFE_ITALIC);
  EXPECT_EQ(chosen.yHeight, 360);

  editorDialogs.colour = RGB(1, 2, 3);
  view.RunCommand(RtfEditorCommand::kCustomColour);
  EXPECT_EQ(editorDialogs.colourAskedWith.size(), 1u);
  view.GetSelectionCharFormat(chosen);
  EXPECT_EQ(chosen.crTextColor, RGB(1, 2, 3));
  EXPECT_TRUE(chosen.dwEffects & CFE_ITALIC);

  editorDialogs.paragraph = [](PARAFORMAT& p) {
    p.dwMask = PFM_ALIGNMENT;
    p.wAlignment = PFA_RIGHT;
    return TRUE;
  };
  view.RunCommand(RtfEditorCommand::kParagraph);
  PARAFORMAT para;
  view.GetParaFormat(para);
  EXPECT_EQ(para.wAlignment, PFA_RIGHT);

  view.SetSel(0, -1);
  view.RunCommand(RtfEditorCommand::kBulletStyle);
  view.GetParaFormat(para);
  EXPECT_EQ(para.wNumbering, PFN_BULLET);
  CString rtf;
  ASSERT_TRUE(view.GetRtfText(rtf));
  EXPECT_NE(rtf.view().find("\\pnlvlblt"), std::string_view::npos) << "written as RTF bullets";
  view.RunCommand(RtfEditorCommand::kBulletStyle);
  view.GetParaFormat(para);
  EXPECT_EQ(para.wNumbering, 0);
  EXPECT_TRUE(view.RunCommand(32889));
  EXPECT_FALSE(view.RunCommand(12345));
}

TEST_F(RtfEditorViewTest, FindReplaceAndTheEndOfTheText) {
  Make(view);
  view.SetRtfText("{\\rtf1 one two One one}");
  FindRequest find;
  find.findWhat = "one";
  view.SetSel(0, 0);
  EXPECT_TRUE(view.FindNext(find));
  EXPECT_EQ(view.GetSelText().str(), "one");
  EXPECT_TRUE(view.FindNext(find));
  long start = 0, end = 0;
  view.GetSel(start, end);
  EXPECT_EQ(start, 8) << "case ignored";
  find.matchCase = TRUE;
  EXPECT_TRUE(view.FindNext(find));
  view.GetSel(start, end);
  EXPECT_EQ(start, 12);
  EXPECT_TRUE(sink.events.empty());
  EXPECT_FALSE(view.FindNext(find));
  EXPECT_EQ(sink.events, (std::vector<std::string>{"beep", "box", "beep"}));
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].text, "Finished searching the text.");
  EXPECT_EQ(sink.beeps.back(), MB_ICONHAND);

  // The dialog drives it: find, replace, then replace the rest.
  view.SetSel(0, 0);
  FindRequest answer;
  answer.findWhat = "one";
  answer.replaceWith = "1";
  answer.action = FindRequest::Action::findNext;
  editorDialogs.finds.push_back(answer);
  answer.action = FindRequest::Action::replace;
  editorDialogs.finds.push_back(answer);
  answer.action = FindRequest::Action::replaceAll;
  editorDialogs.finds.push_back(answer);
  view.RunCommand(RtfEditorCommand::kReplace);
  EXPECT_EQ(view.GetTextRange(0, -1).str(), "1 two 1 1");
  ASSERT_FALSE(editorDialogs.findRequests.empty());
  EXPECT_TRUE(editorDialogs.findRequests[0].replaceDialog);
}

TEST_F(RtfEditorViewTest, TheClipboardCarriesOurFormatsAndOthersTextPlain) {
  Make(view);
  view.SetRtfText(kBoldThenPlain);
  view.SetSel(0, 4);
  view.RunCommand(RtfEditorCommand::kCopy);
  EXPECT_TRUE(CClipboard::HasFormat(CRichEditView::RtfClipboardFormat()));
  EXPECT_EQ(CClipboard::GetText().str(), "Bold");

  CRtfEditorView target;
  Make(target);
  target.SetSel(0, 0);
  target.RunCommand(RtfEditorCommand::kPaste);
  EXPECT_EQ(target.GetTextRange(0, -1).str(), "Bold");
  target.SetSel(0, 4);
  CHARFORMAT pasted;
  target.GetSelectionCharFormat(pasted);
  EXPECT_TRUE(pasted.dwEffects & CFE_BOLD) << "the fragment kept its format";
  EXPECT_STREQ(pasted.szFaceName, "Arial");
  EXPECT_TRUE(target.CanUndo());
  target.RunCommand(RtfEditorCommand::kUndo);
  EXPECT_EQ(target.GetTextLength(), 0);

  // Another program's text arrives plain, in the format at the caret.
  CClipboard::SetText("From elsewhere");
  view.SetSel(5, 5);
  view.RunCommand(RtfEditorCommand::kPaste);
  EXPECT_EQ(view.GetTextRange(0, -1).str(), "Bold From elsewhereplain\rsecond");
  view.SetSel(5, 19);
  CHARFORMAT plain;
  view.GetSelectionCharFormat(plain);
  EXPECT_FALSE(plain.dwEffects & CFE_BOLD);

  view.SetSel(0, 5);
  view.RunCommand(RtfEditorCommand::kCut);
  EXPECT_EQ(CClipboard::GetText().str(), "Bold ");
  EXPECT_EQ(view.GetTextRange(0, 4).str(), "From");
  view.SetReadOnly(TRUE);
  view.RunCommand(RtfEditorCommand::kPaste);
  EXPECT_EQ(view.GetTextRange(0, 4).str(), "From") << "read-only takes nothing";
}

TEST_F(RtfEditorViewTest, PlainFormattedComparesCharactersAlignmentAndIndent) {
  Make(view);
  view.ReplaceSel("Plain words", TRUE);
  view.ApplyDefaultFormat(TRUE);
  EXPECT_TRUE(view.IsPlainFormatted());
  view.SetSel(2, 4);
  EXPECT_TRUE(view.IsPlainFormatted());
  long start = 0, end = 0;
  view.GetSel(start, end);
  EXPECT_EQ(start, 2) << "the selection comes back";
  EXPECT_EQ(end, 4);

  PARAFORMAT right;
  right.dwMask = PFM_ALIGNMENT;
  right.wAlignment = PFA_RIGHT;
  view.SetParaFormat(right);
  EXPECT_FALSE(view.IsPlainFormatted()) << "alignment counts";
  view.ApplyDefaultFormat(TRUE);
  PARAFORMAT indent;
  indent.dwMask = PFM_STARTINDENT;
  indent.dxStartIndent = 720;
  view.SetParaFormat(indent);
  EXPECT_FALSE(view.IsPlainFormatted()) << "the start indent counts";
  view.ApplyDefaultFormat(TRUE);
  CHARFORMAT bold;
  bold.dwMask = CFM_BOLD;
  bold.dwEffects = CFE_BOLD;
  view.SetSel(0, 5);
  view.SetSelectionCharFormat(bold);
  EXPECT_FALSE(view.IsPlainFormatted());
}

TEST_F(RtfEditorViewTest, FormatBarNotificationsAndTheRewrapStatus) {
  Make(view);
  view.SetRtfText(kBoldThenPlain);
  NMHDR focus{nullptr, kFormatBarId, NM_SETFOCUS};
  view.SendMessage(WM_NOTIFY, kFormatBarId, reinterpret_cast<LPARAM>(&focus));
  EXPECT_TRUE(view.IsFormatBarFocused());
  EXPECT_EQ(view.SendMessage(WM_MOUSEACTIVATE, 0, 0), MA_ACTIVATEANDEAT);
  EXPECT_EQ(loop->GetFocus(), view.m_hWnd);
  focus.code = NM_KILLFOCUS;
  view.SendMessage(WM_NOTIFY, kFormatBarId, reinterpret_cast<LPARAM>(&focus));
  EXPECT_FALSE(view.IsFormatBarFocused());

  view.SetSel(0, 4);
  FormatBarNotify fetch{{nullptr, kFormatBarId, kFormatBarFetch}, {}};
  EXPECT_EQ(view.SendMessage(WM_NOTIFY, kFormatBarId, reinterpret_cast<LPARAM>(&fetch)), 1);
  EXPECT_TRUE(fetch.format.dwEffects & CFE_BOLD);
  FormatBarNotify apply{{nullptr, kFormatBarId, kFormatBarApply}, {}};
  apply.format.dwMask = CFM_UNDERLINE;
  apply.format.dwEffects = CFE_UNDERLINE;
  EXPECT_EQ(view.SendMessage(WM_NOTIFY, kFormatBarId, reinterpret_cast<LPARAM>(&apply)), 1);
  CHARFORMAT now;
  view.GetSelectionCharFormat(now);
  EXPECT_EQ(now.dwEffects & (CFE_BOLD | CFE_UNDERLINE), CFE_BOLD | CFE_UNDERLINE);

  // A long text says so while it wraps again.
  view.SetRtfText(CString("{\\rtf1 " + std::string(40000, 'x') + "}"));
  view.MoveWindow(CRect(10, 10, 200, 150));
  EXPECT_EQ(status.texts, (std::vector<std::string>{"Formatting... Please Wait.", "(idle)"}));
}

TEST_F(RtfEditorViewTest, WithoutScriptedDialogsTheWindowLayerAnswers) {
  env.dialogs = nullptr;
  Make(view);
  view.SetRtfText(kBoldThenPlain);
  view.SetSel(0, 4);

  // The popup is the layer's, with the owner-drawn colour menu inside.
  dialogs->menuAnswers.push_back(5704);
  view.SendMessage(WM_CONTEXTMENU, 0, MAKELPARAM(50, 60));
  ASSERT_EQ(dialogs->popupMenus.size(), 1u);
  EXPECT_EQ(dialogs->popupMenus[0].point, CPoint(50, 60));
  EXPECT_TRUE(dialogs->popupMenus[0].flags & TPM_RIGHTBUTTON);
  CHARFORMAT navy;
  view.GetSelectionCharFormat(navy);
  EXPECT_EQ(navy.crTextColor, RGB(0, 0, 128));

  dialogs->fontAnswers.push_back([](const FontDialogRequest& request) {
    std::optional<CHARFORMAT> chosen = request.format;
    chosen->dwMask |= CFM_STRIKEOUT;
    chosen->dwEffects |= CFE_STRIKEOUT;
    return chosen;
  });
  view.RunCommand(RtfEditorCommand::kFont);
  ASSERT_EQ(dialogs->fontDialogs.size(), 1u);
  EXPECT_TRUE(dialogs->fontDialogs[0].format.dwEffects & CFE_BOLD) << "opened on the selection's format";
  dialogs->colourAnswers.push_back(RGB(9, 8, 7));
  view.RunCommand(RtfEditorCommand::kCustomColour);
  ASSERT_EQ(dialogs->colourDialogs.size(), 1u);
  EXPECT_EQ(dialogs->colourDialogs[0].colour, RGB(0, 0, 128));
  EXPECT_EQ(dialogs->colourDialogs[0].flags & CC_RGBINIT, CC_RGBINIT);
  CHARFORMAT now;
  view.GetSelectionCharFormat(now);
  EXPECT_EQ(now.dwEffects & (CFE_BOLD | CFE_STRIKEOUT), CFE_BOLD | CFE_STRIKEOUT);
  EXPECT_EQ(now.crTextColor, RGB(9, 8, 7));

  // The find dialog's buttons end it with their action and its fields.
  FindRequest request;
  request.replaceDialog = TRUE;
  request.findWhat = "Bold";
  CFindReplaceDlg find(request, parent.get());
  ASSERT_TRUE(find.Create(parent.get()));
  find.SetDlgItemText(IDC_REPLACE_WITH, "Brave");
  find.CheckDlgButton(IDC_MATCH_CASE, 1);
  static_cast<CButton*>(find.GetDlgItem(IDC_REPLACE_ALL))->Click();
  PumpReady();
  EXPECT_EQ(find.Request().action, FindRequest::Action::replaceAll);
  EXPECT_EQ(find.Request().findWhat.str(), "Bold");
  EXPECT_EQ(find.Request().replaceWith.str(), "Brave");
  EXPECT_TRUE(find.Request().matchCase);
  EXPECT_FALSE(find.Request().wholeWord);
  EXPECT_EQ(view.ReplaceAll(find.Request()), 1);
  EXPECT_EQ(view.GetTextRange(0, 5).str(), "Brave");
}

}  // namespace
