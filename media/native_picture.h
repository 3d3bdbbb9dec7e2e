// What native picture libraries are given and hand back: host file names and malloc'd pictures.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

namespace tvn::media {

// The host path a native library opens for a course's file name: the mapped
// path of the file when it exists, else the name as UTF-8.
std::string NativeFileName(const CString& name);

// Copies a picture a library allocated with malloc and frees it. Nothing for
// a null block, and nothing (the block freed all the same) for one larger
// than any picture may be; the caller checks the bytes as it would a file's.
std::vector<BYTE> TakeNativePicture(void* block, std::size_t size);

}  // namespace tvn::media
