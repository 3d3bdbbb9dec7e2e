// The rich-text editor's commands: menu 257, fonts, colours, paragraphs, bullets, find and replace, import and save.
#include "controls/colour_menu.h"
#include "controls/rtf_editor_doc.h"
#include "controls/rtf_editor_view.h"
#include "model/message_service.h"
#include "model/string_table.h"

HMENU CRtfEditorView::LoadEditorMenu() {
  using namespace RtfEditorCommand;
  HMENU menu = CreateMenu();
  HMENU edit = CreatePopupMenu();
  AppendMenu(edit, MF_STRING, kCut, "Cu&t");
  AppendMenu(edit, MF_STRING, kCopy, "&Copy");
  AppendMenu(edit, MF_STRING, kPaste, "&Paste");
  AppendMenu(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(edit), "Edit");
  HMENU text = CreatePopupMenu();
  AppendMenu(text, MF_STRING, kUndo, "&Undo");
  AppendMenu(text, MF_SEPARATOR, 0, CString());
  AppendMenu(text, MF_STRING, kCut, "Cu&t");
  AppendMenu(text, MF_STRING, kCopy, "&Copy");
  AppendMenu(text, MF_STRING, kPaste, "&Paste");
  AppendMenu(text, MF_STRING, kDelete, "&Delete");
  AppendMenu(text, MF_SEPARATOR, 0, CString());
  AppendMenu(text, MF_STRING, kFont, "&Font...");
  AppendMenu(text, MF_STRING, kColourPopup, "C&olour");
  AppendMenu(text, MF_STRING, kBulletStyle, "&Bullet Style");
  AppendMenu(text, MF_STRING, kParagraph, "P&aragraph...");
  AppendMenu(text, MF_SEPARATOR, 0, CString());
  AppendMenu(text, MF_STRING, kImport, "&Import...");
  AppendMenu(text, MF_STRING, kSaveAs, "&Save As..");
  AppendMenu(text, MF_SEPARATOR, 0, CString());
  AppendMenu(text, MF_STRING, kFind, "F&ind...");
  AppendMenu(text, MF_STRING, kReplace, "&Replace...");
  AppendMenu(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(text), "Text");
  return menu;
}

void CRtfEditorView::ShowContextMenu(CPoint screen) {
  if (m_popup == 0) return;
  CMenu menu;
  menu.Attach(LoadEditorMenu());
  HMENU popup = menu.GetSubMenu(m_popup);
  if (!popup) return;
  // The colour menu takes the place of the "Colour" item, under its text.
  for (int i = 0; i < GetMenuItemCount(popup); ++i) {
    if (GetMenuItemID(popup, i) != RtfEditorCommand::kColourPopup) continue;
    const CString caption = GetMenuString(popup, static_cast<UINT>(i), MF_BYPOSITION);
    MenuData::Item& item = popup->items[static_cast<std::size_t>(i)];
    item.flags = MF_POPUP;
    item.id = 0;
    item.text = caption;
    CColourMenu colours;
    item.popup.reset(colours.Detach());
    break;
  }
  const UINT command = Dialogs().TrackPopupMenu(popup, screen, this);
  if (command != 0) RunCommand(command);
}

BOOL CRtfEditorView::RunCommand(UINT id) {
  using namespace RtfEditorCommand;
  if (id >= kFirstColour && id < kCustomColour) {
    OnColour(id);
    return TRUE;
  }
  switch (id) {
    case kUndo: Undo(); return TRUE;
    case kCut: Cut(); return TRUE;
    case kCopy: Copy(); return TRUE;
    case kPaste: Paste(); return TRUE;
    case kDelete: Clear(); return TRUE;
    case kFont: OnFormatFont(); return TRUE;
    case kCustomColour: OnCustomColour(); return TRUE;
    case kBulletStyle: OnBulletStyle(); return TRUE;
    case kParagraph: OnParagraph(); return TRUE;
    case kImport: OnImport(); return TRUE;
    case kSaveAs: OnSaveAs(); return TRUE;
    case kFind: OnFind(FALSE); return TRUE;
    case kReplace: OnFind(TRUE); return TRUE;
    case kIgnored1: case kIgnored2: return TRUE;
    default: return FALSE;
  }
}

