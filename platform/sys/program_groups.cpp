// Program Manager's commands answered with freedesktop menu entries: parsing, the group folders, item files and the submenu.
#include "platform/sys/program_groups.h"

#include <cctype>
#include <fstream>
#include <system_error>

#include "platform/base/codepage.h"
#include "platform/sys/desktop_entry_text.h"
#include "platform/sys/process.h"
#include "platform/sys/windows_locations.h"

namespace tvn::sys {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "tavelon-";

bool IsPlainFile(const fs::path& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() == fs::file_type::regular;
}

bool IsRealFolder(const fs::path& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() == fs::file_type::directory;
}

// Removes a file or a link (never what a link points to); a missing one counts as removed.
bool RemoveEntry(const fs::path& path) {
  std::error_code ec;
  const auto type = fs::symlink_status(path, ec).type();
  if (type == fs::file_type::not_found) return true;
  if (type == fs::file_type::directory) return false;
  return fs::remove(path, ec) && !ec;
}

// Writes the text through a temporary file renamed over the target.
bool WriteFile(const fs::path& file, const std::string& text) {
  fs::path temporary = file;
  temporary += ".tmp~";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text;
    out.flush();
    if (!out) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temporary, file, ec);
  if (ec) fs::remove(temporary, ec);
  return !ec;
}

bool IsPicture(std::string_view file) {
  const std::size_t dot = file.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view ext = file.substr(dot + 1);
  return codepage::EqualsNoCaseAscii(ext, "png") || codepage::EqualsNoCaseAscii(ext, "svg") ||
         codepage::EqualsNoCaseAscii(ext, "xpm");
}

std::string Category(const std::string& groupFile) { return "X-Tavelon-" + groupFile; }

}  // namespace

std::optional<std::vector<ProgmanCommand>> ParseProgmanCommands(std::string_view text) {
  std::vector<ProgmanCommand> commands;
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;
  };
  skipBlanks();
  while (i < text.size()) {
    if (text[i] != '[') return std::nullopt;
    ++i;
    ProgmanCommand command;
    while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_')) command.name += text[i++];
    if (command.name.empty()) return std::nullopt;
    skipBlanks();
    if (i < text.size() && text[i] == '(') {
      ++i;
      std::string argument, written;
      bool quoted = false;
      bool closed = false;
      while (i < text.size()) {
        const char c = text[i++];
        if (!quoted && (c == ',' || c == ')')) {
          command.arguments.push_back(std::move(argument));
          command.written.push_back(std::move(written));
          argument.clear();
          written.clear();
          if (c == ')') {
            closed = true;
            break;
          }
          continue;
        }
        written += c;
        if (c == '"') quoted = !quoted;
        else argument += c;
      }
      if (!closed) return std::nullopt;
      skipBlanks();
    }
    if (i >= text.size() || text[i] != ']') return std::nullopt;
    ++i;
    commands.push_back(std::move(command));
    skipBlanks();
  }
  return commands;
}

std::string MenuFileName(std::string_view name) {
  std::string out;
  for (char c : name) {
    const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    out += keep ? c : '_';
  }
  return out.empty() ? std::string("_") : out;
}

MenuFolders GetMenuFolders() {
  return {XdgDataHome() / "applications" / "tavelon", XdgDataHome() / "desktop-directories",
          XdgConfigHome() / "menus" / "applications-merged"};
}

std::string DesktopExecValue(std::string_view commandLine) {
  std::vector<std::string> words = SplitCommandLine(commandLine);
  if (!words.empty()) {
    // The program by the name the system finds it under ("X.exe" may be "X").
    if (auto program = ResolveProgram(words.front())) words.front() = program->string();
  }
  std::string exec;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (i > 0 && word.empty()) continue;
    if (i > 0) exec += ' ';
    exec += DesktopExecArgument(word);
  }
  return DesktopStringValue(exec);
}

bool ProgramGroupService::Open() {
  std::error_code ec;
  fs::create_directories(m_folders.applications, ec);
  return IsRealFolder(m_folders.applications);
}

fs::path ProgramGroupService::GroupFolder(std::string_view group) const {
  return m_folders.applications / MenuFileName(group);
}

int ProgramGroupService::ItemCount(std::string_view group) const {
  const fs::path folder = GroupFolder(group);
  if (!IsRealFolder(folder)) return -1;
  int count = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() == ".desktop" && IsPlainFile(it->path())) ++count;
  }
  return count;
}

bool ProgramGroupService::Execute(std::string_view commands) {
  auto parsed = ParseProgmanCommands(commands);
  if (!parsed) return false;
  bool ok = true;
  for (const ProgmanCommand& command : *parsed) ok = Run(command) && ok;
  return ok;
}

bool ProgramGroupService::Run(const ProgmanCommand& command) {
  const auto& args = command.arguments;
  const std::string first = args.empty() ? std::string() : args.front();
  if (codepage::EqualsNoCaseAscii(command.name, "creategroup")) return !first.empty() && CreateGroup(first);
  if (codepage::EqualsNoCaseAscii(command.name, "deletegroup")) return !first.empty() && DeleteGroup(first);
  if (codepage::EqualsNoCaseAscii(command.name, "showgroup")) {
    // An unknown group leaves no group current, so a following deleteitem
    // cannot reach into the group shown before.
    m_current.clear();
    if (first.empty() || ItemCount(first) < 0) return false;
    m_current = first;
    return true;
  }
  if (codepage::EqualsNoCaseAscii(command.name, "additem")) return AddItem(command);
  if (codepage::EqualsNoCaseAscii(command.name, "deleteitem")) return !first.empty() && DeleteItem(first);
  // Menus pick changes up by themselves; nothing to close.
  if (codepage::EqualsNoCaseAscii(command.name, "reload") || codepage::EqualsNoCaseAscii(command.name, "exitprogman"))
    return true;
  return false;
}

