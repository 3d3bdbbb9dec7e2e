// CNoFlickerText: a one-line text field of the copying dialog, painted opaque without erasing first.
#pragma once

#include "platform/user/wnd.h"

class CDC;

class CNoFlickerText : public CWnd {
 public:
  // Sets the text (8-bit, as the window text) and repaints at once.
  void SetText(const CString& text);
  const CString& Text() const { return m_text; }
  void Paint(CDC& dc, const CRect& client);

 protected:
  void OnPaint() override;
  BOOL OnEraseBkgnd() override { return FALSE; }

 private:
  CString m_text;
};
