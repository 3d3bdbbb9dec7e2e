// Running the custom programs and library exports of a setup script.
#include "setuptools/common/program_runner.h"

#include <system_error>

#include "platform/base/codepage.h"
#include "platform/sys/dynamic_library.h"
#include "platform/user/message_box_types.h"
#include "platform/sys/process.h"
#include "platform/user/wait_rule.h"

namespace {

bool IsLibraryName(std::string_view name) {
  std::string upper = tvn::codepage::UpperAscii(name);
  if (upper.find(".DLL") != std::string::npos) return true;
  std::size_t so = upper.rfind(".SO");
  return so != std::string::npos && (so + 3 == upper.size() || upper[so + 3] == '.');
}

bool IsExecutable(const std::filesystem::path& file) {
  std::error_code ec;
  auto status = std::filesystem::status(file, ec);
  if (ec || !std::filesystem::is_regular_file(status)) return false;
  using std::filesystem::perms;
  return (status.permissions() & (perms::owner_exec | perms::group_exec | perms::others_exec)) != perms::none;
}

// The program file of field 1: as named, or without a ".exe" that does not
// exist ("tvnrun.exe" finds Tvnrun).
std::optional<std::filesystem::path> FindProgramFile(const CString& name, const tvn::path::DriveTable& drives) {
  std::error_code ec;
  auto path = ScriptPathToHost(name, drives);
  if (path && std::filesystem::is_regular_file(*path, ec)) return path;
  if (name.GetLength() > 4 && name.Right(4).CompareNoCase(".exe") == 0) {
    auto bare = ScriptPathToHost(name.Left(name.GetLength() - 4), drives);
    if (bare && std::filesystem::is_regular_file(*bare, ec)) return bare;
  }
  return std::nullopt;
}

int CallLibrary(const ProgramRunContext& context, const std::filesystem::path& file, const CString& exportName,
                bool& called) {
  called = false;
  CDynamicLibrary library;
  if (!library.LoadHostPath(file)) return 0;
  using Entry = int (*)(void*, const char*);
  auto entry = reinterpret_cast<Entry>(library.GetProcAddress(exportName.GetString()));
  if (!entry) return 0;
  called = true;
  return entry(context.window, context.folders.install.GetString());
}

}  // namespace

std::vector<std::string> SplitArguments(const CString& rawField, const MacroFolders& folders) {
  std::string_view text = rawField.view();
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"' &&
      text.substr(1, text.size() - 2).find('"') == std::string_view::npos) {
    text = text.substr(1, text.size() - 2);
  }
  std::vector<std::string> pieces;
  std::string piece;
  bool quoted = false, any = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (any || !piece.empty()) pieces.push_back(std::move(piece));
      piece.clear();
      any = false;
    } else {
      piece += c;
    }
  }
  if (any || !piece.empty()) pieces.push_back(std::move(piece));
  for (auto& p : pieces) p = ExpandMacros(CString(p), folders).str();
  return pieces;
}

bool RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments, bool wait,
                tvn::sys::ChildReaper& reaper) {
  auto result = wait ? RunProgramAndWait(program, arguments, reaper) : tvn::sys::StartProcess(program, arguments, reaper);
  return result.started;
}

int RunPrograms(const ProgramRunContext& context, std::string_view suffix) {
  std::string section = "run.program." + std::string(suffix);
  const char* first = context.script.GetSection(section);
  if (!first) return RunResult::kNoSection;
  for (const char* line = first; line; line = context.script.NextLine(line)) {
    CString name = ExpandMacros(CInfReader::GetField(line, 1), context.folders);
    CString second = CInfReader::GetField(line, 2);
    // "WAIT" holds for its own line only.
    bool wait = tvn::codepage::UpperAscii(CInfReader::GetField(line, 3).view()).find("WAIT") != std::string::npos;

    auto file = FindProgramFile(name, context.services.Drives());
    if (!file) {
      context.services.SetupMessage(SetupString::kCustomProgram, MB_ICONHAND);
      continue;
    }
    if (IsLibraryName(name.view()) || IsLibraryName(file->filename().string())) {
      bool called = false;
      int answer = CallLibrary(context, *file, second, called);
      if (!called) {
        context.services.SetupMessage(SetupString::kCustomProgram, MB_ICONHAND);
        continue;
      }
      if (answer == RunResult::kExit || answer == RunResult::kBack) return answer;
    } else if (tvn::codepage::UpperAscii(name.view()).find(".EXE") != std::string::npos || IsExecutable(*file)) {
      auto arguments = SplitArguments(CInfReader::GetRawField(line, 2), context.folders);
      if (!RunProgram(*file, arguments, wait, context.services.Reaper())) {
        context.services.SetupMessage(
            FormatSetupString(context.services.Program(), SetupString::kRunProgram, name), MB_OK);
      }
    }
  }
  return RunResult::kRan;
}
