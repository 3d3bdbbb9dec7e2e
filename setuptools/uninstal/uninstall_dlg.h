// CUninstallDlg: uninstal's confirmation dialog (template 26), and the question that shows it.
#pragma once

#include "platform/user/dialog.h"
#include "setuptools/uninstal/uninstall_app.h"

// The log's text in static 102 under the icon, "Are you sure you want to
// continue ?" below it, "&Yes" (1) and "&No" (2, the default): Enter, Escape
// and the close box all answer No.
class CUninstallDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = 26;
  static constexpr UINT kTextId = 102;
  static constexpr UINT kQuestionId = 103;

  CUninstallDlg(CString caption, CString text, CWnd* owner = nullptr);

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  CString m_caption;
  CString m_text;
};

// The program's question: the dialog, modal; true only for "&Yes".
class CUninstallDlgQuestion : public IUninstallQuestion {
 public:
  explicit CUninstallDlgQuestion(CWnd* owner = nullptr) : m_owner(owner) {}
  bool Confirm(const CString& caption, const CString& text) override;

 private:
  CWnd* m_owner;
};
