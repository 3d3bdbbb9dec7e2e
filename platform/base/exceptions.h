// The exception family of file, archive and memory failures, each with its cause.
#pragma once

#include <exception>
#include <string>

#include "platform/base/cstring.h"

class CException : public std::exception {
 public:
  const char* what() const noexcept override { return m_what.c_str(); }

 protected:
  explicit CException(std::string what) : m_what(std::move(what)) {}

 private:
  std::string m_what;
};

class CMemoryException : public CException {
 public:
  CMemoryException() : CException("out of memory") {}
};

// An operation the user (or a silent decision) ended; the reports show nothing for it.
class CUserException : public CException {
 public:
  CUserException() : CException("operation ended") {}
};

class CArchiveException : public CException {
 public:
  enum Cause {
    none = 0,
    genericException = 1,
    readOnly = 2,
    endOfFile = 3,
    writeOnly = 4,
    badIndex = 5,
    badClass = 6,
    badSchema = 7,
  };

  explicit CArchiveException(int cause, const CString& fileName = CString());

  int m_cause;
  CString m_strFileName;
};

[[noreturn]] void AfxThrowArchiveException(int cause, const CString& fileName = CString());

class CFileException : public CException {
 public:
  enum Cause {
    none = 0,
    genericException = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
  };

  // The course loader also carries its own message ids (8038 and the like) as causes.
  explicit CFileException(int cause = none, LONG osError = -1, const CString& fileName = CString());

  // The cause that an errno value stands for.
  static int OsErrorToCause(int osError);

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, const CString& fileName = CString());
