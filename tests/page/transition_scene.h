// A window showing an old picture and a back buffer holding a new one, for transition tests.
#pragma once

#include <functional>
#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "page/transitions.h"

namespace tvn::testing {

// Every pixel of the old picture differs from the new one in every channel.
inline COLORREF OldPixel(int x, int y) { return RGB(static_cast<BYTE>(x * 3), static_cast<BYTE>(y * 5), 10); }
inline COLORREF NewPixel(int x, int y) { return RGB(static_cast<BYTE>(200 - x), static_cast<BYTE>(190 - y), 200); }

struct Surface {
  CBitmap bitmap;
  CDC dc;
  Surface(int width, int height, COLORREF (*pixel)(int, int)) {
    bitmap.CreateBitmap(width, height, 1, 32, nullptr);
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bitmap);
    const gdi::PixelSurface s = bitmap.GetSurface();
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) s.Row(y)[x] = gdi::ColorToPixel(pixel(x, y));
  }
  COLORREF At(int x, int y) { return gdi::PixelToColor(bitmap.GetSurface().Row(y)[x]); }
};

// Counts steps, can stop at one, and lets a test look at the window after each.
struct ScriptedSteps : ITransitionSteps {
  int waits = 0;
  int stopAt = -1;  // the wait (counted from 1) that answers stop
  bool killed = false;
  BYTE lastDelay = 0;
  std::function<void(int)> afterStep;
  bool WaitStep(BYTE delay) override {
    ++waits;
    lastDelay = delay;
    if (afterStep) afterStep(waits);
    return waits == stopAt;
  }
  bool WasKilled() const override { return killed; }
};

struct Scene {
  static constexpr int kWidth = 64, kHeight = 56;
  Surface window{kWidth, kHeight, OldPixel};
  Surface back{kWidth, kHeight, NewPixel};
  ScriptedSteps steps;
  TransitionInput in;

  Scene(const CRect& area, int block) {
    in.target = &window.dc;
    in.source = &back.dc;
    in.area = area;
    in.block = block;
    in.delay = 5;
    in.steps = &steps;
    in.backBuffer = CSize(kWidth, kHeight);
  }

  // Describes the first pixel that is not as it should be: the new picture
  // inside the area, the old one outside it. Empty when all are right.
  std::string FirstWrongPixel() {
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const bool inside = in.area.PtInRect(CPoint(x, y));
        if (window.At(x, y) != (inside ? NewPixel(x, y) : OldPixel(x, y)))
          return "(" + std::to_string(x) + "," + std::to_string(y) + ") " + (inside ? "inside" : "outside");
      }
    return {};
  }
  // The columns of the area's first row that already show the new picture.
  std::string NewColumns() {
    std::string out;
    for (int x = in.area.left; x < in.area.right; ++x)
      out += window.At(x, in.area.top) == NewPixel(x, in.area.top) ? '#' : '.';
    return out;
  }
};

}  // namespace tvn::testing
