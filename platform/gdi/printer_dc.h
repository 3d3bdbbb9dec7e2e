// CPrinterSetup and CPrinterDC: the printer a job goes to, and a device context that prints pages on it.
#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "platform/base/cstring.h"
#include "platform/gdi/dc.h"

// A system printer by name, or a PDF file. Empty: there is no printer.
struct CPrinterSetup {
  CString printerName;
  // The file the pages go to (a PDF); with printToFile and no file the
  // caller asks for one before printing.
  CString outputFile;
  BOOL printToFile = FALSE;

  BOOL IsEmpty() const { return printerName.IsEmpty() && outputFile.IsEmpty() && !printToFile; }
  // The system's default printer (empty when there is none).
  static CPrinterSetup DefaultPrinter();
  // A printer that writes a PDF file.
  static CPrinterSetup PdfFile(const CString& path);
};

// Each page is drawn into a raster at the printer's resolution (at most
// 300 dpi) the size of the printable area. The finished pages are kept until
// EndDoc hands them all to the printer, so that an aborted document leaves
// no file and no job behind (the printer cannot take back what it was
// given). The calls return SP_ERROR (below zero) on failure, as they would on
// a spooler; a printer that cannot be opened fails at EndDoc.
class CPrinterDC : public CDC {
 public:
  static constexpr int kMaxDpi = 300;

  CPrinterDC();
  ~CPrinterDC() override;

  // FALSE when the printer is not known or cannot be opened.
  BOOL CreatePrinterDC(const CPrinterSetup& setup);
  // The resolution, printable area and physical page of the printer.
  int GetDeviceCaps(int index) const override;

  int StartDoc(const CString& documentName);
  int StartPage();
  int EndPage();
  int EndDoc();
  int AbortDoc();
  // Finished pages of this document (handed to the printer at EndDoc).
  int GetPagesPrinted() const;
  // Asked after each finished page; FALSE cancels the document (nothing is
  // printed) and EndPage returns SP_APPABORT.
  void SetAbortProc(std::function<BOOL()> proc) { m_abortProc = std::move(proc); }

 private:
  struct Job;
  std::unique_ptr<Job> m_job;
  std::function<BOOL()> m_abortProc;
};
