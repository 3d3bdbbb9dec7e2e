#include "platform/framework/doc_template.h"

#include <algorithm>

#include "platform/framework/document.h"
#include "platform/framework/frame_wnd.h"
#include "platform/base/number_text.h"
#include "platform/framework/win_app.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                           const CRuntimeClass* viewClass)
    : m_resourceId(resourceId), m_docClass(docClass), m_frameClass(frameClass), m_viewClass(viewClass) {}

CDocTemplate::~CDocTemplate() {
  // Documents still open go with their template; their frames are closed first.
  CloseAllDocuments(TRUE);
}

void CDocTemplate::LoadTemplate() {
  if (CWinApp* app = CWinApp::Get()) m_docString = app->LoadResourceString(m_resourceId);
}

BOOL CDocTemplate::GetDocString(CString& out, DocStringIndex index) const {
  std::string_view rest = m_docString.view();
  for (int i = 0; i < index; ++i) {
    std::size_t nl = rest.find('\n');
    if (nl == std::string_view::npos) {
      out.Empty();
      return FALSE;
    }
    rest.remove_prefix(nl + 1);
  }
  out = CString(rest.substr(0, rest.find('\n')));
  return out.IsEmpty() ? FALSE : TRUE;
}

bool CDocTemplate::HasDocument(const CDocument* doc) const {
  return std::any_of(m_documents.begin(), m_documents.end(), [doc](const auto& d) { return d.get() == doc; });
}

void CDocTemplate::RemoveDocument(CDocument* doc) {
  auto it = std::find_if(m_documents.begin(), m_documents.end(), [doc](const auto& d) { return d.get() == doc; });
  if (it == m_documents.end()) return;
  std::unique_ptr<CDocument> gone = std::move(*it);
  m_documents.erase(it);
  gone->m_pDocTemplate = nullptr;
}

void CDocTemplate::CloseAllDocuments(BOOL) {
  while (!m_documents.empty()) {
    CDocument* doc = m_documents.back().get();
    doc->OnCloseDocument();
    if (HasDocument(doc)) RemoveDocument(doc);  // a document that refused still goes
  }
}

bool CDocTemplate::MatchesFileExtension(const CString& path) const {
  CString ext;
  if (!GetDocString(ext, filterExt)) return false;
  return path.GetLength() >= ext.GetLength() && path.Right(ext.GetLength()).CompareNoCase(ext.view()) == 0;
}

CDocument* CDocTemplate::CreateNewDocument() {
  if (!m_docClass || !m_docClass->m_pfnCreateObject) return nullptr;
  std::unique_ptr<CObject> object = m_docClass->CreateObject();
  auto* doc = DynamicDowncast<CDocument>(object.get());
  if (!doc) return nullptr;
  object.release();
  doc->m_pDocTemplate = this;
  m_documents.emplace_back(doc);
  return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc) {
  if (!m_frameClass || !m_frameClass->m_pfnCreateObject) return nullptr;
  std::unique_ptr<CObject> object = m_frameClass->CreateObject();
  auto* frame = DynamicDowncast<CFrameWnd>(object.get());
  if (!frame) return nullptr;
  CCreateContext context;
  context.m_pNewViewClass = m_viewClass;
  context.m_pCurrentDoc = doc;
  context.m_pNewDocTemplate = this;
  if (!frame->LoadFrame(m_resourceId, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) return nullptr;
  return static_cast<CFrameWnd*>(static_cast<CObject*>(object.release()));  // deletes itself with its window
}

void CDocTemplate::SetDefaultTitle(CDocument* doc) {
  CString name;
  if (!GetDocString(name, docName)) name = "Untitled";
  if (DynamicDowncast<CMultiDocTemplate>(this)) {
    name += CString(tvn::numtext::FormatInteger(++m_untitledCount));
  }
  doc->SetTitle(name);
}

bool CDocTemplate::OpenInto(CDocument* doc, const CString* path) {
  if (!path) return doc->OnNewDocument() != FALSE;
  if (!doc->OnOpenDocument(*path)) return false;
  doc->SetPathName(*path);
  return true;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const CString* path, BOOL makeVisible) {
  CDocument* doc = m_documents.empty() ? nullptr : m_documents.front().get();
  CFrameWnd* frame = nullptr;
  if (doc) {
    if (!doc->SaveModified()) return nullptr;
    frame = doc->Views().empty() ? nullptr : doc->Views().front()->GetParentFrame();
  } else {
    doc = CreateNewDocument();
    if (!doc) return nullptr;
    frame = CreateNewFrame(doc);
    if (m_frameClass && !frame) {
      RemoveDocument(doc);
      return nullptr;
    }
  }
  if (!path) SetDefaultTitle(doc);
  if (!OpenInto(doc, path)) {
    // The one document stays for the next try, as empty as a new one.
    doc->OnNewDocument();
    return nullptr;
  }
  if (frame) frame->InitialUpdateFrame(doc, makeVisible);
  return doc;
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const CString* path, BOOL makeVisible) {
  CDocument* doc = CreateNewDocument();
  if (!doc) return nullptr;
  CFrameWnd* frame = CreateNewFrame(doc);
  if (m_frameClass && !frame) {
    RemoveDocument(doc);
    return nullptr;
  }
  if (!path) SetDefaultTitle(doc);
  if (!OpenInto(doc, path)) {
    if (frame) frame->DestroyWindow();
    if (HasDocument(doc)) RemoveDocument(doc);
    return nullptr;
  }
  if (frame) frame->InitialUpdateFrame(doc, makeVisible);
  return doc;
}
