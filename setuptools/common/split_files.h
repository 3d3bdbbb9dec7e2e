// Files stored in pieces (".D0"): recognising a piece and joining a set after the last disk.
#pragma once

#include <filesystem>
#include <string_view>

#include "platform/sys/copy_progress.h"

// A piece is an installed file whose name, upper-cased, holds ".D0" after its
// first character. Only the file name counts, never the folders above it.
bool IsSplitPieceName(std::string_view fileName);

// The first piece starts with a 16-bit little-endian name length L, L bytes of
// the whole file's name and a 16-bit piece count C; its data follows. Piece i
// (1 to C - 1) has the first piece's name with its last character replaced by
// the digit i and holds data only.
struct SplitJoin {
  enum class Status { kJoined, kSkipped, kFailed, kStopped };
  Status status = Status::kSkipped;
  std::filesystem::path joined;  // the whole file, once joined
  // On failure: the file that failed, its file-exception cause and whether writing failed.
  std::filesystem::path failedFile;
  int cause = 0;
  bool writing = false;
};

// Joins the set whose first piece this is into the whole file beside it,
// written under a temporary name and renamed into place, then deletes the
// pieces. Skipped: the piece is gone (its set was joined already) or it is a
// later piece (its name ends in a digit other than 0). Failed, with nothing
// written and every piece kept: a missing piece, a name that is empty, over
// 255 bytes, ".", "..", holds a separator (/, \, :) or NUL, or names one of
// the set's own pieces (in any case: invalidFile), a count of 0 or over 10, a
// short header, or a read or write error. Stopped, likewise with nothing
// written and every piece kept: progress, called after each chunk written,
// answered false.
SplitJoin JoinSplitFile(const std::filesystem::path& firstPiece, const tvn::sys::CopyProgress& progress = {});
