// The rich-text action: running it lays out its text and shadow, drawing renders them, the mouse reaches hypertext.
#include "behaviour/rtf_action.h"

#include "behaviour/text_action.h"
#include "controls/rtf_recolour.h"
#include "model/archive.h"
#include "model/course_host.h"
#include "model/script.h"
#include "model/task.h"
#include "model/task_services.h"
#include "page/draw_obj.h"
#include "page/off_screen_view.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/system_metrics.h"

IMPLEMENT_SERIAL(CRtfAction, CDisplayAction, VERSIONABLE_SCHEMA | 2)

namespace {

const CRect kDefaultDrawRect(0, 0, 640, 480);
constexpr int kSmallestWindowSide = 5;
constexpr int kIndentBeyondFormatting = 10;

}  // namespace

CRtfAction::CRtfAction()
    : CDisplayAction(ActionKind::kRtf, kDefaultLayer),
      m_backColour(GetSysColor(COLOR_WINDOW)),
      m_display(std::make_unique<CRtfDisplay>()),
      m_shadowDisplay(std::make_unique<CRtfDisplay>()) {}

CRtfAction::CRtfAction(const CRtfAction& other)
    : CDisplayAction(other),
      m_strText(other.m_strText),
      m_strFileName(other.m_strFileName),
      m_textColour(other.m_textColour),
      m_backColour(other.m_backColour),
      m_shadowColour(other.m_shadowColour),
      m_shadowX(other.m_shadowX),
      m_shadowY(other.m_shadowY),
      m_flags(other.m_flags),
      m_byteValue(other.m_byteValue),
      m_font(other.m_font),
      m_display(std::make_unique<CRtfDisplay>()),
      m_shadowDisplay(std::make_unique<CRtfDisplay>()) {}

CRtfAction::~CRtfAction() {
  if (m_display->GetSafeHwnd()) m_display->DestroyWindow();
}

void CRtfAction::Serialize(CArchive& ar) {
  m_flags = ar.ReadDword();
  m_textColour = ar.ReadDword();
  m_backColour = ar.ReadDword();
  m_strText = ar.ReadString();
  m_shadowX = static_cast<signed char>(ar.ReadByte());
  m_shadowY = static_cast<signed char>(ar.ReadByte());
  m_shadowColour = ar.ReadDword();
  m_byteValue = ar.ReadByte();
  m_strFileName = ar.ReadString();
  m_font.Serialize(ar);
  CDisplayAction::Serialize(ar);
}

void CRtfAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = dynamic_cast<const CRtfAction*>(source)) {
    if (!(keepIdentity && other->m_strText.IsEmpty())) m_strText = other->m_strText;
    if (!(keepIdentity && other->m_strFileName.IsEmpty())) m_strFileName = other->m_strFileName;
    m_flags = other->m_flags;
    m_textColour = other->m_textColour;
    m_backColour = other->m_backColour;
    m_shadowColour = other->m_shadowColour;
    m_shadowX = other->m_shadowX;
    m_shadowY = other->m_shadowY;
    m_byteValue = other->m_byteValue;
  }
  CDisplayAction::CopyFrom(source, keepIdentity);
}

BOOL CRtfAction::SetFont(const LOGFONT& font, int size, COLORREF colour) {
  SetFontAndColour(m_font, m_textColour, font, size, colour);
  return TRUE;
}

RichTextEnvironment CRtfAction::EnvironmentOfTask() {
  RichTextEnvironment env;
  COffScreenView* page = PageViewOf(this);
  env.view = dynamic_cast<IRichTextView*>(page);
  ITaskServices* services = TaskServicesOf(this);
  if (!services) return env;
  env.variables = &services->Variables();
  if (ICourseHost* host = services->Host()) {
    env.messages = &host->Messages();
    env.files.dataFile = &host->DataFile();
    env.files.cache = host->GetPreloadCache();
  }
  return env;
}

void CRtfAction::Unload() {
  m_strShown.Empty();
  m_strShadow.Empty();
  m_display->StreamIn("", 0, SF_RTF);
  m_shadowDisplay->StreamIn("", 0, SF_RTF);
  if (m_display->GetSafeHwnd()) m_display->DestroyWindow();
}

