// The Windows locations under the data folder, and the roots check.
#include "platform/sys/windows_locations.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

TEST(WindowsLocations, FollowTheDataFolder) {
  tvn::testing::TempDir home;
  std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", home.path().c_str(), 1);
  ::unsetenv("XDG_DATA_HOME");
  auto where = tvn::sys::GetWindowsLocations();
  EXPECT_EQ(where.driveRoot, home.path() / ".local/share/tavelon/drive_c");
  EXPECT_EQ(where.windowsDir, home.path() / ".local/share/tavelon/windows");
  EXPECT_EQ(where.systemDir, home.path() / ".local/share/tavelon/windows/system");
  ::setenv("XDG_DATA_HOME", (home.path() / "data").c_str(), 1);
  EXPECT_EQ(tvn::sys::GetWindowsLocations().prefix, home.path() / "data/tavelon");
  ::setenv("XDG_DATA_HOME", "relative", 1);  // ignored, as the base directory rules say
  EXPECT_EQ(tvn::sys::GetWindowsLocations().prefix, home.path() / ".local/share/tavelon");
  ::unsetenv("XDG_DATA_HOME");
  ::setenv("HOME", oldHome.c_str(), 1);

  tvn::path::DriveTable drives;
  tvn::sys::MapAllDrives(drives, where.driveRoot);
  EXPECT_EQ(*drives.Lookup('d'), where.driveRoot);
  auto mapped = tvn::path::MapWindowsPath("C:\\Tavelon\\Kurs\xC3\xA9", drives, tvn::path::NameEncoding::kUtf8);
  ASSERT_TRUE(mapped);
  EXPECT_EQ(*mapped, where.driveRoot / "Tavelon" / "Kurs\xC3\xA9");
}

TEST(WindowsLocations, RootsKeepWritersInside) {
  tvn::testing::TempDir dir;
  fs::create_directories(dir / "root/sub");
  fs::create_directories(dir / "outside");
  fs::create_directory_symlink(dir / "outside", dir / "root/link");
  std::vector<fs::path> roots = {dir / "root"};
  struct Row { fs::path path; bool inside; } rows[] = {
      {dir / "root", true},
      {dir / "root/sub/new/file.txt", true},
      {dir / "root/sub/../../outside/x", false},  // cleaned up lexically first
      {dir / "root/link/x", false},               // a link out of the root
      {dir / "rootless/x", false},                // a common prefix is not a parent
      {"", false},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(tvn::sys::IsInsideRoots(rows[i].path, roots), rows[i].inside) << "row " << i;
  }
  EXPECT_TRUE(tvn::sys::IsInsideRoots(dir / "outside/y", {dir / "root", dir / "root/link"}));
}

}  // namespace
