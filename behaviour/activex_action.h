// CActiveXAction: puts a hosted control on the page, or applies its settings to another action's control.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "behaviour/display_action.h"
#include "controls/activex_wnd.h"
#include "controls/control_property_bag.h"
#include "controls/ctrl_records.h"
#include "platform/base/collections.h"

class CNativeControlRegistry;
class CTaskList;

// On disk (unlike the other display kinds, its own fields follow the
// display and common parts): the display action part, the source action
// name, the class id, a third text, the control id, the use-another flag,
// the settings as an object array of CCtrlPropMethod, the saved state as a
// byte array and, from schema 3, the property bag's pairs.
//
// The control comes from the program's control registry; one that is not
// installed makes Execute fail, which stops the task's action list.
class CActiveXAction : public CDisplayAction {
  DECLARE_SERIAL(CActiveXAction)

 public:
  // The page's rectangle for an action without one.
  static constexpr CRect kDefaultRect{0, 0, 640, 480};

  CActiveXAction();
  CActiveXAction(const CActiveXAction& other);
  ~CActiveXAction() override;

  void Serialize(CArchive& ar) override;
  // Texts, flags, status, state and settings; a control id of its own and a
  // new bag with the source's pairs; never the control window.
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 1; }
  void Draw(CDC* dc, int code, const CRect* rect) override;
  // Destroys the control window.
  void Unload() override;
  void SizeObject(const CRect& rect) override;
  BOOL Execute() override;
  CWnd* GetControlWnd() override { return m_pWnd.get(); }

  // The preview window attached to the action is invalidated; TRUE when there is one.
  BOOL Refresh();
  void SetPreviewWindow(CWnd* preview) { m_pPreview = preview; }

  CActiveXWnd* GetActiveXWnd() const { return m_pWnd.get(); }
  LONG GetControlId() const { return m_nControlId; }
  const CString& GetSourceName() const { return m_strSourceName; }
  const CString& GetClassId() const { return m_strClassId; }
  const CString& GetThirdText() const { return m_strThird; }
  BOOL UsesAnother() const { return m_bUseAnother != 0; }
  DWORD GetStatusBits() const { return m_dwStatus; }
  const CByteArray& GetSavedState() const { return m_state; }
  const CCtrlPropMethodArray& GetSettings() const { return m_settings; }
  const CControlPropertyBag& GetPropertyBag() const { return *m_pBag; }
  const CCtrlEventList& GetEvents() const { return m_events; }
  const CCtrlPropMethodList& GetProperties() const { return m_properties; }
  const CCtrlPropMethodList& GetMethods() const { return m_methods; }

 private:
  struct BagRelease {
    void operator()(CControlPropertyBag* bag) const {
      if (bag) bag->Release();
    }
  };

  // The status bits, from a control of the class made once for the purpose.
  void LearnStatus(const CNativeControlRegistry* registry);
  void PlaceWindow(const CRect* rect, UINT showFlag);

  std::unique_ptr<CActiveXWnd> m_pWnd;
  CString m_strSourceName;
  CString m_strClassId;
  CString m_strThird;  // kept, copied; not used at run time
  LONG m_nControlId;
  CByteArray m_state;  // the control's persistent state, kept as read
  LONG m_bUseAnother = 0;
  DWORD m_dwStatus = 0;
  bool m_bStatusKnown = false;
  CCtrlPropMethodArray m_settings;
  std::unique_ptr<CControlPropertyBag, BagRelease> m_pBag;
  // Built from the control's type information by the authoring side: not
  // in this action's stream, so they stay empty here.
  CCtrlEventList m_events;
  CCtrlPropMethodList m_properties;
  CCtrlPropMethodList m_methods;
  CWnd* m_pPreview = nullptr;  // not owned
};

// Calls fn on every ActiveX action of the course's tasks, in task order,
// in each of the task's lists and the lists of their objects, until fn
// answers true; gives the action it stopped at, or null.
CActiveXAction* FindActiveXAction(const CTaskList& tasks, const std::function<bool(CActiveXAction&)>& fn);
