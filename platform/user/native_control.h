// Hosted controls: class ids, the native control a class id creates, its events, and the registry that stands for control creation.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/dispatch.h"
#include "platform/base/geometry.h"

class CDC;
class CWnd;

// A 128-bit class identifier.
struct CLSID {
  DWORD Data1 = 0;
  WORD Data2 = 0;
  WORD Data3 = 0;
  std::array<BYTE, 8> Data4{};
  auto operator<=>(const CLSID&) const = default;
};
using IID = CLSID;

// The registry text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", braces
// required, hexadecimal digits in either case; anything else is refused.
std::optional<CLSID> CLSIDFromString(std::string_view text);
CString StringFromCLSID(const CLSID& id);

// The status bit of a control that is invisible while the course runs.
constexpr DWORD OLEMISC_INVISIBLEATRUNTIME = 0x400;

// One event a control fires: its dispatch id and its arguments in COM order.
using ControlEventSink = std::function<void(DISPID dispid, const std::vector<COleVariant>& args)>;

// A live control, as the registry's factory makes it.
class INativeControl {
 public:
  virtual ~INativeControl() = default;
  // The control's automation interface; null when it has none.
  virtual IDispatch* GetDispatch() = 0;
  // Its status bits for the content aspect.
  virtual DWORD GetMiscStatus() = 0;
  // Takes the persistent state the course saved for it; FALSE refuses it.
  virtual BOOL LoadState(const std::vector<BYTE>& state) = 0;
  // The state to save now.
  virtual std::vector<BYTE> SaveState() = 0;
  // Paints into the rectangle; FALSE when it has no view or cannot.
  virtual BOOL Draw(CDC* dc, const CRect& rect) = 0;
  // The host window moved, showed or hid.
  virtual void OnPlaced(const CRect& rect, BOOL visible) {}
  // An ambient property of the container changed.
  virtual void OnAmbientPropertyChange(DISPID dispid) {}
  // Where the control's events go while it is hosted (an empty sink: nowhere).
  virtual void Advise(ControlEventSink sink) = 0;
};

// The record the host window routes with an event (as CN_EVENT's extra):
// the window that sent it, the event's dispatch id and its arguments in COM
// order, the last declared argument first.
struct CControlEventRecord {
  CWnd* sender = nullptr;
  DISPID dispid = 0;
  DISPPARAMS params;
};

// Class id to native control. The runtime registers no control, so every
// class id names one that is not installed; tests register fakes.
class CNativeControlRegistry {
 public:
  using Factory = std::function<std::unique_ptr<INativeControl>()>;

  void Register(const CLSID& id, Factory factory) { m_factories[id] = std::move(factory); }
  bool IsInstalled(const CLSID& id) const { return m_factories.count(id) != 0; }
  // A new control of the class, or null when none is installed.
  std::unique_ptr<INativeControl> Create(const CLSID& id) const;
  // The status bits of the class, read from a control made for the purpose; 0 when none is installed.
  DWORD GetMiscStatus(const CLSID& id) const;

 private:
  std::map<CLSID, Factory> m_factories;
};
