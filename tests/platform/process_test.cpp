// Starting outside programs and taking their exit codes.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

namespace {

TEST(Process, ExitCodesArgumentsAndFailuresToStart) {
  auto run = tvn::sys::RunAndWait("/bin/sh", {"-c", "exit 40"});
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, 40);

  // Arguments arrive whole, blanks included.
  run = tvn::sys::RunAndWait("/bin/sh", {"-c", "test \"$1\" = 'a b'", "sh", "a b"});
  EXPECT_EQ(run.exitCode, 0);

  // Only the low 8 bits of an exit code survive.
  run = tvn::sys::RunAndWait("/bin/sh", {"-c", "exit 9000"});
  EXPECT_EQ(run.exitCode, 9000 & 0xFF);

  run = tvn::sys::RunAndWait("/bin/sh", {"-c", "kill -9 $$"});
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, -1);

  run = tvn::sys::RunAndWait("/nonexistent/program", {});
  EXPECT_FALSE(run.started);
  EXPECT_EQ(run.error, ENOENT);
}

}  // namespace

namespace {

TEST(Process, StartedProgramsRunWithoutBeingWaitedFor) {
  auto folder = std::filesystem::temp_directory_path() / ("tvn-start-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(folder);
  auto marker = folder / "done";
  auto run = tvn::sys::StartProcess("/bin/sh", {"-c", "echo ok > \"$1\"", "sh", marker.string()});
  EXPECT_TRUE(run.started);
  // Generous bound: the child only has to start on a busy machine.
  for (int i = 0; i < 1000 && !std::filesystem::exists(marker); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(std::filesystem::exists(marker));
  std::filesystem::remove_all(folder);

  run = tvn::sys::StartProcess("/nonexistent/program", {});
  EXPECT_FALSE(run.started);
  EXPECT_EQ(run.error, ENOENT);
}

}  // namespace
