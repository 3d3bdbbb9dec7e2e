// CWindowAction: sizes, shows or hides the presentation frame and hands the page its background, scrolling and kept layers.
#pragma once

#include <memory>

#include "behaviour/display_action.h"
#include "media/image.h"
#include "media/image_environment.h"
#include "page/page_settings.h"
#include "platform/base/collections.h"
#include "platform/gdi/bitmap.h"

class COffScreenView;
class IPresentationWindow;

// Window flag bits (frame styles and page behaviour).
namespace WindowFlag {
constexpr DWORD kSizingBorder = 0x1;
constexpr DWORD kCaption = 0x2;
constexpr DWORD kOldColourFill = 0x10;  // read only when an old course is upgraded
constexpr DWORD kMaximiseBox = 0x40;
constexpr DWORD kMinimiseBox = 0x80;
constexpr DWORD kScrollBars = PageFlag::kScrollBars;
constexpr DWORD kBufferToWindow = 0x400;
constexpr DWORD kBufferToPage = 0x800;
constexpr DWORD kTopmost = 0x4000;
}  // namespace WindowFlag

// Mode bits: how the frame shows and the background is drawn.
namespace WindowMode {
constexpr DWORD kMaximised = 0x8;
constexpr DWORD kColour = 0x10;
constexpr DWORD kFrameStyles = 0x20;
constexpr DWORD kKeptLayers = 0x40;
constexpr DWORD kFullScreen = 0x80;
constexpr DWORD kWindow = 0x100;
constexpr DWORD kHide = 0x200;
constexpr DWORD kColourFill = 0x10000;
constexpr DWORD kGradient = 0x20000;
constexpr DWORD kImage = 0x40000;
constexpr DWORD kImageStretched = 0x80000;  // the picture tiled over the page
constexpr DWORD kImageCentred = 0x100000;
constexpr DWORD kImageInPage = 0x200000;
constexpr DWORD kGradientEllipses = 0x2000000;
constexpr int kGradientShift = 18;  // mode >> 18 gives the gradient's style bits
}  // namespace WindowMode

// The page rectangle of a window action's placement (left, top, width,
// height in the rectangle's four places): sizes beyond the screen are cut to it with the side at 0; full
// screen puts left and top at 0. Right and bottom hold width and height.
CRect WindowPageRect(const CRect& placement, CSize screen, BOOL fullScreen);
// Where a window of that page rectangle goes: a negative left or top centres it.
CPoint WindowOrigin(const CRect& pageRect, CSize screen);

// On disk (schema 3): window flags, colour, caption, page size, scroll
// margins, mode; from schema 3 the gradient colours and the background
// picture; the kept layers; the display part; the common part.
class CWindowAction : public CDisplayAction, public IPageSettings {
  DECLARE_SERIAL(CWindowAction)

 public:
  CWindowAction();
  CWindowAction(const CWindowAction& other);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 330; }
  // The page background over the clip rectangle.
  void Draw(CDC* dc, int code, const CRect* clip) override;
  void Unload() override;
  BOOL Execute() override;
  BOOL CollectFiles(CStringArray* files, int flags) override;

  // IPageSettings, for the page's own window action.
  void DrawBackground(CDC* dc, const CRect& clip) override { Draw(dc, 0, &clip); }
  BOOL IsLayerKept(BYTE layer) const override;
  DWORD GetWindowFlags() const override { return m_dwWindowFlags; }
  CSize GetScrollMargins() const override { return m_scrollMargins; }

  // The page's own settings take a running action's (and compose the background again).
  void SetPageSettings(CWindowAction& action);
  // The page this action is the settings of (its scroll area and client rectangle).
  void SetPage(COffScreenView* page) { m_pPage = page; }
  COLORREF GetBackgroundColour() const { return m_colour; }

  DWORD GetMode() const { return m_dwMode; }
  void SetMode(DWORD mode) { m_dwMode = mode; }
  void SetWindowFlags(DWORD flags) { m_dwWindowFlags = flags; }
  void SetColour(COLORREF colour) { m_colour = colour; }
  const CString& GetCaption() const { return m_strCaption; }
  void SetCaption(const CString& caption) { m_strCaption = caption; }
  CSize GetPageSize() const { return m_pageSize; }
  void SetPageSize(CSize size) { m_pageSize = size; }
  void SetScrollMargins(CSize margins) { m_scrollMargins = margins; }
  CByteArray& KeptLayers() { return m_keptLayers; }
  COLORREF GetGradientStart() const { return m_gradientStart; }
  COLORREF GetGradientEnd() const { return m_gradientEnd; }
  void SetGradient(COLORREF start, COLORREF end) {
    m_gradientStart = start;
    m_gradientEnd = end;
  }
  CImage& Image() { return m_image; }
  bool HasComposedBackground() const { return m_pComposed != nullptr; }

 private:
  CRect PageArea() const;
  void ApplyFrameStyles(IPresentationWindow* window, BOOL fullScreen);
  void ComposeBackground(IPresentationWindow* window);

  CString m_strCaption;
  DWORD m_dwWindowFlags = WindowFlag::kBufferToWindow;
  DWORD m_dwMode = 0x510080;
  COLORREF m_colour;
  CSize m_pageSize;
  CSize m_scrollMargins{40, 40};
  CByteArray m_keptLayers;
  COLORREF m_gradientStart = 0xFF0000;
  COLORREF m_gradientEnd = 0;
  CImage m_image;
  ImageEnvironment m_env;
  std::unique_ptr<CBitmap> m_pComposed;  // the background drawn once, never stored
  COffScreenView* m_pPage = nullptr;     // not owned
};
