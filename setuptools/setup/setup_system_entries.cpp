// The late steps of setup: program groups (menu entries), INI entries, registry values and ODBC data sources.
#include "setuptools/setup/setup_app.h"

#include <cstdint>
#include <string>
#include <system_error>

#include "platform/base/codepage.h"
#include "platform/user/message_box_types.h"
#include "platform/sys/process.h"
#include "platform/sys/profile_file.h"
#include "platform/sys/registry_files.h"
#include "platform/user/wait_cursor.h"
#include "setuptools/common/setup_strings.h"

namespace {

namespace fs = std::filesystem;

// Leading decimal digits (after blanks and one sign); 0 when there are none.
// A value beyond 32 bits saturates; a negative one wraps as Windows stores it.
std::uint32_t LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<std::uint64_t>(value * 10 + static_cast<unsigned>(text[i] - '0'), 0xFFFFFFFFu);
  }
  const auto number = static_cast<std::uint32_t>(value);
  return negative ? static_cast<std::uint32_t>(0u - number) : number;
}

int IconIndex(const CString& text) {
  int value = 0;
  for (char c : text.view()) {
    if (c < '0' || c > '9') break;
    value = std::min(value * 10 + (c - '0'), 0xFFFF);
  }
  return value;
}

}  // namespace

MacroFolders CSetupApp::InstallMacros() const {
  MacroFolders folders = Macros();
  std::string install = m_setup.installDirectory.string();
  if (install.empty() || install.back() != '/') install += '/';
  folders.destination = CString(install);
  folders.install = CString(install);
  return folders;
}

bool CSetupApp::MarkExistingItems() {
  for (auto& group : m_existingItems) group.fill(false);
  const char* groupLine = m_script.GetSection("progman.groups");
  if (!groupLine) return false;
  const MacroFolders macros = InstallMacros();
  for (std::size_t g = 0; groupLine && g < m_existingItems.size(); groupLine = m_script.NextLine(groupLine), ++g) {
    const CString group = CInfReader::GetField(groupLine, 1);
    const char* item = m_script.GetSection(group.view());
    for (std::size_t i = 0; item && i < m_existingItems[g].size(); item = m_script.NextLine(item), ++i) {
      if (!tvn::codepage::EqualsNoCaseAscii(CInfReader::GetField(item, 6).view(), "check")) continue;
      const auto program = ScriptPathToHost(ExpandMacros(CInfReader::GetField(item, 2), macros), m_services.Drives());
      std::error_code ec;
      if (program && fs::exists(*program, ec)) m_existingItems[g][i] = true;
    }
  }
  return true;
}

void CSetupApp::AddProgmanItem(CProgmanClient& client, const CString& program, const CString& argument,
                               const CString& name, const CString& icon, int iconIndex) {
  // Program, argument and icon each in quotes by the command-line rules, so
  // blanks, commas and quotes in a path keep it one word through to the entry.
  const std::string iconFile = (icon.IsEmpty() ? program : icon).str();
  const std::string command = "[additem(" + tvn::sys::QuoteCommandLine({program.str(), argument.str()}) + ",\"" +
                              name.str() + "\"," + tvn::sys::QuoteCommandLine({iconFile}) + "," +
                              std::to_string(iconIndex) + ")]";
  client.DdeExecuteCommand(CString(command));
}

bool CSetupApp::CreateProgramGroups() {
  const char* first = m_script.GetSection("progman.groups");
  if (!first) return false;
  CMenuEntryTransport menuEntries;
  IProgmanTransport& transport = m_progman ? *m_progman : menuEntries;
  CProgmanClient client(transport, [this](UINT id) { m_services.SetupMessage(id, MB_OK); });
  const MacroFolders macros = InstallMacros();
  auto command = [&](UINT id, const CString& name) {
    client.DdeExecuteCommand(FormatSetupString(SetupProgram::kSetup, id, name));
  };

  std::size_t g = 0;
  for (const char* line = first; line; line = m_script.NextLine(line), ++g) {
    const CString group = CInfReader::GetField(line, 1);
    if (!client.ProgmanConnect()) continue;
    if (tvn::codepage::EqualsNoCaseAscii(CInfReader::GetField(line, 2).view(), "delete"))
      command(SetupString::kDeleteGroup, group);
    command(SetupString::kCreateGroup, group);
    std::size_t i = 0;
    for (const char* item = m_script.GetSection(group.view()); item; item = m_script.NextLine(item), ++i) {
      const CString component = CInfReader::GetField(item, 7);
      if (!component.IsEmpty()) {
        bool selected = false;
        for (const CString& section : m_setup.componentSections) selected = selected || section.str() == component.str();
        if (!selected) continue;
      }
      const CString name = CInfReader::GetField(item, 1);
      const CString program = GetShortPath(ExpandMacros(CInfReader::GetField(item, 2), macros));
      const CString argument = ExpandMacros(CInfReader::GetField(item, 3), macros);
      const CString iconField = CInfReader::GetField(item, 4);
      const CString icon = iconField.IsEmpty() ? CString() : GetShortPath(ExpandMacros(iconField, macros));
      const int iconIndex = IconIndex(CInfReader::GetField(item, 5));
      const CString flag = CInfReader::GetField(item, 6);
      if (tvn::codepage::EqualsNoCaseAscii(flag.view(), "delete")) command(SetupString::kDeleteItem, name);
      if (tvn::codepage::EqualsNoCaseAscii(flag.view(), "check")) {
        if (g >= m_existingItems.size() || i >= m_existingItems[g].size() || m_existingItems[g][i]) continue;
      }
      AddProgmanItem(client, program, argument, name, icon, iconIndex);
    }
    command(SetupString::kReloadGroup, group);
  }
  for (const char* line = first; line; line = m_script.NextLine(line)) {
    const std::string show = tvn::codepage::UpperAscii(CInfReader::GetField(line, 3).view());
    if (show == "CLOSE") command(SetupString::kShowGroupMinimised, CInfReader::GetField(line, 1));
    if (show == "OPEN") command(SetupString::kShowGroupNormal, CInfReader::GetField(line, 1));
  }
  client.ProgmanDisconnect();
  return true;
}

