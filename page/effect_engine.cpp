// CEffectThread: starting, running and pacing a transition.
#include "page/effect_engine.h"

#include <system_error>

#include "model/icon_object.h"
#include "model/message_pump.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "page/effect_libraries.h"

namespace {

// How often a playing medium is looked at.
constexpr BYTE kMediaPollMs = 20;

}  // namespace

std::unique_ptr<CEffectThread> CEffectThread::Start(const CEffectServices& services, CIconObject* owner,
                                                    IEffectDrawObject* drawObject, CDC* source, const CRect& rect,
                                                    int /*priority*/) {
  const CEffectData* effect = drawObject ? drawObject->GetOwnerEffect() : nullptr;
  if (!effect && owner) effect = owner->GetEffectData();
  const CEffectData none;
  auto thread = std::make_unique<CEffectThread>(services, effect ? *effect : none, drawObject, source, rect);
  if (thread->m_effect.RunsInline()) {
    thread->RunEffect();
    return nullptr;
  }
  thread->m_onThread = true;
  thread->m_loop = nullptr;
  try {
    thread->m_thread = std::thread([t = thread.get()] { t->RunOnThread(); });
  } catch (const std::system_error&) {
    return nullptr;
  }
  return thread;
}

CEffectThread::CEffectThread(const CEffectServices& services, const CEffectData& effect,
                             IEffectDrawObject* drawObject, CDC* source, const CRect& rect)
    : m_services(services),
      m_pacer(services.pacer ? services.pacer : &m_systemPacer),
      m_loop(services.loop),
      m_effect(effect),
      m_drawObject(drawObject),
      m_source(source),
      m_rect(rect),
      m_library3d(services.library3d) {}

CEffectThread::~CEffectThread() {
  if (m_thread.joinable()) {
    m_done.Set();
    m_thread.join();
  }
  m_media.reset();
}

void CEffectThread::Join() {
  if (m_thread.joinable()) m_thread.join();
}

void CEffectThread::RunOnThread() {
  RunEffect();
  if (m_effect.GetCategory() == 7 && m_library3d) m_library3d->Reset3dEffect();
}

int CEffectThread::RunEffect() {
  if (m_effect.GetCategory() == 0 || !m_services.view) {
    m_done.Set();
    return 1;
  }
  CDC* target = m_services.view->GetTargetDC();
  if (target) {
    DoEffect(target);
    m_services.view->ReleaseTargetDC(target);
  }
  m_done.Set();
  return 1;
}

void CEffectThread::DoEffect(CDC* target) {
  IEffectView* view = m_services.view;
  TransitionInput in;
  in.target = target;
  in.source = m_source;
  in.area = m_rect;
  in.block = m_effect.GetBlockSize();
  in.delay = m_effect.GetStepDelay();
  in.steps = this;
  in.drawObject = m_drawObject;
  in.view = view;
  in.backBuffer = view->GetBackBufferSize();
  in.checkDisplayed = m_onThread;
  in.seed = m_pacer->Milliseconds();

  const int variant = m_effect.GetVariant();
  // The pixel routines work inside the page the back buffer holds; an area
  // reaching beyond it (a course can store any rectangle) is cut to it first.
  if (m_effect.GetCategory() <= 5 &&
      !in.area.IntersectRect(m_rect, CRect(0, 0, in.backBuffer.cx, in.backBuffer.cy)))
    return;
  bool completed = true;
  switch (m_effect.GetCategory()) {
    case 1: completed = transitions::BlockWipe(in, variant); break;
    case 2: completed = transitions::Blend(in, variant); break;
    case 3: {
      CBitmap mask;
      if (!m_services.resources || !m_services.resources->LoadMask(m_effect.GetParameter(), mask)) return;
      completed = transitions::MaskReveal(in, mask);
      break;
    }
    case 4: completed = transitions::Push(in, variant); break;
    case 5: completed = transitions::Zoom(in, variant); break;
    case 6: completed = transitions::Slide(in, variant); break;
    case 7:
      // Without the library the area keeps its old look until the next repaint.
      if (m_library3d && m_library3d->Bind())
        m_library3d->Do3dEffect(view->GetWindow(), target, m_source, &m_rect, &m_effect);
      return;
    case 8:
      RunCourseEffectLibrary(m_effect.GetParameter(), m_services.messages, view->GetWindow(), target, m_source,
                             &m_rect);
      return;
    case 9: PlayMedia(in); return;
    default: return;
  }
  // Stopped by Escape or the end of the course: the page is still wanted, so
  // it is shown whole. Stopped by the kill event: the page is going away.
  if (!completed && !m_stoppedByEvent && m_effect.GetCategory() <= 5) transitions::CopyAll(in);
}

void CEffectThread::PlayMedia(const TransitionInput& in) {
  if (m_effect.GetParameter().IsEmpty() || !m_services.resources) return;
  if (!m_media) m_media = m_services.resources->CreateMedia();
  if (!m_media) return;
  IEffectView* view = m_services.view;
  const CRect area = (m_effect.GetFlags() & CEffectData::kWholeClientArea) ? view->GetClientRect() : in.area;
  if (!m_media->Open(area, m_effect.GetParameter(), view->GetWindow())) return;
  m_media->Show();
  m_media->Play();
  if (view->IsRunning()) {
    view->InvalidateRect(area);
    view->SetFocus();
  }
  // The player goes with this object, which an inline run deletes at once:
  // keep the medium until it ends, the page goes away or Escape is pressed.
  while (!m_media->IsFinished()) {
    if (WaitStep(kMediaPollMs)) {
      m_media->Stop();
      break;
    }
  }
}

bool CEffectThread::WaitStep(BYTE delay) {
  if (delay == 0) return false;
  IEffectView* view = m_services.view;
  if (m_pacer->WaitForStop(view->GetKillEvent(), m_done, delay)) {
    m_stoppedByEvent = true;
    return true;
  }
  if (!m_loop) return false;
  // One message per step: Escape ends the transition, input to the view is
  // dropped, anything else is handled. A course that has ended stops it too.
  const bool ended = !view->IsRunning();
  return PumpMessages(*m_loop, FALSE, TRUE) || ended;
}
