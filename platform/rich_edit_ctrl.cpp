// The rich-text control on a QTextDocument: streaming, selection, hit-testing and rendering onto a device context.
#include "platform/rich_edit_ctrl.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

#include "platform/codepage.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/system_metrics.h"
#include "platform/rtf/rtf_reader.h"
#include "platform/rtf/rtf_writer.h"

IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

namespace {

constexpr int kTwipsPerInch = 1440;

// Multiply, then divide, rounding half away from zero.
long MulDivRound(long long value, long long by, long long over) {
  if (over == 0) return 0;
  const long long product = value * by;
  const long long half = (over < 0 ? -over : over) / 2;
  return static_cast<long>((product >= 0 ? product + half : product - half) / over);
}

// Laying text out needs Qt's fonts, which exist only with a GUI application
// object; without one nothing is laid out, hit or drawn.
bool LayoutAvailable() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace

struct CRichEditCtrl::Impl {
  QTextDocument document;
  std::vector<std::shared_ptr<const tvn::rtf::Picture>> pictures;
  mutable double layoutWidth = -2;  // what the document was last laid out at (-1: unwrapped)

  Impl() {
    document.setDocumentMargin(0);
    document.setUndoRedoEnabled(false);
  }
};

CRichEditCtrl::CRichEditCtrl() : m(std::make_unique<Impl>()) {}
CRichEditCtrl::~CRichEditCtrl() = default;

QTextDocument& CRichEditCtrl::Document() { return m->document; }

void CRichEditCtrl::StreamIn(int format, std::string_view bytes) {
  if (format == SF_RTF) SetContent(tvn::rtf::ReadRtf(bytes).document);
  else SetContent(tvn::rtf::ReadPlainText(bytes));
}

std::string CRichEditCtrl::StreamOut(int format) const {
  const tvn::rtf::Document content = GetContent();
  return format == SF_RTF ? tvn::rtf::WriteRtf(content) : tvn::rtf::WritePlainText(content);
}

void CRichEditCtrl::SetContent(const tvn::rtf::Document& content) {
  tvn::rtf::FillQtDocument(m->document, content, m->pictures, m_decoder);
  m->layoutWidth = -2;
  m_selStart = m_selEnd = 0;
  if (m_hWnd) Invalidate(TRUE);
}

tvn::rtf::Document CRichEditCtrl::GetContent() const { return tvn::rtf::ReadQtDocument(m->document, m->pictures); }

long CRichEditCtrl::GetTextLength() const { return tvn::rtf::DocumentTextLength(m->document); }

long CRichEditCtrl::ClampPosition(long position) const { return std::clamp(position, 0L, GetTextLength()); }

CString CRichEditCtrl::GetTextRange(long start, long end) const {
  return tvn::rtf::DocumentTextRange(m->document, start, end);
}

void CRichEditCtrl::SetSel(long start, long end) {
  const long length = GetTextLength();
  if (start < 0) {
    // A negative start takes the selection away, leaving the caret at the end.
    m_selStart = m_selEnd = ClampPosition(m_selEnd);
    return;
  }
  m_selStart = std::min(start, length);
  m_selEnd = end < 0 ? length : std::min(end, length);
  if (m_selEnd < m_selStart) std::swap(m_selStart, m_selEnd);
}

void CRichEditCtrl::GetSel(long& start, long& end) const {
  start = m_selStart;
  end = m_selEnd;
}

CString CRichEditCtrl::GetSelText() const { return GetTextRange(m_selStart, m_selEnd); }

DWORD CRichEditCtrl::GetSelectionCharFormat(CHARFORMAT& format) const {
  format = tvn::rtf::CharFormatOfRange(m->document, static_cast<int>(m_selStart), static_cast<int>(m_selEnd));
  return format.dwMask;
}

DWORD CRichEditCtrl::GetParaFormat(PARAFORMAT& format) const {
  format = tvn::rtf::ParaFormatOfRange(m->document, static_cast<int>(m_selStart), static_cast<int>(m_selEnd));
  return format.dwMask;
}

void CRichEditCtrl::SetWordWrap(BOOL wrap) {
  m_wrap = wrap;
  QTextOption option = m->document.defaultTextOption();
  option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
  m->document.setDefaultTextOption(option);
  m->layoutWidth = -2;
}

void CRichEditCtrl::LayOut(double width) const {
  const double wanted = m_wrap ? std::max(1.0, width) : -1.0;
  if (wanted == m->layoutWidth) return;
  m->document.setTextWidth(wanted);
  m->layoutWidth = wanted;
}

COLORREF CRichEditCtrl::SetBackgroundColor(COLORREF colour) {
  const COLORREF old = m_background;
  m_background = colour;
  if (m_hWnd) Invalidate(TRUE);
  return old;
}

void CRichEditCtrl::GetRect(CRect* rect) const {
  if (!rect) return;
  if (m_formatRectSet) {
    *rect = m_formatRect;
    return;
  }
  GetClientRect(rect);
}

void CRichEditCtrl::SetRect(const CRect& rect) {
  m_formatRect = rect;
  m_formatRectSet = TRUE;
  if (m_hWnd) Invalidate(TRUE);
}

long CRichEditCtrl::CharFromPos(CPoint point) const {
  if (GetTextLength() == 0 || !LayoutAvailable()) return -1;
  const QPointF at(point.x, point.y);
  for (QTextBlock block = m->document.begin(); block.isValid(); block = block.next()) {
    const QTextLayout* layout = block.layout();
    if (!layout) continue;
    const QPointF origin = layout->position();
    const QRectF box = layout->boundingRect().translated(origin);
    if (at.y() < box.top()) return -1;
    if (at.y() >= box.bottom()) continue;
    for (int i = 0; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      const QRectF lineBox = line.rect().translated(origin);
      if (at.y() < lineBox.top() || at.y() >= lineBox.bottom()) continue;
      const double left = origin.x() + line.x();
      if (at.x() < left || at.x() >= left + line.naturalTextWidth()) return -1;
      const int inBlock = line.xToCursor(at.x() - origin.x(), QTextLine::CursorOnCharacter);
      const int last = line.textStart() + std::max(0, line.textLength() - 1);
      return block.position() + std::clamp(inBlock, line.textStart(), last);
    }
    return -1;
  }
  return -1;
}

CPoint CRichEditCtrl::PosFromChar(long index) const {
  if (!LayoutAvailable()) return CPoint();
  const QTextBlock block = m->document.findBlock(static_cast<int>(ClampPosition(index)));
  const QTextLayout* layout = block.isValid() ? block.layout() : nullptr;
  if (!layout) return CPoint();
  const int inBlock = static_cast<int>(ClampPosition(index)) - block.position();
  const QTextLine line = layout->lineForTextPosition(inBlock);
  if (!line.isValid()) return CPoint();
  const QPointF origin = layout->position();
  return CPoint(static_cast<int>(std::floor(origin.x() + line.cursorToX(inBlock))),
                static_cast<int>(std::floor(origin.y() + line.y())));
}

long CRichEditCtrl::FormatRange(CDC* dc, const CRect& twips, BOOL render) {
  if (!dc || !LayoutAvailable()) return 0;
  const int dpiX = std::max(1, dc->GetDeviceCaps(LOGPIXELSX));
  const int dpiY = std::max(1, dc->GetDeviceCaps(LOGPIXELSY));
  CRect device(MulDivRound(twips.left, dpiX, kTwipsPerInch), MulDivRound(twips.top, dpiY, kTwipsPerInch),
               MulDivRound(twips.right, dpiX, kTwipsPerInch), MulDivRound(twips.bottom, dpiY, kTwipsPerInch));
  dc->LPtoDP(&device);
  // The layout is in pixels of 96 dots an inch; a finer device scales it.
  const double scaleX = static_cast<double>(dpiX) / gdi::kLogicalDpi;
  const double scaleY = static_cast<double>(dpiY) / gdi::kLogicalDpi;
  LayOut(device.Width() / scaleX);

  // The first paragraph whose lines do not all fit.
  const double height = device.Height() / scaleY;
  long firstOut = GetTextLength();
  for (QTextBlock block = m->document.begin(); block.isValid(); block = block.next()) {
    const QTextLayout* layout = block.layout();
    if (!layout) continue;
    bool out = false;
    for (int i = 0; i < layout->lineCount() && !out; ++i) {
      const QTextLine line = layout->lineAt(i);
      if (layout->position().y() + line.rect().bottom() > height + 0.5) {
        firstOut = block.position() + line.textStart();
        out = true;
      }
    }
    if (out) break;
  }
  if (!render || device.IsRectEmpty()) return firstOut;

  dc->PaintWithQt([&](QPainter& painter) {
    painter.setClipRect(QRect(device.left, device.top, device.Width(), device.Height()), Qt::IntersectClip);
    painter.translate(device.left, device.top);
    painter.scale(scaleX, scaleY);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, QColor(GetRValue(dc->GetTextColor()), GetGValue(dc->GetTextColor()),
                                                    GetBValue(dc->GetTextColor())));
    context.clip = QRectF(0, 0, device.Width() / scaleX, height);
    m->document.documentLayout()->draw(&painter, context);
  });
  return firstOut;
}

