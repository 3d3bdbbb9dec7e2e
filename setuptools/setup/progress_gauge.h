// CProgressGauge: the copying dialog's percentage bar, painted without erasing so frequent steps do not flicker.
#pragma once

#include <cstdint>

#include "platform/user/wnd.h"

class CDC;

class CProgressGauge : public CWnd {
 public:
  // Each change repaints the whole bar at once.
  void SetRange(std::int32_t range);
  void SetPos(std::int32_t position);
  void Step(std::int32_t by);
  std::int32_t Range() const { return m_range; }
  std::int32_t Pos() const { return m_pos; }

  // Painting first holds the range to at least 1 and the position to at most
  // the range (both stored). Then the bar's highlighted part ends before
  // SplitX, and the percentage reads PercentText, "%3d%%".
  void Normalise();
  std::int64_t SplitX(int width) const;
  CString PercentText() const;
  void Paint(CDC& dc, const CRect& client);

 protected:
  void OnPaint() override;

 private:
  void Changed();
  std::int32_t m_range = 100;
  std::int32_t m_pos = 0;
};
