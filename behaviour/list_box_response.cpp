// The list-box response: stored form, the control's life on the page, filling, storing the answer and its printed picture.
#include "behaviour/list_box_response.h"

#include <string>

#include "behaviour/response_view.h"
#include "model/archive.h"
#include "model/draw_helpers.h"
#include "model/list_text_control.h"
#include "model/task.h"
#include "model/task_services.h"
#include "model/variable.h"
#include "model/variable_context.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/system_metrics.h"
#include "platform/user/message_loop.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(CListBoxResponse, CDisplayResponse, VERSIONABLE_SCHEMA | 2)

CListBoxResponse::CListBoxResponse(const CListBoxResponse& other)
    : CFormFieldResponse(other),
      m_dwOptions(other.m_dwOptions),
      m_strItems(other.m_strItems),
      m_strSelection(other.m_strSelection),
      m_strSeparator(other.m_strSeparator),
      m_dwVariableId(other.m_dwVariableId) {}

CListBoxResponse::~CListBoxResponse() {
  Display().LeavePage(this);
  Unload();
}

void CListBoxResponse::Serialize(CArchive& ar) {
  m_dwVariableId = ar.ReadDword();
  m_dwOptions = ar.ReadDword();
  ReadColours(ar);
  m_strItems = ar.ReadString();
  m_strSelection = ar.ReadString();
  m_strSeparator = ar.ReadString();
  m_font.Serialize(ar);
  SerializeDisplay(ar, RUNTIME_CLASS(CDisplayResponse));
}

void CListBoxResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = dynamic_cast<const CListBoxResponse*>(source)) {
    m_dwOptions = other->m_dwOptions;
    CopyLookFrom(*other);
    if (!keepIdentity) {
      m_strItems = other->m_strItems;
      m_strSelection = other->m_strSelection;
      m_strSeparator = other->m_strSeparator;
      m_dwVariableId = other->m_dwVariableId;
    }
  }
  CDisplayResponse::CopyFrom(source, keepIdentity);
}

void CListBoxResponse::Unload() {
  if (m_pList) m_pList->DestroyWindow();
  if (m_pCombo) m_pCombo->DestroyWindow();
  m_pList.reset();
  m_pCombo.reset();
  DropFonts();
}

CWnd* CListBoxResponse::GetControlWnd() {
  if (m_pList) return m_pList.get();
  return m_pCombo.get();
}

BOOL CListBoxResponse::SetBackColour(COLORREF colour) {
  if (colour == m_backColour) return FALSE;
  m_backColour = colour;
  if (auto* control = dynamic_cast<CChildControl*>(GetControlWnd())) control->RefreshColours();
  return TRUE;
}

void CListBoxResponse::FontChanged() {
  MakeControlFont();
  if (auto* control = dynamic_cast<CChildControl*>(GetControlWnd())) {
    control->SetFont(&m_controlFont, TRUE);
    control->RefreshColours();
  }
}

BOOL CListBoxResponse::CreateControl(COffScreenView& page, const CRect& pageRect) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP;
  if (m_dwOptions & ListOption::kBorder) style |= WS_BORDER;
  if (m_dwOptions & ListOption::kVScroll) style |= WS_VSCROLL;
  if (m_dwOptions & ListOption::kHScroll) style |= WS_HSCROLL;
  MakeControlFont();
  CRect client = pageRect;
  page.LogicalToClientRect(&client);
  if (IsListBox()) {
    style |= LBS_NOTIFY | LBS_HASSTRINGS | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT;
    if (m_dwOptions & ListOption::kMultiple) style |= LBS_MULTIPLESEL;
    if (m_dwOptions & ListOption::kSorted) style |= LBS_SORT;
    auto list = std::make_unique<CResponseListBox>(*this);
    if (!list->Create(style, client, &page, ListControlId::kListBox)) return FALSE;
    list->SetFont(&m_controlFont, TRUE);
    m_pList = std::move(list);
  } else {
    style |= CBS_DROPDOWNLIST | CBS_HASSTRINGS | CBS_NOINTEGRALHEIGHT;
    if (m_dwOptions & ListOption::kSorted) style |= CBS_SORT;
    auto combo = std::make_unique<CResponseComboBox>(*this);
    if (!combo->Create(style, client, &page, ListControlId::kDropDown)) return FALSE;
    combo->SetFont(&m_controlFont, TRUE);
    m_pCombo = std::move(combo);
  }
  return TRUE;
}

