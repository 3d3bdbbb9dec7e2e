// [register.control]: loading each library from the system folder and calling its registration export.
#include "setuptools/common/control_registration.h"

#include <system_error>

#include "platform/sys/dynamic_library.h"
#include "platform/sys/windows_locations.h"

bool RegisterServer(const std::filesystem::path& library) {
  CDynamicLibrary module;
  if (!module.LoadHostPath(library)) return false;
  using RegisterFunction = long (*)();
  auto function = reinterpret_cast<RegisterFunction>(module.GetProcAddress("DllRegisterServer"));
  if (!function) return false;
  function();
  return true;
}

bool RegisterControls(const CInfReader& script, const MacroFolders& folders, const tvn::path::DriveTable& drives) {
  const char* first = script.GetSection("register.control");
  if (!first) return false;
  auto system = ScriptPathToHost(folders.system, drives);
  if (!system) return true;
  for (const char* line = first; line; line = script.NextLine(line)) {
    CString name = ExpandMacros(CInfReader::GetField(line, 1), folders);
    if (name.IsEmpty()) continue;
    // A name already made absolute by "<sysdir>" is taken as it is.
    bool absolute = name[0] == '/' || name[0] == '\\' || (name.GetLength() >= 2 && name[1] == ':');
    auto path = ScriptPathToHost(absolute ? name : AppendPath(HostToScriptPath(*system), name), drives);
    std::error_code ec;
    if (!path || !tvn::sys::IsInsideRoots(*path, {*system}) || !std::filesystem::is_regular_file(*path, ec)) continue;
    RegisterServer(*path);
  }
  return true;
}
