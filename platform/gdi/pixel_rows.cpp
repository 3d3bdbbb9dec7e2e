// Whole-row pixel loops, written on the compiler's generic vector types so that each row goes 8 pixels at a time.
#include "platform/gdi/pixel_rows.h"

#include <cstring>

// Each loop is built for the plain x86-64 baseline and again for the AVX2 and
// AVX-512 levels; the loader picks the best one the processor runs. Other
// machines get the generic build (the vector types are lowered to whatever
// they have). Not under ThreadSanitizer: the loader runs the choosing
// function before the sanitizer's run-time is up, and it crashes there.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && defined(__has_attribute) && \
    !defined(__SANITIZE_THREAD__)
#if __has_attribute(target_clones)
#define TVN_ROW_LOOP __attribute__((target_clones("default", "arch=x86-64-v3", "arch=x86-64-v4")))
#endif
#endif
#ifndef TVN_ROW_LOOP
#define TVN_ROW_LOOP
#endif

namespace gdi::rows {
namespace {

// Eight pixels as bytes, as 16-bit lanes (one per byte) and as words.
typedef std::uint8_t Bytes8 __attribute__((vector_size(32)));
typedef std::uint16_t Lanes8 __attribute__((vector_size(64)));
typedef std::uint32_t Words8 __attribute__((vector_size(32)));
constexpr int kVector = 8;

// Helpers take and give vectors by reference: vectors passed by value would
// depend on the instruction set each build is made for.
void Load(Bytes8& v, const std::uint32_t* p) { std::memcpy(&v, p, sizeof v); }
void Load(Words8& v, const std::uint32_t* p) { std::memcpy(&v, p, sizeof v); }
void Store(std::uint32_t* p, const Words8& v) { std::memcpy(p, &v, sizeof v); }
// Eight pixels as 16-bit lanes, one per byte.
void LoadLanes(Lanes8& v, const std::uint32_t* p) {
  Bytes8 bytes;
  Load(bytes, p);
  v = __builtin_convertvector(bytes, Lanes8);
}
// Keeps the low byte of each lane (every lane holds 0..255 where it is used).
void Narrow(Words8& words, const Lanes8& v) {
  const Bytes8 bytes = __builtin_convertvector(v, Bytes8);
  std::memcpy(&words, &bytes, sizeof words);
}

std::uint32_t Mix128Pixel(std::uint32_t from, std::uint32_t to, int weight) {
  std::uint32_t out = from & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((from >> shift) & 0xFFu), b = static_cast<int>((to >> shift) & 0xFFu);
    out |= static_cast<std::uint32_t>(a + (((b - a) * weight) >> 7)) << shift;
  }
  return out;
}

std::uint32_t Blend255Pixel(std::uint32_t pic, std::uint32_t bg, unsigned a) {
  if (a == 255) return pic;
  if (a == 0) return bg;
  std::uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const int p = static_cast<int>((pic >> shift) & 0xFFu), b = static_cast<int>((bg >> shift) & 0xFFu);
    out |= static_cast<std::uint32_t>(b + (p - b) * static_cast<int>(a) / 255) << shift;
  }
  return out;
}

}  // namespace

TVN_ROW_LOOP void Mix128(std::uint32_t* out, const std::uint32_t* from, const std::uint32_t* to, int count,
                         int weight) {
  // a + floor((b - a) w / 128) is floor((a (128 - w) + b w) / 128): no sign to
  // carry, and every lane stays within 255 x 128. The fourth byte weighs from
  // by 128 and to by 0, which keeps it as it was.
  const auto wf = static_cast<std::uint16_t>(128 - weight), wt = static_cast<std::uint16_t>(weight);
  const Lanes8 fromWeight = {wf, wf, wf, 128, wf, wf, wf, 128, wf, wf, wf, 128, wf, wf, wf, 128,
                             wf, wf, wf, 128, wf, wf, wf, 128, wf, wf, wf, 128, wf, wf, wf, 128};
  const Lanes8 toWeight = {wt, wt, wt, 0, wt, wt, wt, 0, wt, wt, wt, 0, wt, wt, wt, 0,
                           wt, wt, wt, 0, wt, wt, wt, 0, wt, wt, wt, 0, wt, wt, wt, 0};
  int x = 0;
  for (; x + kVector <= count; x += kVector) {
    Lanes8 a, b;
    LoadLanes(a, from + x);
    LoadLanes(b, to + x);
    Words8 result;
    Narrow(result, (a * fromWeight + b * toWeight) >> 7);
    Store(out + x, result);
  }
  for (; x < count; ++x) out[x] = Mix128Pixel(from[x], to[x], weight);
}

TVN_ROW_LOOP void Blend255(std::uint32_t* bg, const std::uint32_t* pic, const std::uint32_t* weights, int count) {
  int x = 0;
  for (; x + kVector <= count; x += kVector) {
    Words8 picWords, bgWords, a;
    Load(picWords, pic + x);
    Load(bgWords, bg + x);
    Load(a, weights + x);
    a &= 0xFFu;
    // The weight in each byte of its pixel.
    Words8 spread = a | (a << 8);
    spread |= spread << 16;
    Bytes8 spreadBytes;
    std::memcpy(&spreadBytes, &spread, sizeof spreadBytes);
    const Lanes8 w = __builtin_convertvector(spreadBytes, Lanes8);
    Lanes8 p, b;
    LoadLanes(p, pic + x);
    LoadLanes(b, bg + x);
    // b + trunc((p - b) w / 255) is floor((255 b + (p - b) w) / 255) when
    // p >= b and its ceiling when p < b; adding 254 in that case turns the
    // ceiling into a floor. p - b wraps to 0xFF01 and above exactly when
    // p < b (the product wraps alike), so (p - b) >> 8 is 255 or 0.
    // s = x + 1 for that sum x, so that x / 255 is (s + (s >> 8)) >> 8 (exact
    // for every x up to 65279, and s + (s >> 8) stays below 65536).
    const Lanes8 d = p - b;
    const Lanes8 s = b * 255 + d * w + ((d >> 8) | 1);
    Words8 colour;
    Narrow(colour, (s + (s >> 8)) >> 8);
    colour &= 0x00FFFFFFu;
    // The fourth byte: the picture's at 255, the page's at 0, else 0xFF.
    // (Masks by arithmetic: vector comparisons wider than the machine's
    // vectors are done lane by lane.)
    const Words8 notFull = ((a + 1) >> 8) - 1, notNone = 0 - ((a + 255) >> 8);
    const Words8 alpha = (picWords | notFull) & (bgWords | notNone) & 0xFF000000u;
    Store(bg + x, colour | alpha);
  }
  for (; x < count; ++x) bg[x] = Blend255Pixel(pic[x], bg[x], weights[x] & 0xFFu);
}

TVN_ROW_LOOP void KeyedCopy(std::uint32_t* out, const std::uint32_t* in, int count, std::uint32_t key) {
  const std::uint32_t colour = key & 0x00FFFFFFu;
  for (int x = 0; x < count; ++x) out[x] = (in[x] & 0x00FFFFFFu) != colour ? in[x] : out[x];
}

TVN_ROW_LOOP void Fill(std::uint32_t* out, int count, std::uint32_t pixel) {
  for (int x = 0; x < count; ++x) out[x] = pixel;
}

}  // namespace gdi::rows