int CRichEditCtrl::OnCreate(const CREATESTRUCT& cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  m_readOnly = (cs.style & ES_READONLY) ? TRUE : FALSE;
  return 0;
}

void CRichEditCtrl::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  Invalidate(TRUE);
}

void CRichEditCtrl::OnPaint() {
  const PAINTSTRUCT ps = BeginPaint();
  CRect client;
  GetClientRect(&client);
  CRect area;
  GetRect(&area);
  if (LayoutAvailable()) {
    std::lock_guard lock(SurfaceLock());
    if (QImage* surface = GetSurface(); surface && !surface->isNull()) {
      QPainter painter(surface);
      painter.fillRect(QRect(0, 0, client.Width(), client.Height()),
                       QColor(GetRValue(m_background), GetGValue(m_background), GetBValue(m_background)));
      LayOut(area.Width());
      painter.setClipRect(QRect(area.left, area.top, area.Width(), area.Height()));
      painter.translate(area.left, area.top);
      QAbstractTextDocumentLayout::PaintContext context;
      context.palette.setColor(QPalette::Text, Qt::black);
      context.clip = QRectF(0, 0, area.Width(), area.Height());
      m->document.documentLayout()->draw(&painter, context);
    }
  }
  EndPaint(client);
  (void)ps;
}
