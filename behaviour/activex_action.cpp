// The ActiveX action: its stored form, copies, and the control it hosts on the page.
#include "behaviour/activex_action.h"

#include <atomic>

#include "model/archive.h"
#include "model/icon_manager.h"
#include "model/task.h"
#include "model/task_list.h"
#include "model/task_services.h"
#include "page/off_screen_view.h"
#include "platform/msg/window_messages.h"

IMPLEMENT_SERIAL(CActiveXAction, CDisplayAction, VERSIONABLE_SCHEMA | 3)

namespace {

constexpr UINT kCurrentSchema = 3;

// Stored control ids are the authoring tool's object addresses, which are
// always even; ours are odd, so a copy's id never equals one in use.
LONG NextControlId() {
  static std::atomic<LONG> last{0x40000001 - 2};
  LONG id = last.load();
  LONG next = 0;
  do {
    next = id >= 0x7FFFFFFD ? 0x40000001 : id + 2;
  } while (!last.compare_exchange_weak(id, next));
  return next;
}

CVariableContext* VariablesOf(CIconObject* obj) {
  ITaskServices* services = TaskServicesOf(obj);
  return services ? &services->Variables() : nullptr;
}

// The rectangle, or the page's default for an empty one.
CRect PlacementOf(const CRect* rect) {
  return rect && !rect->IsRectEmpty() ? *rect : CActiveXAction::kDefaultRect;
}

}  // namespace

CActiveXAction::CActiveXAction()
    : CDisplayAction(ActionKind::kActiveX), m_nControlId(NextControlId()), m_pBag(new CControlPropertyBag) {}

CActiveXAction::CActiveXAction(const CActiveXAction& other)
    : CDisplayAction(other),
      m_strSourceName(other.m_strSourceName),
      m_strClassId(other.m_strClassId),
      m_strThird(other.m_strThird),
      m_nControlId(NextControlId()),
      m_state(other.m_state),
      m_bUseAnother(other.m_bUseAnother),
      m_dwStatus(other.m_dwStatus),
      m_bStatusKnown(other.m_bStatusKnown),
      m_pBag(new CControlPropertyBag(*other.m_pBag)) {
  m_settings.CopyFrom(other.m_settings);
}

CActiveXAction::~CActiveXAction() { Unload(); }

void CActiveXAction::Serialize(CArchive& ar) {
  // Asked first: the display and common parts read class references of their own.
  UINT schema = ar.GetObjectSchema();
  if (schema == 0xFFFFFFFFu) schema = kCurrentSchema;
  CDisplayAction::Serialize(ar);
  m_strSourceName = ar.ReadString();
  m_strClassId = ar.ReadString();
  m_strThird = ar.ReadString();
  m_nControlId = ar.ReadLong();
  m_bUseAnother = ar.ReadLong();
  m_settings.m_records.clear();
  ar.ReadOwnedList(m_settings.m_records);
  ar.ReadByteArray(m_state);
  if (schema >= 3) m_pBag->Serialize(ar);
}

void CActiveXAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CActiveXAction*>(source); other && other != this) {
    m_strSourceName = other->m_strSourceName;
    m_strClassId = other->m_strClassId;
    m_strThird = other->m_strThird;
    m_bUseAnother = other->m_bUseAnother;
    m_dwStatus = other->m_dwStatus;
    m_bStatusKnown = other->m_bStatusKnown;
    m_state = other->m_state;
    m_settings.CopyFrom(other->m_settings);
    m_nControlId = NextControlId();
    m_pBag.reset(new CControlPropertyBag(*other->m_pBag));
  }
  CDisplayAction::CopyFrom(source, keepIdentity);
}

void CActiveXAction::LearnStatus(const CNativeControlRegistry* registry) {
  if (m_bStatusKnown || !registry) return;
  const auto classId = CLSIDFromString(m_strClassId.str());
  m_dwStatus = classId ? registry->GetMiscStatus(*classId) : 0;
  m_bStatusKnown = true;
}

