// CFlicDecoder: the chunks of one FLC frame decoded into a 32-bit frame buffer, every read and write bounded.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "platform/base/win_types.h"

namespace flic {
constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kFrameHeaderSize = 16;
constexpr std::size_t kChunkHeaderSize = 6;
constexpr WORD kFlcType = 0xAF12;
constexpr WORD kFrameType = 0xF1FA;
// Frames larger than this are refused before anything is allocated.
constexpr long long kMaxPixels = 4096LL * 4096;

enum ChunkType : WORD {
  kColour256 = 4,
  kDeltaFlc = 7,
  kBlack = 13,
  kByteRun = 15,
  kLiteral = 16,
};
}  // namespace flic

// The frame buffer holds 0x00RRGGBB words, top row first: the layout a
// 32-bit bitmap takes from SetBitmapBits. Colour indexes become colours as
// they are written, through the colour table of the palette chunks seen so far.
class CFlicDecoder {
 public:
  // FALSE (nothing allocated) for a size of 0 or past flic::kMaxPixels, or
  // when the memory cannot be had. The frame starts black.
  bool Allocate(int width, int height);
  void Free();
  bool IsAllocated() const { return !m_pixels.empty(); }

  // Palette chunks change the colour table only while accepted.
  void AcceptColours(bool accept) { m_acceptColours = accept; }
  // The next accepted palette clears the colour table first.
  void ResetPalette() { m_firstPalette = true; }

  // The chunks of one frame: the bytes after its 16-byte header. False when
  // a chunk is shorter than its header, runs past the frame, or its contents
  // run past the chunk; what came before the damage stays decoded.
  bool DecodeFrame(const BYTE* data, std::size_t size, unsigned chunkCount);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  const DWORD* Pixels() const { return m_pixels.data(); }
  DWORD Pixel(int x, int y) const { return m_pixels[static_cast<std::size_t>(y) * m_width + x]; }
  DWORD Colour(int index) const { return m_colours[static_cast<std::size_t>(index) & 0xFF]; }

 private:
  bool Palette(const BYTE* p, const BYTE* end);
  bool DeltaFlc(const BYTE* p, const BYTE* end);
  void Black();
  bool ByteRun(const BYTE* p, const BYTE* end);
  bool Literal(const BYTE* p, const BYTE* end);
  DWORD* Row(int y) { return m_pixels.data() + static_cast<std::size_t>(y) * m_width; }

  int m_width = 0;
  int m_height = 0;
  std::vector<DWORD> m_pixels;
  std::array<DWORD, 256> m_colours{};
  bool m_acceptColours = false;
  bool m_firstPalette = true;
};
