// The FLC chunk decoders: palette, word delta, black, byte run and literal, each bounded by its chunk and the frame.
#include "media/flic_decoder.h"

#include <algorithm>
#include <bit>
#include <new>

static_assert(std::endian::native == std::endian::little, "frame words are stored as the bitmap's bytes");

namespace {

WORD Word(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
DWORD Dword(const BYTE* p) { return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
                                    (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24); }

}  // namespace

bool CFlicDecoder::Allocate(int width, int height) {
  Free();
  if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > flic::kMaxPixels) return false;
  try {
    m_pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  m_width = width;
  m_height = height;
  m_colours.fill(0);
  m_firstPalette = true;
  return true;
}

void CFlicDecoder::Free() {
  m_pixels.clear();
  m_pixels.shrink_to_fit();
  m_width = m_height = 0;
}

bool CFlicDecoder::DecodeFrame(const BYTE* data, std::size_t size, unsigned chunkCount) {
  if (!IsAllocated()) return false;
  const BYTE* p = data;
  const BYTE* const end = data + size;
  for (unsigned i = 0; i < chunkCount; ++i) {
    if (static_cast<std::size_t>(end - p) < flic::kChunkHeaderSize) return false;
    const DWORD chunkSize = Dword(p);
    const WORD type = Word(p + 4);
    if (chunkSize < flic::kChunkHeaderSize || chunkSize > static_cast<std::size_t>(end - p)) return false;
    const BYTE* body = p + flic::kChunkHeaderSize;
    const BYTE* bodyEnd = p + chunkSize;
    bool ok = true;
    switch (type) {
      case flic::kColour256: ok = Palette(body, bodyEnd); break;
      case flic::kDeltaFlc: ok = DeltaFlc(body, bodyEnd); break;
      case flic::kBlack: Black(); break;
      case flic::kByteRun: ok = ByteRun(body, bodyEnd); break;
      case flic::kLiteral: ok = Literal(body, bodyEnd); break;
      default: break;  // stamps, 64-level palettes, old line compression: skipped by size
    }
    if (!ok) return false;
    p = bodyEnd;
  }
  return true;
}

// Packets of a skip count, a copy count (0 is 256) and that many red, green,
// blue bytes. Entries past 255 are read over, never stored.
bool CFlicDecoder::Palette(const BYTE* p, const BYTE* end) {
  if (!m_acceptColours) return true;
  if (end - p < 2) return false;
  unsigned packets = Word(p);
  p += 2;
  if (m_firstPalette) {
    m_colours.fill(0);
    m_firstPalette = false;
  }
  std::size_t index = 0;
  while (packets-- > 0) {
    if (end - p < 2) return false;
    index += p[0];
    const std::size_t count = p[1] == 0 ? 256 : p[1];
    p += 2;
    if (static_cast<std::size_t>(end - p) < count * 3) return false;
    for (std::size_t i = 0; i < count; ++i, ++index, p += 3)
      if (index < m_colours.size()) m_colours[index] = (DWORD{p[0]} << 16) | (DWORD{p[1]} << 8) | p[2];
  }
  return true;
}

// Lines of 16-bit words: 0xC000 set skips -word lines, 0x8000 alone carries
// the last pixel of the line (odd widths) before the packet count, a plain
// value is the packet count. Packets: a skip byte, then a signed count of
// pixel pairs, copied when positive, one pair repeated when negative.
bool CFlicDecoder::DeltaFlc(const BYTE* p, const BYTE* end) {
  if (end - p < 2) return false;
  unsigned lines = Word(p);
  p += 2;
  int y = 0;
  while (lines > 0) {
    if (y >= m_height) return true;  // nothing left that could be drawn
    if (end - p < 2) return false;
    const WORD word = Word(p);
    p += 2;
    if ((word & 0xC000) == 0xC000) {
      y += 0x10000 - word;
      continue;
    }
    if (word & 0x4000) return false;  // not a count, not a skip: damaged
    unsigned packets = word;
    DWORD* row = Row(y);
    if (word & 0x8000) {
      row[m_width - 1] = m_colours[word & 0xFF];
      if (end - p < 2) return false;
      packets = Word(p);
      p += 2;
      if (packets & 0x8000) return false;
    }
    long long x = 0;
    while (packets-- > 0) {
      if (end - p < 2) return false;
      x += p[0];
      const int count = static_cast<signed char>(p[1]);
      p += 2;
      if (count >= 0) {
        const std::size_t bytes = static_cast<std::size_t>(count) * 2;
        if (static_cast<std::size_t>(end - p) < bytes) return false;
        const long long n = std::clamp<long long>(m_width - x, 0, static_cast<long long>(bytes));
        for (long long i = 0; i < n; ++i) row[x + i] = m_colours[p[i]];
        p += bytes;
        x += static_cast<long long>(bytes);
      } else {
        if (end - p < 2) return false;
        const DWORD first = m_colours[p[0]];
        const DWORD second = m_colours[p[1]];
        p += 2;
        const long long bytes = -2LL * count;
        const long long n = std::clamp<long long>(m_width - x, 0, bytes);
        for (long long i = 0; i + 1 < n; i += 2) {
          row[x + i] = first;
          row[x + i + 1] = second;
        }
        if (n & 1) row[x + n - 1] = first;
        x += bytes;
      }
    }
    ++y;
    --lines;
  }
  return true;
}

void CFlicDecoder::Black() { std::fill(m_pixels.begin(), m_pixels.end(), m_colours[0]); }

// Per line a packet-count byte (not used: lines are filled by width), then
// packets: a negative count copies -count indexes, a positive one repeats
// the next index count times. Runs are cut at the line's end.
bool CFlicDecoder::ByteRun(const BYTE* p, const BYTE* end) {
  const std::size_t width = static_cast<std::size_t>(m_width);
  for (int y = 0; y < m_height; ++y) {
    if (p >= end) return false;
    ++p;
    DWORD* row = Row(y);
    std::size_t x = 0;
    while (x < width) {
      if (end - p < 2) return false;
      const int count = static_cast<signed char>(*p++);
      if (count < 0) {
        const std::size_t n = static_cast<std::size_t>(-count);
        if (static_cast<std::size_t>(end - p) < n) return false;
        const std::size_t m = std::min(n, width - x);
        for (std::size_t i = 0; i < m; ++i) row[x + i] = m_colours[p[i]];
        p += n;
        x += m;
      } else {
        const std::size_t m = std::min(static_cast<std::size_t>(count), width - x);
        std::fill_n(row + x, m, m_colours[*p++]);
        x += m;
      }
    }
  }
  return true;
}

// Width x height indexes, top row first; a short chunk stores what it has.
bool CFlicDecoder::Literal(const BYTE* p, const BYTE* end) {
  const std::size_t have = static_cast<std::size_t>(end - p);
  const std::size_t n = std::min(have, m_pixels.size());
  for (std::size_t i = 0; i < n; ++i) m_pixels[i] = m_colours[p[i]];
  return have >= m_pixels.size();
}
