// The rich-text editor view: creation, default formats, read-only mode, streaming and its messages.
#include "controls/rtf_editor_view.h"

#include <cstring>

#include "controls/rtf_editor_doc.h"
#include "controls/rtf_pictures.h"
#include "model/file_error_report.h"
#include "model/string_table.h"
#include "model/text_formats.h"
#include "model/variable_context.h"
#include "platform/user/cursor.h"
#include "platform/sys/file.h"
#include "platform/user/message_loop.h"
#include "platform/user/wait_cursor.h"

IMPLEMENT_DYNAMIC(CRtfEditorView, CRichEditView)

namespace {

// The default formats name these attributes; the face joins once it is in.
constexpr DWORD kDefaultFontMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_SIZE |
                                   CFM_COLOR | CFM_OFFSET;
constexpr DWORD kFontMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_COLOR | CFM_FACE |
                            CFM_OFFSET;
constexpr LONG kDefaultHeight = 200;  // twips: 10 points
constexpr ULONGLONG kLargestStream = 64u << 20;
constexpr UINT kShiftF10 = VK_F10;

void CopyFace(CHARFORMAT& format, const CString& face) {
  std::memset(format.szFaceName, 0, sizeof format.szFaceName);
  std::memcpy(format.szFaceName, face.view().data(), std::min<std::size_t>(face.view().size(), LF_FACESIZE - 1));
}

// The attributes of a format that a mask names (effect bits with them).
CHARFORMAT Only(const CHARFORMAT& format, DWORD mask) {
  CHARFORMAT out;
  InitCharFormat(out);
  out.dwMask = mask;
  const DWORD effects = mask & (CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_LINK);
  out.dwEffects = format.dwEffects & (effects | ((mask & CFM_COLOR) ? CFE_AUTOCOLOR : 0));
  if (mask & CFM_SIZE) out.yHeight = format.yHeight;
  if (mask & CFM_OFFSET) out.yOffset = format.yOffset;
  if (mask & CFM_COLOR) out.crTextColor = format.crTextColor;
  if (mask & CFM_FACE) {
    std::memcpy(out.szFaceName, format.szFaceName, LF_FACESIZE);
    out.bPitchAndFamily = format.bPitchAndFamily;
  }
  return out;
}

// Saves the selection and hides it; puts both back when it goes.
class SelectionKeeper {
 public:
  explicit SelectionKeeper(CRichEditView& view) : m_view(view), m_hidden(view.IsSelectionHidden()) {
    view.GetSel(m_start, m_end);
    view.HideSelection(TRUE);
  }
  ~SelectionKeeper() {
    m_view.SetSel(m_start, m_end);
    m_view.HideSelection(m_hidden);
  }
  SelectionKeeper(const SelectionKeeper&) = delete;
  SelectionKeeper& operator=(const SelectionKeeper&) = delete;

 private:
  CRichEditView& m_view;
  BOOL m_hidden;
  long m_start = 0;
  long m_end = 0;
};

}  // namespace

CRtfEditorView::CRtfEditorView(CIconObject* owner)
    : m_doc(std::make_unique<CRtfEditorDoc>(this)), m_owner(owner) {
  InitCharFormat(m_proportional);
  InitCharFormat(m_fixedPitch);
  SetPictureDecoder(DecodeRtfPicture);
  SetDefaultFont();
}

CRtfEditorView::~CRtfEditorView() {
  if (m_hWnd) DestroyWindow();
}

BOOL CRtfEditorView::Create(CWnd* parent, const CRect& rect, DWORD style, UINT id) {
  // A new document goes with every window.
  m_doc = std::make_unique<CRtfEditorDoc>(this);
  if (!CreateEx(0, CString(), style, rect, parent, id)) return FALSE;
  ApplyDefaultFormat(FALSE);
  SetBackgroundColor(m_env.pageBackground);
  return TRUE;
}

BOOL CRtfEditorView::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CRichEditView::PreCreateWindow(cs)) return FALSE;
  cs.style |= ES_SELECTIONBAR;
  cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
  return TRUE;
}

int CRtfEditorView::OnCreate(const CREATESTRUCT& cs) {
  if (CRichEditView::OnCreate(cs) == -1) return -1;
  SetOptions(GetOptions() & ~ECO_AUTOWORDSELECTION);
  SetDefaultFont();
  GetParaFormat(m_defaultPara);
  m_defaultPara.cTabCount = 0;
  ApplyDefaultFormat(FALSE);
  return 0;
}

void CRtfEditorView::SetDefaultFont() {
  const struct {
    CHARFORMAT* format;
    UINT faceId;
  } kDefaults[] = {{&m_fixedPitch, StringId::kFixedPitchFace}, {&m_proportional, StringId::kProportionalFace}};
  for (const auto& entry : kDefaults) {
    CHARFORMAT& format = *entry.format;
    InitCharFormat(format);
    format.dwMask = kDefaultFontMask;
    format.dwEffects = CFE_AUTOCOLOR;
    format.yHeight = kDefaultHeight;
    CopyFace(format, LoadStringText(entry.faceId));
    format.dwMask |= CFM_FACE;
  }
}

