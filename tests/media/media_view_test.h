// The set-up the media-object tests share: a media system on the test clock recording its sound, and a view to own media.
#pragma once

#include <chrono>
#include <memory>
#include <thread>

#include "media/media_environment.h"
#include "platform/mm/media_system.h"
#include "tests/platform/user/window_test_support.h"

class MediaViewTest : public WindowTest {
 protected:
  MediaViewTest() : media(clock, CAudioOutput::Mode::recording) {
    view = MakeWindow();
    env.system = &media;
    env.owner = view->GetSafeHwnd();
  }

  // Moves the clock on, lets the mixer play up to it and handles what came.
  void Advance(DWORD ms) {
    clock.Advance(ms);
    media.Output().Pump();
    PumpReady();
  }

  // Handles what comes until a notice arrives from a worker thread (up to
  // 20 s of real time, generous for a loaded machine); false if none came.
  bool WaitForNotice() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (view->Messages(MM_MCINOTIFY).empty()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      PumpReady();
    }
    return true;
  }

  CMediaSystem media;
  std::unique_ptr<CRecordingWnd> view;
  MediaEnvironment env;
};
