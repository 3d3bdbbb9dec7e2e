// Windows-style names mapped onto a folder tree whose case differs.
#include "platform/base/host_path.h"

#include <gtest/gtest.h>

#include <chrono>
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

// Listings kept between searches still see every change to the folder: someone else's (the folder's time moves;
// set here to a time of its own, so the test does not hang on the clock's grain) and the writer's own.
TEST_F(HostPathTest, KeptListingsFollowTheFolder) {
  using tvn::path::NameEncoding;
  tvn::path::FolderListings listings;
  const tvn::path::DriveTable none;
  const fs::path media = root / "Media";
  auto map = [&](const std::string& name) {
    return *MapWindowsPath(root.string() + "/MEDIA/" + name, none, NameEncoding::kUtf8, &listings);
  };
  EXPECT_EQ(map("INTRO.bmp"), media / "Intro.BMP");
  EXPECT_EQ(map("LATER.TXT"), media / "LATER.TXT");
  // Someone else adds a file.
  std::ofstream(media / "later.txt") << "x";
  fs::last_write_time(media, fs::last_write_time(media) + std::chrono::seconds(5));
  EXPECT_EQ(map("LATER.TXT"), media / "later.txt");
  // The writer adds one right after a search and says so; then someone else adds one, unseen until the time moves.
  EXPECT_EQ(map("OWN.TXT"), media / "OWN.TXT");
  std::ofstream(media / "own.txt") << "x";
  listings.Added(media / "own.txt");
  EXPECT_EQ(map("Own.Txt"), media / "own.txt");
  std::ofstream(media / "other.txt") << "x";
  fs::last_write_time(media, fs::last_write_time(media) + std::chrono::seconds(5));
  EXPECT_EQ(map("OTHER.TXT"), media / "other.txt");
  // A writer's report with no search just before it drops the listing rather than vouch for someone else's change.
  listings.Added(media / "other.txt");
  std::ofstream(media / "quiet.txt") << "x";
  std::ofstream(media / "mine.txt") << "x";
  listings.Added(media / "mine.txt");
  EXPECT_EQ(map("QUIET.TXT"), media / "quiet.txt");
}
