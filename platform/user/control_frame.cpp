// The window frame of a child control: its width from the styles, painting it, and the Qt control's own frame turned off.
#include "platform/user/control_frame.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QLineEdit>
#include <QPainter>

#include "platform/gdi/system_metrics.h"
#include "platform/msg/window_messages.h"

namespace tvn::controls {

namespace {

constexpr int kBorderWidth = 1;
constexpr int kEdgeWidth = 2;

QColor SysColour(int index) {
  const COLORREF c = GetSysColor(index);
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// One ring of a rectangle: top and left in one colour, bottom and right in another.
void Ring(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
  if (r.width() <= 0 || r.height() <= 0) return;
  painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
  painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
  painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
  painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

}  // namespace

int FrameWidthOf(DWORD style, DWORD exStyle) {
  return ((style & WS_BORDER) ? kBorderWidth : 0) + ((exStyle & WS_EX_CLIENTEDGE) ? kEdgeWidth : 0);
}

void DropOwnFrame(QWidget& control) {
  if (auto* area = qobject_cast<QAbstractScrollArea*>(&control)) area->setFrameShape(QFrame::NoFrame);
  else if (auto* line = qobject_cast<QLineEdit*>(&control)) line->setFrame(false);
}

void PaintFrame(QImage& surface, DWORD style, DWORD exStyle) {
  if (surface.isNull() || FrameWidthOf(style, exStyle) == 0) return;
  QPainter painter(&surface);
  QRect r = surface.rect();
  if (style & WS_BORDER) {
    const QColor frame = SysColour(COLOR_WINDOWFRAME);
    Ring(painter, r, frame, frame);
    r.adjust(1, 1, -1, -1);
  }
  if (exStyle & WS_EX_CLIENTEDGE) {
    Ring(painter, r, SysColour(COLOR_BTNSHADOW), SysColour(COLOR_BTNHIGHLIGHT));
    r.adjust(1, 1, -1, -1);
    Ring(painter, r, SysColour(COLOR_3DDKSHADOW), SysColour(COLOR_3DLIGHT));
  }
}

}  // namespace tvn::controls
