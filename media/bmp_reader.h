// Reading Windows bitmap files (or bare DIBs) from an open file into a packed DIB.
#pragma once

#include <vector>

#include "platform/sys/file.h"

namespace tvn::dib {

// Reads a DIB from the file's current position: a "BM" file header first, or
// a bare DIB when the first bytes are not one. The result is always in the
// info form (a core header and its colours are widened) with its rows
// bottom-up and its image size filled in; of a colour table longer than 256
// entries the first 256 are kept. Empty when the data is no picture
// this reader accepts (a short header or colour table, an unknown header
// size or format, a side or size past the caps, a bits offset past the end);
// pixel data that stops early is zero-filled. File errors throw
// CFileException, exhausted memory CMemoryException.
std::vector<BYTE> ReadDib(CFile& file);

// Only the header and colour table, in the same form, for palette loading.
std::vector<BYTE> ReadDibHeader(CFile& file);

}  // namespace tvn::dib
