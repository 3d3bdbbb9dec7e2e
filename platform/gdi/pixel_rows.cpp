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
// Loops whose AVX2 form is written apart from the baseline one (byte
// shuffles and comparisons, which the baseline would do lane by lane).
#define TVN_ROW_VERSIONS 1
#endif
#endif
#ifndef TVN_ROW_LOOP
#define TVN_ROW_LOOP
#endif

namespace gdi::rows {
namespace {

// Eight pixels as bytes, as 16-bit lanes (one per byte), as words, as
// 16-bit halves of words and as four 64-bit quarters; eight weights as bytes
// and as 16-bit lanes.
typedef std::uint8_t Bytes8 __attribute__((vector_size(32)));
typedef std::uint16_t Lanes8 __attribute__((vector_size(64)));
typedef std::uint32_t Words8 __attribute__((vector_size(32)));
typedef std::uint16_t Halves8 __attribute__((vector_size(32)));
typedef std::uint64_t Quarters8 __attribute__((vector_size(32)));
typedef std::uint8_t Weights8 __attribute__((vector_size(8)));
typedef std::uint16_t WeightLanes8 __attribute__((vector_size(16)));
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
// The same bits seen as another vector type.
template <typename To, typename From>
void Reinterpret(To& to, const From& from) {
  static_assert(sizeof to == sizeof from);
  std::memcpy(&to, &from, sizeof to);
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


// Blend255 on eight pixels, with the weights (0..255) in words.
[[gnu::always_inline]] inline void Blend255Step(std::uint32_t* bg, const std::uint32_t* pic, const Words8& a) {
  Words8 picWords, bgWords;
  Load(picWords, pic);
  Load(bgWords, bg);
  // The weight in each byte of its pixel.
  Words8 spread = a | (a << 8);
  spread |= spread << 16;
  Bytes8 spreadBytes;
  std::memcpy(&spreadBytes, &spread, sizeof spreadBytes);
  const Lanes8 w = __builtin_convertvector(spreadBytes, Lanes8);
  Lanes8 p, b;
  LoadLanes(p, pic);
  LoadLanes(b, bg);
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
  Store(bg, colour | alpha);
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
    Words8 a;
    Load(a, weights + x);
    a &= 0xFFu;
    Blend255Step(bg + x, pic + x, a);
  }
  for (; x < count; ++x) bg[x] = Blend255Pixel(pic[x], bg[x], weights[x] & 0xFFu);
}

namespace {

// Eight weights that are all 0 or all 255 leave the page or give the picture
// whole; pictures are mostly such runs, with blends only along their edges.
// True when the pixels are done.
[[gnu::always_inline]] inline bool WholeRun(std::uint32_t* bg, const std::uint32_t* pic, std::uint64_t weights) {
  if (weights == 0) return true;
  if (weights != ~std::uint64_t{0}) return false;
  std::memcpy(bg, pic, kVector * sizeof *bg);
  return true;
}

// The baseline form: the weights widened to words and blended as Blend255 does.
[[gnu::always_inline]] inline void BlendWeightedByWords(std::uint32_t* bg, const std::uint32_t* pic,
                                                        const std::uint8_t* weights, int count) {
  int x = 0;
  for (; x + kVector <= count; x += kVector) {
    std::uint64_t run;
    std::memcpy(&run, weights + x, sizeof run);
    if (WholeRun(bg + x, pic + x, run)) continue;
    Weights8 bytes;
    std::memcpy(&bytes, weights + x, sizeof bytes);
    const Words8 a = __builtin_convertvector(__builtin_convertvector(bytes, WeightLanes8), Words8);
    Blend255Step(bg + x, pic + x, a);
  }
  for (; x < count; ++x) bg[x] = Blend255Pixel(pic[x], bg[x], weights[x]);
}

#ifdef TVN_ROW_VERSIONS
// High halves of the 16-bit products. Written as a plain loop, which the
// vectoriser turns into one multiply-high instruction (vector types have no
// operator for it).
[[gnu::always_inline]] inline void MultiplyHigh(Halves8& out, const Halves8& a, const Halves8& b) {
  std::uint16_t left[16], right[16], high[16];
  std::memcpy(left, &a, sizeof left);
  std::memcpy(right, &b, sizeof right);
  for (int i = 0; i < 16; ++i) high[i] = static_cast<std::uint16_t>((std::uint32_t{left[i]} * right[i]) >> 16);
  std::memcpy(&out, high, sizeof out);
}

// The AVX2 form, a byte at a time: with d = |pic - bg| per byte,
// trunc((pic - bg) a / 255) is floor(d a / 255) with pic - bg's sign, and for
// a up to 254, floor(d a / 255) is the high half of d (257 a + 1) (the
// error of 257 / 65536 against 1 / 255 stays below 1/255 for d up to 255).
// At a = 255 the factor wraps to 0; those pixels take the picture whole.
[[gnu::always_inline]] inline void BlendWeightedByBytes(std::uint32_t* bg, const std::uint32_t* pic,
                                                        const std::uint8_t* weights, int count) {
  const Halves8 lowByte = Halves8{} + 0xFFu;
  const Bytes8 noBytes = {};
  const Words8 noWords = {}, fourthByte = Words8{} + 0xFF000000u;
  int x = 0;
  for (; x + kVector <= count; x += kVector) {
    std::uint64_t run;
    std::memcpy(&run, weights + x, sizeof run);
    if (WholeRun(bg + x, pic + x, run)) continue;
    // Each weight in the four bytes of its pixel (the shuffle stays inside
    // each 16-byte half), then 257 a + 1 in each 16-bit half.
    const Quarters8 copies = {run, run, run, run};
    Bytes8 copyBytes;
    Reinterpret(copyBytes, copies);
    Halves8 factor;
    Reinterpret(factor, __builtin_shufflevector(copyBytes, copyBytes, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3,
                                                20, 20, 20, 20, 21, 21, 21, 21, 22, 22, 22, 22, 23, 23, 23, 23));
    factor += 1;
    Bytes8 factorBytes;
    Words8 factorWords;
    Reinterpret(factorBytes, factor);
    Reinterpret(factorWords, factor);
    // The factor's top byte is the weight from 1 to 254 and 0 at 0 and 255;
    // its words are 0 exactly at 255.
    Words8 blended, whole;
    Reinterpret(blended, Bytes8(factorBytes != noBytes));
    whole = Words8(factorWords == noWords);

    Bytes8 p, b;
    std::memcpy(&p, pic + x, sizeof p);
    std::memcpy(&b, bg + x, sizeof b);
    const Bytes8 low = p < b ? p : b, high = p < b ? b : p;
    Halves8 difference, evenStep, oddStep;
    Reinterpret(difference, Bytes8(high - low));
    MultiplyHigh(evenStep, difference & lowByte, factor);
    MultiplyHigh(oddStep, difference >> 8, factor);
    Bytes8 step;
    Reinterpret(step, Halves8(evenStep | (oddStep << 8)));
    const Bytes8 down = Bytes8(low == p);  // pic <= bg: the step goes down
    const Bytes8 colour = down ? b - step : b + step;
    // The fourth byte: the page's at 0 (the step is 0 there), 0xFF between,
    // the picture's at 255.
    Words8 out, picture;
    Reinterpret(out, colour);
    Reinterpret(picture, p);
    out |= blended & fourthByte;
    out = whole ? picture : out;
    std::memcpy(bg + x, &out, sizeof out);
  }
  for (; x < count; ++x) bg[x] = Blend255Pixel(pic[x], bg[x], weights[x]);
}
#endif

}  // namespace

#ifdef TVN_ROW_VERSIONS
namespace versions {
__attribute__((target("default"))) void BlendWeighted(std::uint32_t* bg, const std::uint32_t* pic,
                                                      const std::uint8_t* weights, int count) {
  BlendWeightedByWords(bg, pic, weights, count);
}
__attribute__((target("arch=x86-64-v3"))) void BlendWeighted(std::uint32_t* bg, const std::uint32_t* pic,
                                                             const std::uint8_t* weights, int count) {
  BlendWeightedByBytes(bg, pic, weights, count);
}
__attribute__((target("arch=x86-64-v4"))) void BlendWeighted(std::uint32_t* bg, const std::uint32_t* pic,
                                                             const std::uint8_t* weights, int count) {
  BlendWeightedByBytes(bg, pic, weights, count);
}
}  // namespace versions
#endif

void BlendWeighted(std::uint32_t* bg, const std::uint32_t* pic, const std::uint8_t* weights, int count) {
#ifdef TVN_ROW_VERSIONS
  versions::BlendWeighted(bg, pic, weights, count);
#else
  BlendWeightedByWords(bg, pic, weights, count);
#endif
}

TVN_ROW_LOOP void KeyedCopy(std::uint32_t* out, const std::uint32_t* in, int count, std::uint32_t key) {
  const std::uint32_t colour = key & 0x00FFFFFFu;
  for (int x = 0; x < count; ++x) out[x] = (in[x] & 0x00FFFFFFu) != colour ? in[x] : out[x];
}

TVN_ROW_LOOP void Fill(std::uint32_t* out, int count, std::uint32_t pixel) {
  for (int x = 0; x < count; ++x) out[x] = pixel;
}

}  // namespace gdi::rows
