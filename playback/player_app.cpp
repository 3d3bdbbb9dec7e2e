#include "playback/player_app.h"

#include <algorithm>
#include <exception>

#include "behaviour/simulator_action.h"
#include "controls/dde_link.h"
#include "model/builtin_table.h"
#include "model/data_mem_file.h"
#include "model/drive_helpers.h"
#include "model/task.h"
#include "model/variable.h"
#include "model/measurement_units.h"
#include "model/system_queries.h"
#include "platform/base/host_path.h"
#include "platform/user/clipboard.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/system_metrics.h"
#include "platform/user/native_window.h"
#include "platform/user/message_box.h"
#include "platform/sys/program_module.h"
#include "platform/sys/shell_file_types.h"
#include "platform/sys/windows_locations.h"
#include "platform/sys/system_info.h"
#include "playback/app_resources.h"
#include "media/memory_stream.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/media_system.h"
#include "playback/course_document.h"
#include "playback/course_frame.h"
#include "playback/main_frame.h"
#include "playback/presentation_doc.h"
#include "playback/presentation_frame.h"
#include "playback/presentation_view.h"

namespace {

// The main frame's style: an overlapped window that adds the document's title.
constexpr DWORD kMainFrameStyle = 0x00CF8000;

struct OptionalLibrary {
  DWORD bit;
  UINT stringId;
};

constexpr OptionalLibrary kOptionalLibraries[] = {
    {OptionalDll::kSimulator, 2001}, {OptionalDll::kFractal, 2006}, {OptionalDll::kPhotoCd, 2009},
    {OptionalDll::kImaging, 2011},   {OptionalDll::kZip, 2012},     {OptionalDll::kWebPost, 2017},
};
constexpr UINT kOdbcLibrary = 2013;
constexpr const char* kOdbcExport = "ODBCToolKit";

}  // namespace

LibraryProbe LibraryProbe::System() {
  return {[](const std::string& name) { return tvn::sys::SearchPath(name); },
          [](const std::filesystem::path& library, const std::string& symbol) {
            return tvn::sys::LibraryExports(library, symbol);
          }};
}

CString ProgramDirectoryOf(const CString& modulePath) {
  CString directory = modulePath.Left(std::max(modulePath.ReverseFind('\\'), modulePath.ReverseFind('/')) + 1);
  if (!directory.IsEmpty() && directory.Right(1) != "\\" && directory.Right(1) != "/") directory += "\\";
  return directory;
}

CString BareFileName(const CString& path) {
  int at = path.ReverseFind('\\');
  if (at < 0) at = path.ReverseFind('/');
  if (at < 0) at = path.ReverseFind(':');
  return path.Mid(at + 1);
}

CPlayerApp::CPlayerApp(std::vector<CString> arguments, const IClock& clock)
    : CWinApp(LoadAppString(AppResource::kMainFrame), clock),
      m_arguments(std::move(arguments)),
      m_probe(LibraryProbe::System()),
      m_messages(*this, LoadAppString(AppResource::kMainFrame)) {
  // A wait or box belongs to the course that plays when it begins: closing
  // that course ends it.
  SetOwnerSource([this] { return static_cast<const void*>(m_currentCourse); });
  // A course sizes the pre-load budget through its "PreloadBufferSize".
  m_preloadCache.SetBudgetSource([this]() -> std::optional<LONG> {
    const CVariable* budget = FindVariable(*this, "PreloadBufferSize");
    if (!budget) return std::nullopt;
    if (!budget->IsNumber()) return budget->GetLong();
    const double bytes = budget->GetReal();
    return bytes > 0 ? static_cast<LONG>(std::min(bytes, 2147483647.0)) : 0;
  });
}

CPlayerApp::~CPlayerApp() {
  // Courses, frames and views reach the members below while they close, so
  // they go first; the data file closes once nothing reads it.
  m_closing = TRUE;
  CloseAllDocuments(TRUE);
  if (m_pMainWnd) m_pMainWnd->DestroyWindow();
  m_dataFile.Close();
}

CPlayerApp* CPlayerApp::Get() { return dynamic_cast<CPlayerApp*>(CWinApp::Get()); }

CString CPlayerApp::LoadResourceString(UINT id) const { return LoadAppString(id); }

// --- start-up ---

