#include "platform/framework/win_app.h"

#include "platform/framework/document.h"
#include "platform/user/wnd.h"

CWinApp::CWinApp(const CString& appName, const IClock& clock) : CMessageLoop(clock) { SetAppName(appName); }

CWinApp::~CWinApp() {
  // Documents and their frames go before the loop they live on.
  CloseAllDocuments(TRUE);
  m_templates.clear();
  if (m_pMainWnd) m_pMainWnd->DestroyWindow();
}

CWinApp* CWinApp::Get() { return dynamic_cast<CWinApp*>(CMessageLoop::Current()); }

int CWinApp::RunApplication() {
  if (!InitInstance()) return ExitInstance();
  return Run();
}

int CWinApp::Run() {
  if (!m_pMainWnd && m_userControl) PostQuitMessage(0);
  return CMessageLoop::Run();
}

CCommandLineInfo CWinApp::ParseCommandLine(const std::vector<CString>& arguments) {
  CCommandLineInfo info;
  for (const CString& arg : arguments) {
    // A host path starts with '/' as well: a '/' switch is one word ("/Embedding").
    const bool slashSwitch = arg.GetLength() > 1 && arg[0] == '/' && arg.Mid(1).FindOneOf("/\\") < 0;
    if (arg.GetLength() > 1 && (arg[0] == '-' || slashSwitch)) {
      CString name = arg.Mid(1);
      if (name.CompareNoCase("Embedding") == 0) info.m_bRunEmbedded = true;
      else if (name.CompareNoCase("Automation") == 0) info.m_bRunAutomated = true;
      else if (name.CompareNoCase("pt") == 0) info.m_nShellCommand = CCommandLineInfo::FilePrintTo;
      continue;
    }
    const bool printTo = info.m_nShellCommand == CCommandLineInfo::FilePrintTo;
    if (info.m_strFileName.IsEmpty()) info.m_strFileName = arg;
    else if (printTo && info.m_strPrinterName.IsEmpty()) info.m_strPrinterName = arg;
    else if (printTo && info.m_strDriverName.IsEmpty()) info.m_strDriverName = arg;
    else if (printTo && info.m_strPortName.IsEmpty()) info.m_strPortName = arg;
  }
  if (info.m_nShellCommand == CCommandLineInfo::FileNew && !info.m_strFileName.IsEmpty())
    info.m_nShellCommand = CCommandLineInfo::FileOpen;
  return info;
}

void CWinApp::AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate) {
  if (docTemplate) m_templates.push_back(std::move(docTemplate));
}

CDocument* CWinApp::OpenDocumentFile(const CString& path) {
  if (m_templates.empty()) return nullptr;
  CDocTemplate* chosen = m_templates.front().get();
  for (const auto& t : m_templates)
    if (t->MatchesFileExtension(path)) {
      chosen = t.get();
      break;
    }
  return chosen->OpenDocumentFile(&path, TRUE);
}

void CWinApp::EndSession() {
  const HWND main = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
  if (!main) {
    PostQuitMessage(0);
    return;
  }
  m_pMainWnd->SendMessage(WM_ENDSESSION, TRUE, 0);
  // The window may have gone while it was told.
  if (CWnd* still = FromHandle(main)) still->SendMessage(WM_CLOSE);
}

void CWinApp::CloseWhenUnwound(HWND window) {
  if (ProgramClosing()) return;  // already on its way
  BeginProgramClose();
  for (CWnd* wnd = LastTopLevelWindow(); wnd; wnd = PreviousTopLevelWindow(wnd))
    if (wnd->IsWindowVisible()) wnd->ShowWindow(SW_HIDE);
  PostWhenUnwound([this, window] {
    if (CWnd* still = FromHandle(window)) still->SendMessage(WM_CLOSE);
  });
}

void CWinApp::CloseAllDocuments(BOOL endSession) {
  for (const auto& t : m_templates) t->CloseAllDocuments(endSession);
}
