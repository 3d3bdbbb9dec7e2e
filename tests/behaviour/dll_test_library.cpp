// A native library for the DLL and simulator actions' tests: it tells what it was called with.
#include <cstdint>
#include <cstdio>
#include <cstring>

#define TVN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
char g_text[256];
}

// The four forms of the classic call: a character, a 16-bit value, a float and a text.
TVN_EXPORT const char* Describe(std::uint32_t c, std::uint32_t s, float f, const char* w) {
  std::snprintf(g_text, sizeof g_text, "%u|%u|%.2f|%s", c, s, static_cast<double>(f), w ? w : "(null)");
  return g_text;
}

TVN_EXPORT std::uint32_t Sum(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t e,
                             std::uint32_t f, std::uint32_t g, std::uint32_t h, std::uint32_t i, std::uint32_t j) {
  return a + b + c + d + e + f + g + h + i + j;
}

TVN_EXPORT double Half(std::int32_t value) { return value / 2.0; }
TVN_EXPORT std::uint32_t Wide(std::int64_t value) { return static_cast<std::uint32_t>(value * 10); }
TVN_EXPORT const char* Nothing() { return nullptr; }
TVN_EXPORT std::uint32_t Fill(char* buffer, const char* text) {
  if (!buffer) return 0;
  std::strcpy(buffer, text);
  return 1;
}

// The simulator's entry point: "five" asks for task 5.
TVN_EXPORT std::uint32_t RunSim(void* window, const char* name) {
  (void)window;
  return name && std::strcmp(name, "five") == 0 ? 0x00050001u : 0x1u;
}