BOOL CPlayerApp::InitInstance() {
  MakeMediaSystem();
  // No resource library exists here: the program's own strings serve.
  m_cmdInfo = ParseCommandLine(m_arguments);
  const CCommandLineInfo& commandLine = m_cmdInfo;
  // OLE and the control container need no start-up here.
  m_printer = CPrinterSetup::DefaultPrinter();
  GetProgramDirectory(m_modulePath ? *m_modulePath : tvn::sys::ModuleFileName());
  DetectOptionalDlls();
  m_effects3d = std::make_shared<C3dEffectsLibrary>(tvn::sys::ModulePath().parent_path());
  LoadUnitNames([this](UINT id) { return LoadResourceString(id); });
  ReadScreenCapabilities();
  m_systemFont.CreatePointFont(80, "MS Sans Serif");
  RegisterTemplates();
  if (!CreateMainFrame()) return FALSE;
  if (m_registersShellFileTypes) RegisterShellFileTypes();
  OpenPresentationTemplate();

  if (commandLine.m_bRunEmbedded || commandLine.m_bRunAutomated) {
    m_userControl = false;
    return TRUE;
  }
  if (commandLine.m_strFileName.IsEmpty()) {
    PostOpenCommand();
  } else {
    OpenCommandLineFile(commandLine.m_strFileName);
    if (CCourseDoc* course = m_currentCourse) {
      CString directory = course->GetCourseDirectory();
      if (directory.GetLength() > 1 && (directory.Right(1) == "\\" || directory.Right(1) == "/"))
        directory = directory.Left(directory.GetLength() - 1);
      tvn::sys::SetCurrentDirectory(directory);
      if (m_presentationView) m_presentationView->StartPresentation();
    } else {
      PostOpenCommand();
    }
  }
  m_pMainWnd->ShowWindow(SW_HIDE);
  return TRUE;
}

void CPlayerApp::GetProgramDirectory(const CString& modulePath) {
  m_programDirectory = ProgramDirectoryOf(modulePath.Left(260));
}

void CPlayerApp::DetectOptionalDlls() {
  for (const OptionalLibrary& library : kOptionalLibraries) TestDll(library.bit, library.stringId);
  // The database kit counts only when the copy beside the program has its entry point.
  if (TestDll(OptionalDll::kOdbc, kOdbcLibrary)) {
    std::optional<std::filesystem::path> beside;
    if (!m_programDirectory.IsEmpty())
      beside = tvn::path::MapWindowsPath(m_programDirectory + LoadResourceString(kOdbcLibrary));
    if (!beside || !m_probe.exports || !m_probe.exports(*beside, kOdbcExport)) m_optionalDlls &= ~OptionalDll::kOdbc;
  }
  m_optionalDlls |= OptionalDll::kAlwaysSet;
  // Without a Photo CD toolkit the program's own reader takes its pictures.
  m_optionalDlls |= OptionalDll::kPhotoCd;
  m_nativePhotoCd = std::make_unique<CNativePhotoCdToolkit>(ProgramFolders(), &m_keyboard);
  m_photoCd = std::make_unique<CPhotoCdToolkitChoice>(*m_nativePhotoCd, m_ownPhotoCd);
}

std::vector<std::filesystem::path> CPlayerApp::ProgramFolders() const {
  if (m_programDirectory.IsEmpty()) return {};
  auto folder = tvn::path::MapWindowsPath(m_programDirectory);
  if (!folder) return {};
  return {*folder};
}

BOOL CPlayerApp::TestDll(DWORD bit, UINT stringId) {
  CString name = LoadResourceString(stringId);
  if (name.IsEmpty()) return FALSE;
  // Each library is looked for the way it is loaded, by its mapped name: the
  // simulator and the fractal decoder beside the program, the Photo CD
  // toolkit by its plain name (the program's folder first).
  bool mapped = false;
  if (bit == OptionalDll::kSimulator || bit == OptionalDll::kFractal)
    mapped = !m_programDirectory.IsEmpty() && CDynamicLibrary::FindMapped(m_programDirectory + name, {});
  else if (bit == OptionalDll::kPhotoCd)
    mapped = CDynamicLibrary::FindMapped(name, ProgramFolders()).has_value();
  if (!mapped && (!m_probe.search || !m_probe.search(name.str()))) return FALSE;
  m_optionalDlls |= bit;
  return TRUE;
}

