// CEffectThread: runs one transition, inline on the calling thread or on a thread of its own.
#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "platform/base/geometry.h"
#include "platform/base/sync_event.h"
#include "page/effect_data.h"
#include "page/effect_host.h"
#include "page/transitions.h"

class C3dEffectsLibrary;
class CDC;
class CIconObject;
class CMessageService;
class IEventLoop;

// What the program gives every transition.
struct CEffectServices {
  IEffectView* view = nullptr;
  // Null: the real clock.
  IEffectPacer* pacer = nullptr;
  // The user-interface thread's queue, looked at once per step of an inline
  // transition (Escape ends it, input to the view is dropped).
  IEventLoop* loop = nullptr;
  std::shared_ptr<C3dEffectsLibrary> library3d;
  CMessageService* messages = nullptr;
  // Media players and mask images; null skips the effects that need them.
  IEffectResources* resources = nullptr;
};

// One transition from what the window shows to the back buffer over an area
// of the page. Inline runs happen inside Start. A transition on its own
// thread is owned by whoever Start gave it to: destroying it stops the
// transition at its next step and joins the thread, so keep it until
// IsFinished while it should run to its end.
class CEffectThread final : private ITransitionSteps {
 public:
  // The effect is the draw object's owner's when the draw object has one,
  // else the owner's. Gives the running thread, or null when the effect ran
  // inline or no thread could be made (then nothing ran). Priorities are
  // not applied: helper threads run at the normal one.
  static std::unique_ptr<CEffectThread> Start(const CEffectServices& services, CIconObject* owner,
                                              IEffectDrawObject* drawObject, CDC* source, const CRect& rect,
                                              int priority = 0);

  CEffectThread(const CEffectServices& services, const CEffectData& effect, IEffectDrawObject* drawObject,
                CDC* source, const CRect& rect);
  ~CEffectThread() override;
  CEffectThread(const CEffectThread&) = delete;
  CEffectThread& operator=(const CEffectThread&) = delete;

  // Gets the window's context, runs the effect into it, releases it and sets
  // the done event. Category 0 does nothing. Result 1.
  int RunEffect();
  // The effect by category into the target context.
  void DoEffect(CDC* target);
  // Paces one step: false at once for a delay of 0; true when the kill or
  // done event is set within the delay; otherwise, on an inline run, true
  // for a queued Escape or when no course runs in the view any more, after
  // handling at most one message (input to the view is dropped).
  bool WaitStep(BYTE delay) override;
  bool WasKilled() const override { return m_stoppedByEvent; }

  bool IsFinished() const { return m_done.IsSet(); }
  // Waits for a thread of its own to run to its end.
  void Join();
  const CEffectData& Effect() const { return m_effect; }

 private:
  void RunOnThread();
  void PlayMedia(const TransitionInput& in);

  CEffectServices m_services;
  CSystemEffectPacer m_systemPacer;
  IEffectPacer* m_pacer;
  IEventLoop* m_loop;  // null on a thread of its own: it has no queue
  CSyncEvent m_done;
  CEffectData m_effect;
  IEffectDrawObject* m_drawObject;
  CDC* m_source;
  CRect m_rect;
  std::shared_ptr<C3dEffectsLibrary> m_library3d;  // one use of the library while this lives
  std::unique_ptr<IEffectMedia> m_media;           // category 9, made on first use
  bool m_onThread = false;
  bool m_stoppedByEvent = false;
  std::thread m_thread;
};
