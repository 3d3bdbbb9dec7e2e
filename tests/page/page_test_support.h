// Course objects that paint a solid colour, and a waiter on a hand-driven clock, for the page tests.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "model/icon_object.h"
#include "platform/gdi/dc.h"
#include "page/animate_thread.h"
#include "page/page_settings.h"

namespace tvn::testing {

// Page settings with a fixed colour and a set of kept layers, for pages without a window action.
class CTestPageSettings final : public IPageSettings {
 public:
  explicit CTestPageSettings(COLORREF colour) : background(colour) {}
  void DrawBackground(CDC* dc, const CRect& clip) override { dc->FillSolidRect(clip, background); }
  BOOL IsLayerKept(BYTE layer) const override { return kept[layer]; }
  DWORD GetWindowFlags() const override { return 0; }
  CSize GetScrollMargins() const override { return CSize(40, 40); }
  COLORREF background;
  std::array<BOOL, 256> kept{};
};

// Installs the settings on the page and gives them back to be changed.
template <class Page>
CTestPageSettings& UseTestSettings(Page& page, COLORREF colour) {
  auto settings = std::make_unique<CTestPageSettings>(colour);
  CTestPageSettings& kept = *settings;
  page.SetPageSettings(std::move(settings));
  return kept;
}

// A display object: fills its rectangle with one colour, optionally animated.
class CColourOwner : public CIconObject {
 public:
  CColourOwner(const char* name, BYTE layer, CRect bounds, COLORREF colour)
      : m_bounds(bounds), m_layer(layer), m_colour(colour) {
    SetName(name);
  }
  void Draw(CDC* dc, int, const CRect* rect) override {
    ++draws;
    CRect r = *rect;
    r.NormalizeRect();
    dc->FillSolidRect(r, m_colour);
  }
  CRect GetBounds() override { return m_bounds; }
  CRect* GetRect(CRect* out) override {
    if (out) *out = m_bounds;
    return out;
  }
  BYTE GetLayer() override { return m_layer; }
  void Unload() override { ++unloads; }
  BOOL IsAnimated() override { return interval; }
  int Animate(const CRect&, BOOL clocked) override {
    ++steps;
    if (onStep) onStep();
    if (clocked) return steps.load() < stopAfter ? TRUE : FALSE;
    return repaintOnIdle;
  }
  int GetAnimState() override { return wantsMore; }
  BOOL OnMouseMove(UINT, CPoint, int source, const CRect*) override {
    ++moves;
    lastSource = source;
    return acceptMoves;
  }
  BOOL OnMouseButton(UINT, UINT, CPoint, int, const CRect*) override {
    ++buttons;
    return TRUE;
  }
  BOOL OnNotify(WPARAM, LPARAM) override {
    ++notifies;
    return notifyAnswer;
  }

  CRect m_bounds;
  BYTE m_layer;
  COLORREF m_colour;
  BOOL interval = 0;
  long stopAfter = 1L << 30;  // the clocked step that answers "finished"
  BOOL repaintOnIdle = FALSE;
  BOOL wantsMore = FALSE;
  BOOL acceptMoves = FALSE;
  BOOL notifyAnswer = FALSE;
  std::function<void()> onStep;
  std::atomic<long> steps{0};
  std::atomic<int> unloads{0};
  int draws = 0, moves = 0, buttons = 0, notifies = 0, lastSource = 0;
};

// Waits run on a clock that only the test moves; set events still end them.
class CSteppedWaiter final : public IAnimationWaiter {
 public:
  int Wait(std::span<CSyncEvent* const> events, DWORD timeoutMs) override {
    std::unique_lock lock(m_mutex);
    const DWORD deadline = m_now + timeoutMs;
    ++m_waiting;
    m_cv.notify_all();
    for (;;) {
      if (int i = CSyncEvent::WaitForAny(events, 0); i != CSyncEvent::kTimeout) {
        --m_waiting;
        return i;
      }
      if (m_now >= deadline) {
        --m_waiting;
        return CSyncEvent::kTimeout;
      }
      // Set events do not wake this wait: a short poll keeps it prompt.
      m_cv.wait_for(lock, std::chrono::milliseconds(1));
    }
  }
  void Advance(DWORD ms) {
    std::lock_guard lock(m_mutex);
    m_now += ms;
    m_cv.notify_all();
  }
  // TRUE once n threads sit in a wait (false after a generous bound).
  bool WaitUntilWaiting(int n) {
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::seconds(20), [&] { return m_waiting >= n; });
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  DWORD m_now = 0;
  int m_waiting = 0;
};

// Polls a condition another thread makes true, with a generous bound.
inline bool Eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 20000; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return condition();
}

}  // namespace tvn::testing
