#include "behaviour/window_action.h"

#include <algorithm>
#include <mutex>

#include "behaviour/image_environment_of.h"
#include "behaviour/presentation_window.h"
#include "model/archive.h"
#include "model/draw_helpers.h"
#include "model/script.h"
#include "model/task.h"
#include "model/task_services.h"
#include "page/off_screen_view.h"
#include "platform/framework/frame_wnd.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/rgn.h"
#include "platform/gdi/system_metrics.h"
#include "platform/user/menu.h"
#include "platform/msg/window_messages.h"

IMPLEMENT_SERIAL(CWindowAction, CDisplayAction, VERSIONABLE_SCHEMA | 3)

namespace {

CSize ScreenSize() { return CSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)); }

bool HoldsPicture(const CImage& image) { return !image.hDib.empty() || image.kind == ImageKind::kMetafile; }

IPresentationWindow* WindowOf(COffScreenView* view) {
  return view ? dynamic_cast<IPresentationWindow*>(view->GetParent()) : nullptr;
}

}  // namespace

CRect WindowPageRect(const CRect& placement, CSize screen, BOOL fullScreen) {
  // The placement's right and bottom are the width and height.
  CRect r = placement;
  if (r.right > screen.cx) {
    r.right = screen.cx;
    r.left = 0;
  }
  if (r.bottom > screen.cy) {
    r.bottom = screen.cy;
    r.top = 0;
  }
  if (fullScreen) r.left = r.top = 0;
  return r;
}

CPoint WindowOrigin(const CRect& pageRect, CSize screen) {
  return CPoint(pageRect.left < 0 ? (screen.cx - pageRect.right) / 2 : pageRect.left,
                pageRect.top < 0 ? (screen.cy - pageRect.bottom) / 2 : pageRect.top);
}

CWindowAction::CWindowAction()
    : CDisplayAction(ActionKind::kWindow), m_colour(GetSysColor(COLOR_WINDOW)), m_pageSize(ScreenSize()) {
  SetRectConstants(CRect(0, 0, 640, 480));
  Show(FALSE);
}

CWindowAction::CWindowAction(const CWindowAction& other) : CDisplayAction(other), IPageSettings() {
  CopyFrom(&other, FALSE);
}

void CWindowAction::Serialize(CArchive& ar) {
  const UINT schema = ar.GetObjectSchema();
  m_dwWindowFlags = ar.ReadDword();
  m_colour = ar.ReadDword();
  m_strCaption = ar.ReadString();
  m_pageSize = ar.ReadSize();
  m_scrollMargins = ar.ReadSize();
  m_dwMode = ar.ReadDword();
  if (schema >= 3 && schema != 0xFFFFFFFFu) {
    m_gradientStart = ar.ReadDword();
    m_gradientEnd = ar.ReadDword();
    m_image.Serialize(ar);
  } else {
    // Older courses knew one way to fill the background.
    m_dwMode |= 0x500000 | ((m_dwWindowFlags & WindowFlag::kOldColourFill) ? WindowMode::kColour
                                                                            : WindowMode::kColourFill);
  }
  ar.ReadByteArray(m_keptLayers);
  CDisplayAction::Serialize(ar);
}

void CWindowAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (auto* other = dynamic_cast<const CWindowAction*>(source)) {
    m_dwWindowFlags = other->m_dwWindowFlags;
    m_dwMode = other->m_dwMode;
    m_colour = other->m_colour;
    if (!(keepIdentity && other->m_strCaption.IsEmpty())) m_strCaption = other->m_strCaption;
    m_pageSize = other->m_pageSize;
    m_scrollMargins = other->m_scrollMargins;
    m_keptLayers.RemoveAll();
    for (int i = 0; i < other->m_keptLayers.GetSize(); ++i) m_keptLayers.Add(other->m_keptLayers[i]);
    m_gradientStart = other->m_gradientStart;
    m_gradientEnd = other->m_gradientEnd;
    m_image.CopyFrom(other->m_image);
  }
  CDisplayAction::CopyFrom(source, keepIdentity);
}

BOOL CWindowAction::IsLayerKept(BYTE layer) const {
  return layer < m_keptLayers.GetSize() && m_keptLayers[layer] != 0;
}

