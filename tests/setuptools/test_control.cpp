// A library for the setup tests: a self-registering control and a custom setup step that leave marks.
#include <cstdio>
#include <cstdlib>

namespace {
void Mark(const char* text) {
  const char* file = std::getenv("TVN_TEST_CONTROL_MARK");
  if (!file) return;
  if (std::FILE* out = std::fopen(file, "a")) {
    std::fputs(text, out);
    std::fputs("\n", out);
    std::fclose(out);
  }
}
}  // namespace

extern "C" long DllRegisterServer() {
  Mark("registered");
  return 0;
}

extern "C" int SetupStep(void*, const char* installDir) {
  Mark(installDir);
  const char* result = std::getenv("TVN_TEST_STEP_RESULT");
  return result ? std::atoi(result) : 0;
}
