// Translation of Qt input into the Windows message world: virtual-key codes,
// key-message lParam bits, mouse messages and their MK_ flags.
#pragma once

#include <QEvent>
#include <QKeyEvent>
#include <vector>

#include "platform/msg/window_messages.h"

// The virtual key of a Qt key (0 when it has none). Keypad keys carry
// Qt::KeypadModifier: with Num Lock on their digits are VK_NUMPAD0..9.
UINT VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);
// Keys that Windows reports with the extended bit (the grey keys).
bool IsExtendedKey(int qtKey, Qt::KeyboardModifiers modifiers);

// MK_ flags for mouse messages from the buttons held and the modifiers.
WPARAM MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
// The mouse message for a press, release or double click of a button (0 for
// a button Windows does not know). Without double clicks in the window's class
// a double click is a second button down.
UINT MouseButtonMessage(QEvent::Type type, Qt::MouseButton button, bool classHasDoubleClicks);

struct KeyMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
// The messages a key press or release turns into, in order: the key message
// (WM_SYSKEY* for F10, the Alt key and keys held with Alt but not Ctrl) and,
// for a press that types a character, WM_CHAR or WM_SYSCHAR with its
// code-page-1252 byte. wasDown tells whether the key was down before.
std::vector<KeyMessage> TranslateKey(const QKeyEvent& event, bool press, bool wasDown);
