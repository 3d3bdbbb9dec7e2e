// Matching keys against a key description, and its stored form.
#include "behaviour/keyboard.h"

#include <algorithm>
#include <array>

#include "model/archive.h"
#include "model/task_services.h"

IMPLEMENT_SERIAL(CKeyboard, CObject, 2)

namespace {

// Virtual-key codes by switch index; 0 where a switch names no key.
constexpr std::array<UINT, 32> kSwitchKeyCodes = {
    0,   0,   0,                      // Ctrl, Shift, Alt
    13,  27,  9,   8,                 // Enter, Escape, Tab, Backspace
    46,  45,  33,  34,  36,  35,      // Delete, Insert, Page Up, Page Down, Home, End
    37,  39,  38,  40,                // Left, Right, Up, Down
    112, 113, 114, 115, 116, 117,     // F1 to F6
    118, 119, 120, 121, 122, 123,     // F7 to F12
    0,   0,   0,
};

}  // namespace

UINT CKeyboard::KeyCodeOfSwitch(int index) {
  if (index < 0 || index >= static_cast<int>(kSwitchKeyCodes.size())) return 0;
  return kSwitchKeyCodes[static_cast<std::size_t>(index)];
}

void CKeyboard::CopyFrom(const CKeyboard& other) {
  if (&other == this) return;
  m_dwKeyFlags = other.m_dwKeyFlags;
  m_switches = other.m_switches;
  m_strCharacters = other.m_strCharacters;
}

BOOL CKeyboard::ModifiersAgree(KeyModifiers held) const {
  if (m_switches.GetSize() < 3) return TRUE;
  // Alt decides alone when asked for; then Shift; Ctrl counts only when neither is.
  if (IsSwitchOn(kAlt)) return held.alt;
  if (held.alt) return FALSE;
  if (IsSwitchOn(kShift)) return held.shift;
  if (held.shift) return FALSE;
  return IsSwitchOn(kCtrl) ? held.ctrl : !held.ctrl;
}

BOOL CKeyboard::Match(UINT key, UINT, KeyModifiers held) const {
  if (m_dwKeyFlags & kAnyKey) return TRUE;
  // A character is one byte: a code above 255 must not match its low byte.
  if (key > 0 && key <= 0xFF && m_strCharacters.Find(static_cast<char>(key)) >= 0 && ModifiersAgree(held))
    return TRUE;
  int last = std::min(kLastSpecialKey, m_switches.GetSize() - 1);
  for (int i = kFirstSpecialKey; i <= last; ++i) {
    if (IsSwitchOn(i) && key == KeyCodeOfSwitch(i) && ModifiersAgree(held)) return TRUE;
  }
  return FALSE;
}

void CKeyboard::Serialize(CArchive& ar) {
  ar.ReadClass(RUNTIME_CLASS(CKeyboard));
  m_dwKeyFlags = ar.ReadDword();
  ar.ReadString(m_strCharacters);
  ar.ReadByteArray(m_switches);
}

KeyModifiers HeldModifiers(ITaskServices* services) {
  if (!services) return {};
  return KeyModifiers::FromKeyState([&](int virtualKey) { return services->GetKeyState(virtualKey); });
}

UINT KeypadDigitToCharacter(UINT key) { return key >= 96 && key <= 105 ? key - 48 : key; }
