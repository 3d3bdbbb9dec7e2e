// Whole-row pixel loops for the page's heaviest drawing: the transition blend, the weighted picture blend, keyed copies and fills.
#pragma once

#include <cstdint>

namespace gdi::rows {

// Every routine works on count 32-bit pixels (0xAARRGGBB words); rows read
// and rows written must not overlap unless the routine says so. Results are
// exactly those of the per-pixel formulas given with each.

// out = from + (((to - from) * weight) >> 7) per colour byte (an arithmetic
// shift: the step rounds towards minus infinity); the fourth byte stays
// from's. weight is in 128ths, 0..128.
void Mix128(std::uint32_t* out, const std::uint32_t* from, const std::uint32_t* to, int count, int weight);

// bg = bg + (pic - bg) * a / 255 per colour byte, the quotient truncated
// towards zero, with a the first byte in memory (blue) of weights' pixel; the
// fourth byte becomes 0xFF. A weight of 255 gives pic whole, 0 leaves bg
// whole. bg is read and written in place.
void Blend255(std::uint32_t* bg, const std::uint32_t* pic, const std::uint32_t* weights, int count);

// Blend255 with each pixel's weight in a byte of its own: weights holds count
// bytes, weights[i] for pixel i. Exactly Blend255's pixels.
void BlendWeighted(std::uint32_t* bg, const std::uint32_t* pic, const std::uint8_t* weights, int count);

// out = in wherever in's colour (its low three bytes) differs from key's;
// elsewhere out keeps its pixel.
void KeyedCopy(std::uint32_t* out, const std::uint32_t* in, int count, std::uint32_t key);

// out = pixel.
void Fill(std::uint32_t* out, int count, std::uint32_t pixel);

}  // namespace gdi::rows
