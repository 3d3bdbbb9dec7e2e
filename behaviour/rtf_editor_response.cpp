// The rich-text editor response: stored form, the editor's life on the page,
// filling it from the variable (or a read-only file) and writing its RTF back.
#include "behaviour/rtf_editor_response.h"

#include "behaviour/response_view.h"
#include "model/archive.h"
#include "model/course_doc.h"
#include "model/course_host.h"
#include "model/data_mem_file.h"
#include "model/task.h"
#include "model/task_services.h"
#include "model/variable.h"
#include "model/variable_context.h"
#include "page/off_screen_view.h"
#include "platform/edit_messages.h"
#include "platform/gdi/system_metrics.h"

IMPLEMENT_SERIAL(CRtfEditorResponse, CDisplayResponse, VERSIONABLE_SCHEMA | 2)

CRtfEditorResponse::CRtfEditorResponse()
    : CDisplayResponse(ResponseKind::kRtfEditor),
      m_textColour(GetSysColor(COLOR_WINDOWTEXT)),
      m_backColour(GetSysColor(COLOR_WINDOW)) {}

CRtfEditorResponse::CRtfEditorResponse(const CRtfEditorResponse& other)
    : CDisplayResponse(other),
      m_dwVariableId(other.m_dwVariableId),
      m_dwFlags(other.m_dwFlags),
      m_dwReserved(other.m_dwReserved),
      m_textColour(other.m_textColour),
      m_backColour(other.m_backColour),
      m_font(other.m_font) {}

CRtfEditorResponse::~CRtfEditorResponse() {
  Display().LeavePage(this);

}

DWORD CRtfEditorResponse::StyleOf(DWORD flags) {
  using namespace RtfEditorFlag;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP;
  if (flags & kBorder) style |= WS_BORDER;
  if (!(flags & kReadOnly)) style |= RtfEditorStyle::kSaveSelection | ES_NOHIDESEL | RtfEditorStyle::kSelectionBar;
  if (flags & kVScroll) style |= WS_VSCROLL | ES_AUTOVSCROLL | ES_MULTILINE;
  if (flags & kHScroll) style |= WS_HSCROLL | ES_AUTOHSCROLL;
  return style;
}

void CRtfEditorResponse::Serialize(CArchive& ar) {
  m_dwVariableId = ar.ReadDword();
  m_dwFlags = ar.ReadDword();
  m_dwReserved = ar.ReadDword();
  m_textColour = ar.ReadDword();
  m_backColour = ar.ReadDword();
  m_font.Serialize(ar);
  SerializeDisplay(ar, RUNTIME_CLASS(CDisplayResponse));
}

void CRtfEditorResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = dynamic_cast<const CRtfEditorResponse*>(source)) {
    if (!keepIdentity) m_dwVariableId = other->m_dwVariableId;
    m_dwFlags = other->m_dwFlags;
    m_dwReserved = other->m_dwReserved;
    m_textColour = other->m_textColour;
    m_backColour = other->m_backColour;
    m_font.CopyFrom(other->m_font);
  }
  CDisplayResponse::CopyFrom(source, keepIdentity);
}

BOOL CRtfEditorResponse::SetFont(const LOGFONT& font, int size, COLORREF colour) {
  m_font.SetLogFont(font);
  m_font.SetSize(size);
  m_textColour = colour;
  return TRUE;
}

const LOGFONT* CRtfEditorResponse::GetFont(int* size, COLORREF* colour) {
  if (size) *size = m_font.GetPointSize();
  if (colour) *colour = m_textColour;
  return &m_font.GetLogFont();
}
