// Queries of the host system that the runtime's helpers need: paths, temporary files, drives, error texts.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/host_path.h"

namespace tvn::sys {

// The error number (errno) of the calling thread's last failed call.
int LastError();
// The system's text for an error number, in code page 1252.
CString ErrorText(int error);

// Whether anything (file or folder) exists at the host path.
bool PathExists(const std::filesystem::path& path);
// Creates one folder; 0 on success, else the error number.
int MakeDirectory(const std::filesystem::path& path);
// Copies a file over any existing target; 0 on success, else the error number.
int CopyFileOver(const std::filesystem::path& source, const std::filesystem::path& target);
// Removes a file; false when that failed.
bool RemoveFile(const std::filesystem::path& path);
// Removes a file; 0 on success, else the error number.
int DeleteFileError(const std::filesystem::path& path);
// Gives a file a new name or moves it, never replacing an existing file
// (EEXIST). Across file systems it is copied, then the original removed.
// 0 on success, else the error number.
int MoveFileNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);
// The same with the no-replace rename it tries first given (0, else the
// error number), so the copying path can be reached on one file system.
using RenameCall = int (*)(const std::filesystem::path& from, const std::filesystem::path& to);
int MoveFileNoReplace(const std::filesystem::path& from, const std::filesystem::path& to, RenameCall renameNoReplace);
// Opens the file for reading and closes it again; 0 on success, else the error number.
int ProbeReadable(const std::filesystem::path& path);

// The Windows system error code courses test for an error number: ENOENT 2,
// ENOTDIR 3, EMFILE 4, EACCES/EPERM/EROFS 5, EBUSY 32, ENOSPC 112, EEXIST
// 183, any other 31 (a device failure); 0 stays 0.
int WindowsErrorCode(int error);

// The logged-on user's name; empty when it cannot be found.
CString UserName();
// The host name cut to 15 bytes, as a computer name is; empty on failure.
CString ComputerName();
// The whole host name; empty on failure.
CString HostName();

// The standard search for a bare file name: the program's folder, the current
// folder, then every folder of PATH. Nothing when it is found nowhere.
std::optional<std::filesystem::path> SearchPath(const std::string& fileName);

// Creates a new empty file with a unique name beginning with prefix in the
// temporary folder and gives its path; nothing when that fails.
std::optional<std::filesystem::path> CreateUniqueTempFile(const std::string& prefix);

// Drive kinds, as the system's drive-type query numbers them.
enum class DriveType { unknown = 0, noRootDir = 1, removable = 2, fixed = 3, remote = 4, cdrom = 5, ramDisk = 6 };

// The kind of a drive named by its letter (the rest of the text is ignored).
// Only drives of the drive table exist; what lies behind a mapped folder is
// judged by the file system it is mounted from.
DriveType GetDriveType(const CString& root, const path::DriveTable& drives = path::Drives());
// The root names ("A:\") of every mapped drive, in letter order.
std::vector<CString> LogicalDriveStrings(const path::DriveTable& drives = path::Drives());

}  // namespace tvn::sys
