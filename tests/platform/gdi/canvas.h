// A memory context on a bitmap of known pixels, for drawing tests.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

struct Canvas {
  CBitmap bitmap;
  CDC dc;

  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) {
    bitmap.CreateBitmap(width, height, 1, 32, nullptr);
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bitmap);
    dc.FillSolidRect(CRect(0, 0, width, height), fill);
  }

  std::vector<DWORD> Pixels() {
    const gdi::PixelSurface s = bitmap.GetSurface();
    std::vector<DWORD> out;
    for (int y = 0; y < s.height; ++y) out.insert(out.end(), s.Row(y), s.Row(y) + s.width);
    return out;
  }

  // The smallest rectangle holding every pixel that differs from colour; empty when none does.
  CRect InkBox(COLORREF background) {
    const gdi::PixelSurface s = bitmap.GetSurface();
    CRect box;
    bool any = false;
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x)
        if (gdi::PixelToColor(s.Row(y)[x]) != background) {
          if (!any) box = CRect(x, y, x + 1, y + 1);
          box.UnionRect(box, CRect(x, y, x + 1, y + 1));
          any = true;
        }
    return box;
  }

  int Count(COLORREF colour) {
    int n = 0;
    for (DWORD p : Pixels()) n += gdi::PixelToColor(p) == colour ? 1 : 0;
    return n;
  }

  // Rows of '#' (not background) and '.', for small pictures in failure messages.
  std::string Picture(COLORREF background) {
    const gdi::PixelSurface s = bitmap.GetSurface();
    std::string out;
    for (int y = 0; y < s.height; ++y) {
      for (int x = 0; x < s.width; ++x) out += gdi::PixelToColor(s.Row(y)[x]) == background ? '.' : '#';
      out += '\n';
    }
    return out;
  }
};
