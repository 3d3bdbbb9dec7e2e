// CObject and run-time class records: kind-of tests and creation of objects by class name.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/base/win_types.h"

class CArchive;
class CObject;

// A schema registered with this bit accepts any stored schema and lets the
// class's reader ask which one it got; only the low 16 bits are stored.
constexpr UINT VERSIONABLE_SCHEMA = 0x80000000u;

struct CRuntimeClass {
  const char* m_lpszClassName;
  UINT m_wSchema;                      // the class's own schema, with VERSIONABLE_SCHEMA where it applies
  CObject* (*m_pfnCreateObject)();     // null for classes that cannot be created by name
  const CRuntimeClass* m_pBaseClass;

  bool IsDerivedFrom(const CRuntimeClass* base) const;
  bool IsVersionable() const { return (m_wSchema & VERSIONABLE_SCHEMA) != 0; }
  UINT GetSchema() const { return m_wSchema & 0xFFFFu; }
  std::unique_ptr<CObject> CreateObject() const;

  // The registered class of that exact (case-sensitive) name, or null.
  static const CRuntimeClass* FromName(std::string_view name);
  // Every class registered so far, in registration order.
  static std::vector<const CRuntimeClass*> AllRegistered();
  static void Register(const CRuntimeClass* cls);
};

class CObject {
 public:
  static const CRuntimeClass classCObject;
  static const CRuntimeClass* GetThisClass() { return &classCObject; }

  virtual ~CObject() = default;
  virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
  virtual void Serialize(CArchive&) {}
  bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

// Registers a class record with the name registry from a static initialiser.
struct CClassRegistrar {
  explicit CClassRegistrar(const CRuntimeClass* cls) { CRuntimeClass::Register(cls); }
};

#define RUNTIME_CLASS(cls) (&cls::class##cls)

// In a class body: the class record and its accessor (no creation by name).
#define DECLARE_DYNAMIC(cls)                  \
 public:                                      \
  static const CRuntimeClass class##cls;      \
  static const CRuntimeClass* GetThisClass() { return &class##cls; } \
  const CRuntimeClass* GetRuntimeClass() const override { return &class##cls; }

// In a class body: the class can be created by name while reading.
#define DECLARE_SERIAL(cls) \
  DECLARE_DYNAMIC(cls)      \
  static CObject* CreateObject() { return new cls; }

#define IMPLEMENT_DYNAMIC(cls, base) \
  const CRuntimeClass cls::class##cls = {#cls, 0xFFFFu, nullptr, RUNTIME_CLASS(base)};

// Defines the class record and registers its name; schema may carry VERSIONABLE_SCHEMA.
#define IMPLEMENT_SERIAL(cls, base, schema)                                           \
  const CRuntimeClass cls::class##cls = {#cls, (schema), &cls::CreateObject, RUNTIME_CLASS(base)}; \
  static const CClassRegistrar registrar_##cls(RUNTIME_CLASS(cls));

template <class T>
T* DynamicDowncast(CObject* obj) {
  return obj && obj->IsKindOf(T::GetThisClass()) ? static_cast<T*>(obj) : nullptr;
}
template <class T>
const T* DynamicDowncast(const CObject* obj) {
  return obj && obj->IsKindOf(T::GetThisClass()) ? static_cast<const T*>(obj) : nullptr;
}
