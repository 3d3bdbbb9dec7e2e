// Fuzzes the DDE command language: any bytes give a known word with a trimmed argument, or nothing.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "controls/dde_command.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::optional<DdeCommand> command = ParseDdeCommand(text);
  if (!command) return 0;
  const std::string_view argument = command->argument.view();
  if (argument.size() > size) std::abort();
  if (!argument.empty() && (argument.front() == ' ' || argument.back() == ' ')) std::abort();
  if (argument.empty() && command->word != DdeCommandWord::kQuit) std::abort();
  return 0;
}
