// Metafile record parameters and the drawing objects some records carry: palettes, regions, pattern brushes.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "media/palette.h"
#include "platform/base/win_types.h"

class CBrush;
class CDC;
class CRgn;

namespace tvn::wmf {

// One record's parameters, every read checked against the record's end.
class Params {
 public:
  Params(const BYTE* p, std::size_t bytes) : m_p(p), m_bytes(bytes) {}
  std::size_t Words() const { return m_bytes / 2; }
  bool Has(std::size_t word) const { return word < Words(); }
  short S(std::size_t word) const { return Has(word) ? static_cast<short>(U(word)) : 0; }
  WORD U(std::size_t word) const {
    return Has(word) ? static_cast<WORD>(m_p[2 * word] | (m_p[2 * word + 1] << 8)) : 0;
  }
  DWORD D(std::size_t word) const { return static_cast<DWORD>(U(word)) | (static_cast<DWORD>(U(word + 1)) << 16); }
  const BYTE* Bytes(std::size_t word) const { return m_p + 2 * word; }
  std::size_t BytesFrom(std::size_t word) const { return word * 2 <= m_bytes ? m_bytes - word * 2 : 0; }
  std::span<const BYTE> Rest(std::size_t word) const {
    return word * 2 <= m_bytes ? std::span<const BYTE>(m_p + 2 * word, m_bytes - 2 * word) : std::span<const BYTE>();
  }

 private:
  const BYTE* m_p;
  std::size_t m_bytes;
};

// A stored colour: high byte 0x01 takes the palette's entry of the low word
// (entry 0 for an index past the end), 0x02 the RGB value itself; any other
// high byte is dropped.
COLORREF ResolveColor(DWORD stored, const CLogPalette& palette);

// The palette of a create-palette record (version, count, 4-byte entries of
// red, green, blue and flags). Entries the record does not hold are not made.
CLogPalette ReadPalette(const Params& p);
// A set-entries record (first index, count, entries) applied to the palette:
// entries past the record's end or past the palette's end are left out.
void SetPaletteEntries(CLogPalette& palette, const Params& p);

// The region of a create-region record in logical coordinates: the union of
// its scans' spans, top and left inside, bottom and right outside. Reading
// stops at the first scan the record does not hold whole.
std::unique_ptr<CRgn> ReadRegion(const Params& p);

// A packed DIB of a record as one with RGB colours: with palette colours
// (usage 1) its table of 16-bit indices becomes the palette's entries (entry 0
// for an index past the end). Empty when the table does not fit the bytes.
std::vector<BYTE> DibWithRgbColours(std::span<const BYTE> dib, WORD usage, const CLogPalette& palette);

// The rows one banded set-bits record holds of its whole DIB.
struct DibBand {
  int height = 0;      // rows of the whole DIB
  bool topDown = false;
  int top = 0;         // the band's top row in the whole DIB (0: the DIB's top row)
  int rows = 0;
  int pictureTop = 0;  // the whole DIB's row of the decoded picture's top row
};
// Narrows a packed DIB (RGB colours) whose bits hold only scan lines first to
// first + lines - 1 of it (scan line 0 is the first row stored) to one of just
// those rows, so it decodes alone. Run-length bits cannot be split and stay
// whole. Nothing for a header the DIB lacks or a band outside its rows.
std::optional<DibBand> NarrowToBand(std::vector<BYTE>& dib, int first, int lines);

// The logical region in the context's device pixels.
void RegionToDevice(const CRgn& logical, const CDC& dc, CRgn& device);

// The pattern of a create-pattern-brush record: a monochrome device bitmap
// whose 0 bits draw in the text colour and 1 bits in the background colour.
// Null for other depths or a pattern the record does not hold.
std::unique_ptr<CBrush> ReadPatternBrush(const Params& p);
// The pattern of a DIB pattern-brush record (style, colour usage, packed
// DIB); with palette colours the colour table indexes the palette. A
// one-bit DIB of the device-pattern style draws as a monochrome pattern.
std::unique_ptr<CBrush> ReadDibPatternBrush(const Params& p, const CLogPalette& palette);

}  // namespace tvn::wmf
