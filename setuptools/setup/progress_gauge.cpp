// The percentage bar: its range and position, and painting the two coloured parts with the centred percentage.
#include "setuptools/setup/progress_gauge.h"

#include <charconv>
#include <limits>
#include <mutex>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/system_metrics.h"

void CProgressGauge::SetRange(std::int32_t range) {
  m_range = range;
  Changed();
}

void CProgressGauge::SetPos(std::int32_t position) {
  m_pos = position;
  Changed();
}

void CProgressGauge::Step(std::int32_t by) {
  const std::int64_t next = static_cast<std::int64_t>(m_pos) + by;
  m_pos = static_cast<std::int32_t>(std::clamp<std::int64_t>(next, std::numeric_limits<std::int32_t>::min(),
                                                             std::numeric_limits<std::int32_t>::max()));
  Changed();
}

void CProgressGauge::Changed() {
  if (!m_hWnd) return;
  Invalidate(FALSE);
  UpdateWindow();
}

void CProgressGauge::Normalise() {
  if (m_range <= 0) m_range = 1;
  if (m_pos > m_range) m_pos = m_range;
}

std::int64_t CProgressGauge::SplitX(int width) const {
  // 64-bit: a range of millions of files times a wide bar must not wrap.
  return static_cast<std::int64_t>(m_pos) * width / m_range + 1;
}

CString CProgressGauge::PercentText() const {
  const std::int64_t percent = static_cast<std::int64_t>(m_pos) * 100 / m_range;
  char digits[24];
  auto end = std::to_chars(digits, digits + sizeof digits, percent).ptr;
  std::string text(digits, end);
  if (text.size() < 3) text.insert(0, 3 - text.size(), ' ');
  return CString(text + "%");
}

void CProgressGauge::Paint(CDC& dc, const CRect& client) {
  Normalise();
  const int width = client.Width();
  const int height = client.Height();
  const int split = static_cast<int>(std::clamp<std::int64_t>(SplitX(width), 0, std::max(width, 0)));
  const CString text = PercentText();
  dc.SelectStockObject(DEFAULT_GUI_FONT);
  const CSize extent = dc.GetTextExtent(text);
  const int x = (width - extent.cx) / 2;
  const int y = (height - extent.cy) / 2;
  const CRect left(0, 0, split, height);
  dc.SetBkColor(GetSysColor(COLOR_HIGHLIGHT));
  dc.SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
  dc.ExtTextOut(x, y, ETO_OPAQUE | ETO_CLIPPED, &left, text);
  const CRect right(split, 0, width, height);
  dc.SetBkColor(GetSysColor(COLOR_BTNFACE));
  dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
  dc.ExtTextOut(x, y, ETO_OPAQUE | ETO_CLIPPED, &right, text);
}

void CProgressGauge::OnPaint() {
  PaintClient([this](CDC& dc, const CRect& client) { Paint(dc, client); });
}
