// Outside effect libraries: the 3-D effects library and the effect procedures a course names.
#pragma once

#include <filesystem>
#include <mutex>

#include "platform/base/cstring.h"
#include "platform/sys/dynamic_library.h"
#include "platform/base/geometry.h"

class CDC;
class CEffectData;
class CMessageService;
class CWnd;

// Entry points take the runtime's own objects: the view's window, the
// window's and the back buffer's contexts, the area and the effect. A
// replacement library is a native shared library built against them.
extern "C" {
using Do3dEffectProc = int (*)(CWnd* window, CDC* target, CDC* source, CRect* area, CEffectData* effect,
                               long reserved);
using Reset3dEffectProc = int (*)(long, long, long, long, long, long);
using SectionProc = int (*)(void*);
using CourseEffectProc = int (*)(CWnd* window, CDC* target, CDC* source, CRect* area);
}

// The 3-D effects library of the program's folder. One object serves the
// whole program; every effect thread holds a use of it (a shared pointer),
// and the library is freed with the last use. Binding may happen on any
// thread, so it is locked.
class C3dEffectsLibrary {
 public:
  static constexpr const char* kFileName = "QTRD3D.DLL";

  explicit C3dEffectsLibrary(std::filesystem::path programDirectory) : m_folder(std::move(programDirectory)) {}
  C3dEffectsLibrary(const C3dEffectsLibrary&) = delete;
  C3dEffectsLibrary& operator=(const C3dEffectsLibrary&) = delete;

  // Loads the library once (a missing file: quietly nothing) and looks up
  // each entry point not yet found. True when Do3dEffect can be called.
  bool Bind();
  // Calls Do3dEffect when bound; false when it is not.
  bool Do3dEffect(CWnd* window, CDC* target, CDC* source, CRect* area, CEffectData* effect);
  // Calls Reset3dEffect with six zeros when bound.
  void Reset3dEffect();
  bool IsLoaded() const;

 private:
  mutable std::mutex m_mutex;
  std::filesystem::path m_folder;
  CDynamicLibrary m_library;
  Reset3dEffectProc m_reset = nullptr;
  Do3dEffectProc m_do = nullptr;
  SectionProc m_firstSection = nullptr;  // bound for the library's sake, never called here
  SectionProc m_nextSection = nullptr;
};

// A course's effect library: "library, procedure" or "library; procedure".
// Nothing for a parameter with neither separator or an empty part; a library
// that cannot be loaded shows the file-not-found message with its name; a
// procedure that is not found (an ordinal never is) is skipped. The library
// is freed after the call. True when the procedure was called.
bool RunCourseEffectLibrary(const CString& parameter, CMessageService* messages, CWnd* window, CDC* target,
                            CDC* source, CRect* area);
