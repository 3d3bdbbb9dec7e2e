// IResponseView: what the responses on the page ask of the presentation view
// besides its page: the hover cursors, the drag being dropped and its mode.
#pragma once

#include "platform/base/cstring.h"
#include "platform/user/cursor.h"
#include "platform/base/win_types.h"

class CIconObject;

class IResponseView {
 public:
  // The cursor of a cursor file from the application's cursor list (loaded
  // once, freed at exit); null when the file cannot be read.
  virtual HCURSOR GetCursor(const CString& fileName) = 0;
  // Shows the cursor while the pointer stays on the page; null shows the hand.
  virtual void SetCursor(HCURSOR cursor) = 0;
  // Back to the view's own cursor when another shows (or when forced).
  virtual void RestoreCursor(BOOL force) = 0;
  // The response the object being dropped now is linked to; null outside a drop.
  virtual CIconObject* GetDropPartner() = 0;
  // TRUE once a course has been started in the view.
  virtual BOOL IsMode1() = 0;

 protected:
  ~IResponseView() = default;
};

// The presentation view the object's page is, or null (tests with a bare page).
IResponseView* ResponseViewOf(CIconObject* obj);
// Whether the object's page is in mode 1; a bare page counts as one.
BOOL PageInMode1(CIconObject* obj);
