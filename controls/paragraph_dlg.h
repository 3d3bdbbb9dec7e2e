// CParagraphDlg: dialog 268 "Paragraph", the indents and alignment of the
// selected paragraphs of the rich-text editor.
#pragma once

#include "controls/paragraph_model.h"
#include "platform/user/dialog.h"

// Control ids of dialog 268.
constexpr int kParagraphDialogId = 268;
constexpr int IDC_PARA_LEFT = 1000;
constexpr int IDC_PARA_RIGHT = 1001;
constexpr int IDC_PARA_FIRST = 1002;
constexpr int IDC_PARA_ALIGN_LABEL = 1017;
constexpr int IDC_PARA_ALIGN = 111;

// The dialog's template: edits 1000 "&Left:", 1001 "&Right:", 1002 "&First
// line:", label 1017 "&Alignment:", combo box 111, OK and Cancel.
DialogTemplate ParagraphDialogTemplate();

class CParagraphDlg : public CDialog {
  CParagraphModel m_model;  // first: m_pf refers into it

 public:
  // The whole format is copied; after IDOK read it back from m_pf.
  CParagraphDlg(const PARAFORMAT& format, BOOL allowAlignment = TRUE, CWnd* parent = nullptr);

  CParagraphModel& Model() { return m_model; }
  PARAFORMAT& m_pf;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
};
