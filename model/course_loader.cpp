// Opening a course file: name rules, header checks, the object sequence, the backup and old-format conversion.
#include <algorithm>

#include "model/archive.h"
#include "model/course_doc.h"
#include "model/data_file.h"
#include "model/file_error_report.h"
#include "model/message_service.h"
#include "model/path_helpers.h"
#include "model/string_table.h"
#include "model/variable_context.h"
#include "platform/base/codepage.h"
#include "platform/sys/file.h"
#include "platform/base/host_path.h"
#include "platform/sys/process.h"
#include "platform/user/wait_cursor.h"

namespace {

constexpr int kMaxPromptPath = 260;
constexpr int kMinSearchPath = 3;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsCourseMessage(int cause) {
  return cause == static_cast<int>(StringId::kNotACourse) || cause == static_cast<int>(StringId::kOldVersion) ||
         cause == static_cast<int>(StringId::kNewerVersion) || cause == static_cast<int>(StringId::kWideCourse);
}

// The same name with a new extension: cut at the first "." of the file-name
// part (a "." in a folder name never counts) and the extension appended. A
// name without one, or whose only "." opens it, keeps everything.
CString DerivedName(const CString& path, const char* extension) {
  std::string_view text = path.view();
  std::size_t nameStart = text.find_last_of("\\/:");
  nameStart = nameStart == std::string_view::npos ? 0 : nameStart + 1;
  std::size_t dot = text.find('.', nameStart);
  if (dot != std::string_view::npos && dot > nameStart) text = text.substr(0, dot);
  return CString(text) + extension;
}

// The variables of the course being read, for the readers that look one up by
// name: the course's own table, whichever course is current meanwhile.
class CLoadingVariables : public CVariableContext {
 public:
  CLoadingVariables(CVariableTable& course, CVariableTable* global) : m_course(course), m_global(global) {}
  CVariableTable* GetCourseTable() override { return &m_course; }
  CVariableTable* GetGlobalTable() override { return m_global; }

 private:
  CVariableTable& m_course;
  CVariableTable* m_global;
};

// Puts the archive's variables back however reading ends.
class CVariableContextScope {
 public:
  CVariableContextScope(CArchive& ar, CVariableContext* context) : m_ar(ar), m_saved(ar.GetVariableContext()) {
    ar.SetVariableContext(context);
  }
  ~CVariableContextScope() { m_ar.SetVariableContext(m_saved); }
  CVariableContextScope(const CVariableContextScope&) = delete;
  CVariableContextScope& operator=(const CVariableContextScope&) = delete;

 private:
  CArchive& m_ar;
  CVariableContext* m_saved;
};

// The host keeps only the low 8 bits of a program's exit code.
bool ExitCodeIs(int exitCode, int expected) { return exitCode >= 0 && exitCode == (expected & 0xFF); }

}  // namespace

BOOL CCourseDoc::OnOpenDocument(const CString& path) {
  m_host.SetOpeningCourse(this);
  CString name = path;
  CDataFile& data = m_host.DataFile();
  m_bFromDataFile = data.FindEntry(path.view()) && data.SeekToEntry(path.view());
  if (m_bFromDataFile) {
    // Search paths read with the course are prefixed with this directory.
    SetCourseDirectory(data.GetPath());
  } else {
    SetCourseDirectory(path);
    if (!FileExists(name)) {
      CString withExtension = name;
      ReplaceExtension(withExtension, ".MCL");
      if (FileExists(withExtension)) name = withExtension;
    }
  }

  BOOL loaded = LoadCourse(name);
  if (!loaded && m_nLoadState == kHeaderAccepted) loaded = TryBackup(name);
  if (!loaded && m_bOldFormat) loaded = ConvertOldFormat(name);
  if (!loaded) {
    ForgetOpening();
    return FALSE;
  }
  SetCourseDirectory(m_bFromDataFile ? data.GetPath() : name);
  m_fonts->InstallFonts(m_host.Fonts());
  return TRUE;
}

void CCourseDoc::ForgetOpening() {
  if (m_host.GetOpeningCourse() == this) m_host.SetOpeningCourse(nullptr);
  m_strCourseDirectory.Empty();
}

