// A program's start: its Qt session, its run, and an error that escapes the run told before the program ends.
#pragma once

#include <functional>
#include <string>

#include "platform/base/cstring.h"

// The exit status of a program that an escaped error ended (sysexits' EX_SOFTWARE).
inline constexpr int kEscapedErrorExit = 70;

struct ProgramStart {
  CString name{};          // the program's file name: the start of its line on stderr
  CString title{};         // the caption of the error box; the name when empty
  bool offscreen = false;  // Qt runs off-screen: there is no display and no box
};

// Makes the Qt session (off-screen when asked) and runs the program's body,
// whose exit status passes unchanged. An error that escapes the body (the
// file, archive and memory exceptions, std::bad_alloc or any other standard
// exception) is told in one line on stderr and, where windows reach a
// display, in a message box; the program then ends with kEscapedErrorExit.
// A CUserException ends it the same way without a word.
int RunProgram(int& argc, char** argv, const ProgramStart& start, const std::function<int()>& body);

// Runs the call; the text of an error escaping it goes to the log first (a
// program's own log, written while it is still open), then the error goes
// on to RunProgram. The text is UTF-8.
int RunLoggingErrors(const std::function<void(const std::string&)>& log, const std::function<int()>& run);
