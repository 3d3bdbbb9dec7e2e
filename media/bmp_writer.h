// Writing a packed DIB as a Windows bitmap file.
#pragma once

#include <vector>

#include "platform/sys/file.h"

namespace tvn::dib {

// Writes the file header, the 40-byte header, the colour table and the
// pixels. Only an info-form DIB that passes the layout checks is written
// (FALSE otherwise). The image size written is the stored one for run-length
// pixels and the computed one for plain rows, which is also put back into
// the DIB's header. File errors throw CFileException.
BOOL WriteBmp(std::vector<BYTE>& dib, CFile& file);

}  // namespace tvn::dib
