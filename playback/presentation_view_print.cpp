// CPresentationView's printing: the application's printer, the file a print to file goes to, the print job.
#include "model/string_table.h"
#include "platform/document.h"
#include "platform/file_dialog.h"
#include "platform/gdi/printer_dc.h"
#include "playback/player_app.h"
#include "playback/presentation_view.h"

void CPresentationView::PrintArea(const CRect& margins, DWORD mode, int scale) {
  COffScreenView::PrintArea(margins, mode, scale);
  CPlayerApp* app = CPlayerApp::Get();
  if (!app) return;
  CPrinterSetup printer = app->GetPrinterSetup();
  if (printer.printToFile && printer.outputFile.IsEmpty() && !printer.IsEmpty()) {
    CFileDialog dialog(FALSE, "pdf", CString(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*||", this);
    dialog.SetTitle("Print to File");
    if (dialog.DoModal() != IDOK || dialog.GetPathName().IsEmpty()) return;
    printer.outputFile = dialog.GetPathName();
  }
  CPrinterDC dc;
  if (!dc.CreatePrinterDC(printer)) {
    app->Messages().MessageBoxId(StringId::kPrintFailed);
    return;
  }
  CDocument* course = GetCurrentCourse();
  if (!PrintPage(dc, course ? course->GetTitle() : CString()))
    app->Messages().MessageBoxId(StringId::kPrintFailed);
}
