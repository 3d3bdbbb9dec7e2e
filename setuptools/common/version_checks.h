// Deciding whether an installed file is newer than the one setup brings: versions first, dates second; and the platform checks.
#pragma once

#include <filesystem>

#include "platform/base/cstring.h"
#include "platform/base/local_time.h"

// The "FileVersion" of a Windows program file; empty for anything else
// (files of this system fall to the date rule).
CString GetFileVersionString(const std::filesystem::path& file);

// Up to four decimal parts separated by ',' or '.'; a part ends at its first
// non-digit and missing parts count as 0. 1 when a is higher, -1 when lower,
// 0 when equal; an empty version is lower than any other.
int CompareVersionStrings(const CString& a, const CString& b);

// Whether the source may replace the installed file by a plain copy: not
// when the installed one has the higher version, nor when both dates lie
// after 1990 and the source is older to the minute (seconds do not count).
bool ShouldReplaceFile(const std::filesystem::path& source, const std::filesystem::path& installed);

// Whether the installed file's version is lower than the script's version
// (false when either is missing).
bool IsOlderThanVersion(const std::filesystem::path& installed, const CString& version);

// The local modification time; 1 January 1990, 00:00 when it cannot be read.
tvn::localtime::CalendarTime GetFileModifiedTime(const std::filesystem::path& file);

// This system presents itself as the NT family, version 4 or later.
bool IsWindowsNT4();
bool IsWindowsNT351();