void CWindowAction::Unload() {
  m_image.Free();
  m_pComposed.reset();
}

BOOL CWindowAction::CollectFiles(CStringArray* files, int flags) {
  if (!files) return FALSE;
  const BOOL image = (m_dwMode & WindowMode::kImage) ? m_image.GetFileNames(*files) : FALSE;
  const BOOL display = CDisplayAction::CollectFiles(files, flags);
  return display ? TRUE : image;
}

CRect CWindowAction::PageArea() const {
  CRect area;
  if (m_pPage) {
    if (m_pPage->GetStyle() & (WS_HSCROLL | WS_VSCROLL)) {
      const CSize total = m_pPage->GetTotalSize();
      area = CRect(0, 0, total.cx, total.cy);
    } else {
      m_pPage->GetClientRect(&area);
    }
  }
  // A page without a window yet is as large as the page size.
  if (area.IsRectEmpty()) area = CRect(0, 0, m_pageSize.cx, m_pageSize.cy);
  return area;
}

void CWindowAction::Draw(CDC* dc, int, const CRect* clipRect) {
  if (!dc || !clipRect) return;
  const CRect clip = *clipRect;
  if ((m_dwMode & (WindowMode::kColourFill | WindowMode::kColour)) ||
      ((m_dwMode & WindowMode::kImage) && (m_dwMode & WindowMode::kImageCentred)))
    DrawTextBackground(dc, clip, m_colour);
  if (m_pComposed) {
    // Drawn one to one from the page's origin.
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap* old = memory.SelectObject(m_pComposed.get());
    const CSize size = m_pComposed->GetSize();
    CRect part;
    if (part.IntersectRect(clip, CRect(0, 0, size.cx, size.cy)))
      dc->BitBlt(part.left, part.top, part.Width(), part.Height(), &memory, part.left, part.top, SRCCOPY);
    memory.SelectObject(old);
    return;
  }
  const CRect page = PageArea();
  if (m_dwMode & WindowMode::kGradient) {
    const int saved = dc->SaveDC();
    dc->SelectStockObject(NULL_BRUSH);
    dc->SelectStockObject(NULL_PEN);
    if (m_dwMode & WindowMode::kGradientEllipses) dc->IntersectClipRect(page);
    DrawGradientRect(dc, page, m_gradientStart, m_gradientEnd, m_dwMode >> WindowMode::kGradientShift);
    dc->RestoreDC(saved);
    return;
  }
  if (!(m_dwMode & WindowMode::kImage) || !HoldsPicture(m_image)) return;
  if (m_dwMode & WindowMode::kImageCentred) {
    int width = 0, height = 0;
    m_image.GetSize(width, height);
    CRect at = page;
    if (width < page.Width()) at.left += (page.Width() - width - 1) >> 1;
    if (height < page.Height()) at.top += (page.Height() - height) / 2;
    at.right = at.left + width;
    at.bottom = at.top + height;
    m_image.Draw(dc, at, TRUE);
  } else if (m_dwMode & WindowMode::kImageStretched) {
    // Tiles over the page from its origin, as far as the clip rectangle reaches.
    m_image.DrawTiled(dc, clip, page, TRUE);
  } else if (m_dwMode & WindowMode::kImageInPage) {
    m_image.Draw(dc, page, TRUE);
  }
}

void CWindowAction::SetPageSettings(CWindowAction& action) {
  m_dwMode = action.m_dwMode;
  m_dwWindowFlags = action.m_dwWindowFlags;
  m_colour = action.m_colour;
  m_strCaption = action.m_strCaption;
  m_pageSize = action.m_pageSize;
  m_scrollMargins = action.m_scrollMargins;
  m_gradientStart = action.m_gradientStart;
  m_gradientEnd = action.m_gradientEnd;
  if (action.m_dwMode & WindowMode::kKeptLayers) {
    m_keptLayers.RemoveAll();
    for (int i = 0; i < action.m_keptLayers.GetSize(); ++i) m_keptLayers.Add(action.m_keptLayers[i]);
  }
  m_image.CopyFrom(action.m_image);
  if (m_dwMode & WindowMode::kImage) {
    action.m_env = ImageEnvironmentOf(&action);
    m_env = action.m_env;
    m_image.SetEnvironment(&m_env);
    m_image.Load();
  }
  Display().m_position = action.Display().m_position;
  Display().m_displayFlags = action.Display().m_displayFlags;
  Display().m_layer = action.Display().m_layer;
  Display().m_effect = action.Display().m_effect;
  m_pComposed.reset();
  const bool picture = (m_dwMode & WindowMode::kImage) && (m_dwMode & WindowMode::kImageStretched) &&
                       HoldsPicture(m_image);
  if ((m_dwMode & (WindowMode::kGradient | WindowMode::kImageInPage)) || picture)
    ComposeBackground(WindowOf(m_pPage));
}

