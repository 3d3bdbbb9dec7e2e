// Walking a list text into a list-box or combo-box control.
#include "model/list_text_control.h"

#include <algorithm>

#include "model/builtin_lists.h"
#include "model/script.h"
#include "model/value_conversion.h"
#include "platform/base/number_text.h"

namespace {

// An element is taken as at most 99 bytes.
constexpr int kMaxElementBytes = 99;

// strtol of the element: a leading decimal integer, 0 when there is none.
LONG LeadingNumber(const CString& element) {
  auto parsed = tvn::numtext::ParseIntegerPrefix(element.view());
  return tvn::values::Saturate(parsed ? parsed->value : 0);
}

}  // namespace

WORD MeasureTextInWindow(CVariableContext& context, IListTextControl& control, const CString& text, UINT message,
                         const CString& separator) {
  const CString sep = separator.IsEmpty() ? CString("\r\n") : separator.Left(1);
  const CString expanded = ExpandVariables(context, text, FALSE);
  if (expanded.IsEmpty()) return 0;

  int widest = 0;
  for (std::string_view item : tvn::lists::SplitElements(expanded.view(), sep.view())) {
    const CString element(item.substr(0, kMaxElementBytes));
    const LONG n = LeadingNumber(element);
    switch (message) {
      case ListMessage::kCbSetCurSel:
      case ListMessage::kLbSetCurSel: {
        const bool combo = message == ListMessage::kCbSetCurSel;
        if (n > 0) control.SendIndexMessage(message, static_cast<WPARAM>(n - 1), 0);
        else control.SendTextMessage(combo ? ListMessage::kCbSelectString : ListMessage::kLbSelectString, 0, element);
        return 0;  // only the first element counts
      }
      case ListMessage::kLbSetSel:
        if (n > 0) {
          control.SendIndexMessage(ListMessage::kLbSetSel, TRUE, n - 1);
        } else {
          LRESULT found = control.SendTextMessage(ListMessage::kLbFindString, 0, element);
          if (found != ListMessage::kError) control.SendIndexMessage(ListMessage::kLbSetSel, TRUE, found);
        }
        break;
      default:
        widest = std::max(widest, control.MeasureText(element));
        control.SendTextMessage(message, 0, element);
        break;
    }
  }
  return static_cast<WORD>(widest);
}
