// Starting outside programs and taking their exit codes.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <cerrno>

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
