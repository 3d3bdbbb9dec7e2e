// setup: installs a product from the distribution folder it stands in, as a
// wizard or, with "-s", silently (messages in setup.log); a folder argument
// names where the disks' files are read.
#include <vector>

#include "platform/base/cstring.h"
#include "platform/user/gui_session.h"
#include "setuptools/setup/setup_program.h"

int main(int argc, char** argv) {
  // Arguments stay UTF-8: setup's texts are host paths.
  std::vector<CString> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  const bool silent = CSetupApp::ParseCommandLine(arguments).silent;
  CGuiSession session(argc, argv, silent);
  CSetupProgram app(std::move(arguments));
  CGuiSession::Attach(app);
  return app.RunApplication();
}
