// Host queries: temporary files, drives of the drive table.
#include "platform/sys/system_info.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(SystemInfo, UniqueTemporaryFilesCarryThePrefix) {
  auto a = tvn::sys::CreateUniqueTempFile("tvn");
  auto b = tvn::sys::CreateUniqueTempFile("tvn");
  ASSERT_TRUE(a && b);
  EXPECT_NE(*a, *b);
  EXPECT_EQ(a->filename().string().rfind("tvn", 0), 0u);
  EXPECT_TRUE(tvn::sys::PathExists(*a));
  EXPECT_TRUE(tvn::sys::RemoveFile(*a));
  EXPECT_TRUE(tvn::sys::RemoveFile(*b));
  EXPECT_FALSE(tvn::sys::PathExists(*a));
}

TEST(SystemInfo, OnlyMappedDrivesExist) {
  tvn::path::DriveTable drives;
  drives.Map('c', "/");
  drives.Map('E', "/no/such/folder/at/all");
  EXPECT_EQ(tvn::sys::LogicalDriveStrings(drives), (std::vector<CString>{"C:\\", "E:\\"}));
  EXPECT_EQ(tvn::sys::GetDriveType("D:\\", drives), tvn::sys::DriveType::noRootDir);
  EXPECT_EQ(tvn::sys::GetDriveType("E:", drives), tvn::sys::DriveType::noRootDir);
  EXPECT_EQ(tvn::sys::GetDriveType("", drives), tvn::sys::DriveType::noRootDir);
  EXPECT_NE(tvn::sys::GetDriveType("c:", drives), tvn::sys::DriveType::noRootDir);
}

TEST(SystemInfo, ErrorTextsAreNotEmpty) { EXPECT_FALSE(tvn::sys::ErrorText(2).IsEmpty()); }
