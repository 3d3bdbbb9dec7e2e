// Finding the presentation view behind a response's page.
#include "behaviour/response_view.h"

#include "behaviour/display_part.h"
#include "page/off_screen_view.h"

IResponseView* ResponseViewOf(CIconObject* obj) { return dynamic_cast<IResponseView*>(PageViewOf(obj)); }

BOOL PageInMode1(CIconObject* obj) {
  if (IResponseView* view = ResponseViewOf(obj)) return view->IsMode1();
  return PageViewOf(obj) != nullptr;
}