void CRtfEditorView::SetCharFormatFromFont(const LOGFONT& font, int pointSize, COLORREF colour) {
  CHARFORMAT& format = m_proportional;
  format.dwMask = kFontMask;
  format.yHeight = TwipsFromPoints(pointSize);
  format.crTextColor = colour;
  format.dwEffects &= ~CFE_AUTOCOLOR;
  if (font.lfWeight > 400) format.dwEffects |= CFE_BOLD;
  if (font.lfItalic == 1) format.dwEffects |= CFE_ITALIC;
  if (font.lfUnderline == 1) format.dwEffects |= CFE_UNDERLINE;
  if (font.lfStrikeOut == 1) format.dwEffects |= CFE_STRIKEOUT;
  format.bPitchAndFamily = font.lfPitchAndFamily;
  CopyFace(format, CString(std::string_view(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE))));
  ApplyDefaultFormat(FALSE);
}

void CRtfEditorView::ApplyDefaultFormat(BOOL fixedPitch) {
  const CHARFORMAT& format = fixedPitch ? m_fixedPitch : m_proportional;
  SetSel(0, -1);
  SetDefaultCharFormat(format);
  SetSelectionCharFormat(format);
  SetParaFormat(m_defaultPara);
  SetSel(0, 0);
  EmptyUndoBuffer();
  SetModify(FALSE);
}

void CRtfEditorView::SetReadOnly(BOOL readOnly) {
  if (m_hWnd) SendMessage(EM_SETREADONLY, static_cast<WPARAM>(readOnly));
  else CRichEditView::SetReadOnly(readOnly);
  m_readOnlyFlag = readOnly;
}

// --- streaming ---

void CRtfEditorView::Stream(CFile& file, BOOL storing, BOOL selectionOnly) {
  int format = (m_forceRtf || !m_doc || m_doc->IsRtfMode()) ? SF_RTF : SF_TEXT;
  if (selectionOnly) format |= SFF_SELECTION;
  int cause = CFileException::none;
  if (storing) {
    const std::string bytes = StreamOut(format);
    try {
      std::size_t done = 0;
      while (done < bytes.size()) {
        const UINT piece = static_cast<UINT>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        file.Write(bytes.data() + done, piece);
        done += piece;
      }
    } catch (const CFileException& failure) {
      cause = failure.m_cause;
    } catch (const std::exception&) {
      cause = CFileException::genericException;
    }
  } else {
    std::string bytes;
    try {
      char buffer[4096];
      for (;;) {
        const UINT got = file.Read(buffer, sizeof buffer);
        if (got == 0) break;
        bytes.append(buffer, got);
        if (bytes.size() > kLargestStream) throw CFileException(CFileException::genericException);
      }
    } catch (const CFileException& failure) {
      cause = failure.m_cause;
    } catch (const std::exception&) {
      cause = CFileException::genericException;
    }
    // What was read before a failure still goes in, as the control would have taken it.
    StreamIn(format, bytes);
    m_streamedLength = bytes.size();
    if (m_hWnd) Invalidate(TRUE);
  }
  if (cause != CFileException::none) throw CFileException(cause, -1);
}

void CRtfEditorView::SetRtfText(const CString& text) {
  CMemFile file(reinterpret_cast<const BYTE*>(text.view().data()), text.view().size());
  const bool wasForced = std::exchange(m_forceRtf, true);
  try {
    Stream(file, FALSE, FALSE);
  } catch (const std::exception& failure) {
    ReportFailure(failure);
  }
  m_forceRtf = wasForced;
}

BOOL CRtfEditorView::GetRtfText(CString& result) {
  CMemFile file;
  const bool wasForced = std::exchange(m_forceRtf, true);
  BOOL ok = TRUE;
  try {
    CWaitCursor wait;
    Stream(file, TRUE, FALSE);
  } catch (const std::exception& failure) {
    ReportFailure(failure);
    ok = FALSE;
  }
  m_forceRtf = wasForced;
  // Never a partial text: a failure leaves the caller's text as it was.
  if (!ok) return FALSE;
  const std::vector<BYTE> bytes = file.Detach();
  result = CString(std::string(bytes.begin(), bytes.end()));
  return TRUE;
}

void CRtfEditorView::ReportFailure(const std::exception& failure) {
  if (!m_env.text.variables || !m_env.text.messages) return;
  CFileErrorReporter reporter(*m_env.text.variables, *m_env.text.messages);
  reporter.ReportFileErrorToVariables(CString(), failure, TRUE, 0);
}