void CPlayerApp::ReadScreenCapabilities() {
  // The depth of a bitmap made for the screen; the screen's own answer when
  // that says nothing.
  CBitmap probe;
  BITMAP info;
  if (probe.CreateCompatibleBitmap(nullptr, 1, 1) && probe.GetBitmap(&info))
    m_colourDepth = static_cast<BYTE>(info.bmBitsPixel);
  CDC screen;
  screen.CreateCompatibleDC(nullptr);
  if (m_colourDepth == 0) m_colourDepth = static_cast<BYTE>(screen.GetDeviceCaps(BITSPIXEL));
  // A palette display never occurs: the screen is true colour.
  m_paletteSize = 0;
  m_logPixelsX = screen.GetDeviceCaps(LOGPIXELSX);
  // The system counts as the later family of the platform.
  m_isNt = TRUE;
}

void CPlayerApp::RegisterTemplates() {
  auto courses = std::make_unique<CMultiDocTemplate>(AppResource::kCourseTemplate, RUNTIME_CLASS(CCourseDocument),
                                                     RUNTIME_CLASS(CCourseFrame), RUNTIME_CLASS(CCourseView));
  courses->LoadTemplate();
  m_courseTemplate = courses.get();
  AddDocTemplate(std::move(courses));
}

void CPlayerApp::RegisterShellFileTypes() {
  CString extension, typeId, typeName;
  if (!m_courseTemplate || !m_courseTemplate->GetDocString(extension, CDocTemplate::filterExt) ||
      !m_courseTemplate->GetDocString(typeId, CDocTemplate::regFileTypeId))
    return;
  m_courseTemplate->GetDocString(typeName, CDocTemplate::regFileTypeName);
  tvn::sys::ShellFileType type;
  type.typeId = typeId.str();
  type.description = typeName.str();
  type.extensions = {extension.str()};
  if (extension.CompareNoCase(".mcl") != 0) type.extensions.push_back(".mcl");
  type.programName = LoadResourceString(AppResource::kMainFrame).str();
  type.program = tvn::sys::ModulePath();
  // A desktop that cannot be told is no reason not to start.
  tvn::sys::RegisterShellFileType(type, tvn::sys::XdgDataHome());
}

BOOL CPlayerApp::CreateMainFrame() {
  auto frame = std::make_unique<CMainFrame>();
  if (!frame->LoadFrame(AppResource::kMainFrame, kMainFrameStyle)) return FALSE;
  m_pMainWnd = frame.release();  // deletes itself with its window
  return TRUE;
}

void CPlayerApp::OpenPresentationTemplate() {
  auto presentation =
      std::make_unique<CSingleDocTemplate>(AppResource::kPresentationTemplate, RUNTIME_CLASS(CPresentationDoc),
                                           RUNTIME_CLASS(CPresentationFrame), RUNTIME_CLASS(CPresentationView));
  presentation->LoadTemplate();
  m_presentationTemplate = presentation.get();
  AddDocTemplate(std::move(presentation));
  m_presentationDoc = DynamicDowncast<CPresentationDoc>(m_presentationTemplate->OpenDocumentFile(nullptr, FALSE));
}

void CPlayerApp::OpenCommandLineFile(const CString& path) {
  if (m_dataFile.Open(path)) {
    CString inner = BareFileName(path);
    if (CDocument* doc = m_courseTemplate->OpenDocumentFile(&inner, TRUE)) doc->SetTitle(CString());
  } else {
    OpenDocumentFile(path);
  }
}

void CPlayerApp::PostOpenCommand() {
  if (m_presentationFrame) m_presentationFrame->PostMessage(WM_COMMAND, AppCommand::kOpenCourse, 0);
}

// --- the loop ---

bool CPlayerApp::AnimationWantsTime() {
  return m_presentationView && m_presentationView->IsRunning() && m_presentationView->AnimateObjects();
}

int CPlayerApp::Run() { return CWinApp::Run(); }

BOOL CPlayerApp::OnIdle(LONG count) {
  BOOL more = CWinApp::OnIdle(count);
  if (AnimationWantsTime()) more = TRUE;
  return more;
}

BOOL CPlayerApp::OnMessagePumped(const MSG&) { return AnimationWantsTime() ? TRUE : FALSE; }

BOOL CPlayerApp::PreTranslateMessage(MSG& msg) { return CWinApp::PreTranslateMessage(msg); }

int CPlayerApp::ExitInstance() {
  m_fileCursors.clear();
  return CWinApp::ExitInstance();
}

// --- courses ---

