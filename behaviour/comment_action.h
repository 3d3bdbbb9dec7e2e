// CCommentAction: an author's note in an action list; running it does nothing.
#pragma once

#include "behaviour/action.h"

class CCommentAction : public CAction {
  DECLARE_SERIAL(CCommentAction)

 public:
  CCommentAction() : CAction(ActionKind::kComment) {}
  CCommentAction(const CCommentAction& other) = default;
};
