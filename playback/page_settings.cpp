// The page background.
#include "playback/page_settings.h"

#include "platform/gdi/dc.h"

void CPageSettings::DrawBackground(CDC* dc, const CRect& rect) const {
  if (m_hasBackground && dc) dc->FillSolidRect(rect, m_background);
}
