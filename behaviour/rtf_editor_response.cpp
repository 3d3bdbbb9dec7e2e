// The rich-text editor response: stored form, the editor's life on the page,
// filling it from the variable (or a read-only file) and writing its RTF back.
#include "behaviour/rtf_editor_response.h"

#include "behaviour/response_view.h"
#include "behaviour/window_action.h"
#include "controls/rtf_editor_doc.h"
#include "model/archive.h"
#include "model/course_host.h"
#include "model/data_mem_file.h"
#include "model/task.h"
#include "model/task_services.h"
#include "model/variable.h"
#include "model/variable_context.h"
#include "page/off_screen_view.h"
#include "platform/user/edit_messages.h"
#include "platform/gdi/system_metrics.h"

IMPLEMENT_SERIAL(CRtfEditorResponse, CDisplayResponse, VERSIONABLE_SCHEMA | 2)

CRtfEditorResponse::CRtfEditorResponse()
    : CFormFieldResponse(ResponseKind::kRtfEditor, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)) {}

CRtfEditorResponse::CRtfEditorResponse(const CRtfEditorResponse& other)
    : CFormFieldResponse(other),
      m_dwVariableId(other.m_dwVariableId),
      m_dwFlags(other.m_dwFlags),
      m_dwReserved(other.m_dwReserved) {}

CRtfEditorResponse::~CRtfEditorResponse() {
  Display().LeavePage(this);
  Unload();
}

DWORD CRtfEditorResponse::StyleOf(DWORD flags) {
  using namespace RtfEditorFlag;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP;
  if (flags & kBorder) style |= WS_BORDER;
  if (!(flags & kReadOnly)) style |= ES_SAVESEL | ES_NOHIDESEL | ES_SELECTIONBAR;
  if (flags & kVScroll) style |= WS_VSCROLL | ES_AUTOVSCROLL | ES_MULTILINE;
  if (flags & kHScroll) style |= WS_HSCROLL | ES_AUTOHSCROLL;
  return style;
}

void CRtfEditorResponse::Serialize(CArchive& ar) {
  m_dwVariableId = ar.ReadDword();
  m_dwFlags = ar.ReadDword();
  m_dwReserved = ar.ReadDword();
  ReadColours(ar);
  m_font.Serialize(ar);
  SerializeDisplay(ar, RUNTIME_CLASS(CDisplayResponse));
}

void CRtfEditorResponse::CopyFrom(const CIconObject* source, BOOL keepIdentity) {
  if (const auto* other = dynamic_cast<const CRtfEditorResponse*>(source)) {
    if (!keepIdentity) m_dwVariableId = other->m_dwVariableId;
    m_dwFlags = other->m_dwFlags;
    m_dwReserved = other->m_dwReserved;
    CopyLookFrom(*other);
  }
  CDisplayResponse::CopyFrom(source, keepIdentity);
}

void CRtfEditorResponse::Unload() {
  if (m_pEditor) m_pEditor->DestroyWindow();
  m_pEditor.reset();
}

