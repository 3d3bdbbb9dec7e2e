// Writes FLC animations byte by byte for tests, fuzz seeds, benchmarks and the demo, independently of the player.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tvn::testing {

// A picture of colour indexes, top row first.
struct FlicImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  FlicImage() = default;
  FlicImage(int w, int h, std::uint8_t fill = 0)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}
  std::uint8_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

using FlicRgb = std::array<std::uint8_t, 3>;

// One chunk: its type and contents; a size override writes a wrong size field.
struct FlicChunk {
  std::uint16_t type = 0;
  std::vector<std::uint8_t> data;
  std::optional<std::uint32_t> sizeField;
};

// One frame; the overrides write damaged headers.
struct FlicFrame {
  FlicFrame() = default;
  FlicFrame(std::vector<FlicChunk> c) : chunks(std::move(c)) {}  // NOLINT: frames are written as {chunks}

  std::vector<FlicChunk> chunks;
  std::uint16_t type = 0xF1FA;
  std::optional<std::uint32_t> sizeField;
  std::optional<std::uint16_t> chunkCountField;
};

struct FlicFile {
  std::uint16_t type = 0xAF12;
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint32_t speed = 0;  // milliseconds per frame
  std::vector<FlicFrame> frames;
  std::optional<std::uint16_t> frameCountField;  // the frame count by default
  bool zeroSecondOffset = false;                 // header offset 84 left 0
};

// The whole file: the 128-byte header, then the frames in order.
std::vector<std::uint8_t> FlicBytes(const FlicFile& file);

// Chunk encoders (types 4, 7, 13, 15, 16), and any chunk as it is given.
// A palette chunk of one packet: colours from index start (skip count start).
FlicChunk PaletteChunk(const std::vector<FlicRgb>& colours, std::uint8_t start = 0);
// The word-oriented delta from one picture to the next; odd widths carry the
// last pixel of each changed line in its marker word.
FlicChunk DeltaChunk(const FlicImage& from, const FlicImage& to);
FlicChunk BlackChunk();
FlicChunk ByteRunChunk(const FlicImage& image);
FlicChunk LiteralChunk(const FlicImage& image);
FlicChunk RawChunk(std::uint16_t type, std::vector<std::uint8_t> data);

// A palette of 256 distinct colours: index i is (i, 255 - i, (i * 7) & 0xFF).
std::vector<FlicRgb> RampPalette();
// The 0x00RRGGBB word the ramp palette gives an index.
std::uint32_t RampColour(std::uint8_t index);

// An animation of a band moving down a striped picture: frame 1 a palette
// and a byte run, the others deltas; frames are pictures 0..count-1 of Band.
FlicFile BandAnimation(int width, int height, int frames, std::uint32_t speed);
FlicImage Band(int width, int height, int frame, int frames);

}  // namespace tvn::testing
