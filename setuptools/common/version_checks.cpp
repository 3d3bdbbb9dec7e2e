// Version strings, modification dates and the platform family of the setup tools.
#include "setuptools/common/version_checks.h"

#include <chrono>
#include <system_error>

#include "model/system_queries.h"
#include "platform/sys/file_version.h"

namespace {

// Part n (from 0) of a version: the decimal number at the start of the n-th field.
unsigned long long VersionPart(std::string_view version, int n) {
  std::size_t pos = 0;
  for (int i = 0; i < n; ++i) {
    pos = version.find_first_of(",.", pos);
    if (pos == std::string_view::npos) return 0;
    ++pos;
  }
  while (pos < version.size() && (version[pos] == ' ' || version[pos] == '\t')) ++pos;
  unsigned long long value = 0;
  for (; pos < version.size() && version[pos] >= '0' && version[pos] <= '9'; ++pos) {
    if (value < 100'000'000'000ULL) value = value * 10 + static_cast<unsigned>(version[pos] - '0');
  }
  return value;
}

}  // namespace

CString GetFileVersionString(const std::filesystem::path& file) { return CString(tvn::sys::GetFileVersionString(file)); }

int CompareVersionStrings(const CString& a, const CString& b) {
  if (a.IsEmpty()) return b.IsEmpty() ? 0 : -1;
  if (b.IsEmpty()) return 1;
  for (int part = 0; part < 4; ++part) {
    auto x = VersionPart(a.view(), part);
    auto y = VersionPart(b.view(), part);
    if (x != y) return x > y ? 1 : -1;
  }
  return 0;
}

bool ShouldReplaceFile(const std::filesystem::path& source, const std::filesystem::path& installed) {
  std::error_code ec;
  if (!std::filesystem::exists(installed, ec)) return true;
  CString sourceVersion = GetFileVersionString(source);
  CString installedVersion = GetFileVersionString(installed);
  if (!sourceVersion.IsEmpty() && !installedVersion.IsEmpty() &&
      CompareVersionStrings(installedVersion, sourceVersion) > 0) {
    return false;
  }
  auto s = GetFileModifiedTime(source);
  auto t = GetFileModifiedTime(installed);
  if (s.year > 1990 && t.year > 1990) {
    int fields[2][5] = {{s.year, s.month, s.day, s.hour, s.minute}, {t.year, t.month, t.day, t.hour, t.minute}};
    for (int i = 0; i < 5; ++i) {
      if (fields[0][i] != fields[1][i]) return fields[0][i] > fields[1][i];
    }
  }
  return true;
}

bool IsOlderThanVersion(const std::filesystem::path& installed, const CString& version) {
  if (version.IsEmpty()) return false;
  CString installedVersion = GetFileVersionString(installed);
  if (installedVersion.IsEmpty()) return false;
  return CompareVersionStrings(version, installedVersion) > 0;
}

tvn::localtime::CalendarTime GetFileModifiedTime(const std::filesystem::path& file) {
  std::error_code ec;
  auto written = std::filesystem::last_write_time(file, ec);
  if (ec) {
    tvn::localtime::CalendarTime fallback;
    fallback.year = 1990;
    return fallback;
  }
  auto system = std::chrono::file_clock::to_sys(written);
  auto seconds = std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
  return tvn::localtime::ToLocal(seconds);
}

bool IsWindowsNT4() { return IsWindowsNt4() != FALSE; }
bool IsWindowsNT351() { return false; }
