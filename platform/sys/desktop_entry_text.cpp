// The escapes of desktop entry values, Exec arguments and XML text.
#include "platform/sys/desktop_entry_text.h"

namespace tvn::sys {

std::string DesktopStringValue(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case ' ':
        out += i == 0 ? "\\s" : " ";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) out += ' ';
        else out += c;
    }
  }
  return out;
}

std::string DesktopExecArgument(std::string_view word) {
  std::string out = "\"";
  for (char c : word) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  out += '"';
  return out;
}

std::string XmlText(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '"') out += "&quot;";
    else out += c;
  }
  return out;
}

}  // namespace tvn::sys
