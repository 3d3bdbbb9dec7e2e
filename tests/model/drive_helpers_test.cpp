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

namespace {

// Drive A is a diskette drive and drives E and G are CD-ROM drives, whatever folders stand behind them.
tvn::sys::DriveType FakeTypes(const CString& root, const tvn::path::DriveTable& drives) {
  if (!drives.Lookup(root[0])) return tvn::sys::DriveType::noRootDir;
  switch (root[0] | 0x20) {
    case 'a': return tvn::sys::DriveType::removable;
    case 'e':
    case 'g': return tvn::sys::DriveType::cdrom;
    default: return tvn::sys::DriveType::fixed;
  }
}

}  // namespace

TEST(DriveHelpers, RemovableDriveIsProbedInItsRootAndTheProbeRemoved) {
  tvn::testing::TempDir dir;
  tvn::path::DriveTable drives;
  drives.Map('A', dir.path());
  tvn::testing::RecordingMessageSink sink;
  CMessageService messages(sink, "Tvnrun");
  for (const char* drive : {"a:", "A:\\", "a:\\ignored"}) {
    CString message;
    EXPECT_TRUE(CheckDrive(messages, drive, TRUE, &message, drives, &FakeTypes)) << drive;
    EXPECT_TRUE(message.IsEmpty());
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  EXPECT_TRUE(sink.boxes.empty());
}

TEST(DriveHelpers, UnwritableDiskOffersRetryUntilCancelled) {
  tvn::testing::TempDir dir;
  tvn::path::DriveTable drives;
  // The folder of drive A does not exist, so the probe cannot be written.
  drives.Map('A', dir.path() / "gone");
  tvn::testing::RecordingMessageSink sink;
  CMessageService messages(sink, "Tvnrun");
  CString message;
  EXPECT_FALSE(CheckDrive(messages, "a:", TRUE, &message, drives, &FakeTypes));
  EXPECT_EQ(message, FormatStringId1(8212, "a:"));
  EXPECT_TRUE(sink.boxes.empty());

  sink.answers = {IDRETRY, IDRETRY, IDCANCEL};
  EXPECT_FALSE(CheckDrive(messages, "a:", FALSE, nullptr, drives, &FakeTypes));
  ASSERT_EQ(sink.boxes.size(), 3u);
  EXPECT_EQ(sink.boxes[0].style, MB_RETRYCANCEL | MB_ICONSTOP);
  EXPECT_EQ(sink.boxes[2].text, FormatStringId1(8212, "a:").str());
  // Retry after the disk came back succeeds.
  sink.answers = {IDRETRY};
  sink.boxes.clear();
  std::filesystem::create_directory(dir.path() / "gone");
  EXPECT_TRUE(CheckDrive(messages, "a:", FALSE, nullptr, drives, &FakeTypes));
  EXPECT_TRUE(sink.boxes.empty());
}

TEST(DriveHelpers, CdDrivesAreCountedAndTheFirstNamed) {
  tvn::path::DriveTable drives;
  for (char letter : {'C', 'G', 'E', 'A'}) drives.Map(letter, "/");
  CString first;
  EXPECT_EQ(CountCdDrives(first, drives, &FakeTypes), 2);
  EXPECT_EQ(first, "E:");
  tvn::testing::RecordingMessageSink sink;
  CMessageService messages(sink, "Tvnrun");
  CString message;
  EXPECT_FALSE(CheckDrive(messages, "E:", TRUE, &message, drives, &FakeTypes));
  EXPECT_EQ(message, LoadStringText(8211));
}
