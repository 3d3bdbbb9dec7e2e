// The diskette check and the CD-ROM count over a drive table of the test's own.
#include "model/drive_helpers.h"

#include <gtest/gtest.h>

#include "model/string_table.h"
#include "tests/support/recording_message_sink.h"
#include "tests/support/temp_dir.h"

TEST(DriveHelpers, MissingAndFixedDrivesFailAtOnceWithTheDriveMessage) {
  tvn::testing::TempDir dir;
  tvn::path::DriveTable drives;
  drives.Map('Q', dir.path());
  tvn::testing::RecordingMessageSink sink;
  CMessageService messages(sink, "Tvnrun");
  for (const char* drive : {"", "z:", "q:"}) {
    CString message;
    EXPECT_FALSE(CheckDrive(messages, drive, TRUE, &message, drives)) << drive;
    EXPECT_EQ(message, LoadStringText(8211)) << drive;
  }
  EXPECT_TRUE(sink.boxes.empty());
  EXPECT_FALSE(CheckDrive(messages, "Q:", FALSE, nullptr, drives));
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].text, LoadStringText(8211).str());
  EXPECT_EQ(sink.beeps, std::vector<UINT>{0xFFFFFFFFu});
  // Nothing was probed on the fixed drive.
  EXPECT_FALSE(std::filesystem::exists(dir / "~.~"));
}

TEST(DriveHelpers, NoCdDrivesAmongFolderDrives) {
  tvn::testing::TempDir dir;
  tvn::path::DriveTable drives;
  drives.Map('D', dir.path());
  CString first = "unchanged";
  EXPECT_EQ(CountCdDrives(first, drives), 0);
  EXPECT_EQ(first, "unchanged");
}