void CRtfEditorView::OnFormatFont() {
  CHARFORMAT format;
  GetSelectionCharFormat(format);
  if (Dialogs().ChooseFont(this, format)) SetSelectionCharFormat(format);
}

void CRtfEditorView::OnColour(UINT id) {
  CHARFORMAT format;
  format.dwMask = CFM_COLOR;
  format.dwEffects = 0;
  format.crTextColor = ColourFromId(id);
  SetSelectionCharFormat(format);
}

void CRtfEditorView::OnCustomColour() {
  CHARFORMAT current;
  GetSelectionCharFormat(current);
  COLORREF colour = current.crTextColor;
  if (!Dialogs().ChooseColour(this, colour)) return;
  CHARFORMAT format;
  format.dwMask = CFM_COLOR;
  format.dwEffects = 0;
  format.crTextColor = colour;
  SetSelectionCharFormat(format);
}

void CRtfEditorView::OnParagraph() {
  PARAFORMAT format;
  GetParaFormat(format);
  if (Dialogs().EditParagraph(this, format)) SetParaFormat(format);
}

void CRtfEditorView::OnBulletStyle() {
  PARAFORMAT current;
  GetParaFormat(current);
  // A selection that is all bullets loses them; any other gets them.
  const bool bullets = (current.dwMask & PFM_NUMBERING) && current.wNumbering == PFN_BULLET;
  PARAFORMAT change;
  change.dwMask = PFM_NUMBERING | PFM_OFFSET;
  change.wNumbering = bullets ? 0 : PFN_BULLET;
  change.dxOffset = bullets ? 0 : 360;
  SetParaFormat(change);
}

void CRtfEditorView::OnFind(BOOL replace) {
  FindRequest request = m_lastFind;
  request.replaceDialog = replace;
  if (request.findWhat.IsEmpty()) request.findWhat = GetSelText();
  for (;;) {
    Dialogs().AskFind(this, request);
    if (request.action == FindRequest::Action::cancel) break;
    m_lastFind = request;
    switch (request.action) {
      case FindRequest::Action::findNext: FindNext(request); break;
      case FindRequest::Action::replace: ReplaceNext(request); break;
      case FindRequest::Action::replaceAll: ReplaceAll(request); break;
      case FindRequest::Action::cancel: break;
    }
  }
}

BOOL CRtfEditorView::FindNext(const FindRequest& request) {
  long start = 0;
  long end = 0;
  GetSel(start, end);
  const Range found = FindText(request.findWhat, end, request.matchCase, request.wholeWord);
  if (found.start >= 0) {
    SetSel(found.start, found.end);
    return TRUE;
  }
  // The end of the text: said with a beep on either side.
  if (m_env.text.messages) {
    m_env.text.messages->MessageBoxBeep(StringId::kFinishedSearching, this, static_cast<int>(0xFFFFFFFF));
    m_env.text.messages->Beep(MB_ICONHAND);
  }
  return FALSE;
}

BOOL CRtfEditorView::ReplaceNext(const FindRequest& request) {
  if (IsReadOnly()) return FALSE;
  long start = 0;
  long end = 0;
  GetSel(start, end);
  const Range here = FindText(request.findWhat, start, request.matchCase, request.wholeWord);
  if (here.start == start && here.end == end) {
    ReplaceSel(request.replaceWith, TRUE);
  }
  return FindNext(request);
}

int CRtfEditorView::ReplaceAll(const FindRequest& request) {
  if (IsReadOnly() || request.findWhat.IsEmpty()) return 0;
  int count = 0;
  long from = 0;
  for (;;) {
    const Range found = FindText(request.findWhat, from, request.matchCase, request.wholeWord);
    if (found.start < 0) break;
    SetSel(found.start, found.end);
    ReplaceSel(request.replaceWith, TRUE);
    from = found.start + static_cast<long>(request.replaceWith.GetLength());
    ++count;
  }
  return count;
}

void CRtfEditorView::OnImport() {
  if (m_doc) m_doc->Import();
}

void CRtfEditorView::OnSaveAs() {
  if (m_doc) m_doc->DoSave(CString(), TRUE);
}
