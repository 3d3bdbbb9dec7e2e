// CPresentationView's printing: the application's printer or the one the command line named, the file a print to file goes to, the print job.
#include "model/string_table.h"
#include "platform/framework/document.h"
#include "platform/user/file_dialog.h"
#include "platform/gdi/printer_dc.h"
#include "platform/user/wait_rule.h"
#include "playback/player_app.h"
#include "playback/presentation_view.h"

void CPresentationView::PrintArea(const CRect& margins, DWORD mode, int scale) {
  COffScreenView::PrintArea(margins, mode, scale);
  CPlayerApp* app = CPlayerApp::Get();
  if (!app) return;
  CPrinterDC dc;
  const CCommandLineInfo& line = app->m_cmdInfo;
  if (m_nCommand == kPrintDirectCommand && line.m_nShellCommand == CCommandLineInfo::FilePrintTo &&
      !line.m_strPrinterName.IsEmpty()) {
    // The desktop's "print to": the printer is found by its name alone.
    CPrinterSetup named;
    named.printerName = line.m_strPrinterName;
    if (!dc.CreatePrinterDC(named)) {
      app->Messages().MessageBoxId(StringId::kPrintFailed);
      return;
    }
  } else {
    CPrinterSetup printer = app->GetPrinterSetup();
    if (printer.printToFile && printer.outputFile.IsEmpty() && !printer.IsEmpty()) {
      CFileDialog dialog(FALSE, "pdf", CString(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         "PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*||", this);
      dialog.SetTitle("Print to File");
      if (dialog.DoModal() != IDOK || dialog.GetPathName().IsEmpty()) return;
      printer.outputFile = dialog.GetPathName();
    }
    if (!dc.CreatePrinterDC(printer)) {
      app->Messages().MessageBoxId(StringId::kPrintFailed);
      return;
    }
  }
  // The program stays alive while the job runs. Pumped messages may close
  // the view: the job then ends and nothing here touches the view again.
  const HWND self = m_hWnd;
  bool cancelled = false;
  CWait wait({WaitInput::kDropPage, self});
  dc.SetAbortProc([self, &cancelled, &wait] {
    cancelled = !wait.PumpWaiting() || !CWnd::FromHandle(self);
    return cancelled ? FALSE : TRUE;
  });
  CDocument* course = GetCurrentCourse();
  if (!PrintPage(dc, course ? course->GetTitle() : CString()) && !cancelled)
    app->Messages().MessageBoxId(StringId::kPrintFailed);
}
