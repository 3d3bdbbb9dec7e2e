// Removing files and empty folders on the host without following links or descending.
#include "setuptools/uninstal/removal_file_system.h"

#include <cerrno>
#include <system_error>

#include "platform/base/exceptions.h"
#include "platform/sys/shell_file_types.h"
#include "platform/sys/windows_locations.h"

namespace fs = std::filesystem;

int CHostRemovalFileSystem::RemoveFile(const fs::path& file) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(file, ec);
  if (ec || !fs::exists(status)) return CFileException::fileNotFound;
  if (fs::is_directory(status)) return CFileException::accessDenied;
  if (!fs::remove(file, ec) || ec) return CFileException::OsErrorToCause(ec ? ec.value() : EACCES);
  return CFileException::none;
}

bool CHostRemovalFileSystem::RemoveDirectory(const fs::path& folder) {
  std::error_code ec;
  if (fs::symlink_status(folder, ec).type() != fs::file_type::directory) return false;
  // remove() takes only an empty folder away: nothing is ever removed recursively.
  return fs::remove(folder, ec) && !ec;
}

std::vector<std::string> CHostRemovalFileSystem::ListDirectory(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  if (fs::symlink_status(folder, ec).type() != fs::file_type::directory) return names;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  return names;
}

bool CHostRemovalFileSystem::Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

bool CHostRemovalFileSystem::RemoveFileType(std::string_view typeId, const std::vector<fs::path>& programs) {
  return tvn::sys::UnregisterShellFileType(typeId, programs, tvn::sys::XdgDataHome());
}