CCourseDoc* CPlayerApp::FindDocument(const CString& path) {
  if (!m_courseTemplate) return nullptr;
  CString wanted = path;
  wanted.MakeUpper();
  for (const auto& doc : m_courseTemplate->Documents()) {
    CString name = doc->GetPathName();
    name.MakeUpper();
    if (name == wanted)
      if (auto* course = DynamicDowncast<CCourseDocument>(doc.get())) return course->Course();
  }
  return nullptr;
}

BOOL CPlayerApp::IsOpenDocument(const CCourseDoc* course) const {
  if (!m_courseTemplate || !course) return FALSE;
  for (const auto& doc : m_courseTemplate->Documents())
    if (auto* wrapper = DynamicDowncast<CCourseDocument>(doc.get()); wrapper && wrapper->Course() == course)
      return TRUE;
  return FALSE;
}

void CPlayerApp::PostViewMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_presentationView) m_presentationView->PostMessage(message, wParam, lParam);
}

CCourseDoc* CPlayerApp::OpenPresentation(const CString& path, BOOL visible) {
  if (!m_courseTemplate) return nullptr;
  auto* doc = DynamicDowncast<CCourseDocument>(m_courseTemplate->OpenDocumentFile(&path, visible));
  return doc ? doc->Course() : nullptr;
}

HCURSOR CPlayerApp::GetCursor(const CString& fileName) {
  if (fileName.IsEmpty()) return nullptr;
  CString resolved = m_currentCourse ? m_currentCourse->FindMediaFile(fileName) : fileName;
  for (const auto& entry : m_fileCursors)
    if (entry->object.GetFileName().CompareNoCase(resolved.view()) == 0) return entry->cursor.get();
  CDataMemFile file(&m_dataFile, &m_preloadCache);
  CFileException failure;  // an unreadable cursor is no cursor, not a message
  if (!file.Open(resolved, CFile::modeRead | CFile::shareDenyWrite, &failure) || !file.IsOpen()) return nullptr;
  std::vector<BYTE> bytes;
  try {
    const ULONGLONG length = file.GetLength();
    if (length == 0 || length > CCursorObject::kMaxFileSize) return nullptr;
    bytes.resize(static_cast<std::size_t>(length));
    if (file.Read(bytes.data(), static_cast<UINT>(bytes.size())) != bytes.size()) return nullptr;
  } catch (const std::exception&) {
    return nullptr;
  }
  auto entry = std::make_unique<FileCursor>();
  // A name that fails is not remembered: a later call tries again.
  if (!entry->object.LoadFromBytes(bytes, resolved)) return nullptr;
  entry->cursor = LoadCursorFromBytes(bytes.data(), bytes.size());
  if (!entry->cursor) return nullptr;
  m_fileCursors.push_back(std::move(entry));
  return m_fileCursors.back()->cursor.get();
}

// --- ICourseHost and CVariableContext ---

IDdeClient* CPlayerApp::GetDdeClient() {
  return m_presentationView ? m_presentationView->GetDdeLink() : nullptr;
}

void CPlayerApp::FreePageObjects(CCourseDoc* course) {
  if (!m_presentationView) return;
  if (CCourseDocument* doc = CCourseDocument::Of(course)) m_presentationView->FreeAllObjects(doc, TRUE);
}

BOOL CPlayerApp::GetClipboardText(CString& text) {
  if (!CClipboard::HasText()) return FALSE;
  text = CClipboard::GetText();
  return TRUE;
}

void CPlayerApp::EmptyClipboard() { CClipboard::Empty(); }

IPageAccess* CPlayerApp::GetPage() { return m_presentationView; }

ITimerOwner* CPlayerApp::GetTimers() { return m_presentationView ? &m_presentationView->Timers() : nullptr; }

void CPlayerApp::MakeMediaSystem() {
  if (m_media) return;
  m_media = std::make_unique<CMediaSystem>(Clock(), m_audioMode);
  // Every player reads its medium from the pre-load cache, the packed data file or the disk.
  m_media->SetSourceOpener([this](const CString& name) -> std::unique_ptr<IMediaByteSource> {
    MediaEnvironment env;
    env.dataFile = &m_dataFile;
    env.cache = &m_preloadCache;
    auto stream = std::make_unique<CMemoryStream>(env, name, CMemoryStream::kUnlimited, Clock());
    if (!stream->IsOpened()) return nullptr;
    return stream;
  });
}

