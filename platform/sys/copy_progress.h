// CopyProgress: what a long copy calls between its chunks, so that the program doing it keeps answering and can stop it.
#pragma once

#include <cstddef>
#include <functional>

namespace tvn::sys {

// Called after each chunk written, with its size in bytes; false stops the
// copy, which then leaves nothing of what it was writing. Empty: the copy
// runs to its end.
using CopyProgress = std::function<bool(std::size_t bytes)>;

// What a copy moves between two calls: cp's own buffer, and little enough
// for a slow medium (a CD, a USB stick at a few MB/s) to hand back within a
// few tens of milliseconds.
inline constexpr std::size_t kCopyChunkBytes = 128 * 1024;

}  // namespace tvn::sys
