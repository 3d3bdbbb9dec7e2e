// Transitions on the page: the off-screen view's side of the effect engine.
#pragma once

#include <memory>

#include "platform/gdi/dc.h"
#include "page/effect_engine.h"
#include "page/effect_host.h"

class COffScreenView;

// Runs a transition from what the window shows to the back buffer over an
// area of the page. Transitions run on the user-interface thread, drawing
// straight into the window's surface; before each paced wait the window is
// asked to show the step, and the engine's one message per step lets it paint.
class CPageEffects final : private IEffectView, private IEffectPacer {
 public:
  explicit CPageEffects(COffScreenView& view) : m_view(view) {}
  CPageEffects(const CPageEffects&) = delete;
  CPageEffects& operator=(const CPageEffects&) = delete;

  // The program's services (event loop, messages, libraries); the view and
  // pacing are this object's own.
  void SetServices(const CEffectServices& services) { m_services = services; }
  const CEffectServices& Services() const { return m_services; }
  // Pacing of the steps; null for the real clock (tests script it).
  void SetPacer(IEffectPacer* pacer) { m_pacer = pacer ? pacer : &m_clock; }
  // Runs owner's transition over rect with source holding the new page.
  // FALSE when there is no window to show it in (nothing was drawn).
  BOOL Run(CIconObject* owner, CDC* source, const CRect& rect);

 private:
  // IEffectView
  CWnd* GetWindow() override;
  CSyncEvent& GetKillEvent() override;
  CDC* GetTargetDC() override;
  void ReleaseTargetDC(CDC* dc) override;
  CSize GetBackBufferSize() const override;
  CRect GetClientRect() const override;
  bool IsRunning() const override;
  bool IsDisplayItem(const IEffectDrawObject* object) const override;
  void InvalidateRect(const CRect& rect) override;
  void SetFocus() override;
  // IEffectPacer
  bool WaitForStop(CSyncEvent& kill, CSyncEvent& done, DWORD ms) override;
  DWORD Milliseconds() override { return m_pacer->Milliseconds(); }

  COffScreenView& m_view;
  CEffectServices m_services;
  CSystemEffectPacer m_clock;
  IEffectPacer* m_pacer = &m_clock;
  CDC m_target;
  CRect m_area;
};
