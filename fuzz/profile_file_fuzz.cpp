// Fuzzes the INI reader: any text is parsed, every header and key looked up, and a value set and read back.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/sys/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  tvn::sys::ProfileFile ini;
  ini.Parse(text);
  std::string section, key;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = std::min(text.find('\n', pos), text.size());
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.front() == '[') section = std::string(line.substr(1, line.find(']') - 1));
    if (auto eq = line.find('='); eq != std::string_view::npos) {
      key = std::string(line.substr(0, eq));
      ini.GetString(section, key);
    }
    pos = end + 1;
  }
  ini.SetString(section, key.empty() ? "k" : key, "value");
  if (key.find_first_not_of(" \t") != std::string::npos && key.find('[') == std::string::npos &&
      key.find('\n') == std::string::npos && key.find('\r') == std::string::npos &&
      section.find(']') == std::string::npos && section.find('\n') == std::string::npos) {
    tvn::sys::ProfileFile again;
    again.Parse(ini.Text());
    again.GetString(section, key);
  }
  return 0;
}
