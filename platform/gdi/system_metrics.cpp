#include "platform/gdi/system_metrics.h"

#include <QGuiApplication>
#include <QScreen>

#include <array>

namespace gdi {

CSize ScreenSize() {
  if (QGuiApplication::instance()) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QSize size = screen->size();
      if (size.width() > 0 && size.height() > 0) return {size.width(), size.height()};
    }
  }
  return {1024, 768};
}

}  // namespace gdi

COLORREF GetSysColor(int index) {
  static constexpr std::array<COLORREF, 25> kColours = {
      RGB(192, 192, 192),  // scroll bar
      RGB(0, 128, 128),    // desktop
      RGB(0, 0, 128),      // active caption
      RGB(128, 128, 128),  // inactive caption
      RGB(192, 192, 192),  // menu
      RGB(255, 255, 255),  // window
      RGB(0, 0, 0),        // window frame
      RGB(0, 0, 0),        // menu text
      RGB(0, 0, 0),        // window text
      RGB(255, 255, 255),  // caption text
      RGB(192, 192, 192),  // active border
      RGB(192, 192, 192),  // inactive border
      RGB(128, 128, 128),  // application workspace
      RGB(0, 0, 128),      // highlight
      RGB(255, 255, 255),  // highlight text
      RGB(192, 192, 192),  // button face
      RGB(128, 128, 128),  // button shadow
      RGB(128, 128, 128),  // grey text
      RGB(0, 0, 0),        // button text
      RGB(192, 192, 192),  // inactive caption text
      RGB(255, 255, 255),  // button highlight
      RGB(0, 0, 0),        // 3-D dark shadow
      RGB(192, 192, 192),  // 3-D light
      RGB(0, 0, 0),        // tooltip text
      RGB(255, 255, 225),  // tooltip background
  };
  return index >= 0 && index < static_cast<int>(kColours.size()) ? kColours[static_cast<std::size_t>(index)] : 0;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return gdi::ScreenSize().cx;
    case SM_CYSCREEN: return gdi::ScreenSize().cy;
    case SM_CXFULLSCREEN: return gdi::ScreenSize().cx;
    case SM_CYFULLSCREEN: return gdi::ScreenSize().cy - 19;
    case SM_CXVSCROLL: case SM_CYHSCROLL: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 19;
    case SM_MOUSEPRESENT: return 1;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_CMOUSEBUTTONS: return 3;
    default: return 0;
  }
}
