// Tvnrun: the presentation runtime. Started with a course or packed data file
// it plays it in the presentation window; without one it asks for a course.
#include <vector>

#include "platform/base/cstring.h"
#include "platform/framework/program_start.h"
#include "platform/user/gui_session.h"
#include "platform/user/session_end.h"
#include "playback/app_resources.h"
#include "playback/player_app.h"

int main(int argc, char** argv) {
  return RunProgram(argc, argv, {"Tvnrun", LoadAppString(AppResource::kMainFrame)}, [&] {
    std::vector<CString> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(CString::FromUtf8(argv[i]));
    CPlayerApp app(std::move(arguments));
    app.SetRegistersShellFileTypes(true);
    CGuiSession::Attach(app);
    // The end of the session (SIGTERM, SIGHUP, Qt's quit) closes the program
    // as its main frame's closing does, from the loop.
    CSessionEndWatcher sessionEnd([&app] { app.PostCall([&app] { app.EndSession(); }); });
    return app.RunApplication();
  });
}
