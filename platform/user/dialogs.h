// The modal dialogs behind the message service, the common file, font and
// colour dialogs and pop-up menus. The loop holds one implementation: Qt's
// in the program, a scripted one in tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/user/message_box_types.h"
#include "platform/user/richtext_types.h"
#include "platform/base/win_types.h"
#include "platform/msg/window_messages.h"

struct MenuData;

class CWnd;

// Open-file dialog flags.
constexpr DWORD OFN_READONLY = 0x1;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
constexpr DWORD OFN_HIDEREADONLY = 0x4;
constexpr DWORD OFN_NOCHANGEDIR = 0x8;
constexpr DWORD OFN_ALLOWMULTISELECT = 0x200;
constexpr DWORD OFN_PATHMUSTEXIST = 0x800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;

struct MessageBoxRequest {
  CWnd* owner = nullptr;
  CString text;
  CString caption;
  UINT type = MB_OK;
};

struct FileDialogRequest {
  CWnd* owner = nullptr;
  bool open = true;
  CString title;
  CString filter;  // "Name|*.a;*.b|Name|*.*|"
  CString defaultExtension;
  CString fileName;
  DWORD flags = 0;
  int filterIndex = 0;                 // the filter shown first (from 1; 0: the first)
  int* chosenFilterIndex = nullptr;    // receives the filter chosen (from 1) on OK
};

// Font dialog flags (CF_EFFECTS offers underline, strike-out and colour).
constexpr DWORD CF_SCREENFONTS = 0x1;
constexpr DWORD CF_PRINTERFONTS = 0x2;
constexpr DWORD CF_BOTH = CF_SCREENFONTS | CF_PRINTERFONTS;
constexpr DWORD CF_EFFECTS = 0x100;
constexpr DWORD CF_NOOEMFONTS = 0x800;

// The character format in, and out when OK is chosen: what the dialog shows
// and sets (face, size, bold, italic, underline, strike-out) with their mask
// bits; the rest (colour, offset, character set) comes back as it went in.
struct FontDialogRequest {
  CWnd* owner = nullptr;
  CHARFORMAT format;
  DWORD flags = CF_SCREENFONTS | CF_EFFECTS;
};

// Colour dialog flags.
constexpr DWORD CC_RGBINIT = 0x1;
constexpr DWORD CC_FULLOPEN = 0x2;

struct ColourDialogRequest {
  CWnd* owner = nullptr;
  COLORREF colour = 0;  // the colour shown first with CC_RGBINIT
  DWORD flags = 0;
};

// A pop-up menu tracked at a screen point.
struct PopupMenuRequest {
  HWND owner = nullptr;
  const MenuData* menu = nullptr;
  UINT flags = 0;
  CPoint point;
};

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // The button chosen (IDOK ...); closing the box counts as its cancel button.
  virtual int MessageBox(const MessageBoxRequest& request) = 0;
  // The chosen file as a host path in 8-bit text, or nothing when cancelled.
  virtual std::optional<CString> FileDialog(const FileDialogRequest& request) = 0;
  // The system sound for a message-box icon type (0xFFFFFFFF the simple beep).
  virtual void Beep(UINT type) = 0;
  // The chosen character format, or nothing when cancelled (also where no
  // dialog can be shown).
  virtual std::optional<CHARFORMAT> FontDialog(const FontDialogRequest& request) {
    (void)request;
    return std::nullopt;
  }
  // The chosen colour, or nothing when cancelled.
  virtual std::optional<COLORREF> ColourDialog(const ColourDialogRequest& request) {
    (void)request;
    return std::nullopt;
  }
  // The command id of the chosen item, 0 when the menu closed without one.
  virtual UINT TrackPopupMenu(const PopupMenuRequest& request) {
    (void)request;
    return 0;
  }
};

// The buttons a message-box style shows, in order, and the one that answers
// when the box is closed without choosing (the cancel or the only button).
struct MessageBoxButtons {
  int buttons[3] = {0, 0, 0};
  int count = 0;
  int escapeResult = IDOK;
};
MessageBoxButtons ButtonsOfStyle(UINT type);

// A Windows filter text ("Text|*.tvn;*.mcl|All|*.*|") as Qt name filters
// ("Text (*.tvn *.mcl)", "All (*.*)"), as UTF-8. A missing pattern after the
// last name is dropped.
std::vector<std::string> QtNameFilters(const CString& windowsFilter);
