// The main() of every test program: headless Qt, silent audio and a runtime folder of its own unless the caller chose otherwise.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  // Every presentation view serves DDE: each test program gets its own
  // socket folder, so programs running side by side never meet.
  std::string runtime = (std::filesystem::temp_directory_path() / "tvn-test-XXXXXX").string();
  const bool ownRuntime = mkdtemp(runtime.data()) != nullptr;
  if (ownRuntime) setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  if (ownRuntime) {
    std::error_code ec;
    std::filesystem::remove_all(runtime, ec);
  }
  return result;
}
