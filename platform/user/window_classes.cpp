// The window-class registry: names without case, each with its factory.
#include "platform/user/window_classes.h"

#include "platform/base/codepage.h"
#include "platform/user/button.h"
#include "platform/user/combo_box.h"
#include "platform/user/edit.h"

CWindowClasses::CWindowClasses() {
  Register("Button", [] { return std::make_unique<CButton>(); });
  Register("Static", [] { return std::make_unique<CStatic>(); });
  Register("Edit", [] { return std::make_unique<CEdit>(); });
  Register("ComboBox", [] { return std::make_unique<CComboBox>(); });
}

std::string CWindowClasses::Key(const CString& name) { return tvn::codepage::LowerAscii(name.view()); }

BOOL CWindowClasses::Register(const CString& name, Factory factory) {
  if (name.IsEmpty() || !factory) return FALSE;
  m_factories[Key(name)] = std::move(factory);
  return TRUE;
}

BOOL CWindowClasses::IsRegistered(const CString& name) const {
  return m_factories.count(Key(name)) ? TRUE : FALSE;
}

std::unique_ptr<CWnd> CWindowClasses::Make(const CString& name) const {
  auto it = m_factories.find(Key(name));
  return it == m_factories.end() ? nullptr : it->second();
}
