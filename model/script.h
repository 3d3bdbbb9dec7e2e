// The entry points of the script language: scripts, conditions and placeholders.
#pragma once

#include "platform/base/cstring.h"

class CVariableContext;

// Expands placeholders, then runs the script on the current course's table.
// Gives the error code; 0 without doing anything when no course is current.
WORD ExecuteScript(CVariableContext& context, const CString& script);
// Expands placeholders, then evaluates the condition: 1 or 0, and 0 on an
// error (whose code stays in the course table) or when no course is current.
WORD CheckCondition(CVariableContext& context, const CString& condition);

// How placeholders are written and what their values may do to the text.
enum class ExpandMode {
  kPlain,     // "{Name}"
  kRichText,  // "\{Name\}" in rich text
  kScript,    // "{Name}"; inside an open string literal quotes are doubled
};

// Replaces each placeholder of a variable of the current course (except its
// global ones) and then of the global table by the variable's printed value,
// left to right, without rescanning what was inserted. Unknown placeholders stay.
CString ExpandVariables(CVariableContext& context, const CString& text, ExpandMode mode);
inline CString ExpandVariables(CVariableContext& context, const CString& text, BOOL richText) {
  return ExpandVariables(context, text, richText ? ExpandMode::kRichText : ExpandMode::kPlain);
}
