// Joining split files: the first piece's header checked in full, every piece present before a byte is written.
#include "setuptools/common/split_files.h"

#include <fstream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/base/exceptions.h"
#include "platform/sys/staged_file.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxNameLength = 255;
constexpr unsigned kMaxPieces = 10;  // one decimal digit names each piece

SplitJoin Fail(const fs::path& file, int cause, bool writing) {
  SplitJoin result;
  result.status = SplitJoin::Status::kFailed;
  result.failedFile = file;
  result.cause = cause;
  result.writing = writing;
  return result;
}

bool IsUsableName(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameLength || name == "." || name == "..") return false;
  return name.find_first_of(std::string_view("/\\:\0", 4)) == std::string_view::npos;
}

fs::path PiecePath(const fs::path& first, unsigned index) {
  std::string name = first.filename().string();
  name.back() = static_cast<char>('0' + index);
  return first.parent_path() / name;
}

// Whether the whole file would land on one of the set's pieces: its name
// equals a piece's without regard to case, or it is already that very file.
bool NamesAPiece(const fs::path& whole, const std::vector<fs::path>& pieces) {
  std::error_code ec;
  const bool exists = fs::exists(whole, ec);
  for (const fs::path& piece : pieces) {
    if (tvn::codepage::EqualsNoCaseAscii(whole.filename().string(), piece.filename().string())) return true;
    if (exists && fs::equivalent(whole, piece, ec)) return true;
  }
  return false;
}

// Appends the stream from its position to its end, progress after each
// chunk; a cause on failure, the failing side in writing. Stopped by
// progress: kStopped.
constexpr int kStopped = -1;
int Append(std::ifstream& in, tvn::sys::StagedFile& out, bool& writing, const tvn::sys::CopyProgress& progress) {
  std::vector<char> buffer(tvn::sys::kCopyChunkBytes);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got == 0) break;
    if (auto put = out.Write(std::string_view(buffer.data(), got)); !put) {
      writing = true;
      return put.cause;
    }
    if (progress && !progress(got)) return kStopped;
  }
  if (in.bad()) {
    writing = false;
    return CFileException::hardIO;
  }
  return 0;
}

}  // namespace

bool IsSplitPieceName(std::string_view fileName) {
  for (std::size_t i = 1; i + 3 <= fileName.size(); ++i) {
    if (fileName[i] == '.' && (fileName[i + 1] == 'D' || fileName[i + 1] == 'd') && fileName[i + 2] == '0') return true;
  }
  return false;
}

SplitJoin JoinSplitFile(const fs::path& firstPiece, const tvn::sys::CopyProgress& progress) {
  std::error_code ec;
  if (!fs::exists(firstPiece, ec)) return {};
  const std::string pieceName = firstPiece.filename().string();
  if (pieceName.empty() || (pieceName.back() >= '1' && pieceName.back() <= '9')) return {};

  std::ifstream in(firstPiece, std::ios::binary);
  if (!in) return Fail(firstPiece, CFileException::fileNotFound, false);
  unsigned char word[2];
  if (!in.read(reinterpret_cast<char*>(word), 2)) return Fail(firstPiece, CFileException::invalidFile, false);
  const std::size_t nameLength = word[0] | (word[1] << 8);
  if (nameLength == 0 || nameLength > kMaxNameLength) return Fail(firstPiece, CFileException::invalidFile, false);
  std::string name(nameLength, '\0');
  if (!in.read(name.data(), static_cast<std::streamsize>(nameLength)) || !IsUsableName(name) ||
      !in.read(reinterpret_cast<char*>(word), 2)) {
    return Fail(firstPiece, CFileException::invalidFile, false);
  }
  const unsigned count = word[0] | (word[1] << 8);
  if (count == 0 || count > kMaxPieces) return Fail(firstPiece, CFileException::invalidFile, false);
  std::vector<fs::path> pieces{firstPiece};
  for (unsigned i = 1; i < count; ++i) pieces.push_back(PiecePath(firstPiece, i));
  const fs::path whole = firstPiece.parent_path() / name;
  // Written over a piece, the whole file would go with the pieces: a damaged header.
  if (NamesAPiece(whole, pieces)) return Fail(firstPiece, CFileException::invalidFile, false);
  for (unsigned i = 1; i < count; ++i) {
    if (!fs::is_regular_file(pieces[i], ec)) return Fail(pieces[i], CFileException::fileNotFound, false);
  }

  tvn::sys::StagedFile out;
  if (auto created = out.Create(whole); !created) return Fail(whole, created.cause, true);
  bool writing = false;
  // The staged file goes with out when the join ends early.
  auto ended = [&](int cause, const fs::path& piece) {
    if (cause != kStopped) return Fail(writing ? whole : piece, cause, writing);
    SplitJoin stopped;
    stopped.status = SplitJoin::Status::kStopped;
    return stopped;
  };
  if (int cause = Append(in, out, writing, progress)) return ended(cause, firstPiece);
  for (unsigned i = 1; i < count; ++i) {
    std::ifstream piece(pieces[i], std::ios::binary);
    if (!piece) return Fail(pieces[i], CFileException::fileNotFound, false);
    if (int cause = Append(piece, out, writing, progress)) return ended(cause, pieces[i]);
  }
  const auto status = fs::status(firstPiece, ec);
  const auto modified = fs::last_write_time(firstPiece, ec);
  std::optional<fs::file_time_type> time;
  if (!ec) time = modified;
  if (auto committed = out.Commit(static_cast<unsigned>(status.permissions() & fs::perms::all), time); !committed) {
    return Fail(whole, committed.cause, true);
  }
  for (const fs::path& piece : pieces) fs::remove(piece, ec);  // none is the whole file: checked above
  SplitJoin result;
  result.status = SplitJoin::Status::kJoined;
  result.joined = whole;
  return result;
}
