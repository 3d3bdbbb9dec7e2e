// CDynamicLibrary: a shared library loaded by the name a course gives, with its entry points looked up.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

// Only native shared libraries load: a Windows library file fails to load,
// and entry points by ordinal, which only Windows libraries have, are never
// found. Callers take their path for a missing library then.
class CDynamicLibrary {
 public:
  CDynamicLibrary() = default;
  ~CDynamicLibrary() { Free(); }
  CDynamicLibrary(const CDynamicLibrary&) = delete;
  CDynamicLibrary& operator=(const CDynamicLibrary&) = delete;

  // The name is Windows-style or a host path; a bare name that is no file
  // goes to the system's library search. FALSE when it cannot be loaded.
  BOOL Load(const CString& name);
  // A library named by its host path (UTF-8), taken as it is.
  BOOL LoadHostPath(const std::filesystem::path& path);
  // A course's library name: "X.DLL" (any case) stands for "X.so" and
  // "libX.so", found without regard to case in the name's own folder, then in
  // each of the folders given, then by the system's library search (as
  // written and in lower case, unless systemSearch is FALSE). Other names
  // load as Load does.
  BOOL LoadMapped(const CString& name, const std::vector<std::filesystem::path>& folders, BOOL systemSearch = TRUE);
  // The file LoadMapped would load from the name's own folder or the folders given; nothing when none is there.
  static std::optional<std::filesystem::path> FindMapped(const CString& name,
                                                         const std::vector<std::filesystem::path>& folders);
  void Free();
  bool IsLoaded() const { return m_handle != nullptr; }

  // The entry point of that exported name, or null.
  void* GetProcAddress(const char* name) const;
  void* GetProcAddressByOrdinal(WORD) const { return nullptr; }

 private:
  // A bare file name, found by the system's library search.
  BOOL LoadBySystemSearch(const std::string& fileName);

  void* m_handle = nullptr;
};

// The libraries loaded by name for the whole run: what the system's module
// lookup answers for a library already loaded. They stay loaded until the
// table goes.
class CLibraryTable {
 public:
  // The loaded library of that name (compared without case), or null.
  CDynamicLibrary* Find(const CString& name) const;
  // Loads it with LoadMapped unless it is loaded already; null when it does not load.
  CDynamicLibrary* Load(const CString& name, const std::vector<std::filesystem::path>& folders);

 private:
  std::map<std::string, std::unique_ptr<CDynamicLibrary>> m_libraries;
};
