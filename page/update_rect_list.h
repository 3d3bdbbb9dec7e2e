// CUpdateRectList: the page's dirty rectangles, merged before they are repainted.
#pragma once

#include <vector>

#include "platform/base/geometry.h"

class CUpdateRectList {
 public:
  // Grows the newest rectangle when the new one meets it; otherwise keeps the
  // new one as the newest. Older rectangles are not looked at until MergeAll.
  void Add(const CRect& rect);
  // Until no two rectangles meet: each pair that meets becomes their union.
  void MergeAll();
  void DeleteAll() { m_rects.clear(); }

  bool IsEmpty() const { return m_rects.empty(); }
  int GetCount() const { return static_cast<int>(m_rects.size()); }
  // Newest first.
  const std::vector<CRect>& Rects() const { return m_rects; }

 private:
  std::vector<CRect> m_rects;  // the head (newest) first
};
