#include "behaviour/menu_action.h"

#include "behaviour/display_part.h"
#include "behaviour/menu_bar.h"
#include "behaviour/presentation_window.h"
#include "model/archive.h"
#include "page/off_screen_view.h"
#include "platform/framework/frame_wnd.h"
#include "platform/user/menu.h"

IMPLEMENT_SERIAL(CMenuAction, CAction, VERSIONABLE_SCHEMA | 2)

void CMenuAction::Serialize(CArchive& ar) {
  m_items.Serialize(ar);
  CAction::Serialize(ar);
}

void CMenuAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CMenuAction*>(source)) m_items.Copy(other->m_items);
  CAction::CopyFrom(source, keepIdentity);
}

BOOL CMenuAction::Execute() {
  COffScreenView* view = PageViewOf(this);
  auto* window = view ? dynamic_cast<IPresentationWindow*>(view->GetParent()) : nullptr;
  if (!window) return TRUE;
  window->SetCourseMenu(nullptr);
  window->UserMenu().RemoveAll();
  if (m_items.HasItems()) {
    HMENU bar = ::CreateMenu();
    CMenuBar menu(bar);
    m_items.AppendToMenu(menu);
    window->SetCourseMenu(bar);
    window->UserMenu().Copy(m_items);
    window->SetHasUserMenu(m_items.AnyItemMatches());
  }
  window->Frame().DrawMenuBar();
  return TRUE;
}