HWND CPlayerApp::GetMediaOwner() { return m_presentationView ? m_presentationView->GetSafeHwnd() : nullptr; }

MediaEnvironment CPlayerApp::MediaEnvironmentForView() {
  MediaEnvironment env;
  env.system = m_media.get();
  env.variables = this;
  env.findMediaFile = [this](const CString& name) { return m_currentCourse ? m_currentCourse->FindMediaFile(name) : name; };
  env.dataFile = &m_dataFile;
  env.cache = &m_preloadCache;
  env.memFiles = &m_memFiles;
  env.messages = &m_messages;
  env.owner = GetMediaOwner();
  return env;
}

BOOL CPlayerApp::GetMciErrorText(DWORD code, CString& text) {
  const char* known = MciErrorText(code);
  if (!known) return FALSE;
  text = known;
  return TRUE;
}

std::uintptr_t CPlayerApp::GetNativeViewWindow() {
  return m_presentationView ? NativeWindowId(*m_presentationView) : 0;
}

int CPlayerApp::GetSimulatorTarget() {
  if (!IsSimulatorPresent() || !m_currentCourse || !m_currentCourse->GetCurrentTask()) return 0;
  CIconManager* actions = m_currentCourse->GetCurrentTask()->GetActions();
  for (int i = 0; actions && i < actions->GetCount(); ++i) {
    if (auto* simulator = dynamic_cast<CSimulatorAction*>(actions->GetChild(i)); simulator && simulator->GetResult())
      return simulator->GetResult();
  }
  return 0;
}

IProgramWatch* CPlayerApp::GetProgramWatch() {
  return m_presentationView ? m_presentationView->GetProgramWatch() : nullptr;
}

void CPlayerApp::FlushInvalidRects() {
  if (m_presentationView) m_presentationView->FlushInvalidRects();
}

CVariableTable* CPlayerApp::GetCourseTable() {
  return m_currentCourse ? &m_currentCourse->CourseVariables() : nullptr;
}

BOOL CPlayerApp::RunSystemFunction(int, CBuiltinCall& call) {
  // A script whose course or program is closing (a box or a "wait" of an
  // earlier statement ended by the close) reaches nothing outside any more:
  // no file, mail, program or device. The call gives 0.
  if (IsCourseClosing(m_currentCourse)) {
    call.SetNumber(0);
    return TRUE;
  }
  SystemFunctionServices services{m_messages, &m_systemFunctions};
  return RunSystemBuiltin(call, services);
}

SystemValues CPlayerApp::GatherSystemValues(CCourseDoc* course) {
  SystemValues values;
  if (course) {
    values.courseCurrent = TRUE;
    // The title is the course object's name as the author gave it; the path is
    // the course's folder, ending in a separator, so "{CoursePath}" prefixes a file name.
    values.courseTitle = course->CourseObject().GetName();
    values.coursePath = course->GetCourseDirectory();
  }
  if (m_presentationView)
    values.windowHandle = static_cast<LONG>(reinterpret_cast<std::uintptr_t>(m_presentationView->GetSafeHwnd()));
  // The program's module: the one instance there is.
  values.instanceHandle = 1;
  values.colourDepth = m_colourDepth ? m_colourDepth : GetDisplayBitDepth(nullptr);
  values.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  values.preloadBufferSize = m_preloadCache.GetBudget();
  CountCdDrives(values.cdDrive);
  // The NT family at the version courses were last written for.
  values.windowsMajor = 5;
  values.windowsMinor = 1;
  return values;
}

// --- IMessageSink ---

int CPlayerApp::ShowMessageBox(CWnd* window, const CString& text, const CString& caption, UINT style, UINT) {
  return ::MessageBox(window ? window : m_pMainWnd, text, caption, style);
}

void CPlayerApp::Beep(UINT type) { MessageBeep(type); }

// --- IEventLoop ---

PumpResult CPlayerApp::PumpOne(BOOL filterInput) {
  const HWND view = m_presentationView ? m_presentationView->GetSafeHwnd() : nullptr;
  CWait wait({filterInput ? WaitInput::kDropPage : WaitInput::kDispatch, view});
  return wait.PumpOne();
}

bool CPlayerApp::StopRequested() const {
  return m_presentationView && m_presentationView->GetKillEvent()->IsSet();
}

void CPlayerApp::WaitForMessage(DWORD maxMilliseconds) {
  MSG msg;
  if (!PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE)) EventSource().Wait(maxMilliseconds);
}
