#include "playback/presentation_view.h"

#include "model/course_doc.h"
#include "model/task.h"
#include "model/variable.h"
#include "platform/file_dialog.h"
#include "playback/app_resources.h"
#include "playback/course_document.h"
#include "playback/player_app.h"
#include "playback/presentation_frame.h"

IMPLEMENT_DYNCREATE(CPresentationView, COffScreenView)

namespace {
// The question clock and the frame response's timer.
constexpr UINT kResponseTimer = 18;
constexpr UINT kFrameTimer = 37;
// Open mode: hide read-only, the path and the file must exist.
constexpr DWORD kOpenFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
}  // namespace

CPresentationView::CPresentationView() {
  if (CPlayerApp* app = CPlayerApp::Get()) app->SetPresentationView(this);
}

CPresentationView::~CPresentationView() {
  if (CPlayerApp* app = CPlayerApp::Get(); app && app->GetPresentationView() == this)
    app->SetPresentationView(nullptr);
}

CCourseDoc* CPresentationView::CurrentCourse() const {
  CPlayerApp* app = CPlayerApp::Get();
  return app ? app->GetCurrentCourse() : nullptr;
}

CDocument* CPresentationView::GetCurrentCourse() { return CCourseDocument::Of(CurrentCourse()); }

bool CPresentationView::RemoveObjectOf(CIconObject* owner) {
  if (!FindDisplayItem(owner)) return false;
  RemoveObject(owner, TRUE);
  return true;
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
    if (CVariableTable* global = app->GetGlobalTable()) global->ClearAllValues();
    if (CPresentationFrame* frame = app->GetPresentationFrame()) frame->Show(TRUE);
  }
  OnRunFromAnotherCourse(0, 0);
}

LRESULT CPresentationView::OnRunFromAnotherCourse(WPARAM taskNumber, LPARAM) {
  CCourseDoc* course = CurrentCourse();
  if (!course || !course->Tasks().GetHead()) return 0;
  course->SetCloseMark(FALSE);
  course->CountQuestions();
  course->SetPreviousTaskNumber(0);
  CTask* start = taskNumber ? course->FindTaskByNumber(static_cast<int>(taskNumber)) : nullptr;
  course->SetCurrentTask(start ? start : course->Tasks().GetHead());
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
  CCourseDoc* course = CurrentCourse();
  if (!course) return 0;
  UpdateTaskTags(*course);
  SendMessage(ViewMessage::kRunTask);
  return 0;
}

LRESULT CPresentationView::OnRunTask() {
  CCourseDoc* course = CurrentCourse();
  if (!course || !course->GetCurrentTask()) return 0;
  if (!course->CurrentTaskHasAction()) return 0;
  const BOOL waits = course->CurrentTaskRequest();
  FlushInvalidRects();
  if (!waits) SendMessage(ViewMessage::kTaskFinished);
  return 0;
}

LRESULT CPresentationView::OnTaskFinished() {
  CCourseDoc* course = CurrentCourse();
  if (!course) return 0;
  switch (course->NextTask()) {
    case 1:
      KillTimer(kResponseTimer);
      KillTimer(kFrameTimer);
      RemoveTaskObjects();
      PostMessage(ViewMessage::kTaskEntered);
      break;
    case 0:
      KillTimer(kResponseTimer);
      KillTimer(kFrameTimer);
      EndPlayback();
      break;
    default: break;  // stays on this task
  }
  return 0;
}

void CPresentationView::EndPlayback() {
  FreeAllObjects(nullptr, TRUE);
  OnStopCourse();
  if (CWnd* main = AfxGetMainWnd()) main->PostMessage(WM_CLOSE);
}

void CPresentationView::OnStopCourse() {
  GetKillEvent()->Set();
  for (CDrawObj* obj : GetObjects()) obj->KillThread(FALSE);
  while (::ShowCursor(TRUE) < 0) {
  }
  KillTimer(kResponseTimer);
  KillTimer(kFrameTimer);
  SetRunning(false);
}

void CPresentationView::OpenCourseFromDialog() {
  CFileDialog dialog(TRUE, CString(), CString(), kOpenFlags, LoadAppString(AppResource::kOpenFilter), this);
  CPlayerApp* app = CPlayerApp::Get();
  CPresentationFrame* frame = app ? app->GetPresentationFrame() : nullptr;
  if (dialog.DoModal() == IDOK) {
    CDocument* doc = app ? app->OpenDocumentFile(dialog.GetPathName()) : nullptr;
    if (DynamicDowncast<CCourseDocument>(doc) && CurrentCourse()) StartPresentation();
    else if (frame) frame->SendMessage(WM_CLOSE);
  } else if (!CurrentCourse() && frame) {
    // Nothing to play: closing the window ends the program.
    frame->SendMessage(WM_CLOSE);
  }
}

BOOL CPresentationView::OnCommand(WPARAM wParam, LPARAM) {
  switch (LOWORD(wParam)) {
    case AppCommand::kOpenCourse:
    case AppCommand::kOpenCourseAlt: OpenCourseFromDialog(); return TRUE;
    case AppCommand::kStopCourse: OnStopCourse(); return TRUE;
    default: return FALSE;
  }
}

LRESULT CPresentationView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case ViewMessage::kTaskEntered: return OnTaskEntered();
    case ViewMessage::kRunTask: return OnRunTask();
    case ViewMessage::kTaskFinished: return OnTaskFinished();
    case WM_KEYDOWN:
      // A key the current task's responses take finishes the task.
      if (CCourseDoc* course = CurrentCourse(); course && IsRunning() &&
                                                course->CurrentTaskFind3(static_cast<int>(wParam), 0)) {
        SendMessage(ViewMessage::kTaskFinished);
        return 0;
      }
      return COffScreenView::WindowProc(message, wParam, lParam);
    default: return COffScreenView::WindowProc(message, wParam, lParam);
  }
}
