// Versions and dates deciding replacements, and control registration.
#include "setuptools/common/version_checks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>

#include "setuptools/common/control_registration.h"
#include "tests/setuptools/setup_test_env.h"
#include "tests/support/pe_writer.h"

namespace {

using namespace std::chrono;

void WriteFile(const std::filesystem::path& file, const std::string& version, sys_seconds when) {
  if (version.empty()) {
    std::ofstream(file, std::ios::binary) << "plain data";
  } else {
    tvn::testing::PeImageOptions options;
    options.fileVersion = version;
    std::ofstream(file, std::ios::binary) << tvn::testing::BuildPeImage(options);
  }
  std::filesystem::last_write_time(file, file_clock::from_sys(when));
}

sys_seconds At(int year, int hour, int minute, int second) {
  return sys_days{std::chrono::year{year} / 5 / 12} + hours{hour} + minutes{minute} + seconds{second};
}

TEST(VersionChecksTest, VersionStringsCompareByParts) {
  struct Row { const char* a; const char* b; int result; } rows[] = {
      {"1.2", "1.10", -1}, {"4,0,0,1", "4.0.0.1", 0}, {"4, 0, 0, 2", "4.0.0.1", 1}, {"", "", 0}, {"", "1", -1},
      {"1", "", 1},       {"2", "1.9.9.9", 1},      {"1.0.0.0.9", "1", 0},       {"1b.5", "1.5", 0},
      {"99999999999999999999", "1", 1},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(CompareVersionStrings(rows[i].a, rows[i].b), rows[i].result) << "row " << i;
  }
}

TEST(VersionChecksTest, VersionsComeBeforeDatesAndSecondsDoNotCount) {
  ::setenv("TZ", "UTC", 1);
  tvn::testing::TempDir dir;
  auto source = dir / "source.dll", installed = dir / "installed.dll";
  struct Row { const char* sourceVersion; sys_seconds sourceTime; const char* installedVersion; sys_seconds installedTime; bool replace; } rows[] = {
      {"", At(2020, 10, 15, 0), "", At(2020, 10, 15, 59), true},       // the same minute
      {"", At(2020, 10, 14, 59), "", At(2020, 10, 15, 0), false},      // older by a minute
      {"1.0", At(2021, 1, 0, 0), "2.0", At(2020, 1, 0, 0), false},     // a higher installed version stays
      {"2.0", At(2019, 1, 0, 0), "1.0", At(2020, 1, 0, 0), false},     // versions allow it, the date does not
      {"", At(2020, 1, 0, 0), "", At(1989, 1, 0, 0), true},            // the date rule needs two years after 1990
      {"1.10", At(2020, 1, 0, 0), "1.2", At(2020, 1, 0, 0), true},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    WriteFile(source, rows[i].sourceVersion, rows[i].sourceTime);
    WriteFile(installed, rows[i].installedVersion, rows[i].installedTime);
    EXPECT_EQ(ShouldReplaceFile(source, installed), rows[i].replace) << "row " << i;
  }
  EXPECT_TRUE(ShouldReplaceFile(source, dir / "missing.dll"));
  EXPECT_EQ(GetFileModifiedTime(dir / "missing.dll").year, 1990);
  EXPECT_EQ(GetFileModifiedTime(source).minute, 0);

  WriteFile(installed, "2,5,0,1", At(2020, 1, 0, 0));
  EXPECT_TRUE(IsOlderThanVersion(installed, "2.5.0.2"));
  EXPECT_FALSE(IsOlderThanVersion(installed, "2.5.0.1"));
  EXPECT_FALSE(IsOlderThanVersion(installed, ""));
  EXPECT_FALSE(IsOlderThanVersion(dir / "missing.dll", "9"));
  EXPECT_TRUE(IsWindowsNT4());
  EXPECT_FALSE(IsWindowsNT351());
}

TEST(VersionChecksTest, ControlsRegisterFromTheSystemFolderOnly) {
  tvn::testing::SetupHome home;
  auto where = home.Locations();
  std::filesystem::create_directories(where.systemDir);
  std::filesystem::copy_file(TVN_TEST_CONTROL_LIBRARY, where.systemDir / "demo.ocx");
  std::filesystem::copy_file(TVN_TEST_CONTROL_LIBRARY, where.windowsDir / "outside.ocx");
  auto mark = home.path() / "mark.txt";
  ::setenv("TVN_TEST_CONTROL_MARK", mark.c_str(), 1);
  CInfReader script;
  ASSERT_EQ(script.LoadBytes("[register.control]\nmissing.ocx\n<sysdir>DEMO.OCX\n..\\outside.ocx\nnot-a-library.ocx\n",
                             CInfReader::Encoding::kAnsi, true), 0u);
  std::ofstream(where.systemDir / "not-a-library.ocx") << "text";
  MacroFolders folders;
  folders.system = CString(where.systemDir.string());
  tvn::path::DriveTable drives;
  EXPECT_TRUE(RegisterControls(script, folders, drives));
  std::ifstream in(mark);
  std::string marks((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(marks, "registered\n");  // once: the name leaving the system folder is not loaded
  ::unsetenv("TVN_TEST_CONTROL_MARK");
  CInfReader none;
  ASSERT_EQ(none.LoadBytes("[other]\nx\n", CInfReader::Encoding::kAnsi, true), 0u);
  EXPECT_FALSE(RegisterControls(none, folders, drives));
}

}  // namespace
