// Fuzzes the readers of outside text the runtime reaches into: the first byte
// picks the marked-section search (the rest split into marker, name and
// text at the first two zero bytes), the DLL argument tokenizer, the
// command-line splitter, or the mimeapps.list and .desktop readers.
#include <cstdint>
#include <string>
#include <string_view>

#include "behaviour/dll_arguments.h"
#include "model/text_sections.h"
#include "platform/sys/desktop_apps.h"
#include "platform/sys/process.h"

namespace {

// The next part up to a zero byte (or the end); the view moves past it.
std::string_view NextPart(std::string_view& rest) {
  std::size_t zero = rest.find('\0');
  std::string_view part = rest.substr(0, zero);
  rest = zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1);
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 4) {
    case 0: {
      std::string_view marker = NextPart(input);
      std::string_view name = NextPart(input);
      if (auto section = FindSection(input, marker, name)) {
        // The section lies inside the text it was found in.
        if (section->data() < input.data() || section->data() + section->size() > input.data() + input.size())
          __builtin_trap();
      }
      break;
    }
    case 1: {
      char buffer[8] = {};
      auto tokens = SplitDllArguments(input);
      if (tokens.size() > kMaxDllArguments) __builtin_trap();
      for (const std::string& token : tokens) DllArgumentOf(token, buffer);
      break;
    }
    case 2: {
      auto words = tvn::sys::SplitCommandLine(input);
      if (words.size() > input.size() + 1) __builtin_trap();
      break;
    }
    default: {
      std::string_view mime = NextPart(input);
      tvn::sys::AssociationsOf(input, mime);
      if (auto exec = tvn::sys::DesktopExecLine(input)) tvn::sys::ProgramOfExec(*exec);
      tvn::sys::ProgramOfExec(input);
      break;
    }
  }
  return 0;
}
