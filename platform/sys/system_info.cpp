// Host queries behind the runtime's file, drive and path helpers.
#include "platform/sys/system_info.h"

#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

namespace tvn::sys {
namespace {

// The folder the running program was started from.
std::optional<std::filesystem::path> ProgramFolder() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::nullopt;
  return exe.parent_path();
}

// /proc/mounts escapes blanks and other bytes in paths as backslash and three octal digits.
std::string UnescapeMountField(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const char* d = field.c_str() + i + 1;
      if (d[0] >= '0' && d[0] <= '7' && d[1] >= '0' && d[1] <= '7' && d[2] >= '0' && d[2] <= '7') {
        out += static_cast<char>(((d[0] - '0') << 6) | ((d[1] - '0') << 3) | (d[2] - '0'));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

struct MountInfo {
  std::string mountPoint;
  std::string fsType;
};

// The mount that holds folder: the longest mount point that is a prefix of it.
std::optional<MountInfo> MountOf(const std::filesystem::path& folder) {
  std::error_code ec;
  std::string target = std::filesystem::weakly_canonical(folder, ec).generic_string();
  if (ec) return std::nullopt;
  std::ifstream mounts("/proc/mounts");
  std::string line;
  std::optional<MountInfo> best;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string device, point, type;
    if (!(fields >> device >> point >> type)) continue;
    point = UnescapeMountField(point);
    bool prefix = target.compare(0, point.size(), point) == 0 &&
                  (point == "/" || target.size() == point.size() || target[point.size()] == '/');
    if (prefix && (!best || point.size() >= best->mountPoint.size())) best = MountInfo{point, type};
  }
  return best;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

int LastError() { return errno; }

CString ErrorText(int error) {
  char buffer[256] = {};
  // The GNU form gives a pointer that may or may not be the buffer.
  const char* text = ::strerror_r(error, buffer, sizeof buffer);
  return CString::FromUtf8(text ? text : "");
}

bool PathExists(const std::filesystem::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

int MakeDirectory(const std::filesystem::path& path) { return ::mkdir(path.c_str(), 0755) == 0 ? 0 : errno; }

int CopyFileOver(const std::filesystem::path& source, const std::filesystem::path& target) {
  std::error_code ec;
  std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing, ec);
  if (!ec) return 0;
  return ec.category() == std::generic_category() || ec.category() == std::system_category() ? ec.value() : EIO;
}

bool RemoveFile(const std::filesystem::path& path) { return ::unlink(path.c_str()) == 0; }

int DeleteFileError(const std::filesystem::path& path) { return ::unlink(path.c_str()) == 0 ? 0 : errno; }

int MoveFileNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
  return MoveFileNoReplace(from, to, [](const std::filesystem::path& a, const std::filesystem::path& b) {
    return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_NOREPLACE) == 0 ? 0 : errno;
  });
}

int MoveFileNoReplace(const std::filesystem::path& from, const std::filesystem::path& to, RenameCall renameNoReplace) {
  int error = renameNoReplace(from, to);
  if (error == 0) return 0;
  if (error == EINVAL || error == ENOSYS) {
    // A file system without the no-replace rename: test, then rename.
    if (PathExists(to)) return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
  }
  if (error != EXDEV) return error;
  struct stat st {};
  if (::stat(from.c_str(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EXDEV;
  if (::lstat(to.c_str(), &st) == 0) return EEXIST;  // so what the copy leaves is its own
  std::error_code ec;
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::none, ec);
  if (ec) {
    // A copy that stops part-way leaves what it wrote: no half file may stay behind.
    if (ec != std::errc::file_exists) ::unlink(to.c_str());
    return ec.value() ? ec.value() : EIO;
  }
  if (::unlink(from.c_str()) != 0) {
    error = errno;
    // The original stays where it was: the copy goes again, so nothing is doubled.
    ::unlink(to.c_str());
    return error;
  }
  return 0;
}

int ProbeReadable(const std::filesystem::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  ::close(fd);
  return 0;
}

int WindowsErrorCode(int error) {
  switch (error) {
    case 0: return 0;
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EROFS: return 5;
    case EBUSY: return 32;
    case ENOSPC: return 112;
    case EEXIST: return 183;
    default: return 31;
  }
}

CString UserName() {
  struct passwd entry {};
  struct passwd* found = nullptr;
  std::vector<char> buffer(4096);
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
    return CString::FromUtf8(found->pw_name);
  if (const char* name = ::getenv("USER")) return CString::FromUtf8(name);
  return CString();
}

CString ComputerName() {
  std::string name = HostName().str();
  if (name.size() > 15) name.resize(15);
  return CString(name);
}

CString HostName() {
  char buffer[256] = {};
  if (::gethostname(buffer, sizeof buffer - 1) != 0) return CString();
  return CString(std::string(buffer));
}

std::optional<std::filesystem::path> SearchPath(const std::string& fileName) {
  if (fileName.empty()) return std::nullopt;
  std::vector<std::filesystem::path> folders;
  if (auto program = ProgramFolder()) folders.push_back(*program);
  folders.push_back(".");
  if (const char* path = ::getenv("PATH")) {
    std::string list(path);
    std::size_t start = 0;
    while (start <= list.size()) {
      std::size_t colon = list.find(':', start);
      if (colon == std::string::npos) colon = list.size();
      if (colon > start) folders.emplace_back(list.substr(start, colon - start));
      start = colon + 1;
    }
  }
  for (const auto& folder : folders) {
    std::filesystem::path candidate = folder / fileName;
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      std::error_code ec;
      auto absolute = std::filesystem::absolute(candidate, ec);
      return ec ? candidate : absolute.lexically_normal();
    }
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> CreateUniqueTempFile(const std::string& prefix) {
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
  if (ec) return std::nullopt;
  std::string pattern = (folder / (prefix + "XXXXXX")).string();
  int fd = ::mkstemp(pattern.data());
  if (fd < 0) return std::nullopt;
  ::close(fd);
  return std::filesystem::path(pattern);
}

DriveType GetDriveType(const CString& root, const path::DriveTable& drives) {
  if (root.IsEmpty()) return DriveType::noRootDir;
  const std::filesystem::path* folder = drives.Lookup(root[0]);
  if (!folder || !PathExists(*folder)) return DriveType::noRootDir;
  auto mount = MountOf(*folder);
  if (!mount) return DriveType::unknown;
  const std::string& type = mount->fsType;
  if (type == "iso9660" || type == "udf") return DriveType::cdrom;
  if (type == "tmpfs" || type == "ramfs") return DriveType::ramDisk;
  if (type == "nfs" || type == "nfs4" || type == "cifs" || type == "smb3" || type == "sshfs" || type == "fuse.sshfs")
    return DriveType::remote;
  bool mediaMount = StartsWith(mount->mountPoint, "/media/") || StartsWith(mount->mountPoint, "/run/media/");
  if (mediaMount && (type == "vfat" || type == "exfat" || type == "msdos" || type == "fuseblk"))
    return DriveType::removable;
  return DriveType::fixed;
}

std::vector<CString> LogicalDriveStrings(const path::DriveTable& drives) {
  std::vector<CString> out;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (drives.Lookup(letter)) out.push_back(CString(std::string{letter, ':', '\\'}));
  }
  return out;
}

}  // namespace tvn::sys
