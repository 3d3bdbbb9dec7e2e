// CActiveXResponse: waits for one event of a hosted control and keeps its arguments in variables.
#pragma once

#include <vector>

#include "behaviour/response.h"
#include "controls/ctrl_records.h"

class CActiveXAction;
class CWnd;

// On disk: the control's action name, the event reference, the event name,
// a 32-bit count of variable ids and the ids, the control window word, the
// event record inline, then the response base.
class CActiveXResponse : public CResponse {
  DECLARE_SERIAL(CActiveXResponse)

 public:
  CActiveXResponse() : CResponse(ResponseKind::kActiveX) {}
  CActiveXResponse(const CActiveXResponse& other);

  void Serialize(CArchive& ar) override;
  // The control name is kept with keepIdentity; the rest is always copied.
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 1; }
  CIconManager* GetSubManager() override { return OwnActionList(); }
  // Finds the hosting action (the page first, then the course's tasks) and
  // takes its control window; without one the response never matches.
  BOOL Activate() override;
  // The event (a CControlEventRecord) of the hosting window with the awaited
  // dispatch id: its arguments go into the variables, and it is taken.
  BOOL OnControlEvent(LONG controlId, void* eventRecord) override;

  const CString& GetControlName() const { return m_strControlName; }
  const CCtrlEvent& GetEvent() const { return m_event; }
  const std::vector<UINT>& GetParameterVariables() const { return m_parameterVariables; }
  DWORD GetEventRef() const { return m_dwEventRef; }
  const CString& GetEventName() const { return m_strEventName; }
  CWnd* GetControlWindow() const { return m_pControlWnd; }

 private:
  DWORD m_dwEventRef = 0;  // kept; not read at run time
  CString m_strControlName;
  DWORD m_dwStoredWnd = 0;  // the authoring side's window word, kept as read
  CWnd* m_pControlWnd = nullptr;              // compared with senders, never used
  CActiveXAction* m_pControlAction = nullptr;  // not owned
  CCtrlEvent m_event;
  CString m_strEventName;  // kept; not read at run time
  std::vector<UINT> m_parameterVariables;  // per event argument, the variable receiving it (0: none)
};
