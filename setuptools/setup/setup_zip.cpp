// The copy step's ZIP entries and the joining of split files after the last disk.
#include "setuptools/setup/setup_app.h"

#include <system_error>

#include "platform/base/codepage.h"
#include "platform/user/message_box_types.h"
#include "setuptools/common/setup_strings.h"
#include "setuptools/common/split_files.h"
#include "setuptools/common/zip_extract.h"

namespace {

namespace fs = std::filesystem;

// The extraction loop's callbacks: the entry's name in the first name field;
// after each entry the messages, F3, the gauge and the cancel flag.
class ExtractHooks : public IZipExtractHooks {
 public:
  ExtractHooks(CSetupApp& app, ICopyUi& ui, int entryDisk) : m_app(app), m_ui(ui), m_entryDisk(entryDisk) {}
  bool Status(const CString& name) override {
    m_ui.ShowNames(name, CString());
    return m_cancelled;
  }
  bool Poll() override {
    if (!m_app.PumpMessages()) m_cancelled = true;
    m_ui.StepGauge();
    return m_cancelled;
  }
  bool KeepCopying(std::size_t bytes) override {
    if (!m_app.CopyChunk(bytes)) m_cancelled = true;
    return !m_cancelled;
  }
  std::optional<fs::path> PromptForZipDisk(int part) override {
    fs::path folder;
    if (m_app.PromptForZipDisk(part, folder) != 1) return std::nullopt;
    return folder;
  }
  std::optional<fs::path> ZipDiskFolder(int part) override { return m_app.DiskFolder(m_entryDisk + part - 1); }

 private:
  CSetupApp& m_app;
  ICopyUi& m_ui;
  int m_entryDisk;
  bool m_cancelled = false;
};

}  // namespace

int CSetupApp::CopyZipEntry(const CString& field1, const CString& field2) {
  const auto destination = ResolveEntryPath(field2);
  const EntryFolder folder =
      MakeEntryFolder(destination ? std::optional(GetDirectoryPart(*destination)) : std::nullopt, field2);
  if (!folder.host) return folder.result;
  const fs::path& destHost = *folder.host;
  auto archive = ResolveEntryPath(field1);
  if (StepProgress(false) == 3) return 18;
  for (;;) {
    const auto archiveHost = archive ? ScriptPathToHost(*archive, m_services.Drives()) : std::nullopt;
    int result = ZipResult::kArchiveMissing;
    m_zipDiskRefused = false;
    if (archiveHost) {
      ShowCopyNames(CString(archiveHost->string()), CString());
      result = UnzipFile(*archiveHost, "*.*", destHost);
    }
    if (result == ZipResult::kArchiveMissing) {
      // A refused disk prompt for a part ends the entry; asking for the
      // current disk, which is in hand, would help nobody.
      if (m_zipDiskRefused || PromptForDisk(m_disk) != 1) return result;
      archive = ResolveEntryPath(field1);
      continue;
    }
    if (result != 0) return result;
    break;
  }
  return StepProgress(true) == 3 ? 1 : 0;
}

int CSetupApp::UnzipFile(const fs::path& archive, const CString& /*fileSpec: always every entry*/, const fs::path& destination) {
  ExtractHooks hooks(*this, m_ui, m_entryDisk);
  ZipExtraction out = ExtractZipArchive(archive, destination, (m_flags & EntryFlag::kOverwrite) != 0, hooks);
  m_zipDiskRefused = out.diskRefused;
  // What was written is logged even when a later entry failed, so the uninstaller finds it.
  for (const fs::path& folder : out.directories) m_services.RecordCreatedDirectory(HostToScriptPath(folder));
  if (m_log.IsOpen()) {
    for (const fs::path& file : out.files) m_log.LogLine(HostToScriptPath(file));
  }
  if (out.result == ZipResult::kDamaged || out.result == ZipResult::kUnsafeName) {
    m_services.SetupMessage(FormatSetupString(SetupProgram::kSetup, SetupString::kReadGeneric, HostToScriptPath(archive)),
                            MB_ICONEXCLAMATION);
    if (!out.error.empty()) m_services.WriteSetupLog(CString(out.error));
  }
  return out.result;
}

int CSetupApp::PromptForZipDisk(int part, fs::path& folder) {
  const int disk = m_entryDisk + part - 1;
  const CString text = m_script.GetString("disks." + std::to_string(disk));
  const auto known = DiskFolder(disk);
  CString source((known ? *known : m_setup.sourceDirectory).string());
  const int answer = m_ui.DiskDialog(text, source);
  if (answer != 1 || source.IsEmpty()) return answer == 1 ? 2 : answer;
  folder = fs::path(source.str());
  m_diskFolders[disk] = folder;
  return 1;
}

std::optional<fs::path> CSetupApp::DiskFolder(int disk) const {
  const auto it = m_diskFolders.find(disk);
  if (it == m_diskFolders.end()) return std::nullopt;
  return it->second;
}

bool CSetupApp::JoinSplitFiles() {
  for (const fs::path& piece : m_pieces) {
    const SplitJoin join = JoinSplitFile(piece, ChunkProgress());
    if (join.status == SplitJoin::Status::kSkipped) continue;
    if (join.status == SplitJoin::Status::kStopped) return false;
    if (join.status == SplitJoin::Status::kFailed) {
      m_services.ReportFileError(HostToScriptPath(join.failedFile), join.cause, join.writing, SetupString::kReadGeneric);
      return false;
    }
    const std::string upper = tvn::codepage::UpperAscii(join.joined.filename().string());
    std::error_code ec;
    const fs::path folder = join.joined.parent_path();
    if (upper.size() > 4 && upper.ends_with(".ZIP")) {
      const int result = UnzipFile(join.joined, "*.*", folder);
      fs::remove(join.joined, ec);
      if (result != 0) return false;
    } else if (upper.ends_with("_")) {
      m_flags = 0;
      m_field4 = CString();
      const CString dir = HostToScriptPath(folder);
      const int result = InstallFile(dir, dir, CString(join.joined.filename().string()));
      fs::remove(join.joined, ec);
      if (result != 0) {
        if (!m_copyStopped) ReportCopyError(result, CString(join.joined.filename().string()));
        return false;
      }
    } else {
      m_log.LogLine(HostToScriptPath(join.joined));
    }
  }
  return true;
}
