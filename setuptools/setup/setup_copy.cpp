// The copy step: disks and sections, entry paths, one file by plain copy or version install, errors and disk prompts.
#include "setuptools/setup/setup_app.h"

#include <cctype>
#include <chrono>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>

#include "platform/base/codepage.h"
#include "platform/base/exceptions.h"
#include "platform/user/message_box_types.h"
#include "platform/sys/staged_file.h"
#include "setuptools/common/copy_error_text.h"
#include "setuptools/common/lz_expand.h"
#include "setuptools/common/setup_strings.h"
#include "setuptools/common/split_files.h"
#include "setuptools/common/version_checks.h"
#include "setuptools/common/version_install.h"

namespace {

namespace fs = std::filesystem;

// "NAME" somewhere after the first character.
bool ContainsAfterFirst(std::string_view upper, std::string_view what) {
  return upper.size() > 1 && upper.find(what, 1) != std::string_view::npos;
}

CString WithSlash(const fs::path& folder) {
  std::string text = folder.string();
  if (text.empty() || text.back() != '/') text += '/';
  return CString(text);
}

std::string StripTrailingSeparator(std::string text) {
  while (text.size() > 1 && (text.back() == '\\' || text.back() == '/')) text.pop_back();
  return text;
}

}  // namespace

CSetupApp::CSetupApp(CSetupServices& services, const CInfReader& script, CUninstallLog& log, ICopyUi& ui, Setup setup)
    : m_services(services), m_script(script), m_log(log), m_ui(ui), m_setup(std::move(setup)) {
  m_destination = WithSlash(m_setup.installDirectory);
  m_savedInstall = m_destination;
}

MacroFolders CSetupApp::Macros() const {
  MacroFolders folders;
  folders.destination = m_destination;
  folders.source = WithSlash(m_setup.sourceDirectory);
  folders.windows = CString(m_setup.locations.windowsDir.string());
  folders.system = CString(m_setup.locations.systemDir.string());
  folders.install = m_savedInstall;
  return folders;
}

long long CSetupApp::CountAllFiles() const {
  long long count = 0;
  for (const char* section : {"windows.files", "system.files", "default.files"}) {
    count += m_script.CountFiles(m_script.GetSection(section));
  }
  for (const CString& section : m_setup.componentSections) count += m_script.CountFiles(m_script.GetSection(section.view()));
  return count;
}

bool CSetupApp::CopyAllDisks() {
  m_copyStopped = false;
  m_savedInstall = WithSlash(m_setup.installDirectory);
  m_ui.SetGaugeRange(CountAllFiles());
  // A script without [disks] (or an empty one) still has its first disk.
  const long long disks = std::max(1LL, m_script.CountFiles(m_script.GetSection("disks")));
  for (long long n = 1; n <= std::min(disks, 98LL); ++n) {
    m_disk = static_cast<int>(n);
    m_destination = m_savedInstall;
    if (!CopySection("default.files", 0)) return false;
    m_destination = WithSlash(m_setup.locations.windowsDir);
    if (!CopySection("windows.files", EntryFlag::kWindowsOrSystem)) return false;
    m_destination = WithSlash(m_setup.locations.systemDir);
    if (!CopySection("system.files", EntryFlag::kWindowsOrSystem)) return false;
    m_destination = m_savedInstall;
    for (const CString& section : m_setup.componentSections) {
      if (!CopySection(section, 0)) return false;
    }
  }
  if (!JoinSplitFiles()) return false;
  m_log.LogOwnPath();
  return true;
}

