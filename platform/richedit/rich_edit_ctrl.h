// CRichEditCtrl: the rich-text control: formatted runs behind a window, selection, hit-testing and rendering.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/user/richtext_types.h"
#include "platform/richedit/rtf_document.h"
#include "platform/richedit/rtf_qt_bridge.h"
#include "platform/user/wnd.h"

class CDC;
class QTextDocument;

// The content is a Qt text document whose runs carry their exact character
// and paragraph formats; RTF goes in and out through our own reader and
// writer. The control works without a window (streaming, selection,
// hit-testing and rendering into a device context); once created its window
// paints the document. Character positions count paragraph ends as one.
// A shown window created with WS_VSCROLL or WS_HSCROLL shows each bar while
// the text is taller or wider than its formatting rectangle, and scrolls it.
// A window made with WS_EX_TRANSPARENT paints its text only: what its parent
// shows stays visible around it.
class CRichEditCtrl : public CWnd {
  DECLARE_DYNAMIC(CRichEditCtrl)

 public:
  CRichEditCtrl();
  ~CRichEditCtrl() override;

  // --- content ---
  // Replaces the content with bytes in a stream format (SF_TEXT: lines of
  // code page 1252 text; SF_RTF). Badly formed RTF keeps what was read.
  void StreamIn(int format, std::string_view bytes);
  std::string StreamOut(int format) const;
  void SetContent(const tvn::rtf::Document& content);
  tvn::rtf::Document GetContent() const;
  long GetTextLength() const;
  CString GetTextRange(long start, long end) const;
  // Decodes the pictures RTF carries; the default reads PNG, JPEG and DIB.
  void SetPictureDecoder(tvn::rtf::PictureDecoder decoder) { m_decoder = std::move(decoder); }

  // --- selection ---
  // Positions are clamped to the text; an end of -1 means the text's end.
  void SetSel(long start, long end);
  void GetSel(long& start, long& end) const;
  CString GetSelText() const;
  void HideSelection(BOOL hide) { m_hideSelection = hide; }
  BOOL IsSelectionHidden() const { return m_hideSelection; }
  // The selection's format: each attribute that varies over it has its mask
  // bit cleared. An empty selection reports the character before it. Returns the mask.
  DWORD GetSelectionCharFormat(CHARFORMAT& format) const;
  DWORD GetParaFormat(PARAFORMAT& format) const;

  // --- layout and drawing ---
  // The character under a point of the layout last drawn, or -1 when the
  // point is on no character. A window's client point becomes a layout point
  // through LayoutPointFromClient.
  long CharFromPos(CPoint point) const;
  CPoint LayoutPointFromClient(CPoint client) const;
  // The layout point at the formatting rectangle's top left: the scroll
  // position of a window's bars, (0, 0) without them.
  CPoint GetScrollOffset() const;
  // The top left of a character in the same layout ((0, 0) for none).
  CPoint PosFromChar(long index) const;
  // Wraps lines at the layout's width, or not at all.
  void SetWordWrap(BOOL wrap);
  BOOL GetWordWrap() const { return m_wrap; }
  void SetReadOnly(BOOL readOnly) { m_readOnly = readOnly; }
  BOOL IsReadOnly() const { return m_readOnly; }
  // The background a created window paints; returns the one before.
  COLORREF SetBackgroundColor(COLORREF colour);
  // The formatting rectangle inside the client area. It keeps its distance
  // from the client's edges when the window is sized or a bar comes or goes.
  void GetRect(CRect* rect) const;
  void SetRect(const CRect& rect);
  // Renders the whole content into a rectangle given in twips of the
  // context's resolution and keeps that layout for hit-testing; returns the
  // first character that did not fit (the text length when all did).
  long FormatRange(CDC* dc, const CRect& twips, BOOL render = TRUE);

  // The Qt document behind the control, for the platform's editor view.
  QTextDocument& Document();

  // Scroll requests (WM_VSCROLL, WM_HSCROLL), the wheel and showing the window.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  int OnCreate(const CREATESTRUCT& cs) override;
  void OnPaint() override;
  void OnSize(UINT type, int cx, int cy) override;

 private:
  // Lays the document out at a width in pixels (or unwrapped).
  void LayOut(double width) const;
  long ClampPosition(long position) const;
  // Shows the bars the text needs, sets their ranges, and lays the text out
  // at the width left for it.
  void UpdateScrollBars();
  void OnScroll(int bar, UINT code, int position);
  // The layout y a line step from a layout y reaches: the top of the next
  // line down, or of the line above.
  int LineStepFrom(int y, bool down) const;
  // The wheel turned over the window: while the vertical bar shows, three
  // lines a notch, as its arrows step. FALSE when the window does not scroll.
  BOOL ScrollWithWheel(int delta);

  struct Impl;
  std::unique_ptr<Impl> m;
  tvn::rtf::PictureDecoder m_decoder;
  long m_selStart = 0;
  long m_selEnd = 0;
  BOOL m_hideSelection = FALSE;
  BOOL m_wrap = TRUE;
  BOOL m_readOnly = FALSE;
  COLORREF m_background = RGB(255, 255, 255);
  CRect m_formatInsets;  // from the client rectangle's edges, each side inwards
  BOOL m_formatRectSet = FALSE;
  DWORD m_bars = 0;      // WS_VSCROLL, WS_HSCROLL as the window was created
  bool m_updatingBars = false;
  int m_wheelDelta = 0;  // wheel turns not yet a whole line, in WM_MOUSEWHEEL units
};
