// Path macros, path text helpers and free space for the setup tools.
#include "setuptools/common/setup_paths.h"

#include <system_error>

#include "platform/sys/program_module.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

int LastSeparator(const CString& path) {
  for (int i = path.GetLength() - 1; i >= 0; --i) {
    if (IsSeparator(path[i])) return i;
  }
  return -1;
}

CString WithSeparator(const CString& folder) {
  if (folder.IsEmpty() || IsSeparator(folder[folder.GetLength() - 1])) return folder;
  return folder + (folder[0] == '/' ? '/' : '\\');
}

}  // namespace

CString DestinationForSection(std::string_view section, const MacroFolders& folders) {
  CString name(section);
  if (name.CompareNoCase("windows.files") == 0) return WithSeparator(folders.windows);
  if (name.CompareNoCase("system.files") == 0) return WithSeparator(folders.system);
  return folders.install;
}

CString ExpandMacros(const CString& text, const MacroFolders& folders) {
  CString drive = "c:\\";
  if (folders.install.GetLength() >= 2 && folders.install[1] == ':') drive = folders.install.Left(2) + '\\';
  const std::pair<std::string_view, CString> macros[] = {
      {"<defdir>", folders.destination},
      {"<defsrc>", folders.source},
      {"<windir>", WithSeparator(folders.windows)},
      {"<sysdir>", WithSeparator(folders.system)},
      {"<defdrive>", drive},
  };
  std::string_view in = text.view();
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size();) {
    bool replaced = false;
    if (in[i] == '<') {
      for (const auto& [name, value] : macros) {
        if (in.substr(i, name.size()) == name) {
          out += value.view();
          i += name.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += in[i++];
  }
  return CString(std::move(out));
}

CString ReplaceAll(const CString& text, std::string_view pattern, std::string_view replacement) {
  CString result = text;
  result.Replace(pattern, replacement);
  return result;
}

CString GetShortPath(const CString& path) { return path; }

CString GetFileNamePart(const CString& path) {
  int cut = LastSeparator(path);
  if (cut < 0) cut = path.ReverseFind(':');
  return cut < 0 ? path : path.Mid(cut + 1);
}

CString GetDirectoryPart(const CString& path) {
  // Only a dot in the last component makes it a file name: folders such as
  // ~/.local hold dots too.
  int cut = LastSeparator(path);
  if (cut < 0) cut = path.ReverseFind(':');
  if (cut < 0) return path;
  CString last = path.Mid(cut + 1);
  if (last.Find('.') < 0 || last == "." || last == "..") return path;
  return path.Left(cut);
}

CString GetDirectoryPrefix(const CString& path) {
  int cut = LastSeparator(path);
  if (cut < 0) cut = path.ReverseFind(':');
  return cut < 0 ? CString() : path.Left(cut + 1);
}

CString AppendPath(const CString& base, const CString& rest) {
  std::string_view tail = rest.view();
  if (tail.size() >= 2 && ((tail[0] | 0x20) >= 'a' && (tail[0] | 0x20) <= 'z') && tail[1] == ':') tail.remove_prefix(2);
  while (tail.size() >= 2 && tail[0] == '.' && IsSeparator(tail[1])) tail.remove_prefix(2);
  if (tail.empty() || tail == ".") return base;
  CString joined = base;
  char last = base.IsEmpty() ? '\0' : base[base.GetLength() - 1];
  if (!base.IsEmpty() && !IsSeparator(last) && last != ':') joined += (base[0] == '/' ? '/' : '\\');
  joined += tail;
  return joined;
}

std::optional<std::filesystem::path> ScriptPathToHost(const CString& path, const tvn::path::DriveTable& drives,
                                                      tvn::path::FolderListings* listings) {
  if (path.IsEmpty()) return std::nullopt;
  return tvn::path::MapWindowsPath(path.view(), drives, tvn::path::NameEncoding::kUtf8, listings);
}

CString HostToScriptPath(const std::filesystem::path& path) { return CString(path.generic_string()); }

std::filesystem::path GetModuleDirectory() { return tvn::sys::ModulePath().parent_path(); }

std::uint64_t GetDriveFreeSpace(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::path probe = std::filesystem::absolute(path, ec);
  if (ec) return 0;
  while (!std::filesystem::exists(probe, ec)) {
    if (!probe.has_relative_path()) return 0;
    probe = probe.parent_path();
  }
  auto info = std::filesystem::space(probe, ec);
  return ec ? 0 : info.available;
}
