// The page background.
#include "page/page_settings.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/system_metrics.h"

void CPageSettings::DrawBackground(CDC* dc, const CRect& rect) const {
  // Without a page colour of its own the page is the window colour: what was
  // composed there before must not show through once its object is gone.
  if (dc) dc->FillSolidRect(rect, m_hasBackground ? m_background : GetSysColor(COLOR_WINDOW));
}
