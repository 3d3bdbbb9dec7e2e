// CKeyboard: which keys a keyboard event or response reacts to, with the Ctrl, Shift and Alt states it asks for.
#pragma once

#include "platform/base/collections.h"
#include "platform/base/cstring.h"
#include "platform/base/object.h"

class CArchive;
class ITaskServices;

// Whether Ctrl, Shift and Alt are down while a key arrives.
struct KeyModifiers {
  bool ctrl = false;
  bool shift = false;
  bool alt = false;

  // From a GetKeyState-style query by virtual-key code: a key counts as
  // down when the high byte of its 16-bit state is non-zero.
  template <class KeyStateQuery>
  static KeyModifiers FromKeyState(KeyStateQuery&& getKeyState) {
    auto down = [&](int virtualKey) { return (static_cast<unsigned>(getKeyState(virtualKey)) & 0xFF00u) != 0; };
    return {down(0x11), down(0x10), down(0x12)};  // VK_CONTROL, VK_SHIFT, VK_MENU
  }
};

// The modifiers held now, by the services' key-state query; none without services.
KeyModifiers HeldModifiers(ITaskServices* services);
// A numeric-keypad digit (virtual keys 96 to 105) as the digit character
// ('0' to '9'); every other key code unchanged.
UINT KeypadDigitToCharacter(UINT key);

// A key description: any key, a list of characters, or special keys by
// switch, each with the modifier states the switches 0 to 2 ask for. Key
// codes are Windows virtual-key codes: letters as their upper-case
// characters, digits (keypad ones too) as '0' to '9'. Held by value and
// stored inline (its class record, then its fields, no object tag).
class CKeyboard : public CObject {
  DECLARE_SERIAL(CKeyboard)

 public:
  static constexpr DWORD kAnyKey = 0x4;
  // Switch indexes: 0 to 2 the modifiers, 3 to 28 the special keys.
  enum Switch {
    kCtrl = 0,
    kShift = 1,
    kAlt = 2,
    kEnter = 3,
    kEscape = 4,
    kTab = 5,
    kBackspace = 6,
    kDelete = 7,
    kInsert = 8,
    kPageUp = 9,
    kPageDown = 10,
    kHome = 11,
    kEnd = 12,
    kLeft = 13,
    kRight = 14,
    kUp = 15,
    kDown = 16,
    kF1 = 17,
    kF12 = 28,
  };
  static constexpr int kFirstSpecialKey = kEnter;
  static constexpr int kLastSpecialKey = kF12;

  CKeyboard() = default;
  CKeyboard(const CKeyboard& other) : CObject(other) { CopyFrom(other); }
  CKeyboard& operator=(const CKeyboard& other) {
    CopyFrom(other);
    return *this;
  }

  void CopyFrom(const CKeyboard& other);

  // TRUE when the description accepts the key with the modifiers held;
  // keyData (the key message's repeat and scan data) is not looked at.
  BOOL Match(UINT key, UINT keyData, KeyModifiers held) const;
  // TRUE when the held modifiers are in the states the switches ask for.
  BOOL ModifiersAgree(KeyModifiers held) const;
  // The virtual-key code of a special-key switch; 0 for the modifiers and past the last.
  static UINT KeyCodeOfSwitch(int index);

  DWORD GetKeyFlags() const { return m_dwKeyFlags; }
  void SetKeyFlags(DWORD flags) { m_dwKeyFlags = flags; }
  const CString& GetCharacters() const { return m_strCharacters; }
  void SetCharacters(const CString& characters) { m_strCharacters = characters; }
  const CByteArray& GetSwitches() const { return m_switches; }
  CByteArray& GetSwitches() { return m_switches; }
  BOOL IsSwitchOn(int index) const { return m_switches.GetAt(index) != 0; }
  // Turns a switch on or off, growing the array to reach it.
  void SetSwitch(int index, BOOL on) { m_switches.SetAtGrow(index, on ? 1 : 0); }

  void Serialize(CArchive& ar) override;

 private:
  DWORD m_dwKeyFlags = kAnyKey;
  CString m_strCharacters;  // each byte a key code that matches
  CByteArray m_switches;    // non-zero = on; may be shorter or longer than the table
};
