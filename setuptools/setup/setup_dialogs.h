// setup's wizard dialogs: the common base (Back and the exit question), Startup, Directory, the disk prompt, the copy error and the timed message.
#pragma once

#include "platform/user/dialog.h"
#include "platform/user/message_box_types.h"
#include "setuptools/common/setup_services.h"
#include "setuptools/setup/setup_templates.h"

namespace setup {

// What every wizard dialog needs of the run: the exit question, the caption
// it shows and the background window it stands over.
struct SetupDialogContext {
  CSetupServices& services;
  CString caption;
  CWnd* owner = nullptr;
};

// The base of the wizard dialogs: Back (402) ends with 402; Exit, Escape and
// the close box ask 411 and end with 2 only on Yes; OK exchanges and ends with 1.
class CSetupDlg : public CDialog {
 public:
  CSetupDlg(UINT templateId, const SetupDialogContext& context);

 protected:
  BOOL OnInitDialog() override;
  void OnCancel() override;
  BOOL OnDialogCommand(UINT id, WORD code) override;
  const SetupDialogContext& Context() const { return m_context; }

 private:
  SetupDialogContext m_context;
};

class CStartupDlg : public CSetupDlg {
 public:
  CStartupDlg(const SetupDialogContext& context, CString text1, CString text2);

 protected:
  void DoDataExchange(CDataExchange* dx) override;

 private:
  CString m_text1, m_text2;
};

// Edit 200 shows the install directory; only Continue takes the edited one.
class CDirectoryDlg : public CSetupDlg {
 public:
  CDirectoryDlg(const SetupDialogContext& context, CString directory);
  const CString& Directory() const { return m_directory; }

 protected:
  void DoDataExchange(CDataExchange* dx) override;

 private:
  CString m_directory;
};

// The prompt in static 102, the source folder in edit 200; 1 for OK, 2 for a
// confirmed Cancel. A beep greets it.
class CDiskPromptDlg : public CSetupDlg {
 public:
  CDiskPromptDlg(const SetupDialogContext& context, CString prompt, CString sourceDirectory);
  const CString& SourceDirectory() const { return m_source; }

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  CString m_prompt, m_source;
};

// "&Retry" 4, "&Ignore" 5, "&Exit" 3; Escape after Yes 2.
class CCopyErrorDlg : public CSetupDlg {
 public:
  CCopyErrorDlg(const SetupDialogContext& context, CString text);

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnDialogCommand(UINT id, WORD code) override;

 private:
  CString m_text;
};

// Dialog 291: a message that closes itself after its seconds (timer 33) with
// 1, or with OK; Escape gives 2 without a question. The main window is
// disabled while it shows.
class CMessageDlg : public CDialog {
 public:
  static constexpr UINT kTimerId = 33;
  // An empty caption shows "Install Application".
  CMessageDlg(CString text, CString caption, int seconds, CWnd* mainWindow);

 protected:
  BOOL OnInitDialog() override;
  void OnCancel() override { EndDialog(IDCANCEL); }
  void OnTimer(UINT id) override;
  void OnDestroy() override;

 private:
  CString m_text, m_caption;
  int m_seconds;
  CWnd* m_mainWindow;
};

// Shows dialog 291 modally: 1 after the time or OK, 2 for Escape.
int ShowTimedMessage(const CString& text, int seconds, CWnd* mainWindow, const CString& caption = CString());

}  // namespace setup
