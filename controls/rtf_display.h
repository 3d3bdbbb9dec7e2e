// CRtfDisplay: the read-only rich-text display of the page, with hypertext links a click follows.
#pragma once

#include "controls/rich_text_view.h"
#include "platform/richedit/rich_edit_ctrl.h"

class CDC;
class CIconObject;

// The rich-edit library is part of the program: always present.
BOOL LoadRichEdit20();

// Hypertext is text in exactly the owner's hypertext font, size and colour,
// marked protected. Hidden (the action draws the text through PrintRect),
// the action hands mouse points relative to its rectangle; live, the window
// takes the mouse itself and passes on what is not hypertext to the view.
class CRtfDisplay : public CRichEditCtrl {
  DECLARE_DYNAMIC(CRtfDisplay)

 public:
  static constexpr int kDefaultLeftIndent = 5;

  // Pictures in the text are read by the system's picture readers, metafiles included.
  CRtfDisplay();
  explicit CRtfDisplay(RichTextEnvironment env);

  void SetEnvironment(const RichTextEnvironment& env) { m_env = env; }
  const RichTextEnvironment& Environment() const { return m_env; }

  BOOL Create(DWORD exStyle, DWORD style, const CRect& rect, CWnd* parent, UINT id);
  // Takes the owner's hypertext format (protected added, link bit removed);
  // an owner without a font leaves the display without hypertext.
  void SetOwner(CIconObject* owner);
  CIconObject* GetOwner() const { return m_owner; }
  const CHARFORMAT& GetHyperTextFormat() const { return m_hyperText; }

  BOOL StreamIn(const char* text, int length, int format);
  void StreamOut(CString& result, int format) const;
  // Fills the control from an RTF or text file (see the document types);
  // file errors go to the error variables, unreadable types to message 179.
  BOOL LoadFile(const CString& path);
  int GetDocType() const { return m_docType; }
  // Renders the content into a rectangle of the context (its device units).
  int PrintRect(CDC* dc, const CRect& rect);

  // Hidden display: a point relative to the text's rectangle.
  void OnMouseMove(UINT message, int x, int y);
  // TRUE when the click was on hypertext (and so taken).
  BOOL OnLButtonDown(UINT flags, int x, int y);

  BOOL IsHovering() const { return m_hover; }
  void ClearHover() { m_hover = FALSE; }
  int GetLeftIndent() const { return m_leftIndent; }
  void SetLeftIndent(int indent) { m_leftIndent = indent; }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  using CRichEditCtrl::OnLButtonDown;
  using CRichEditCtrl::OnMouseMove;

 private:
  BOOL Playing() const { return m_env.view && m_env.view->IsPlaying(); }
  // Whether one character is in the hypertext format.
  bool IsHyperText(long index);
  void Hover(CPoint layoutPoint);
  BOOL Click(CPoint layoutPoint);
  // A mouse message sent on to the view, its point in the view's coordinates.
  LRESULT Forward(UINT message, WPARAM wParam, LPARAM lParam);

  RichTextEnvironment m_env;
  BOOL m_hover = FALSE;
  CIconObject* m_owner = nullptr;  // not owned
  CHARFORMAT m_hyperText;
  int m_docType = -1;
  int m_leftIndent = kDefaultLeftIndent;
};
