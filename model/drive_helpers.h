// Probing removable drives and counting CD-ROM drives.
#pragma once

#include "model/message_service.h"
#include "platform/base/cstring.h"
#include "platform/base/host_path.h"
#include "platform/sys/system_info.h"

// The drive-type query the helpers ask (the system's, unless a caller brings its own).
using DriveTypeQuery = tvn::sys::DriveType (*)(const CString& root, const tvn::path::DriveTable& drives);

// Checks that a disk can be written in a removable drive by creating and
// deleting the file "~.~" in its root. Failures are shown (with Retry) unless
// quiet; in quiet mode the failure's text goes to message. A missing drive or
// one that is not removable fails at once with string 8211.
BOOL CheckDrive(CMessageService& messages, const CString& drive, BOOL quiet, CString* message,
                const tvn::path::DriveTable& drives = tvn::path::Drives(),
                DriveTypeQuery driveType = &tvn::sys::GetDriveType);

// The number of CD-ROM drives; the first one's letter and ":" go to firstDrive.
int CountCdDrives(CString& firstDrive, const tvn::path::DriveTable& drives = tvn::path::Drives(),
                  DriveTypeQuery driveType = &tvn::sys::GetDriveType);
