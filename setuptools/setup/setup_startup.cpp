// Start-up of setup: the command line, the caption and title, and the install directory the script proposes.
#include "setuptools/setup/setup_app.h"

#include "platform/base/codepage.h"
#include "platform/sys/profile_file.h"

bool CSetupApp::IsSwitch(std::string_view argument) {
  if (!argument.empty() && (argument.front() == '-' || argument.front() == '/')) argument.remove_prefix(1);
  return argument == "s" || argument == "S";
}

CSetupApp::CommandLine CSetupApp::ParseCommandLine(const std::vector<CString>& arguments) {
  CommandLine line;
  std::size_t first = 0;
  if (!arguments.empty() && IsSwitch(arguments.front().view())) {
    line.silent = true;
    first = 1;
  }
  // A folder with blanks may come as several arguments when it was not quoted.
  std::string folder;
  for (std::size_t i = first; i < arguments.size(); ++i) {
    if (!folder.empty()) folder += ' ';
    folder += arguments[i].str();
  }
  line.sourceDirectory = CString(folder);
  return line;
}

void CSetupApp::InitInstance() {
  m_caption = m_script.GetString("dialog.caption");
  m_backgroundTitle = m_script.GetString("background.title");
  if (m_backgroundTitle.IsEmpty()) m_backgroundTitle = m_caption;
  m_services.SetCaption(m_caption.IsEmpty() ? m_services.Caption() : m_caption);

  CString defdir = m_script.GetString("data.defdir");
  const std::string_view text = defdir.view();
  if (text.find('[') != std::string_view::npos && text.size() >= 2) {
    // "[Section]": the Path key of that WIN.INI section, else the drive root's folder of that name.
    const std::string section(text.substr(1, text.size() - 2));
    tvn::sys::ProfileFile winIni;
    std::optional<std::string> path;
    if (winIni.Load(m_setup.locations.windowsDir / "win.ini")) path = winIni.GetString(section, "Path");
    // WIN.INI holds code page 1252; setup's texts are UTF-8.
    defdir = path ? CString(tvn::codepage::ToUtf8(path->substr(0, 260))) : CString("C:\\" + section);
  }
  // Script text ("C:\PRODUCT") becomes the host folder the user sees.
  const auto host = ScriptPathToHost(defdir, m_services.Drives());
  m_installText = host ? CString(host->string()) : defdir;
}
