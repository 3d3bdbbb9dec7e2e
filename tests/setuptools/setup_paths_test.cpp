// Path macros and path text of the setup scripts.
#include "setuptools/common/setup_paths.h"

#include <gtest/gtest.h>

#include "tests/setuptools/setup_test_env.h"

namespace {

MacroFolders Folders() {
  MacroFolders f;
  f.install = "/home/u/Kurs \xC3\xA9/";
  f.destination = f.install;
  f.source = "/media/cd/";
  f.windows = "/home/u/.local/share/tavelon/windows";
  f.system = "/home/u/.local/share/tavelon/windows/system";
  return f;
}

TEST(SetupPathsTest, MacrosExpandOnceIntoHostPaths) {
  MacroFolders f = Folders();
  EXPECT_EQ(ExpandMacros("<defdir>a\\b.txt", f), "/home/u/Kurs \xC3\xA9/a\\b.txt");
  EXPECT_EQ(ExpandMacros("<defsrc>x<windir>y<sysdir>z", f),
            "/media/cd/x/home/u/.local/share/tavelon/windows/y/home/u/.local/share/tavelon/windows/system/z");
  EXPECT_EQ(ExpandMacros("<DEFDIR>x", f), "<DEFDIR>x");
  EXPECT_EQ(ExpandMacros("<defdrive>data", f), "c:\\data");  // a host path has no drive: the drive root
  // A replacement is never scanned again.
  f.source = "/cd/<windir>/";
  EXPECT_EQ(ExpandMacros("<defsrc>", f), "/cd/<windir>/");
  f.install = "D:\\COURSE\\";
  EXPECT_EQ(ExpandMacros("<defdrive>", f), "D:\\");
  EXPECT_EQ(ExpandMacros("<defdir", f), "<defdir");

  f = Folders();
  f.destination = DestinationForSection("windows.files", f);
  EXPECT_EQ(ExpandMacros("<defdir>demo.ini", f), "/home/u/.local/share/tavelon/windows/demo.ini");
  f.destination = DestinationForSection("System.Files", f);
  EXPECT_EQ(ExpandMacros("<defdir>x.dll", f), "/home/u/.local/share/tavelon/windows/system/x.dll");
  f.destination = DestinationForSection("default.files", f);
  EXPECT_EQ(ExpandMacros("<defdir>x", f), "/home/u/Kurs \xC3\xA9/x");
}

TEST(SetupPathsTest, SplittingAndJoining) {
  struct Row { const char* path; const char* name; const char* directory; const char* prefix; } rows[] = {
      {"C:\\DIR\\FILE.TXT", "FILE.TXT", "C:\\DIR", "C:\\DIR\\"},
      {"/home/u/.local/share/tavelon/drive_c/Kurs", "Kurs", "/home/u/.local/share/tavelon/drive_c/Kurs",
       "/home/u/.local/share/tavelon/drive_c/"},  // a dot in a middle folder is no file name
      {"/home/u/course/a.b/", "", "/home/u/course/a.b/", "/home/u/course/a.b/"},
      {"A:FILE.TXT", "FILE.TXT", "A", "A:"},
      {"plain.txt", "plain.txt", "plain.txt", ""},
      {"/x/..", "..", "/x/..", "/x/"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(GetFileNamePart(rows[i].path), rows[i].name) << "row " << i;
    EXPECT_EQ(GetDirectoryPart(rows[i].path), rows[i].directory) << "row " << i;
    EXPECT_EQ(GetDirectoryPrefix(rows[i].path), rows[i].prefix) << "row " << i;
  }
  EXPECT_EQ(AppendPath("C:\\DIR", "D:.\\.\\SUB"), "C:\\DIR\\SUB");
  EXPECT_EQ(AppendPath("/home/u", "sub\\f.txt"), "/home/u/sub\\f.txt");
  EXPECT_EQ(AppendPath("C:", "x"), "C:x");
  EXPECT_EQ(AppendPath("/home/u/", "."), "/home/u/");
  EXPECT_EQ(AppendPath("/home/u", ""), "/home/u");
  EXPECT_EQ(GetShortPath("/a b/c d.txt"), "/a b/c d.txt");
}

TEST(SetupPathsTest, ScriptPathsMapOntoTheDriveRoot) {
  tvn::testing::SetupHome home;
  auto where = home.Locations();
  std::filesystem::create_directories(where.driveRoot / "Tavelon" / "Demo");
  tvn::path::DriveTable drives;
  tvn::sys::MapAllDrives(drives, where.driveRoot);
  auto host = ScriptPathToHost("c:\\TAVELON\\demo\\New Folder\\x.txt", drives);
  ASSERT_TRUE(host);
  EXPECT_EQ(*host, where.driveRoot / "Tavelon" / "Demo" / "New Folder" / "x.txt");
  EXPECT_FALSE(ScriptPathToHost("", drives));
  EXPECT_GT(GetDriveFreeSpace(where.driveRoot / "not" / "yet"), 0u);
  EXPECT_TRUE(std::filesystem::exists(GetModuleDirectory() / "setuptools_tests"));
}

}  // namespace
