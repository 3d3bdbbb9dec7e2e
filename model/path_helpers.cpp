// File names, extensions and folder parts of Windows-style paths.
#include "model/path_helpers.h"

#include "platform/base/host_path.h"
#include "platform/sys/system_info.h"

namespace {

constexpr std::size_t kMaxPath = 260;
constexpr std::size_t kShortExtension = 6;  // a dot and up to four characters count as an extension

std::size_t LastSeparator(std::string_view path) {
  for (char sep : {'\\', '/', ':'}) {
    std::size_t at = path.rfind(sep);
    if (at != std::string_view::npos) return at;
  }
  return std::string_view::npos;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string_view GetFileNameFromPath(std::string_view path) {
  std::size_t at = LastSeparator(path);
  return at == std::string_view::npos ? path : path.substr(at + 1);
}

std::string_view GetFileExtension(std::string_view path) {
  std::string_view name = GetFileNameFromPath(path);
  std::size_t dot = name.find('.');
  return dot == std::string_view::npos ? path.substr(path.size()) : name.substr(dot);
}

CString& ReplaceExtension(CString& path, std::string_view extension) {
  // Only a dot behind the last separator of any kind starts an extension:
  // "C:\A.B\C" and "C:\A.B/C" have none.
  std::string_view text = path.view();
  std::size_t lastSeparator = text.find_last_of("\\/:");
  std::size_t nameStart = lastSeparator == std::string_view::npos ? 0 : lastSeparator + 1;
  std::size_t dot = text.rfind('.');
  if (dot != std::string_view::npos && dot >= nameStart && text.size() - dot < kShortExtension)
    path = path.Left(static_cast<int>(dot));
  if (!extension.empty()) {
    if (extension.front() != '.') path += '.';
    path += extension;
  }
  return path;
}

CString GetPathPart(std::string_view path) {
  std::size_t at = LastSeparator(path);
  return at == std::string_view::npos ? CString() : CString(path.substr(0, at));
}

CString ExtractFileName(const CString& text, BOOL labelMode) {
  if (text.IsEmpty()) return text;
  if (!labelMode) return CString(GetFileNameFromPath(text.view()));
  int colon = text.Find(':');
  if (text.GetLength() > 2 && colon >= 0) return text.Mid(colon + 1);
  return text;
}

BOOL FindFileOnPath(CString& result, const CString& fileName) {
  std::string_view name = GetFileNameFromPath(fileName.view());
  auto found = tvn::sys::SearchPath(CString(name).ToUtf8());
  if (!found) return FALSE;
  CString text = tvn::path::HostPathToText(*found);
  if (static_cast<std::size_t>(text.GetLength()) >= kMaxPath) return FALSE;
  result = text;
  return TRUE;
}

BOOL FileExists(const CString& path) {
  if (path.IsEmpty()) return FALSE;
  auto host = tvn::path::MapWindowsPath(path);
  return host && tvn::sys::PathExists(*host);
}

BOOL CreateDirectoryPath(const CString& path) {
  BOOL result = TRUE;
  auto createIfMissing = [&result](const CString& part) {
    if (part.IsEmpty() || FileExists(part)) return;
    auto host = tvn::path::MapWindowsPath(part);
    result = host && tvn::sys::MakeDirectory(*host) == 0;
  };
  std::string_view text = path.view();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsSeparator(text[i])) createIfMissing(CString(text.substr(0, i)));
  }
  createIfMissing(path);
  return result;
}
