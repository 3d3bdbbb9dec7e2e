// The system variables every course table and the global table start with.
#pragma once

#include <span>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

struct SystemVariableDef {
  const char* name;
  BOOL global;        // created in the global table
  DWORD type;         // a VarType bit
  int precision;
  int formatIndex;
};

// The 42 system variables in creation order: the 14 of a course table first,
// then the 28 of the global table.
std::span<const SystemVariableDef> SystemVariableDefs();

// What RefreshSystemVariables writes, gathered by whoever knows it (the
// application, the presentation view and the current course).
struct SystemValues {
  BOOL courseCurrent = FALSE;  // the course values are written only while a course is current
  CString courseTitle;
  CString coursePath;
  LONG windowHandle = 0;
  LONG instanceHandle = 0;
  LONG colourDepth = 0;        // bits per pixel times colour planes
  LONG screenWidth = 0;
  LONG preloadBufferSize = 0;
  CString cdDrive;             // empty when no CD drive was found
  int windowsMajor = 0;
  int windowsMinor = 0;
};
