// CParagraphModel: the paragraph dialog's values (alignment and the three
// indents) taken from a paragraph format and written back into it.
#pragma once

#include "controls/dialog_data.h"
#include "platform/user/richtext_types.h"

class CParagraphModel {
 public:
  // Alignment index: 0 left, 1 centre, 2 right, -1 when the format carries none.
  CParagraphModel(const PARAFORMAT& format, BOOL allowAlignment);

  // The indents the dialog shows: right from the right indent; first line
  // and left from the offset and the start indent (the left edge of the
  // paragraph's other lines). kNoMeasurement where the format has no value.
  void LoadIndents();
  // The format as OK leaves it: the mask rebuilt from what has a value, the
  // fields of the mask set; fields outside the mask are left as they were.
  void StoreIndents();

  PARAFORMAT m_pf;
  int m_alignment = -1;
  int m_firstLine = kNoMeasurement;  // twips
  int m_left = kNoMeasurement;
  int m_right = kNoMeasurement;
  BOOL m_allowAlignment = TRUE;
};

// Alignment index and the format's alignment value (PFA_LEFT, PFA_CENTER, PFA_RIGHT).
int AlignmentIndex(WORD alignment);
WORD AlignmentOfIndex(int index);
