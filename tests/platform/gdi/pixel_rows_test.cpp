// The row loops against the per-pixel formulas they stand for, over every pair of byte values and odd lengths.
#include "platform/gdi/pixel_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using Pixels = std::vector<std::uint32_t>;

// The formulas as the drawing routines first wrote them, one pixel at a time.
std::uint32_t Mix128Formula(std::uint32_t from, std::uint32_t to, int weight) {
  std::uint32_t out = from & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((from >> shift) & 0xFFu), b = static_cast<int>((to >> shift) & 0xFFu);
    out |= static_cast<std::uint32_t>(a + (((b - a) * weight) >> 7)) << shift;
  }
  return out;
}

std::uint32_t Blend255Formula(std::uint32_t pic, std::uint32_t bg, unsigned a) {
  if (a == 255) return pic;
  if (a == 0) return bg;
  std::uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const int p = static_cast<int>((pic >> shift) & 0xFFu), b = static_cast<int>((bg >> shift) & 0xFFu);
    out |= static_cast<std::uint32_t>(b + (p - b) * static_cast<int>(a) / 255) << shift;
  }
  return out;
}

// Two rows holding every pair of byte values in each colour byte (in a
// different order per byte) and assorted fourth bytes, plus an odd tail so
// the rows' last pixels go the short way.
struct AllPairs {
  static constexpr int kCount = 256 * 256 + 5;
  Pixels first, second;
  AllPairs() : first(kCount), second(kCount) {
    for (int i = 0; i < kCount; ++i) {
      const auto p = static_cast<std::uint32_t>(i & 0xFF), b = static_cast<std::uint32_t>((i >> 8) & 0xFF);
      first[i] = p | ((255 - p) << 8) | (((p * 7) & 0xFFu) << 16) | (static_cast<std::uint32_t>(i * 13 & 0xFF) << 24);
      second[i] = b | (((b * 3) & 0xFFu) << 8) | ((255 - b) << 16) | (static_cast<std::uint32_t>(i * 29 & 0xFF) << 24);
    }
  }
};

TEST(PixelRows, Mix128MatchesTheFormulaForEveryWeight) {
  const AllPairs rows;
  Pixels out(AllPairs::kCount);
  for (int weight = 0; weight <= 128; ++weight) {
    gdi::rows::Mix128(out.data(), rows.first.data(), rows.second.data(), AllPairs::kCount, weight);
    int wrong = 0;
    for (int i = 0; i < AllPairs::kCount; ++i)
      if (out[i] != Mix128Formula(rows.first[i], rows.second[i], weight) && ++wrong == 1)
        ADD_FAILURE() << "weight " << weight << " pixel " << i << ": " << std::hex << out[i];
    if (wrong) return;
  }
}

TEST(PixelRows, Blend255MatchesTheFormulaForEveryWeightInPlace) {
  const AllPairs rows;
  Pixels weights(AllPairs::kCount), bg;
  for (unsigned a = 0; a < 256; ++a) {
    // Only the first byte weighs; the others are noise.
    for (int i = 0; i < AllPairs::kCount; ++i) weights[i] = a | (static_cast<std::uint32_t>(i * 5 & 0xFFFFFF) << 8);
    bg = rows.second;
    gdi::rows::Blend255(bg.data(), rows.first.data(), weights.data(), AllPairs::kCount);
    int wrong = 0;
    for (int i = 0; i < AllPairs::kCount; ++i)
      if (bg[i] != Blend255Formula(rows.first[i], rows.second[i], a) && ++wrong == 1)
        ADD_FAILURE() << "weight " << a << " pixel " << i << ": " << std::hex << bg[i];
    if (wrong) return;
  }
}

TEST(PixelRows, BlendWeightedMatchesTheFormulaWithWeightsOfAByte) {
  const AllPairs rows;
  std::vector<std::uint8_t> weights(AllPairs::kCount);
  Pixels bg;
  auto check = [&](const char* what, unsigned a) {
    bg = rows.second;
    gdi::rows::BlendWeighted(bg.data(), rows.first.data(), weights.data(), AllPairs::kCount);
    for (int i = 0; i < AllPairs::kCount; ++i)
      if (bg[i] != Blend255Formula(rows.first[i], rows.second[i], weights[i])) {
        ADD_FAILURE() << what << " " << a << " pixel " << i << ": " << std::hex << bg[i];
        return false;
      }
    return true;
  };
  // One weight over the whole row.
  for (unsigned a = 0; a < 256; ++a) {
    std::fill(weights.begin(), weights.end(), static_cast<std::uint8_t>(a));
    if (!check("weight", a)) return;
  }
  // Runs of 0 and 255 of every length up to 19 at every offset, between
  // changing weights, as along a picture's edges.
  for (unsigned seed = 1; seed < 8; ++seed) {
    int i = 0;
    for (unsigned run = seed; i < AllPairs::kCount; run = run * 5 + 3) {
      const int length = static_cast<int>(run % 20);
      const auto whole = static_cast<std::uint8_t>(run & 32 ? 255 : 0);
      for (int k = 0; k < length && i < AllPairs::kCount; ++k) weights[i++] = whole;
      for (int k = 0; k < static_cast<int>(run % 7) && i < AllPairs::kCount; ++k)
        weights[i++] = static_cast<std::uint8_t>(run * 31 + k);
    }
    if (!check("runs", seed)) return;
  }
}

TEST(PixelRows, KeyedCopyAndFillTouchOnlyTheirPixels) {
  // Lengths 0 to 19 cover the whole vectors and every tail.
  for (int count = 0; count < 20; ++count) {
    Pixels in(count + 1), out(count + 1, 0x11223344u);
    for (int i = 0; i <= count; ++i) in[i] = i % 3 == 0 ? 0x00FF00FFu | (static_cast<std::uint32_t>(i) << 24) : 0xFF000000u + i;
    gdi::rows::KeyedCopy(out.data(), in.data(), count, 0xFFFF00FFu);
    for (int i = 0; i < count; ++i) EXPECT_EQ(out[i], i % 3 == 0 ? 0x11223344u : in[i]) << count << "/" << i;
    EXPECT_EQ(out[count], 0x11223344u) << "past the row, length " << count;
    gdi::rows::Fill(out.data(), count, 0xFF010203u);
    for (int i = 0; i < count; ++i) EXPECT_EQ(out[i], 0xFF010203u);
    EXPECT_EQ(out[count], 0x11223344u);
  }
}

}  // namespace
