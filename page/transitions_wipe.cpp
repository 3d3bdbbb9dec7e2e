// Category 1: block wipes, blinds, edges to centre, a growing frame and random blocks.
#include <algorithm>
#include <random>
#include <vector>

#include "page/transitions.h"

namespace transitions {
namespace {

// Cells of the random-blocks grid: a flag byte per cell, counted in a signed
// 16-bit word, so a grid holds at most this many.
constexpr long long kMaxRandomCells = 32766;

class Wipe {
 public:
  explicit Wipe(const TransitionInput& in)
      : m_in(in),
        m_left(in.area.left),
        m_top(in.area.top),
        m_right(in.area.right),
        m_bottom(in.area.bottom),
        m_w(in.area.Width()),
        m_h(in.area.Height()),
        m_b(in.block) {}

  bool Run(int variant);

 private:
  void Column(int x, int width) { CopyPart(m_in, CRect(x, m_top, x + width, m_bottom)); }
  void Row(int y, int height) { CopyPart(m_in, CRect(m_left, y, m_right, y + height)); }
  bool Wait() { return m_in.steps->WaitStep(m_in.delay); }

  bool FromStart(bool columns);
  bool FromEnd(bool columns);
  bool BothSidesToCentre();
  bool TopAndBottomToMiddle();
  bool CentreOutward(bool columns);
  bool Blinds(bool columns, int slat);
  bool EdgesToCentre();
  bool GrowingFrame();
  bool RandomBlocks();

