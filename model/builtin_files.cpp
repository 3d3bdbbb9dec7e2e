// Built-ins on files and diskettes, and the error variables they fill.
#include "model/builtin_files.h"

#include "model/file_error_report.h"
#include "model/path_helpers.h"
#include "model/string_table.h"
#include "model/variable_context.h"
#include "platform/base/host_path.h"
#include "platform/sys/file_error_messages.h"
#include "platform/sys/system_info.h"

namespace {

// The message of a cause; the causes without a text of their own (7, 11,
// 12, 14) read as the unexpected error of their direction.
UINT MessageIdOfCause(int cause, BOOL writing) {
  return tvn::sys::FileErrorMessageId(cause, writing != FALSE,
                                      writing ? StringId::kWriteGeneric : StringId::kReadGeneric);
}

// The host path of a course's file name, or the failure a missing drive gives.
int HostPathOf(const CString& name, std::filesystem::path& out) {
  auto mapped = tvn::path::MapWindowsPath(name);
  if (!mapped) return ENOENT;
  out = *mapped;
  return 0;
}

}  // namespace

void SetFileErrorVariables(IErrorVariables& variables, const CString& fileName, const CFileException& error,
                           BOOL writing) {
  CString message;
  if (error.m_cause != CFileException::none) message = FormatStringId1(MessageIdOfCause(error.m_cause, writing), fileName);
  variables.SetErrorVariables(tvn::sys::WindowsErrorCode(static_cast<int>(error.m_lOsError)), message);
}

namespace tvn::builtins {
namespace {

CFileException FailureOf(int osError, const CString& name) {
  return CFileException(CFileException::OsErrorToCause(osError), osError, name);
}

}  // namespace

void CreateDirectoryFunction(CBuiltinCall& call) {
  call.SetNumber(CreateDirectoryPath(call.Arg(1).GetString()) ? 1 : 0);
}

void DeleteFileFunction(CBuiltinCall& call) {
  const CString name = call.Arg(1).GetString();
  std::filesystem::path path;
  int error = HostPathOf(name, path);
  if (error == 0) error = tvn::sys::DeleteFileError(path);
  if (error == 0) {
    call.SetNumber(0);
    return;
  }
  CFileException failure = FailureOf(error, name);
  SetFileErrorVariables(call.context, name, failure, FALSE);
  call.SetNumber(failure.m_cause);
}

void CopyFileFunction(CBuiltinCall& call, CMessageService& messages) {
  CFileErrorReporter reporter(call.context, messages);
  call.SetNumber(reporter.CopyFileReport(call.Arg(1).GetString(), call.Arg(2).GetString()));
}

void RenameFileFunction(CBuiltinCall& call) {
  const CString from = call.Arg(1).GetString();
  std::filesystem::path source, target;
  int error = HostPathOf(from, source);
  if (error == 0) error = HostPathOf(call.Arg(2).GetString(), target);
  if (error == 0) error = tvn::sys::MoveFileNoReplace(source, target);
  if (error == 0) {
    call.SetNumber(0);
    return;
  }
  CFileException failure = FailureOf(error, from);
  SetFileErrorVariables(call.context, from, failure, TRUE);
  call.SetNumber(failure.m_cause);
}

void CheckFileFunction(CBuiltinCall& call) {
  const CString name = call.Arg(1).GetString();
  std::filesystem::path path;
  int error = HostPathOf(name, path);
  if (error == 0) error = tvn::sys::ProbeReadable(path);
  if (error == 0) {
    call.SetNumber(1);
    return;
  }
  SetFileErrorVariables(call.context, name, FailureOf(error, name), FALSE);
  call.SetNumber(0);
}

void CheckDisketteFunction(CBuiltinCall& call, CMessageService& messages, const tvn::path::DriveTable& drives,
                           DriveTypeQuery driveType) {
  CString message;
  BOOL usable = CheckDrive(messages, call.Arg(1).GetString(), TRUE, &message, drives, driveType);
  call.context.SetErrorVariables(usable ? 1 : 0, message);
  call.SetNumber(usable ? 1 : 0);
}

}  // namespace tvn::builtins
