// CWindowClasses: window classes registered by name, each with the factory
// that makes its window object; dialogs create their controls through it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/base/cstring.h"

class CWnd;

class CWindowClasses {
 public:
  using Factory = std::function<std::unique_ptr<CWnd>()>;

  // Starts with the standard control classes "Button", "Static", "Edit" and "ComboBox".
  CWindowClasses();

  // Registers (or replaces) a class; names are compared without case. FALSE
  // for an empty name or no factory.
  BOOL Register(const CString& name, Factory factory);
  BOOL IsRegistered(const CString& name) const;
  // A new window object of the class (not yet created), or null for a class
  // nobody registered.
  std::unique_ptr<CWnd> Make(const CString& name) const;

 private:
  static std::string Key(const CString& name);
  std::map<std::string, Factory> m_factories;
};
