// The copying dialog's name fields: the text at the top left over the button face, the rest of the line cleared.
#include "setuptools/setup/no_flicker_text.h"

#include <mutex>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/system_metrics.h"

void CNoFlickerText::SetText(const CString& text) {
  m_text = text;
  if (!m_hWnd) return;
  Invalidate(FALSE);
  UpdateWindow();
}

void CNoFlickerText::Paint(CDC& dc, const CRect& client) {
  dc.SelectStockObject(DEFAULT_GUI_FONT);
  dc.SetBkColor(GetSysColor(COLOR_BTNFACE));
  dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
  dc.ExtTextOut(0, 0, ETO_OPAQUE | ETO_CLIPPED, &client, m_text);
}

void CNoFlickerText::OnPaint() {
  PaintClient([this](CDC& dc, const CRect& client) { Paint(dc, client); });
}
