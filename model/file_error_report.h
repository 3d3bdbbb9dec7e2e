// Reporting file failures into the script's error variables, and copying files with that report.
#pragma once

#include <exception>

#include "model/error_variables.h"
#include "model/message_service.h"
#include "platform/base/cstring.h"
#include "platform/base/exceptions.h"

// The message id for a file-exception cause; fallbackId for causes without a message of their own.
UINT FileErrorMessageId(int cause, bool writing, UINT fallbackId);

// The framework's own text of an exception: archive failures read as a bad
// format, anything else as its description; at most 512 bytes.
CString ExceptionMessageText(const std::exception& error, const CString& fileName);

class CFileErrorReporter {
 public:
  CFileErrorReporter(IErrorVariables& variables, CMessageService& messages)
      : m_variables(variables), m_messages(messages) {}

  // A file exception sets "ErrorNumber" to its cause and "ErrorMessage" to its
  // message with the file name; a memory failure shows the out-of-memory box
  // and changes no variable; anything else is shown and sets error 1.
  void ReportFileErrorToVariables(const CString& fileName, const std::exception& error, BOOL writing,
                                  UINT fallbackId);

  // Copies a file over the target; 0, or the failure's file-exception cause after reporting it.
  int CopyFileReport(const CString& source, const CString& target);

  CMessageService& Messages() { return m_messages; }

 private:
  IErrorVariables& m_variables;
  CMessageService& m_messages;
};