BOOL CRtfAction::Execute() {
  const RichTextEnvironment env = EnvironmentOfTask();
  m_display->SetEnvironment(env);
  m_shadowDisplay->SetEnvironment(RichTextEnvironment{});
  COffScreenView* view = PageViewOf(this);
  ITaskServices* services = TaskServicesOf(this);
  CRect rect = GetBounds();

  if (!(m_flags & RtfFlag::kFromFile) && !m_strText.IsEmpty()) {
    m_strShown = services ? ExpandVariables(services->Variables(), m_strText, TRUE) : m_strText;
    if (rect.IsRectEmpty() && view) {
      view->GetClientRect(&rect);
      SetRectConstants(rect);
    }
  }
  m_display->SetOwner(this);
  if (rect.IsRectEmpty()) {
    rect.right = 20;
    rect.bottom = 20;
  }
  if (!m_display->GetSafeHwnd() && env.view && LoadRichEdit20()) {
    if (CWnd* parent = env.view->GetViewWindow()) {
      const DWORD exStyle = (m_flags & RtfFlag::kOpaque) ? 0 : WS_EX_TRANSPARENT;
      m_display->Create(exStyle, kRtfWindowStyle, rect, parent, kRtfWindowId);
    }
  }
  CRect formatting;
  m_display->GetRect(&formatting);
  m_display->SetLeftIndent(formatting.left + kIndentBeyondFormatting);

  if ((m_flags & RtfFlag::kFromFile) && !m_strFileName.IsEmpty()) {
    const CString path = services ? services->FindMediaFile(m_strFileName) : m_strFileName;
    m_display->LoadFile(path);
    m_display->StreamOut(m_strShown, SF_RTF);
    if (services) m_strShown = ExpandVariables(services->Variables(), m_strShown, TRUE);
  }

  const BOOL wrap = (m_flags & RtfFlag::kWrap) ? TRUE : FALSE;
  m_display->SetWordWrap(wrap);
  m_shadowDisplay->SetWordWrap(wrap);
  m_display->StreamIn(m_strShown.GetString(), m_strShown.GetLength(), SF_RTF);

  // The shadow is the text as the display writes it (always with a colour
  // table, which the rewrite needs), every run in the shadow's colour.
  m_strShadow.Empty();
  if ((m_flags & RtfFlag::kShadow) && !(m_flags & RtfFlag::kLive) && !m_strShown.IsEmpty()) {
    m_display->StreamOut(m_strShadow, SF_RTF);
    if (!RecolourRtfText(m_strShadow, m_shadowColour)) m_strShadow.Empty();
  }
  m_shadowDisplay->StreamIn(m_strShadow.GetString(), m_strShadow.GetLength(), SF_RTF);

  Display().NoteShownOn(this);
  if (!view) return TRUE;
  AddTextToPage(*view, this, Effect().HasEffect(), static_cast<DWORD>(GetDisplayFlags()));
  return TRUE;
}

void CRtfAction::Draw(CDC* dc, int, const CRect* rect) {
  if (!dc) return;
  CRect area = rect ? *rect : CRect();
  if (area.IsRectEmpty()) area = kDefaultDrawRect;
  if (m_flags & RtfFlag::kOpaque) {
    dc->FillSolidRect(area, m_backColour);
    m_display->SetBackgroundColor(m_backColour);
  } else {
    dc->SetBkMode(TRANSPARENT);
  }
  area.left += m_display->GetLeftIndent();
  m_textArea = area;
  m_shadowArea = CRect();
  if ((m_flags & RtfFlag::kShadow) && !(m_flags & RtfFlag::kLive) && !m_strShadow.IsEmpty()) {
    SplitShadow(m_textArea, m_shadowArea, m_shadowX, m_shadowY);
    m_shadowDisplay->PrintRect(dc, m_shadowArea);
  }
  if (m_flags & RtfFlag::kLive) SizeObject(m_textArea);
  else m_display->PrintRect(dc, m_textArea);
}

void CRtfAction::SizeObject(const CRect& rect) {
  CRect area = rect;
  if (area.IsRectEmpty()) area = kDefaultDrawRect;
  if (area.Width() <= kSmallestWindowSide) area.right = area.left + kSmallestWindowSide;
  if (area.Height() <= kSmallestWindowSide) area.bottom = area.top + kSmallestWindowSide;
  m_windowArea = area;
  if (!m_display->GetSafeHwnd()) return;
  if (!(m_flags & RtfFlag::kLive)) {
    m_display->ShowWindow(SW_HIDE);
    return;
  }
  CRect client = area;
  if (COffScreenView* view = PageViewOf(this)) view->LogicalToClientRect(&client);
  m_display->SetWindowPos(nullptr, client.left, client.top, client.Width(), client.Height(),
                          SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

BOOL CRtfAction::OnMouseMove(UINT, CPoint point, int source, const CRect* rect) {
  if (source != 6 || !rect) return FALSE;
  if (rect->PtInRect(point)) {
    m_display->OnMouseMove(WM_MOUSEMOVE, point.x - rect->left, point.y - rect->top);
    return m_display->IsHovering();
  }
  if (m_display->IsHovering()) {
    m_display->ClearHover();
    if (m_display->Environment().view) m_display->Environment().view->RestoreCursor();
  }
  return FALSE;
}

BOOL CRtfAction::OnMouseButton(UINT message, UINT keyFlags, CPoint point, int source, const CRect* rect) {
  if (source == 6 && message == WM_LBUTTONDOWN && rect && rect->PtInRect(point))
    m_display->OnLButtonDown(keyFlags, point.x - rect->left, point.y - rect->top);
  return FALSE;  // responses still see the click
}

BOOL CRtfAction::CollectFiles(CStringArray* files, int flags) {
  BOOL added = FALSE;
  if (files && (m_flags & RtfFlag::kFromFile) && !m_strFileName.IsEmpty()) {
    files->Add(m_strFileName);
    added = TRUE;
  }
  return CDisplayAction::CollectFiles(files, flags) || added;
}