BOOL CRtfEditorView::IsPlainFormatted() {
  SelectionKeeper keep(*this);
  SetSel(0, -1);
  if (GetSelectionType() & (SEL_OBJECT | SEL_MULTIOBJECT)) return FALSE;
  CHARFORMAT chars;
  GetSelectionCharFormat(chars);
  // Every attribute the plain format names is the same over all the text.
  const DWORD named = m_fixedPitch.dwMask;
  if ((chars.dwMask & named) != named) return FALSE;
  if (!CharFormatEquals(Only(chars, named), Only(m_fixedPitch, named))) return FALSE;
  PARAFORMAT para;
  GetParaFormat(para);
  return ParaFormatEquals(para, m_defaultPara) && para.wAlignment == m_defaultPara.wAlignment &&
                 para.dxStartIndent == m_defaultPara.dxStartIndent
             ? TRUE
             : FALSE;
}

// --- messages ---

bool CRtfEditorView::PassKeyToParent(UINT message, WPARAM vk, LPARAM lParam) {
  CWnd* parent = GetParent();
  const HWND self = m_hWnd;
  if (parent) parent->SendMessage(message, vk, lParam);
  // The view may have ended the task and destroyed the editor.
  return CWnd::FromHandle(self) == this;
}

void CRtfEditorView::OnSize(UINT type, int cx, int cy) {
  // A long text takes a while to wrap again: the frame says so meanwhile.
  const bool slow = GetTextLength() > kLongText && m_env.status;
  if (slow) m_env.status->ShowStatusText(LoadStringText(StringId::kFormattingWait));
  CRichEditView::OnSize(type, cx, cy);
  if (slow) m_env.status->ShowIdleStatus();
}

BOOL CRtfEditorView::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (RunCommand(LOWORD(wParam))) return TRUE;
  return CRichEditView::OnCommand(wParam, lParam);
}

LRESULT CRtfEditorView::OnFormatBarNotify(NMHDR* notice) {
  if (!notice) return 0;
  switch (notice->code) {
    case NM_SETFOCUS:
      m_formatBarFocus = TRUE;
      return 0;
    case NM_KILLFOCUS:
      m_formatBarFocus = FALSE;
      return 0;
    case NM_RETURN:
      SetFocus();
      return 0;
    case kFormatBarFetch: {
      auto* bar = reinterpret_cast<FormatBarNotify*>(notice);
      GetSelectionCharFormat(bar->format);
      return 1;
    }
    case kFormatBarApply: {
      auto* bar = reinterpret_cast<FormatBarNotify*>(notice);
      SetSelectionCharFormat(bar->format);
      return 1;
    }
    default:
      return 0;
  }
}

LRESULT CRtfEditorView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      if (!m_readOnlyFlag && LOWORD(static_cast<std::uintptr_t>(lParam)) == HTCLIENT)
        ::SetCursor(LoadCursor(nullptr, IDC_IBEAM));
      return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      if (m_readOnlyFlag) return 0;
      break;
    // The default handling of a right-button release asks for the context menu.
    case WM_CONTEXTMENU:
      ShowContextMenu(PointFromLParam(lParam));
      return 0;
    case WM_SYSKEYDOWN:
      // F10 is a system key; the view sees it as a key like the others.
      if (wParam != VK_F10) break;
      [[fallthrough]];
    case WM_KEYDOWN: {
      if (!PassKeyToParent(WM_KEYDOWN, wParam, lParam)) return 0;
      CMessageLoop* loop = CMessageLoop::Current();
      const bool shift = loop && loop->GetKeyState(VK_SHIFT) < 0;
      const bool ctrl = loop && loop->GetKeyState(VK_CONTROL) < 0;
      if (wParam == kShiftF10 && shift) {
        long start = 0;
        long end = 0;
        GetSel(start, end);
        CPoint at = PosFromChar(end);
        ClientToScreen(&at);
        SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(at.x, at.y));
        return 0;
      }
      if (message == WM_SYSKEYDOWN) return 0;
      // The clipboard and undo keys go through our own commands.
      if ((ctrl && wParam == 'C') || (ctrl && wParam == VK_INSERT)) return Copy(), 0;
      if ((ctrl && wParam == 'X') || (shift && wParam == VK_DELETE)) return Cut(), 0;
      if ((ctrl && wParam == 'V') || (shift && wParam == VK_INSERT)) return Paste(), 0;
      if (ctrl && wParam == 'Z') return Undo(), 0;
      break;
    }
    case WM_MOUSEACTIVATE:
      if (m_formatBarFocus) {
        SetFocus();
        return MA_ACTIVATEANDEAT;
      }
      break;
    case WM_SETFOCUS:
      if (m_readOnlyFlag) {
        // A read-only editor never keeps the focus.
        if (CWnd* previous = FromHandle(reinterpret_cast<HWND>(wParam)); previous && previous != this)
          previous->SetFocus();
        return 0;
      }
      break;
    case WM_NOTIFY: {
      auto* notice = reinterpret_cast<NMHDR*>(lParam);
      if (notice && notice->idFrom == kFormatBarId) return OnFormatBarNotify(notice);
      break;
    }
    default:
      break;
  }
  return CRichEditView::WindowProc(message, wParam, lParam);
}
