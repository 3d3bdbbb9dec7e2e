// A small bounded reader of compound-file (structured storage) directories: does a stream of a name exist.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The bytes of a whole compound file. TRUE when its directory holds a stream
// of that name; FALSE for anything that is not a well-formed compound file
// (every sector number and chain is checked against the bytes).
bool CompoundFileHasStream(std::span<const std::uint8_t> file, std::u16string_view name);

// The name of the summary-information stream: byte 5, then "SummaryInformation".
inline constexpr std::u16string_view kSummaryStreamName = u"\u0005SummaryInformation";
