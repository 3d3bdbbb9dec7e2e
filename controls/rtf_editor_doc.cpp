// The editor's document: opening and importing by document type, the file dialogs, and saving through a staged file.
#include "controls/rtf_editor_doc.h"

#include "controls/converter_file.h"
#include "controls/doc_types.h"
#include "controls/file_type_detection.h"
#include "controls/rtf_editor_view.h"
#include "controls/text_converter.h"
#include "model/file_error_report.h"
#include "model/message_service.h"
#include "model/string_table.h"
#include "model/variable_context.h"
#include "platform/user/dialogs.h"
#include "platform/user/file_dialog.h"
#include "platform/base/host_path.h"
#include "platform/user/message_box_types.h"
#include "platform/sys/staged_file.h"
#include "platform/user/wait_cursor.h"

IMPLEMENT_DYNAMIC(CRtfEditorDoc, CDocument)

namespace {

constexpr ULONGLONG kLargestFile = 64u << 20;
constexpr std::size_t kFileNameLength = 260;

bool IsTextType(int type) { return type == DocType::kText || type == DocType::kOemText; }

// Reads the whole file, bounded; throws what the file throws.
std::string ReadAll(CFile& file, const CString& path) {
  std::string bytes;
  char buffer[4096];
  for (;;) {
    const UINT got = file.Read(buffer, sizeof buffer);
    if (got == 0) break;
    bytes.append(buffer, got);
    if (bytes.size() > kLargestFile) throw CFileException(CFileException::genericException, -1, path);
  }
  return bytes;
}

}  // namespace

CRtfEditorDoc::CRtfEditorDoc(CRtfEditorView* view) : m_view(view) {}

CRtfEditorDoc::~CRtfEditorDoc() = default;

CDocTypeTable& CRtfEditorDoc::Table() {
  if (m_view && m_view->Environment().text.docTypes) return *m_view->Environment().text.docTypes;
  if (!m_ownTable) {
    const RichTextFiles* files = m_view ? &m_view->Environment().text.files : nullptr;
    m_ownTable = std::make_unique<CDocTypeTable>(files ? files->converters : nullptr);
  }
  return *m_ownTable;
}

void CRtfEditorDoc::SetDocType(int type) {
  if (type == m_saveType) return;
  m_rtfMode = IsTextType(type) ? FALSE : TRUE;
  m_saveType = type;
}

namespace {

// Reports a file failure into the error variables, when the editor has them.
void Report(CRtfEditorView* view, const CString& path, const std::exception& failure, BOOL writing, UINT fallback) {
  if (!view) return;
  const RichTextEnvironment& env = view->Environment().text;
  if (!env.variables || !env.messages) return;
  CFileErrorReporter reporter(*env.variables, *env.messages);
  reporter.ReportFileErrorToVariables(path, failure, writing, fallback);
}

CMessageService* Messages(CRtfEditorView* view) { return view ? view->Environment().text.messages : nullptr; }

}  // namespace

std::unique_ptr<CConverterFile> CRtfEditorDoc::GetFile(const CString& path, UINT mode, CFileException* error) {
  const bool writing = CConverterFile::IsWriteMode(mode);
  const int type = writing ? m_saveType : m_docType;
  const RichTextFiles files = m_view ? m_view->Environment().text.files : RichTextFiles{};
  CWnd* window = m_view ? m_view->Environment().mainWindow : nullptr;
  std::unique_ptr<CConverterFile> file;
  if (const char* converter = Table().Row(type).converter)
    file = std::make_unique<CTextConverter>(files.converters, converter, files.dataFile, files.cache);
  else if (type == DocType::kOemText)
    file = std::make_unique<COemFile>(files.dataFile, files.cache, window);
  else
    file = std::make_unique<CConverterFile>(files.dataFile, files.cache, window);
  if (!file->Open(path, mode, error)) return nullptr;
  return file;
}

