// Staged writes: whole files or nothing at the target, kept dates and modes, programs in use.
#include "platform/sys/staged_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/base/exceptions.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using tvn::testing::TempDir;

void Write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
std::size_t EntryCount(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(StagedFileTest, CopyKeepsTheSourcesTimeAndModeAndReplacesTheTarget) {
  TempDir dir;
  const std::string big(700 * 1024 + 3, 'b');
  Write(dir / "src", big);
  fs::permissions(dir / "src", fs::perms(0755));
  const auto when = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  fs::last_write_time(dir / "src", when);
  Write(dir / "dst", "old");
  ASSERT_TRUE(tvn::sys::CopyFileStaged(dir / "src", dir / "dst"));
  EXPECT_EQ(Read(dir / "dst"), big);
  EXPECT_EQ(fs::status(dir / "dst").permissions() & fs::perms::all, fs::perms(0755));
  EXPECT_EQ(fs::last_write_time(dir / "dst"), when);
  EXPECT_EQ(EntryCount(dir.path()), 2u);
}

TEST(StagedFileTest, AFailedWriteLeavesTheOldTargetAndNoTemporaryFile) {
  TempDir dir;
  Write(dir / "dst", "old");
  bool readFailed = false;
  auto result = tvn::sys::CopyFileStaged(dir / "missing", dir / "dst", &readFailed);
  EXPECT_EQ(result.cause, CFileException::fileNotFound);
  EXPECT_TRUE(readFailed);
  fs::create_directory(dir / "folder");
  EXPECT_FALSE(tvn::sys::CopyFileStaged(dir / "folder", dir / "dst"));
  EXPECT_EQ(tvn::sys::CopyFileStaged(dir / "dst", dir / "nofolder" / "x").cause, CFileException::fileNotFound);
  {
    tvn::sys::StagedFile staged;
    ASSERT_TRUE(staged.Create(dir / "dst"));
    ASSERT_TRUE(staged.Write("half"));
  }  // abandoned
  EXPECT_EQ(Read(dir / "dst"), "old");
  EXPECT_EQ(EntryCount(dir.path()), 2u);
  // A kept copy stays under its own name until it replaces the target.
  tvn::sys::StagedFile staged;
  ASSERT_TRUE(staged.Create(dir / "dst"));
  ASSERT_TRUE(staged.Write("new"));
  auto kept = staged.Keep(std::nullopt, std::nullopt);
  ASSERT_TRUE(kept);
  EXPECT_EQ(Read(dir / "dst"), "old");
  ASSERT_TRUE(tvn::sys::ReplaceFile(*kept, dir / "dst"));
  EXPECT_EQ(Read(dir / "dst"), "new");
  EXPECT_FALSE(fs::exists(*kept));
}

TEST(StagedFileTest, ARunningProgramIsInUseAndAStagedCopyStillReplacesIt) {
  TempDir dir;
  const fs::path program = dir / "prog";
  fs::copy_file("/bin/sleep", program);
  fs::permissions(program, fs::perms(0755));
  EXPECT_FALSE(tvn::sys::IsFileInUse(program));
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl(program.c_str(), "prog", "30", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ASSERT_GT(pid, 0);
  bool inUse = false;
  for (int i = 0; i < 20000 && !inUse; ++i) {  // until exec has happened
    inUse = tvn::sys::IsFileInUse(program);
    if (!inUse) ::usleep(1000);
  }
  EXPECT_TRUE(inUse);
  Write(dir / "new", "replacement");
  EXPECT_TRUE(tvn::sys::CopyFileStaged(dir / "new", program));  // a rename, never a write into the running file
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  EXPECT_EQ(Read(program), "replacement");
  EXPECT_FALSE(tvn::sys::IsFileInUse(dir / "missing"));
  EXPECT_GT(tvn::sys::FreeSpace(dir / "not" / "yet"), 0u);
}

// A copy hands back after every chunk and can be stopped there; a later writer clears what a killed one left.
TEST(StagedFileTest, ACopyHandsBackEveryChunkAndAStoppedOrKilledOneLeavesNoTrace) {
  TempDir dir;
  const std::string big(700 * 1024 + 3, 'b');
  Write(dir / "src", big);
  Write(dir / "dst", "old");
  std::vector<std::size_t> chunks;
  auto stopAtThird = [&](std::size_t bytes) {
    chunks.push_back(bytes);
    return chunks.size() < 3;
  };
  const auto stopped = tvn::sys::CopyFileStaged(dir / "src", dir / "dst", nullptr, stopAtThird);
  EXPECT_FALSE(stopped);
  EXPECT_EQ(stopped.osError, ECANCELED);
  EXPECT_EQ(chunks.size(), 3u);
  EXPECT_EQ(Read(dir / "dst"), "old");
  EXPECT_EQ(EntryCount(dir.path()), 2u);  // no staged copy left
  chunks.clear();
  ASSERT_TRUE(tvn::sys::CopyFileStaged(dir / "src", dir / "dst", nullptr, [&](std::size_t bytes) {
    chunks.push_back(bytes);
    return true;
  }));
  EXPECT_EQ(Read(dir / "dst"), big);
  EXPECT_EQ(chunks.size(), 6u);
  for (std::size_t bytes : chunks) EXPECT_LE(bytes, tvn::sys::kCopyChunkBytes);

  // What a writer killed before its commit leaves goes; names that only look alike stay.
  const char* stale[] = {".~dst.Ab12Z9", ".~x y.000000"};
  const char* kept[] = {".~dst.part", ".~dst.Ab12Z", ".~dst.Ab12Z9x", "dst.Ab12Z9", ".~.abcdef", ".~d.ab-def"};
  for (const char* name : stale) Write(dir / name, "half");
  for (const char* name : kept) Write(dir / name, "other");
  fs::create_directory(dir / ".~dir.abcdef");
  fs::create_symlink(dir / "src", dir / ".~lnk.abcdef");
  tvn::sys::RemoveStaleStagedFiles(dir.path());
  for (const char* name : stale) EXPECT_FALSE(fs::exists(dir / name)) << name;
  for (const char* name : kept) EXPECT_TRUE(fs::exists(dir / name)) << name;
  EXPECT_TRUE(fs::is_directory(dir / ".~dir.abcdef"));
  EXPECT_TRUE(fs::is_symlink(dir / ".~lnk.abcdef"));
  EXPECT_EQ(Read(dir / "src"), big);
}

}  // namespace

