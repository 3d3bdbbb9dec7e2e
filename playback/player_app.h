// CPlayerApp: the runtime's application object. It starts the program in a
// fixed order (templates, the hidden main frame, the file of the command
// line), runs the message loop that gives the page's animations idle time,
// and owns for the whole run the packed data file, the global variables, the
// pre-load cache, the file cursors and the two document templates. Courses
// reach it as their host; scripts as their variable context.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "behaviour/course_switcher.h"
#include "model/course_host.h"
#include "model/cursor_object.h"
#include "model/data_file.h"
#include "model/embedded_font.h"
#include "model/message_pump.h"
#include "model/message_service.h"
#include "model/system_functions.h"
#include "model/system_variables.h"
#include "model/variable_context.h"
#include "model/variable_table.h"
#include "platform/user/cursor.h"
#include "platform/sys/dynamic_library.h"
#include "platform/gdi/printer_dc.h"
#include "platform/user/native_control.h"
#include "platform/gdi/font_system.h"
#include "platform/gdi/font.h"
#include "platform/mm/audio_output.h"
#include "media/decoder_libraries.h"
#include "media/keyboard_queue.h"
#include "media/media_environment.h"
#include "media/photo_cd_toolkit.h"
#include "media/mmio_mem_file.h"
#include "platform/framework/win_app.h"
#include "playback/player_font_services.h"
#include "playback/player_system_functions.h"
#include "page/effect_libraries.h"
#include "page/preload_cache.h"

class CCourseDocument;
class CMultiDocTemplate;
class CPresentationDoc;
class CPresentationFrame;
class CPresentationView;
class CSingleDocTemplate;
class CMediaSystem;

// Presence bits of the optional libraries.
namespace OptionalDll {
constexpr DWORD kSimulator = 0x2;
constexpr DWORD kFractal = 0x10;
constexpr DWORD kPhotoCd = 0x200;
constexpr DWORD kImaging = 0x400;
constexpr DWORD kAlwaysSet = 0x4000;
constexpr DWORD kZip = 0x2000;
constexpr DWORD kOdbc = 0x8000;
constexpr DWORD kWebPost = 0x10000;
}  // namespace OptionalDll

// How the application finds libraries: the standard search for a bare name,
// and whether a library exports a symbol. Tests give their own.
struct LibraryProbe {
  std::function<std::optional<std::filesystem::path>(const std::string&)> search;
  std::function<bool(const std::filesystem::path&, const std::string&)> exports;
  static LibraryProbe System();
};

