// CRtfEditorResponse: a rich-text editor on the page whose formatted text is
// bound to a string variable, or that shows a rich-text file read-only.
#pragma once

#include <memory>

#include "behaviour/form_field_response.h"
#include "controls/rtf_editor_view.h"

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

// Read-only mode takes at most this many characters of the variable as the file name.
constexpr int kRtfEditorFileNameLimit = 200;

// On disk (schema 2): variable id, flags, a reserved word, text and back
// colours, the font, then the display response. The response judges
// nothing itself: the task's other responses give the outcome, and when the
// task is done the editor's content goes into the variable as RTF.
class CRtfEditorResponse : public CFormFieldResponse {
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
  // Moves the editor to the rectangle.
  void Draw(CDC* dc, int code, const CRect* rect) override;
  // Destroys the editor window.
  void Unload() override;
  // Places the window over the page rectangle and shows it.
  void SizeObject(const CRect& rect) override;
  // Known elsewhere as IsTransparent: 0 when the editor is opaque.
  BOOL IsOpaque() override { return (m_dwFlags & RtfEditorFlag::kOpaque) ? FALSE : TRUE; }
  // SetFont leaves an open editor's format as it is until the next activation.
  CWnd* GetControlWnd() override { return m_pEditor.get(); }
  // Shows the editor (made on first use) and fills it; 1 always: the task waits.
  BOOL Activate() override;
  // Writes the editor's content back into the variable; 0 always (the next task).
  int ExecuteResponse(int* target) override;
  void UpdateFromControl() override { ExecuteResponse(nullptr); }

  // TRUE when the colour changed; an open editor takes it at once.
  BOOL SetBackColour(COLORREF colour);

  CRtfEditorView* GetEditor() const { return m_pEditor.get(); }

  DWORD m_dwVariableId = 0;
  DWORD m_dwFlags = RtfEditorFlag::kDefault;
  DWORD m_dwReserved = 0;  // stored and copied; nothing reads it

 protected:
  // A new, windowless editor owned by the response.
  virtual std::unique_ptr<CRtfEditorView> NewEditor() { return std::make_unique<CRtfEditorView>(this); }

 private:
  BOOL CreateEditor(COffScreenView& page, const CRect& pageRect);
  RtfEditorEnvironment EnvironmentOfTask();
  void FillFromVariable();
  // Shows the read-only file the name gives when it really opens; else FALSE.
  BOOL OpenReadOnlyFile(const CString& name);

  std::unique_ptr<CRtfEditorView> m_pEditor;
};
