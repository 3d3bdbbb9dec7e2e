// The rich-text display: streaming, loading files by document type, printing, and hypertext hover and click.
#include "controls/rtf_display.h"

#include <string_view>

#include "controls/converter_file.h"
#include "controls/doc_types.h"
#include "controls/hypertext_notify.h"
#include "controls/rtf_pictures.h"
#include "controls/text_converter.h"
#include "model/file_error_report.h"
#include "model/icon_object.h"
#include "model/message_service.h"
#include "model/string_table.h"
#include "model/text_formats.h"
#include "model/variable.h"
#include "model/variable_context.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/user/wait_cursor.h"

IMPLEMENT_DYNAMIC(CRtfDisplay, CRichEditCtrl)

namespace {

constexpr UINT kDroppedClickFlags = 99;  // a button-down with these key flags is never passed on
constexpr ULONGLONG kLargestFile = 64u << 20;

// Saves the selection and hides it; puts both back when it goes.
class SelectionKeeper {
 public:
  explicit SelectionKeeper(CRichEditCtrl& control) : m_control(control), m_hidden(control.IsSelectionHidden()) {
    control.GetSel(m_start, m_end);
    control.HideSelection(TRUE);
  }
  ~SelectionKeeper() {
    m_control.SetSel(m_start, m_end);
    m_control.HideSelection(m_hidden);
  }
  SelectionKeeper(const SelectionKeeper&) = delete;
  SelectionKeeper& operator=(const SelectionKeeper&) = delete;

 private:
  CRichEditCtrl& m_control;
  BOOL m_hidden;
  long m_start = 0;
  long m_end = 0;
};

long MulDivRound(long value, long by, long over) {
  const long long product = static_cast<long long>(value) * by;
  return static_cast<long>((product >= 0 ? product + over / 2 : product - over / 2) / over);
}

}  // namespace

BOOL LoadRichEdit20() { return TRUE; }

CRtfDisplay::CRtfDisplay() { SetPictureDecoder(DecodeRtfPicture); }

CRtfDisplay::CRtfDisplay(RichTextEnvironment env) : m_env(env) { SetPictureDecoder(DecodeRtfPicture); }

BOOL CRtfDisplay::Create(DWORD exStyle, DWORD style, const CRect& rect, CWnd* parent, UINT id) {
  return CreateEx(exStyle, CString(), style, rect, parent, id);
}

void CRtfDisplay::SetOwner(CIconObject* owner) {
  m_owner = owner;
  InitCharFormat(m_hyperText);
  if (!owner || !owner->GetCharFormat(m_hyperText)) m_owner = nullptr;
  m_hyperText.dwEffects |= CFE_PROTECTED;
  m_hyperText.dwMask &= ~CFM_LINK;
}

BOOL CRtfDisplay::StreamIn(const char* text, int length, int format) {
  CRichEditCtrl::StreamIn(format, std::string_view(text ? text : "", text && length > 0 ? static_cast<std::size_t>(length) : 0));
  return TRUE;
}

void CRtfDisplay::StreamOut(CString& result, int format) const { result = CString(CRichEditCtrl::StreamOut(format)); }

BOOL CRtfDisplay::LoadFile(const CString& path) {
  CDocTypeTable ownTable(m_env.files.converters);
  CDocTypeTable& table = m_env.docTypes ? *m_env.docTypes : ownTable;
  auto report = [&](const std::exception& failure) {
    if (m_env.variables && m_env.messages) {
      CFileErrorReporter reporter(*m_env.variables, *m_env.messages);
      reporter.ReportFileErrorToVariables(path, failure, FALSE, StringId::kFailedToOpen);
    }
  };

  CFileException error;
  m_docType = GetDocTypeFromFile(path, error, m_env.files);
  if (m_docType == DocType::kNone) {
    report(error);
    return FALSE;
  }
  table.ScanForConverters();
  if (!table.Row(m_docType).read) {
    if (m_env.messages) {
      const CString name = table.GetDocTypeString(m_docType, 0);
      m_env.messages->MessageBoxText(FormatStringId1(StringId::kCannotLoadFiles, name), MB_ICONINFORMATION);
    }
    return FALSE;
  }

  std::unique_ptr<CConverterFile> file;
  if (table.Row(m_docType).converter)
    file = std::make_unique<CTextConverter>(m_env.files.converters, table.Row(m_docType).converter,
                                            m_env.files.dataFile, m_env.files.cache);
  else if (m_docType == DocType::kOemText)
    file = std::make_unique<COemFile>(m_env.files.dataFile, m_env.files.cache);
  else
    file = std::make_unique<CConverterFile>(m_env.files.dataFile, m_env.files.cache);
  if (!file->Open(path, CFile::modeRead | CFile::shareDenyWrite, &error)) {
    report(error);
    return FALSE;
  }
  try {
    CWaitCursor wait;
    // A converter's length is not known before it has run.
    const bool converted = table.Row(m_docType).converter != nullptr;
    if (converted || file->GetOpenLength() != 0) {
      std::string bytes;
      char buffer[4096];
      for (;;) {
        const UINT got = file->Read(buffer, sizeof buffer);
        if (got == 0) break;
        bytes.append(buffer, got);
        if (bytes.size() > kLargestFile) throw CFileException(CFileException::genericException, -1, path);
      }
      if (!bytes.empty() || !converted) {
        const bool text = m_docType == DocType::kText || m_docType == DocType::kOemText;
        CRichEditCtrl::StreamIn(text ? SF_TEXT : SF_RTF, bytes);
      }
    }
    file->Close();
  } catch (const std::exception& failure) {
    file->Abort();
    report(failure);
    return FALSE;
  }
  return TRUE;
}

