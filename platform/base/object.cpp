// The registry of class records by name.
#include "platform/base/object.h"

#include <string_view>
#include <unordered_map>

namespace {

struct Registry {
  // Keyed by the records' own names: a record lives as long as the program.
  std::unordered_map<std::string_view, const CRuntimeClass*> byName;
  std::vector<const CRuntimeClass*> inOrder;
};

// Filled by static initialisers before main() and only read afterwards.
Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", 0xFFFFu, nullptr, nullptr};

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass) {
    if (c == base) return true;
  }
  return false;
}

std::unique_ptr<CObject> CRuntimeClass::CreateObject() const {
  if (!m_pfnCreateObject) return nullptr;
  return std::unique_ptr<CObject>(m_pfnCreateObject());
}

const CRuntimeClass* CRuntimeClass::FromName(std::string_view name) {
  const Registry& r = TheRegistry();
  auto it = r.byName.find(name);
  return it == r.byName.end() ? nullptr : it->second;
}

std::vector<const CRuntimeClass*> CRuntimeClass::AllRegistered() { return TheRegistry().inOrder; }

void CRuntimeClass::Register(const CRuntimeClass* cls) {
  Registry& r = TheRegistry();
  if (r.byName.emplace(cls->m_lpszClassName, cls).second) r.inOrder.push_back(cls);
}
