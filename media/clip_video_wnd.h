// CClipVideoWnd: the window a kind-1 clip shows its picture in: a hidden child of the owner until shown.
#pragma once

#include "platform/user/wnd.h"

class CActiveMovieWnd;

// The picture fills the client area. While shown, a timer follows the
// clip's clock and repaints when the frame changes. Mouse and key messages
// go on to the owner (the owner drains them), clicks in its coordinates.
class CClipVideoWnd : public CWnd {
  DECLARE_DYNAMIC(CClipVideoWnd)

 public:
  static constexpr DWORD kStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

  explicit CClipVideoWnd(CActiveMovieWnd& clip) : m_clip(clip) {}

  // Made hidden on the owner: it shows only when asked to.
  BOOL Create(CWnd* owner, const CRect& rect);
  void Show(BOOL show);
  // Moves the window; the same place again costs nothing.
  void Place(const CRect& rect);

 protected:
  void OnPaint() override;
  BOOL OnEraseBkgnd() override { return TRUE; }  // the picture covers the window
  void OnTimer(UINT id) override;
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  CActiveMovieWnd& m_clip;
  LONG m_shownFrame = -1;
};
