// CPrinterSetup and CPrinterDC on Qt Print Support.
#include "platform/gdi/printer_dc.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/gdi/dc_impl.h"

CPrinterSetup CPrinterSetup::DefaultPrinter() {
  CPrinterSetup setup;
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (!info.isNull()) setup.printerName = CString(info.printerName().toUtf8().constData());
  return setup;
}

CPrinterSetup CPrinterSetup::PdfFile(const CString& path) {
  CPrinterSetup setup;
  setup.outputFile = path;
  setup.printToFile = TRUE;
  return setup;
}

struct CPrinterDC::Job {
  QPrinter printer{QPrinter::HighResolution};
  QImage page;
  std::vector<QImage> finished;
  int dpi = 0;
  bool docStarted = false;
  bool pageOpen = false;
  int pages = 0;
};

CPrinterDC::CPrinterDC() { SetPrinting(TRUE); }

CPrinterDC::~CPrinterDC() {
  if (m_job && m_job->docStarted) AbortDoc();
  DetachSurface();
}

BOOL CPrinterDC::CreatePrinterDC(const CPrinterSetup& setup) {
  if (setup.IsEmpty()) return FALSE;
  auto job = std::make_unique<Job>();
  if (!setup.outputFile.IsEmpty()) {
    job->printer.setOutputFormat(QPrinter::PdfFormat);
    job->printer.setOutputFileName(QString::fromUtf8(setup.outputFile.GetString()));
  } else {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromUtf8(setup.printerName.GetString()));
    if (info.isNull()) return FALSE;
    job->printer.setPrinterName(info.printerName());
  }
  if (!job->printer.isValid()) return FALSE;
  job->dpi = std::clamp(job->printer.resolution(), 1, kMaxDpi);
  job->printer.setResolution(job->dpi);
  const QRect area = job->printer.pageLayout().paintRectPixels(job->dpi);
  if (area.width() <= 0 || area.height() <= 0) return FALSE;
  m_job = std::move(job);
  return TRUE;
}

int CPrinterDC::GetDeviceCaps(int index) const {
  if (!m_job) return CDC::GetDeviceCaps(index);
  const QPageLayout layout = m_job->printer.pageLayout();
  const QRect area = layout.paintRectPixels(m_job->dpi);
  const QRect full = layout.fullRectPixels(m_job->dpi);
  switch (index) {
    case TECHNOLOGY: return DT_RASPRINTER;
    case HORZRES: return area.width();
    case VERTRES: return area.height();
    case HORZSIZE: return area.width() * 254 / (m_job->dpi * 10);
    case VERTSIZE: return area.height() * 254 / (m_job->dpi * 10);
    case LOGPIXELSX: case LOGPIXELSY: return m_job->dpi;
    case PHYSICALWIDTH: return full.width();
    case PHYSICALHEIGHT: return full.height();
    case PHYSICALOFFSETX: return area.left();
    case PHYSICALOFFSETY: return area.top();
    case BITSPIXEL: return 32;
    default: return CDC::GetDeviceCaps(index);
  }
}

int CPrinterDC::StartDoc(const CString& documentName) {
  if (!m_job || m_job->docStarted) return SP_ERROR;
  m_job->printer.setDocName(QString::fromUtf8(documentName.GetString()));
  m_job->docStarted = true;
  m_job->finished.clear();
  m_job->pages = 0;
  return 1;
}

int CPrinterDC::StartPage() {
  if (!m_job || !m_job->docStarted || m_job->pageOpen) return SP_ERROR;
  const QRect area = m_job->printer.pageLayout().paintRectPixels(m_job->dpi);
  m_job->page = QImage(area.size(), QImage::Format_RGB32);
  if (m_job->page.isNull()) return SP_ERROR;
  m_job->page.fill(Qt::white);
  AttachSurface(&m_job->page);
  m_job->pageOpen = true;
  return 1;
}

int CPrinterDC::EndPage() {
  if (!m_job || !m_job->pageOpen) return SP_ERROR;
  DetachSurface();
  m_job->pageOpen = false;
  m_job->finished.push_back(std::move(m_job->page));
  m_job->page = QImage();
  ++m_job->pages;
  if (m_abortProc && !m_abortProc()) {
    AbortDoc();
    return SP_APPABORT;
  }
  return 1;
}

int CPrinterDC::EndDoc() {
  if (!m_job || !m_job->docStarted) return SP_ERROR;
  if (m_job->pageOpen) EndPage();
  if (!m_job->docStarted) return SP_APPABORT;  // the abort procedure ended it
  m_job->docStarted = false;
  std::vector<QImage> pages = std::exchange(m_job->finished, {});
  QPainter painter;
  if (!painter.begin(&m_job->printer)) return SP_ERROR;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (i > 0 && !m_job->printer.newPage()) {
      painter.end();
      return SP_ERROR;
    }
    // The painter's origin is the printable area's corner, in printer pixels.
    painter.drawImage(QPoint(0, 0), pages[i]);
    pages[i] = QImage();
  }
  return painter.end() ? 1 : SP_ERROR;
}

int CPrinterDC::AbortDoc() {
  if (!m_job || !m_job->docStarted) return SP_ERROR;
  DetachSurface();
  m_job->pageOpen = false;
  m_job->page = QImage();
  m_job->finished.clear();
  m_job->pages = 0;
  m_job->docStarted = false;
  return 1;
}

int CPrinterDC::GetPagesPrinted() const { return m_job ? m_job->pages : 0; }
