// The escapes of the freedesktop files: desktop entry values, Exec arguments, XML text.
#pragma once

#include <string>
#include <string_view>

namespace tvn::sys {

// A desktop entry string value: backslash, newline, tab and carriage return
// escaped, a leading blank as "\s"; other control bytes become blanks.
std::string DesktopStringValue(std::string_view text);

// One argument of an Exec value in double quotes, '"', '`', '$' and '\'
// escaped by a backslash and '%' doubled. The result still takes the string
// value's escapes (DesktopStringValue) when it is written.
std::string DesktopExecArgument(std::string_view word);

// Text for XML content and attribute values: '&', '<', '>' and '"' as entities.
std::string XmlText(std::string_view text);

}  // namespace tvn::sys
