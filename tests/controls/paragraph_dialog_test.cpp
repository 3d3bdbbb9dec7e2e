// The paragraph dialog: indents and alignment from a paragraph format and back, its checks of typed
// measurements, and the measurement exchange it is built on.
#include <gtest/gtest.h>

#include "controls/paragraph_dlg.h"
#include "model/string_table.h"
#include "platform/user/combo_box.h"
#include "platform/user/message_box_types.h"
#include "tests/platform/user/window_test_support.h"

namespace {

PARAFORMAT Hanging(LONG start, LONG offset) {
  PARAFORMAT pf;
  pf.dwMask = PFM_STARTINDENT | PFM_OFFSET;
  pf.dxStartIndent = start;
  pf.dxOffset = offset;
  return pf;
}

}  // namespace

TEST(ParagraphModel, IndentsComeFromTheOffsetAndStartIndentAndGoBackTheSameWay) {
  CParagraphModel model(Hanging(720, -360), TRUE);
  model.LoadIndents();
  EXPECT_EQ(model.m_firstLine, 360);
  EXPECT_EQ(model.m_left, 360);
  EXPECT_EQ(model.m_right, kNoMeasurement);
  EXPECT_EQ(model.m_alignment, -1);
  model.m_pf.dxRightIndent = 99;
  model.StoreIndents();
  EXPECT_EQ(model.m_pf.dwMask, PFM_OFFSET | PFM_STARTINDENT);
  EXPECT_EQ(model.m_pf.dxOffset, -360);
  EXPECT_EQ(model.m_pf.dxStartIndent, 720);
  EXPECT_EQ(model.m_pf.dxRightIndent, 99);  // outside the mask: left alone

  // Alignment: the format's value to the list's index and back.
  const struct {
    WORD alignment;
    int index;
  } rows[] = {{PFA_LEFT, 0}, {PFA_CENTER, 1}, {PFA_RIGHT, 2}, {0, -1}, {4, -1}};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    PARAFORMAT pf;
    pf.dwMask = PFM_ALIGNMENT | PFM_RIGHTINDENT;
    pf.wAlignment = rows[i].alignment;
    pf.dxRightIndent = 1440;
    CParagraphModel aligned(pf, TRUE);
    EXPECT_EQ(aligned.m_alignment, rows[i].index) << "row " << i;
    aligned.LoadIndents();
    EXPECT_EQ(aligned.m_right, 1440) << "row " << i;
    EXPECT_EQ(aligned.m_firstLine, kNoMeasurement) << "row " << i;
    aligned.StoreIndents();
    const DWORD alignmentBit = rows[i].index >= 0 ? PFM_ALIGNMENT : 0;
    EXPECT_EQ(aligned.m_pf.dwMask, alignmentBit | PFM_RIGHTINDENT) << "row " << i;
    if (rows[i].index >= 0) {
      EXPECT_EQ(aligned.m_pf.wAlignment, rows[i].alignment) << "row " << i;
    }
  }

  // Without a start indent the left field is empty; stored extremes never
  // become the no-value mark nor overflow.
  PARAFORMAT offsetOnly;
  offsetOnly.dwMask = PFM_OFFSET;
  offsetOnly.dxOffset = INT_MIN;
  CParagraphModel extreme(offsetOnly, TRUE);
  extreme.LoadIndents();
  EXPECT_EQ(extreme.m_left, kNoMeasurement);
  EXPECT_EQ(extreme.m_firstLine, kNoMeasurement - 1);
  CParagraphModel sum(Hanging(INT_MAX, INT_MAX), TRUE);
  sum.LoadIndents();
  EXPECT_EQ(sum.m_left, kNoMeasurement - 1);
}

TEST(ParagraphModel, AnEmptyFieldLeavesItsIndentOutOfTheMask) {
  CParagraphModel model(Hanging(720, -360), TRUE);
  model.LoadIndents();
  model.m_left = kNoMeasurement;
  model.StoreIndents();
  EXPECT_EQ(model.m_pf.dwMask, PFM_OFFSET);
  EXPECT_EQ(model.m_pf.dxStartIndent, 720);
  model.m_firstLine = kNoMeasurement;
  model.m_left = 100;
  model.StoreIndents();
  EXPECT_EQ(model.m_pf.dwMask, 0u);  // a left edge needs the first line to place the start
}

class ParagraphDialogTest : public WindowTest {
 protected:
  std::unique_ptr<CRecordingWnd> owner = MakeWindow();
  std::vector<std::function<void(CDialog&)>> steps;
  std::size_t next = 0;

  ParagraphDialogTest() {
    // Each idle turn of the dialog's loop takes the next step; then Cancel.
    owner->hook = [this](UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
      if (message != WM_ENTERIDLE) return std::nullopt;
      auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam)));
      if (!dialog) return 0;
      if (next < steps.size()) steps[next++](*dialog);
      else dialog->EndDialog(IDCANCEL);
      return 0;
    };
  }

  static void Type(CDialog& d, int id, const char* text) { d.SetDlgItemText(id, text); }
  static void ClickOk(CDialog& d) { d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }
  static CComboBox* Combo(CDialog& d) { return dynamic_cast<CComboBox*>(d.GetDlgItem(IDC_PARA_ALIGN)); }
};