void CWindowAction::ComposeBackground(IPresentationWindow* window) {
  CRect area(0, 0, m_pageSize.cx, m_pageSize.cy);
  if (m_dwWindowFlags & WindowFlag::kBufferToWindow) {
    const CSize screen = ScreenSize();
    const CRect placement = GetBounds();
    if (m_dwMode & WindowMode::kFullScreen) {
      area = WindowPageRect(placement, screen, TRUE);
    } else if (m_dwMode & WindowMode::kWindow) {
      area = WindowPageRect(placement, screen, FALSE);
      const DWORD style = window ? window->Frame().GetStyle() : 0;
      if (style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) {
        area.right = screen.cx;
        area.bottom = screen.cy;
      }
    } else if (m_dwMode & WindowMode::kMaximised) {
      area = CRect(0, 0, screen.cx, screen.cy);
    }
    // Composed at the page's origin, whatever the window's place on the screen.
    area = CRect(0, 0, area.right, area.bottom);
  }
  if (area.IsRectEmpty()) return;
  auto bitmap = std::make_unique<CBitmap>();
  if (!bitmap->CreateBitmap(area.Width(), area.Height(), 1, 32, nullptr)) return;
  CDC memory;
  memory.CreateCompatibleDC(nullptr);
  CBitmap* old = memory.SelectObject(bitmap.get());
  memory.FillSolidRect(area, m_colour);
  Draw(&memory, 0, &area);
  memory.SelectObject(old);
  m_pComposed = std::move(bitmap);
}

void CWindowAction::ApplyFrameStyles(IPresentationWindow* window, BOOL fullScreen) {
  if (!window) return;
  CFrameWnd& frame = window->Frame();
  if (fullScreen) {
    frame.ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0);
    return;
  }
  if (!(m_dwMode & WindowMode::kFrameStyles)) return;
  if (m_dwWindowFlags & WindowFlag::kCaption) {
    frame.ModifyStyle(0, WS_CAPTION | WS_SYSMENU);
    if (!m_strCaption.IsEmpty()) {
      CString caption = m_strCaption;
      if (ITaskServices* services = TaskServicesOf(this)) caption = ExpandVariables(services->Variables(), caption, FALSE);
      frame.SetWindowText(caption);
    }
    if (m_dwWindowFlags & WindowFlag::kMaximiseBox) frame.ModifyStyle(0, WS_MAXIMIZEBOX);
    else frame.ModifyStyle(WS_MAXIMIZEBOX, 0);
    if (m_dwWindowFlags & WindowFlag::kMinimiseBox) frame.ModifyStyle(0, WS_MINIMIZEBOX);
    else frame.ModifyStyle(WS_MINIMIZEBOX, 0);
  } else {
    frame.ModifyStyle(WS_CAPTION, 0);
  }
  if (m_dwWindowFlags & WindowFlag::kSizingBorder) frame.ModifyStyle(0, WS_THICKFRAME);
  else frame.ModifyStyle(WS_THICKFRAME, 0);
}

