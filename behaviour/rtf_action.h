// CRtfAction: formatted text (RTF) on the page, from the course or a file, with a drop shadow and hypertext.
#pragma once

#include <memory>

#include "behaviour/display_action.h"
#include "controls/rtf_display.h"
#include "model/font_object.h"

// Rich-text flag bits.
namespace RtfFlag {
constexpr DWORD kShadow = 0x08;
constexpr DWORD kOpaque = 0x10;    // the background colour fills the rectangle
constexpr DWORD kLive = 0x20;      // the rich-text window itself shows on the page
constexpr DWORD kWrap = 0x40;      // lines wrap at the window's width
constexpr DWORD kFromFile = 0x80;  // the text comes from the file
}  // namespace RtfFlag

// The child id of the rich-text window on the view.
constexpr UINT kRtfWindowId = 923;
// The rich-text window's style.
constexpr DWORD kRtfWindowStyle = 0x443001C4;

// On disk (schema 2): flags, text colour, background colour, text, shadow
// offsets, shadow colour, a byte kept as it is, file name, font, the display
// part, the common part. The text and its shadow are kept laid out in two
// displays, so drawing the page reads no RTF.
class CRtfAction : public CDisplayAction {
  DECLARE_SERIAL(CRtfAction)

 public:
  static constexpr BYTE kDefaultLayer = 4;

  CRtfAction();
  CRtfAction(const CRtfAction& other);
  ~CRtfAction() override;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 330; }
  int GetStateValue() override { return static_cast<int>(m_flags); }
  void Draw(CDC* dc, int code, const CRect* rect) override;
  void Unload() override;
  void SizeObject(const CRect& rect) override;
  int GetTextStyle() override { return static_cast<int>(m_backColour); }
  BOOL IsOpaque() override { return (m_flags & RtfFlag::kOpaque) == 0; }
  BOOL SetFont(const LOGFONT& font, int size, COLORREF colour) override;
  CFontObject* GetFontObject() override { return &m_font; }
  const LOGFONT* GetFont(int* size, COLORREF* colour) override {
    return GetFontAndColour(m_font, m_textColour, size, colour);
  }
  BOOL Execute() override;
  BOOL OnMouseMove(UINT keyFlags, CPoint point, int source, const CRect* rect) override;
  BOOL OnMouseButton(UINT message, UINT keyFlags, CPoint point, int source, const CRect* rect) override;
  BOOL CollectFiles(CStringArray* files, int flags) override;

  DWORD GetFlags() const { return m_flags; }
  void SetFlags(DWORD flags) { m_flags = flags; }
  const CString& GetText() const { return m_strText; }
  void SetText(const CString& text) { m_strText = text; }
  void SetFileName(const CString& name) { m_strFileName = name; }
  void SetShadow(COLORREF colour, signed char dx, signed char dy) {
    m_shadowColour = colour;
    m_shadowX = dx;
    m_shadowY = dy;
  }
  COLORREF GetTextColour() const { return m_textColour; }
  BYTE GetByteValue() const { return m_byteValue; }
  const CString& GetShownText() const { return m_strShown; }
  const CString& GetShadowText() const { return m_strShadow; }
  CRtfDisplay& TextDisplay() { return *m_display; }
  CRtfDisplay& ShadowDisplay() { return *m_shadowDisplay; }
  // Where the last drawing put the text and its shadow.
  const CRect& TextArea() const { return m_textArea; }
  const CRect& ShadowArea() const { return m_shadowArea; }
  // The live window's place on the page, as SizeObject last made it.
  const CRect& WindowArea() const { return m_windowArea; }

 private:
  RichTextEnvironment EnvironmentOfTask();

  CString m_strText;
  CString m_strFileName;
  COLORREF m_textColour = 0x8000;
  COLORREF m_backColour;
  COLORREF m_shadowColour = 0;
  signed char m_shadowX = 3;
  signed char m_shadowY = 3;
  DWORD m_flags = RtfFlag::kWrap;
  BYTE m_byteValue = 10;  // stored and copied; nothing reads it
  CFontObject m_font;
  // Made when the action runs; never stored.
  CString m_strShown;
  CString m_strShadow;
  std::unique_ptr<CRtfDisplay> m_display;
  std::unique_ptr<CRtfDisplay> m_shadowDisplay;
  CRect m_textArea;
  CRect m_shadowArea;
  CRect m_windowArea;
};
