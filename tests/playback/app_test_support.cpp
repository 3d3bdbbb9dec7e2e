#include "tests/playback/app_test_support.h"

#include "platform/user/gui_session.h"
#include "tests/support/course_builder.h"

namespace tvn::testing {

std::vector<std::uint8_t> EmptyTaskCourse(int tasks, bool waitForKey) {
  CourseFileFields f;
  for (int t = 1; t <= tasks; ++t) {
    f.tasks.push_back([t, waitForKey](CourseBuilder& b) {
      std::vector<CourseBuilder::Writer> responses;
      if (waitForKey && t == 1)
        responses.push_back([](CourseBuilder& c) { c.KeyboardResponse(IconFields{4, "key", "", 3}, {}, {}); });
      b.Task(IconFields{4, "Task " + std::to_string(t), "", 3}, t, {}, {}, responses);
    });
  }
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

PlayerAppTest::PlayerAppTest() : savedDirectory(std::filesystem::current_path()) { EnsureQtApplication(); }

PlayerAppTest::~PlayerAppTest() {
  app.reset();
  std::filesystem::current_path(savedDirectory);
}

CPlayerApp& PlayerAppTest::MakeApp(std::vector<CString> arguments) {
  app = std::make_unique<CPlayerApp>(std::move(arguments), clock);
  CGuiSession::Attach(*app);
  auto scripted = std::make_unique<CScriptedDialogs>();
  dialogs = scripted.get();
  app->SetDialogs(std::move(scripted));
  app->SetLibraryProbe({[](const std::string&) { return std::nullopt; },
                        [](const std::filesystem::path&, const std::string&) { return false; }});
  return *app;
}

std::optional<int> PlayerAppTest::RunUntilQuiet() {
  // The loop's own turns, bounded: nothing here waits for the clock, so a run
  // that finds its queue empty many times over has stopped making progress.
  int emptyTurns = 0;
  while (emptyTurns < 200) {
    MSG msg;
    if (!app->PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
      ++emptyTurns;
      app->OnIdle(0);
      continue;
    }
    emptyTurns = 0;
    if (msg.message == WM_QUIT) return app->ExitInstance();
    if (!app->PreTranslateMessage(msg)) app->DispatchMessage(msg);
  }
  return std::nullopt;
}

int PlayerAppTest::RunToEnd() {
  std::optional<int> code = RunUntilQuiet();
  if (!code) ADD_FAILURE() << "the program did not end";
  return code.value_or(-1);
}

}  // namespace tvn::testing
