// The outside built-ins on the presentation view: program, cursor, clipboard, scrolling, page objects and media.
#include "playback/player_system_functions.h"

#include <cstdint>

#include "behaviour/action_kinds.h"
#include "controls/mapi_mail.h"
#include "model/profile_file_values.h"
#include "model/course_doc.h"
#include "model/value_conversion.h"
#include "page/draw_obj.h"
#include "platform/user/message_loop.h"
#include "platform/msg/window_messages.h"
#include "platform/user/wnd.h"
#include "playback/player_app.h"
#include "playback/presentation_frame.h"
#include "playback/presentation_view.h"

namespace {

LONG HandleNumber(const CWnd* window) {
  return window ? static_cast<LONG>(reinterpret_cast<std::uintptr_t>(window->GetSafeHwnd())) : 0;
}

}  // namespace

CPresentationView* CPlayerSystemFunctions::View() const { return m_app.GetPresentationView(); }

CDrawObj* CPlayerSystemFunctions::Find(const CString& name) const {
  CPresentationView* view = View();
  return view ? view->FindObjectByName(name) : nullptr;
}

void CPlayerSystemFunctions::QuitApplication() {
  if (CPresentationFrame* frame = m_app.GetPresentationFrame()) frame->Show(FALSE);
  if (CWnd* main = AfxGetMainWnd()) main->PostMessage(WM_CLOSE);
}

void CPlayerSystemFunctions::EndCurrentCourse() {
  if (CCourseDoc* course = m_app.GetCurrentCourse()) course->SetCurrentTask(nullptr);
}

BOOL CPlayerSystemFunctions::PlaySound(const CString& file, BOOL wait) {
  CPresentationView* view = View();
  return view ? view->GetPlayingSounds().PlaySoundFile(file, wait) : FALSE;
}

DWORD CPlayerSystemFunctions::MciCommand(const CString& command, CString& reply) {
  CPresentationView* view = View();
  return view ? view->GetPlayingSounds().SendMciString(command, reply) : IPlayingSounds::kMciCannotLoadDriver;
}

void CPlayerSystemFunctions::ShowCursor(BOOL show, UINT cursorId) {
  if (!show) {
    while (::ShowCursor(FALSE) >= 0) {
    }
    return;
  }
  while (::ShowCursor(TRUE) < 0) {
  }
  if (CPresentationView* view = View()) {
    view->SetSystemCursorId(cursorId);
    view->RestoreCursor(TRUE);
  }
}

void CPlayerSystemFunctions::SendToFocus(UINT message) {
  if (CWnd* focus = CWnd::GetFocus()) focus->SendMessage(message);
}

void CPlayerSystemFunctions::SetScrollPosition(BOOL vertical, int position) {
  if (CPresentationView* view = View()) view->SetScrollPos(vertical ? SB_VERT : SB_HORZ, position, TRUE);
}

void CPlayerSystemFunctions::RedrawWindow() {
  if (CPresentationView* view = View()) {
    view->InvalidateRect(nullptr);
    view->FlushInvalidRects();
  }
}

CPoint CPlayerSystemFunctions::GetCursorPosition() {
  CPoint point;
  ::GetCursorPos(&point);
  if (CPresentationView* view = View()) view->ScreenToClient(&point);
  return point;
}

BOOL CPlayerSystemFunctions::SetCursorPosition(CPoint client) {
  CPresentationView* view = View();
  if (!view || !CanMoveCursor()) return FALSE;
  view->ClientToScreen(&client);
  return ::SetCursorPos(client.x, client.y);
}

BOOL CPlayerSystemFunctions::GetOwnerRect(const CString& name, CRect& rect) {
  CDrawObj* obj = Find(name);
  if (!obj) return FALSE;
  rect = obj->GetOwnerRect();
  return TRUE;
}

BOOL CPlayerSystemFunctions::GetObjectRect(const CString& name, CRect& rect) {
  CDrawObj* obj = Find(name);
  if (!obj) return FALSE;
  obj->GetRect(&rect);
  return TRUE;
}

