// A grabbed picture of widgets, checked at chosen points and in regions with a
// tolerance, so another machine's fonts and widget style do not matter.
#pragma once

#include <QImage>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/base/win_types.h"

namespace tvn::testing {

class ScreenPicture {
 public:
  // What the widget and its children show (QWidget::grab).
  explicit ScreenPicture(QWidget& widget) : m_image(widget.grab().toImage().convertToFormat(QImage::Format_RGB32)) {}

  const QImage& Image() const { return m_image; }
  COLORREF At(int x, int y) const {
    if (!m_image.rect().contains(x, y)) return CLR_INVALID;
    const QRgb c = m_image.pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
  }
  // Every channel within the tolerance of the colour.
  bool Near(int x, int y, COLORREF colour, int tolerance = 24) const {
    return m_image.rect().contains(x, y) && Close(m_image.pixel(x, y), colour, tolerance);
  }
  // Pixels of the area (clipped to the picture) within the tolerance of the colour.
  int Count(const QRect& area, COLORREF colour, int tolerance = 24) const {
    int n = 0;
    const QRect r = area & m_image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += Close(m_image.pixel(x, y), colour, tolerance) ? 1 : 0;
    return n;
  }
  // Pixels of the area far from the background: text, marks, lines.
  int Ink(const QRect& area, COLORREF background, int tolerance = 80) const {
    const QRect r = area & m_image.rect();
    return r.width() * r.height() - Count(r, background, tolerance);
  }
  // Keeps the picture as a PNG in the folder TVN_SCREENSHOT_DIR names, to look at; nothing without it.
  void Keep(const std::string& name) const {
    const char* dir = std::getenv("TVN_SCREENSHOT_DIR");
    if (!dir || !*dir) return;
    m_image.save(QString::fromStdString((std::filesystem::path(dir) / (name + ".png")).string()), "PNG");
  }

 private:
  static bool Close(QRgb c, COLORREF colour, int tolerance) {
    return std::abs(qRed(c) - GetRValue(colour)) <= tolerance && std::abs(qGreen(c) - GetGValue(colour)) <= tolerance &&
           std::abs(qBlue(c) - GetBValue(colour)) <= tolerance;
  }

  QImage m_image;
};

}  // namespace tvn::testing