class CPlayerApp : public CWinApp,
                   public ICourseHost,
                   public ICourseSwitcher,
                   public CVariableContext,
                   private IMessageSink,
                   private IEventLoop {
 public:
  // The arguments are the command line without the program's name.
  explicit CPlayerApp(std::vector<CString> arguments, const IClock& clock = SteadyClock());
  ~CPlayerApp() override;
  CPlayerApp(const CPlayerApp&) = delete;
  CPlayerApp& operator=(const CPlayerApp&) = delete;

  // The application of the running loop, if it is this kind.
  static CPlayerApp* Get();

  // --- start-up, loop and exit ---
  BOOL InitInstance() override;
  int Run() override;
  // TRUE as well while the running presentation view has animations wanting time.
  BOOL OnIdle(LONG count) override;
  BOOL OnMessagePumped(const MSG& msg) override;
  BOOL PreTranslateMessage(MSG& msg) override;
  int ExitInstance() override;
  void AddToRecentFileList(const CString&) {}
  CString LoadResourceString(UINT id) const override;

  void SetLibraryProbe(LibraryProbe probe) { m_probe = std::move(probe); }
  // Whether start-up registers the course files with the desktop (in
  // $XDG_DATA_HOME). The program does; an application made by a test leaves
  // the desktop alone.
  void SetRegistersShellFileTypes(bool registers) { m_registersShellFileTypes = registers; }
  // The course files' type as the desktop learns it: the course template's
  // extension, file type id and name, with ".mcl", opened by this program.
  void RegisterShellFileTypes();
  // The program file start-up takes its folder from, in place of the running
  // one's (tests put the program in a folder of their own).
  void SetModulePath(const CString& path) { m_modulePath = path; }
  // The folder of the program file, ending in a separator.
  void GetProgramDirectory(const CString& modulePath);
  void DetectOptionalDlls();
  BOOL TestDll(DWORD bit, UINT stringId);

  // --- courses ---
  // The first open course whose path equals the argument without regard to case.
  CCourseDoc* FindDocument(const CString& path) override;
  BOOL IsOpenDocument(const CCourseDoc* course) const;
  // Opens a course file through the course template; null when it does not open.
  CCourseDoc* OpenPresentation(const CString& path, BOOL visible) override;
  // The window cursor of a cursor file the course names: found with the
  // course's media-file search (packed data file or disk), read once through
  // a cursor object and kept until exit; null when it cannot be read (a
  // later call tries again).
  HCURSOR GetCursor(const CString& fileName);

  // --- what start-up found ---
  DWORD GetOptionalDlls() const { return m_optionalDlls; }
  BYTE GetColourDepth() const { return m_colourDepth; }
  LONG GetPaletteSize() const { return m_paletteSize; }
  LONG GetLogPixelsX() const { return m_logPixelsX; }
  BOOL IsNt() const { return m_isNt; }
  CMultiDocTemplate* GetCourseTemplate() const { return m_courseTemplate; }
  CSingleDocTemplate* GetPresentationTemplate() const { return m_presentationTemplate; }

  // --- the presentation window ---
  CCourseDoc* GetCurrentCourse() const override { return m_currentCourse; }
  void SetCurrentCourse(CCourseDoc* course) override { m_currentCourse = course; }
  // Posted to the presentation view; dropped while there is none.
  void PostViewMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  CPresentationFrame* GetPresentationFrame() const { return m_presentationFrame; }
  void SetPresentationFrame(CPresentationFrame* frame) { m_presentationFrame = frame; }
  CPresentationView* GetPresentationView() const { return m_presentationView; }
  void SetPresentationView(CPresentationView* view) { m_presentationView = view; }
  // The printer pages are printed on: the system's default, taken at start-up.
  const CPrinterSetup& GetPrinterSetup() const { return m_printer; }
  void SetPrinterSetup(const CPrinterSetup& printer) { m_printer = printer; }
  // The controls courses can host: none is installed (nothing here runs
  // Windows controls), but a test may register its own.
  CNativeControlRegistry& ControlRegistry() { return m_controls; }
  CPresentationDoc* GetPresentationDoc() const { return m_presentationDoc; }
  void SetClosing() { m_closing = TRUE; }

  CPreloadCache& PreloadCache() { return m_preloadCache; }
  // The font of the runtime's own texts (8 points of the dialog face), made at start-up.
  CFont& SystemFont() { return m_systemFont; }
  // The 3-D effects library of the program's folder, loaded when a transition first asks for it.
  const std::shared_ptr<C3dEffectsLibrary>& Effects3dLibrary() const { return m_effects3d; }
  IEventLoop& EventLoop() { return *this; }

  // --- ICourseHost ---
  CVariableContext& Variables() override { return *this; }
  CVariableTable* GetGlobalTable() override { return &m_globalVariables; }
  CDataFile& DataFile() override { return m_dataFile; }
  IPreloadCache* GetPreloadCache() override { return &m_preloadCache; }
  CStringArray& SearchPaths() override { return m_searchPaths; }
  CCourseDoc* GetOpeningCourse() override { return m_currentCourse; }
  void SetOpeningCourse(CCourseDoc* course) override { m_currentCourse = course; }
  BOOL IsCourseOpen(const CCourseDoc* course) override { return IsOpenDocument(course); }
  BOOL IsClosing() override { return m_closing; }
  // Also while the close of the program or of the course waits for the
  // loops under way to return, and while a start ends the playing course's loops.
  BOOL IsCourseClosing(const CCourseDoc* course) override {
    return m_closing || ProgramClosing() || OwnerClosing(course);
  }
  void FreePageObjects(CCourseDoc* course) override;
  CString GetProgramDirectory() override { return m_programDirectory; }
  CMessageService& Messages() override { return m_messages; }
  CEmbeddedFontRegistry& Fonts() override { return m_fontRegistry; }
  BOOL GetClipboardText(CString& text) override;
  void EmptyClipboard() override;
  DWORD GetTickCount() override { return Clock().Now(); }
  int GetKeyState(int virtualKey) override { return CMessageLoop::GetKeyState(static_cast<UINT>(virtualKey)); }
  IPageAccess* GetPage() override;
  ITimerOwner* GetTimers() override;
  IProgramWatch* GetProgramWatch() override;
  CLibraryTable* GetLibraries() override { return &m_libraries; }
  IDdeClient* GetDdeClient() override;
  std::uintptr_t GetNativeViewWindow() override;
  // Made at the start of InitInstance; null before.
  CMediaSystem* GetMediaSystem() override { return m_media.get(); }
  HWND GetMediaOwner() override;
  DWORD GetOptionalLibraries() override { return m_optionalDlls; }
  IFractalDecoder* GetFractalDecoder() override { return &m_fractal; }
  // Made when the optional libraries are detected; null before.
  IPhotoCdToolkit* GetPhotoCdToolkit() override { return m_photoCd.get(); }
  // Where sound goes: the audio device unless set before InitInstance (tests record).
  void SetAudioMode(CAudioOutput::Mode mode) { m_audioMode = mode; }
  // Files through the pre-load cache, the data file and the disk; names through the current course's search.
  MediaEnvironment MediaEnvironmentForView();
  BOOL IsSimulatorPresent() override { return (m_optionalDlls & OptionalDll::kSimulator) != 0; }
  const CNativeControlRegistry* GetControlRegistry() override { return &m_controls; }
  // The last non-zero result of a simulator action of the current task, while the library is present.
  int GetSimulatorTarget() override;
  void FlushInvalidRects() override;

  // --- CVariableContext ---
  CVariableTable* GetCourseTable() override;
  BOOL GetMciErrorText(DWORD code, CString& text) override;
  BOOL RunSystemFunction(int id, CBuiltinCall& call) override;

  // What the system variables hold now; the course values are the course's
  // when one is given.
  SystemValues GatherSystemValues(CCourseDoc* course);

 private:
  // IMessageSink: the window layer's message box and beep.
  int ShowMessageBox(CWnd* window, const CString& text, const CString& caption, UINT style,
                     UINT helpContext) override;
  void Beep(UINT type) override;
  // IEventLoop: this loop's messages, by the wait rule.
  PumpResult PumpOne(BOOL filterInput) override;
  bool StopRequested() const override;
  DWORD TimeGetTime() const override { return Clock().Now(); }
  void WaitForMessage(DWORD maxMilliseconds) override;

  void MakeMediaSystem();
  // The program's folder as a host path; none when it is not known.
  std::vector<std::filesystem::path> ProgramFolders() const;
  void ReadScreenCapabilities();
  void RegisterTemplates();
  BOOL CreateMainFrame();
  void OpenPresentationTemplate();
  // The command-line file: as a packed data file first, then as a course.
  void OpenCommandLineFile(const CString& path);
  void PostOpenCommand();
  bool AnimationWantsTime();

  // Before everything that plays: devices and sounds close after the courses.
  CAudioOutput::Mode m_audioMode = CAudioOutput::Mode::device;
  std::unique_ptr<CMediaSystem> m_media;
  // First, so that they outlive every course font made through them.
  CPlayerFontServices m_fontServices;
  CFontServicesScope m_fontServicesScope{m_fontServices};

  std::vector<CString> m_arguments;
  LibraryProbe m_probe;
  bool m_registersShellFileTypes = false;
  std::optional<CString> m_modulePath;

  DWORD m_optionalDlls = 0;
  BYTE m_colourDepth = 0;
  LONG m_paletteSize = 0;
  LONG m_logPixelsX = 96;
  BOOL m_isNt = FALSE;
  CMultiDocTemplate* m_courseTemplate = nullptr;         // owned by the application's template list
  CSingleDocTemplate* m_presentationTemplate = nullptr;  // likewise
  CCourseDoc* m_currentCourse = nullptr;
  CPresentationFrame* m_presentationFrame = nullptr;
  CPresentationView* m_presentationView = nullptr;
  CPrinterSetup m_printer;
  CNativeControlRegistry m_controls;
  CPresentationDoc* m_presentationDoc = nullptr;
  // Made with the global system variables ("ClickX", "ErrorNumber" and the rest).
  CVariableTable m_globalVariables{0};
  CStringArray m_searchPaths;
  struct FileCursor {
    CCursorObject object;
    CursorPtr cursor;
  };
  std::vector<std::unique_ptr<FileCursor>> m_fileCursors;
  CString m_programDirectory;
  BOOL m_closing = FALSE;
  CDataFile m_dataFile;
  // Declared after the data file it reads from, so it goes first.
  CPreloadCache m_preloadCache{&m_dataFile};
  // Pictures' outside decoders. Photo CD pictures go to a native toolkit
  // when one loads, else to the program's own reader over the same files.
  CLoopKeyboardQueue m_keyboard;
  CPhotoCdToolkit m_ownPhotoCd{&m_dataFile, &m_preloadCache, &m_keyboard};
  std::unique_ptr<CNativePhotoCdToolkit> m_nativePhotoCd;
  std::unique_ptr<CPhotoCdToolkitChoice> m_photoCd;
  CNativeFractalDecoder m_fractal;
  // The AVI players' media read from memory; after the files they read.
  CMmioMemFileList m_memFiles;

  CFont m_systemFont;
  tvn::fonts::QtFontSystem m_fontSystem;
  CEmbeddedFontRegistry m_fontRegistry{m_fontSystem};
  CMessageService m_messages;
  // Libraries DLL actions loaded stay loaded until the program ends.
  CLibraryTable m_libraries;
  // Held for the whole run; each transition holds a use of its own.
  std::shared_ptr<C3dEffectsLibrary> m_effects3d;
  // The window, page and media services of the built-ins.
  CPlayerSystemFunctions m_systemFunctions{*this};
};

// The program directory of a program file: its folder part with the
// separator, one separator added when the text has none at its end.
CString ProgramDirectoryOf(const CString& modulePath);
// The bare name of a file: the text after the last '\', else after the last
// '/', else after the last ':'.
CString BareFileName(const CString& path);
