// The background of a page without a window action.
#include "page/page_settings.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/system_metrics.h"

void CPlainPageSettings::DrawBackground(CDC* dc, const CRect& clip) {
  // What was composed there before must not show through once its object is gone.
  if (dc) dc->FillSolidRect(clip, GetSysColor(COLOR_WINDOW));
}
