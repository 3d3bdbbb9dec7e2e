// CRichEditView: the editable rich-text control, a Qt text editor over a document whose runs keep their exact formats.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/user/child_control.h"
#include "platform/user/richtext_types.h"
#include "platform/richedit/rtf_document.h"
#include "platform/richedit/rtf_qt_bridge.h"

class QTextDocument;

// Selection type bits (EM_SELECTIONTYPE).
constexpr WORD SEL_EMPTY = 0x0000;
constexpr WORD SEL_TEXT = 0x0001;
constexpr WORD SEL_OBJECT = 0x0002;
constexpr WORD SEL_MULTICHAR = 0x0004;
constexpr WORD SEL_MULTIOBJECT = 0x0008;

// Styles of rich-text windows beyond the edit styles.
constexpr DWORD ES_SAVESEL = 0x00008000;
constexpr DWORD ES_SELECTIONBAR = 0x01000000;
// Stream flag: only the selection goes out or is replaced.
constexpr int SFF_SELECTION = 0x8000;

// Options of EM_SETOPTIONS.
constexpr DWORD ECO_AUTOWORDSELECTION = 0x00000001;

// The width of the selection bar, the left margin where a click selects lines.
constexpr int kSelectionBarWidth = 8;

// The content lives in a Qt text document owned by the control, so it can be
// filled, read and formatted before the window exists (and without widgets);
// once created a Qt text editor shows and edits it. Keys and clicks arrive as
// messages first (see CChildControl); the default handling gives them to the
// editor. Character positions count a paragraph end as one. The clipboard
// carries our own RTF under "Rich Text Format" besides the plain text, so a
// fragment keeps its exact formats between editors; text from elsewhere is
// pasted as plain text in the format at the caret.
class CRichEditView : public CChildControl {
  DECLARE_DYNAMIC(CRichEditView)

 public:
  CRichEditView();
  ~CRichEditView() override;

  // --- content ---
  // Replaces the content (or with SFF_SELECTION the selection) with bytes in
  // a stream format (SF_TEXT: lines of 1252 text; SF_RTF). Badly formed RTF
  // keeps what was read.
  void StreamIn(int format, std::string_view bytes);
  // The content (or with SFF_SELECTION the selection) in a stream format.
  std::string StreamOut(int format) const;
  void SetContent(const tvn::rtf::Document& content);
  tvn::rtf::Document GetContent() const;
  tvn::rtf::Document GetSelectionContent() const;
  long GetTextLength() const;
  CString GetTextRange(long start, long end) const;
  void SetPictureDecoder(tvn::rtf::PictureDecoder decoder) { m_decoder = std::move(decoder); }

  // --- selection ---
  // Positions are clamped to the text; an end of -1 means the text's end; a
  // negative start collapses the selection at its end.
  void SetSel(long start, long end);
  void GetSel(long& start, long& end) const;
  CString GetSelText() const;
  // SEL_ bits of the selection.
  WORD GetSelectionType() const;
  void HideSelection(BOOL hide) { m_hideSelection = hide; }
  BOOL IsSelectionHidden() const { return m_hideSelection; }
  // Replaces the selection with 1252 text in the format at its start.
  void ReplaceSel(const CString& text, BOOL canUndo = TRUE);

  // --- formats ---
  // The selection's format: each attribute that varies over it has its mask
  // bit cleared; an empty selection gives the format typing would use.
  DWORD GetSelectionCharFormat(CHARFORMAT& format) const;
  // Applies the attributes the mask names to the selection (to the typing
  // format when it is empty); the rest of each run stays.
  BOOL SetSelectionCharFormat(const CHARFORMAT& format);
  // The format new text takes where nothing else says, and all the text's.
  BOOL SetDefaultCharFormat(const CHARFORMAT& format);
  const CHARFORMAT& GetDefaultCharFormat() const { return m_defaultFormat; }
  DWORD GetParaFormat(PARAFORMAT& format) const;
  // Applies the attributes the mask names to every paragraph the selection touches.
  BOOL SetParaFormat(const PARAFORMAT& format);

  // --- editing ---
  BOOL CanUndo() const;
  // Undoes the last step; FALSE when there was none.
  BOOL Undo();
  void EmptyUndoBuffer();
  BOOL GetModify() const;
  void SetModify(BOOL modified = TRUE);
  void SetReadOnly(BOOL readOnly);
  BOOL IsReadOnly() const { return m_readOnly; }
  DWORD GetOptions() const { return m_options; }
  void SetOptions(DWORD options) { m_options = options; }
  void Copy() const;
  void Cut();
  // Our own RTF when the clipboard holds it, else its plain text.
  void Paste();
  BOOL CanPaste() const;
  void Clear();
  // Finds text from a position forwards; the found range, or start -1.
  // Whole words only: the match has no letter or digit on either side.
  struct Range {
    long start = -1;
    long end = -1;
  };
  Range FindText(const CString& text, long from, BOOL matchCase, BOOL wholeWord) const;

  // --- look ---
  COLORREF SetBackgroundColor(COLORREF colour);
  COLORREF GetBackgroundColor() const { return m_background; }
  // The top left of a character in the editor's client coordinates.
  CPoint PosFromChar(long index) const;
  // The editor's left margin (the selection bar), in pixels.
  int GetLeftMargin() const;

  // The Qt document behind the control.
  QTextDocument& Document();

  // The clipboard format id of our RTF.
  static UINT RtfClipboardFormat();

 protected:
  QWidget* MakeControl(QWidget* host) override;
  UINT CtlColorMessage() const override { return WM_CTLCOLOREDIT; }
  BOOL CtlColor(ControlColours& colours) override;
  int OnCreate(const CREATESTRUCT& cs) override;
  void OnDestroy() override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Impl;
  // Applies the model to the document and resets the selection.
  void Replace(const tvn::rtf::Document& content);
  void PushSelection() const;
  void PullSelection() const;

  std::unique_ptr<Impl> m;
  tvn::rtf::PictureDecoder m_decoder;
  CHARFORMAT m_defaultFormat = tvn::rtf::DefaultCharFormat();
  BOOL m_hideSelection = FALSE;
  BOOL m_readOnly = FALSE;
  DWORD m_options = ECO_AUTOWORDSELECTION;
  COLORREF m_background = RGB(255, 255, 255);
};
