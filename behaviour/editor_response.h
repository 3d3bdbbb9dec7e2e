// CEditorResponse: a typed-answer field on the page (a masked edit field)
// bound to a variable that takes the entered text when the task ends.
#pragma once

#include <memory>

#include "behaviour/form_field_response.h"
#include "behaviour/keyboard.h"
#include "behaviour/pic_edit.h"

namespace EditorOption {
constexpr DWORD kLeft = 0x1;
constexpr DWORD kCentre = 0x2;
constexpr DWORD kRight = 0x4;
constexpr DWORD kAlignment = 0x7;
constexpr DWORD kShowValue = 0x8;
constexpr DWORD kBorder = 0x10;
constexpr DWORD kVScroll = 0x20;
constexpr DWORD kReadOnly = 0x40;
constexpr DWORD kSelectOnFocus = 0x80;
constexpr DWORD kPassword = 0x200;
constexpr DWORD kUpperCase = 0x400;
constexpr DWORD kLowerCase = 0x800;
constexpr DWORD kMultiLine = 0x2000;
constexpr DWORD kAutoAdvance = 0x4000;
constexpr DWORD kHScroll = 0x8000;
constexpr DWORD kAutoHScroll = 0x10000;
constexpr DWORD kAutoVScroll = 0x20000;
constexpr DWORD kDefault = 0x11111;
}  // namespace EditorOption

// The field's control id on the presentation view.
constexpr UINT kEditorControlId = 923;

// On disk (schema 3): variable id, options, maximum length, the previous-
// and next-field keys, text and back colours, prompt (byte), mask, the font,
// then the display response. Objects of schema 1 and 2 scroll both ways.
class CEditorResponse : public CFormFieldResponse, public IPicEditOwner {
  DECLARE_SERIAL(CEditorResponse)

 public:
  CEditorResponse();
  // A copy owns no window.
  CEditorResponse(const CEditorResponse& other);
  ~CEditorResponse() override;

  // The field's window style for the options.
  static DWORD StyleOf(DWORD options);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 0x143; }
  // On the screen the field is shown and placed; on a printer a picture of it is drawn.
  void Draw(CDC* dc, int code, const CRect* rect) override;
  void Unload() override;
  CWnd* GetControlWnd() override { return m_pEdit.get(); }
  BOOL Activate() override;
  // Stores the entered text into the bound variable; 0 always.
  int ExecuteResponse(int* target) override;
  void UpdateFromControl() override { ExecuteResponse(nullptr); }

  BOOL SetBackColour(COLORREF colour);
  COLORREF GetBackColour() const override { return m_backColour; }
  COLORREF GetTextColour() const override { return m_textColour; }
  // Known elsewhere as IsTransparent: always 0.
  BOOL IsOpaque() override { return FALSE; }
  void SetAlignment(DWORD alignment) { m_dwOptions = (m_dwOptions & ~EditorOption::kAlignment) | (alignment & EditorOption::kAlignment); }
  // 0 for a one-line field; else 4 right, 2 centred, 1 left.
  int GetAlignment() const;
  CPicEdit* GetEdit() const { return m_pEdit.get(); }

  DWORD m_dwVariableId = 0;
  DWORD m_dwOptions = EditorOption::kDefault;
  DWORD m_dwMaxLength = 0;
  CKeyboard m_previousKey;
  CKeyboard m_nextKey;
  CString m_strMask;
  BYTE m_promptChar = '_';

 protected:
  // An open field takes the new font at once.
  void FontChanged() override;

 private:
  BOOL CreateField(COffScreenView& page, const CRect& pageRect);
  void PutInitialText();
  void DrawPicture(CDC* dc, const CRect& rect);

  std::unique_ptr<CPicEdit> m_pEdit;
};
