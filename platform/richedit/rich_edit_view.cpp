// The editable rich-text control: a QTextEdit over our own text document, formats, undo, clipboard and search.
#include "platform/richedit/rich_edit_view.h"

#include <QMimeData>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <algorithm>

#include "platform/user/clipboard.h"
#include "platform/base/codepage.h"
#include "platform/gdi/qt_text.h"
#include "platform/richedit/rtf_reader.h"
#include "platform/richedit/rtf_writer.h"

IMPLEMENT_DYNAMIC(CRichEditView, CChildControl)

namespace {

constexpr char16_t kObjectCharacter = 0xFFFC;

// The Qt editor: what it would take from or give to the clipboard and drops
// goes through the control, so our formats travel and others' arrive plain.
class EditorWidget final : public QTextEdit {
 public:
  EditorWidget(CRichEditView& owner, QWidget* parent, int leftMargin) : QTextEdit(parent), m_owner(owner) {
    setViewportMargins(leftMargin, 0, 0, 0);
    setAcceptRichText(false);
    setContextMenuPolicy(Qt::NoContextMenu);
  }
  int LeftMargin() const { return viewportMargins().left(); }

 protected:
  QMimeData* createMimeDataFromSelection() const override {
    m_owner.Copy();
    return nullptr;  // the clipboard already holds it
  }
  bool canInsertFromMimeData(const QMimeData* source) const override { return source && source->hasText(); }
  void insertFromMimeData(const QMimeData* source) override {
    if (!source || !source->hasText()) return;
    textCursor().insertText(source->text());
  }

 private:
  CRichEditView& m_owner;
};

}  // namespace

struct CRichEditView::Impl {
  QTextDocument document;
  std::vector<std::shared_ptr<const tvn::rtf::Picture>> pictures;
  QTextCursor cursor{&document};  // the selection while there is no editor
  QPointer<EditorWidget> editor;

  Impl() {
    document.setDocumentMargin(2);
    document.setUndoRedoEnabled(true);
  }
};

CRichEditView::CRichEditView() : m(std::make_unique<Impl>()) {}

CRichEditView::~CRichEditView() {
  // The editor shows our document: it goes first.
  if (m_hWnd) DestroyWindow();
}

QTextDocument& CRichEditView::Document() { return m->document; }

UINT CRichEditView::RtfClipboardFormat() { return CClipboard::RegisterFormat("Rich Text Format"); }

