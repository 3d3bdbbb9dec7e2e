// Splitting an MCI command string into its command, device and words.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/win_types.h"

struct CMciCommand {
  std::string verb;                // lower case
  std::string device;              // as written, quotes removed
  std::vector<std::string> words;  // the rest, quotes removed; "notify" and "wait" taken out
  bool notify = false;
  bool wait = false;

  // The word after the keyword (compared without case), or null.
  const std::string* ValueAfter(std::string_view keyword) const;
  bool Has(std::string_view keyword) const;
};

// 0, or the MCI error: an empty string, a quote left open, no device name.
// Without a device the second word is taken as the first of the words (a
// command the MCI window sends to its own device).
DWORD ParseMciCommand(std::string_view text, CMciCommand& out, bool withDevice = true);

// A decimal number of at most nine digits; false for anything else.
bool ParseMciNumber(std::string_view text, DWORD& out);
