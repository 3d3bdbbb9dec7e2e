// CDynamicLibrary on dlopen/dlsym.
#include "platform/sys/dynamic_library.h"

#include <dlfcn.h>

#include <optional>
#include <system_error>

#include "platform/base/codepage.h"
#include "platform/base/host_path.h"

namespace {

bool EndsWithDll(std::string_view name) { return name.size() > 4 && tvn::codepage::EndsWithNoCase(name, ".dll"); }

}  // namespace

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

BOOL CDynamicLibrary::LoadBySystemSearch(const std::string& fileName) {
  Free();
  m_handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  return m_handle ? TRUE : FALSE;
}

namespace {

// The file name of a "X.DLL" name without ".dll", with the index where the file name starts.
std::optional<std::pair<std::string, std::size_t>> DllBase(const std::string& text) {
  if (!EndsWithDll(text)) return std::nullopt;
  const std::size_t cut = text.find_last_of("\\/:");
  // The last four characters are ".dll", so the file name starts at or before them.
  const std::size_t start = cut == std::string::npos ? 0 : cut + 1;
  std::string base = text.substr(start, text.size() - 4 - start);
  if (base.empty()) return std::nullopt;
  return std::make_pair(std::move(base), start);
}

}  // namespace

std::optional<std::filesystem::path> CDynamicLibrary::FindMapped(const CString& name,
                                                                 const std::vector<std::filesystem::path>& folders) {
  const std::string text = name.str();
  auto base = DllBase(text);
  if (!base) return std::nullopt;
  const std::vector<std::string> wanted{base->first + ".so", "lib" + base->first + ".so"};
  std::vector<std::filesystem::path> searched;
  if (base->second > 0) {
    if (auto own = tvn::path::MapWindowsPath(CString(text.substr(0, base->second)))) searched.push_back(*own);
  }
  searched.insert(searched.end(), folders.begin(), folders.end());
  for (const auto& folder : searched) {
    const auto found =
        tvn::path::FindNoCase(folder, wanted, tvn::path::NameEncoding::kAnsi, tvn::path::EntryKind::kRegularFile);
    if (found) {
      std::error_code ec;
      auto absolute = std::filesystem::absolute(*found, ec);
      return ec ? *found : absolute;
    }
  }
  return std::nullopt;
}

BOOL CDynamicLibrary::LoadMapped(const CString& name, const std::vector<std::filesystem::path>& folders,
                                 BOOL systemSearch) {
  Free();
  auto base = DllBase(name.str());
  if (!base) return Load(name);
  if (auto found = FindMapped(name, folders); found && LoadHostPath(*found)) return TRUE;
  if (!systemSearch) return FALSE;
  // The system's search takes bare names only: no folder of the course's name reaches it.
  CString lower(base->first);
  lower.MakeLower();
  for (const std::string& candidate :
       {"lib" + base->first + ".so", base->first + ".so", "lib" + lower.str() + ".so", lower.str() + ".so"})
    if (LoadBySystemSearch(candidate)) return TRUE;
  return FALSE;
}

void CDynamicLibrary::Free() {
  if (m_handle) dlclose(m_handle);
  m_handle = nullptr;
}

void* CDynamicLibrary::GetProcAddress(const char* name) const {
  if (!m_handle || !name) return nullptr;
  return dlsym(m_handle, name);
}

CDynamicLibrary* CLibraryTable::Find(const CString& name) const {
  CString key = name;
  key.MakeUpper();
  auto it = m_libraries.find(key.str());
  return it == m_libraries.end() ? nullptr : it->second.get();
}

CDynamicLibrary* CLibraryTable::Load(const CString& name, const std::vector<std::filesystem::path>& folders) {
  if (CDynamicLibrary* loaded = Find(name)) return loaded;
  auto library = std::make_unique<CDynamicLibrary>();
  if (!library->LoadMapped(name, folders)) return nullptr;
  CString key = name;
  key.MakeUpper();
  CDynamicLibrary* raw = library.get();
  m_libraries[key.str()] = std::move(library);
  return raw;
}
