// CDC::DrawText: formatted text in a rectangle.
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "platform/gdi/dc_impl.h"
#include "platform/gdi/text_layout.h"

int CDC::DrawText(const CString& text, CRect* rect, UINT format) {
  if (!rect || !Impl::FontsAvailable()) return 0;
  // With DT_TABSTOP the second byte is the tab distance in characters, not flags.
  int tabChars = 8;
  if (format & DT_TABSTOP) {
    tabChars = static_cast<int>((format >> 8) & 0xFFu);
    if (tabChars == 0) tabChars = 8;
    format &= ~0xFF00u;
  }
  const QFont& font = m->CurrentFont();
  const QFontMetrics metrics(font);
  auto measure = [&](std::string_view s) {
    return metrics.horizontalAdvance(ToQString(CString(s)));
  };
  const CRect box = m->ToDevice(*rect);
  const int tabWidth = tabChars * std::max(1, metrics.averageCharWidth());
  const std::vector<gdi::TextLine> lines = gdi::LayoutText(text.view(), format, box.Width(), tabWidth, measure);
  const int lineHeight = metrics.height() + ((format & DT_EXTERNALLEADING) ? std::max(0, metrics.leading()) : 0);
  const int total = lineHeight * static_cast<int>(lines.size());

  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const gdi::TextLine& line : lines) widest = std::max(widest, line.width);
    CRect measured(box.left, box.top, box.left + widest, box.top + total);
    DPtoLP(&measured);
    rect->right = rect->left + measured.Width();
    rect->bottom = rect->top + measured.Height();
    return total;
  }

  int y = box.top;
  if (format & DT_SINGLELINE) {
    if (format & DT_BOTTOM) y = box.bottom - lineHeight;
    else if (format & DT_VCENTER) y = box.top + (box.Height() - lineHeight) / 2;
  }
  const int result = y - box.top + total;
  const gdi::PixelSurface surface = m->Surface();
  if (!surface.IsValid() || text.IsEmpty()) return result;

  QImage image = WrapSurface(surface);
  QPainter painter(&image);
  painter.setClipRegion(m->DrawableArea());
  if (!(format & DT_NOCLIP)) {
    if (box.IsRectEmpty()) return result;
    painter.setClipRect(ToQRect(box), Qt::IntersectClip);
  }
  painter.setFont(font);
  const QColor textColour = ToQColor(m->state.textColour);
  const bool expandTabs = (format & DT_EXPANDTABS) != 0;
  for (const gdi::TextLine& line : lines) {
    int x = box.left;
    if (format & DT_CENTER) x = box.left + (box.Width() - line.width) / 2;
    else if (format & DT_RIGHT) x = box.right - line.width;
    if (m->state.backMode == OPAQUE) painter.fillRect(QRect(x, y, line.width, lineHeight), ToQColor(m->state.backColour));
    painter.setPen(textColour);
    const int baseline = y + metrics.ascent();
    // Runs between tabs are drawn at their tab stops.
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.text.size(); ++i) {
      if (i < line.text.size() && !(expandTabs && line.text[i] == '\t')) continue;
      const std::string_view before = std::string_view(line.text).substr(0, start);
      const int offset = gdi::MeasureWithTabs(before, expandTabs, tabWidth, measure);
      painter.drawText(QPoint(x + offset, baseline), ToQString(CString(line.text.substr(start, i - start))));
      start = i + 1;
    }
    if (line.underline >= 0) {
      const std::string_view all(line.text);
      const int x0 = x + gdi::MeasureWithTabs(all.substr(0, static_cast<std::size_t>(line.underline)), expandTabs,
                                              tabWidth, measure);
      const int w = measure(all.substr(static_cast<std::size_t>(line.underline), 1));
      const int uy = baseline + std::max(1, metrics.underlinePos());
      if (w > 0) painter.fillRect(QRect(x0, uy, w, std::max(1, metrics.lineWidth())), textColour);
    }
    y += lineHeight;
  }
  return result;
}

BOOL CDC::PaintWithQt(const std::function<void(QPainter&)>& paint) {
  const gdi::PixelSurface surface = m->Surface();
  if (!surface.IsValid() || !Impl::FontsAvailable()) return FALSE;
  QImage image = WrapSurface(surface);
  QPainter painter(&image);
  painter.setClipRegion(m->DrawableArea());
  paint(painter);
  return TRUE;
}
