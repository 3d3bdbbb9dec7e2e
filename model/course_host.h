// ICourseHost: what a course document needs of the application that holds it.
#pragma once

#include <cstdint>

#include "platform/base/collections.h"
#include "platform/base/cstring.h"
#include "platform/base/win_types.h"
#include "platform/msg/window_messages.h"

class CCourseDoc;
class CDataFile;
class CEmbeddedFontRegistry;
class CLibraryTable;
class CMediaSystem;
class CMessageService;
class CNativeControlRegistry;
class CVariableContext;
class CVariableTable;
class IDdeClient;
class IFractalDecoder;
class IPhotoCdToolkit;
class IPageAccess;
class IPreloadCache;
class IProgramWatch;
class ITimerOwner;

// The application implements it once for the whole run; tests give a fake.
class ICourseHost {
 public:
  virtual ~ICourseHost() = default;

  // Both coordinates of every new course's origin.
  virtual int GetDefaultOrigin() { return 0; }

  // The run's variable lookups and the global table a course merges its global variables into.
  virtual CVariableContext& Variables() = 0;
  virtual CVariableTable* GetGlobalTable() = 0;
  // The packed data file (closed when the program was not started on one).
  virtual CDataFile& DataFile() = 0;
  // The pre-load cache files are read from first; null when there is none.
  virtual IPreloadCache* GetPreloadCache() { return nullptr; }
  // The search paths of every course loaded so far, in loading order.
  virtual CStringArray& SearchPaths() = 0;
  // The course being opened: set while a course is read, cleared when the
  // open fails and when that course closes.
  virtual CCourseDoc* GetOpeningCourse() = 0;
  virtual void SetOpeningCourse(CCourseDoc* course) = 0;
  // Whether the course is still open (a calling course may have closed meanwhile).
  virtual BOOL IsCourseOpen(const CCourseDoc* course) = 0;
  // Set while the main window closes: closing courses leave the page alone.
  virtual BOOL IsClosing() = 0;
  // The program, or that course, is closing (asked for, not yet carried
  // out): nothing more of the course runs, starts or writes.
  virtual BOOL IsCourseClosing(const CCourseDoc*) { return IsClosing(); }
  // The page drops every draw object of the course, on every layer.
  virtual void FreePageObjects(CCourseDoc* course) = 0;
  // The runtime's own folder, ending in a separator.
  virtual CString GetProgramDirectory() = 0;
  virtual CMessageService& Messages() = 0;
  virtual CEmbeddedFontRegistry& Fonts() = 0;
  // Text on the clipboard; FALSE when it holds none.
  virtual BOOL GetClipboardText(CString& text) = 0;
  virtual void EmptyClipboard() = 0;

  // What the course's tasks need at run time.
  virtual DWORD GetTickCount() = 0;
  virtual int GetKeyState(int virtualKey) = 0;
  virtual IPageAccess* GetPage() = 0;
  virtual void FlushInvalidRects() = 0;
  virtual int GetSimulatorTarget() { return 0; }
  virtual ITimerOwner* GetTimers() { return nullptr; }
  // FALSE where courses may not start programs, call libraries or write
  // files (a host that feeds hostile test input to the actions).
  virtual BOOL MayReachOutside() { return TRUE; }
  // Whether the simulator library was found at start-up.
  virtual BOOL IsSimulatorPresent() { return FALSE; }
  // The presentation view's native window id, 0 when it has none.
  virtual std::uintptr_t GetNativeViewWindow() { return 0; }
  // The libraries DLL actions loaded, kept for the whole run; null when none are kept.
  virtual CLibraryTable* GetLibraries() { return nullptr; }
  // The view's list of started programs; null while there is no view.
  virtual IProgramWatch* GetProgramWatch() { return nullptr; }
  // The controls the program can host; null: none is installed.
  virtual const CNativeControlRegistry* GetControlRegistry() { return nullptr; }
  // The view's DDE link for the DDE action; null while there is no view.
  virtual IDdeClient* GetDdeClient() { return nullptr; }
  // The media layer; null where nothing may sound.
  virtual CMediaSystem* GetMediaSystem() { return nullptr; }
  // The window media notices (953) go to: the presentation view; null while there is none.
  virtual HWND GetMediaOwner() { return nullptr; }
  // The optional-library bits found at start-up (0x10 fractal decoder, 0x200
  // Photo CD toolkit and the rest), and the decoders pictures use for the
  // first two; null where there is none.
  virtual DWORD GetOptionalLibraries() { return 0; }
  virtual IFractalDecoder* GetFractalDecoder() { return nullptr; }
  virtual IPhotoCdToolkit* GetPhotoCdToolkit() { return nullptr; }
};