BOOL CCourseDoc::LoadCourse(const CString& path) {
  CDataFile& data = m_host.DataFile();
  if (m_bFromDataFile && data.SeekToEntry(path.view())) {
    // The entry alone is read, never the bytes of the entries behind it.
    const CDataFileObject* entry = data.FindEntry(path.view());
    std::vector<BYTE> bytes(entry->m_dwSize);
    UINT got = 0;
    try {
      got = data.GetFile().Read(bytes.data(), entry->m_dwSize);
    } catch (const CFileException& e) {
      ReportSaveLoadException(path, &e, FALSE, StringId::kFailedToOpen);
      return FALSE;
    }
    bytes.resize(got);
    CMemFile file(std::move(bytes));
    return ReadFrom(file, path);
  }
  return ReadDiskFile(path);
}

BOOL CCourseDoc::ReadDiskFile(const CString& path) {
  CFile file;
  CFileException error;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &error)) {
    if (error.m_strFileName.IsEmpty()) error.m_strFileName = path;
    ReportSaveLoadException(path, &error, FALSE, StringId::kFailedToOpen);
    return FALSE;
  }
  return ReadFrom(file, path);
}

BOOL CCourseDoc::ReadFrom(CFile& file, const CString& path) {
  DeleteContents();
  m_bModified = TRUE;
  try {
    CWaitCursor wait;
    CArchive ar(file);
    ar.SetCourseVersion(kHighestVersion);
    ReadCourse(ar);
  } catch (const std::exception& e) {
    file.Abort();
    ReportSaveLoadException(path, &e, FALSE, StringId::kFailedToOpen);
    return FALSE;
  }
  file.Abort();
  m_bModified = FALSE;
  return TRUE;
}

int CCourseDoc::ReadCourse(CArchive& ar) {
  m_bOldFormat = FALSE;
  m_nLoadState = kNothingRead;
  // A file too short for the marks (an empty one too) holds no course.
  constexpr ULONGLONG kSignatureLength = 3;
  if (ar.BytesRemaining() < sizeof(DWORD)) AfxThrowFileException(static_cast<int>(StringId::kNotACourse));
  DWORD wideMark = ar.ReadDword();
  if (wideMark == kOldFormatMark) {
    m_bOldFormat = TRUE;
    throw CUserException();
  }
  if (ar.BytesRemaining() < kSignatureLength) AfxThrowFileException(static_cast<int>(StringId::kNotACourse));
  BYTE signature[kSignatureLength];
  ar.Read(signature, sizeof signature);
  const std::string_view mark(reinterpret_cast<const char*>(signature), sizeof signature);
  if (!tvn::codepage::EqualsNoCaseAscii(mark, "mcl")) AfxThrowFileException(static_cast<int>(StringId::kNotACourse));
  if (wideMark != 0) AfxThrowFileException(static_cast<int>(StringId::kWideCourse));
  DWORD version = ar.ReadDword();
  if (version > static_cast<DWORD>(kHighestVersion)) AfxThrowFileException(static_cast<int>(StringId::kNewerVersion));
  if (version < static_cast<DWORD>(kLowestVersion)) AfxThrowFileException(static_cast<int>(StringId::kOldVersion));
  m_nFileVersion = static_cast<int>(version);
  ar.SetCourseVersion(m_nFileVersion);

  // The header rectangle and reserved word belong to the authoring tool.
  ar.ReadRect();
  ar.ReadDword();
  m_host.SetOpeningCourse(this);
  m_nHeaderFlags = ar.ReadByte();
  m_strHeader = ar.ReadString();
  m_nLoadState = kHeaderAccepted;

  m_variables->SetGlobalTable(m_host.GetGlobalTable());
  CLoadingVariables variables(*m_variables, m_host.GetGlobalTable());
  CVariableContextScope scope(ar, &variables);
  m_variables->Serialize(ar);
  ReadSearchPaths(ar);
  m_courseObject->Serialize(ar);
  ReadTasks(ar);
  m_packaging->Serialize(ar);
  m_fonts->Serialize(ar);
  return m_nLoadState;
}

void CCourseDoc::ReadSearchPaths(CArchive& ar) {
  ar.ReadStringArray(m_searchPaths);
  CStringArray& all = m_host.SearchPaths();
  const CString& dir = m_strCourseDirectory;
  const bool onDrive = dir.GetLength() >= 2 && dir[1] == ':';
  for (const CString& path : m_searchPaths) {
    if (path.GetLength() < kMinSearchPath) continue;
    // Relative to the program's folder, on a drive of its own, or built from a variable.
    if (path[0] == '.' || path[1] == ':' || path.Find('{') >= 0) {
      all.Add(path);
    } else if (onDrive && IsSeparator(path[0])) {
      all.Add(dir.Left(2) + path);
    } else {
      // A path without a leading separator lies inside the course folder.
      all.Add(dir + path);
    }
  }
}

