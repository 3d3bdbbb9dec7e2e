#include "behaviour/graphics_action.h"

#include "behaviour/image_environment_of.h"
#include "model/archive.h"
#include "model/course_doc.h"
#include "model/course_host.h"
#include "model/task.h"
#include "model/task_services.h"
#include "page/draw_obj.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(CGraphicsAction, CDisplayAction, VERSIONABLE_SCHEMA | 2)

CGraphicsAction::CGraphicsAction(const CGraphicsAction& other)
    : CDisplayAction(other), m_wMode(other.m_wMode), m_dwGraphicsFlags(other.m_dwGraphicsFlags), m_image(other.m_image) {
  m_image.SetEnvironment(nullptr);  // the copy finds its own course when it runs
}

void CGraphicsAction::Serialize(CArchive& ar) {
  m_wMode = ar.ReadWord();
  m_dwGraphicsFlags = ar.ReadDword();
  m_image.Serialize(ar);
  CDisplayAction::Serialize(ar);
}

void CGraphicsAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CGraphicsAction*>(source)) {
    m_wMode = other->m_wMode;
    m_dwGraphicsFlags = other->m_dwGraphicsFlags;
    m_image.CopyFrom(other->m_image);
  }
  CDisplayAction::CopyFrom(source, keepIdentity);
}

void CGraphicsAction::PrepareEnvironment() {
  m_env = ImageEnvironmentOf(this);
  m_image.SetEnvironment(&m_env);
}

BOOL CGraphicsAction::Execute() {
  PrepareEnvironment();
  m_image.Load();
  COffScreenView* view = PageViewOf(this);
  const bool loaded = HoldsPicture();
  const bool replaceUnder = (m_dwGraphicsFlags & kGraphicsReplaceUnder) != 0;

  if (SizesToPicture() && loaded) {
    if (GetBounds().IsRectEmpty()) {
      CRect own;
      m_image.GetRect(own);
      SetRectConstants(own);
    }
    CRect bounds = GetBounds();
    if (replaceUnder && view && GetRect(&bounds)) view->RemoveObjectsInRect(bounds, this);
  } else if (m_wMode == GraphicsMode::kClientArea) {
    if (GetBounds().IsRectEmpty() && view) {
      CRect client;
      view->GetClientRect(&client);
      SetRectConstants(client);
    }
    if (replaceUnder && view) view->RemoveObjectsInRect(GetBounds(), this);
  }

  Display().NoteShownOn(this);
  if (!view) return TRUE;
  DWORD drawFlags = 0;
  if (Effect().HasEffect() && loaded) drawFlags = DrawFlag::kTransition | (replaceUnder ? DrawFlag::kFlushAround : 0);
  view->AddObject(this, drawFlags);
  return TRUE;
}

void CGraphicsAction::Draw(CDC* dc, int, const CRect* rect) {
  if (dc && rect) m_image.Draw(dc, *rect, TRUE);
}

BOOL CGraphicsAction::GetRegion(int, int x, int y, const CRect* rect) {
  if (!rect || !rect->PtInRect(CPoint(x, y))) return FALSE;
  return m_image.HitTest(CPoint(x - rect->left, y - rect->top));
}

int CGraphicsAction::FreeResources(CDC*, int) {
  // The page is always true colour: the picture's drawable form stays
  // valid, and TRUE only asks the page to paint the object again.
  return SizesToPicture() ? TRUE : FALSE;
}

CRect* CGraphicsAction::GetRect(CRect* inout) {
  if (m_wMode == GraphicsMode::kClientArea) return inout;
  if (!SizesToPicture()) return nullptr;
  if (!(m_image.flags & ImageFlag::kNoBitmap) && HoldsPicture()) {
    // Page units are pixels: the picture's size limits the rectangle as it is.
    int width = 0;
    int height = 0;
    m_image.GetSize(width, height);
    if (inout->Width() > width) inout->right = inout->left + width;
    if (inout->Height() > height) inout->bottom = inout->top + height;
  }
  return inout;
}

BOOL CGraphicsAction::CollectFiles(CStringArray* files, int flags) {
  if (!files) return FALSE;
  const BOOL image = m_image.GetFileNames(*files);
  const BOOL effect = CDisplayAction::CollectFiles(files, flags);
  return effect ? TRUE : image;
}
