// The form-field responses' shared part: font and colours, their stored and copied form, placing the control.
#include "behaviour/form_field_response.h"

#include "model/archive.h"
#include "page/off_screen_view.h"

void CFormFieldResponse::SizeObject(const CRect& rect) {
  CWnd* control = GetControlWnd();
  CRect client;
  if (!control || !ToClient(rect, &client)) return;
  control->MoveWindow(client, TRUE);
}

BOOL CFormFieldResponse::SetFont(const LOGFONT& font, int size, COLORREF colour) {
  SetFontAndColour(m_font, m_textColour, font, size, colour);
  FontChanged();
  return TRUE;
}

void CFormFieldResponse::ReadColours(CArchive& ar) {
  m_textColour = ar.ReadDword();
  m_backColour = ar.ReadDword();
}

void CFormFieldResponse::CopyLookFrom(const CFormFieldResponse& other) {
  m_textColour = other.m_textColour;
  m_backColour = other.m_backColour;
  m_font.CopyFrom(other.m_font);
}

BOOL CFormFieldResponse::ToClient(const CRect& pageRect, CRect* client) {
  COffScreenView* page = PageViewOf(this);
  if (!page) return FALSE;
  *client = pageRect;
  page->LogicalToClientRect(client);
  return TRUE;
}

void CFormFieldResponse::MakeControlFont() {
  m_font.CreateFont(2, 0);
  m_controlFont.DeleteObject();
  m_controlFont.CreateFontIndirect(&m_font.GetLogFont());
}

void CFormFieldResponse::DropFonts() {
  m_font.DeleteFont();
  m_controlFont.DeleteObject();
}

CRect CFormFieldResponse::DrawArea(const CRect* rect) {
  CRect area;
  if (rect) area = *rect;
  else GetRect(&area);
  return area;
}