void CListBoxResponse::Fill() {
  ITaskServices* services = TaskServicesOf(this);
  IListTextControl* control = m_pList ? static_cast<IListTextControl*>(m_pList.get()) : m_pCombo.get();
  if (!services || !control) return;
  CVariableContext& vars = services->Variables();
  if (!m_strItems.IsEmpty()) {
    const WORD widest = MeasureTextInWindow(vars, *control, m_strItems, m_pList ? LB_ADDSTRING : CB_ADDSTRING,
                                            m_strSeparator);
    if (m_pList && (m_dwOptions & ListOption::kHScroll)) m_pList->SetHorizontalExtent(widest);
  }
  if (!m_strSelection.IsEmpty()) {
    const UINT message = !m_pList ? CB_SETCURSEL : IsMultiple() ? LB_SETSEL : LB_SETCURSEL;
    MeasureTextInWindow(vars, *control, m_strSelection, message, m_strSeparator);
  }
}

BOOL CListBoxResponse::Activate() {
  CRect rect;
  GetRect(&rect);
  if (rect.IsRectEmpty()) return TRUE;
  if (!PageInMode1(this)) Unload();
  COffScreenView* page = PageViewOf(this);
  if (!page) return TRUE;
  if (IsListBox() || IsDropDown()) {
    if (CWnd* control = GetControlWnd()) {
      if (m_pList) {
        m_pList->SendMessage(WM_SETREDRAW, FALSE);
        m_pList->ResetContent();
        Fill();
        m_pList->SendMessage(WM_SETREDRAW, TRUE);
      } else {
        m_pCombo->ResetContent();
        Fill();
      }
      control->ShowWindow(SW_SHOW);
    } else if (page->GetSafeHwnd() && CreateControl(*page, rect)) {
      Fill();
    }
  }
  Display().NoteShownOn(this);
  page->AddObject(this, 0);
  return TRUE;
}

int CListBoxResponse::ExecuteResponse(int*) {
  ITaskServices* services = TaskServicesOf(this);
  if (!services) return 0;
  CVariable* variable = FindVariableById(services->Variables(), static_cast<LONG>(m_dwVariableId));
  if (!variable) return 0;
  variable->SetString(CString());
  variable->SetReal(0);
  variable->SetLong(0);
  const bool isString = variable->GetType() == VarType::kString;
  auto store = [&](int index, const CString& text) {
    if (isString) {
      if (!text.IsEmpty()) variable->SetString(text);
    } else if (variable->IsNumber()) {
      variable->SetReal(index + 1);
    } else if (variable->IsInteger()) {
      variable->SetLong(index + 1);
    }
  };
  if (m_pList && IsMultiple()) {
    const CString joiner = m_strSeparator.IsEmpty() ? CString("\r\n") : m_strSeparator;
    CString joined;
    const std::vector<int> selected = m_pList->GetSelItems();
    for (std::size_t i = 0; i < selected.size(); ++i) {
      CString part;
      if (isString) m_pList->GetText(selected[i], part);
      else part = CString(std::to_string(selected[i] + 1).c_str());
      if (i > 0) joined += joiner;
      joined += part;
    }
    // A number or integer variable also takes the first chosen entry's number as its value.
    if (!isString && !selected.empty()) store(selected.front(), CString());
    if (!joined.IsEmpty()) variable->SetString(joined);
  } else if (m_pList) {
    const int index = m_pList->GetCurSel();
    CString text;
    if (index >= 0 && m_pList->GetText(index, text) >= 0) store(index, text);
  } else if (m_pCombo) {
    const int index = m_pCombo->GetCurSel();
    CString text;
    if (index >= 0 && m_pCombo->GetLBText(index, text) >= 0) store(index, text);
  }
  return 0;
}

