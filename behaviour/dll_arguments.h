// The argument text of a DLL action: its tokens and the form each is passed in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/sys/foreign_call.h"

// At most this many arguments are passed; further tokens are ignored.
constexpr std::size_t kMaxDllArguments = 10;

// Splits at commas, blanks and tabs into at most ten tokens. A token that
// begins with a double quote runs to the next one: the quotes go, and the
// separators inside become blanks.
std::vector<std::string> SplitDllArguments(std::string_view text);

// The argument a token is passed as: whole numbers and characters 32-bit
// ("S" 16 bits zero-extended, "L" a long), decimals a float (with "L" one
// 64-bit integer, truncated), "@buf" in any case the buffer, anything else
// the address of the token's text, which must outlive the call.
tvn::sys::ForeignArgument DllArgumentOf(const std::string& token, void* buffer);
