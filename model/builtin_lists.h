// List texts: elements separated by a separator of one or two characters.
#pragma once

#include <string_view>
#include <vector>

#include "platform/base/cstring.h"

// An element runs up to the first byte equal to either separator character;
// after it one byte equal to the first and then one equal to the second
// separator character are passed over. Elements are numbered from 1 and a
// separator at the very end starts no further element. Element numbers are
// compared as unsigned, so 0 and negative numbers match no element.
namespace tvn::lists {

// The separator argument cut to two characters; CR LF when it is empty.
std::string_view EffectiveSeparator(std::string_view separator);

CString GetElementSpan(std::string_view text, DWORD first, DWORD last, std::string_view separator);
DWORD FindElementIndex(std::string_view text, std::string_view element, std::string_view separator);
CString DeleteElementSpan(std::string_view text, DWORD first, DWORD last, std::string_view separator);
CString ReplaceElementAt(std::string_view text, DWORD index, std::string_view element, std::string_view separator);
CString InsertElementAt(std::string_view text, DWORD index, std::string_view element, std::string_view separator);
DWORD CountElements(std::string_view text, std::string_view separator);
// Every element in order, as views into text.
std::vector<std::string_view> SplitElements(std::string_view text, std::string_view separator);

}  // namespace tvn::lists
