// The editor response: stored form, the field's life on the page, the
// initial text, storing the answer by the variable's type and the printed picture.
#include "behaviour/editor_response.h"

#include <algorithm>
#include <climits>

#include "behaviour/response_view.h"
#include "model/archive.h"
#include "model/task.h"
#include "model/task_services.h"
#include "model/variable.h"
#include "model/variable_context.h"
#include "page/off_screen_view.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/pen.h"
#include "platform/gdi/system_metrics.h"
#include "platform/base/number_text.h"

IMPLEMENT_SERIAL(CEditorResponse, CDisplayResponse, VERSIONABLE_SCHEMA | 3)

namespace {

// Key flags 8 with switch 5 (Tab) on, and switch 1 (Shift) for the previous field.
CKeyboard FieldKey(bool shift) {
  CKeyboard key;
  key.SetKeyFlags(8);
  key.SetSwitch(CKeyboard::kLastSpecialKey, FALSE);  // the full switch count
  key.SetSwitch(CKeyboard::kTab, TRUE);
  if (shift) key.SetSwitch(CKeyboard::kShift, TRUE);
  return key;
}

}  // namespace

CEditorResponse::CEditorResponse()
    : CFormFieldResponse(ResponseKind::kEditor, 0, 0xFFFFFF),
      m_previousKey(FieldKey(true)),
      m_nextKey(FieldKey(false)) {}

CEditorResponse::CEditorResponse(const CEditorResponse& other)
    : CFormFieldResponse(other),
      IPicEditOwner(),
      m_dwVariableId(other.m_dwVariableId),
      m_dwOptions(other.m_dwOptions),
      m_dwMaxLength(other.m_dwMaxLength),
      m_previousKey(other.m_previousKey),
      m_nextKey(other.m_nextKey),
      m_strMask(other.m_strMask),
      m_promptChar(other.m_promptChar) {}

CEditorResponse::~CEditorResponse() {
  Display().LeavePage(this);
  Unload();
}

DWORD CEditorResponse::StyleOf(DWORD options) {
  using namespace EditorOption;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP;
  if (options & kMultiLine) style |= ES_MULTILINE | ES_WANTRETURN;
  if (options & kAutoVScroll) style |= ES_AUTOVSCROLL;
  if (options & kAutoHScroll) style |= ES_AUTOHSCROLL;
  if (options & kBorder) style |= WS_BORDER;
  if (options & kVScroll) style |= WS_VSCROLL;
  if (options & kHScroll) style |= WS_HSCROLL;
  if (options & kCentre) style |= ES_CENTER;
  if (options & kRight) style |= ES_RIGHT;
  if (options & kReadOnly) style |= ES_READONLY;
  if (options & kPassword) style |= ES_PASSWORD;
  else if (options & kUpperCase) style |= ES_UPPERCASE;
  else if (options & kLowerCase) style |= ES_LOWERCASE;
  return style;
}

int CEditorResponse::GetAlignment() const {
  if (!(m_dwOptions & EditorOption::kMultiLine)) return 0;
  if (m_dwOptions & EditorOption::kRight) return 4;
  if (m_dwOptions & EditorOption::kCentre) return 2;
  return 1;
}

void CEditorResponse::Serialize(CArchive& ar) {
  const UINT schema = ar.GetObjectSchema();
  m_dwVariableId = ar.ReadDword();
  m_dwOptions = ar.ReadDword();
  m_dwMaxLength = ar.ReadDword();
  m_previousKey.Serialize(ar);
  m_nextKey.Serialize(ar);
  ReadColours(ar);
  m_promptChar = ar.ReadByte();
  m_strMask = ar.ReadString();
  m_font.Serialize(ar);
  if (schema < 3) m_dwOptions |= EditorOption::kAutoHScroll | EditorOption::kAutoVScroll;
  SerializeDisplay(ar, RUNTIME_CLASS(CDisplayResponse));
}

void CEditorResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = dynamic_cast<const CEditorResponse*>(source)) {
    if (!keepIdentity) m_dwVariableId = other->m_dwVariableId;
    m_dwOptions = other->m_dwOptions;
    m_dwMaxLength = other->m_dwMaxLength;
    m_strMask = other->m_strMask;
    m_promptChar = other->m_promptChar;
    m_previousKey = other->m_previousKey;
    m_nextKey = other->m_nextKey;
    CopyLookFrom(*other);
  }
  CDisplayResponse::CopyFrom(source, keepIdentity);
}

void CEditorResponse::Unload() {
  if (m_pEdit) m_pEdit->DestroyWindow();
  m_pEdit.reset();
  DropFonts();
}

BOOL CEditorResponse::SetBackColour(COLORREF colour) {
  const BOOL changed = colour != m_backColour ? TRUE : FALSE;
  m_backColour = colour;
  if (m_pEdit) m_pEdit->SetColors(m_textColour, m_backColour);
  return changed;
}

void CEditorResponse::FontChanged() {
  MakeControlFont();
  if (m_pEdit && m_controlFont.GetSafeHandle()) m_pEdit->SetFont(&m_controlFont, TRUE);
}

BOOL CEditorResponse::CreateField(COffScreenView& page, const CRect& pageRect) {
  CRect client = pageRect;
  page.LogicalToClientRect(&client);
  auto edit = std::make_unique<CPicEdit>(this);
  if (!edit->Create(StyleOf(m_dwOptions), client, &page, kEditorControlId)) return FALSE;
  MakeControlFont();
  if (m_controlFont.GetSafeHandle()) edit->SetFont(&m_controlFont, TRUE);
  if (m_dwMaxLength != 0) edit->LimitText(static_cast<int>(std::min<DWORD>(m_dwMaxLength, INT_MAX)));
  if (!m_strMask.IsEmpty()) {
    edit->SetMaskString(m_strMask);
    if (m_promptChar != 0) edit->SetPromptChar(static_cast<char>(m_promptChar));
    edit->SetAutoAdvance((m_dwOptions & EditorOption::kAutoAdvance) ? TRUE : FALSE);
  }
  edit->SetSelectOnFocus((m_dwOptions & EditorOption::kSelectOnFocus) ? TRUE : FALSE);
  edit->SetFieldKeys(m_previousKey, m_nextKey);
  edit->SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  m_pEdit = std::move(edit);
  return TRUE;
}

