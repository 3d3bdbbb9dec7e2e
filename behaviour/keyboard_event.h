// CKeyboardEvent: an event that fires on a key.
#pragma once

#include "behaviour/event_trigger.h"
#include "behaviour/keyboard.h"

class CKeyboardEvent : public CEventTrigger {
  DECLARE_SERIAL(CKeyboardEvent)

 public:
  CKeyboardEvent() : CEventTrigger(EventKind::kKeyboard) {}
  CKeyboardEvent(const CKeyboardEvent& other) : CEventTrigger(other), m_keys(other.m_keys) {}

  CKeyboard& GetKeyboard() { return m_keys; }
  const CKeyboard& GetKeyboard() const { return m_keys; }

  // The key description inline, then the trigger part.
  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 65; }
  // Accepts when the description matches the key with the modifiers held now.
  BOOL OnKey(int key, int state) override;

 private:
  CKeyboard m_keys;
};