BOOL CRtfEditorDoc::OnOpenDocument(const CString& path) {
  if (!m_view) return FALSE;
  const RichTextFiles files = m_view->Environment().text.files;
  CFileException error;
  int type = GetDocTypeFromFile(path, error, files);
  if (type == DocType::kNone) {
    Report(m_view, path, error, FALSE, StringId::kFailedToOpen);
    return FALSE;
  }
  if (type == DocType::kText && m_forceOemText) type = DocType::kOemText;
  CDocTypeTable& table = Table();
  table.ScanForConverters();
  if (!table.Row(type).read) {
    if (CMessageService* messages = Messages(m_view)) {
      const CString name = table.GetDocTypeString(type, 0);
      messages->MessageBoxFormatBeep(StringId::kCannotLoadFiles, &name, m_view, static_cast<int>(0xFFFFFFFF));
    }
    return FALSE;
  }

  const int previousType = m_docType;
  m_docType = type;
  std::unique_ptr<CConverterFile> file = GetFile(path, CFile::modeRead | CFile::shareDenyWrite, &error);
  if (!file) {
    m_docType = previousType;
    Report(m_view, path, error, FALSE, StringId::kFailedToOpen);
    return FALSE;
  }
  // All of it is read before the view changes: a failure leaves the text as it was.
  std::string bytes;
  try {
    bytes = ReadAll(*file, path);
    file->Close();
  } catch (const std::exception& failure) {
    file->Abort();
    m_docType = previousType;
    Report(m_view, path, failure, FALSE, StringId::kFailedToOpen);
    return FALSE;
  }
  SetDocType(type);
  CMemFile memory(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
  try {
    m_view->Stream(memory, FALSE, FALSE);
  } catch (const std::exception& failure) {
    Report(m_view, path, failure, FALSE, StringId::kFailedToOpen);
    return FALSE;
  }
  SetPathName(path);
  SetModifiedFlag(FALSE);
  m_view->SetModify(FALSE);
  m_view->EmptyUndoBuffer();
  return TRUE;
}

BOOL CRtfEditorDoc::DoPromptFileName(CString& name, UINT titleId, DWORD flags, BOOL forOpening, int* type) {
  CDocTypeTable& table = Table();
  table.ScanForConverters();
  int index = 1;
  if (forOpening) {
    index = m_openFilterIndex;
  } else {
    int position = table.GetDocTypeFilterPosition(type && *type >= 0 ? *type : DocType::kWord6, FALSE);
    if (position < 0) position = table.GetDocTypeFilterPosition(DocType::kWord6, FALSE);
    if (position < 0) position = table.GetDocTypeFilterPosition(DocType::kRtf, FALSE);
    index = std::max(0, position) + 1;
  }
  CString extension = table.GetDocTypeExtension(table.GetDocTypeIndex(index - 1, forOpening));
  if (extension.view().starts_with('.')) extension = CString(extension.view().substr(1));
  // The dialog's filter text: "name|pattern|" pairs in place of the NULs.
  std::string filter(table.GetDocTypeFilters(forOpening).view());
  for (char& c : filter)
    if (c == '\0') c = '|';
  const CString fileName(name.view().substr(0, std::min(name.view().size(), kFileNameLength - 1)));
  CFileDialog dialog(forOpening, extension, fileName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | flags, CString(filter),
                     m_view);
  dialog.SetTitle(LoadStringText(titleId));
  int chosen = index;
  dialog.SetFilterIndex(index, &chosen);
  if (dialog.DoModal() != IDOK) return FALSE;
  name = dialog.GetPathName();
  if (forOpening) m_openFilterIndex = chosen;
  if (type) *type = table.GetDocTypeIndex(chosen - 1, forOpening);
  return TRUE;
}

BOOL CRtfEditorDoc::Import() {
  CString name;
  int type = DocType::kWord6;
  if (!DoPromptFileName(name, StringId::kOpenTitle, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, TRUE, &type)) return FALSE;
  m_forceOemText = type == DocType::kOemText;
  const BOOL opened = OnOpenDocument(name);
  m_forceOemText = FALSE;
  return opened;
}

void CRtfEditorDoc::WriteFile(const CString& path) {
  const std::optional<std::filesystem::path> target = tvn::path::MapWindowsPath(path);
  if (!target) throw CFileException(CFileException::badPath, -1, path);
  // The new text goes to a temporary file beside the target and replaces it
  // only when complete: a failure leaves the old file as it was.
  tvn::sys::StagedFile staged;
  if (const tvn::sys::FileOpResult made = staged.Create(*target); !made)
    throw CFileException(made.cause, made.osError, path);
  CFileException error;
  std::unique_ptr<CConverterFile> file =
      GetFile(tvn::path::HostPathToText(staged.TemporaryPath()), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &error);
  if (!file) throw CFileException(error.m_cause, error.m_lOsError, path);
  try {
    m_view->Stream(*file, TRUE, FALSE);
    file->Close();
  } catch (...) {
    file->Abort();
    throw;
  }
  if (const tvn::sys::FileOpResult done = staged.Commit(std::nullopt, std::nullopt); !done)
    throw CFileException(done.cause, done.osError, path);
}

BOOL CRtfEditorDoc::DoSave(const CString& name, BOOL replace) {
  if (!m_view) return FALSE;
  const int savedType = m_saveType;
  const BOOL savedModified = IsModified() || m_view->GetModify();
  CDocTypeTable& table = Table();
  table.ScanForConverters();
  CMessageService* messages = Messages(m_view);
  auto ask = [&](UINT id) {
    return messages ? messages->MessageBoxId(id, MB_YESNOCANCEL | MB_ICONEXCLAMATION) : IDCANCEL;
  };

  CString target = name;
  bool saveAs = name.IsEmpty();
  if (!saveAs && !table.Row(m_saveType).write) {
    if (m_saveType == DocType::kWord6Summary) {
      const int answer = ask(StringId::kWordSummaryCannotSave);
      if (answer == IDCANCEL) return FALSE;
      if (answer == IDYES) SetDocType(DocType::kWord6);
      else saveAs = true;
    } else {
      if (ask(StringId::kCannotSaveInType) != IDYES) return FALSE;
      saveAs = true;
    }
  }
  if (!saveAs && !m_embedded && IsTextType(m_saveType) && !m_view->IsPlainFormatted()) {
    const int answer = ask(StringId::kTextLosesFormatting);
    if (answer == IDCANCEL) {
      SetDocType(savedType);
      return FALSE;
    }
    if (answer == IDNO) saveAs = true;
  }
  if (saveAs && m_saveType != DocType::kNone) {
    target = GetPathName();
    if (replace && target.IsEmpty()) {
      const std::string_view title = GetTitle().view();
      target = CString(title.substr(0, std::min(title.size(), title.find_first_of(" #%;/\\"))));
      target += table.GetDocTypeExtension(m_saveType).view();
    }
    for (;;) {
      int type = m_saveType;
      if (!DoPromptFileName(target, replace ? StringId::kSaveAsTitle : StringId::kSaveCopyAsTitle,
                            OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE, &type)) {
        SetDocType(savedType);
        return FALSE;
      }
      SetDocType(type);
      // A text type chosen here drops the formatting too: said before it happens.
      if (m_embedded || !IsTextType(type) || m_view->IsPlainFormatted()) break;
      const int answer = ask(StringId::kTextLosesFormatting);
      if (answer == IDYES) break;
      if (answer == IDCANCEL) {
        SetDocType(savedType);
        return FALSE;
      }
    }
  }

  try {
    CWaitCursor wait;
    WriteFile(target);
  } catch (const std::exception& failure) {
    SetDocType(savedType);
    Report(m_view, target, failure, TRUE, StringId::kWriteGeneric);
    return FALSE;
  }
  if (replace) {
    SetPathName(target);
    SetModifiedFlag(FALSE);
    m_view->SetModify(FALSE);
  } else {
    SetDocType(savedType);
    SetModifiedFlag(savedModified);
  }
  return TRUE;
}
