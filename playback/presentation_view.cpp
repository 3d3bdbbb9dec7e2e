// The presentation view's life and the stepping of a course through its tasks.
#include "playback/presentation_view.h"

#include "behaviour/menu_bar.h"
#include "behaviour/window_action.h"
#include "controls/dde_link.h"
#include "model/course_doc.h"
#include "model/message_pump.h"
#include "model/task.h"
#include "model/variable.h"
#include "platform/framework/doc_template.h"
#include "platform/gdi/system_metrics.h"
#include "platform/user/message_loop.h"
#include "playback/app_resources.h"
#include "playback/course_document.h"
#include "playback/effect_media.h"
#include "playback/playing_sounds.h"
#include "playback/player_app.h"
#include "playback/player_dde_commands.h"
#include "playback/presentation_frame.h"

IMPLEMENT_DYNCREATE(CPresentationView, COffScreenView)

CPresentationView::CPresentationView() {
  // The page settings are a window action of the view's own.
  auto settings = std::make_unique<CWindowAction>();
  settings->SetPage(this);
  SetPageSettings(std::move(settings));
  if (CPlayerApp* app = CPlayerApp::Get()) {
    app->SetPresentationView(this);
    // Transitions look at the program's queue once per step: Escape ends them.
    CEffectServices effects;
    effects.loop = &app->EventLoop();
    effects.messages = &app->Messages();
    effects.library3d = app->Effects3dLibrary();
    if (app->GetMediaSystem()) {
      m_ownSounds = std::make_unique<CPlayingSounds>(app->MediaEnvironmentForView());
      m_pSounds = m_ownSounds.get();
      // Category-9 transitions play their medium through a media-file object.
      m_effectResources = std::make_unique<CEffectResources>([] {
        CPlayerApp* current = CPlayerApp::Get();
        return current ? current->MediaEnvironmentForView() : MediaEnvironment{};
      });
      effects.resources = m_effectResources.get();
    }
    SetEffectServices(effects);
    // Commands from other programs run from the loop, never inside the transport.
    m_ddeCommands = std::make_unique<CPlayerDdeCommands>(*app);
    m_ddeLink = std::make_unique<CDdeLink>(app->Messages(), *m_ddeCommands, [](std::function<void()> call) {
      if (CMessageLoop* loop = CMessageLoop::Current()) loop->PostCall(std::move(call));
    });
  }
}

void CPresentationView::SetPlayingSounds(IPlayingSounds* sounds) {
  m_pSounds = sounds ? sounds : (m_ownSounds ? static_cast<IPlayingSounds*>(m_ownSounds.get()) : &m_absentSounds);
}

CPresentationView::~CPresentationView() {
  m_ddeLink.reset();
  // Sounds stop before the window goes.
  if (m_ownSounds) m_ownSounds->RemoveAll();
  // The events may still hold timers of this window.
  m_armedEvents.StopAll();
  m_armedEvents.RemoveAll();
  if (CPlayerApp* app = CPlayerApp::Get(); app && app->GetPresentationView() == this)
    app->SetPresentationView(nullptr);
}

int CPresentationView::OnCreate(const CREATESTRUCT& cs) {
  const int result = COffScreenView::OnCreate(cs);
  if (m_ownSounds) m_ownSounds->SetOwner(GetSafeHwnd());
  // The course's page: a wait that blocks the course holds what comes for it.
  if (CMessageLoop* loop = CMessageLoop::Current()) loop->SetPageWindow(GetSafeHwnd());
  m_hCourseCursor = nullptr;
  m_hHandCursor = LoadCursorResource("HAND");
  m_nCursorState = ViewCursor::kSystem;
  m_nCursorId = IDC_ARROW;
  return result;
}

