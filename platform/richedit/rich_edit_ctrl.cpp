// The rich-text control on a QTextDocument: streaming, selection, hit-testing and rendering onto a device context.
#include "platform/richedit/rich_edit_ctrl.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "platform/base/codepage.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font_mapper.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/system_metrics.h"
#include "platform/richedit/rtf_reader.h"
#include "platform/richedit/rtf_writer.h"

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
bool LayoutAvailable() { return gdi::FontDatabaseAvailable(); }

// Where a line's text stands, as drawn: after its paragraph's alignment, with
// a justified line's spaces stretched, and without the blanks at its end.
std::pair<double, double> TextExtent(const QTextLine& line, const QString& text, Qt::Alignment alignment) {
  // A left-aligned line is as wide as its text from its own left: no need to ask the shaper.
  if (!(alignment & (Qt::AlignRight | Qt::AlignHCenter | Qt::AlignJustify)))
    return {line.x(), line.x() + line.naturalTextWidth()};
  int end = std::min(line.textStart() + line.textLength(), static_cast<int>(text.size()));
  while (end > line.textStart() && text.at(end - 1).isSpace()) --end;
  return {line.cursorToX(line.textStart()), line.cursorToX(end)};
}

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
  if (!m_hWnd) return;
  // New text is shown from its start.
  SetScrollPos(SB_HORZ, 0);
  SetScrollPos(SB_VERT, 0);
  UpdateScrollBars();
  Invalidate(TRUE);
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
  UpdateScrollBars();
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
  GetClientRect(rect);
  if (!m_formatRectSet) return;
  rect->left += m_formatInsets.left;
  rect->top += m_formatInsets.top;
  rect->right -= m_formatInsets.right;
  rect->bottom -= m_formatInsets.bottom;
}

void CRichEditCtrl::SetRect(const CRect& rect) {
  CRect client;
  GetClientRect(&client);
  m_formatInsets = CRect(rect.left - client.left, rect.top - client.top, client.right - rect.right,
                         client.bottom - rect.bottom);
  m_formatRectSet = TRUE;
  if (!m_hWnd) return;
  UpdateScrollBars();
  Invalidate(TRUE);
}

CPoint CRichEditCtrl::GetScrollOffset() const {
  if (!m_hWnd) return CPoint();
  return CPoint((m_bars & WS_HSCROLL) ? GetScrollPos(SB_HORZ) : 0, (m_bars & WS_VSCROLL) ? GetScrollPos(SB_VERT) : 0);
}

CPoint CRichEditCtrl::LayoutPointFromClient(CPoint client) const {
  CRect area;
  GetRect(&area);
  return client - area.TopLeft() + GetScrollOffset();
}

void CRichEditCtrl::UpdateScrollBars() {
  if (!m_hWnd || !m_bars || m_updatingBars || !LayoutAvailable()) return;
  // A hidden window is drawn by FormatRange, whose layout hit-testing then
  // uses; laying the text out for bars nobody sees would replace it.
  if (!(GetStyle() & WS_VISIBLE)) return;
  m_updatingBars = true;
  const int extent = GetScrollBarExtent();
  CRect area;
  GetRect(&area);
  // The room for the text with no bar shown.
  const int width = area.Width() + ((GetStyle() & WS_VSCROLL) ? extent : 0);
  const int height = area.Height() + ((GetStyle() & WS_HSCROLL) ? extent : 0);
  bool vertical = false;
  bool horizontal = false;
  QSizeF size;
  // A bar takes room from the other direction, and a vertical one narrows
  // wrapped lines: bars are only ever added, so three rounds settle it.
  for (int round = 0; round < 3; ++round) {
    LayOut(std::max(1, width - (vertical ? extent : 0)));
    size = m->document.size();
    const bool v = (m_bars & WS_VSCROLL) && size.height() > height - (horizontal ? extent : 0) + 0.5;
    const bool h = (m_bars & WS_HSCROLL) && size.width() > width - (vertical ? extent : 0) + 0.5;
    if (v == vertical && h == horizontal) break;
    vertical = vertical || v;
    horizontal = horizontal || h;
  }
  LayOut(std::max(1, width - (vertical ? extent : 0)));
  size = m->document.size();
  auto set = [&](int bar, bool shown, double total, int page) {
    SCROLLINFO info;
    info.nMax = shown ? static_cast<int>(std::min(std::ceil(total), 2e9)) - 1 : 0;
    info.nPage = shown ? static_cast<UINT>(std::max(1, page)) : 0;
    info.nPos = GetScrollPos(bar);
    SetScrollInfo(bar, info);
  };
  if (m_bars & WS_HSCROLL) set(SB_HORZ, horizontal, size.width(), width - (vertical ? extent : 0));
  if (m_bars & WS_VSCROLL) set(SB_VERT, vertical, size.height(), height - (horizontal ? extent : 0));
  m_updatingBars = false;
  Invalidate(FALSE);
}

