// The control host window: creation through the registry, painting and event routing.
#include "controls/activex_wnd.h"

#include "platform/base/cmd_target.h"
#include "platform/gdi/dc.h"
#include "platform/user/message_loop.h"
#include "platform/msg/window_messages.h"

IMPLEMENT_DYNAMIC(CActiveXWnd, CWnd)

namespace {
constexpr COLORREF kNoPicture = 0x808080;
}  // namespace

CActiveXWnd::~CActiveXWnd() {
  if (m_hWnd) DestroyWindow();
}

BOOL CActiveXWnd::LoadState(const CControlCreation& creation, const CNativeControlRegistry* registry) {
  if (m_hWnd || !registry) return FALSE;
  const auto classId = CLSIDFromString(creation.classId.str());
  if (!classId) return FALSE;
  auto control = registry->Create(*classId);
  if (!control) return FALSE;
  if (!creation.state.empty() && !control->LoadState(creation.state)) return FALSE;
  m_pParent = creation.parent;
  m_nId = creation.id;
  if (!CreateEx(0, CString(), WS_CHILD | WS_VISIBLE, creation.rect, creation.parent, creation.id)) return FALSE;
  m_pControl = std::move(control);
  m_pControl->Advise([this](DISPID dispid, const std::vector<COleVariant>& args) { FireEvent(dispid, args); });
  m_pControl->OnPlaced(creation.rect, TRUE);
  return TRUE;
}

void CActiveXWnd::DrawControl(CDC* dc, const CRect& rect) {
  if (!m_hWnd || !dc) return;
  if (!m_pControl || !m_pControl->Draw(dc, rect)) dc->FillSolidRect(rect, kNoPicture);
}

BOOL CActiveXWnd::IsWindowThread() {
  CMessageLoop* loop = CMessageLoop::Current();
  return loop && loop->IsLoopThread();
}

BOOL CActiveXWnd::Place(const CRect& rect, UINT flags) {
  if (!m_hWnd || !IsWindowThread()) return FALSE;
  SetWindowPos(HWND_TOP, rect.left, rect.top, rect.Width(), rect.Height(), flags);
  if (m_pControl) m_pControl->OnPlaced(rect, (flags & SWP_HIDEWINDOW) == 0);
  return TRUE;
}

IDispatch* CActiveXWnd::GetDispatch() const {
  INativeControl* control = GetControl();
  return control ? control->GetDispatch() : nullptr;
}

void CActiveXWnd::OnDestroy() {
  if (m_pControl) {
    m_pControl->Advise(nullptr);
    m_pControl.reset();
  }
  CWnd::OnDestroy();
}

void CActiveXWnd::FireEvent(DISPID dispid, const std::vector<COleVariant>& args) {
  if (!m_hWnd || !m_pParent) return;
  const std::shared_ptr<INativeControl> keep = m_pControl;
  CControlEventRecord record;
  record.sender = this;
  record.dispid = dispid;
  record.params.rgvarg = args;
  // The window may be gone when this returns: nothing of it is touched after.
  m_pParent->OnCmdMsg(m_nId, CN_EVENT, &record);
}
