// CRtfEditorDialogs and CFindReplaceDlg: the editor's dialogs and popup menu on the window layer.
#pragma once

#include "controls/rtf_editor_services.h"
#include "platform/user/dialog.h"
#include "platform/user/message_box_types.h"

// Control ids of the find and replace dialog.
constexpr int IDC_FIND_WHAT = 1152;
constexpr int IDC_REPLACE_WITH = 1153;
constexpr int IDC_MATCH_CASE = 1041;
constexpr int IDC_WHOLE_WORD = 1040;
constexpr int IDC_FIND_NEXT = IDOK;
constexpr int IDC_REPLACE = 1024;
constexpr int IDC_REPLACE_ALL = 1025;

// The small find dialog ("Find", with replace: "Replace"): the text sought,
// the replacement, match case and whole word; its buttons end it with the
// action they stand for.
class CFindReplaceDlg : public CDialog {
 public:
  CFindReplaceDlg(const FindRequest& request, CWnd* parent = nullptr);
  const FindRequest& Request() const { return m_request; }

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnDialogCommand(UINT id, WORD code) override;

 private:
  FindRequest m_request;
};

// The program's answers: the layer's font and colour dialogs, the paragraph
// dialog, the find dialog above and the layer's popup tracking.
class CRtfEditorDialogs : public IRtfEditorDialogs {
 public:
  BOOL ChooseFont(CWnd* owner, CHARFORMAT& format) override;
  BOOL ChooseColour(CWnd* owner, COLORREF& colour) override;
  BOOL EditParagraph(CWnd* owner, PARAFORMAT& format) override;
  void AskFind(CWnd* owner, FindRequest& request) override;
  UINT TrackPopupMenu(HMENU popup, CPoint screen, CWnd* owner) override;
};