bool ProgramGroupService::CreateGroup(const std::string& group) {
  const std::string file = MenuFileName(group);
  const fs::path folder = GroupFolder(group);
  std::error_code ec;
  fs::create_directories(m_folders.applications, ec);
  if (!IsRealFolder(folder)) fs::create_directory(folder, ec);
  if (!IsRealFolder(folder)) return false;
  fs::create_directories(m_folders.directories, ec);
  fs::create_directories(m_folders.menus, ec);
  const std::string id = std::string(kPrefix) + file;
  const bool directory = WriteFile(m_folders.directories / (id + ".directory"),
                                   "[Desktop Entry]\nType=Directory\nName=" + DesktopStringValue(group) + "\n");
  const bool menu = WriteFile(m_folders.menus / (id + ".menu"),
                              "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                              " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
                              "<Menu>\n  <Name>Applications</Name>\n  <Menu>\n    <Name>" +
                                  XmlText(id) + "</Name>\n    <Directory>" + XmlText(id) +
                                  ".directory</Directory>\n    <Include>\n      <Category>" + Category(file) +
                                  "</Category>\n    </Include>\n  </Menu>\n</Menu>\n");
  m_current = group;
  return directory && menu;
}

bool ProgramGroupService::DeleteGroup(const std::string& group) {
  const std::string id = std::string(kPrefix) + MenuFileName(group);
  const fs::path folder = GroupFolder(group);
  bool ok = true;
  if (IsRealFolder(folder)) {
    std::vector<fs::path> items;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      if (it->path().extension() == ".desktop") items.push_back(it->path());
    }
    for (const fs::path& item : items) ok = RemoveEntry(item) && ok;
    fs::remove(folder, ec);  // only when empty: anything else put there stays
    ok = ok && !ec;
    // The folder of every group goes with the last one.
    std::error_code ignored;
    if (ok && IsRealFolder(m_folders.applications)) fs::remove(m_folders.applications, ignored);
  }
  ok = RemoveEntry(m_folders.directories / (id + ".directory")) && ok;
  ok = RemoveEntry(m_folders.menus / (id + ".menu")) && ok;
  if (codepage::EqualsNoCaseAscii(m_current, group)) m_current.clear();
  return ok;
}

bool ProgramGroupService::AddItem(const ProgmanCommand& command) {
  const auto& args = command.arguments;
  const auto& written = command.written;
  if (m_current.empty() || written.empty()) return false;
  const fs::path folder = GroupFolder(m_current);
  if (!IsRealFolder(folder)) return false;
  // The command line keeps its own quotes: a path with blanks stays one word.
  const std::string& commandLine = written[0];
  const auto words = SplitCommandLine(commandLine);
  if (words.empty() || words.front().empty()) return false;
  std::string name = args.size() > 1 ? args[1] : std::string();
  if (name.empty()) name = fs::path(words.front()).stem().string();
  std::string icon;
  if (written.size() > 2) {
    const auto iconWords = SplitCommandLine(written[2]);
    if (!iconWords.empty()) icon = iconWords.front();
  }
  std::string text = "[Desktop Entry]\nType=Application\nName=" + DesktopStringValue(name) +
                     "\nExec=" + DesktopExecValue(commandLine) + "\n";
  if (IsPicture(icon) && !icon.empty() && icon.front() == '/') text += "Icon=" + DesktopStringValue(icon) + "\n";
  text += "Categories=" + Category(MenuFileName(m_current)) + ";\n";
  return WriteFile(folder / (MenuFileName(name) + ".desktop"), text);
}

bool ProgramGroupService::DeleteItem(const std::string& item) {
  if (m_current.empty()) return false;
  const fs::path file = GroupFolder(m_current) / (MenuFileName(item) + ".desktop");
  std::error_code ec;
  if (!IsPlainFile(file) && !fs::is_symlink(fs::symlink_status(file, ec))) return false;
  return RemoveEntry(file);
}

std::optional<std::string> ProgramGroupService::Request(std::string_view group) const {
  const int count = ItemCount(group);
  if (count < 0) return std::nullopt;
  std::string answer = "\"" + std::string(group) + "\"," + MenuFileName(group) + "," + std::to_string(count) + "\r\n";
  std::error_code ec;
  for (fs::directory_iterator it(GroupFolder(group), ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() != ".desktop" || !IsPlainFile(it->path())) continue;
    std::ifstream in(it->path());
    std::string line, name, exec;
    while (std::getline(in, line)) {
      if (line.rfind("Name=", 0) == 0) name = line.substr(5);
      if (line.rfind("Exec=", 0) == 0) exec = line.substr(5);
    }
    answer += "\"" + name + "\",\"" + exec + "\"\r\n";
  }
  return answer;
}

}  // namespace tvn::sys
