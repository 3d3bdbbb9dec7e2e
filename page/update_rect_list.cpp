// Dirty-rectangle merging.
#include "page/update_rect_list.h"

void CUpdateRectList::Add(const CRect& rect) {
  CRect both;
  if (!m_rects.empty() && both.IntersectRect(m_rects.front(), rect)) {
    m_rects.front().UnionRect(m_rects.front(), rect);
    return;
  }
  m_rects.insert(m_rects.begin(), rect);
}

void CUpdateRectList::MergeAll() {
  bool merged = true;
  while (merged) {
    merged = false;
    for (std::size_t i = 0; i < m_rects.size() && !merged; ++i) {
      for (std::size_t j = i + 1; j < m_rects.size(); ++j) {
        CRect both;
        if (both.IntersectRect(m_rects[i], m_rects[j])) {
          m_rects[i].UnionRect(m_rects[i], m_rects[j]);
          m_rects.erase(m_rects.begin() + static_cast<std::ptrdiff_t>(j));
          merged = true;  // the union may now meet one already passed: start again
          break;
        }
      }
    }
  }
}
