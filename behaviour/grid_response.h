// CGridResponse and CCellData: a rectangle divided into equal cells, each with
// its own outcome, targets and script; a click on a cell answers the task.
#pragma once

#include <memory>
#include <vector>

#include "behaviour/display_response.h"
#include "platform/user/cursor.h"

// One cell's answer. On disk (schema 2): a reserved byte, the outcome flags
// (word), ten 32-bit targets and the expression.
class CCellData : public CObject {
  DECLARE_SERIAL(CCellData)

 public:
  CCellData() = default;
  CCellData(const CCellData& other) = default;
  void Serialize(CArchive& ar) override;

  BYTE m_reserved = 0;  // stored and copied, never read
  WORD m_outcomeFlags = 1;
  std::array<LONG, CResponse::kTargetCount> m_targets{1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  CString m_strExpression;
};

namespace GridFlag {
constexpr DWORD kLines = 0x1;      // grid lines drawn while playing
constexpr DWORD kOwnCursor = 0x2;  // the cursor file shows over the grid
constexpr DWORD kHighlight = 0x4;  // the cell under the pointer is inverted
}  // namespace GridFlag

namespace GridHover {
constexpr BYTE kOver = 0x01;
constexpr BYTE kHighlighted = 0x04;
}  // namespace GridHover

// On disk (schema 2): rows, columns (bytes), grid flags, cursor file, the
// cells as an object array, then the display response.
class CGridResponse : public CDisplayResponse {
  DECLARE_SERIAL(CGridResponse)

 public:
  // Drawing codes beside painting the page.
  static constexpr int kDrawHighlight = 4;
  static constexpr int kDrawLeave = 128;

  CGridResponse() : CDisplayResponse(ResponseKind::kGrid) {}
  CGridResponse(const CGridResponse& other);
  ~CGridResponse() override;

  void Serialize(CArchive& ar) override;
  void CopyFrom(const CIconObject* source, BOOL keepIdentity) override;
  int GetTypeFlags() override { return 0x45; }
  // Paints the grid lines (flag 0x1); codes 4 and 128 highlight and leave
  // the cell under the point of the last hover (see Highlight).
  void Draw(CDC* dc, int code, const CRect* rect) override;
  // The evaluated rectangle cut to whole cells.
  CRect* GetRect(CRect* out) override;
  BOOL Activate() override;
  BOOL OnMouseMove(UINT keyFlags, CPoint point, int source, const CRect* rect) override;
  BOOL OnMouseButton(UINT message, UINT keyFlags, CPoint point, int source, const CRect* rect) override;
  BOOL CollectFiles(CStringArray* files, int flags) override;

  // The cell index at a page point; -1 outside the grid or without one.
  int CellAt(CPoint point);
  // The page rectangle of cell i; empty outside the grid.
  CRect CellRect(int index);
  // Code 4 with the point's cell inverts it (the old one back first); code
  // 128 takes the highlight off. Only while the view is in mode 1.
  void Highlight(CDC* dc, int code, const CPoint* point);
  int GetHighlightedCell() const { return m_highlightedCell; }

  BYTE m_rows = 0;
  BYTE m_columns = 0;
  DWORD m_dwGridFlags = 0;
  CString m_strCursorFile;
  std::vector<std::unique_ptr<CCellData>> m_cells;
  BYTE m_hover = 0;

 private:
  bool HasGrid() const { return m_rows != 0 && m_columns != 0; }
  void InvertCell(CDC* dc, int index);

  int m_highlightedCell = -1;
  HCURSOR m_cursor = nullptr;  // from the application's list; not owned
};