bool CSetupApp::CopySection(const CString& section, unsigned internalBits) {
  for (const char* line = m_script.GetSection(section.view()); line; line = m_script.NextLine(line)) {
    m_flags = internalBits;
    const CString field1 = CInfReader::GetField(line, 1);
    const std::string_view text = field1.view();
    std::size_t digits = 0;
    while (digits < text.size() && digits < 9 && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
    if (digits == 0 || std::stoi(std::string(text.substr(0, digits))) != m_disk) continue;
    const CString field2 = ExpandMacros(CInfReader::GetField(line, 2), Macros());
    const std::string flags = tvn::codepage::UpperAscii(CInfReader::GetField(line, 3).view());
    const std::pair<const char*, unsigned> words[] = {{"CHECK", EntryFlag::kCheck},           {"OKINUSE", EntryFlag::kOkInUse},
                                                      {"DONT_EXPAND", EntryFlag::kDontExpand}, {"OVERWRITE", EntryFlag::kOverwrite},
                                                      {"SHARE", EntryFlag::kShare},           {"SYSTEM", EntryFlag::kSystem}};
    for (const auto& [word, bit] : words) {
      if (flags.find(word) != std::string::npos) m_flags |= bit;
    }
    m_field4 = CInfReader::GetField(line, 4);
    m_field6 = CInfReader::GetField(line, 6);
    const int result = ContainsAfterFirst(tvn::codepage::UpperAscii(text), ".ZIP") ? CopyZipEntry(field1, field2)
                                                                                   : CopyFileEntry(field1, field2);
    if (result != 0) return false;
  }
  return true;
}

std::optional<CString> CSetupApp::ResolveEntryPath(const CString& field) {
  const std::string_view text = field.view();
  std::size_t digits = 0;
  while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
  if (digits == 0) {
    // A host path stays as it is; anything else lies under the drive root.
    if (!text.empty() && text.front() == '/') return field;
    std::string_view rest = text;
    if (rest.size() >= 2 && rest[1] == ':') rest.remove_prefix(2);  // the drive is the drive root's
    while (!rest.empty() && (rest.front() == '\\' || rest.front() == '/')) rest.remove_prefix(1);
    return AppendPath(WithSlash(m_setup.locations.driveRoot), CString(rest));
  }
  if (digits > 2 || digits >= text.size() || text[digits] != ':') return std::nullopt;
  const int number = std::stoi(std::string(text.substr(0, digits)));
  const CString rest(text.substr(digits + 1));
  if (number == 0) return AppendPath(m_destination, rest);
  if (number > 98) return std::nullopt;
  m_entryDisk = number;
  return AppendPath(WithSlash(m_setup.sourceDirectory), rest);
}

int CSetupApp::CopyFileEntry(const CString& field1, const CString& field2) {
  const auto destination = ResolveEntryPath(field2);
  const CString destDir(StripTrailingSeparator(destination ? GetDirectoryPart(*destination).str() : std::string()));
  auto source = ResolveEntryPath(field1);
  if (const EntryFolder folder = MakeEntryFolder(destination ? std::optional(destDir) : std::nullopt, field2);
      !folder.host) {
    return folder.result;
  }
  if (StepProgress(false) == 3) return 18;
  for (;;) {
    int code = 3;
    if (source) code = InstallFile(GetDirectoryPrefix(*source), destDir, GetFileNamePart(*source));
    if (m_copyStopped) return 18;  // stopped within the file: nothing of it stays, nothing is asked
    if (code == 0) return StepProgress(true) == 3 ? 1 : 0;
    if (code == 2 || code == 3) {
      if (PromptForDisk(m_disk) != 1) return code;
      source = ResolveEntryPath(field1);
      continue;
    }
    const int answer = ReportCopyError(code, source ? GetFileNamePart(*source) : field1);
    if (answer == 3 || answer == 2) return code;  // Escape confirmed leaves as Exit does
    if (answer == 4) continue;
    return 0;
  }
}

CSetupApp::EntryFolder CSetupApp::MakeEntryFolder(const std::optional<CString>& folder, const CString& field2) {
  for (;;) {
    if (folder) {
      if (auto host = m_services.WritablePath(*folder); host && m_services.CreateDirectoryChain(*folder)) return {host, 0};
    }
    // Outside the roots or not creatable: an access violation through the copy-error path.
    const int answer = ReportCopyError(5, folder ? *folder : field2);
    if (answer == 4) continue;
    return {std::nullopt, (answer == 3 || answer == 2) ? 5 : 0};
  }
}

int CSetupApp::InstallFile(const CString& sourceDirectory, const CString& destinationDirectory, const CString& sourceName) {
  const auto sourcePath = ScriptPathToHost(AppendPath(sourceDirectory, sourceName), m_services.Drives());
  if (!sourcePath) return 3;
  std::error_code ec;
  if (!fs::is_regular_file(*sourcePath, ec)) return 2;
  const fs::path sourceDir = sourcePath->parent_path();
  const std::string hostName = sourcePath->filename().string();

  // Target name and method.
  std::string targetName = sourceName.str();
  bool versioned = false;
  if (m_field4.IsEmpty() && !targetName.empty() && targetName.back() == '_') {
    std::ifstream in(*sourcePath, std::ios::binary);
    char head[kSzddHeaderSize] = {};
    in.read(head, sizeof head);
    targetName = GetFileNamePart(CString(SzddExpandedName(targetName, std::string_view(head, static_cast<std::size_t>(in.gcount()))))).str();
    versioned = true;
  } else if (!m_field4.IsEmpty()) {
    targetName = m_field4.str();
    versioned = true;
  }
  if (m_flags & EntryFlag::kWindowsOrSystem) versioned = true;
  if (m_flags & EntryFlag::kDontExpand) {
    targetName = sourceName.str();
    versioned = false;
  }
  // The target stays inside the roots (field 4 may hold "..").
  const auto target = m_services.WritablePath(AppendPath(destinationDirectory, CString(targetName)));
  if (!target || target->filename().empty()) return 5;

  fs::path installed = *target;
  if (versioned) {
    bool kept = false;
    const int code = InstallVersioned(sourceDir, hostName, target->parent_path(), target->filename().string(), installed, kept);
    if (code != 0 || kept) return code;
  } else {
    ShowCopyNames(CString(sourcePath->string()), CString(target->string()));
    RemoveStaleStagedFilesOnce(target->parent_path());
    if (fs::exists(*target, ec)) {
      if (!ShouldReplaceFile(*sourcePath, *target)) return 0;
      // A running program is never written, not even by a rename over it.
      if (tvn::sys::IsFileInUse(*target)) return (m_flags & EntryFlag::kOkInUse) ? 0 : 32;
    }
    if (const int cause = CopyFileData(*sourcePath, *target)) return cause;
  }
  LogInstalled(installed);
  return 0;
}

int CSetupApp::InstallVersioned(const fs::path& sourceDir, const std::string& sourceName, const fs::path& targetDir,
                                const std::string& targetName, fs::path& target, bool& kept) {
  using namespace VersionInstallBit;
  fs::path directory = targetDir;
  if (m_flags & EntryFlag::kSystem) directory = FindSharedFileDirectory(targetName, m_setup.locations, targetDir);
  target = directory / targetName;
  ShowCopyNames(CString((sourceDir / sourceName).string()), CString(target.string()));
  RemoveStaleStagedFilesOnce(directory);
  const tvn::sys::CopyProgress progress = ChunkProgress();
  const VersionInstallResult result = VersionInstallFile(false, sourceDir, sourceName, directory, targetName, progress);
  if (const auto failure = VersionInstallFailure(result)) return *failure;
  const unsigned bits = result.bits;
  if (bits & kFileInUse) {
    if (m_flags & (EntryFlag::kShare | EntryFlag::kSystem)) {
      kept = true;  // either way nothing is logged
      if (IsOlderThanVersion(target, m_field6)) {
        if (!ScheduleRename(result.temporary, target)) return RemoveStagedCopy(result), 5;
        return 0;
      }
      return RemoveStagedCopy(result), 0;
    }
    RemoveStagedCopy(result);
    kept = true;  // with OKINUSE the running file stays as it is: nothing was written, nothing is logged
    return (m_flags & EntryFlag::kOkInUse) ? 0 : 32;
  }
  if (bits & kMismatch) {
    RemoveStagedCopy(result);
    kept = true;
    if (!(m_flags & EntryFlag::kCheck)) return 0;
    const UINT question = (bits & kSourceOld) ? SetupString::kNewerVersion : SetupString::kMismatch;
    const int answer = m_services.SetupMessage(FormatSetupString(SetupProgram::kSetup, question, CString(targetName)),
                                               MB_YESNO | MB_ICONHAND | MB_DEFBUTTON2);
    if (answer != IDYES) return 0;
    const VersionInstallResult forced =
        VersionInstallFile(true, sourceDir, sourceName, directory, targetName, progress);
    if (const auto failure = VersionInstallFailure(forced); failure && *failure == 18) return 18;
    RemoveStagedCopy(forced);
    if (forced.bits & kFileInUse) return (m_flags & EntryFlag::kOkInUse) ? 0 : 32;
    if (forced.bits) return 5;
    kept = false;
  }
  return 0;
}

void CSetupApp::LogInstalled(const fs::path& target) {
  m_services.NoteWritten(target);
  const std::string upper = tvn::codepage::UpperAscii(target.filename().string());
  if (IsSplitPieceName(upper)) m_pieces.push_back(target);
  if (m_flags & EntryFlag::kWindowsOrSystem) return;
  if (upper.find("TVN_DEIN.EXE") != std::string::npos) return;
  m_log.LogLine(HostToScriptPath(target));
}

bool CSetupApp::ScheduleRename(const fs::path& staged, const fs::path& target) {
  // Nothing here waits for a restart: the staged copy replaces the target at
  // once, and the running program keeps its old file until it ends.
  return static_cast<bool>(tvn::sys::ReplaceFile(staged, target, ChunkProgress()));
}

void CSetupApp::RemoveStaleStagedFilesOnce(const fs::path& folder) {
  if (m_sweptFolders.insert(folder).second) tvn::sys::RemoveStaleStagedFiles(folder);
}

int CSetupApp::CopyFileData(const fs::path& source, const fs::path& target) {
  bool readFailed = false;
  const tvn::sys::FileOpResult result = tvn::sys::CopyFileStaged(source, target, &readFailed, ChunkProgress());
  if (result) return 0;
  if (m_copyStopped) return 18;  // the staged copy is gone; nothing to report
  if (readFailed && result.cause == CFileException::fileNotFound) return 2;
  if (result.cause == CFileException::genericException && result.osError == ENOMEM) {
    m_services.ReportMemoryError();
    return 1;
  }
  m_services.ReportFileError(HostToScriptPath(readFailed ? source : target), result.cause, !readFailed,
                             readFailed ? SetupString::kReadSharing : SetupString::kCannotOpen);
  return result.cause;
}

void CSetupApp::ShowCopyNames(const CString& source, const CString& target) {
  m_ui.ShowNames(CString(tvn::codepage::UpperAscii(source.view())), CString(tvn::codepage::UpperAscii(target.view())));
}

int CSetupApp::StepProgress(bool advance) {
  if (advance) m_ui.StepGauge();
  return PumpMessages() ? 5 : 3;
}

bool CSetupApp::CopyChunk(std::size_t bytes) {
  if (m_sourceRate > 0) {
    std::this_thread::sleep_for(std::chrono::microseconds(bytes * 1'000'000 / m_sourceRate));
  }
  if (!m_copyStopped && !PumpMessages()) m_copyStopped = true;
  return !m_copyStopped;
}

tvn::sys::CopyProgress CSetupApp::ChunkProgress() {
  return [this](std::size_t bytes) { return CopyChunk(bytes); };
}

bool CSetupApp::PumpMessages() {
  const bool quit = !m_ui.DispatchPending();
  if (quit || m_ui.IsCopyCancelled()) return false;
  if (m_ui.IsF3Pressed() && m_ui.AskExit()) return false;
  return true;
}

int CSetupApp::ReportCopyError(int code, const CString& fileName) {
  // The destination's own file system decides whether the disk is full.
  const CString text = CopyErrorText(SetupProgram::kSetup, code, fileName, fs::path(m_destination.str()));
  if (m_services.IsSilent()) {
    m_services.WriteSetupLog(text);
    ++m_skippedFiles;  // the closing line of setup.log counts them
    return 5;
  }
  return m_ui.FileCopyErrorDialog(text);
}

int CSetupApp::PromptForDisk(int disk) {
  const CString text = m_script.GetString("disks." + std::to_string(disk));
  if (m_services.IsSilent()) {
    m_services.WriteSetupLog(CString("Install needs the following disk: " + text.str()));
    return 2;
  }
  CString source(m_setup.sourceDirectory.string());
  const int answer = m_ui.DiskDialog(text, source);
  if (answer == 1 && !source.IsEmpty()) {
    m_setup.sourceDirectory = fs::path(source.str());
    m_diskFolders[disk] = m_setup.sourceDirectory;
  }
  return answer;
}
