// A program's start: the body's own exit status, and every kind of escaped error told once with the error's exit status.
#include "platform/framework/program_start.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/base/exceptions.h"
#include "platform/user/gui_session.h"
#include "tests/platform/user/window_test_support.h"

TEST(ProgramStart, TheBodysStatusPassesAndAnEscapedErrorIsToldOnceAndEndsTheProgram) {
  EnsureQtApplication();
  int argc = 1;
  char name[] = "program";
  char* argv[] = {name, nullptr};
  // The tests run off-screen, where no box could ever be answered: a program
  // that did not ask for it is kept from showing one as well.
  ASSERT_FALSE(CGuiSession::ShowsWindows());
  const ProgramStart silent{"prog", "Program", true};
  const ProgramStart windowed{"prog", "Program", false};
  EXPECT_EQ(RunProgram(argc, argv, silent, [] { return 2; }), 2);

  struct Row {
    std::function<int()> body;
    std::string told;
  };
  const Row rows[] = {
      {[]() -> int { throw CFileException(CFileException::fileNotFound, 2, "a.txt"); },
       "prog: A file could not be used: a.txt (file error 2).\n"},
      {[]() -> int { throw CArchiveException(CArchiveException::badSchema, "c.mcl"); },
       "prog: A file is damaged or not of the kind expected: c.mcl (archive error 7).\n"},
      {[]() -> int { throw CArchiveException(CArchiveException::endOfFile); },
       "prog: A file is damaged or not of the kind expected (archive error 3).\n"},
      {[]() -> int { throw CMemoryException(); }, "prog: There is not enough memory to go on.\n"},
      {[]() -> int { throw std::bad_alloc(); }, "prog: There is not enough memory to go on.\n"},
      {[]() -> int { throw std::runtime_error("broken"); }, "prog: An unexpected error stopped the program: broken\n"},
      // An operation the user ended: nothing to tell, but the program still stops.
      {[]() -> int { throw CUserException(); }, ""},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    for (const ProgramStart* start : {&silent, &windowed}) {
      ::testing::internal::CaptureStderr();
      EXPECT_EQ(RunProgram(argc, argv, *start, rows[i].body), kEscapedErrorExit) << "row " << i;
      EXPECT_EQ(::testing::internal::GetCapturedStderr(), rows[i].told) << "row " << i;
    }
  }

  // A program's own log gets the text while it is still open; the error goes on to the report.
  std::vector<std::string> logged;
  ::testing::internal::CaptureStderr();
  const int status = RunProgram(argc, argv, silent, [&] {
    return RunLoggingErrors([&](const std::string& text) { logged.push_back(text); },
                            []() -> int { throw CFileException(CFileException::diskFull, 28, "out.dat"); });
  });
  EXPECT_EQ(status, kEscapedErrorExit);
  EXPECT_EQ(logged, (std::vector<std::string>{"A file could not be used: out.dat (file error 13)."}));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "prog: A file could not be used: out.dat (file error 13).\n");
  EXPECT_EQ(RunLoggingErrors([&](const std::string& text) { logged.push_back(text); }, [] { return 0; }), 0);
  EXPECT_EQ(logged.size(), 1u);
}
