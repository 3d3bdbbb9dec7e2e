// CDC: text output at a point, text extents and metrics.
#include <QFontMetrics>
#include <QPainter>

#include "platform/gdi/dc_impl.h"

BOOL CDC::ExtTextOut(int x, int y, UINT options, const CRect* rect, const CString& text) {
  const gdi::PixelSurface surface = m->Surface();
  if (!surface.IsValid()) return FALSE;
  DcState& st = m->state;
  const bool updatePosition = (st.textAlign & TA_UPDATECP) != 0;
  const CPoint reference = updatePosition ? st.position : CPoint(x, y);
  const QPoint at = m->ToDevice(reference.x, reference.y);

  QImage image = WrapSurface(surface);
  QPainter painter(&image);
  painter.setClipRegion(m->DrawableArea());
  CRect box;
  if (rect) {
    box = m->ToDevice(*rect);
    if ((options & ETO_OPAQUE) && !box.IsRectEmpty()) painter.fillRect(ToQRect(box), ToQColor(st.backColour));
    if (options & ETO_CLIPPED) {
      if (box.IsRectEmpty()) return TRUE;
      painter.setClipRect(ToQRect(box), Qt::IntersectClip);
    }
  }
  if (text.IsEmpty()) return TRUE;
  if (!Impl::FontsAvailable()) return FALSE;

  const QFont& font = m->CurrentFont();
  const QFontMetrics metrics(font);
  const QString q = ToQString(text);
  const int width = metrics.horizontalAdvance(q);
  // Horizontal: TA_LEFT 0, TA_RIGHT 2, TA_CENTER 6. Vertical: TA_TOP 0, TA_BOTTOM 8, TA_BASELINE 24.
  const UINT horizontal = st.textAlign & TA_CENTER;
  const UINT vertical = st.textAlign & TA_BASELINE;
  const int left = horizontal == TA_RIGHT ? -width : horizontal == TA_CENTER ? -width / 2 : 0;
  const int baseline = vertical == TA_BASELINE ? 0 : vertical == TA_BOTTOM ? -metrics.descent() : metrics.ascent();

  // Escapement turns the text about its reference point, counter-clockwise in tenths of a degree.
  painter.translate(at);
  if (st.font.lfEscapement % 3600 != 0) painter.rotate(-(st.font.lfEscapement % 3600) / 10.0);
  if (st.backMode == OPAQUE)
    painter.fillRect(QRect(left, baseline - metrics.ascent(), width, metrics.height()), ToQColor(st.backColour));
  painter.setFont(font);
  painter.setPen(ToQColor(st.textColour));
  painter.drawText(QPoint(left, baseline), q);

  if (updatePosition) {
    // The position moves past the text in logical units.
    const CPoint start = m->ToLogical(at.x(), at.y());
    const CPoint end = m->ToLogical(at.x() + (horizontal == TA_RIGHT ? -width : horizontal == TA_CENTER ? 0 : width), at.y());
    st.position.x += end.x - start.x;
  }
  return TRUE;
}

BOOL CDC::TextOut(int x, int y, const CString& text) { return ExtTextOut(x, y, 0, nullptr, text); }

CSize CDC::GetTextExtent(const CString& text) const {
  if (!Impl::FontsAvailable()) return CSize();
  const QFontMetrics metrics(m->CurrentFont());
  return CSize(metrics.horizontalAdvance(ToQString(text)), metrics.height());
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const {
  if (!tm || !Impl::FontsAvailable()) return FALSE;
  const QFont& font = m->CurrentFont();
  const QFontMetrics metrics(font);
  const LOGFONT& lf = m->state.font;
  tm->tmHeight = metrics.height();
  tm->tmAscent = metrics.ascent();
  tm->tmDescent = metrics.descent();
  tm->tmInternalLeading = std::max(0, metrics.height() - font.pixelSize());
  tm->tmExternalLeading = std::max(0, metrics.leading());
  tm->tmAveCharWidth = metrics.averageCharWidth();
  tm->tmMaxCharWidth = metrics.maxWidth();
  tm->tmWeight = lf.lfWeight <= 0 ? FW_NORMAL : lf.lfWeight;
  tm->tmItalic = lf.lfItalic;
  tm->tmUnderlined = lf.lfUnderline;
  tm->tmStruckOut = lf.lfStrikeOut;
  tm->tmPitchAndFamily = lf.lfPitchAndFamily;
  return TRUE;
}
