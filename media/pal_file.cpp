// RIFF palette file reader.
#include "media/pal_file.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "media/dib_format.h"
#include "media/read_exactly.h"

namespace tvn::dib {
namespace {

bool IsId(const BYTE* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

}  // namespace

const char* PalFileErrorText(PalFileError error) {
  switch (error) {
    case PalFileError::none: return "";
    case PalFileError::notPalForm: return "Not a RIFF or PAL file";
    case PalFileError::noDataChunk: return "No data chunk in file";
    case PalFileError::noMemory: return "No mem for data";
    case PalFileError::shortData: return "Failed to read data chunk";
    case PalFileError::badVersion: return "Invalid version number";
    case PalFileError::noColors: return "No colors in palette";
  }
  return "";
}

PalFileError ReadPalFile(CFile& file, CLogPalette& out) {
  const ULONGLONG start = file.GetPosition();
  const ULONGLONG length = file.GetLength();
  const ULONGLONG available = length > start ? length - start : 0;

  // "RIFF", form size, "PAL ".
  BYTE form[12];
  if (available < sizeof form || !ReadExactly(file, form, sizeof form) || !IsId(form, "RIFF") ||
      !IsId(form + 8, "PAL ")) {
    return PalFileError::notPalForm;
  }
  // The form's chunks end where the form says, or at the end of the file.
  const ULONGLONG formEnd = start + 8 + std::min<ULONGLONG>(Le32(form + 4), available - 8);
  ULONGLONG pos = start + 12;
  DWORD dataSize = 0;
  bool found = false;
  while (pos + 8 <= formEnd) {
    BYTE chunk[8];
    file.Seek(static_cast<LONGLONG>(pos), CFile::begin);
    if (!ReadExactly(file, chunk, sizeof chunk)) break;
    DWORD size = Le32(chunk + 4);
    if (IsId(chunk, "data")) {
      dataSize = size;
      found = true;
      break;
    }
    pos += 8 + static_cast<ULONGLONG>(size) + (size & 1);  // chunks are padded to even sizes
  }
  if (!found) return PalFileError::noDataChunk;
  // A size past the bytes present could never be read: refuse before allocating.
  if (dataSize > formEnd - (pos + 8)) return PalFileError::shortData;

  std::vector<BYTE> data;
  try {
    data.resize(dataSize);
  } catch (const std::bad_alloc&) {
    return PalFileError::noMemory;
  }
  if (!ReadExactly(file, data.data(), data.size())) return PalFileError::shortData;
  if (data.size() < 4) return PalFileError::shortData;
  if (Le16(data.data()) != CLogPalette::kVersion) return PalFileError::badVersion;
  const WORD count = Le16(data.data() + 2);
  if (count == 0) return PalFileError::noColors;
  if (4 + static_cast<std::size_t>(count) * 4 > data.size()) return PalFileError::shortData;

  std::vector<PaletteEntry> entries(count);
  for (std::size_t i = 0; i < count; ++i) {
    const BYTE* e = data.data() + 4 + i * 4;
    entries[i] = {e[0], e[1], e[2], e[3]};
  }
  out = CLogPalette(std::move(entries));
  return PalFileError::none;
}

}  // namespace tvn::dib
