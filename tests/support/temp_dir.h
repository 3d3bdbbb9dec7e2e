// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

namespace tvn::testing {

class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0;; ++attempt) {
      m_path = base / ("tvn-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
      std::error_code ec;
      if (std::filesystem::create_directory(m_path, ec) || attempt > 1000) break;
    }
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

 private:
  std::filesystem::path m_path;
};

}  // namespace tvn::testing
