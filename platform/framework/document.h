// CDocument: the data behind one or more views, opened and closed through its
// document template.
#pragma once

#include <vector>

#include "platform/base/cmd_target.h"
#include "platform/base/cstring.h"

class CDocTemplate;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC(CDocument)

 public:
  CDocument() = default;
  ~CDocument() override;

  const CString& GetTitle() const { return m_title; }
  virtual void SetTitle(const CString& title);
  const CString& GetPathName() const { return m_pathName; }
  // Remembers the path and takes its file name as the title.
  virtual void SetPathName(const CString& path);
  BOOL IsModified() const { return m_modified ? TRUE : FALSE; }
  void SetModifiedFlag(BOOL modified = TRUE) { m_modified = modified != FALSE; }
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

  // The views in the order they were added.
  const std::vector<CView*>& Views() const { return m_views; }
  void AddView(CView* view);
  void RemoveView(CView* view);
  // Tells every view but the sender that the document changed.
  void UpdateAllViews(CView* sender, LPARAM hint = 0);

  virtual BOOL OnNewDocument();
  // Opening a file is the document's own business; the base only empties it.
  virtual BOOL OnOpenDocument(const CString& path);
  // Destroys the frames of its views, empties the document and lets its
  // template delete it: nothing of the document may be used afterwards.
  virtual void OnCloseDocument();
  virtual void DeleteContents() {}
  // TRUE when the document may close (a runtime never asks to save).
  virtual BOOL SaveModified() { return TRUE; }
  virtual BOOL CanCloseFrame(CFrameWnd* frame);

  BOOL OnCmdMsg(UINT id, int code, void* extra) override;

 private:
  friend class CDocTemplate;
  CDocTemplate* m_pDocTemplate = nullptr;
  std::vector<CView*> m_views;
  CString m_title;
  CString m_pathName;
  bool m_modified = false;
};

// The framework's OLE container document: nothing of OLE here.
class COleDocument : public CDocument {
  DECLARE_DYNAMIC(COleDocument)
};
