// A native fractal decoder for tests: the file's name decides what it answers.
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "media/decoder_libraries.h"

#define TVN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
int g_error = 0;
}

TVN_EXPORT int SetUpDLL() {
  g_error = 0;
  return 0;
}

// "UNKNOWN" fails with -55, "SEVEN" with 7; "BROKEN" gives bytes that are no
// picture; anything else a 2x1 picture, red then white.
TVN_EXPORT void* DecompressFile(const char* fileName, std::size_t* size) {
  const char* name = fileName ? fileName : "";
  if (std::strstr(name, "UNKNOWN")) g_error = -55;
  if (std::strstr(name, "SEVEN")) g_error = 7;
  if (g_error != 0) return nullptr;
  const bool broken = std::strstr(name, "BROKEN") != nullptr;
  *size = broken ? 20 : 48;
  auto* bytes = static_cast<unsigned char*>(std::calloc(*size, 1));
  if (broken) return bytes;
  const unsigned char header[16] = {40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0};
  std::memcpy(bytes, header, sizeof header);
  const unsigned char pixels[6] = {0, 0, 255, 255, 255, 255};
  std::memcpy(bytes + 40, pixels, sizeof pixels);
  return bytes;
}

TVN_EXPORT int GetErrorNumber() { return g_error; }
TVN_EXPORT void ReleaseDLL() {}

static_assert(std::is_same_v<decltype(&SetUpDLL), FifSetUpDllProc>);
static_assert(std::is_same_v<decltype(&DecompressFile), FifDecompressFileProc>);
static_assert(std::is_same_v<decltype(&GetErrorNumber), FifGetErrorNumberProc>);
static_assert(std::is_same_v<decltype(&ReleaseDLL), FifReleaseDllProc>);
