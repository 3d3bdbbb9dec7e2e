// The grid response and its cells: stored form, cell geometry, hover highlight and taking a click.
#include "behaviour/grid_response.h"

#include "behaviour/response_view.h"
#include "model/archive.h"
#include "model/task.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/pen.h"
#include "platform/msg/window_messages.h"
#include "page/off_screen_view.h"

IMPLEMENT_SERIAL(CCellData, CObject, 2)
IMPLEMENT_SERIAL(CGridResponse, CDisplayResponse, VERSIONABLE_SCHEMA | 2)

void CCellData::Serialize(CArchive& ar) {
  m_reserved = ar.ReadByte();
  m_outcomeFlags = ar.ReadWord();
  for (LONG& target : m_targets) target = ar.ReadLong();
  m_strExpression = ar.ReadString();
}

CGridResponse::CGridResponse(const CGridResponse& other)
    : CDisplayResponse(other),
      m_rows(other.m_rows),
      m_columns(other.m_columns),
      m_dwGridFlags(other.m_dwGridFlags),
      m_strCursorFile(other.m_strCursorFile) {
  for (const auto& cell : other.m_cells) m_cells.push_back(std::make_unique<CCellData>(*cell));
}

CGridResponse::~CGridResponse() { Display().LeavePage(this); }

void CGridResponse::Serialize(CArchive& ar) {
  m_rows = ar.ReadByte();
  m_columns = ar.ReadByte();
  m_dwGridFlags = ar.ReadDword();
  m_strCursorFile = ar.ReadString();
  // An element of another class fails the load (the archive's bad-class cause).
  m_cells.clear();
  ar.ReadOwnedList(m_cells);
  SerializeDisplay(ar, RUNTIME_CLASS(CDisplayResponse));
}

void CGridResponse::CopyFrom(const CIconObject* source, BOOL) {
  if (const auto* other = dynamic_cast<const CGridResponse*>(source)) {
    m_rows = other->m_rows;
    m_columns = other->m_columns;
    m_strCursorFile = other->m_strCursorFile;
    m_dwGridFlags = other->m_dwGridFlags;
    // The cells are replaced, not added to: a copy has one cell per position.
    m_cells.clear();
    for (const auto& cell : other->m_cells) m_cells.push_back(std::make_unique<CCellData>(*cell));
  }
  CDisplayResponse::CopyFrom(source, FALSE);
}

CRect* CGridResponse::GetRect(CRect* out) {
  CDisplayResponse::GetRect(out);
  if (HasGrid()) {
    out->right = out->left + (out->Width() / m_columns) * m_columns;
    out->bottom = out->top + (out->Height() / m_rows) * m_rows;
  }
  return out;
}

int CGridResponse::CellAt(CPoint point) {
  if (!HasGrid()) return -1;
  CRect r;
  GetRect(&r);
  // A rectangle too small for one pixel per row or column holds no cell.
  if (!r.PtInRect(point)) return -1;
  const LONG h = r.Height() / m_rows;
  const LONG w = r.Width() / m_columns;
  const LONG row = h > 0 ? (point.y - r.top) / h : 0;
  const LONG column = w > 0 ? (point.x - r.left) / w : 0;
  if (row >= m_rows || column >= m_columns) return -1;
  return static_cast<int>(row * m_columns + column);
}

CRect CGridResponse::CellRect(int index) {
  if (!HasGrid() || index < 0 || index >= m_rows * m_columns) return CRect();
  CRect r;
  GetRect(&r);
  const LONG h = r.Height() / m_rows;
  const LONG w = r.Width() / m_columns;
  CRect cell;
  cell.left = r.left + (index % m_columns) * w;
  cell.right = cell.left + w;
  cell.top = r.top + (index / m_columns) * h;
  cell.bottom = cell.top + h;
  return cell;
}

BOOL CGridResponse::Activate() {
  m_hover = 0;
  m_highlightedCell = -1;
  m_cursor = nullptr;
  CRect r;
  CDisplayResponse::GetRect(&r);
  if (r.IsRectEmpty()) return TRUE;
  if (m_dwGridFlags & GridFlag::kOwnCursor)
    if (IResponseView* view = ResponseViewOf(this)) m_cursor = view->GetCursor(m_strCursorFile);
  Display().NoteShownOn(this);
  if (COffScreenView* page = PageViewOf(this)) page->AddObject(this, DrawFlag::kControlFace);
  return TRUE;
}

void CGridResponse::InvertCell(CDC*, int index) {
  const CRect cell = CellRect(index);
  if (cell.IsRectEmpty()) return;
  // The highlight is kept in the response and applied when the page is composed.
  if (COffScreenView* page = PageViewOf(this)) page->RepaintArea(cell);
}