  const TransitionInput& m_in;
  const int m_left, m_top, m_right, m_bottom, m_w, m_h, m_b;
};

bool Wipe::Run(int variant) {
  if (variant < 1 || variant > 15) return true;
  if (m_w <= 0 || m_h <= 0) return true;
  // No block width, or an area smaller than one block: one step does it all.
  if (m_b <= 0 || m_w < m_b || m_h < m_b) {
    CopyAll(m_in);
    return true;
  }
  switch (variant) {
    case 1: return FromStart(true);
    case 2: return FromEnd(true);
    case 3: return FromStart(false);
    case 4: return FromEnd(false);
    case 5: return BothSidesToCentre();
    case 6: return TopAndBottomToMiddle();
    case 7: return CentreOutward(true);
    case 8: return CentreOutward(false);
    case 9: return Blinds(true, 20);
    case 10: return Blinds(false, 20);
    case 11: return Blinds(true, 8);
    case 12: return Blinds(false, 8);
    case 13: return EdgesToCentre();
    case 14: return GrowingFrame();
    default: return RandomBlocks();
  }
}

bool Wipe::FromStart(bool columns) {
  const int size = columns ? m_w : m_h, origin = columns ? m_left : m_top;
  int x = 0;
  for (; x <= size - m_b; x += m_b) {
    columns ? Column(origin + x, m_b) : Row(origin + x, m_b);
    if (Wait()) return false;
  }
  if (size % m_b != 0) columns ? Column(origin + x, size % m_b) : Row(origin + x, size % m_b);
  return true;
}

bool Wipe::FromEnd(bool columns) {
  const int size = columns ? m_w : m_h, origin = columns ? m_left : m_top;
  for (int x = size - m_b; x >= 0; x -= m_b) {
    columns ? Column(origin + x, m_b) : Row(origin + x, m_b);
    if (Wait()) return false;
  }
  if (size % m_b != 0) columns ? Column(origin, size % m_b) : Row(origin, size % m_b);
  return true;
}

bool Wipe::BothSidesToCentre() {
  // Columns as wide as the area divides into whole blocks.
  const int c = m_w / (m_w / m_b);
  for (int s = 0; s <= c + m_w / 2; s += c) {
    Column(m_left + s, c);
    Column(m_right - s - c, c);
    if (Wait()) return false;
  }
  return true;
}

bool Wipe::TopAndBottomToMiddle() {
  for (int s = 0; s <= m_h / 2 + m_b; s += m_b) {
    Row(m_top + s, m_b);
    Row(m_bottom - s - m_b, m_b);
    if (Wait()) return false;
  }
  return true;
}

bool Wipe::CentreOutward(bool columns) {
  const int size = columns ? m_w : m_h, origin = columns ? m_left : m_top, end = columns ? m_right : m_bottom;
  const int half = size / 2;
  const auto strip = [&](int at) { columns ? Column(at, m_b) : Row(at, m_b); };
  for (int x = half - m_b; x >= 0; x -= m_b) {
    strip(origin + x);
    strip(origin + 2 * half - m_b - x);
    if (Wait()) return false;
  }
  // The strips stop short of the edges whenever the half is not whole
  // blocks or the size is odd, not only when the size is not whole blocks.
  if (size % m_b != 0 || half % m_b != 0 || size % 2 != 0) {
    strip(origin);
    strip(end - m_b);
  }
  return true;
}

bool Wipe::Blinds(bool columns, int slat) {
  const BYTE delay = BlindsDelay(m_in.delay);
  const int n = (columns ? m_w : m_h) / slat;
  for (int s = 0; s <= slat; s += m_b) {
    for (int i = 0; i <= n; ++i) columns ? Column(m_left + slat * i + s, m_b) : Row(m_top + slat * i + s, m_b);
    if (m_in.steps->WaitStep(delay)) return false;
  }
  return true;
}

bool Wipe::EdgesToCentre() {
  const int d = m_w / 2 + m_b, e = m_h / 2 + m_b;
  for (int s = 0; s <= d && s <= e; s += m_b) {
    Row(m_top + s, m_b);
    Column(m_left + s, m_b);
    Row(m_bottom - s - m_b, m_b);
    Column(m_right - s - m_b, m_b);
    if (Wait()) return false;
  }
  return true;
}

bool Wipe::GrowingFrame() {
  const int cx = m_w / 2, cy = m_h / 2;
  int c = 0;
  for (int d = 0; d <= cx || c <= cy; d += m_b) {
    c = std::min(c, cy);
    const int dd = std::min(d, cx);
    CopyPart(m_in, CRect(m_left + cx - dd, m_top + cy - c, m_left + cx + dd, m_top + cy - c + m_b));
    CopyPart(m_in, CRect(m_left + cx - dd, m_top + cy + c - m_b, m_left + cx + dd, m_top + cy + c));
    CopyPart(m_in, CRect(m_left + cx - dd, m_top + cy - c, m_left + cx - dd + m_b, m_top + cy + c));
    CopyPart(m_in, CRect(m_left + cx + dd - m_b, m_top + cy - c, m_left + cx + dd, m_top + cy + c));
    if (Wait()) return false;
    c += m_b;
  }
  // The frame stops short of the edges not only when the sides are not whole
  // blocks: an odd side leaves its last row or column, and the side that
  // reaches its limit first can end the loop a block early for the other.
  // The outermost frame, one block thick, takes in all of it.
  Row(m_top, m_b);
  Row(m_bottom - m_b, m_b);
  Column(m_left, m_b);
  Column(m_right - m_b, m_b);
  return true;
}

bool Wipe::RandomBlocks() {
  long long side = m_b, cols = 0, rows = 0;
  for (;; ++side) {
    cols = (m_w + m_b) / side;
    rows = (m_h + m_b) / side;
    if (cols * rows <= kMaxRandomCells) break;
  }
  cols = std::max(cols, 1LL);
  rows = std::max(rows, 1LL);
  const int cellW = static_cast<int>((m_w + m_b) / cols), cellH = static_cast<int>((m_h + m_b) / rows);
  const int count = static_cast<int>(cols * rows);
  std::vector<unsigned char> taken(static_cast<std::size_t>(count), 0);
  std::minstd_rand random(m_in.seed);
  for (int done = 0; done < count; ++done) {
    int k = 0;
    do {
      k = static_cast<int>(random() % static_cast<unsigned>(count));
    } while (taken[static_cast<std::size_t>(k)]);
    taken[static_cast<std::size_t>(k)] = 1;
    const int col = static_cast<int>(k % cols), row = static_cast<int>(k / cols);
    // The grid's cells can add up to a little less than the area: the last
    // column and row reach to its edges.
    const int x0 = m_left + col * cellW, y0 = m_top + row * cellH;
    const int x1 = col == cols - 1 ? std::max(m_right, x0 + cellW) : x0 + cellW;
    const int y1 = row == rows - 1 ? std::max(m_bottom, y0 + cellH) : y0 + cellH;
    CopyPart(m_in, CRect(x0, y0, x1, y1));
    // One pause per row's worth of cells, so the kill event and Escape reach it.
    if ((done + 1) % cols == 0 && Wait()) return false;
  }
  return true;
}

}  // namespace

bool BlockWipe(const TransitionInput& in, int variant) { return Wipe(in).Run(variant); }

}  // namespace transitions
