// CRtfEditorDoc: the editor's document: opening and importing files by type, and saving them in a chosen type.
#pragma once

#include "platform/framework/document.h"
#include <memory>

#include "platform/base/exceptions.h"

class CConverterFile;
class CDocTypeTable;
class CRtfEditorView;

// A plain document with one view: no embedded items (pictures in the text
// are shown as what they look like). Files are read and written through the
// converter file of their type; a save goes to a temporary file beside the
// target, which replaces it only when complete.
class CRtfEditorDoc : public CDocument {
  DECLARE_DYNAMIC(CRtfEditorDoc)

 public:
  explicit CRtfEditorDoc(CRtfEditorView* view = nullptr);
  ~CRtfEditorDoc() override;

  CRtfEditorView* GetView() const { return m_view; }
  void SetView(CRtfEditorView* view) { m_view = view; }

  // The type the document writes (DocType, 4 RTF to start with) and the one
  // the last open found.
  int GetSaveType() const { return m_saveType; }
  int GetDocType() const { return m_docType; }
  // Stream RTF rather than plain text.
  BOOL IsRtfMode() const { return m_rtfMode; }
  // Takes a type for writing: RTF mode unless it is a text type (5, 6).
  void SetDocType(int type);
  BOOL IsEmbedded() const { return m_embedded; }
  void SetEmbedded(BOOL embedded) { m_embedded = embedded; }

  // Reads a file of any readable type into the view; errors go to the error
  // variables, an unreadable type to message 179. FALSE on failure, with the
  // view as it was.
  BOOL OnOpenDocument(const CString& path) override;
  // The file object of the type for the mode (the save type when writing).
  std::unique_ptr<CConverterFile> GetFile(const CString& path, UINT mode, CFileException* error);
  // The open or save dialog with the document types' filters; on OK the
  // name and type chosen. Remembers the open dialog's filter between calls.
  BOOL DoPromptFileName(CString& name, UINT titleId, DWORD flags, BOOL forOpening, int* type);
  // Saves under the name, or with none asks one (save as). TRUE when saved.
  BOOL DoSave(const CString& name, BOOL replace = TRUE);
  // The import command: the open dialog, then the chosen file opened.
  BOOL Import();

  // The last filter index an open dialog chose (1-based).
  int GetOpenFilterIndex() const { return m_openFilterIndex; }

 private:
  CDocTypeTable& Table();
  // Writes the view to the path in the save type; throws on failure.
  void WriteFile(const CString& path);

  CRtfEditorView* m_view;  // not owned
  std::unique_ptr<CDocTypeTable> m_ownTable;
  int m_saveType = 4;
  int m_docType = -1;
  BOOL m_forceOemText = FALSE;
  BOOL m_rtfMode = TRUE;
  BOOL m_embedded = FALSE;
  int m_openFilterIndex = 1;
};