void CGridResponse::Highlight(CDC* dc, int code, const CPoint* point) {
  CRect r;
  CDisplayResponse::GetRect(&r);
  if (r.IsRectEmpty() || !HasGrid() || !PageInMode1(this)) return;
  if (code == kDrawHighlight) {
    const int cell = point ? CellAt(*point) : -1;
    if (cell == m_highlightedCell && (m_hover & GridHover::kHighlighted)) return;
    const int old = (m_hover & GridHover::kHighlighted) ? m_highlightedCell : -1;
    m_hover &= static_cast<BYTE>(~GridHover::kHighlighted);
    m_highlightedCell = cell;
    if (old >= 0) InvertCell(dc, old);
    if (cell >= 0) {
      m_hover |= GridHover::kHighlighted;
      InvertCell(dc, cell);
    }
  } else if (code == kDrawLeave) {
    if (!(m_hover & GridHover::kHighlighted)) return;
    const int old = m_highlightedCell;
    m_hover &= static_cast<BYTE>(~GridHover::kHighlighted);
    m_highlightedCell = -1;
    InvertCell(dc, old);
  }
}

void CGridResponse::Draw(CDC* dc, int code, const CRect* rect) {
  if (code == kDrawHighlight || code == kDrawLeave) {
    // The point travels as the rectangle's top-left corner.
    const CPoint point = rect ? rect->TopLeft() : CPoint();
    Highlight(dc, code, rect ? &point : nullptr);
    return;
  }
  if (code == 8 || code == 16 || !dc || !HasGrid()) return;
  CRect r;
  GetRect(&r);
  if (r.IsRectEmpty()) return;
  if (m_dwGridFlags & GridFlag::kLines) {
    const LONG h = r.Height() / m_rows;
    const LONG w = r.Width() / m_columns;
    CPen pen(PS_DOT, 0, RGB(0, 0, 0));
    CPen* oldPen = dc->SelectObject(&pen);
    const int oldRop = dc->SetROP2(R2_NOTXORPEN);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    for (int k = 0; k <= m_rows; ++k) {
      dc->MoveTo(r.left, r.top + k * h);
      dc->LineTo(r.right, r.top + k * h);
    }
    for (int k = 0; k <= m_columns; ++k) {
      dc->MoveTo(r.left + k * w, r.top);
      dc->LineTo(r.left + k * w, r.bottom);
    }
    dc->SetBkMode(oldMode);
    dc->SetROP2(oldRop);
    dc->SelectObject(oldPen);
  }
  if ((m_hover & GridHover::kHighlighted) && m_highlightedCell >= 0) dc->InvertRect(CellRect(m_highlightedCell));
}

BOOL CGridResponse::OnMouseMove(UINT, CPoint point, int source, const CRect*) {
  if (source != kInputFromTaskResponses || !HasGrid()) return FALSE;
  IResponseView* view = ResponseViewOf(this);
  if (CellAt(point) >= 0) {
    m_hover |= GridHover::kOver;
    if ((m_dwGridFlags & GridFlag::kOwnCursor) && view) view->SetCursor(m_cursor);
    if (m_dwGridFlags & GridFlag::kHighlight) Highlight(nullptr, kDrawHighlight, &point);
  } else if (m_hover & GridHover::kOver) {
    m_hover &= static_cast<BYTE>(~GridHover::kOver);
    if (m_dwGridFlags & GridFlag::kHighlight) Highlight(nullptr, kDrawLeave, nullptr);
    if (view) view->RestoreCursor(FALSE);
  }
  return FALSE;
}

BOOL CGridResponse::OnMouseButton(UINT message, UINT keyFlags, CPoint point, int source, const CRect*) {
  if (!IsEnabled()) return FALSE;  // disabled objects never take input
  if (source != kInputFromTaskResponses || !HasGrid()) return FALSE;
  if (message != WM_LBUTTONDOWN && message != WM_RBUTTONDOWN) return FALSE;
  if (!(keyFlags & (MK_LBUTTON | MK_RBUTTON))) return FALSE;
  const int cell = CellAt(point);
  // A position without a stored cell is not an answer.
  if (cell < 0 || static_cast<std::size_t>(cell) >= m_cells.size()) return FALSE;
  const CCellData& data = *m_cells[static_cast<std::size_t>(cell)];
  for (int i = 0; i < kTargetCount; ++i) SetBranchTarget(data.m_targets[static_cast<std::size_t>(i)], i);
  SetExpression(data.m_strExpression);
  SetOutcomeFlags(data.m_outcomeFlags);
  return TRUE;
}

BOOL CGridResponse::CollectFiles(CStringArray* files, int flags) {
  if (!files) return FALSE;
  BOOL added = FALSE;
  if ((m_dwGridFlags & GridFlag::kOwnCursor) && !m_strCursorFile.IsEmpty()) {
    files->Add(m_strCursorFile);
    added = TRUE;
  }
  return CDisplayResponse::CollectFiles(files, flags) || added;
}
