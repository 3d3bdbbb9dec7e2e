// The paragraph dialog's values taken from and written into a paragraph format.
#include "controls/paragraph_model.h"

#include <algorithm>

namespace {

// A measurement from a sum or negation of stored values: never the no-value
// mark, and never past int (the range check then refuses it).
int ToMeasurement(long long value) {
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, kNoMeasurement - 1));
}

}  // namespace

int AlignmentIndex(WORD alignment) {
  switch (alignment) {
    case PFA_LEFT: return 0;
    case PFA_CENTER: return 1;
    case PFA_RIGHT: return 2;
    default: return -1;
  }
}

WORD AlignmentOfIndex(int index) {
  switch (index) {
    case 1: return PFA_CENTER;
    case 2: return PFA_RIGHT;
    default: return PFA_LEFT;
  }
}

CParagraphModel::CParagraphModel(const PARAFORMAT& format, BOOL allowAlignment)
    : m_pf(format), m_allowAlignment(allowAlignment) {
  if (m_pf.dwMask & PFM_ALIGNMENT) m_alignment = AlignmentIndex(m_pf.wAlignment);
}

void CParagraphModel::LoadIndents() {
  m_right = (m_pf.dwMask & PFM_RIGHTINDENT) ? ToMeasurement(m_pf.dxRightIndent) : kNoMeasurement;
  m_firstLine = kNoMeasurement;
  m_left = kNoMeasurement;
  if (m_pf.dwMask & PFM_OFFSET) {
    // The offset is that of the other lines from the first: the first line
    // stands -offset from their left edge, which is start indent + offset.
    m_firstLine = ToMeasurement(-static_cast<long long>(m_pf.dxOffset));
    if (m_pf.dwMask & PFM_STARTINDENT)
      m_left = ToMeasurement(static_cast<long long>(m_pf.dxOffset) + m_pf.dxStartIndent);
  }
}

void CParagraphModel::StoreIndents() {
  m_pf.dwMask = 0;
  if (m_alignment >= 0) {
    m_pf.dwMask |= PFM_ALIGNMENT;
    m_pf.wAlignment = AlignmentOfIndex(m_alignment);
  }
  // An empty field has no value: its indent stays out of the mask, and only
  // the fields in the mask are written.
  if (m_right != kNoMeasurement) {
    m_pf.dwMask |= PFM_RIGHTINDENT;
    m_pf.dxRightIndent = m_right;
  }
  if (m_firstLine != kNoMeasurement) {
    m_pf.dwMask |= PFM_OFFSET;
    m_pf.dxOffset = ToMeasurement(-static_cast<long long>(m_firstLine));
    if (m_left != kNoMeasurement) {
      m_pf.dwMask |= PFM_STARTINDENT;
      m_pf.dxStartIndent = ToMeasurement(static_cast<long long>(m_firstLine) + m_left);
    }
  }
}
