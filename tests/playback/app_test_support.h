// The application object under test: a player on a hand-driven clock with Qt
// as its event source and scripted dialogs, and course files to start it on.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/msg/clock.h"
#include "playback/player_app.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/temp_dir.h"

namespace tvn::testing {

// A course of `tasks` empty tasks; with waitForKey the first waits for any key.
std::vector<std::uint8_t> EmptyTaskCourse(int tasks, bool waitForKey = false);

class PlayerAppTest : public ::testing::Test {
 protected:
  PlayerAppTest();
  ~PlayerAppTest() override;

  // Makes the application on the arguments; libraries are never found.
  CPlayerApp& MakeApp(std::vector<CString> arguments = {});
  // Pumps the loop until the program quits and gives the exit code; the test
  // fails when the queue stays empty with the program still alive.
  int RunToEnd();
  // The same without failing: nothing when the program lives on with nothing to do.
  std::optional<int> RunUntilQuiet();

  CManualClock clock{1000};
  std::unique_ptr<CPlayerApp> app;
  CScriptedDialogs* dialogs = nullptr;
  TempDir dir;
  std::filesystem::path savedDirectory;
};

}  // namespace tvn::testing
