// A document type for the desktop: its shared-mime-info package and desktop entry, written when they differ.
#include "platform/sys/shell_file_types.h"

#include <fstream>
#include <optional>
#include <system_error>

#include "platform/sys/desktop_apps.h"
#include "platform/sys/desktop_entry_text.h"
#include "platform/sys/process.h"
#include "platform/sys/staged_file.h"

namespace tvn::sys {
namespace {

namespace fs = std::filesystem;

// The tools run at most this long; start-up does not wait for a hung one.
constexpr int kToolTimeLimitMs = 30000;

bool IsAsciiAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The file's bytes when it is a plain file of at most 64 KiB; anything else
// (missing, a folder, larger) counts as different.
std::optional<std::string> SmallFileText(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return std::nullopt;
  constexpr std::size_t kLimit = 64 * 1024;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(kLimit + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  const auto got = static_cast<std::size_t>(in.gcount());
  if (got > kLimit) return std::nullopt;
  text.resize(got);
  return text;
}

// Writes the text to the file unless it already holds it. True when written;
// a failure sets failed.
bool WriteWhenDifferent(const fs::path& file, const std::string& text, bool& failed) {
  if (SmallFileText(file) == text) return false;
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  StagedFile staged;
  if (!staged.Create(file) || !staged.Write(text) || !staged.Commit(0644, std::nullopt)) {
    failed = true;
    return false;
  }
  return true;
}

void RunTool(const char* name, const fs::path& folder) {
  std::optional<fs::path> tool = ResolveProgram(name);
  if (!tool) return;
  RunWithInput(*tool, {folder.string()}, {}, kToolTimeLimitMs);
}

}  // namespace

std::string ShellMimeType(std::string_view typeId) {
  std::string out = "application/x-";
  for (char c : typeId) out += IsAsciiAlnum(c) || c == '.' || c == '+' || c == '-' ? Lower(c) : '-';
  return out;
}

std::string ShellFileStem(std::string_view typeId) {
  std::string out;
  for (char c : typeId) out += IsAsciiAlnum(c) || c == '.' || c == '-' || c == '_' ? c : '_';
  if (out.empty() || out.front() == '.') out.insert(out.begin(), '_');
  return out;
}

std::string MimePackageText(const ShellFileType& type) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
      "  <mime-type type=\"" +
      XmlText(ShellMimeType(type.typeId)) + "\">\n    <comment>" + XmlText(type.description) + "</comment>\n";
  for (const std::string& extension : type.extensions) {
    std::string_view bare = extension;
    if (!bare.empty() && bare.front() == '.') bare.remove_prefix(1);
    if (!bare.empty()) text += "    <glob pattern=\"*." + XmlText(bare) + "\"/>\n";
  }
  text += "  </mime-type>\n</mime-info>\n";
  return text;
}

std::string DesktopEntryText(const ShellFileType& type) {
  return "[Desktop Entry]\nType=Application\nName=" + DesktopStringValue(type.programName) +
         "\nComment=" + DesktopStringValue(type.description) + "\nMimeType=" + ShellMimeType(type.typeId) +
         ";\nExec=" + DesktopStringValue(DesktopExecArgument(type.program.string()) + " %f") +
         "\nNoDisplay=true\nTerminal=false\n";
}

ShellRegistration RegisterShellFileType(const ShellFileType& type, const fs::path& dataHome) {
  ShellRegistration result;
  const std::string stem = ShellFileStem(type.typeId);
  // A program path with a line break cannot be said in a desktop entry.
  if (type.program.empty() || type.program.string().find_first_of("\r\n") != std::string::npos) {
    result.failed = true;
    return result;
  }
  try {
    const fs::path mime = dataHome / "mime";
    const fs::path applications = dataHome / "applications";
    result.packageWritten = WriteWhenDifferent(mime / "packages" / (stem + ".xml"), MimePackageText(type), result.failed);
    result.entryWritten =
        WriteWhenDifferent(applications / (stem + ".desktop"), DesktopEntryText(type), result.failed);
    if (result.packageWritten) RunTool("update-mime-database", mime);
    if (result.entryWritten) RunTool("update-desktop-database", applications);
  } catch (const std::exception&) {
    result.failed = true;
  }
  return result;
}

bool UnregisterShellFileType(std::string_view typeId, const std::vector<fs::path>& programs, const fs::path& dataHome) {
  try {
    const std::string stem = ShellFileStem(typeId);
    const fs::path applications = dataHome / "applications";
    const fs::path entry = applications / (stem + ".desktop");
    const std::optional<std::string> text = SmallFileText(entry);
    std::error_code ec;
    if (!text || fs::symlink_status(entry, ec).type() != fs::file_type::regular) return false;
    const auto exec = DesktopExecLine(*text);
    const auto program = exec ? ProgramOfExec(*exec) : std::nullopt;
    if (!program || program->empty() || program->front() != '/') return false;
    const fs::path opened = fs::weakly_canonical(*program, ec);
    if (ec || fs::exists(fs::symlink_status(opened, ec))) return false;
    bool removed = false;
    for (const fs::path& candidate : programs) {
      if (fs::weakly_canonical(candidate, ec) == opened && !ec) removed = true;
    }
    if (!removed || !fs::remove(entry, ec) || ec) return false;
    RunTool("update-desktop-database", applications);
    const fs::path mime = dataHome / "mime";
    const fs::path package = mime / "packages" / (stem + ".xml");
    if (fs::symlink_status(package, ec).type() == fs::file_type::regular && fs::remove(package, ec) && !ec)
      RunTool("update-mime-database", mime);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace tvn::sys
