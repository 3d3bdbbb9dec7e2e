// Reading RIFF palette files: a "PAL " form whose "data" chunk is a LOGPALETTE.
#pragma once

#include "media/palette.h"
#include "platform/sys/file.h"

namespace tvn::dib {

enum class PalFileError {
  none,
  notPalForm,    // "Not a RIFF or PAL file"
  noDataChunk,   // "No data chunk in file"
  noMemory,      // "No mem for data"
  shortData,     // "Failed to read data chunk"
  badVersion,    // "Invalid version number"
  noColors,      // "No colors in palette"
};

// The diagnostic text of a failure (traced, never shown to the learner).
const char* PalFileErrorText(PalFileError error);

// Reads the palette from the file's current position. The form and its
// chunks are walked within the bytes present: a chunk size running past the
// form or the file, and an entry count needing more bytes than the data
// chunk has, are failures rather than reads past the end. File errors throw
// CFileException.
PalFileError ReadPalFile(CFile& file, CLogPalette& out);

}  // namespace tvn::dib
