// The presentation view's commands and the events of hosted controls.
#include <utility>

#include "model/course_doc.h"
#include "platform/base/cmd_target.h"
#include "platform/user/file_dialog.h"
#include "playback/app_resources.h"
#include "playback/course_document.h"
#include "playback/player_app.h"
#include "playback/presentation_frame.h"
#include "playback/presentation_view.h"

namespace {
// Open mode: hide read-only, the path and the file must exist.
constexpr DWORD kOpenFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
}  // namespace

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

BOOL CPresentationView::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  // Printing asks which command started it; the view may be gone when the
  // command's task is done, so the id is only put back while the window lives.
  const HWND self = m_hWnd;
  const UINT outer = std::exchange(m_nCommand, id);
  const BOOL handled = RouteCommand(id, lParam);
  if (CWnd::FromHandle(self) == this) m_nCommand = outer;
  return handled;
}

BOOL CPresentationView::RouteCommand(UINT id, LPARAM lParam) {
  if (Runs()) {
    if (m_armedEvents.DispatchCommand(static_cast<int>(id), lParam)) {
      SendMessage(ViewMessage::kRunTask);
      return TRUE;
    }
    if (CurrentCourse()->CurrentTaskFind4(static_cast<int>(id), lParam)) {
      SendMessage(ViewMessage::kTaskFinished);
      return TRUE;
    }
  }
  switch (id) {
    case AppCommand::kOpenCourse:
    case AppCommand::kOpenCourseAlt: OpenCourseFromDialog(); return TRUE;
    case kStopCourseCommand: OnStopCourse(); return TRUE;
    case kRepaintAllCommand: OnRepaintAll(); return TRUE;
    case kCancelCaptureCommand: ReleaseCapture(); return TRUE;
    default: return FALSE;
  }
}

BOOL CPresentationView::OnControlEvent(LONG controlId, void* eventRecord) {
  CCourseDoc* course = CurrentCourse();
  if (!course) return FALSE;
  if (!IsRunning()) return m_pSites->RefreshControl(course, controlId);
  if (m_armedEvents.DispatchControlEvent(controlId, eventRecord)) {
    SendMessage(ViewMessage::kRunTask);
    return TRUE;
  }
  if (OnControlEventObjects(controlId, eventRecord)) {
    SendMessage(ViewMessage::kTaskFinished);
    return TRUE;
  }
  return FALSE;
}

BOOL CPresentationView::OnCmdMsg(UINT id, int code, void* extra) {
  if (code == CN_EVENT) return OnControlEvent(static_cast<LONG>(id), extra);
  return COffScreenView::OnCmdMsg(id, code, extra);
}