void CPresentationView::OnInitialUpdate() {
  CScrollView::SetScrollSizes(MM_TEXT, CSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
  COffScreenView::OnInitialUpdate();
}

CCourseDoc* CPresentationView::CurrentCourse() const {
  CPlayerApp* app = CPlayerApp::Get();
  return app ? app->GetCurrentCourse() : nullptr;
}

CCourseDoc* CPresentationView::PlayingCourse() const {
  CCourseDoc* course = CurrentCourse();
  return course && !course->IsClosing() ? course : nullptr;
}

CDocument* CPresentationView::GetCurrentCourse() { return CCourseDocument::Of(CurrentCourse()); }

BOOL CPresentationView::IsCourseOpen(const CCourseDoc* course) {
  CPlayerApp* app = CPlayerApp::Get();
  return app ? app->IsOpenDocument(course) : FALSE;
}

void CPresentationView::SetActiveCourse(CCourseDoc* course) {
  if (CPlayerApp* app = CPlayerApp::Get()) app->SetCurrentCourse(course);
}

MediaEnvironment CPresentationView::GetMediaEnvironment() {
  CPlayerApp* app = CPlayerApp::Get();
  if (!app) return COffScreenView::GetMediaEnvironment();
  MediaEnvironment env = app->MediaEnvironmentForView();
  env.owner = GetSafeHwnd();
  env.startAnimation = [this] { SetAnimationTimer(); };
  return env;
}

bool CPresentationView::RemoveObjectOf(CIconObject* owner) {
  if (!FindDisplayItem(owner)) return false;
  RemoveObject(owner, TRUE);
  return true;
}

void CPresentationView::ViewTimers::SetTimer(UINT id, UINT intervalMs) { m_view.CWnd::SetTimer(id, intervalMs); }

void CPresentationView::ViewTimers::KillTimer(UINT id) { m_view.CWnd::KillTimer(id); }

void CPresentationView::KillAnimationTimer(BOOL force) {
  if (m_nAnimationUsers > 0 || force) --m_nAnimationUsers;
  if (m_nAnimationUsers <= 0 || force) m_nAnimationUsers = 0;
}

void CPresentationView::TellStep(UINT message) {
  if (!m_stepListener) return;
  CCourseDoc* course = CurrentCourse();
  CTask* task = course ? course->GetCurrentTask() : nullptr;
  m_stepListener(message, task ? task->GetTaskNumber() : 0);
}

void CPresentationView::KillResponseTimers() {
  CWnd::KillTimer(ViewTimer::kResponse);
  CWnd::KillTimer(ViewTimer::kFrame);
}

void CPresentationView::StartPresentation() {
  CCourseDoc* course = CurrentCourse();
  if (!course) return;
  ScrollToPosition(CPoint(0, 0));
  GetKillEvent()->Reset();
  FreeAllObjects(nullptr, TRUE);
  EraseBackground();
  InvalidateRect(nullptr);
  FlushInvalidRects();
  course->CourseVariables().ClearAllValues();
  if (CPlayerApp* app = CPlayerApp::Get()) {
    if (CVariableTable* global = app->GetGlobalTable()) {
      global->ClearAllValues();
      global->RefreshSystemVariables(app->GatherSystemValues(nullptr));
    }
    if (CPresentationFrame* frame = app->GetPresentationFrame()) frame->Show(TRUE);
  }
  OnRunFromAnotherCourse(0, 0);
}

LRESULT CPresentationView::OnRunFromAnotherCourse(WPARAM taskNumber, LPARAM) {
  CCourseDoc* course = CurrentCourse();
  if (!course || !course->Tasks().GetHead()) return 0;
  // A course started again (another course's call, a restart) is armed afresh, not twice.
  m_armedEvents.RemoveCourse(course);
  course->ResetTaskEvents(m_armedEvents);
  course->SetCloseMark(FALSE);
  if (CPlayerApp* app = CPlayerApp::Get()) course->CourseVariables().RefreshSystemVariables(app->GatherSystemValues(course));
  course->CountQuestions();
  course->SetPreviousTaskNumber(0);
  CTask* start = taskNumber ? course->FindTaskByNumber(static_cast<int>(taskNumber)) : nullptr;
  course->SetCurrentTask(start ? start : course->Tasks().GetHead());
  m_nMode = 1;
  SetRunning(true);
  PostMessage(ViewMessage::kTaskEntered);
  return 0;
}

void CPresentationView::UpdateTaskTags(CCourseDoc& course) {
  CVariableContext& vars = course.Variables();
  CVariable* current = FindVariable(vars, "CurrentTaskTag");
  if (CVariable* previous = FindVariable(vars, "PreviousTaskTag"); previous && current)
    previous->SetReal(current->GetReal());
  CTask* task = course.GetCurrentTask();
  if (current) current->SetReal(task ? task->GetTaskNumber() : 0);
}

LRESULT CPresentationView::OnTaskEntered() {
  CCourseDoc* course = PlayingCourse();
  if (!course) return 0;
  TellStep(ViewMessage::kTaskEntered);
  // A demon event may take the entry: its task runs instead, with the tags untouched.
  if (!m_armedEvents.DispatchCommand(0, 0)) {
    if (CCourseDoc* now = CurrentCourse()) UpdateTaskTags(*now);
  }
  SendMessage(ViewMessage::kRunTask);
  return 0;
}

CPreloadCache* CPresentationView::GetPreloadCache() {
  CPlayerApp* app = CPlayerApp::Get();
  return app ? &app->PreloadCache() : nullptr;
}

CWindowAction& CPresentationView::GetWindowSettings() {
  // Installed by the constructor; a window action only ever copies into it.
  return dynamic_cast<CWindowAction&>(GetPageSettings());
}

LRESULT CPresentationView::OnRunTask() {
  CCourseDoc* course = PlayingCourse();
  if (!course) return 0;
  TellStep(ViewMessage::kRunTask);
  CTask* task = course->GetCurrentTask();
  const bool stoppedBefore = GetKillEvent()->IsSet();
  if (!task || !course->CurrentTaskHasAction()) return 0;
  // A box among the actions lets the program go on under it: the task may
  // have been left, or the course stopped, meanwhile. Then this step is over.
  if (CurrentCourse() != course || course->GetCurrentTask() != task || (!stoppedBefore && GetKillEvent()->IsSet()))
    return 0;
  // The user menu of the frame follows its conditions.
  if (auto* frame = dynamic_cast<CPresentationFrame*>(GetParent()); frame && frame->GetMenuHandle()) {
    CMenuBar bar(frame->GetMenuHandle());
    frame->UpdateMenu(bar, *course);
  }
  if (!course->CurrentTaskRequest()) {
    FlushInvalidRects();
    SendMessage(ViewMessage::kTaskFinished);
    return 0;
  }
  FlushInvalidRects();
  RestoreFocus();
  // The media of the tasks the responses can lead to are read ahead.
  if (m_nLookAheadPreload)
    if (CPreloadCache* cache = GetPreloadCache()) cache->PreloadNextTasks(*course);
  return 0;
}

void CPresentationView::RestoreFocus() {
  // The first child that takes the tab key and shows.
  auto firstTabItem = [this]() -> CWnd* {
    for (CWnd* child = GetWindow(GW_CHILD); child; child = child->GetNextWindow())
      if ((child->GetStyle() & WS_TABSTOP) && child->IsWindowVisible()) return child;
    return nullptr;
  };
  if (m_hSavedFocus) {
    CWnd* first = firstTabItem();
    if (first && first->GetSafeHwnd() == m_hSavedFocus) first->SetFocus();
  }
  CWnd* focus = CWnd::GetFocus();
  if (!focus || !IsChild(focus)) {
    CWnd* first = firstTabItem();
    if (first && first != focus) first->SetFocus();
  }
}

LRESULT CPresentationView::OnTaskFinished() {
  CCourseDoc* course = PlayingCourse();
  if (!course) return 0;
  TellStep(ViewMessage::kTaskFinished);
  for (CDrawObj* obj : GetObjects())
    if (IsDisplayItem(obj) && obj->GetOwner()) obj->GetOwner()->UpdateFromControl();
  CWnd* focus = CWnd::GetFocus();
  m_hSavedFocus = focus && IsChild(focus) ? focus->GetSafeHwnd() : nullptr;

  switch (course->NextTask()) {
    case 1: {
      KillResponseTimers();
      if (CPlayerApp* app = CPlayerApp::Get()) PumpMessages(app->EventLoop(), FALSE, FALSE);
      const bool ctrlAlt = (::GetKeyState(VK_CONTROL) & 0x8000) && (::GetKeyState(VK_MENU) & 0x8000);
      if (ctrlAlt) {
        EndPlayback();
        return 0;
      }
      RestoreCursor(FALSE);
      RemoveTaskObjects();
      PostMessage(ViewMessage::kTaskEntered);
      return 0;
    }
    case 0:
      KillResponseTimers();
      if (course->GetCallerCourse()) ReturnToCaller(*course);
      else EndPlayback();
      return 0;
    default: return 0;  // stays on this task
  }
}

void CPresentationView::ReturnToCaller(CCourseDoc& finished) {
  CCourseDoc* caller = finished.GetCallerCourse();
  CTask* returnTask = finished.GetCallerTask();
  finished.SetCallerCourse(nullptr, nullptr);
  if (!IsCourseOpen(caller)) {
    // The calling course closed meanwhile: nothing to go back to.
    EndPlayback();
    return;
  }
  SetActiveCourse(caller);
  if (returnTask) caller->SetCurrentTask(returnTask);
  if (finished.GetCloseOnReturn()) {
    if (IsReferenced(&finished)) finished.SetCloseMark(TRUE);
    else CloseCourse(&finished);
  }
  if (!caller->CurrentTaskRequest()) {
    FlushInvalidRects();
    SendMessage(ViewMessage::kTaskFinished);
    return;
  }
  FlushInvalidRects();
}

bool CPresentationView::IsReferenced(CCourseDoc* course) {
  if (m_armedEvents.FindByCourse(course)) return true;
  CDocument* doc = CCourseDocument::Of(course);
  for (CDrawObj* obj : GetObjects())
    if (obj->GetCourse() == doc) return true;
  return false;
}

void CPresentationView::CloseCourse(CCourseDoc* course) {
  if (CCourseDocument* doc = CCourseDocument::Of(course); doc && doc->SaveModified()) doc->OnCloseDocument();
}

void CPresentationView::DestroyCourse() {
  CPlayerApp* app = CPlayerApp::Get();
  if (!app || !app->GetCourseTemplate()) return;
  std::vector<CCourseDoc*> waiting;
  for (const auto& doc : app->GetCourseTemplate()->Documents())
    if (auto* wrapper = DynamicDowncast<CCourseDocument>(doc.get()); wrapper && wrapper->Course()) {
      CCourseDoc* course = wrapper->Course();
      if (course->GetCloseMark() && course != CurrentCourse() && !IsReferenced(course)) waiting.push_back(course);
    }
  for (CCourseDoc* course : waiting) CloseCourse(course);
}

void CPresentationView::EndPlayback() {
  FreeAllObjects(nullptr, TRUE);
  OnStopCourse();
  if (CWnd* main = AfxGetMainWnd()) main->PostMessage(WM_CLOSE);
}

void CPresentationView::OnStopCourse() {
  GetKillEvent()->Set();
  for (CDrawObj* obj : GetObjects()) obj->KillThread(FALSE);
  m_pSounds->RemoveAll();
  while (::ShowCursor(TRUE) < 0) {
  }
  m_nCursorId = IDC_ARROW;
  RestoreCursor(FALSE);
  KillAnimationTimer(TRUE);
  KillResponseTimers();
  m_armedEvents.StopAll();
  m_armedEvents.RemoveAll();
  m_pSites->DestroyAll();
}

LRESULT CPresentationView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case ViewMessage::kTaskEntered: return OnTaskEntered();
    case ViewMessage::kRunTask: return OnRunTask();
    case ViewMessage::kTaskFinished: return OnTaskFinished();
    case ViewMessageMore::kUnused406:
    case ViewMessageMore::kUnused407: return 0;
    case ViewMessageMore::kRunFromAnotherCourse: return OnRunFromAnotherCourse(wParam, lParam);
    case DdeViewMessage::kStart: StartPresentation(); return 0;
    case MM_MCINOTIFY: return OnMciNotify(wParam, lParam);
    case MM_MCISIGNAL: return OnMciSignal(wParam, lParam);
    case MM_WOM_DONE: return OnWaveDone(wParam, lParam);
    case WM_NOTIFY:
      if (Runs()) {
        if (m_armedEvents.DispatchNotify(wParam, lParam)) SendMessage(ViewMessage::kRunTask);
        else if (CCourseDoc* course = CurrentCourse(); course && course->CurrentTaskCall6(wParam, lParam))
          SendMessage(ViewMessage::kTaskFinished);
      }
      return COffScreenView::WindowProc(message, wParam, lParam);
    default: return COffScreenView::WindowProc(message, wParam, lParam);
  }
}
