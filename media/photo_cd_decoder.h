// Photo CD files: the header and the three plain image packs, decoded from PhotoYCC into a 24-bit packed DIB.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/base/geometry.h"
#include "platform/base/win_types.h"
#include "platform/sys/file.h"

namespace tvn::pcd {

// "PCD_IPI" at 0x800 marks the file; the low two bits of 0xE02 hold its
// rotation in quarter turns anticlockwise.
constexpr ULONGLONG kSignatureOffset = 0x800;
constexpr ULONGLONG kRotationOffset = 0xE02;

// One plain pack: luma at full size and both chroma planes at half size in
// each direction, stored as row pairs (two luma rows, one C1 and one C2 row
// of half width).
struct Pack {
  int width;
  int height;
  ULONGLONG offset;
  ULONGLONG Bytes() const { return static_cast<ULONGLONG>(width) * static_cast<ULONGLONG>(height) * 3 / 2; }
};
constexpr Pack kBase16{192, 128, 0x2000};
constexpr Pack kBase4{384, 256, 0xB800};
constexpr Pack kBase{768, 512, 0x30000};

// Resolution codes: 1 Base/16, 2 Base/4, 3 Base, 4 and 5 Base enlarged two and
// four times (the files' higher resolutions need residual data this reader
// does not take, so those two repeat Base's pixels).
constexpr int kLowestResolution = 1;
constexpr int kHighestResolution = 5;

// Statuses of the toolkit calls; 0 is success.
namespace Status {
constexpr WORD kDone = 0;
constexpr WORD kBadArgument = 1;   // an unknown code, photo or palette
constexpr WORD kNotPhotoCd = 2;    // no file, or no signature and rotation byte
constexpr WORD kCutShort = 3;      // the pack wanted ends past the file
constexpr WORD kReadFailed = 4;    // the file could not be read
constexpr WORD kEmptyRegion = 5;   // the region lies outside the picture
constexpr WORD kNoMemory = 12;
constexpr WORD kAborted = 3003;
}  // namespace Status

// The rotation of a Photo CD file (0 to 3); nothing when the file is too
// short to hold the signature and the rotation byte, or lacks the signature.
std::optional<int> ReadRotation(CFile& file);

// The picture's sides at a resolution before it is turned; nothing for an unknown code.
std::optional<CSize> PictureSize(int resolution);

struct DecodeRequest {
  int resolution = 2;
  int rotation = 0;  // quarter turns anticlockwise, 0 to 3
  // Part of the turned picture (left, top, right, bottom); the whole picture when absent.
  std::optional<CRect> region;
  // Asked every few rows; true stops the decode.
  std::function<bool()> abort;
};

// Decodes the pack for the resolution into a packed DIB (info header, 24
// bits, rows bottom-up). Nothing is read past the file's end.
WORD Decode(CFile& file, const DecodeRequest& request, std::vector<BYTE>& dib);

}  // namespace tvn::pcd
