// Where a course finds the files it names: packed entries, the course folder, search paths and the system's search.
#include <gtest/gtest.h>

#include <filesystem>

#include "model/course_doc.h"
#include "model/path_helpers.h"
#include "platform/base/host_path.h"
#include "tests/support/fake_course_host.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/temp_dir.h"

using tvn::testing::FakeCourseHost;
using tvn::testing::PackedFileBuilder;
using tvn::testing::TempDir;
using tvn::testing::WriteBytes;

namespace {

namespace fs = std::filesystem;

CString Text(const fs::path& p) { return tvn::path::HostPathToText(p); }

struct MediaFileFinderTest : ::testing::Test {
  TempDir dir;
  FakeCourseHost host;
  CCourseDoc doc{host};
  CString courseDir;

  void SetUp() override {
    fs::create_directories(dir / "course" / "dir");
    fs::create_directories(dir / "lib");
    doc.SetCourseDirectory(Text(dir / "course" / "lesson.mcl"));
    courseDir = doc.GetCourseDirectory();
  }
  void Touch(const fs::path& p) { WriteBytes(p, {1}); }
};

TEST_F(MediaFileFinderTest, APackedEntryWinsOverADiskFile) {
  Touch(dir / "course" / "a.bmp");
  PackedFileBuilder().Add("A.BMP", std::vector<std::uint8_t>{1, 2}).WriteTo(dir / "pack.dat");
  ASSERT_TRUE(host.data.Open(Text(dir / "pack.dat")));
  EXPECT_EQ(doc.FindMediaFile("a.bmp"), "a.bmp");
}

TEST_F(MediaFileFinderTest, AnUnknownDriveIsLookedForUnderTheCourseFolder) {
  Touch(dir / "course" / "dir" / "a.bmp");
  EXPECT_EQ(doc.FindMediaFile("X:\\dir\\a.bmp"), courseDir + "dir\\a.bmp");
  // Without the folder there, its file part under the course folder.
  Touch(dir / "course" / "b.bmp");
  EXPECT_EQ(doc.FindMediaFile("X:\\elsewhere\\b.bmp"), courseDir + "b.bmp");
}

TEST_F(MediaFileFinderTest, CaseDoesNotHideAFile) {
  Touch(dir / "course" / "intro.bmp");
  CString found = doc.FindMediaFile("INTRO.BMP");
  EXPECT_EQ(found, courseDir + "INTRO.BMP");
  EXPECT_TRUE(FileExists(found));
}

TEST_F(MediaFileFinderTest, AnExistingPathIsGivenAsItStands) {
  Touch(dir / "lib" / "c.wav");
  EXPECT_EQ(doc.FindMediaFile(Text(dir / "lib" / "c.wav")), Text(dir / "lib" / "c.wav"));
}

TEST_F(MediaFileFinderTest, SearchPathsAreWalkedInOrderWithTheFilePartAppended) {
  Touch(dir / "lib" / "d.avi");
  Touch(dir / "libe.avi");
  host.searchPaths.Add(Text(dir / "nowhere") + "/");
  host.searchPaths.Add("{Folder}");
  host.vars.Declare("Folder", VarType::kString).SetString(Text(dir / "lib") + "/");
  EXPECT_EQ(doc.FindMediaFile("Y:\\x\\d.avi"), Text(dir / "lib") + "/d.avi");
  // A path without its last separator runs into the file name.
  host.searchPaths.Add(Text(dir / "lib"));
  EXPECT_EQ(doc.FindMediaFile("e.avi"), Text(dir / "lib") + "e.avi");
}

TEST_F(MediaFileFinderTest, VariablesAreExpandedAndAnUnfoundNameComesBackExpanded) {
  host.vars.Declare("Name", VarType::kString).SetString("movie");
  EXPECT_EQ(doc.FindMediaFile("C:\\clips\\{Name}.avi"), "C:\\clips\\movie.avi");
  Touch(dir / "course" / "movie.avi");
  EXPECT_EQ(doc.FindMediaFile("{Name}.avi"), courseDir + "movie.avi");
}

}  // namespace