BOOL CPlayerSystemFunctions::MoveObjectTo(const CString& name, const CRect& rect) {
  CDrawObj* obj = Find(name);
  if (!obj) return FALSE;
  obj->MoveToRect(rect, FALSE);
  return TRUE;
}

BOOL CPlayerSystemFunctions::GetObjectLayer(const CString& name, int& layer) {
  CDrawObj* obj = Find(name);
  if (!obj) return FALSE;
  layer = obj->GetLayer();
  return TRUE;
}

BOOL CPlayerSystemFunctions::SetObjectLayer(const CString& name, int layer) {
  CDrawObj* obj = Find(name);
  if (!obj) return FALSE;
  // Layers outside a byte are cut to it; the object keeps its layer unless it stands on 1 to 9.
  obj->SetLayer(static_cast<BYTE>(layer));
  View()->ReorderObject(obj);
  return TRUE;
}

BOOL CPlayerSystemFunctions::ReloadObject(const CString& name) {
  CDrawObj* obj = Find(name);
  if (!obj || !obj->GetOwner()) return FALSE;
  obj->GetOwner()->Execute();
  obj->GetOwner()->Activate();
  // The owner may have replaced its draw object.
  if (CDrawObj* now = Find(name)) {
    View()->InvalidateItem(now);
    View()->FlushInvalidRects();
  }
  return TRUE;
}

BOOL CPlayerSystemFunctions::EnableObjectWindow(const CString& name, BOOL enable) {
  CDrawObj* obj = Find(name);
  CWnd* control = obj && obj->GetOwner() ? obj->GetOwner()->GetControlWnd() : nullptr;
  if (!control) return FALSE;
  control->EnableWindow(enable);
  return TRUE;
}

BOOL CPlayerSystemFunctions::GetObjectWindow(const CString& name, LONG& handle) {
  CDrawObj* obj = Find(name);
  CWnd* control = obj && obj->GetOwner() ? obj->GetOwner()->GetControlWnd() : nullptr;
  if (!control) return FALSE;
  handle = HandleNumber(control);
  return TRUE;
}

LONG CPlayerSystemFunctions::GetFocusWindow() { return HandleNumber(CWnd::GetFocus()); }

void CPlayerSystemFunctions::SetFocusWindow(LONG handle) {
  HWND hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(handle)));
  if (!::IsWindow(hwnd)) return;
  if (CWnd* window = CWnd::FromHandle(hwnd)) window->SetFocus();
}

BOOL CPlayerSystemFunctions::GetCurrentUrl(const CString& name, CString& url) {
  CDrawObj* obj = Find(name);
  if (!obj || !obj->GetOwner() || obj->GetOwner()->GetKind() != ActionKind::kHtml) return FALSE;
  // The page action of this runtime shows no address.
  url.Empty();
  return TRUE;
}

BOOL CPlayerSystemFunctions::Media(const CString& name, bool length, LONG& value) {
  CIconObject* owner = nullptr;
  if (CDrawObj* obj = Find(name)) owner = obj->GetOwner();
  if (!owner && View()) owner = View()->GetPlayingSounds().FindByFile(name);
  if (!owner) return FALSE;
  value = tvn::values::TruncateToLong(length ? owner->GetMediaLength() : owner->GetMediaPosition());
  return TRUE;
}

BOOL CPlayerSystemFunctions::GetMediaPosition(const CString& name, LONG& position) { return Media(name, false, position); }

BOOL CPlayerSystemFunctions::GetMediaLength(const CString& name, LONG& length) { return Media(name, true, length); }

int CPlayerSystemFunctions::SendEmail(const CString& recipients, const CString& subject, const CString& text,
                                      const CString& attachments) {
  CProfileFileValues profile(RuntimeProfilePath());
  CMailComposeDialog dialog;
  return SendEmailMessage(View(), profile, m_app.Variables(), dialog, recipients, subject, text, attachments);
}