int CRichEditCtrl::LineStepFrom(int y, bool down) const {
  constexpr int kFallback = 16;
  const int fallback = down ? y + kFallback : y - kFallback;
  if (!LayoutAvailable()) return fallback;
  // Line tops, not line heights: the spacing between lines is part of the step.
  const int at = m->document.documentLayout()->hitTest(QPointF(0, y), Qt::FuzzyHit);
  for (QTextBlock block = m->document.findBlock(std::max(0, at)); block.isValid();
       block = down ? block.next() : block.previous()) {
    const QTextLayout* layout = block.layout();
    if (!layout) continue;
    const int count = layout->lineCount();
    for (int n = 0; n < count; ++n) {
      const QTextLine line = layout->lineAt(down ? n : count - 1 - n);
      const int top = static_cast<int>(std::lround(layout->position().y() + line.y()));
      if (down ? top > y : top < y) return top;
    }
  }
  return fallback;  // past the last line's top; the bar's limits hold
}

void CRichEditCtrl::OnScroll(int bar, UINT code, int position) {
  const SCROLLINFO info = GetScrollInfo(bar);
  const int page = std::max(1, static_cast<int>(info.nPage));
  const int now = info.nPos;
  const int line = bar == SB_VERT ? 0 : std::max(1, page / 10);
  int to = now;
  switch (code) {
    case SB_LINEUP: to = line ? now - line : LineStepFrom(now, false); break;
    case SB_LINEDOWN: to = line ? now + line : LineStepFrom(now, true); break;
    case SB_PAGEUP: to = now - page; break;
    case SB_PAGEDOWN: to = now + page; break;
    case SB_TOP: to = info.nMin; break;
    case SB_BOTTOM: to = GetScrollLimit(bar); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      // The request's 16 bits do for a short text; the bar knows the rest.
      to = GetScrollLimit(bar) > 0xFFFF ? info.nTrackPos : position;
      break;
    default: return;
  }
  if (SetScrollPos(bar, to) != GetScrollPos(bar)) Invalidate(FALSE);
}

BOOL CRichEditCtrl::ScrollWithWheel(int delta) {
  constexpr int kDeltaPerLine = 120 / 3;  // a notch is 120, and scrolls three lines
  if (!(m_bars & WS_VSCROLL) || !(GetStyle() & WS_VSCROLL) || !IsWindowVisible()) {
    m_wheelDelta = 0;
    return FALSE;
  }
  // A turn the other way starts afresh; finer wheels add up to whole lines.
  if ((delta < 0 && m_wheelDelta > 0) || (delta > 0 && m_wheelDelta < 0)) m_wheelDelta = 0;
  m_wheelDelta += delta;
  const int lines = m_wheelDelta / kDeltaPerLine;
  m_wheelDelta -= lines * kDeltaPerLine;
  for (int i = 0; i < std::abs(lines); ++i) OnScroll(SB_VERT, lines > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
  return TRUE;
}

LRESULT CRichEditCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_QTWHEEL:
      if (ScrollWithWheel(static_cast<SHORT>(HIWORD(wParam)))) return 0;
      return CWnd::WindowProc(message, wParam, lParam);
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (m_bars & (message == WM_VSCROLL ? WS_VSCROLL : WS_HSCROLL))
        OnScroll(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_SHOWWINDOW: {
      const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
      if (wParam) UpdateScrollBars();
      return result;
    }
    default:
      return CWnd::WindowProc(message, wParam, lParam);
  }
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
      const auto [left, right] = TextExtent(line, block.text(), layout->textOption().alignment());
      if (at.x() < origin.x() + left || at.x() >= origin.x() + right) return -1;
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
  // The bars wait until there is text to scroll.
  m_bars = cs.style & (WS_VSCROLL | WS_HSCROLL);
  if (m_bars & WS_HSCROLL) SetScrollInfo(SB_HORZ, SCROLLINFO{});
  if (m_bars & WS_VSCROLL) SetScrollInfo(SB_VERT, SCROLLINFO{});
  return 0;
}

void CRichEditCtrl::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  UpdateScrollBars();
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
      const QRect whole(0, 0, client.Width(), client.Height());
      if (surface->hasAlphaChannel() && (GetExStyle() & WS_EX_TRANSPARENT)) {
        // A transparent window leaves what lies behind its text to its parent.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(whole, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
      } else {
        painter.fillRect(whole, QColor(GetRValue(m_background), GetGValue(m_background), GetBValue(m_background)));
      }
      LayOut(area.Width());
      const CPoint scroll = GetScrollOffset();
      painter.setClipRect(QRect(area.left, area.top, area.Width(), area.Height()));
      painter.translate(area.left - scroll.x, area.top - scroll.y);
      QAbstractTextDocumentLayout::PaintContext context;
      context.palette.setColor(QPalette::Text, Qt::black);
      context.clip = QRectF(scroll.x, scroll.y, area.Width(), area.Height());
      m->document.documentLayout()->draw(&painter, context);
    }
  }
  EndPaint(client);
  (void)ps;
}
