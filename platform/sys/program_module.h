// The running program's own file, the process's current directory and a look
// into shared libraries: what the application object asks of the system at
// start-up.
#pragma once

#include <filesystem>
#include <string>

#include "platform/base/cstring.h"

namespace tvn::sys {

// The running program's path as 8-bit text ('/' separators); empty when the
// system does not say.
CString ModuleFileName();
// The running program's host path (UTF-8, nothing lost); empty when the system does not say.
std::filesystem::path ModulePath();

// Makes the folder the process's current directory. The name may be a host
// path or a Windows-style one (mapped through the drive table, matched
// without regard to case). FALSE when the folder cannot be entered.
BOOL SetCurrentDirectory(const CString& folder);
// The process's current directory as 8-bit text ('/' separators).
CString GetCurrentDirectory();
// The full name of a file, as documents are named when opened: a relative
// name is taken from the current directory with "." and ".." folded away.
// A name with a drive letter or a leading separator stays as it is.
CString GetFullPathName(const CString& name);

// Whether the shared library at the path loads and exports the symbol. The
// library is unloaded again before returning.
bool LibraryExports(const std::filesystem::path& library, const std::string& symbol);

}  // namespace tvn::sys
