// The set-up the media-object tests share: a media system on the test clock recording its sound, and a view to own media.
#pragma once

#include <memory>

#include "media/media_environment.h"
#include "platform/media_system.h"
#include "tests/platform/window_test_support.h"

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

  CMediaSystem media;
  std::unique_ptr<CRecordingWnd> view;
  MediaEnvironment env;
};
