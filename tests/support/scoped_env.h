// ScopedEnv: an environment variable set for a test's scope (SDL reads its driver choices from the environment).
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace tvn::testing {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (m_old) ::setenv(m_name, m_old->c_str(), 1);
    else ::unsetenv(m_name);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

// SDL's disk driver for capture, reading the file as fast as it is asked.
struct DiskCapture {
  explicit DiskCapture(const std::string& file) : driver("SDL_AUDIODRIVER", "disk"), in("SDL_DISKAUDIOFILEIN", file) {}
  ScopedEnv driver;
  ScopedEnv in;
  ScopedEnv delay{"SDL_DISKAUDIODELAY", "0"};
};

}  // namespace tvn::testing
