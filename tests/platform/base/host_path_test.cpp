// Windows-style names mapped onto a folder tree whose case differs.
#include "platform/base/host_path.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using tvn::path::DriveTable;
using tvn::path::MapWindowsPath;

namespace {

class HostPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("tvn_host_path_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "Media" / "Clips");
    std::ofstream(root / "Media" / "Intro.BMP") << "x";
    std::ofstream(root / "Media" / "Clips" / "a.avi") << "x";
  }
  void TearDown() override { fs::remove_all(root); }
  CString Text(const std::string& s) { return CString::FromUtf8(s); }
  fs::path root;
};

}  // namespace

TEST_F(HostPathTest, ComponentsMatchWithoutRegardToCase) {
  auto p = MapWindowsPath(Text(root.string() + "\\MEDIA\\intro.bmp"), DriveTable());
  ASSERT_TRUE(p);
  EXPECT_EQ(*p, root / "Media" / "Intro.BMP");
  p = MapWindowsPath(Text(root.string() + "/media/CLIPS\\A.AVI"), DriveTable());
  ASSERT_TRUE(p);
  EXPECT_EQ(*p, root / "Media" / "Clips" / "a.avi");
}

TEST_F(HostPathTest, MissingComponentsStayAsWritten) {
  auto p = MapWindowsPath(Text(root.string() + "\\media\\New\\File.txt"), DriveTable());
  ASSERT_TRUE(p);
  EXPECT_EQ(*p, root / "Media" / "New" / "File.txt");
}

TEST_F(HostPathTest, DrivesGoThroughTheTable) {
  DriveTable drives;
  EXPECT_FALSE(MapWindowsPath("C:\\MEDIA\\INTRO.BMP", drives));
  drives.Map('c', root);
  auto p = MapWindowsPath("C:\\MEDIA\\INTRO.BMP", drives);
  ASSERT_TRUE(p);
  EXPECT_EQ(*p, root / "Media" / "Intro.BMP");
  EXPECT_FALSE(MapWindowsPath("\\\\server\\share\\x", drives));
}

TEST_F(HostPathTest, RelativeNamesStayRelative) {
  auto p = MapWindowsPath("..\\media\\a.bmp", DriveTable());
  ASSERT_TRUE(p);
  EXPECT_TRUE(p->is_relative());
  EXPECT_EQ(p->generic_string(), "../media/a.bmp");
  EXPECT_EQ(MapWindowsPath("", DriveTable())->string(), ".");
}
