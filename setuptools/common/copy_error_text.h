// The message setup and autorun show for a copy-error code of a file they could not install.
#pragma once

#include <filesystem>

#include "platform/base/cstring.h"
#include "setuptools/common/setup_strings.h"

// The program's text for the code (kCopyError + code; a code of its own
// without one reads as "DOS Error #code", any other as the text of 32), then
// the file name on a line of its own. A write error (29) while writeFolder's
// file system has less than 50,000 bytes free reads as the low-disk-space message instead.
CString CopyErrorText(SetupProgram program, int code, const CString& fileName,
                      const std::filesystem::path& writeFolder);
