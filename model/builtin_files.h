// The file and diskette built-ins.
#pragma once

#include "model/builtin_table.h"
#include "model/drive_helpers.h"
#include "model/system_functions.h"

namespace tvn::builtins {

void CreateDirectoryFunction(CBuiltinCall& call);
void DeleteFileFunction(CBuiltinCall& call);
void CopyFileFunction(CBuiltinCall& call, CMessageService& messages);
void RenameFileFunction(CBuiltinCall& call);
void CheckFileFunction(CBuiltinCall& call);
void CheckDisketteFunction(CBuiltinCall& call, CMessageService& messages, const tvn::path::DriveTable& drives,
                           DriveTypeQuery driveType);

}  // namespace tvn::builtins
