// CWinApp: the application object: the user-interface loop with the main
// window, the document templates, the command line and the resource strings.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/cmd_target.h"
#include "platform/framework/doc_template.h"
#include "platform/user/menu.h"
#include "platform/user/message_loop.h"

class CWnd;
class CDocument;

// The framework's command line: switches for embedding and automation, the
// first plain argument as the file to open, and the desktop's "print to"
// form: "/pt" file printer driver port.
struct CCommandLineInfo {
  enum Shell { FileNew, FileOpen, FilePrintTo };
  Shell m_nShellCommand = FileNew;
  CString m_strFileName;
  // With "/pt": the plain arguments after the file, in this order. The
  // driver and the port are kept as given; a printer here is found by name.
  CString m_strPrinterName;
  CString m_strDriverName;
  CString m_strPortName;
  bool m_bRunEmbedded = false;
  bool m_bRunAutomated = false;
};

class CWinApp : public CMessageLoop, public CCmdTarget {
 public:
  explicit CWinApp(const CString& appName = CString(), const IClock& clock = SteadyClock());
  ~CWinApp() override;

  virtual BOOL InitInstance() { return TRUE; }
  // InitInstance, then the loop; a failed start-up ends at once.
  int RunApplication();
  // Without a main window a program under the user's control has nothing to
  // run for and ends at once; one started for automation waits to be driven.
  int Run() override;

  CWnd* m_pMainWnd = nullptr;
  bool m_userControl = true;  // false when started for embedding or automation
  // The command line as InitInstance parsed it.
  CCommandLineInfo m_cmdInfo;

  // Switches start with '-', or with '/' when they are one word (a host path
  // starts with '/' too); the first other argument is the file. After "/pt"
  // the next plain arguments name the printer, its driver and its port;
  // further ones are ignored.
  static CCommandLineInfo ParseCommandLine(const std::vector<CString>& arguments);

  void AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate);
  const std::vector<std::unique_ptr<CDocTemplate>>& Templates() const { return m_templates; }
  // Opens the file with the template whose filter extension it has (the first
  // template otherwise).
  virtual CDocument* OpenDocumentFile(const CString& path);
  void CloseAllDocuments(BOOL endSession);
  // The user's session ends: the main window is told (WM_ENDSESSION, TRUE)
  // and then closes as when the user closes it; without a main window the
  // loop quits. Called from the loop, never from inside a window procedure.
  void EndSession();
  // A close that ends the program, asked for while loops of the program run
  // inside handlers: every loop ends, the windows leave the screen at once,
  // and the window is sent WM_CLOSE again once every loop has returned.
  void CloseWhenUnwound(HWND window);

  // Resources: the program's strings and menus. The base has none.
  virtual CString LoadResourceString(UINT id) const { return CString(); }
  virtual HMENU LoadMenuResource(UINT id) const { return nullptr; }

  // The application of the current loop, if the loop is an application.
  static CWinApp* Get();

 private:
  std::vector<std::unique_ptr<CDocTemplate>> m_templates;
};

inline CWinApp* AfxGetApp() { return CWinApp::Get(); }
inline CWnd* AfxGetMainWnd() { return CWinApp::Get() ? CWinApp::Get()->m_pMainWnd : nullptr; }
