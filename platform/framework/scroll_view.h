// CScrollView: a view over a page larger than its window, scrolled in steps of
// lines and pages or to a position.
#pragma once

#include "platform/framework/view.h"

#include "platform/gdi/gdi_defs.h"  // MM_TEXT

class CScrollView : public CView {
  DECLARE_DYNAMIC(CScrollView)

 public:
  // The page size in pixels (MM_TEXT); page and line steps default to a tenth
  // and a hundredth of it.
  void SetScrollSizes(int mapMode, CSize total, CSize page = CSize(), CSize line = CSize());
  CSize GetTotalSize() const { return m_total; }
  CPoint GetScrollPosition() const { return GetDeviceScrollPosition(); }
  CPoint GetDeviceScrollPosition() const;
  void ScrollToPosition(CPoint position);
  // Recomputes the bars' ranges from the page and the client size.
  void UpdateBars();

  // A scroll request: the low byte the horizontal code, the high byte the
  // vertical one (0xFF none). TRUE when anything moved.
  virtual BOOL OnScroll(UINT codes, UINT position, BOOL doScroll = TRUE);
  // Moves by the size, kept within 0 .. the limits. FALSE when nothing moved.
  virtual BOOL OnScrollBy(CSize size, BOOL doScroll = TRUE);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void OnSize(UINT type, int cx, int cy) override;

 private:
  CSize m_total;
  CSize m_page;
  CSize m_line;
  bool m_updatingBars = false;
};
