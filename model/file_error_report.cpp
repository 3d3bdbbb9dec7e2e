// File-exception causes to messages and error variables.
#include "model/file_error_report.h"

#include <cerrno>
#include <new>

#include "model/string_table.h"
#include "platform/base/host_path.h"
#include "platform/sys/file_error_messages.h"
#include "platform/sys/system_info.h"

namespace {
constexpr int kMaxMessageBytes = 512;
}

UINT FileErrorMessageId(int cause, bool writing, UINT fallbackId) {
  switch (cause) {
    // The runtime has messages of its own for these, and reads a lock failure as an unexpected one.
    case CFileException::tooManyOpenFiles: return StringId::kTooManyOpenFiles;
    case CFileException::directoryFull: return StringId::kFolderFull;
    case CFileException::sharingViolation: return StringId::kDocumentInUse;
    case CFileException::lockViolation: return writing ? StringId::kWriteGeneric : StringId::kReadGeneric;
    default: return tvn::sys::FileErrorMessageId(cause, writing, fallbackId);
  }
}

CString ExceptionMessageText(const std::exception& error, const CString& fileName) {
  CString text;
  if (const auto* archive = dynamic_cast<const CArchiveException*>(&error)) {
    switch (archive->m_cause) {
      case CArchiveException::endOfFile:
      case CArchiveException::badIndex:
      case CArchiveException::badClass:
      case CArchiveException::badSchema:
      case CArchiveException::genericException: text = LoadStringText(StringId::kUnexpectedFormat); break;
      default: text = FormatStringId1(StringId::kReadGeneric, fileName); break;
    }
  } else {
    text = CString::FromUtf8(error.what());
  }
  if (text.GetLength() > kMaxMessageBytes) text = text.Left(kMaxMessageBytes);
  return text;
}

void CFileErrorReporter::ReportFileErrorToVariables(const CString& fileName, const std::exception& error,
                                                    BOOL writing, UINT fallbackId) {
  if (const auto* file = dynamic_cast<const CFileException*>(&error)) {
    UINT id = FileErrorMessageId(file->m_cause, writing != FALSE, fallbackId);
    m_variables.SetErrorVariables(file->m_cause, FormatStringId1(id, fileName));
    return;
  }
  if (dynamic_cast<const CMemoryException*>(&error) || dynamic_cast<const std::bad_alloc*>(&error)) {
    m_messages.MessageBoxBeep(StringId::kOutOfMemory, nullptr, -1);
    return;
  }
  CString text = ExceptionMessageText(error, fileName);
  if (!text.IsEmpty()) m_messages.MessageBoxText(text, MB_ICONEXCLAMATION);
  m_variables.SetErrorVariables(1, text);
}

int CFileErrorReporter::CopyFileReport(const CString& source, const CString& target) {
  auto from = tvn::path::MapWindowsPath(source);
  auto to = tvn::path::MapWindowsPath(target);
  int error = (from && to) ? tvn::sys::CopyFileOver(*from, *to) : ENOENT;
  if (error == 0) return 0;
  CFileException failure(CFileException::OsErrorToCause(error), error, source);
  ReportFileErrorToVariables(source, failure, TRUE, StringId::kWriteReadOnly);
  return failure.m_cause;
}
