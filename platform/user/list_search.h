// The text rules list and combo boxes share: sorting and prefix search without case in code page 1252.
#pragma once

#include <functional>

#include "platform/base/cstring.h"

namespace tvn::controls {

// Where an entry goes in a sorted list of count entries: after every entry
// that does not sort after it.
int SortedPosition(int count, const std::function<CString(int)>& entryAt, const CString& text);
// The first entry from the one after startAfter on, wrapping round, that
// begins with text (exact: equals it), both without case; -1 with none.
// startAfter -1 (or outside the list) searches from the first entry.
int FindEntry(int count, const std::function<CString(int)>& entryAt, int startAfter, const CString& text, bool exact);

}  // namespace tvn::controls
