// The keyboard event: matching keys, copying and stored form.
#include "behaviour/keyboard_event.h"

#include "model/archive.h"
#include "model/task.h"

IMPLEMENT_SERIAL(CKeyboardEvent, CEventTrigger, VERSIONABLE_SCHEMA | 2)

void CKeyboardEvent::Serialize(CArchive& ar) {
  m_keys.Serialize(ar);
  CEventTrigger::Serialize(ar);
}

void CKeyboardEvent::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* event = DynamicDowncast<CKeyboardEvent>(source)) m_keys.CopyFrom(event->m_keys);
  CEventTrigger::CopyFrom(source, keepIdentity);
}

BOOL CKeyboardEvent::OnKey(int key, int state) {
  if (!CIconObject::IsEnabled()) return FALSE;  // disabled objects never take input
  return m_keys.Match(KeypadDigitToCharacter(static_cast<UINT>(key)), static_cast<UINT>(state),
                      HeldModifiers(TaskServicesOf(this)));
}
