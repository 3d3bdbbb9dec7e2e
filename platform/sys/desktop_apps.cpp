// The desktop's file associations read from the freedesktop files, the MIME type from Qt's database.
#include "platform/sys/desktop_apps.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <system_error>

namespace tvn::sys {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// Calls line(group, key, value) for every "key=value" line of an ini-style text.
template <class Visit>
void ForEachEntry(std::string_view text, Visit visit) {
  std::string_view group;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      std::size_t close = line.find(']');
      group = close == std::string_view::npos ? std::string_view() : line.substr(1, close - 1);
      continue;
    }
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    visit(group, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
  }
}

std::vector<std::string> SplitList(std::string_view value) {
  std::vector<std::string> out;
  while (!value.empty()) {
    std::size_t semi = value.find(';');
    std::string_view item = Trim(value.substr(0, semi));
    if (!item.empty()) out.emplace_back(item);
    if (semi == std::string_view::npos) break;
    value.remove_prefix(semi + 1);
  }
  return out;
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  // Association files are small; anything larger than 1 MiB is not read whole.
  constexpr std::size_t kLimit = 1 << 20;
  std::string text(kLimit, '\0');
  in.read(text.data(), static_cast<std::streamsize>(kLimit));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

std::filesystem::path HomeDir(const char* variable, const char* fallback) {
  const char* value = ::getenv(variable);
  if (value && value[0] == '/') return value;
  const char* home = ::getenv("HOME");
  return std::filesystem::path(home && home[0] ? home : "/") / fallback;
}

std::vector<std::filesystem::path> DirList(const char* variable, const char* fallback) {
  const char* value = ::getenv(variable);
  std::string list = value && value[0] ? value : fallback;
  std::vector<std::filesystem::path> out;
  for (const std::string& item : SplitList([&] {
         std::string s = list;
         for (char& c : s)
           if (c == ':') c = ';';
         return s;
       }()))
    if (item[0] == '/') out.emplace_back(item);
  return out;
}

// A string value with its escapes undone: \s \n \t \r \\; any other
// backslash stays as it is.
std::string UnescapeString(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    switch (value[i + 1]) {
      case 's': out += ' '; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      default: out += value[i]; continue;
    }
    ++i;
  }
  return out;
}

}  // namespace

std::vector<std::string> AssociationsOf(std::string_view listText, std::string_view mimeType) {
  std::vector<std::string> defaults, added, removed;
  ForEachEntry(listText, [&](std::string_view group, std::string_view key, std::string_view value) {
    if (key != mimeType) return;
    std::vector<std::string>* into = nullptr;
    if (group == "Default Applications") into = &defaults;
    else if (group == "Added Associations" || group == "MIME Cache") into = &added;
    else if (group == "Removed Associations") into = &removed;
    if (!into) return;
    std::vector<std::string> ids = SplitList(value);
    into->insert(into->end(), ids.begin(), ids.end());
  });
  std::vector<std::string> out;
  for (auto* list : {&defaults, &added})
    for (const std::string& id : *list)
      if (std::find(removed.begin(), removed.end(), id) == removed.end()) out.push_back(id);
  return out;
}

std::optional<std::string> DesktopExecLine(std::string_view desktopText) {
  std::optional<std::string> exec;
  ForEachEntry(desktopText, [&](std::string_view group, std::string_view key, std::string_view value) {
    if (!exec && group == "Desktop Entry" && key == "Exec") exec = UnescapeString(value);
  });
  return exec;
}

std::optional<std::string> ProgramOfExec(std::string_view exec) {
  exec = Trim(exec);
  std::string word;
  std::size_t i = 0;
  if (!exec.empty() && exec[0] == '"') {
    // A quoted word: backslash escapes the next character.
    for (i = 1; i < exec.size() && exec[i] != '"'; ++i) {
      if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
      word += exec[i];
    }
  } else {
    while (i < exec.size() && exec[i] != ' ' && exec[i] != '\t') word += exec[i++];
  }
  if (word.empty() || word[0] == '%') return std::nullopt;
  // "%%" stands for a literal '%'.
  for (std::size_t at = word.find("%%"); at != std::string::npos; at = word.find("%%", at + 1)) word.erase(at, 1);
  return word;
}

std::optional<std::string> FindExecutableFor(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  QMimeDatabase database;
  QMimeType type = database.mimeTypeForFile(QString::fromStdString(file.string()));
  if (!type.isValid()) return std::nullopt;
  std::vector<std::string> mimeTypes{type.name().toStdString()};
  for (const QString& parent : type.allAncestors()) mimeTypes.push_back(parent.toStdString());

  const std::filesystem::path configHome = HomeDir("XDG_CONFIG_HOME", ".config");
  const std::filesystem::path dataHome = HomeDir("XDG_DATA_HOME", ".local/share");
  std::vector<std::filesystem::path> lists{configHome / "mimeapps.list"};
  for (const auto& dir : DirList("XDG_CONFIG_DIRS", "/etc/xdg")) lists.push_back(dir / "mimeapps.list");
  std::vector<std::filesystem::path> appDirs{dataHome / "applications"};
  for (const auto& dir : DirList("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) appDirs.push_back(dir / "applications");
  for (const auto& dir : appDirs) lists.push_back(dir / "mimeapps.list");
  for (const auto& dir : appDirs) lists.push_back(dir / "mimeinfo.cache");

  for (const std::string& mime : mimeTypes) {
    for (const auto& list : lists) {
      for (const std::string& id : AssociationsOf(ReadText(list), mime)) {
        // A desktop id names a file of the applications folder, never a path.
        if (id.find('/') != std::string::npos || id.rfind(".", 0) == 0) continue;
        for (const auto& dir : appDirs) {
          std::string text = ReadText(dir / id);
          if (text.empty()) continue;
          if (auto exec = DesktopExecLine(text))
            if (auto program = ProgramOfExec(*exec)) return program;
        }
      }
    }
  }
  return std::nullopt;
}

}  // namespace tvn::sys