bool CSetupApp::WriteIniFiles() {
  const char* line = m_script.GetSection("ini.files");
  if (!line) return false;
  const MacroFolders macros = InstallMacros();
  for (; line; line = m_script.NextLine(line)) {
    const CString file = CInfReader::GetField(line, 1);
    const CString section = CInfReader::GetField(line, 2);
    const CString key = ExpandMacros(CInfReader::GetField(line, 3), macros);
    const CString value = ExpandMacros(CInfReader::GetField(line, 4), macros);
    // "WIN.INI" anywhere in the name (SYSWIN.INI too) means the Windows folder's win.ini;
    // a name without a folder lies in the Windows folder.
    std::optional<fs::path> target;
    const auto windows = tvn::sys::WindowsFolder();
    if (tvn::codepage::UpperAscii(file.view()).find("WIN.INI") != std::string::npos) {
      if (windows) target = *windows / "win.ini";
    } else if (file.view().find_first_of("/\\:") == std::string_view::npos) {
      if (windows && !file.IsEmpty()) target = ScriptPathToHost(CString((*windows / file.str()).string()), m_services.Drives());
    } else {
      target = ScriptPathToHost(file, m_services.Drives());
    }
    // A file outside the roots is refused like a failed write.
    if (!target || !m_services.IsInsideRoots(*target) || section.IsEmpty()) continue;
    tvn::sys::ProfileFile profile;
    if (!profile.Load(*target)) continue;
    profile.SetString(section.view(), key.view(), value.view());
    profile.Save(*target);
  }
  return true;
}

bool CSetupApp::WriteRegistry() {
  const char* line = m_script.GetSection("registry");
  if (!line) return false;
  const MacroFolders macros = InstallMacros();
  for (; line; line = m_script.NextLine(line)) {
    const std::string rootName = tvn::codepage::UpperAscii(CInfReader::GetField(line, 1).view());
    const auto root = rootName == "HKEY_LOCAL_MACHINE"  ? tvn::sys::RegistryRoot::kLocalMachine
                      : rootName == "HKEY_CLASSES_ROOT" ? tvn::sys::RegistryRoot::kClassesRoot
                                                        : tvn::sys::RegistryRoot::kCurrentUser;
    const CString subkey = CInfReader::GetField(line, 2);
    const CString name = CInfReader::GetField(line, 3);
    const CString value = ExpandMacros(CInfReader::GetField(line, 4), macros);
    const bool dword = tvn::codepage::UpperAscii(CInfReader::GetField(line, 5).view()) == "DWORD";
    if (dword) tvn::sys::WriteRegistryValue(root, subkey.view(), name.view(), LeadingNumber(value.view()));
    else tvn::sys::WriteRegistryValue(root, subkey.view(), name.view(), value.str());
    // "ScreenSaveActive" would switch the screen saver on: there is nothing here to switch.
  }
  return true;
}

std::string CSetupApp::OdbcAttributes(const CString& name) {
  std::string list = "DSN=" + name.str() + "|";
  for (const char* line = m_script.GetSection(name.view()); line; line = m_script.NextLine(line)) {
    list += CInfReader::GetField(line, 0).str() + "=" + CInfReader::GetField(line, 1).str() + "|";
  }
  std::string expanded = ExpandMacros(CString(list), InstallMacros()).str();
  for (char& c : expanded) {
    if (c == '|') c = '\0';
  }
  return expanded;
}

bool CSetupApp::InstallOdbc() {
  const char* line = m_script.GetSection("ODBC Data Sources");
  if (!line) return true;
  CWaitCursor wait;
  for (; line; line = m_script.NextLine(line)) {
    const CString name = CInfReader::GetField(line, 1);
    const CString driver = CInfReader::GetField(line, 2);
    if (!tvn::sys::ConfigDataSource(driver.view(), OdbcAttributes(name), m_odbcLibrary)) {
      m_services.SetupMessage(FormatSetupString(SetupProgram::kSetup, SetupString::kDataSource, name), MB_ICONEXCLAMATION);
      return false;
    }
  }
  return true;
}
