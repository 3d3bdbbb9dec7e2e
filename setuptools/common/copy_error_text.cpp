// The copy-error message: the code's text, the file name, and the low-disk-space case.
#include "setuptools/common/copy_error_text.h"

#include <string>

#include "platform/sys/staged_file.h"
#include "setuptools/common/setup_paths.h"

CString CopyErrorText(SetupProgram program, int code, const CString& fileName,
                      const std::filesystem::path& writeFolder) {
  CString text = LoadSetupString(program, SetupString::kCopyError + static_cast<UINT>(code));
  if (text.IsEmpty()) {
    text = code >= 0 && code <= 32
               ? ReplaceAll(LoadSetupString(program, SetupString::kCopyError), "%d", std::to_string(code))
               : LoadSetupString(program, SetupString::kCopyError + 32);
  }
  text = CString(text.str() + "\n" + fileName.str());
  if (code == 29 && tvn::sys::FreeSpace(writeFolder) < 50000) {
    text = LoadSetupString(program, SetupString::kLowDiskSpaceWrite);
  }
  return text;
}
