#include "platform/sys/program_module.h"

#include <dlfcn.h>

#include <algorithm>
#include <system_error>

#include "platform/base/host_path.h"

namespace tvn::sys {

CString ModuleFileName() {
  std::filesystem::path exe = ModulePath();
  return exe.empty() ? CString() : path::HostPathToText(exe);
}

std::filesystem::path ModulePath() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe;
}

BOOL SetCurrentDirectory(const CString& folder) {
  if (folder.IsEmpty()) return FALSE;
  std::optional<std::filesystem::path> host = path::MapWindowsPath(folder);
  if (!host) return FALSE;
  std::error_code ec;
  std::filesystem::current_path(*host, ec);
  return ec ? FALSE : TRUE;
}

CString GetCurrentDirectory() {
  std::error_code ec;
  std::filesystem::path here = std::filesystem::current_path(ec);
  return ec ? CString() : path::HostPathToText(here);
}

CString GetFullPathName(const CString& name) {
  if (name.IsEmpty() || name[0] == '/' || name[0] == '\\' || (name.GetLength() > 1 && name[1] == ':')) return name;
  std::error_code ec;
  std::filesystem::path here = std::filesystem::current_path(ec);
  if (ec) return name;
  std::string relative = name.ToUtf8();
  std::replace(relative.begin(), relative.end(), '\\', '/');
  return path::HostPathToText((here / relative).lexically_normal());
}

bool LibraryExports(const std::filesystem::path& library, const std::string& symbol) {
  void* handle = ::dlopen(library.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (!handle) return false;
  const bool found = ::dlsym(handle, symbol.c_str()) != nullptr;
  ::dlclose(handle);
  return found;
}

}  // namespace tvn::sys