TEST_F(ParagraphDialogTest, OpensOnTheParagraphsIndentsAndAlignmentAndOkWritesThemBack) {
  PARAFORMAT pf = Hanging(720, -360);
  pf.dwMask |= PFM_ALIGNMENT;
  pf.wAlignment = PFA_RIGHT;
  pf.cTabCount = 2;
  pf.rgxTabs[1] = 2880;
  CParagraphDlg dialog(pf, TRUE, owner.get());
  steps = {[&](CDialog& d) {
    EXPECT_EQ(d.GetDlgItemText(IDC_PARA_FIRST), "0.25\"");
    EXPECT_EQ(d.GetDlgItemText(IDC_PARA_LEFT), "0.25\"");
    EXPECT_EQ(d.GetDlgItemText(IDC_PARA_RIGHT), "");
    CComboBox* combo = Combo(d);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetCount(), 3);
    EXPECT_EQ(combo->GetCurSel(), 2);
    CString text;
    combo->GetLBText(combo->GetCurSel(), text);
    EXPECT_EQ(text, "Right");
    EXPECT_TRUE(combo->IsWindowEnabled());
    EXPECT_TRUE(d.GetDlgItem(IDC_PARA_ALIGN_LABEL)->IsWindowEnabled());
    // A value keeps what the field would show with two decimals of an inch:
    // 1 cm (568 twips) shows as 0.4" (PrintTwips rounds 0.394 up), so 576.
    Type(d, IDC_PARA_RIGHT, " 1 cm ");
    ClickOk(d);
  }};
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(dialogs->boxes.empty());
  EXPECT_EQ(dialog.m_pf.dwMask, PFM_ALIGNMENT | PFM_RIGHTINDENT | PFM_STARTINDENT | PFM_OFFSET);
  EXPECT_EQ(dialog.m_pf.wAlignment, PFA_RIGHT);
  EXPECT_EQ(dialog.m_pf.dxOffset, -360);
  EXPECT_EQ(dialog.m_pf.dxStartIndent, 720);
  EXPECT_EQ(dialog.m_pf.dxRightIndent, 576);
  EXPECT_EQ(dialog.m_pf.rgxTabs[1], 2880);  // the rest of the format is the caller's
  EXPECT_EQ(dialog.m_pf.cbSize, 156u);
}

TEST_F(ParagraphDialogTest, BadEntriesKeepTheDialogOpenWithTheFieldFocusedAndEmptyOnesHaveNoValue) {
  CParagraphDlg dialog(Hanging(720, -360), TRUE, owner.get());
  steps = {[&](CDialog& d) {
             Type(d, IDC_PARA_LEFT, "23 in");
             ClickOk(d);
             EXPECT_FALSE(d.IsEnded());
             ASSERT_EQ(dialogs->boxes.size(), 1u);
             EXPECT_EQ(dialogs->boxes[0].text, "The measurement must be between -22\" and 22\".");
             EXPECT_EQ(dialogs->boxes[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
             EXPECT_EQ(CWnd::GetFocus(), d.GetDlgItem(IDC_PARA_LEFT));
           },
           [&](CDialog& d) {
             Type(d, IDC_PARA_LEFT, "abc");
             ClickOk(d);
             EXPECT_FALSE(d.IsEnded());
             ASSERT_EQ(dialogs->boxes.size(), 2u);
             EXPECT_EQ(dialogs->boxes[1].text, LoadStringText(103));
             EXPECT_FALSE(dialogs->boxes[1].text.IsEmpty());
             EXPECT_EQ(dialogs->boxes[1].type & MB_ICONMASK, MB_ICONINFORMATION);
             EXPECT_EQ(CWnd::GetFocus(), d.GetDlgItem(IDC_PARA_LEFT));
           },
           [&](CDialog& d) {
             // The first line is checked first: its error comes before the left one's.
             Type(d, IDC_PARA_FIRST, "-40 in");
             ClickOk(d);
             EXPECT_EQ(CWnd::GetFocus(), d.GetDlgItem(IDC_PARA_FIRST));
             EXPECT_EQ(dialogs->boxes.size(), 3u);
           },
           [&](CDialog& d) {
             Type(d, IDC_PARA_FIRST, "-0.5");
             Type(d, IDC_PARA_LEFT, "   ");
             ClickOk(d);
           }};
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialogs->boxes.size(), 3u);
  EXPECT_EQ(dialog.m_pf.dwMask, PFM_OFFSET);
  EXPECT_EQ(dialog.m_pf.dxOffset, 720);
  EXPECT_EQ(dialog.m_pf.dxStartIndent, 720);  // not in the mask: as it came
}

TEST_F(ParagraphDialogTest, WithoutAlignmentTheListAndItsLabelAreDisabledAndCancelChangesNothing) {
  CParagraphDlg dialog(Hanging(0, 0), FALSE, owner.get());
  steps = {[&](CDialog& d) {
    EXPECT_FALSE(d.GetDlgItem(IDC_PARA_ALIGN)->IsWindowEnabled());
    EXPECT_FALSE(d.GetDlgItem(IDC_PARA_ALIGN_LABEL)->IsWindowEnabled());
    EXPECT_EQ(Combo(d)->GetCurSel(), -1);
    EXPECT_EQ(d.GetDlgItemText(IDC_PARA_FIRST), "0\"");
    Type(d, IDC_PARA_FIRST, "1");
  }};
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.m_pf.dwMask, PFM_STARTINDENT | PFM_OFFSET);
  EXPECT_EQ(dialog.m_pf.dxOffset, 0);
}
