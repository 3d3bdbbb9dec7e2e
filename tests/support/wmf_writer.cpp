// Metafile and PCX writers for tests, laid down from the file formats.
#include "tests/support/wmf_writer.h"

#include "tests/support/le_bytes.h"

namespace tvn::testing {
namespace {

std::uint16_t U(std::int16_t v) { return static_cast<std::uint16_t>(v); }

}  // namespace

WmfWriter& WmfWriter::Record(std::uint16_t function, const std::vector<std::uint16_t>& params) {
  return RawRecord(static_cast<std::uint32_t>(3 + params.size()), function, params);
}

WmfWriter& WmfWriter::RawRecord(std::uint32_t sizeWords, std::uint16_t function,
                                const std::vector<std::uint16_t>& params) {
  Put32(m_records, sizeWords);
  Put16(m_records, function);
  for (std::uint16_t p : params) Put16(m_records, p);
  return *this;
}

WmfWriter& WmfWriter::CreateBrush(std::uint32_t colorRef) {
  return Record(0x02FC, {0, static_cast<std::uint16_t>(colorRef & 0xFFFF), static_cast<std::uint16_t>(colorRef >> 16),
                         0});
}

WmfWriter& WmfWriter::CreatePen(std::uint16_t style, std::int16_t width, std::uint32_t colorRef) {
  return Record(0x02FA, {style, U(width), 0, static_cast<std::uint16_t>(colorRef & 0xFFFF),
                         static_cast<std::uint16_t>(colorRef >> 16)});
}

WmfWriter& WmfWriter::Rectangle(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom) {
  return Record(0x041B, {U(bottom), U(right), U(top), U(left)});
}

WmfWriter& WmfWriter::WindowOrg(std::int16_t x, std::int16_t y) { return Record(0x020B, {U(y), U(x)}); }
WmfWriter& WmfWriter::WindowExt(std::int16_t x, std::int16_t y) { return Record(0x020C, {U(y), U(x)}); }

std::vector<std::uint8_t> WmfWriter::Plain(bool endRecord) const {
  std::vector<std::uint8_t> records = m_records;
  if (endRecord) {
    Put32(records, 3);
    Put16(records, 0);
  }
  std::vector<std::uint8_t> out;
  Put16(out, m_type);
  Put16(out, 9);       // header size in words
  Put16(out, 0x0300);  // version
  Put32(out, static_cast<std::uint32_t>((18 + records.size()) / 2));
  Put16(out, m_objects);
  Put32(out, 0);  // largest record
  Put16(out, 0);  // parameter count, unused
  out.insert(out.end(), records.begin(), records.end());
  return out;
}

std::vector<std::uint8_t> WmfWriter::Placeable(std::int16_t left, std::int16_t top, std::int16_t right,
                                               std::int16_t bottom, bool endRecord) const {
  std::vector<std::uint8_t> out;
  Put32(out, 0x9AC6CDD7);
  Put16(out, 0);
  Put16(out, U(left));
  Put16(out, U(top));
  Put16(out, U(right));
  Put16(out, U(bottom));
  Put16(out, 1440);
  Put32(out, 0);
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i + 1 < out.size(); i += 2) sum ^= static_cast<std::uint16_t>(out[i] | (out[i + 1] << 8));
  Put16(out, sum);
  const std::vector<std::uint8_t> body = Plain(endRecord);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::vector<std::uint8_t> PcxFile(int width, int height, const std::vector<std::uint8_t>& pixels,
                                  const std::vector<std::uint32_t>& colors) {
  std::vector<std::uint8_t> out(128, 0);
  out[0] = 0x0A;  // manufacturer
  out[1] = 5;     // version
  out[2] = 1;     // run-length coding
  out[3] = 8;     // bits per pixel per plane
  auto put16At = [&out](std::size_t at, int v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  put16At(8, width - 1);
  put16At(10, height - 1);
  put16At(12, 72);
  put16At(14, 72);
  out[65] = 1;  // planes
  const int bytesPerLine = (width + 1) & ~1;
  put16At(66, bytesPerLine);
  put16At(68, 1);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < bytesPerLine; ++x) {
      const std::uint8_t v = x < width ? pixels[static_cast<std::size_t>(y * width + x)] : 0;
      // Bytes with both top bits set must go as a run of one.
      if (v >= 0xC0) out.push_back(0xC1);
      out.push_back(v);
    }
  }
  out.push_back(0x0C);
  for (int i = 0; i < 256; ++i) {
    const std::uint32_t c = i < static_cast<int>(colors.size()) ? colors[static_cast<std::size_t>(i)] : 0;
    out.push_back(static_cast<std::uint8_t>(c >> 16));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
    out.push_back(static_cast<std::uint8_t>(c));
  }
  return out;
}

}  // namespace tvn::testing
