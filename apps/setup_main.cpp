// setup: installs a product from the distribution folder it stands in, as a
// wizard or, with "-s", silently (messages in setup.log); a folder argument
// names where the disks' files are read.
#include <vector>

#include "platform/base/cstring.h"
#include "platform/framework/program_start.h"
#include "platform/user/gui_session.h"
#include "platform/user/session_end.h"
#include "setuptools/common/setup_strings.h"
#include "setuptools/setup/setup_program.h"

int main(int argc, char** argv) {
  // Arguments stay UTF-8: setup's texts are host paths.
  std::vector<CString> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  const bool silent = CSetupApp::ParseCommandLine(arguments).silent;
  const ProgramStart start{"setup", LoadSetupString(SetupProgram::kSetup, SetupString::kTitle), silent};
  return RunProgram(argc, argv, start, [&] {
    CSetupProgram app(std::move(arguments));
    CGuiSession::Attach(app);
    // The end of the session (SIGTERM, SIGHUP, Qt's quit) closes the
    // background window from the loop, which stops the run where it stands
    // and leaves UNINSTAL.INF listing what was installed.
    CSessionEndWatcher sessionEnd([&app] { app.PostCall([&app] { app.EndSession(); }); });
    return RunLoggingErrors([&app](const std::string& text) { app.LogError(text); },
                            [&app] { return app.RunApplication(); });
  });
}
