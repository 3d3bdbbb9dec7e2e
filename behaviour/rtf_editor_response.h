// CRtfEditorResponse: a rich-text editor on the page whose formatted text is
// bound to a string variable, or that shows a rich-text file read-only.
#pragma once

#include <memory>

#include "behaviour/display_response.h"
#include "model/font_object.h"

class CRtfEditorView;

// Editor flag bits; the others are kept and stored unchanged.
namespace RtfEditorFlag {
constexpr DWORD kOpaque = 0x4;
constexpr DWORD kFillFromVariable = 0x8;
constexpr DWORD kBorder = 0x10;
constexpr DWORD kVScroll = 0x20;      // several lines, scrolling down as the text grows
constexpr DWORD kReadOnly = 0x40;     // the variable names a rich-text file; nothing is written back
constexpr DWORD kContextMenu = 0x80;  // the learner's formatting menu on the right button
constexpr DWORD kHScroll = 0x8000;
constexpr DWORD kDefault = 0x8110;
}  // namespace RtfEditorFlag

// Rich-edit window styles the edit control does not have.
namespace RtfEditorStyle {
constexpr DWORD kSaveSelection = 0x8000;     // ES_SAVESEL
constexpr DWORD kSelectionBar = 0x01000000;  // ES_SELECTIONBAR
}  // namespace RtfEditorStyle

// The editor's control id on the presentation view.
constexpr UINT kRtfEditorControlId = 923;
// Read-only mode takes at most this many characters of the variable as the file name.
constexpr int kRtfEditorFileNameLimit = 200;

// On disk (schema 2): variable id, flags, a reserved word, text and back
// colours, the font, then the display response. The response judges
// nothing itself: the task's other responses give the outcome, and when the
// task is done the editor's content goes into the variable as RTF.
class CRtfEditorResponse : public CDisplayResponse {
  DECLARE_SERIAL(CRtfEditorResponse)

 public:
  CRtfEditorResponse();
  // A copy owns no window.
  CRtfEditorResponse(const CRtfEditorResponse& other);
  ~CRtfEditorResponse() override;

  // The editor window's style for the flags.
  static DWORD StyleOf(DWORD flags);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 1; }
  // Known elsewhere as IsTransparent: 0 when the editor is opaque.
  BOOL IsOpaque() override { return (m_dwFlags & RtfEditorFlag::kOpaque) ? FALSE : TRUE; }
  // An open editor keeps its format until the next activation.
  BOOL SetFont(const LOGFONT& font, int size, COLORREF colour) override;
  CFontObject* GetFontObject() override { return &m_font; }
  const LOGFONT* GetFont(int* size, COLORREF* colour) override;

  COLORREF GetBackColour() const { return m_backColour; }
  COLORREF GetTextColour() const { return m_textColour; }

  DWORD m_dwVariableId = 0;
  DWORD m_dwFlags = RtfEditorFlag::kDefault;
  DWORD m_dwReserved = 0;  // stored and copied; nothing reads it
  COLORREF m_textColour;
  COLORREF m_backColour;
  CFontObject m_font;

};