void CEditorResponse::PutInitialText() {
  if (!m_pEdit || !(m_dwOptions & EditorOption::kShowValue) || m_dwVariableId == 0) return;
  ITaskServices* services = TaskServicesOf(this);
  CVariable* variable = services ? FindVariableById(services->Variables(), static_cast<LONG>(m_dwVariableId)) : nullptr;
  if (!variable) return;
  CString text;
  switch (variable->GetType()) {
    case VarType::kString:
      if (variable->GetString().IsEmpty()) return;
      text = variable->GetString();
      break;
    case VarType::kNumber:
      text = CString(tvn::numtext::FormatFixed(variable->GetReal(), std::clamp(variable->GetPrecision(), 0, 15)));
      break;
    case VarType::kInteger:
      text = CString(tvn::numtext::FormatInteger(variable->GetLong()));
      break;
    default:
      return;
  }
  m_pEdit->SetData(text, 0, FALSE, TRUE);
}

BOOL CEditorResponse::Activate() {
  CRect rect;
  GetRect(&rect);
  if (rect.IsRectEmpty()) return TRUE;
  if (!PageInMode1(this)) Unload();
  COffScreenView* page = PageViewOf(this);
  if (!page) return TRUE;
  if (m_pEdit) m_pEdit->ShowWindow(SW_SHOW);
  else if (page->GetSafeHwnd()) CreateField(*page, rect);
  PutInitialText();
  Display().NoteShownOn(this);
  page->AddObject(this, 0);
  return TRUE;
}

int CEditorResponse::ExecuteResponse(int*) {
  if (!m_pEdit || !m_pEdit->GetSafeHwnd() || m_dwVariableId == 0) return 0;
  ITaskServices* services = TaskServicesOf(this);
  CVariable* variable = services ? FindVariableById(services->Variables(), static_cast<LONG>(m_dwVariableId)) : nullptr;
  if (!variable) return 0;
  const CString text = m_pEdit->GetDataText(TRUE);
  // Numbers are read as far as they go (leading blanks skipped), 0 when nothing reads.
  std::string_view digits = text.view();
  digits.remove_prefix(std::min(digits.find_first_not_of(" \t\r\n"), digits.size()));
  switch (variable->GetType()) {
    case VarType::kString:
      variable->SetString(text);
      break;
    case VarType::kNumber: {
      const auto parsed = tvn::numtext::ParseDoublePrefix(digits);
      variable->SetReal(parsed ? parsed->value : 0.0);
      break;
    }
    case VarType::kInteger: {
      const auto parsed = tvn::numtext::ParseIntegerPrefix(digits);
      const long long value = parsed ? parsed->value : 0;
      variable->SetLong(static_cast<LONG>(std::clamp<long long>(value, LONG_MIN, LONG_MAX)));
      break;
    }
    default:
      break;
  }
  return 0;
}

void CEditorResponse::Draw(CDC* dc, int, const CRect* rect) {
  const CRect area = DrawArea(rect);
  if (dc && dc->IsPrinting()) {
    DrawPicture(dc, area);
    return;
  }
  if (!m_pEdit) return;
  if (!m_pEdit->IsWindowVisible()) m_pEdit->ShowWindow(SW_SHOW);
  SizeObject(area);
}

void CEditorResponse::DrawPicture(CDC* dc, const CRect& rect) {
  CBrush back(m_backColour);
  CPen frame(PS_SOLID, 1, GetSysColor(COLOR_WINDOWFRAME));
  CPen none(PS_NULL, 0, 0);
  CBrush* oldBrush = dc->SelectObject(&back);
  CPen* oldPen = dc->SelectObject((m_dwOptions & EditorOption::kBorder) ? &frame : &none);
  dc->Rectangle(rect);
  const CString text = m_pEdit && m_pEdit->GetSafeHwnd() ? m_pEdit->GetDataText(TRUE) : CString();
  if (!text.IsEmpty()) {
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    if (!m_controlFont.GetSafeHandle()) MakeControlFont();
    CFont* oldFont = m_controlFont.GetSafeHandle() ? dc->SelectObject(&m_controlFont) : nullptr;
    const UINT oldAlign = dc->SetTextAlign(0);
    const COLORREF oldText = dc->SetTextColor(m_textColour);
    TEXTMETRIC metrics{};
    dc->GetTextMetrics(&metrics);
    CRect box = rect;
    box.top += metrics.tmExternalLeading;
    box.left += metrics.tmAveCharWidth;
    UINT format = DT_NOPREFIX | DT_EXPANDTABS;
    if (m_dwOptions & EditorOption::kMultiLine) {
      format |= DT_WORDBREAK;
      if (m_dwOptions & EditorOption::kRight) format |= DT_RIGHT;
      else if (m_dwOptions & EditorOption::kCentre) format |= DT_CENTER;
    }
    dc->DrawText(text, &box, format);
    dc->SetTextColor(oldText);
    dc->SetTextAlign(oldAlign);
    if (oldFont) dc->SelectObject(oldFont);
    dc->SetBkMode(oldMode);
  }
  dc->SelectObject(oldPen);
  dc->SelectObject(oldBrush);
}
