// File names, extensions, folder parts and folder creation.
#include "model/path_helpers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/base/host_path.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/temp_dir.h"

TEST(PathHelpers, FileNameAndFolderParts) {
  struct Row {
    const char* path;
    const char* name;
    const char* folder;
    const char* extension;
  };
  const Row rows[] = {
      {"C:\\dir\\file.txt", "file.txt", "C:\\dir", ".txt"},
      {"C:\\a/b\\c.d/e", "c.d/e", "C:\\a/b", ".d/e"},  // the last "\" wins over a later "/"
      {"dir/file", "file", "dir", ""},
      {"C:file.tar.gz", "file.tar.gz", "C", ".tar.gz"},
      {"file", "file", "", ""},
      {"", "", "", ""},
      {"C:\\dir.x\\file", "file", "C:\\dir.x", ""},
  };
  int row = 0;
  for (const Row& r : rows) {
    EXPECT_EQ(GetFileNameFromPath(r.path), r.name) << "row " << row;
    EXPECT_EQ(GetPathPart(r.path).str(), r.folder) << "row " << row;
    EXPECT_EQ(GetFileExtension(r.path), r.extension) << "row " << row;
    ++row;
  }
}

TEST(PathHelpers, ReplaceExtensionCutsOnlyShortExtensionsOfTheFileName) {
  struct Row {
    const char* path;
    const char* extension;
    const char* expected;
  };
  const Row rows[] = {
      {"COURSE.MCL", "BAK", "COURSE.BAK"},
      {"COURSE.MCL", ".TVN", "COURSE.TVN"},
      {"COURSE.abcd", "BAK", "COURSE.BAK"},
      {"COURSE.abcdef", "BAK", "COURSE.abcdef.BAK"},
      {"COURSE", "MCL", "COURSE.MCL"},
      {"COURSE.MCL", "", "COURSE"},
      {"C:\\A.B\\COURSE", "BAK", "C:\\A.B\\COURSE.BAK"},
      {"C:\\DIR.X/C", "BAK", "C:\\DIR.X/C.BAK"},
  };
  int row = 0;
  for (const Row& r : rows) {
    CString path = r.path;
    EXPECT_EQ(ReplaceExtension(path, r.extension).str(), r.expected) << "row " << row++;
  }
}

TEST(PathHelpers, ExtractFileNameInBothModes) {
  EXPECT_EQ(ExtractFileName("", TRUE).str(), "");
  EXPECT_EQ(ExtractFileName("C:\\dir\\a.bmp", FALSE).str(), "a.bmp");
  EXPECT_EQ(ExtractFileName("Label:C:\\dir\\a.bmp", TRUE).str(), "C:\\dir\\a.bmp");
  EXPECT_EQ(ExtractFileName("A:", TRUE).str(), "A:");
  EXPECT_EQ(ExtractFileName("plain", TRUE).str(), "plain");
}

TEST(PathHelpers, CreateDirectoryPathMakesEveryMissingFolder) {
  tvn::testing::TempDir dir;
  CString root = tvn::path::HostPathToText(dir.path());
  EXPECT_TRUE(CreateDirectoryPath(root));  // exists already: nothing to make
  CString deep = root + "\\one\\two/three";
  EXPECT_TRUE(CreateDirectoryPath(deep));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "one/two/three"));
  EXPECT_TRUE(FileExists(deep));
  tvn::testing::WriteBytes(dir / "file", {1});
  EXPECT_FALSE(CreateDirectoryPath(root + "\\file\\below"));
  EXPECT_FALSE(FileExists(root + "\\nothing"));
  EXPECT_FALSE(FileExists(""));
}

TEST(PathHelpers, FindFileOnPathSearchesTheCurrentFolder) {
  tvn::testing::TempDir dir;
  tvn::testing::WriteBytes(dir / "tvn-findme.txt", {1});
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  CString result;
  EXPECT_TRUE(FindFileOnPath(result, "X:\\elsewhere\\tvn-findme.txt"));
  EXPECT_EQ(std::filesystem::path(result.ToUtf8()), std::filesystem::canonical(dir / "tvn-findme.txt"));
  CString untouched = "same";
  EXPECT_FALSE(FindFileOnPath(untouched, "tvn-not-there.txt"));
  EXPECT_EQ(untouched, "same");
  std::filesystem::current_path(old);
}
