// autorun: a course CD's start program: refreshes outdated system files and
// starts Tvnrun from the CD on the course of the first program item.
#include <string>

#include "platform/framework/program_start.h"
#include "platform/user/gui_session.h"
#include "platform/user/message_loop.h"
#include "platform/user/session_end.h"
#include "setuptools/autorun/autorun_app.h"
#include "setuptools/common/message_boxes.h"
#include "setuptools/common/setup_paths.h"
#include "setuptools/common/setup_strings.h"

int main(int argc, char** argv) {
  return RunProgram(argc, argv, {"autorun", LoadSetupString(SetupProgram::kAutorun, SetupString::kTitle)}, [&] {
    CMessageLoop loop;
    CGuiSession::Attach(loop);
    // The end of the session (SIGTERM, SIGHUP, Qt's quit) ends every box as
    // unanswered, and nothing more is copied or started.
    CSessionEndWatcher sessionEnd([&loop] { loop.BeginProgramClose(); });
    CPlatformMessageBoxes boxes;
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
      if (i > 1) commandLine += ' ';
      commandLine += argv[i];
    }
    CAutorunApp app(boxes, GetModuleDirectory(), commandLine);
    app.InitInstance();
    return 0;
  });
}