int CRtfDisplay::PrintRect(CDC* dc, const CRect& rect) {
  if (!dc) return 0;
  const long dpiX = std::max(1, dc->GetDeviceCaps(LOGPIXELSX));
  const long dpiY = std::max(1, dc->GetDeviceCaps(LOGPIXELSY));
  const CRect twips(MulDivRound(rect.left, 1440, dpiX), MulDivRound(rect.top, 1440, dpiY),
                    MulDivRound(rect.right, 1440, dpiX), MulDivRound(rect.bottom, 1440, dpiY));
  return static_cast<int>(FormatRange(dc, twips, TRUE));
}

bool CRtfDisplay::IsHyperText(long index) {
  SetSel(index, index + 1);
  CHARFORMAT format;
  GetSelectionCharFormat(format);
  format.dwMask &= ~CFM_LINK;
  return CharFormatEquals(format, m_hyperText) != FALSE;
}

void CRtfDisplay::Hover(CPoint layoutPoint) {
  if (!m_owner || !Playing() || GetTextLength() <= 0) return;
  const long index = CharFromPos(layoutPoint);
  bool over = false;
  if (index >= 0) {
    SelectionKeeper keep(*this);
    over = IsHyperText(index);
  }
  // Off every character counts as off the link: the hand does not stay behind.
  if (over) {
    m_hover = TRUE;
    if (m_env.view) m_env.view->ShowHandCursor();
  } else {
    if (m_hover && m_env.view) m_env.view->RestoreCursor();
    m_hover = FALSE;
  }
}

BOOL CRtfDisplay::Click(CPoint layoutPoint) {
  if (!m_owner || !Playing() || !m_hover) return FALSE;
  const long index = CharFromPos(layoutPoint);
  if (index < 0) return FALSE;
  CString link;
  {
    SelectionKeeper keep(*this);
    if (!IsHyperText(index)) return FALSE;
    long start = index;
    long end = index + 1;
    const long length = GetTextLength();
    while (start > 0 && IsHyperText(start - 1)) --start;
    while (end < length && IsHyperText(end)) ++end;
    SetSel(start, end);
    link = GetSelText();
  }
  const HyperTextNotify click = HyperTextNotify::Click(GetSafeHwnd(), link);
  if (m_env.view) m_env.view->PostHyperTextClick(click);
  if (m_env.variables) {
    if (CVariable* selected = FindVariable(*m_env.variables, "HyperTextSelected")) selected->SetString(click.link);
  }
  return TRUE;
}

// The rectangle shows the text from where a live window is scrolled to.
void CRtfDisplay::OnMouseMove(UINT, int x, int y) { Hover(CPoint(x - m_leftIndent, y) + GetScrollOffset()); }

BOOL CRtfDisplay::OnLButtonDown(UINT, int x, int y) { return Click(CPoint(x - m_leftIndent, y) + GetScrollOffset()); }

LRESULT CRtfDisplay::Forward(UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* parent = GetParent();
  if (!parent) return 0;
  CPoint point = PointFromLParam(lParam);
  ClientToScreen(&point);
  parent->ScreenToClient(&point);
  return parent->SendMessage(message, wParam, MAKELPARAM(point.x, point.y));
}

LRESULT CRtfDisplay::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Where the text is scrolled to counts: the point is on what the window shows.
  const CPoint layoutPoint = LayoutPointFromClient(PointFromLParam(lParam));
  switch (message) {
    case WM_CREATE: {
      const LRESULT result = CRichEditCtrl::WindowProc(message, wParam, lParam);
      SetReadOnly(TRUE);
      CRect client;
      GetClientRect(&client);
      client.left = 0;
      SetRect(client);
      return result;
    }
    case WM_MOUSEMOVE:
      if (m_owner) Hover(layoutPoint);
      return 0;  // never passed on, not even without hypertext
    case WM_SETCURSOR:
      if (!m_owner) break;
      if (m_env.view) {
        if (m_hover) m_env.view->ShowHandCursor();
        else m_env.view->RestoreCursor();
      }
      return TRUE;
    case WM_LBUTTONDOWN:
      if (!m_owner) break;
      if (Playing() && m_hover && Click(layoutPoint)) return 0;
      if (wParam == kDroppedClickFlags || !IsWindowVisible()) return 0;
      return Forward(message, wParam, lParam);
    case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
      if (!m_owner) break;
      return Forward(message, wParam, lParam);
    case WM_SETFOCUS:
      if (!m_owner) break;
      // The display never keeps the focus: it goes back where it came from.
      if (CWnd* previous = FromHandle(reinterpret_cast<HWND>(wParam)); previous && previous != this)
        previous->SetFocus();
      return 0;
    default:
      break;
  }
  return CRichEditCtrl::WindowProc(message, wParam, lParam);
}