void CCourseDoc::ReadTasks(CArchive& ar) {
  std::vector<std::unique_ptr<CTask>> tasks;
  ar.ReadOwnedList(tasks);
  for (auto& task : tasks) {
    task->SetParent(m_courseObject.get());
    task->SetServices(this);
    m_tasks.AddTail(std::move(task));
  }
  m_pCurrentTask = m_tasks.GetHead();
}

BOOL CCourseDoc::TryBackup(const CString& path) {
  CMessageService& messages = m_host.Messages();
  CString backup = DerivedName(path, ".BAK");
  if (!FileExists(backup)) {
    messages.MessageBoxId(StringId::kNoBackup, MB_ICONEXCLAMATION);
    return FALSE;
  }
  if (messages.MessageBoxText(FormatStringId1(StringId::kAskLoadBackup, path), MB_YESNO | MB_ICONSTOP) != IDYES)
    return FALSE;
  BOOL loaded = LoadCourse(backup);
  if (!loaded && m_nLoadState == kHeaderAccepted)
    messages.MessageBoxText(FormatStringId1(StringId::kBackupFailed, backup), MB_ICONSTOP);
  return loaded;
}

BOOL CCourseDoc::ConvertOldFormat(CString& path) {
  CString program = m_host.GetProgramDirectory() + LoadStringText(StringId::kConverterProgram);
  auto hostProgram = tvn::path::MapWindowsPath(program);
  auto hostCourse = tvn::path::MapWindowsPath(path);
  std::string argument = hostCourse ? hostCourse->string() : path.ToUtf8();
  tvn::sys::ProcessResult run;
  if (hostProgram) {
    run = tvn::sys::RunAndWait(*hostProgram, {argument});
  } else {
    run.error = ENOENT;
  }
  if (!run.started) {
    m_nConverterError = run.error;
    return FALSE;
  }
  // A program ended by a signal has converted nothing.
  if (run.exitCode < 0 || ExitCodeIs(run.exitCode, kConverterFailed)) return FALSE;
  if (ExitCodeIs(run.exitCode, kConverterRenamed)) {
    CString text;
    // Whatever else is on the clipboard is not taken for a course name.
    if (m_host.GetClipboardText(text) && !text.IsEmpty() && FileExists(text)) path = text;
    m_host.EmptyClipboard();
  }
  // The converted course is read from disk as it stands: no backup, no second conversion.
  m_bFromDataFile = FALSE;
  return ReadDiskFile(DerivedName(path, ".TVN"));
}

void CCourseDoc::SetCourseDirectory(const CString& path) {
  CString upper = path;
  upper.MakeUpper();
  int at = std::max(upper.ReverseFind('\\'), upper.ReverseFind('/'));
  if (at < 0) at = upper.ReverseFind(':');
  if (at < 0 || at == upper.GetLength() - 1) return;
  m_strCourseDirectory = upper.Left(at + 1);
}

void CCourseDoc::ReportSaveLoadException(const CString& path, const std::exception* error, BOOL saving,
                                         UINT defaultPrompt) {
  const auto* fileError = dynamic_cast<const CFileException*>(error);
  if (!saving) DeleteContents();
  CMessageService& messages = m_host.Messages();
  if (fileError && IsCourseMessage(fileError->m_cause)) {
    messages.MessageBoxFormatBeep(static_cast<UINT>(fileError->m_cause), &path, nullptr, -1);
    return;
  }
  if (dynamic_cast<const CUserException*>(error)) return;

  CString prompt;
  if (const auto* archiveError = dynamic_cast<const CArchiveException*>(error)) {
    switch (archiveError->m_cause) {
      case CArchiveException::endOfFile:
      case CArchiveException::badIndex:
      case CArchiveException::badClass:
      case CArchiveException::badSchema: prompt = LoadStringText(StringId::kUnexpectedFormat); break;
      default: break;
    }
  } else if (fileError) {
    CString fileName = fileError->m_strFileName.IsEmpty() ? path : fileError->m_strFileName;
    UINT id = FileErrorMessageId(fileError->m_cause, saving != FALSE, defaultPrompt);
    prompt = FormatStringId1(id, fileName);
  }
  if (prompt.IsEmpty()) prompt = FormatStringId1(defaultPrompt, path.Left(kMaxPromptPath));
  messages.MessageBoxText(prompt, MB_ICONEXCLAMATION);
}

void CCourseDoc::SetPathName(const CString& path, BOOL addToRecent) {
  m_strPathName = path;
  m_bAddToRecent = addToRecent && !m_bFromDataFile;
}
