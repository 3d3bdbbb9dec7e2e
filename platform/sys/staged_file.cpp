// StagedFile on POSIX: mkstemp beside the target, fchmod and futimens before the rename.
#include "platform/sys/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <system_error>
#include <vector>

#include "platform/base/exceptions.h"

namespace tvn::sys {
namespace {

FileOpResult FromErrno(int error) { return {CFileException::OsErrorToCause(error), error}; }

timespec ToTimespec(std::filesystem::file_time_type when) {
  const auto since = std::chrono::file_clock::to_sys(when).time_since_epoch();
  const auto seconds = std::chrono::floor<std::chrono::seconds>(since);
  timespec value{};
  value.tv_sec = static_cast<time_t>(seconds.count());
  value.tv_nsec = static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count());
  return value;
}

}  // namespace

StagedFile::~StagedFile() { Discard(); }

void StagedFile::Discard() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
  m_temporary.clear();
}

FileOpResult StagedFile::Create(const std::filesystem::path& target) {
  Discard();
  m_target = target;
  std::string pattern = (target.parent_path() / (".~" + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return FromErrno(errno);
  m_fd = fd;
  m_temporary = std::filesystem::path(name.data());
  return {};
}

FileOpResult StagedFile::Write(std::string_view bytes) {
  if (m_fd < 0) return FromErrno(EBADF);
  while (!bytes.empty()) {
    const ssize_t put = ::write(m_fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return FromErrno(put < 0 ? errno : ENOSPC);
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return {};
}

FileOpResult StagedFile::Finish(std::optional<unsigned> mode, std::optional<std::filesystem::file_time_type> modified) {
  if (m_fd < 0) return FromErrno(EBADF);
  if (::fchmod(m_fd, static_cast<mode_t>(mode.value_or(0644) & 07777)) != 0) return FromErrno(errno);
  if (modified) {
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_NOW;
    times[1] = ToTimespec(*modified);
    if (::futimens(m_fd, times) != 0) return FromErrno(errno);
  }
  const int fd = m_fd;
  m_fd = -1;
  if (::close(fd) != 0) return FromErrno(errno);
  return {};
}

FileOpResult StagedFile::Commit(std::optional<unsigned> mode, std::optional<std::filesystem::file_time_type> modified) {
  FileOpResult result = Finish(mode, modified);
  if (result && ::rename(m_temporary.c_str(), m_target.c_str()) != 0) result = FromErrno(errno);
  if (result) m_temporary.clear();
  else Discard();
  return result;
}

std::optional<std::filesystem::path> StagedFile::Keep(std::optional<unsigned> mode,
                                                      std::optional<std::filesystem::file_time_type> modified) {
  if (!Finish(mode, modified)) {
    Discard();
    return std::nullopt;
  }
  auto kept = m_temporary;
  m_temporary.clear();
  return kept;
}

FileOpResult CopyFileStaged(const std::filesystem::path& source, const std::filesystem::path& target,
                            bool* readFailed, const CopyProgress& progress) {
  if (readFailed) *readFailed = false;
  auto failRead = [&](int error) {
    if (readFailed) *readFailed = true;
    return FromErrno(error);
  };
  const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return failRead(errno);
  struct stat info {};
  if (::fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(in);
    return failRead(error ? error : EINVAL);
  }
  StagedFile out;
  FileOpResult result = out.Create(target);
  // One chunk's buffer, less for a small file.
  const off_t chunk = static_cast<off_t>(kCopyChunkBytes);
  std::vector<char> buffer(static_cast<std::size_t>(std::clamp<off_t>(info.st_size, 1, chunk)));
  while (result) {
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      result = failRead(errno);
      break;
    }
    if (got == 0) break;
    result = out.Write(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    if (result && progress && !progress(static_cast<std::size_t>(got))) result = FromErrno(ECANCELED);
  }
  ::close(in);
  if (!result) return result;  // the staged file goes with out
  std::error_code ec;
  const auto modified = std::filesystem::last_write_time(source, ec);
  return out.Commit(info.st_mode & 07777, ec ? std::nullopt : std::optional(modified));
}

FileOpResult ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& target,
                         const CopyProgress& progress) {
  if (::rename(from.c_str(), target.c_str()) == 0) return {};
  if (errno != EXDEV) return FromErrno(errno);
  FileOpResult result = CopyFileStaged(from, target, nullptr, progress);
  if (result) ::unlink(from.c_str());
  return result;
}

void RemoveStaleStagedFiles(const std::filesystem::path& folder) {
  // mkostemp's six characters are letters and digits.
  auto isStaged = [](const std::string& name) {
    constexpr std::size_t kSuffix = 7;  // '.' and six characters
    if (name.size() < 2 + 1 + kSuffix || name.compare(0, 2, ".~") != 0 || name[name.size() - kSuffix] != '.') {
      return false;
    }
    return std::all_of(name.end() - 6, name.end(), [](char c) {
      return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
  };
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::filesystem::path& path = it->path();
    std::error_code kind;
    if (isStaged(path.filename().string()) && it->is_regular_file(kind) && !it->is_symlink(kind)) {
      ::unlink(path.c_str());
    }
  }
}

bool IsFileInUse(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd >= 0) {
    ::close(fd);
    return false;
  }
  return errno == ETXTBSY;
}

std::uintmax_t FreeSpace(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::path at = path;
  while (!at.empty() && !std::filesystem::exists(at, ec)) {
    if (at == at.parent_path()) break;
    at = at.parent_path();
  }
  const auto space = std::filesystem::space(at.empty() ? std::filesystem::path(".") : at, ec);
  return ec ? 0 : space.available;
}

}  // namespace tvn::sys
