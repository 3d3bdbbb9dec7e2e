// The diskette check and the CD-ROM count over the drive table.
#include "model/drive_helpers.h"

#include "model/string_table.h"
#include "platform/sys/file.h"

namespace {

BOOL NoDrive(CMessageService& messages, BOOL quiet, CString* message) {
  if (quiet) {
    if (message) *message = LoadStringText(StringId::kNoRemovableDrive);
  } else {
    messages.MessageBoxBeep(StringId::kNoRemovableDrive, nullptr, -1);
  }
  return FALSE;
}

}  // namespace

BOOL CheckDrive(CMessageService& messages, const CString& drive, BOOL quiet, CString* message,
                const tvn::path::DriveTable& drives, DriveTypeQuery driveType) {
  CString upper = drive;
  upper.MakeUpper();
  if (upper.IsEmpty() || driveType(upper, drives) != tvn::sys::DriveType::removable)
    return NoDrive(messages, quiet, message);

  // "A:" and "A:\" both probe the root of the drive.
  CString probe = upper.Left(3);
  if (probe.GetLength() == 3 && probe[2] != '\\' && probe[2] != '/') probe = probe.Left(2);
  if (probe.GetLength() == 2) probe += '\\';
  probe += "~.~";
  auto host = tvn::path::MapWindowsPath(probe, drives);

  CString text;
  while (true) {
    CFile file;
    if (host && file.OpenHostPath(*host, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) {
      file.Abort();
      tvn::sys::RemoveFile(*host);
      return TRUE;
    }
    text = FormatStringId1(StringId::kDiskNotWritable, drive);
    if (quiet) break;
    if (messages.MessageBoxText(text, MB_RETRYCANCEL | MB_ICONSTOP) != IDRETRY) break;
  }
  if (quiet && message) *message = text;
  return FALSE;
}

int CountCdDrives(CString& firstDrive, const tvn::path::DriveTable& drives, DriveTypeQuery driveType) {
  int count = 0;
  for (const CString& root : tvn::sys::LogicalDriveStrings(drives)) {
    if (driveType(root, drives) != tvn::sys::DriveType::cdrom) continue;
    if (count++ == 0) firstDrive = root.Left(2);
  }
  return count;
}
