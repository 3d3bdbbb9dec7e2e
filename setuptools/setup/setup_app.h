// CSetupApp: the installation state of setup: start-up, the two step sequences, the checks, the components and the copy step.
#pragma once

#include <array>
#include <filesystem>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <string>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/sys/copy_progress.h"
#include "platform/sys/odbc_installer.h"
#include "platform/sys/windows_locations.h"
#include "setuptools/common/inf_reader.h"
#include "setuptools/common/progman_client.h"
#include "setuptools/common/setup_paths.h"
#include "setuptools/common/setup_services.h"
#include "setuptools/common/uninstall_log.h"
#include "setuptools/setup/copy_ui.h"
#include "setuptools/setup/setup_wizard.h"

// Flag words of field 3, each found anywhere in the upper-cased field.
namespace EntryFlag {
inline constexpr unsigned kCheck = 1;
inline constexpr unsigned kOkInUse = 2;
inline constexpr unsigned kDontExpand = 4;
inline constexpr unsigned kOverwrite = 8;
inline constexpr unsigned kShare = 16;
inline constexpr unsigned kSystem = 32;
inline constexpr unsigned kWindowsOrSystem = 64;  // set for [windows.files] and [system.files]: version install, never logged
}  // namespace EntryFlag

class CSetupApp {
 public:
  struct Setup {
    std::filesystem::path sourceDirectory;   // where the disks' files are read
    std::filesystem::path installDirectory;  // the product's folder
    tvn::sys::WindowsLocations locations;
    std::vector<CString> componentSections;  // the selected components' file lists, in table order
  };
  CSetupApp(CSetupServices& services, const CInfReader& script, CUninstallLog& log, ICopyUi& ui, Setup setup);

  // --- Start-up ---
  struct CommandLine {
    bool silent = false;
    CString sourceDirectory;  // empty: the module directory
  };
  // "s" less one leading '-' or '/', in any case.
  static bool IsSwitch(std::string_view argument);
  // The first argument may be the silent switch; the other arguments, joined
  // by blanks, name the source directory. A switch and a folder are read
  // apart, so "-s /media/cd" is silent with that source.
  static CommandLine ParseCommandLine(const std::vector<CString>& arguments);
  // Caption, background title and install directory from the loaded script.
  void InitInstance();
  const CString& Caption() const { return m_caption; }
  const CString& BackgroundTitle() const { return m_backgroundTitle; }
  // The install directory as the user sees and edits it (a host path).
  const CString& InstallDirectoryText() const { return m_installText; }
  void SetInstallDirectoryText(const CString& text) { m_installText = text; }

  // --- The sequences; each returns the exit status: 0 complete, 1 after
  // 435, 2 after a silent run that skipped files after copy errors. ---
  int RunInteractive(ISetupWizard& wizard);
  int RunSilent();
  // Room on the install directory's file system (its nearest existing folder).
  bool CheckDiskSpace();
  std::uint64_t RequiredBytes() const { return m_requiredBytes; }
  // True when the computer should restart now (455 answered OK); nothing
  // here restarts it.
  bool CheckRestart();
  // Checks and makes the install directory (442 when it is refused).
  bool CreateInstallDirectory();
  int SkippedFiles() const { return m_skippedFiles; }

  // --- Components and terms ---
  void ReadCustomDialog();
  std::vector<SetupComponent>& Components() { return m_components; }
  std::int64_t GetComponentsSize() const;
  long long CountComponentFiles() const;
  bool HasTerms() const;
  // The text of the terms file, or nothing when the step passes as accepted
  // (no file, an empty one, one over 1 MiB; an unreadable one after its message).
  std::optional<CString> LoadTerms();

  // Every disk in turn, then the split files, then UNINSTAL.INF's own line;
  // true when every entry succeeded.
  bool CopyAllDisks();
  long long CountAllFiles() const;
  bool CopySection(const CString& section, unsigned internalBits);
  // Field text as a host path; nothing when it names no usable location.
  std::optional<CString> ResolveEntryPath(const CString& text);
  int CopyFileEntry(const CString& field1, const CString& field2);
  int InstallFile(const CString& sourceDirectory, const CString& destinationDirectory, const CString& sourceName);
  // Replaces target with the staged copy at once; the rename-at-reboot flag is never set.
  bool ScheduleRename(const std::filesystem::path& staged, const std::filesystem::path& target);
  int StepProgress(bool advance);
  bool PumpMessages();
  // Between two chunks of a file being copied, expanded, joined or
  // extracted: the messages, so the windows answer and Cancel, F3 and the
  // session's end are seen within the chunk in hand. False once the copy is
  // stopped (the entry then ends with 18 and leaves nothing of its file).
  bool CopyChunk(std::size_t bytes);
  // CopyChunk for the copying routines.
  tvn::sys::CopyProgress ChunkProgress();
  // Tests stand in for a slow medium (a CD, a USB stick): each chunk takes
  // at least the time it would at this rate (bytes a second; 0: no limit).
  void SetSourceRate(std::uint64_t bytesPerSecond) { m_sourceRate = bytesPerSecond; }
  int ReportCopyError(int code, const CString& fileName);
  int PromptForDisk(int disk);
  bool JoinSplitFiles();
  // 0 copied, else the file-exception cause (with its message shown).
  int CopyFileData(const std::filesystem::path& source, const std::filesystem::path& target);
  void ShowCopyNames(const CString& source, const CString& target);