BOOL CActiveXAction::Execute() {
  COffScreenView* view = PageViewOf(this);
  CVariableContext* variables = VariablesOf(this);
  if (m_bUseAnother) {
    CDrawObj* obj = view ? view->FindObjectByName(m_strSourceName) : nullptr;
    if (auto* owner = obj ? dynamic_cast<CActiveXAction*>(obj->GetOwner()) : nullptr)
      m_settings.InvokeAll(owner->m_pWnd.get(), variables);
    return TRUE;
  }
  ITaskServices* services = TaskServicesOf(this);
  const CNativeControlRegistry* registry = services ? services->GetControlRegistry() : nullptr;
  LearnStatus(registry);
  if (!m_pWnd) m_pWnd = std::make_unique<CActiveXWnd>();
  if (!m_pWnd->GetSafeHwnd()) {
    CControlCreation creation{m_strClassId, GetBounds(), view, static_cast<UINT>(m_nControlId), m_state.items()};
    if (!m_pWnd->LoadState(creation, registry)) {
      m_pWnd.reset();
      return FALSE;
    }
  }
  Display().NoteShownOn(this);
  if (view) view->AddObject(this, 0);
  m_settings.InvokeAll(m_pWnd.get(), variables);
  return TRUE;
}

void CActiveXAction::PlaceWindow(const CRect* rect, UINT showFlag) {
  m_pWnd->Place(PlacementOf(rect), showFlag);
}

void CActiveXAction::SizeObject(const CRect& rect) {
  if (m_bUseAnother || !m_pWnd || !m_pWnd->GetSafeHwnd()) return;
  PlaceWindow(&rect, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
}

void CActiveXAction::Draw(CDC*, int, const CRect* rect) {
  // Helper threads compose pages too; the control is reached from its own thread only.
  if (m_bUseAnother || !m_pWnd || !m_pWnd->GetSafeHwnd() || !CActiveXWnd::IsWindowThread()) return;
  if (INativeControl* control = m_pWnd->GetControl()) control->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE);
  // The control paints its own window; nothing goes into the page.
  PlaceWindow(rect, (m_dwStatus & OLEMISC_INVISIBLEATRUNTIME) ? SWP_HIDEWINDOW : SWP_SHOWWINDOW);
}

void CActiveXAction::Unload() {
  if (!m_pWnd) return;
  if (m_pWnd->GetSafeHwnd()) m_pWnd->DestroyWindow();
  m_pWnd.reset();
}

BOOL CActiveXAction::Refresh() {
  if (!m_pPreview || !m_pPreview->GetSafeHwnd()) return FALSE;
  m_pPreview->RedrawWindow(nullptr, RDW_INVALIDATE);
  return TRUE;
}

CActiveXAction* FindActiveXAction(const CTaskList& tasks, const std::function<bool(CActiveXAction&)>& fn) {
  auto search = [&](CIconManager* list) -> CActiveXAction* {
    if (!list) return nullptr;
    for (int i = 0; i < list->GetCount(); ++i) {
      CIconObject* obj = list->GetChild(i);
      if (auto* action = dynamic_cast<CActiveXAction*>(obj); action && fn(*action)) return action;
      // One level down: the action lists of the list's objects.
      if (CIconManager* sub = obj ? obj->GetSubManager() : nullptr)
        for (int j = 0; j < sub->GetCount(); ++j)
          if (auto* action = dynamic_cast<CActiveXAction*>(sub->GetChild(j)); action && fn(*action)) return action;
    }
    return nullptr;
  };
  for (int t = 0; t < tasks.GetCount(); ++t) {
    CTask* task = tasks.GetAt(t);
    if (!task) continue;
    for (CIconManager* list : {task->GetActions(), task->GetEvents(), task->GetResponses()})
      if (CActiveXAction* found = search(list)) return found;
  }
  return nullptr;
}
