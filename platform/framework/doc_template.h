// Document templates: how a kind of document is made together with its frame
// and view. A single-document template keeps one document and reuses it; a
// multi-document template makes a new one for every file.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/cmd_target.h"
#include "platform/base/cstring.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
  DECLARE_DYNAMIC(CDocTemplate)

 public:
  // The fields of the template's string, separated by "\n".
  enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

  CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
               const CRuntimeClass* viewClass);
  ~CDocTemplate() override;

  UINT GetResourceId() const { return m_resourceId; }
  // The template string comes from the application's string of the resource id.
  void LoadTemplate();
  void SetDocString(const CString& text) { m_docString = text; }
  BOOL GetDocString(CString& out, DocStringIndex index) const;

  // Opens the file (a new, empty document with none) with its frame and view;
  // null when the document does not open.
  virtual CDocument* OpenDocumentFile(const CString* path, BOOL makeVisible = TRUE) = 0;
  const std::vector<std::unique_ptr<CDocument>>& Documents() const { return m_documents; }
  bool HasDocument(const CDocument* doc) const;
  // Deletes the document (it has closed).
  virtual void RemoveDocument(CDocument* doc);
  void CloseAllDocuments(BOOL endSession);
  // How well the file name suits this template: its extension against the filter extension.
  bool MatchesFileExtension(const CString& path) const;

 protected:
  CDocument* CreateNewDocument();
  CFrameWnd* CreateNewFrame(CDocument* doc);
  void SetDefaultTitle(CDocument* doc);
  // Opens a path or a new document into an existing document object.
  static bool OpenInto(CDocument* doc, const CString* path);

  UINT m_resourceId;
  const CRuntimeClass* m_docClass;
  const CRuntimeClass* m_frameClass;
  const CRuntimeClass* m_viewClass;
  CString m_docString;
  std::vector<std::unique_ptr<CDocument>> m_documents;
  int m_untitledCount = 0;
};

class CSingleDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CSingleDocTemplate)

 public:
  using CDocTemplate::CDocTemplate;
  CDocument* OpenDocumentFile(const CString* path, BOOL makeVisible = TRUE) override;
};

class CMultiDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CMultiDocTemplate)

 public:
  using CDocTemplate::CDocTemplate;
  CDocument* OpenDocumentFile(const CString* path, BOOL makeVisible = TRUE) override;
};
