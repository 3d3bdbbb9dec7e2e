// File-exception causes to the framework's message ids.
#include "platform/sys/file_error_messages.h"

#include "platform/base/exceptions.h"

namespace tvn::sys {

UINT FileErrorMessageId(int cause, bool writing, UINT defaultId) {
  switch (cause) {
    case CFileException::genericException:
    case CFileException::tooManyOpenFiles:
    case CFileException::invalidFile:
    case CFileException::directoryFull:
    case CFileException::badSeek:
    case CFileException::hardIO: return writing ? FileErrorMessage::kWriteGeneric : FileErrorMessage::kReadGeneric;
    case CFileException::fileNotFound:
    case CFileException::badPath: return FileErrorMessage::kFileNotFound;
    case CFileException::accessDenied: return writing ? FileErrorMessage::kWriteReadOnly : FileErrorMessage::kReadSharing;
    case CFileException::diskFull: return FileErrorMessage::kDiskFull;
    default: return defaultId;
  }
}

}  // namespace tvn::sys
