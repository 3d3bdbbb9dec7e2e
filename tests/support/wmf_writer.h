// Writes Windows metafiles and PCX pictures for tests, record by record and byte by byte.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tvn::testing {

// A metafile built from records: each record is its function and its 16-bit
// parameters; the size word, the header and the end record are added.
class WmfWriter {
 public:
  WmfWriter& Record(std::uint16_t function, const std::vector<std::uint16_t>& params);
  // A record whose stored size (in words) is given as is.
  WmfWriter& RawRecord(std::uint32_t sizeWords, std::uint16_t function, const std::vector<std::uint16_t>& params);
  WmfWriter& Objects(std::uint16_t count) {
    m_objects = count;
    return *this;
  }
  WmfWriter& Type(std::uint16_t type) {
    m_type = type;
    return *this;
  }
  // Common records.
  WmfWriter& CreateBrush(std::uint32_t colorRef);
  WmfWriter& CreatePen(std::uint16_t style, std::int16_t width, std::uint32_t colorRef);
  WmfWriter& Select(std::uint16_t index) { return Record(0x012D, {index}); }
  WmfWriter& Rectangle(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom);
  WmfWriter& WindowOrg(std::int16_t x, std::int16_t y);
  WmfWriter& WindowExt(std::int16_t x, std::int16_t y);

  // The plain form (header at 0), or with the 22-byte placeable header and its bounding box.
  std::vector<std::uint8_t> Plain(bool endRecord = true) const;
  std::vector<std::uint8_t> Placeable(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom,
                                      bool endRecord = true) const;

 private:
  std::vector<std::uint8_t> m_records;
  std::uint16_t m_objects = 4;
  std::uint16_t m_type = 1;
};

// An 8-bit PCX picture (run-length coded rows, 256-colour palette at the end).
// Colours are 0xRRGGBB; pixels are indices, top row first.
std::vector<std::uint8_t> PcxFile(int width, int height, const std::vector<std::uint8_t>& pixels,
                                  const std::vector<std::uint32_t>& colors);

}  // namespace tvn::testing
