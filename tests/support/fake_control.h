// A recording stand-in for a hosted control: its calls, states, placements and painting, and events fired on demand.
#pragma once

#include <memory>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/user/native_control.h"

namespace tvn::testing {

// What every control of one registration did; outlives the controls.
struct FakeControlLog {
  struct Call {
    DISPID dispid;
    WORD flags;
    DISPPARAMS params;
  };
  // Set before the control is made.
  DWORD status = 0;
  BOOL acceptsState = TRUE;
  BOOL paints = TRUE;
  COLORREF colour = 0x0000FF;
  HRESULT answer = S_OK;
  COleVariant result;
  // Filled by the controls.
  int created = 0;
  int alive = 0;
  std::vector<Call> calls;
  std::vector<std::vector<BYTE>> states;
  std::vector<std::pair<CRect, BOOL>> placements;
  std::vector<DISPID> ambientChanges;
  class FakeControl* live = nullptr;  // the last control made that still lives
};

class FakeControl final : public INativeControl, public IDispatch {
 public:
  explicit FakeControl(std::shared_ptr<FakeControlLog> log) : m_log(std::move(log)) {
    ++m_log->created;
    ++m_log->alive;
    m_log->live = this;
  }
  ~FakeControl() override {
    --m_log->alive;
    if (m_log->live == this) m_log->live = nullptr;
  }

  IDispatch* GetDispatch() override { return this; }
  DWORD GetMiscStatus() override { return m_log->status; }
  BOOL LoadState(const std::vector<BYTE>& state) override {
    m_log->states.push_back(state);
    return m_log->acceptsState;
  }
  std::vector<BYTE> SaveState() override { return m_log->states.empty() ? std::vector<BYTE>{} : m_log->states.back(); }
  BOOL Draw(CDC* dc, const CRect& rect) override {
    if (!m_log->paints) return FALSE;
    dc->FillSolidRect(rect, m_log->colour);
    return TRUE;
  }
  void OnPlaced(const CRect& rect, BOOL visible) override { m_log->placements.emplace_back(rect, visible); }
  void OnAmbientPropertyChange(DISPID dispid) override { m_log->ambientChanges.push_back(dispid); }
  void Advise(ControlEventSink sink) override { m_sink = std::move(sink); }
  HRESULT Invoke(DISPID dispid, WORD flags, const DISPPARAMS& args, COleVariant* result) override {
    m_log->calls.push_back({dispid, flags, args});
    if (result) *result = m_log->result;
    return m_log->answer;
  }

  // Fires an event with its arguments in COM order. The control may be gone
  // when this returns (the event can end its page): nothing of it is touched after.
  void Fire(DISPID dispid, const std::vector<COleVariant>& args) {
    ControlEventSink sink = m_sink;
    if (sink) sink(dispid, args);
  }

 private:
  std::shared_ptr<FakeControlLog> m_log;
  ControlEventSink m_sink;
};

// Registers the fake under the class id; gives the log its controls share.
inline std::shared_ptr<FakeControlLog> RegisterFakeControl(CNativeControlRegistry& registry, const char* classId) {
  auto log = std::make_shared<FakeControlLog>();
  registry.Register(*CLSIDFromString(classId), [log] { return std::make_unique<FakeControl>(log); });
  return log;
}

}  // namespace tvn::testing
