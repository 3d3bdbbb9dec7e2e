// The page's transitions drawn into the window surface step by step.
#include "page/page_effects.h"

#include "model/icon_object.h"
#include "page/off_screen_view.h"

BOOL CPageEffects::Run(CIconObject* owner, CDC* source, const CRect& rect) {
  if (!m_view.GetSafeHwnd() || !m_view.GetSurface()) return FALSE;
  CEffectServices services = m_services;
  services.view = this;
  services.pacer = this;
  m_area = rect;
  // The engine runs inline transitions inside Start; those asking for a
  // thread of their own run here too, where the window's surface may be drawn.
  const CEffectData none;
  const CEffectData* effect = owner ? owner->GetEffectData() : nullptr;
  CEffectThread transition(services, effect ? *effect : none, nullptr, source, rect);
  transition.RunEffect();
  return TRUE;
}

CWnd* CPageEffects::GetWindow() { return &m_view; }

CSyncEvent& CPageEffects::GetKillEvent() { return *m_view.GetKillEvent(); }

CDC* CPageEffects::GetTargetDC() {
  m_target.AttachSurface(m_view.GetSurface());
  return m_target.GetSurfaceInfo().IsValid() ? &m_target : nullptr;
}

void CPageEffects::ReleaseTargetDC(CDC* dc) {
  if (dc != &m_target) return;
  m_target.DetachSurface();
  m_view.SurfaceChanged(&m_area);
}

CSize CPageEffects::GetBackBufferSize() const { return m_view.GetBufferSize(); }

CRect CPageEffects::GetClientRect() const {
  CRect client;
  m_view.GetClientRect(&client);
  return client;
}

bool CPageEffects::IsRunning() const { return m_view.IsRunning(); }

bool CPageEffects::IsDisplayItem(const IEffectDrawObject*) const { return true; }

void CPageEffects::InvalidateRect(const CRect& rect) { m_view.InvalidateRect(&rect); }

void CPageEffects::SetFocus() { m_view.SetFocus(); }

bool CPageEffects::WaitForStop(CSyncEvent& kill, CSyncEvent& done, DWORD ms) {
  m_view.SurfaceChanged(&m_area);  // show the step just drawn
  return m_pacer->WaitForStop(kill, done, ms);
}