void CRtfEditorResponse::SizeObject(const CRect& rect) {
  CRect client;
  if (!m_pEditor || !m_pEditor->GetSafeHwnd() || !ToClient(rect, &client)) return;
  m_pEditor->SetWindowPos(nullptr, client.left, client.top, client.Width(), client.Height(),
                          SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CRtfEditorResponse::Draw(CDC*, int, const CRect* rect) {
  const CRect area = DrawArea(rect);
  SizeObject(area);
}

BOOL CRtfEditorResponse::SetBackColour(COLORREF colour) {
  if (colour == m_backColour) return FALSE;
  m_backColour = colour;
  if (m_pEditor) m_pEditor->SetBackgroundColor(m_backColour);
  return TRUE;
}

RtfEditorEnvironment CRtfEditorResponse::EnvironmentOfTask() {
  RtfEditorEnvironment env;
  COffScreenView* page = PageViewOf(this);
  // The presentation view offers what it has of these; a bare page none.
  env.text.view = dynamic_cast<IRichTextView*>(page);
  env.dialogs = dynamic_cast<IRtfEditorDialogs*>(page);
  env.status = dynamic_cast<IEditorStatus*>(page);
  env.pageBackground = GetSysColor(COLOR_WINDOW);
  if (page)
    if (const auto* settings = dynamic_cast<const CWindowAction*>(&page->GetPageSettings()))
      env.pageBackground = settings->GetBackgroundColour();
  ITaskServices* services = TaskServicesOf(this);
  if (!services) return env;
  env.text.variables = &services->Variables();
  if (ICourseHost* host = services->Host()) {
    env.text.messages = &host->Messages();
    env.text.files.dataFile = &host->DataFile();
    env.text.files.cache = host->GetPreloadCache();
  }
  return env;
}

BOOL CRtfEditorResponse::CreateEditor(COffScreenView& page, const CRect& pageRect) {
  using namespace RtfEditorFlag;
  CRect client = pageRect;
  page.LogicalToClientRect(&client);
  std::unique_ptr<CRtfEditorView> editor = NewEditor();
  editor->SetEnvironment(EnvironmentOfTask());
  if (!editor->Create(&page, client, StyleOf(m_dwFlags), kRtfEditorControlId)) return FALSE;
  editor->SetCharFormatFromFont(m_font.GetLogFont(), m_font.GetPointSize(), m_textColour);
  editor->SetReadOnly((m_dwFlags & kReadOnly) ? TRUE : FALSE);
  editor->SetBackgroundColor(m_backColour);
  editor->SetContextMenuPopup((m_dwFlags & kContextMenu) ? 1 : 0);
  m_pEditor = std::move(editor);
  return TRUE;
}

BOOL CRtfEditorResponse::OpenReadOnlyFile(const CString& name) {
  ITaskServices* services = TaskServicesOf(this);
  ICourseHost* host = services ? services->Host() : nullptr;
  const CString path = services ? services->FindMediaFile(name) : name;
  CDataMemFile probe(host ? &host->DataFile() : nullptr, host ? host->GetPreloadCache() : nullptr);
  // Quietly: a name that opens nothing falls back to the text. Only a file
  // that really opened counts; "may be missing" is no open file.
  CFileException error;
  if (!probe.Open(path, CFile::modeRead | CFile::shareDenyWrite, &error) || !probe.IsOpen()) return FALSE;
  probe.Close();
  m_pEditor->SetRtfText(CString());
  m_pEditor->GetDocument()->OnOpenDocument(path);
  return TRUE;
}

void CRtfEditorResponse::FillFromVariable() {
  if (!m_pEditor || !(m_dwFlags & RtfEditorFlag::kFillFromVariable) || m_dwVariableId == 0) return;
  ITaskServices* services = TaskServicesOf(this);
  CVariable* variable = services ? FindVariableById(services->Variables(), static_cast<LONG>(m_dwVariableId)) : nullptr;
  if (!variable || variable->GetType() != VarType::kString) return;
  const CString& text = variable->GetString();
  if (text.IsEmpty()) return;
  if ((m_dwFlags & RtfEditorFlag::kReadOnly) && OpenReadOnlyFile(text.Left(kRtfEditorFileNameLimit))) return;
  m_pEditor->SetRtfText(text);
}

BOOL CRtfEditorResponse::Activate() {
  CRect rect;
  GetRect(&rect);
  if (rect.IsRectEmpty()) return TRUE;
  if (!PageInMode1(this)) Unload();
  COffScreenView* page = PageViewOf(this);
  if (!page) return TRUE;
  if (m_pEditor && m_pEditor->GetSafeHwnd()) {
    m_pEditor->ShowWindow(SW_SHOW);
  } else if (!page->GetSafeHwnd() || !CreateEditor(*page, rect)) {
    return TRUE;
  }
  FillFromVariable();
  Display().NoteShownOn(this);
  page->AddObject(this, 0);
  return TRUE;
}

int CRtfEditorResponse::ExecuteResponse(int*) {
  if (!m_pEditor || !m_pEditor->GetSafeHwnd() || (m_dwFlags & RtfEditorFlag::kReadOnly) || m_dwVariableId == 0)
    return 0;
  ITaskServices* services = TaskServicesOf(this);
  CVariable* variable = services ? FindVariableById(services->Variables(), static_cast<LONG>(m_dwVariableId)) : nullptr;
  // Only a string variable takes the text; a failing read changes nothing.
  if (!variable || variable->GetType() != VarType::kString) return 0;
  CString text;
  if (m_pEditor->GetRtfText(text)) variable->SetString(text);
  return 0;
}
