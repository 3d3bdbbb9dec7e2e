// CSetupProgram: the setup program's application object: start-up from the command line, the background window and the run.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/framework/win_app.h"
#include "setuptools/common/inf_reader.h"
#include "setuptools/common/message_boxes.h"
#include "setuptools/common/setup_services.h"
#include "setuptools/common/uninstall_log.h"
#include "setuptools/setup/copy_ui.h"
#include "setuptools/setup/dialog_wizard.h"
#include "setuptools/setup/main_frame.h"
#include "setuptools/setup/setup_app.h"

// The copy step's windows in a silent run: there is no copying dialog and
// nobody to answer, but the loop keeps turning.
class CSilentCopyUi : public ICopyUi {
 public:
  void SetGaugeRange(long long) override {}
  void StepGauge() override {}
  void ShowNames(const CString&, const CString&) override {}
  bool IsCopyCancelled() override { return false; }
  int FileCopyErrorDialog(const CString&) override { return 5; }
  int DiskDialog(const CString&, CString&) override { return 2; }
  bool DispatchPending() override;
  bool IsF3Pressed() override { return false; }
  bool AskExit() override { return false; }
};

class CSetupProgram : public CWinApp {
 public:
  explicit CSetupProgram(std::vector<CString> arguments);
  ~CSetupProgram() override;

  // Start-up: false ends the program with status 1 (no 435).
  BOOL InitInstance() override;
  // The run's exit status: 0 complete, 1 incomplete or a failed start, 2
  // complete after a silent run skipped files.
  int ExitInstance() override { return m_status; }
  // A silent run writes the text (UTF-8) into setup.log with its other
  // messages once its services stand; otherwise nothing is written.
  void LogError(const std::string& text);

 private:
  void RunSequence();

  std::vector<CString> m_arguments;
  CPlatformMessageBoxes m_boxes;
  std::unique_ptr<CSetupServices> m_services;
  CInfReader m_script;
  std::unique_ptr<CUninstallLog> m_log;
  CSilentCopyUi m_copyUi;
  std::unique_ptr<setup::CDialogWizard> m_wizard;  // the wizard's dialogs (none in a silent run)
  std::unique_ptr<CSetupApp> m_app;
  std::unique_ptr<setup::CMainFrame> m_frame;
  int m_status = 1;
};