QWidget* CRichEditView::MakeControl(QWidget* host) {
  auto* editor = new EditorWidget(*this, host, (GetStyle() & ES_SELECTIONBAR) ? kSelectionBarWidth : 0);
  editor->setDocument(&m->document);
  editor->setTextCursor(m->cursor);
  editor->setVerticalScrollBarPolicy((GetStyle() & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  editor->setHorizontalScrollBarPolicy((GetStyle() & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  // Without automatic horizontal scrolling lines wrap at the window's width.
  editor->setLineWrapMode((GetStyle() & ES_AUTOHSCROLL) && (GetStyle() & WS_HSCROLL) ? QTextEdit::NoWrap
                                                                                     : QTextEdit::WidgetWidth);
  m->editor = editor;
  SetReadOnly(m_readOnly);
  return editor;
}

int CRichEditView::OnCreate(const CREATESTRUCT& cs) {
  if (cs.style & ES_READONLY) m_readOnly = TRUE;
  return CChildControl::OnCreate(cs);
}

void CRichEditView::OnDestroy() {
  if (m->editor) {
    m->cursor = m->editor->textCursor();
    m->editor->setDocument(nullptr);
    m->editor = nullptr;
  }
  CChildControl::OnDestroy();
}

BOOL CRichEditView::CtlColor(ControlColours& colours) {
  colours.background = m_background;
  return TRUE;
}

void CRichEditView::PushSelection() const {
  if (m->editor) m->editor->setTextCursor(m->cursor);
}

void CRichEditView::PullSelection() const {
  if (m->editor) m->cursor = m->editor->textCursor();
}

// --- content ---

void CRichEditView::Replace(const tvn::rtf::Document& content) {
  tvn::rtf::FillQtDocument(m->document, content, m->pictures, m_decoder);
  m->cursor = QTextCursor(&m->document);
  PushSelection();
}

void CRichEditView::StreamIn(int format, std::string_view bytes) {
  const bool selection = (format & SFF_SELECTION) != 0;
  const tvn::rtf::Document content =
      (format & SF_RTF) ? tvn::rtf::ReadRtf(bytes).document : tvn::rtf::ReadPlainText(bytes);
  if (!selection) {
    Replace(content);
    return;
  }
  PullSelection();
  tvn::rtf::InsertModel(m->document, m->cursor, content, m->pictures, m_decoder);
  PushSelection();
}

std::string CRichEditView::StreamOut(int format) const {
  const tvn::rtf::Document content = (format & SFF_SELECTION) ? GetSelectionContent() : GetContent();
  return (format & SF_RTF) ? tvn::rtf::WriteRtf(content) : tvn::rtf::WritePlainText(content);
}

void CRichEditView::SetContent(const tvn::rtf::Document& content) { Replace(content); }

tvn::rtf::Document CRichEditView::GetContent() const { return tvn::rtf::ReadQtDocument(m->document, m->pictures); }

tvn::rtf::Document CRichEditView::GetSelectionContent() const {
  long start = 0;
  long end = 0;
  GetSel(start, end);
  return tvn::rtf::SliceModel(GetContent(), start, end);
}

long CRichEditView::GetTextLength() const { return tvn::rtf::DocumentTextLength(m->document); }

CString CRichEditView::GetTextRange(long start, long end) const {
  return tvn::rtf::DocumentTextRange(m->document, start, end);
}

// --- selection ---

void CRichEditView::SetSel(long start, long end) {
  PullSelection();
  const long length = GetTextLength();
  if (start < 0) {
    m->cursor.setPosition(std::clamp<long>(m->cursor.selectionEnd(), 0, length));
  } else {
    start = std::min(start, length);
    end = end < 0 ? length : std::min(end, length);
    if (end < start) std::swap(start, end);
    m->cursor.setPosition(static_cast<int>(start));
    m->cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
  }
  PushSelection();
}

void CRichEditView::GetSel(long& start, long& end) const {
  PullSelection();
  start = m->cursor.selectionStart();
  end = m->cursor.selectionEnd();
}

CString CRichEditView::GetSelText() const {
  long start = 0;
  long end = 0;
  GetSel(start, end);
  return GetTextRange(start, end);
}

WORD CRichEditView::GetSelectionType() const {
  PullSelection();
  if (!m->cursor.hasSelection()) return SEL_EMPTY;
  const QString text = m->cursor.selectedText();
  int objects = 0;
  int characters = 0;
  for (QChar c : text) {
    if (c.unicode() == kObjectCharacter) ++objects;
    else ++characters;
  }
  WORD type = 0;
  if (characters == 1) type |= SEL_TEXT;
  if (characters > 1) type |= SEL_TEXT | SEL_MULTICHAR;
  if (objects == 1) type |= SEL_OBJECT;
  if (objects > 1) type |= SEL_MULTIOBJECT;
  return type;
}

void CRichEditView::ReplaceSel(const CString& text, BOOL canUndo) {
  PullSelection();
  m->cursor.insertText(gdi::ToQt(text));
  if (!canUndo) m->document.clearUndoRedoStacks();
  PushSelection();
}

// --- formats ---

DWORD CRichEditView::GetSelectionCharFormat(CHARFORMAT& format) const {
  PullSelection();
  if (!m->cursor.hasSelection()) {
    format = tvn::rtf::FromQtCharFormat(m->editor ? m->editor->currentCharFormat() : m->cursor.charFormat());
    return format.dwMask;
  }
  format = tvn::rtf::CharFormatOfRange(m->document, m->cursor.selectionStart(), m->cursor.selectionEnd());
  return format.dwMask;
}

BOOL CRichEditView::SetSelectionCharFormat(const CHARFORMAT& format) {
  PullSelection();
  if (m->cursor.hasSelection()) {
    tvn::rtf::ApplyCharFormat(m->document, m->cursor.selectionStart(), m->cursor.selectionEnd(), format);
    return TRUE;
  }
  // The format typing takes; in an empty paragraph also the paragraph's own.
  CHARFORMAT typing =
      tvn::rtf::FromQtCharFormat(m->editor ? m->editor->currentCharFormat() : m->cursor.charFormat());
  tvn::rtf::MergeMaskedCharFormat(typing, format);
  const QTextCharFormat q = tvn::rtf::ToQtCharFormat(typing);
  if (m->cursor.block().length() <= 1) m->cursor.setBlockCharFormat(q);
  m->cursor.setCharFormat(q);
  PushSelection();
  if (m->editor) m->editor->setCurrentCharFormat(q);
  return TRUE;
}

BOOL CRichEditView::SetDefaultCharFormat(const CHARFORMAT& format) {
  tvn::rtf::MergeMaskedCharFormat(m_defaultFormat, format);
  if (GetTextLength() == 0) {
    const QTextCharFormat q = tvn::rtf::ToQtCharFormat(m_defaultFormat);
    QTextCursor all(&m->document);
    all.setBlockCharFormat(q);
    all.setCharFormat(q);
    m->cursor = all;
    PushSelection();
    if (m->editor) m->editor->setCurrentCharFormat(q);
  }
  return TRUE;
}

DWORD CRichEditView::GetParaFormat(PARAFORMAT& format) const {
  PullSelection();
  format = tvn::rtf::ParaFormatOfRange(m->document, m->cursor.selectionStart(), m->cursor.selectionEnd());
  return format.dwMask;
}

BOOL CRichEditView::SetParaFormat(const PARAFORMAT& format) {
  PullSelection();
  tvn::rtf::ApplyParaFormat(m->document, m->cursor.selectionStart(), m->cursor.selectionEnd(), format);
  return TRUE;
}

// --- editing ---

BOOL CRichEditView::CanUndo() const { return m->document.isUndoAvailable() ? TRUE : FALSE; }

BOOL CRichEditView::Undo() {
  if (!m->document.isUndoAvailable()) return FALSE;
  PullSelection();
  m->document.undo(&m->cursor);
  PushSelection();
  return TRUE;
}

void CRichEditView::EmptyUndoBuffer() { m->document.clearUndoRedoStacks(); }

BOOL CRichEditView::GetModify() const { return m->document.isModified() ? TRUE : FALSE; }

void CRichEditView::SetModify(BOOL modified) { m->document.setModified(modified != FALSE); }

void CRichEditView::SetReadOnly(BOOL readOnly) {
  m_readOnly = readOnly;
  if (!m->editor) return;
  m->editor->setReadOnly(readOnly != FALSE);
  // Read-only text takes no mouse at all and keeps the arrow.
  m->editor->setTextInteractionFlags(readOnly ? Qt::NoTextInteraction : Qt::TextEditorInteraction);
  m->editor->viewport()->setCursor(readOnly ? Qt::ArrowCursor : Qt::IBeamCursor);
}

void CRichEditView::Copy() const {
  PullSelection();
  if (!m->cursor.hasSelection()) return;
  const tvn::rtf::Document part = GetSelectionContent();
  CClipboard::SetTextAndData(CString(tvn::rtf::WritePlainText(part)), {{RtfClipboardFormat(), tvn::rtf::WriteRtf(part)}});
}

void CRichEditView::Cut() {
  if (m_readOnly) return;
  PullSelection();
  if (!m->cursor.hasSelection()) return;
  Copy();
  m->cursor.removeSelectedText();
  PushSelection();
}

BOOL CRichEditView::CanPaste() const {
  return CClipboard::HasFormat(RtfClipboardFormat()) || CClipboard::HasText() ? TRUE : FALSE;
}

void CRichEditView::Paste() {
  if (m_readOnly) return;
  PullSelection();
  if (std::optional<std::string> rtf = CClipboard::GetData(RtfClipboardFormat())) {
    tvn::rtf::InsertModel(m->document, m->cursor, tvn::rtf::ReadRtf(*rtf).document, m->pictures, m_decoder);
  } else if (CClipboard::HasText()) {
    // Text from elsewhere takes the format at the caret.
    m->cursor.insertText(gdi::ToQt(CClipboard::GetText()));
  }
  PushSelection();
}

void CRichEditView::Clear() {
  if (m_readOnly) return;
  PullSelection();
  m->cursor.removeSelectedText();
  PushSelection();
}

CRichEditView::Range CRichEditView::FindText(const CString& text, long from, BOOL matchCase, BOOL wholeWord) const {
  if (text.IsEmpty()) return {};
  QTextDocument::FindFlags flags;
  if (matchCase) flags |= QTextDocument::FindCaseSensitively;
  if (wholeWord) flags |= QTextDocument::FindWholeWords;
  const QTextCursor found =
      m->document.find(gdi::ToQt(text), static_cast<int>(std::clamp(from, 0L, GetTextLength())), flags);
  if (found.isNull()) return {};
  return {found.selectionStart(), found.selectionEnd()};
}

// --- look ---

COLORREF CRichEditView::SetBackgroundColor(COLORREF colour) {
  const COLORREF old = m_background;
  m_background = colour;
  RefreshColours();
  return old;
}

CPoint CRichEditView::PosFromChar(long index) const {
  if (!m->editor) return CPoint();
  QTextCursor at(&m->document);
  at.setPosition(static_cast<int>(std::clamp(index, 0L, GetTextLength())));
  const QRect caret = m->editor->cursorRect(at);
  const QPoint inEditor = m->editor->viewport()->mapTo(m->editor, caret.topLeft());
  return CPoint(inEditor.x(), inEditor.y());
}

int CRichEditView::GetLeftMargin() const { return m->editor ? m->editor->LeftMargin() : 0; }

LRESULT CRichEditView::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case EM_SETREADONLY:
      SetReadOnly(wParam != 0);
      return TRUE;
    case WM_COPY:
      Copy();
      return 0;
    case WM_CUT:
      Cut();
      return 0;
    case WM_PASTE:
      Paste();
      return 0;
    case WM_CLEAR:
      Clear();
      return 0;
    case EM_UNDO:
    case WM_UNDO:
      return Undo();
    case EM_CANUNDO:
      return CanUndo();
    case EM_EMPTYUNDOBUFFER:
      EmptyUndoBuffer();
      return 0;
    case EM_GETMODIFY:
      return GetModify();
    case EM_SETMODIFY:
      SetModify(wParam != 0);
      return 0;
    default:
      return CChildControl::DefWindowProc(message, wParam, lParam);
  }
}
