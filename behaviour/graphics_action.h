// CGraphicsAction: puts a picture from an image file on the page.
#pragma once

#include "behaviour/display_action.h"
#include "media/image.h"
#include "media/image_environment.h"

// Sizing modes.
namespace GraphicsMode {
constexpr WORD kPictureSize = 1500;   // the rectangle is at most the picture's size
constexpr WORD kClientArea = 1501;    // an empty rectangle takes the view's client area
constexpr WORD kPictureSize2 = 1502;  // as 1500
}  // namespace GraphicsMode

// Graphics flag bit: the picture replaces what lies under it.
constexpr DWORD kGraphicsReplaceUnder = 0x8000;

// On disk: mode, graphics flags, the picture's fields, the display part, the common part.
class CGraphicsAction : public CDisplayAction {
  DECLARE_SERIAL(CGraphicsAction)

 public:
  static constexpr BYTE kDefaultLayer = 8;

  CGraphicsAction() : CDisplayAction(ActionKind::kGraphics, kDefaultLayer) {}
  CGraphicsAction(const CGraphicsAction& other);

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 338; }
  BOOL Execute() override;
  void Draw(CDC* dc, int code, const CRect* rect) override;
  BOOL GetRegion(int code, int x, int y, const CRect* rect) override;
  void Unload() override { m_image.Free(); }
  int FreeResources(CDC* dc, int flag) override;
  CRect* GetRect(CRect* inout) override;
  BOOL CollectFiles(CStringArray* files, int flags) override;

  WORD GetMode() const { return m_wMode; }
  void SetMode(WORD mode) { m_wMode = mode; }
  DWORD GetGraphicsFlags() const { return m_dwGraphicsFlags; }
  void SetGraphicsFlags(DWORD flags) { m_dwGraphicsFlags = flags; }
  CImage& Image() { return m_image; }

 private:
  bool SizesToPicture() const { return m_wMode == GraphicsMode::kPictureSize || m_wMode == GraphicsMode::kPictureSize2; }
  bool HoldsPicture() const { return !m_image.hDib.empty() || m_image.kind == ImageKind::kMetafile; }
  // Points the picture at the course's files, variables and messages.
  void PrepareEnvironment();

  WORD m_wMode = GraphicsMode::kPictureSize;
  DWORD m_dwGraphicsFlags = 0;
  CImage m_image;
  ImageEnvironment m_env;
};
