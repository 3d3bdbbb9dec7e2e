// Exception construction and the errno to file-exception cause table.
#include "platform/base/exceptions.h"

#include <cerrno>

CArchiveException::CArchiveException(int cause, const CString& fileName)
    : CException("archive error, cause " + std::to_string(cause)), m_cause(cause), m_strFileName(fileName) {}

void AfxThrowArchiveException(int cause, const CString& fileName) { throw CArchiveException(cause, fileName); }

CFileException::CFileException(int cause, LONG osError, const CString& fileName)
    : CException("file error, cause " + std::to_string(cause) + (fileName.IsEmpty() ? "" : ": " + fileName.ToUtf8())),
      m_cause(cause),
      m_lOsError(osError),
      m_strFileName(fileName) {}

int CFileException::OsErrorToCause(int osError) {
  switch (osError) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY: return sharingViolation;
    case ESPIPE:
    case EINVAL: return badSeek;
    case EIO: return hardIO;
    case ENOSPC:
    case EDQUOT: return diskFull;
    default: return genericException;
  }
}

void AfxThrowFileException(int cause, LONG osError, const CString& fileName) {
  throw CFileException(cause, osError, fileName);
}
