// Fuzzes the Program Manager command parser, the menu file names made of its
// arguments (which must never leave their folder) and the answer-field reader.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/sys/program_groups.h"
#include "setuptools/common/progman_client.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (auto commands = tvn::sys::ParseProgmanCommands(text)) {
    for (const auto& command : *commands) {
      if (command.name.empty()) std::abort();
      for (const std::string& argument : command.arguments) {
        const std::string name = tvn::sys::MenuFileName(argument);
        if (name.empty() || name.find('/') != std::string::npos || name.find('.') != std::string::npos) std::abort();
      }
    }
  }
  for (int n = 0; n < 4; ++n) AnswerField(text, n);
  return 0;
}