void CListBoxResponse::Draw(CDC* dc, int, const CRect* rect) {
  const CRect area = DrawArea(rect);
  if (dc && dc->IsPrinting()) {
    DrawPicture(dc, area);
    return;
  }
  // Helper threads compose the page too; only the user-interface thread touches windows.
  CMessageLoop* loop = CMessageLoop::Current();
  CWnd* control = GetControlWnd();
  if (!control || !loop || !loop->IsLoopThread()) return;
  if (!control->IsWindowVisible()) control->ShowWindow(SW_SHOW);
  SizeObject(area);
}

void CListBoxResponse::DrawPicture(CDC* dc, const CRect& rect) {
  CBrush back(m_backColour);
  CPen frame(PS_SOLID, 1, GetSysColor(COLOR_WINDOWFRAME));
  CPen none(PS_NULL, 0, 0);
  CBrush* oldBrush = dc->SelectObject(&back);
  CPen* oldPen = dc->SelectObject((m_dwOptions & ListOption::kBorder) ? &frame : &none);
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  const COLORREF oldText = dc->SetTextColor(m_textColour);
  const UINT oldAlign = dc->SetTextAlign(0);
  CFont* oldFont = m_controlFont.GetSafeHandle() ? dc->SelectObject(&m_controlFont) : nullptr;
  TEXTMETRIC metrics{};
  dc->GetTextMetrics(&metrics);
  const int x = rect.left + metrics.tmAveCharWidth / 3;
  if (m_pList) {
    dc->Rectangle(rect);
    const int height = std::max(1, m_pList->GetItemHeight(0));
    int y = rect.top;
    for (int i = std::max(0, m_pList->GetTopIndex()); i < m_pList->GetCount(); ++i, y += height) {
      if (y + height > rect.bottom) break;
      CString text;
      m_pList->GetText(i, text);
      DrawTextClipped(dc, x, y + metrics.tmExternalLeading, rect.right - x, text);
    }
  } else if (m_pCombo) {
    CRect field = rect;
    field.bottom = field.top + m_pCombo->GetItemHeight(-1);
    dc->Rectangle(field);
    const int buttonWidth = GetSystemMetrics(SM_CXVSCROLL);
    CRect button(field.right - buttonWidth, field.top, field.right, field.bottom - 1);
    dc->FillSolidRect(button, GetSysColor(COLOR_BTNFACE));
    button.InflateRect(-1, -1);
    dc->Draw3dRect(button, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    const CPoint c = button.CenterPoint();
    const CPoint arrow[3] = {{c.x, c.y + 1}, {c.x - 3, c.y - 2}, {c.x + 3, c.y - 2}};
    CBrush arrowBrush(GetSysColor(COLOR_BTNTEXT));
    CPen arrowPen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
    CBrush* b = dc->SelectObject(&arrowBrush);
    CPen* p = dc->SelectObject(&arrowPen);
    dc->Polygon(arrow, 3);
    dc->SelectObject(p);
    dc->SelectObject(b);
    CString text;
    if (const int index = m_pCombo->GetCurSel(); index >= 0) m_pCombo->GetLBText(index, text);
    DrawTextClipped(dc, x, field.top + metrics.tmExternalLeading, button.left - x, text);
  }
  if (oldFont) dc->SelectObject(oldFont);
  dc->SetTextAlign(oldAlign);
  dc->SetTextColor(oldText);
  dc->SetBkMode(oldMode);
  dc->SelectObject(oldPen);
  dc->SelectObject(oldBrush);
}
