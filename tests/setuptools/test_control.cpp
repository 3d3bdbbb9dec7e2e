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

// An ODBC driver's setup library: records the request, the driver and the
// attribute list (each NUL shown as '|', up to the double NUL).
extern "C" int ConfigDSN(void*, unsigned short request, const char* driver, const char* attributes) {
  const char* file = std::getenv("TVN_TEST_ODBC_MARK");
  if (!file) return 0;
  if (std::FILE* out = std::fopen(file, "a")) {
    std::fprintf(out, "%u %s ", request, driver ? driver : "");
    for (const char* p = attributes; p && *p; p += __builtin_strlen(p) + 1) std::fprintf(out, "%s|", p);
    std::fputs("\n", out);
    std::fclose(out);
  }
  return 1;
}
