// CPushButtonResponse: a button on the page, drawn bevelled or from state pictures, that fires on a click or its hot key.
#pragma once

#include <array>

#include "behaviour/display_response.h"
#include "media/image.h"
#include "media/image_environment.h"
#include "model/font_object.h"
#include "platform/user/cursor.h"

// Style bits.
namespace ButtonStyle {
constexpr DWORD kFrame = 0x10;          // one-pixel window-frame line just outside the button
constexpr DWORD kOwnCursor = 0x20000;   // a hover cursor of its own
constexpr DWORD kDefault = 0x12;
}  // namespace ButtonStyle

// Run-time state bits.
namespace ButtonState {
constexpr WORD kLeftWhileHeld = 0x4;
constexpr WORD kHeld = 0x8;
constexpr WORD kHover = 0x100;
constexpr WORD kImageMode = 0x200;
}  // namespace ButtonState

// Where the press-tracking loop gets its messages and shows the button. The
// view's message loop in the program; tests script it.
class IPressTrackingHost {
 public:
  virtual ~IPressTrackingHost() = default;
  // The next mouse position in page coordinates, with whether it is the
  // release. FALSE when tracking must end without a release (capture lost,
  // quit, the course stopped or the task changed).
  virtual BOOL NextMouse(CPoint& point, BOOL& released) = 0;
  // Recomposes and shows the rectangle at once.
  virtual void Repaint(const CRect& rect) = 0;
};

// On disk (schema 3): caption, hot key (byte), style, text, face, shadow and
// highlight colours, bevel width (byte), cursor file (read from schema 3
// only), four pictures, the caption font, then the display response.
class CPushButtonResponse : public CDisplayResponse {
  DECLARE_SERIAL(CPushButtonResponse)

 public:
  static constexpr int kImageCount = 4;
  static constexpr int kFaceImage = 0;
  static constexpr int kUpImage = 1;
  static constexpr int kDownImage = 2;
  static constexpr int kHoverImage = 3;

  CPushButtonResponse();
  CPushButtonResponse(const CPushButtonResponse& other);
  ~CPushButtonResponse() override;

  // A new button: 140 by 50, centred across the client area, its top 125 above the bottom.
  void PlaceNew(CSize client);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 340; }
  int GetStateValue() override { return static_cast<int>(m_dwStyle); }
  void Draw(CDC* dc, int code, const CRect* rect) override;
  BOOL GetRegion(int code, int x, int y, const CRect* rect) override;
  void Unload() override;
  int FreeResources(CDC* dc, int flag) override;
  // Known elsewhere as IsTransparent: a button fills its face.
  BOOL IsOpaque() override { return FALSE; }
  BOOL SetFont(const LOGFONT& font, int size, COLORREF colour) override;
  CFontObject* GetFontObject() override { return &m_font; }
  const LOGFONT* GetFont(int* size, COLORREF* colour) override {
    return GetFontAndColour(m_font, m_textColour, size, colour);
  }
  CIconManager* GetSubManager() override { return OwnActionList(); }
  BOOL Activate() override;
  BOOL OnMouseMove(UINT keyFlags, CPoint point, int source, const CRect* rect) override;
  BOOL OnMouseButton(UINT message, UINT keyFlags, CPoint point, int source, const CRect* rect) override;
  BOOL OnKey(int key, int state) override;
  BOOL CollectFiles(CStringArray* files, int flags) override;

  // The face colour; TRUE when it changed.
  BOOL SetBackColour(COLORREF colour);
  COLORREF GetBackColour() const { return m_faceColour; }

  // Follows the pointer while the button is held down: TRUE when it is
  // released over the button.
  BOOL TrackPress(IPressTrackingHost& host);
  // Which picture shows for the run-time state (image mode).
  int ShownImage() const;

  CString m_strCaption;
  CString m_strCursorFile;
  BYTE m_hotKey = 0;
  DWORD m_dwStyle = ButtonStyle::kDefault;
  COLORREF m_textColour = 0;
  COLORREF m_faceColour;
  COLORREF m_shadowColour;
  COLORREF m_highlightColour;
  BYTE m_bevel = 2;
  std::array<CImage, kImageCount> m_images;
  CFontObject m_font;
  WORD m_wState = 0;
  CString m_strShownCaption;
  HCURSOR m_cursor = nullptr;  // the hover cursor, from the application's list; not owned

 private:
  CRect Area(const CRect* rect);
  void DrawBevelled(CDC* dc, const CRect& area);
  void ShowNow(const CRect& area);

  ImageEnvironment m_env;
};
