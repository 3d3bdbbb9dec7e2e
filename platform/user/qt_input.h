// Translation of Qt input into the Windows message world: virtual-key codes,
// key-message lParam bits, mouse messages and their MK_ flags, and the
// posting of mouse input as those messages.
#pragma once

#include <QEvent>
#include <QKeyEvent>
#include <QPointF>
#include <vector>

#include "platform/msg/window_messages.h"

class QMouseEvent;

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
// Posts a press, release, double click or move over the window as its mouse
// message, at a point of the window's client area (whole pixels, the
// fraction cut off). The held modifiers and buttons become the key state,
// which the message carries, and the point the cursor position; while a
// window holds the capture the message goes to it, in its coordinates.
void PostMouseMessage(HWND hwnd, const QMouseEvent& event, QPointF client);

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

// Posts what a Qt key event on the window turns into (TranslateKey) to the
// window with the keyboard focus, or to this window when none has it, after
// updating the key state of the key and of Shift, Ctrl and Alt. Nothing once
// the window is gone.
void PostKeyMessages(HWND hwnd, const QKeyEvent& event, bool press);
// Posts text an input method committed (a dead key's letter, a compose
// sequence, any input method's text) as the WM_CHAR messages the same
// characters typed on keys give, to the same window. No key message comes
// with them and the key state stays as it is.
void PostCommittedText(HWND hwnd, const QString& text);
