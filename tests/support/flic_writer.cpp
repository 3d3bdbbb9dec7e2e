// The FLC writer: header and frame layout, and encoders for palettes, word deltas, byte runs and literal frames.
#include "tests/support/flic_writer.h"

#include <algorithm>

#include "tests/support/le_bytes.h"

namespace tvn::testing {

namespace {

// Packets of one line of 16-bit pixel pairs that differ (word delta).
struct PairPackets {
  std::vector<std::uint8_t> bytes;
  unsigned count = 0;
};

PairPackets LinePackets(const std::uint8_t* from, const std::uint8_t* to, int pairs) {
  PairPackets out;
  auto pairAt = [&](const std::uint8_t* row, int i) { return std::pair(row[2 * i], row[2 * i + 1]); };
  int i = 0;
  int skipPixels = 0;
  while (i < pairs) {
    if (pairAt(from, i) == pairAt(to, i)) {
      ++i;
      skipPixels += 2;
      continue;
    }
    // A skip byte holds at most 255 pixels: longer skips take empty packets.
    while (skipPixels > 254) {
      out.bytes.insert(out.bytes.end(), {254, 0});
      ++out.count;
      skipPixels -= 254;
    }
    int run = 1;
    while (i + run < pairs && run < 128 && pairAt(to, i + run) == pairAt(to, i)) ++run;
    out.bytes.push_back(static_cast<std::uint8_t>(skipPixels));
    skipPixels = 0;
    ++out.count;
    if (run >= 3) {
      out.bytes.push_back(static_cast<std::uint8_t>(-run));
      out.bytes.insert(out.bytes.end(), {to[2 * i], to[2 * i + 1]});
      i += run;
      continue;
    }
    int copy = 0;
    while (i + copy < pairs && copy < 127 && pairAt(from, i + copy) != pairAt(to, i + copy)) ++copy;
    out.bytes.push_back(static_cast<std::uint8_t>(copy));
    out.bytes.insert(out.bytes.end(), to + 2 * i, to + 2 * (i + copy));
    i += copy;
  }
  return out;
}

}  // namespace

std::vector<std::uint8_t> FlicBytes(const FlicFile& file) {
  std::vector<std::uint8_t> out(128, 0);
  Set16(out, 4, file.type);
  Set16(out, 6, file.frameCountField.value_or(static_cast<std::uint16_t>(file.frames.size())));
  Set16(out, 8, file.width);
  Set16(out, 10, file.height);
  Set16(out, 12, 8);  // depth
  Set16(out, 14, 3);  // flags: written and closed
  Set32(out, 16, file.speed);
  std::vector<std::uint32_t> offsets;
  for (const FlicFrame& frame : file.frames) {
    offsets.push_back(static_cast<std::uint32_t>(out.size()));
    std::vector<std::uint8_t> body;
    for (const FlicChunk& chunk : frame.chunks) {
      Put32(body, chunk.sizeField.value_or(static_cast<std::uint32_t>(chunk.data.size() + 6)));
      Put16(body, chunk.type);
      body.insert(body.end(), chunk.data.begin(), chunk.data.end());
    }
    Put32(out, frame.sizeField.value_or(static_cast<std::uint32_t>(body.size() + 16)));
    Put16(out, frame.type);
    Put16(out, frame.chunkCountField.value_or(static_cast<std::uint16_t>(frame.chunks.size())));
    out.insert(out.end(), 8, 0);
    out.insert(out.end(), body.begin(), body.end());
  }
  if (!offsets.empty()) Set32(out, 80, offsets[0]);
  if (offsets.size() > 1 && !file.zeroSecondOffset) Set32(out, 84, offsets[1]);
  Set32(out, 0, static_cast<std::uint32_t>(out.size()));
  return out;
}

FlicChunk PaletteChunk(const std::vector<FlicRgb>& colours, std::uint8_t start) {
  FlicChunk chunk{4, {}, {}};
  Put16(chunk.data, 1);
  chunk.data.push_back(start);
  chunk.data.push_back(static_cast<std::uint8_t>(colours.size()));  // 256 is written as 0
  for (const FlicRgb& c : colours) chunk.data.insert(chunk.data.end(), c.begin(), c.end());
  return chunk;
}

FlicChunk DeltaChunk(const FlicImage& from, const FlicImage& to) {
  FlicChunk chunk{7, {}, {}};
  Put16(chunk.data, 0);  // line count, set at the end
  unsigned lines = 0;
  int skip = 0;
  const bool odd = to.width % 2 != 0;
  for (int y = 0; y < to.height; ++y) {
    const std::uint8_t* a = &from.pixels[static_cast<std::size_t>(y) * from.width];
    const std::uint8_t* b = &to.pixels[static_cast<std::size_t>(y) * to.width];
    if (std::equal(a, a + to.width, b)) {
      ++skip;
      continue;
    }
    while (skip > 0) {
      const int n = std::min(skip, 16384);
      Put16(chunk.data, 0x10000u - static_cast<std::uint32_t>(n));
      skip -= n;
    }
    if (odd) Put16(chunk.data, 0x8000u | b[to.width - 1]);
    const PairPackets packets = LinePackets(a, b, to.width / 2);
    Put16(chunk.data, packets.count);
    chunk.data.insert(chunk.data.end(), packets.bytes.begin(), packets.bytes.end());
    ++lines;
  }
  Set16(chunk.data, 0, lines);
  return chunk;
}

FlicChunk BlackChunk() { return FlicChunk{13, {}, {}}; }

FlicChunk ByteRunChunk(const FlicImage& image) {
  FlicChunk chunk{15, {}, {}};
  for (int y = 0; y < image.height; ++y) {
    const std::size_t countAt = chunk.data.size();
    chunk.data.push_back(0);
    unsigned packets = 0;
    int x = 0;
    while (x < image.width) {
      int run = 1;
      while (x + run < image.width && run < 127 && image.at(x + run, y) == image.at(x, y)) ++run;
      ++packets;
      if (run >= 3) {
        chunk.data.push_back(static_cast<std::uint8_t>(run));
        chunk.data.push_back(image.at(x, y));
        x += run;
        continue;
      }
      // Literal until the next run of three, at most 128.
      int n = 0;
      while (x + n < image.width && n < 128) {
        const int left = image.width - (x + n);
        if (left >= 3 && image.at(x + n, y) == image.at(x + n + 1, y) && image.at(x + n, y) == image.at(x + n + 2, y))
          break;
        ++n;
      }
      chunk.data.push_back(static_cast<std::uint8_t>(-n));
      for (int i = 0; i < n; ++i) chunk.data.push_back(image.at(x + i, y));
      x += n;
    }
    chunk.data[countAt] = static_cast<std::uint8_t>(packets);
  }
  return chunk;
}

FlicChunk LiteralChunk(const FlicImage& image) { return FlicChunk{16, image.pixels, {}}; }

FlicChunk RawChunk(std::uint16_t type, std::vector<std::uint8_t> data) { return FlicChunk{type, std::move(data), {}}; }

std::vector<FlicRgb> RampPalette() {
  std::vector<FlicRgb> colours(256);
  for (int i = 0; i < 256; ++i)
    colours[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>((i * 7) & 0xFF)};
  return colours;
}

std::uint32_t RampColour(std::uint8_t index) {
  return (std::uint32_t{index} << 16) | (std::uint32_t{static_cast<std::uint8_t>(255 - index)} << 8) |
         static_cast<std::uint8_t>((index * 7) & 0xFF);
}

FlicImage Band(int width, int height, int frame, int frames) {
  FlicImage image(width, height);
  const int bandHeight = std::max(1, height / 8);
  const int top = frames > 1 ? (height - bandHeight) * frame / (frames - 1) : 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.at(x, y) = y >= top && y < top + bandHeight ? static_cast<std::uint8_t>(200 + (x * 50) / width)
                                                        : static_cast<std::uint8_t>((x / 16 + y / 16) % 2 ? 20 : 40);
  return image;
}

FlicFile BandAnimation(int width, int height, int frames, std::uint32_t speed) {
  FlicFile file;
  file.width = static_cast<std::uint16_t>(width);
  file.height = static_cast<std::uint16_t>(height);
  file.speed = speed;
  FlicImage previous = Band(width, height, 0, frames);
  file.frames.push_back({{PaletteChunk(RampPalette()), ByteRunChunk(previous)}});
  for (int i = 1; i < frames; ++i) {
    FlicImage next = Band(width, height, i, frames);
    file.frames.push_back({{DeltaChunk(previous, next)}});
    previous = std::move(next);
  }
  return file;
}

}  // namespace tvn::testing
