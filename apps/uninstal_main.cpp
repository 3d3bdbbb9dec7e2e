// uninstal: removes an installation as the UNINSTAL.INF beside it (or named
// as the first argument) lists it, after one question.
#include <string>
#include <vector>

#include "platform/framework/program_start.h"
#include "platform/user/gui_session.h"
#include "platform/user/message_loop.h"
#include "platform/user/session_end.h"
#include "setuptools/common/message_boxes.h"
#include "setuptools/common/progman_client.h"
#include "setuptools/common/setup_paths.h"
#include "setuptools/uninstal/removal_file_system.h"
#include "setuptools/uninstal/uninstall_app.h"
#include "setuptools/uninstal/uninstall_dlg.h"

int main(int argc, char** argv) {
  return RunProgram(argc, argv, {"uninstal"}, [&] {
    CMessageLoop loop;
    CGuiSession::Attach(loop);
    // The end of the session (SIGTERM, SIGHUP, Qt's quit) ends the dialog
    // and every box as unanswered: nothing more is removed.
    CSessionEndWatcher sessionEnd([&loop] { loop.BeginProgramClose(); });
    CPlatformMessageBoxes boxes;
    CUninstallDlgQuestion question;
    CHostRemovalFileSystem files;
    CMenuEntryTransport progman;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    CUninstallApp app({boxes, question, files, progman}, GetModuleDirectory(), std::move(arguments));
    app.InitInstance();
    return app.ExitInstance();
  });
}
