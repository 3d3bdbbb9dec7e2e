// The framework's messages for the causes of file exceptions: one table for every program that reports them.
#pragma once

#include "platform/base/win_types.h"

namespace tvn::sys {

namespace FileErrorMessage {
constexpr UINT kFileNotFound = 61729;   // "%1\nCannot find this file..."
constexpr UINT kDiskFull = 61730;       // "Destination disk drive is full."
constexpr UINT kReadSharing = 61731;    // "Unable to read from %1, it is opened by someone else."
constexpr UINT kWriteReadOnly = 61732;  // "Unable to write to %1, it is read-only or opened by someone else."
constexpr UINT kReadGeneric = 61733;    // "An unexpected error occurred while reading %1."
constexpr UINT kWriteGeneric = 61734;   // "An unexpected error occurred while writing %1."
}  // namespace FileErrorMessage

// The message id for a cause: not found and bad path, access denied (read or
// write), disk full, and the generic read or write message for generic, too
// many open files, invalid file, directory full, bad seek and hardware I/O;
// defaultId for every other cause. The texts are each program's own.
UINT FileErrorMessageId(int cause, bool writing, UINT defaultId);

}  // namespace tvn::sys