  // ZIP archives.
  int CopyZipEntry(const CString& field1, const CString& field2);
  int UnzipFile(const std::filesystem::path& archive, const CString& fileSpec, const std::filesystem::path& destination);
  // The library is linked in: always there.
  bool LoadUnzipLibrary() const { return true; }
  // Part a (from 1) of a split archive: the disk dialog for disk (the
  // entry's disk + a - 1), in a silent run too (its copy step's windows
  // cannot make one and answer Exit). 1 when the user gave a folder, which
  // is then remembered for that disk.
  int PromptForZipDisk(int part, std::filesystem::path& folder);
  // The folder last given for a disk, by either disk dialog.
  std::optional<std::filesystem::path> DiskFolder(int disk) const;

  // System entries (setup_system_entries.cpp): program groups, INI and
  // registry values, ODBC data sources. Marks "check" items whose program
  // exists before copying; false without [progman.groups].
  bool MarkExistingItems();
  // The groups and items of [progman.groups]; false without the section.
  bool CreateProgramGroups();
  void AddProgmanItem(CProgmanClient& client, const CString& program, const CString& argument, const CString& name,
                      const CString& icon, int iconIndex);
  // [ini.files] and [registry]; false when the section is missing.
  bool WriteIniFiles();
  bool WriteRegistry();
  // [ODBC Data Sources]: true without it or when every source was made.
  bool InstallOdbc();
  // The "DSN=name|key=value|..." list with macros expanded and '|' made NUL.
  std::string OdbcAttributes(const CString& name);
  // Program Manager's stand-in (the menu-entry service when none is set).
  void SetProgmanTransport(IProgmanTransport* transport) { m_progman = transport; }
  void SetOdbcLibrary(std::string library) { m_odbcLibrary = std::move(library); }

  bool RenameAtReboot() const { return m_renameAtReboot; }
  const std::vector<std::filesystem::path>& SplitPieces() const { return m_pieces; }

 private:
  MacroFolders Macros() const;
  int InstallVersioned(const std::filesystem::path& sourceDir, const std::string& sourceName,
                       const std::filesystem::path& targetDir, const std::string& targetName, std::filesystem::path& target,
                       bool& kept);
  void LogInstalled(const std::filesystem::path& target);
  // Before the first file this run writes into a folder: the staged files
  // of a run that was killed there go.
  void RemoveStaleStagedFilesOnce(const std::filesystem::path& folder);
  // An entry's destination folder (nothing when field 2 named no usable
  // location) made with its parents. When it cannot be made, or lies outside
  // the roots, the copy-error box with code 5 for it: Retry tries again; Exit
  // (or a confirmed Escape) leaves no folder and result 5, Ignore none and
  // result 0 (the entry is skipped).
  struct EntryFolder {
    std::optional<std::filesystem::path> host;
    int result = 0;
  };
  EntryFolder MakeEntryFolder(const std::optional<CString>& folder, const CString& field2);
  // The sequences' shared steps.
  enum class Step { kStartup, kTerms, kOptions, kDirectory, kDiskSpace, kCreate, kBefore, kCopy };
  int TermsStep(ISetupWizard& wizard);
  void AppendSeparator();
  bool CopyAndRegister(ISetupWizard* wizard);
  void WriteLogTail();
  int Fail();
  int Finish(int status);

  CSetupServices& m_services;
  const CInfReader& m_script;
  CUninstallLog& m_log;
  ICopyUi& m_ui;
  Setup m_setup;

  int m_disk = 1;        // the disk in hand, from 1
  int m_entryDisk = 1;   // the disk of the entry in hand
  std::map<int, std::filesystem::path> m_diskFolders;  // the folder last given for each disk
  bool m_zipDiskRefused = false;  // the last extraction ended at a refused disk prompt
  CString m_destination;  // the current destination directory, ending in '/'
  CString m_savedInstall;
  unsigned m_flags = 0;
  CString m_field4, m_field6;
  std::vector<std::filesystem::path> m_pieces;
  bool m_renameAtReboot = false;
  bool m_copyStopped = false;     // the user or the session stopped the copy within a file
  std::uint64_t m_sourceRate = 0;
  std::set<std::filesystem::path> m_sweptFolders;  // folders rid of stale staged files this run

  CString m_caption, m_backgroundTitle;
  CString m_installText;
  std::vector<SetupComponent> m_components;
  std::uint64_t m_requiredBytes = 0;
  int m_skippedFiles = 0;    // copy errors ignored in silent mode
  bool m_copied = false;     // every disk copied (UNINSTAL.INF names itself)
  bool m_tailWritten = false;
  // System entries.
  MacroFolders InstallMacros() const;
  std::array<std::array<bool, 20>, 5> m_existingItems{};  // (group, item) marks of "check" items
  IProgmanTransport* m_progman = nullptr;
  std::string m_odbcLibrary = tvn::sys::kOdbcInstallerLibrary;
};
