// CCmdTarget: an object that commands (menu ids, control events) are routed
// through. Each target first tries its own handlers (HandleCommand), then the
// targets it routes to (OnCmdMsg).
#pragma once

#include "platform/base/object.h"
#include "platform/base/win_types.h"

// Codes of routed commands: a menu or control command, and an event of a
// hosted control (extra then points to the event).
constexpr int CN_COMMAND = 0;
constexpr int CN_EVENT = -2;

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)

 public:
  // Routes the command; TRUE when some target handled it.
  virtual BOOL OnCmdMsg(UINT id, int code, void* extra) { return HandleCommand(id, code, extra); }

 protected:
  // This target's own handlers (the class's command map): TRUE when handled.
  virtual BOOL HandleCommand(UINT id, int code, void* extra) { return FALSE; }
};

// Classes that the framework creates by name (frames, views, documents) but
// that are never stored in an archive.
#define DECLARE_DYNCREATE(cls) \
  DECLARE_DYNAMIC(cls)         \
  static CObject* CreateObject() { return new cls; }

#define IMPLEMENT_DYNCREATE(cls, base)                                                  \
  const CRuntimeClass cls::class##cls = {#cls, 0xFFFFu, &cls::CreateObject, RUNTIME_CLASS(base)}; \
  static const CClassRegistrar registrar_##cls(RUNTIME_CLASS(cls));
