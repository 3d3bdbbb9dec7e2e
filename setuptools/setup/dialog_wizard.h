// CDialogWizard: the wizard sequence's and the copy step's windows as real dialogs over the background window.
#pragma once

#include <memory>

#include "setuptools/common/inf_reader.h"
#include "setuptools/setup/copy_progress_dlg.h"
#include "setuptools/setup/copy_ui.h"
#include "setuptools/setup/setup_wizard.h"

namespace setup {

class CDialogWizard : public ISetupWizard, public ICopyUi {
 public:
  // owner: the background window the dialogs stand over (and that asks the exit question).
  CDialogWizard(CSetupServices& services, const CInfReader& script, CWnd* owner);
  ~CDialogWizard() override;
  // The caption the dialogs show (the script's dialog.caption).
  void SetCaption(const CString& caption) { m_caption = caption; }

  // ISetupWizard
  int Startup() override;
  int Terms(const CString& text) override;
  int Options(std::vector<SetupComponent>& components) override;
  int Directory(CString& directory) override;
  void ShowCopying() override;
  void CloseCopying() override;
  int ShowTimedMessage(const CString& text, int seconds) override;

  // ICopyUi
  void SetGaugeRange(long long files) override;
  void StepGauge() override;
  void ShowNames(const CString& source, const CString& target) override;
  bool IsCopyCancelled() override;
  int FileCopyErrorDialog(const CString& text) override;
  int DiskDialog(const CString& text, CString& sourceDirectory) override;
  // Every pending message, the copying dialog's keys (Escape, Enter) going to
  // it; F3 is noted for IsF3Pressed. False after a quit message.
  bool DispatchPending() override;
  bool IsF3Pressed() override;
  bool AskExit() override;

  CCopyProgressDlg* CopyingDialog() const { return m_copying.get(); }

 private:
  SetupDialogContext Context() const { return {m_services, m_caption, m_owner}; }

  CSetupServices& m_services;
  const CInfReader& m_script;
  CWnd* m_owner;
  CString m_caption;
  std::unique_ptr<CCopyProgressDlg> m_copying;
  bool m_cancelled = false;
  bool m_f3 = false;
};

}  // namespace setup
