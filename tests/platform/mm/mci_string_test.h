// The set-up the MCI command-string tests share: a media system on the test clock recording its sound, a window for notices.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/mm/media_system.h"
#include "tests/platform/user/window_test_support.h"

class MciStringTest : public WindowTest {
 protected:
  MciStringTest() : media(clock, CAudioOutput::Mode::recording) { window = MakeWindow(); }

  // A command string with the window as the one to notify.
  DWORD Send(const std::string& command, std::string* reply = nullptr) {
    std::string text;
    const DWORD error = media.Mci().SendString(command, text, window->GetSafeHwnd());
    if (reply) *reply = text;
    return error;
  }
  // The reply of a command that must succeed.
  std::string Reply(const std::string& command) {
    std::string text;
    EXPECT_EQ(Send(command, &text), 0u) << command;
    return text;
  }
  // Time passes: the sound is mixed, then the notices are dispatched.
  void Advance(DWORD ms) {
    clock.Advance(ms);
    media.Output().Pump();
    PumpReady();
  }
  std::vector<RecordedMessage> Notices() const { return window->Messages(MM_MCINOTIFY); }

  CMediaSystem media;
  std::unique_ptr<CRecordingWnd> window;
};
