// COffScreenView's print job: the page shown, captured and stretched onto a printer page, or its objects painted there.
#include "page/off_screen_view.h"

#include "page/print_layout.h"
#include "platform/gdi/printer_dc.h"

void COffScreenView::PrintObjects(CDC& printer, const CRect& target) {
  // The 640 x 480 page maps onto the rectangle; the objects draw at the
  // printer's resolution rather than from the screen's pixels.
  const CRect page(0, 0, 640, 480);
  const int saved = printer.SaveDC();
  printer.SetMapMode(MM_ANISOTROPIC);
  printer.SetWindowExt(page.Width(), page.Height());
  printer.SetViewportOrg(target.left, target.top);
  printer.SetViewportExt(target.Width(), target.Height());
  printer.SetStretchBltMode(COLORONCOLOR);
  printer.IntersectClipRect(page);
  {
    std::lock_guard lock(m_listLock);
    m_pPageSettings->DrawBackground(&printer, page);
    DrawAll(&printer, page);
  }
  printer.RestoreDC(saved);
}

BOOL COffScreenView::PrintPage(CPrinterDC& printer, const CString& documentName) {
  // The page is captured first, so that nothing composed while the job runs
  // reaches the paper half drawn. Objects painted on the printer need no capture.
  const bool objects = (m_dwPrintMode & PrintMode::kObjects) != 0;
  CRect area = ClientRectLogical();
  area.NormalizeRect();
  if (area.IsRectEmpty()) area = CRect(0, 0, m_nBufferWidth, m_nBufferHeight);
  if (area.IsRectEmpty()) return FALSE;
  CDC capture;
  CBitmap captured;
  if (!objects) {
    capture.CreateCompatibleDC(nullptr);
    std::scoped_lock lock(m_listLock, m_blitLock);
    if (!captured.CreateCompatibleBitmap(&m_memoryDC, area.Width(), area.Height())) return FALSE;
    capture.SelectObject(&captured);
    capture.BitBlt(0, 0, area.Width(), area.Height(), &m_memoryDC, area.left, area.top, SRCCOPY);
  }

  if (printer.StartDoc(documentName.Left(31)) <= 0) return FALSE;
  if (printer.StartPage() <= 0) {
    printer.AbortDoc();
    return FALSE;
  }
  const CRect printable(0, 0, printer.GetDeviceCaps(HORZRES), printer.GetDeviceCaps(VERTRES));
  const CRect margins =
      PrintMarginsInPixels(m_printMargins, printer.GetDeviceCaps(LOGPIXELSX), printer.GetDeviceCaps(LOGPIXELSY));
  CRect target = PrintRectangle(printable, margins, m_dwPrintMode, m_nPrintScale);
  // Margins wider than the paper leave a blank sheet rather than a mirrored page.
  if (target.Width() > 0 && target.Height() > 0 && objects) {
    PrintObjects(printer, target);
  } else if (target.Width() > 0 && target.Height() > 0) {
    printer.SetStretchBltMode(COLORONCOLOR);
    printer.StretchBlt(target.left, target.top, target.Width(), target.Height(), &capture, 0, 0, area.Width(),
                       area.Height(), SRCCOPY);
  }
  if (printer.EndPage() <= 0) {
    printer.AbortDoc();
    return FALSE;
  }
  return printer.EndDoc() > 0;
}
