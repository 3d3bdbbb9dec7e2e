// Host queries: temporary files, drives of the drive table, moves across file systems.
#include "platform/sys/system_info.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "tests/support/packed_file_builder.h"
#include "tests/support/temp_dir.h"

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

namespace {

int CrossDevice(const std::filesystem::path&, const std::filesystem::path&) { return EXDEV; }

// Caps the size of any file the process writes while it lives: a write past
// the cap fails (EFBIG) instead of raising its signal.
class FileSizeCap {
 public:
  explicit FileSizeCap(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &m_old);
    m_oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit capped{bytes, m_old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &capped);
  }
  ~FileSizeCap() {
    ::setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldSignal);
  }
  FileSizeCap(const FileSizeCap&) = delete;
  FileSizeCap& operator=(const FileSizeCap&) = delete;

 private:
  rlimit m_old{};
  void (*m_oldSignal)(int) = SIG_DFL;
};

}  // namespace

TEST(SystemInfo, AMoveAcrossFileSystemsCopiesRemovesAndNeverReplacesOrLeavesHalfAFile) {
  tvn::testing::TempDir dir;
  std::vector<std::uint8_t> payload(200000);
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  const auto source = dir / "source.bin", target = dir / "target.bin";
  tvn::testing::WriteBytes(source, payload);
  EXPECT_EQ(tvn::sys::MoveFileNoReplace(source, target, CrossDevice), 0);
  EXPECT_FALSE(tvn::sys::PathExists(source));
  EXPECT_EQ(tvn::testing::ReadBytes(target), payload);

  // An existing target is never replaced; both files stay as they were.
  const auto kept = dir / "kept.bin";
  tvn::testing::WriteBytes(kept, {'o', 'l', 'd'});
  EXPECT_EQ(tvn::sys::MoveFileNoReplace(target, kept, CrossDevice), EEXIST);
  EXPECT_EQ(tvn::testing::ReadBytes(kept), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(tvn::testing::ReadBytes(target), payload);
  EXPECT_EQ(tvn::sys::MoveFileNoReplace(dir.path(), dir / "elsewhere", CrossDevice), EXDEV) << "only files are copied";

  // A copy that fails part-way leaves the source whole and no half target.
  const auto half = dir / "half.bin";
  int error = 0;
  {
    FileSizeCap cap(4096);
    error = tvn::sys::MoveFileNoReplace(target, half, CrossDevice);
  }
  EXPECT_NE(error, 0);
  EXPECT_FALSE(tvn::sys::PathExists(half));
  EXPECT_EQ(tvn::testing::ReadBytes(target), payload);
}
