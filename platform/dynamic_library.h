// CDynamicLibrary: a shared library loaded by the name a course gives, with its entry points looked up.
#pragma once

#include <filesystem>

#include "platform/cstring.h"
#include "platform/win_types.h"

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
  void Free();
  bool IsLoaded() const { return m_handle != nullptr; }

  // The entry point of that exported name, or null.
  void* GetProcAddress(const char* name) const;
  void* GetProcAddressByOrdinal(WORD) const { return nullptr; }

 private:
  void* m_handle = nullptr;
};
