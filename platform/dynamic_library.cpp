// CDynamicLibrary on dlopen/dlsym.
#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <system_error>

#include "platform/host_path.h"

BOOL CDynamicLibrary::Load(const CString& name) {
  Free();
  if (name.IsEmpty()) return FALSE;
  std::string path = name.ToUtf8();
  if (auto mapped = tvn::path::MapWindowsPath(name)) {
    std::error_code error;
    if (std::filesystem::is_regular_file(*mapped, error)) path = std::filesystem::absolute(*mapped, error).string();
  }
  // A file found above is given as an absolute path, so dlopen takes it as
  // it is; a bare name without one is looked up on the library path.
  m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  return m_handle ? TRUE : FALSE;
}

BOOL CDynamicLibrary::LoadHostPath(const std::filesystem::path& path) {
  Free();
  if (path.empty()) return FALSE;
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return FALSE;
  m_handle = dlopen(absolute.c_str(), RTLD_NOW | RTLD_LOCAL);
  return m_handle ? TRUE : FALSE;
}

void CDynamicLibrary::Free() {
  if (m_handle) dlclose(m_handle);
  m_handle = nullptr;
}

void* CDynamicLibrary::GetProcAddress(const char* name) const {
  if (!m_handle || !name) return nullptr;
  return dlsym(m_handle, name);
}
