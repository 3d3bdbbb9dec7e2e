// Bitmap and palette file writers for tests.
#include "tests/support/bmp_writer.h"

#include "tests/support/le_bytes.h"

namespace tvn::testing {
namespace {

void Id(std::vector<std::uint8_t>& out, const char* id) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(id[i]));
}

}  // namespace

std::vector<std::uint8_t> BmpFile::Bytes() const {
  const std::uint32_t headerSize = core ? 12 : 40;
  const std::uint32_t entrySize = core ? 3 : 4;
  const std::uint32_t tableSize = static_cast<std::uint32_t>(colors.size()) * entrySize;
  const std::uint32_t offset = bitsOffset.value_or(14 + headerSize + tableSize + gap);
  std::vector<std::uint8_t> out;
  if (fileHeader) {
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + headerSize + tableSize + gap + static_cast<std::uint32_t>(pixels.size()));
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, offset);
  }
  Put32(out, headerSize);
  if (core) {
    Put16(out, static_cast<std::uint32_t>(width));
    Put16(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(bitCount));
  } else {
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(bitCount));
    Put32(out, compression);
    Put32(out, sizeImage.value_or(static_cast<std::uint32_t>(pixels.size())));
    Put32(out, 2835);  // 72 dots per inch
    Put32(out, 2835);
    std::uint32_t full = bitCount <= 8 ? (1u << bitCount) : 0;
    Put32(out, clrUsed.value_or(colors.size() == full ? 0 : static_cast<std::uint32_t>(colors.size())));
    Put32(out, 0);
  }
  for (std::uint32_t c : colors) {
    out.push_back(static_cast<std::uint8_t>(c));        // blue
    out.push_back(static_cast<std::uint8_t>(c >> 8));   // green
    out.push_back(static_cast<std::uint8_t>(c >> 16));  // red
    if (!core) out.push_back(0);
  }
  out.insert(out.end(), gap, 0xEE);
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

std::vector<std::uint8_t> PackRows(const std::vector<std::vector<std::uint32_t>>& rows, int bitCount, bool topDown) {
  std::vector<std::uint8_t> out;
  const std::size_t count = rows.size();
  for (std::size_t n = 0; n < count; ++n) {
    const auto& row = rows[topDown ? n : count - 1 - n];
    std::vector<std::uint8_t> bytes;
    int bitsUsed = 0;
    for (std::uint32_t v : row) {
      switch (bitCount) {
        case 1:
        case 4:
          if (bitsUsed % 8 == 0) bytes.push_back(0);
          bytes.back() |= static_cast<std::uint8_t>(v << (8 - bitCount - bitsUsed % 8));
          bitsUsed += bitCount;
          break;
        case 8: bytes.push_back(static_cast<std::uint8_t>(v)); break;
        case 16: Put16(bytes, v); break;
        case 24:
          bytes.push_back(static_cast<std::uint8_t>(v));
          bytes.push_back(static_cast<std::uint8_t>(v >> 8));
          bytes.push_back(static_cast<std::uint8_t>(v >> 16));
          break;
        default: Put32(bytes, v & 0xFFFFFF); break;
      }
    }
    while (bytes.size() % 4 != 0) bytes.push_back(0);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

std::vector<std::uint8_t> PalFile(const std::vector<std::uint32_t>& colors, std::uint16_t version, bool extraChunk) {
  std::vector<std::uint8_t> body;
  Id(body, "PAL ");
  if (extraChunk) {
    Id(body, "xtra");
    Put32(body, 3);
    body.insert(body.end(), {1, 2, 3, 0});  // odd size, padded
  }
  Id(body, "data");
  Put32(body, 4 + 4 * static_cast<std::uint32_t>(colors.size()));
  Put16(body, version);
  Put16(body, static_cast<std::uint32_t>(colors.size()));
  for (std::uint32_t c : colors) {
    body.push_back(static_cast<std::uint8_t>(c >> 16));
    body.push_back(static_cast<std::uint8_t>(c >> 8));
    body.push_back(static_cast<std::uint8_t>(c));
    body.push_back(0);
  }
  std::vector<std::uint8_t> out;
  Id(out, "RIFF");
  Put32(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace tvn::testing
