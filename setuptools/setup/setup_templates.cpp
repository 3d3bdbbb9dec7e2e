// setup's dialog templates: captions, sizes and controls in dialog units.
#include "setuptools/setup/setup_templates.h"

#include "platform/user/edit_messages.h"
#include "platform/user/message_box_types.h"

namespace setup {
namespace {

constexpr UINT kNoId = 0xFFFF;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

DialogItemTemplate Item(const char* cls, const char* text, UINT id, DWORD style, int x, int y, int cx, int cy) {
  return DialogItemTemplate{CString(cls), CString(text), id, kChild | style, x, y, cx, cy};
}
DialogItemTemplate Text(const char* text, UINT id, DWORD style, int x, int y, int cx, int cy) {
  return Item("Static", text, id, style, x, y, cx, cy);
}
DialogItemTemplate Icon(UINT id, int x, int y) { return Item("Static", "100", id, SS_ICON, x, y, 21, 20); }
DialogItemTemplate Push(const char* text, UINT id, bool isDefault, int x, int y) {
  return Item("Button", text, id, (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP, x, y, 50, 14);
}
DialogItemTemplate Edit(UINT id, DWORD style, int x, int y, int cx, int cy) {
  return Item("Edit", "", id, style | WS_BORDER | WS_TABSTOP, x, y, cx, cy);
}

constexpr DWORD kCaptioned = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kUncaptioned = WS_POPUP | WS_BORDER | DS_MODALFRAME;

DialogTemplate Startup() {
  return {CString("Startup"), kCaptioned, 200, 93,
          {Icon(kIconId, 8, 8), Text("", 102, SS_NOPREFIX, 38, 8, 154, 34), Text("", 103, SS_LEFT, 38, 44, 154, 24),
           Push("&Continue", IDOK, true, 42, 72), Push("&Exit", IDCANCEL, false, 108, 72)}};
}

DialogTemplate Directory() {
  return {CString("Directory"), kCaptioned, 203, 111,
          {Icon(kIconId, 8, 8),
           Text("The Install program will copy files into the following directory:", kNoId, SS_LEFT, 38, 8, 157, 18),
           Text("&Path:", kNoId, SS_LEFT, 8, 38, 26, 10), Edit(kPathEditId, ES_AUTOHSCROLL, 38, 36, 157, 13),
           Text("Press Continue to confirm the destination path or enter a different location.", kNoId, SS_LEFT, 8, 58,
                187, 20),
           Push("&Continue", IDOK, true, 18, 88), Push("&Back", kBackId, false, 77, 88),
           Push("&Exit", IDCANCEL, false, 136, 88)}};
}

DialogTemplate Disk() {
  return {CString(), kCaptioned, 182, 76,
          {Icon(kIconId, 8, 8), Text("Install needs the following disk", kNoId, SS_LEFT, 38, 6, 136, 10),
           Text("", 102, SS_LEFT, 38, 18, 136, 16), Edit(kPathEditId, ES_AUTOHSCROLL, 38, 36, 136, 13),
           Push("&OK", IDOK, true, 38, 56), Push("&Cancel", IDCANCEL, false, 100, 56)}};
}

DialogTemplate CopyError() {
  return {CString("File Copy Error"), kCaptioned, 168, 68,
          {Text("", 102, SS_CENTER, 8, 8, 152, 30), Push("&Retry", 5, true, 6, 46), Push("&Ignore", 6, false, 59, 46),
           Push("&Exit", 4, false, 112, 46)}};
}

DialogTemplate Message() {
  return {CString("Message"), kCaptioned, 214, 61,
          {Push("OK", IDOK, true, 82, 40), Text("", kMessageTextId, SS_CENTER, 36, 8, 170, 26), Icon(kNoId, 8, 8)}};
}

DialogTemplate Options() {
  DialogTemplate t{CString(), kUncaptioned, 225, 154, {}};
  t.items.push_back(Icon(kIconId, 8, 8));
  t.items.push_back(Text("", 102, SS_NOPREFIX, 38, 8, 179, 24));
  t.items.push_back(Text("Space (KB)", kNoId, SS_RIGHT, 165, 36, 52, 10));
  static const char* const kSizes[] = {"1", "2", "3", "4", "5"};
  for (int i = 0; i < kMaxComponents; ++i) {
    const int y = 50 + i * 14;
    t.items.push_back(Item("Button", "", kFirstComponentBox + static_cast<UINT>(i), BS_AUTOCHECKBOX | WS_TABSTOP, 38, y,
                           124, 10));
    t.items.push_back(Text(kSizes[i], kFirstComponentSize + static_cast<UINT>(i), SS_RIGHT, 165, y, 52, 10));
  }
  t.items.push_back(Text("Total:", kNoId, SS_RIGHT, 110, 122, 50, 10));
  t.items.push_back(Text("0", kComponentTotal, SS_RIGHT, 165, 122, 52, 10));
  t.items.push_back(Push("&Continue", IDOK, true, 20, 136));
  t.items.push_back(Push("&Back", kBackId, false, 88, 136));
  t.items.push_back(Push("&Exit", IDCANCEL, false, 156, 136));
  return t;
}

DialogTemplate Terms() {
  return {CString(), kCaptioned, 269, 202,
          {Edit(kTermsEditId, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL, 8, 8, 253, 164),
           Push("&Accept", IDOK, true, 40, 180), Push("&Back", kBackId, false, 110, 180),
           Push("&Exit", IDCANCEL, false, 180, 180)}};
}

DialogTemplate Copying() {
  return {CString(), kUncaptioned, 277, 105,
          {Push("Cancel", IDCANCEL, false, 113, 84), Text("Install is copying:", 102, SS_LEFT, 8, 8, 70, 10),
           Item(kNoFlickerTextClass, "", kCopyingFileId, 0, 80, 8, 189, 10), Text("to:", 1005, SS_LEFT, 8, 22, 70, 10),
           Item(kNoFlickerTextClass, "", kCopyingTargetId, 0, 80, 22, 189, 10),
           Text("Press F3 to exit Install", kNoId, SS_LEFT, 8, 38, 180, 10),
           Text("", kNoId, SS_BLACKFRAME, 8, 56, 261, 18), Item(kProgressGaugeClass, "", kGaugeId, 0, 9, 57, 259, 16)}};
}

}  // namespace

DialogTemplate SetupTemplate(UINT id) {
  switch (id) {
    case kStartupTemplate: return Startup();
    case kDirectoryTemplate: return Directory();
    case kDiskTemplate: return Disk();
    case kCopyErrorTemplate: return CopyError();
    case kMessageTemplate: return Message();
    case kOptionsTemplate: return Options();
    case kTermsTemplate: return Terms();
    case kCopyingTemplate: return Copying();
    default: return DialogTemplate{CString(), WS_POPUP, 0, 0, {}};
  }
}

}  // namespace setup
