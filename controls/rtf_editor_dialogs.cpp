// The editor's dialogs on the window layer: font, colour, paragraph, find and replace, and the popup menu.
#include "controls/rtf_editor_dialogs.h"

#include "controls/paragraph_dlg.h"
#include "platform/user/colour_dialog.h"
#include "platform/user/control_messages.h"
#include "platform/user/edit_messages.h"
#include "platform/user/font_dialog.h"

namespace {

constexpr UINT kNoId = 0xFFFF;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

DialogItemTemplate Item(const char* cls, const char* text, UINT id, DWORD style, int x, int y, int cx, int cy) {
  return DialogItemTemplate{CString(cls), CString(text), id, kChild | style, x, y, cx, cy};
}

DialogTemplate FindTemplate(BOOL replace) {
  DialogTemplate t;
  t.caption = replace ? "Replace" : "Find";
  // Near the top of the editor, leaving the text below it in view.
  t.x = 16;
  t.y = 8;
  t.cx = 236;
  t.cy = replace ? 86 : 62;
  const int below = replace ? 18 : 0;
  t.items = {
      Item("Static", "Fi&nd what:", kNoId, 0, 6, 8, 48, 8),
      Item("Edit", "", IDC_FIND_WHAT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 56, 6, 114, 12),
      Item("Button", "Match &whole word only", IDC_WHOLE_WORD, BS_AUTOCHECKBOX | WS_TABSTOP, 6, 28 + below, 110, 10),
      Item("Button", "Match &case", IDC_MATCH_CASE, BS_AUTOCHECKBOX | WS_TABSTOP, 6, 42 + below, 110, 10),
      Item("Button", "&Find Next", IDC_FIND_NEXT, BS_DEFPUSHBUTTON | WS_TABSTOP, 176, 6, 54, 14),
      Item("Button", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 176, replace ? 60 : 24, 54, 14),
  };
  if (replace) {
    t.items.push_back(Item("Static", "Re&place with:", kNoId, 0, 6, 26, 48, 8));
    t.items.push_back(Item("Edit", "", IDC_REPLACE_WITH, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 56, 24, 114, 12));
    t.items.push_back(Item("Button", "&Replace", IDC_REPLACE, BS_PUSHBUTTON | WS_TABSTOP, 176, 24, 54, 14));
    t.items.push_back(Item("Button", "Replace &All", IDC_REPLACE_ALL, BS_PUSHBUTTON | WS_TABSTOP, 176, 42, 54, 14));
  }
  return t;
}

}  // namespace

CFindReplaceDlg::CFindReplaceDlg(const FindRequest& request, CWnd* parent)
    : CDialog(FindTemplate(request.replaceDialog), parent), m_request(request) {}

void CFindReplaceDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_FIND_WHAT, m_request.findWhat);
  if (m_request.replaceDialog) DDX_Text(dx, IDC_REPLACE_WITH, m_request.replaceWith);
  int matchCase = m_request.matchCase ? 1 : 0;
  int wholeWord = m_request.wholeWord ? 1 : 0;
  DDX_Check(dx, IDC_MATCH_CASE, matchCase);
  DDX_Check(dx, IDC_WHOLE_WORD, wholeWord);
  m_request.matchCase = matchCase != 0;
  m_request.wholeWord = wholeWord != 0;
}

BOOL CFindReplaceDlg::OnDialogCommand(UINT id, WORD code) {
  using Action = FindRequest::Action;
  Action action = Action::cancel;
  switch (id) {
    case IDC_FIND_NEXT: action = Action::findNext; break;
    case IDC_REPLACE: action = Action::replace; break;
    case IDC_REPLACE_ALL: action = Action::replaceAll; break;
    default: return CDialog::OnDialogCommand(id, code);
  }
  if (!UpdateData(TRUE)) return TRUE;
  m_request.action = action;
  EndDialog(static_cast<int>(id));
  return TRUE;
}

BOOL CRtfEditorDialogs::ChooseFont(CWnd* owner, CHARFORMAT& format) {
  CFontDialog dialog(format, CF_BOTH | CF_EFFECTS, owner);
  if (dialog.DoModal() != IDOK) return FALSE;
  dialog.GetCharFormat(format);
  return TRUE;
}

BOOL CRtfEditorDialogs::ChooseColour(CWnd* owner, COLORREF& colour) {
  CColorDialog dialog(colour, CC_RGBINIT | CC_FULLOPEN, owner);
  if (dialog.DoModal() != IDOK) return FALSE;
  colour = dialog.GetColor();
  return TRUE;
}

BOOL CRtfEditorDialogs::EditParagraph(CWnd* owner, PARAFORMAT& format) {
  CParagraphDlg dialog(format, TRUE, owner);
  if (dialog.DoModal() != IDOK) return FALSE;
  format = dialog.m_pf;
  return TRUE;
}

void CRtfEditorDialogs::AskFind(CWnd* owner, FindRequest& request) {
  FindRequest shown = request;
  shown.action = FindRequest::Action::cancel;
  CFindReplaceDlg dialog(shown, owner);
  const int result = dialog.DoModal();
  request = dialog.Request();
  if (result == IDCANCEL || result == -1) request.action = FindRequest::Action::cancel;
}

UINT CRtfEditorDialogs::TrackPopupMenu(HMENU popup, CPoint screen, CWnd* owner) {
  return static_cast<UINT>(::TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y,
                                            owner ? owner->GetSafeHwnd() : nullptr));
}