BOOL CWindowAction::Execute() {
  COffScreenView* view = PageViewOf(this);
  IPresentationWindow* window = WindowOf(view);
  CFrameWnd* frame = window ? &window->Frame() : nullptr;
  const CSize screen = ScreenSize();
  const CRect placement = GetBounds();

  if (m_dwMode & WindowMode::kHide) {
    if (frame) frame->ShowWindow(SW_HIDE);
    return TRUE;
  }
  if (m_dwMode & WindowMode::kFullScreen) {
    const CRect page = WindowPageRect(placement, screen, TRUE);
    if (page.right > 0 && page.bottom > 0) {
      ApplyFrameStyles(window, TRUE);
      if (window) window->SetViewArea(page.right, page.bottom);
      if (frame) frame->MoveWindow(0, 0, screen.cx + 1, screen.cy + 1);
      if (view && (m_dwWindowFlags & WindowFlag::kBufferToWindow)) view->ResizeBuffer(page.right, page.bottom);
    }
    if (frame) frame->ShowWindow(SW_SHOWNORMAL);
  } else if (m_dwMode & WindowMode::kWindow) {
    const CRect page = WindowPageRect(placement, screen, FALSE);
    if (window) window->SetViewArea(0, 0);
    ApplyFrameStyles(window, FALSE);
    if (page.right > 0 && page.bottom > 0) {
      const CPoint at = WindowOrigin(page, screen);
      if (frame) frame->MoveWindow(at.x, at.y, page.right, page.bottom);
      if (view && (m_dwWindowFlags & WindowFlag::kBufferToWindow)) {
        if (frame && (frame->GetStyle() & (WS_THICKFRAME | WS_MAXIMIZEBOX))) {
          view->ResizeBuffer(screen.cx, screen.cy);
          view->EraseBackground();
        } else {
          view->ResizeBuffer(page.right, page.bottom);
        }
      }
    }
    if (frame) frame->ShowWindow(SW_SHOWNORMAL);
  } else if (m_dwMode & WindowMode::kMaximised) {
    if (window) window->SetViewArea(0, 0);
    ApplyFrameStyles(window, FALSE);
    if (frame) {
      frame->ShowWindow(SW_SHOWMAXIMIZED);
      frame->RedrawWindow(nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    }
    if (view && (m_dwWindowFlags & WindowFlag::kBufferToWindow)) view->ResizeBuffer(screen.cx, screen.cy);
  } else {
    ApplyFrameStyles(window, FALSE);
    if (frame) frame->ShowWindow(SW_SHOW);
  }
  if (!view) return TRUE;

  // The page's own settings take this action's.
  auto* own = dynamic_cast<CWindowAction*>(&view->GetPageSettings());
  if (!own) {
    auto settings = std::make_unique<CWindowAction>();
    own = settings.get();
    own->SetPage(view);
    view->SetPageSettings(std::move(settings));
  }
  {
    std::lock_guard lock(view->GetDisplayListLock());
    own->SetPageSettings(*this);
  }
  if (frame && !frame->GetActiveView()) frame->SetActiveView(view);
  // Mode 0x10 hands the colour to the view's background hook, which does nothing.
  if (m_dwWindowFlags & WindowFlag::kBufferToPage) {
    view->ResizeBuffer(m_pageSize.cx, m_pageSize.cy);
    view->EraseBackground();
  }
  if (frame && frame->GetMenuHandle() && GetMenuItemCount(frame->GetMenuHandle()) > 0) frame->DrawMenuBar();
  if (m_dwMode & WindowMode::kFrameStyles) {
    if (m_dwWindowFlags & WindowFlag::kScrollBars) {
      view->ModifyStyle(0, WS_HSCROLL | WS_VSCROLL);
      view->SetScrollSizes(TRUE);
    } else {
      view->SetScrollSizes(FALSE);
      view->ModifyStyle(WS_HSCROLL | WS_VSCROLL, 0);
    }
  } else if (view->GetStyle() & (WS_HSCROLL | WS_VSCROLL)) {
    view->SetScrollSizes(TRUE);
  }
  if (frame) {
    frame->ModifyStyleEx(WS_EX_CLIENTEDGE, 0);
    const bool topmost = (m_dwMode & WindowMode::kFrameStyles) && (m_dwWindowFlags & WindowFlag::kTopmost);
    frame->SetWindowPos(topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                        SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    window->FitView();
  }
  view->ModifyStyleEx(WS_EX_CLIENTEDGE, 0);
  if (view->GetSafeHwnd())
    view->SetWindowPos(nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
  view->InvalidateRect(nullptr);
  view->FlushInvalidRects();
  return TRUE;
}
