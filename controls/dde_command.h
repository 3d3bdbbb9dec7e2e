// The command language other programs send the runtime's DDE service: "open", "start", "close", "quit", "event".
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/base/cstring.h"

enum class DdeCommandWord { kOpen, kStart, kClose, kQuit, kEvent };

struct DdeCommand {
  DdeCommandWord word = DdeCommandWord::kQuit;
  CString argument;  // case kept, trimmed, surrounding quotes removed
};

// The longest command the service takes; a longer one is not acknowledged.
inline constexpr std::size_t kMaxDdeCommand = 4096;

// The command of a text such as "[Open(C:\COURSES\INTRO.MCL)]": an optional
// "[" and blanks, the word before the first "(" (matched without case, never
// as a substring), and the argument up to the matching ")". The text ends at
// its first zero byte. Nothing when there is nothing to do: an unknown word,
// no "(", no matching ")", or an empty argument to a word other than "quit".
std::optional<DdeCommand> ParseDdeCommand(std::string_view text);
