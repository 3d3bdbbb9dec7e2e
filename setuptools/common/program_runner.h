// The programs and library exports a script runs before and after copying ([run.program.before], [run.program.after]).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sys/child_reaper.h"
#include "platform/base/cstring.h"
#include "setuptools/common/inf_reader.h"
#include "setuptools/common/setup_paths.h"
#include "setuptools/common/setup_services.h"

namespace RunResult {
constexpr int kNoSection = 0;
constexpr int kRan = 1;
constexpr int kExit = 2;    // a library export asked to end the installation
constexpr int kBack = 402;  // a library export asked to go back
}  // namespace RunResult

// What a line of a run section needs of the running setup.
struct ProgramRunContext {
  const CInfReader& script;
  CSetupServices& services;
  const MacroFolders& folders;
  void* window = nullptr;  // handed to library exports as their first argument
};

// Runs the lines of "run.program." + suffix in order. A library (".DLL" or
// ".SO") has the export named by field 2 called as int(window, installDir);
// its 2 or 402 ends the run with that value. A program (".EXE", or any
// executable file) is started with field 2's arguments, never through a
// shell, and waited for when field 3 holds "WAIT". A missing file, library or
// export shows 420 and the next line runs; a program that cannot be started
// shows 457. 0 without the section, else 1.
int RunPrograms(const ProgramRunContext& context, std::string_view suffix);

// Starts the program with the arguments, waiting for its end when asked (else
// the reaper collects its exit); false when it could not be started.
bool RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments, bool wait,
                tvn::sys::ChildReaper& reaper);

// Field 2 of a program line as arguments: one pair of quotes around the
// whole is dropped, the rest is split at blanks outside double quotes (the
// quotes removed), and each argument's macros are expanded after the split,
// so a folder with blanks stays one argument.
std::vector<std::string> SplitArguments(const CString& rawField, const MacroFolders& folders);
