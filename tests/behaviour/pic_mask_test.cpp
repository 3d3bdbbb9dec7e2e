// The picture-mask model without a window: parsing, typing, prompts, data,
// insert mode, Backspace and undo, and the moves a mask letter refuses.
#include "behaviour/pic_mask.h"

#include <gtest/gtest.h>

#include "platform/msg/window_messages.h"

static void PrintTo(const CString& text, std::ostream* os) { *os << '"' << text.GetString() << '"'; }

namespace {

struct RecordingSite final : IPicMaskSite {
  void ShowText(const CString& text) override { shown = text; }
  void ShowSelection(int start, int end) override { selection = {start, end}; }
  void Beep() override { ++beeps; }
  void FocusNextControl() override { ++nextFocus; }
  void FocusPrevControl() override { ++prevFocus; }
  CString shown;
  std::pair<int, int> selection{0, 0};
  int beeps = 0, nextFocus = 0, prevFocus = 0;
};

// Types at the caret the way the window does: the selection as last shown.
void Type(CPicMask& mask, RecordingSite& site, const char* text) {
  for (const char* p = text; *p; ++p) {
    mask.SetSelection(site.selection.first, site.selection.second);
    mask.KeyDown('A', false);  // a character's own key comes first and clears the last key's mark
    mask.Char(static_cast<unsigned char>(*p));
  }
}

void Key(CPicMask& mask, RecordingSite& site, UINT vk) {
  mask.SetSelection(site.selection.first, site.selection.second);
  if (mask.KeyDown(vk, false) == CPicMask::KeyResult::kIgnored) mask.Char(vk);
}

}  // namespace

TEST(PicMask, PhoneMaskTypesSkipsLiteralsBeepsAtRefusalsAndGivesItsData) {
  RecordingSite site;
  CPicMask mask(site);
  ASSERT_TRUE(mask.SetMaskString("(999) 999-9999"));
  EXPECT_EQ(site.shown, "(   )    -    ");
  EXPECT_EQ(site.shown.GetLength(), 14);
  EXPECT_EQ(site.selection, std::make_pair(1, 1)) << "the caret starts on the first input position";
  Type(mask, site, "1");
  EXPECT_EQ(site.shown, "(1  )    -    ");
  EXPECT_EQ(site.selection, std::make_pair(2, 2));
  Type(mask, site, "a");
  EXPECT_EQ(site.beeps, 1);
  EXPECT_EQ(site.shown, "(1  )    -    ");
  Type(mask, site, "2");
  mask.SetPromptChar('_');
  EXPECT_EQ(site.shown, "(12_) ___-____") << "only the empty positions change";
  EXPECT_EQ(mask.GetDataText(FALSE), "12        ");
  EXPECT_EQ(mask.GetDataText(TRUE), "12");
  char small[4];
  EXPECT_TRUE(mask.GetData(small, sizeof small, FALSE));
  EXPECT_STREQ(small, "12 ");
  EXPECT_FALSE(mask.GetData(nullptr, 4, FALSE));

  // The last position filled leaves the caret after it and, with auto advance, moves on.
  mask.SetAutoAdvance(true);
  Type(mask, site, "34567890");
  EXPECT_EQ(site.shown, "(123) 456-7890");
  EXPECT_EQ(site.selection, std::make_pair(14, 14));
  EXPECT_EQ(site.nextFocus, 1);
  Type(mask, site, "1");
  EXPECT_EQ(site.beeps, 2) << "no room after the end";

  // Mask letters, escapes and the built-in masks.
  ASSERT_TRUE(mask.SetMaskString("99/9"));
  ASSERT_EQ(mask.GetMask().size(), 3u);
  EXPECT_TRUE(mask.GetMask()[1].input);
  EXPECT_FALSE(mask.GetMask()[2].input);
  EXPECT_EQ(mask.GetMask()[2].ch, '9');
  ASSERT_TRUE(mask.SetMaskString("ULNX"));
  Type(mask, site, "uQ7\x01" "x");
  EXPECT_EQ(mask.GetDataText(FALSE), "Uq7x") << "case follows the letter; control characters type nothing";
  EXPECT_FALSE(mask.SetMask(8));
  EXPECT_FALSE(mask.SetMask(0));
  EXPECT_EQ(mask.GetMaskString(), "ULNX");
  ASSERT_TRUE(mask.SetMask(4));
  EXPECT_EQ(mask.GetMaskString(), "999-99-9999");

  // Literals of code page 1252 stay literals.
  ASSERT_TRUE(mask.SetMaskString("99\xB0 \x80" "99"));
  EXPECT_FALSE(mask.GetMask()[2].input);
  EXPECT_FALSE(mask.GetMask()[4].input);
  ASSERT_TRUE(mask.SetData("1234", 0, FALSE, TRUE));
  EXPECT_EQ(mask.GetDisplayText(), "12\xB0 \x80" "34");
}

TEST(PicMask, InsertModeBackspaceUndoAndRefusedMoves) {
  RecordingSite site;
  CPicMask mask(site);
  mask.SetPromptChar('_');
  ASSERT_TRUE(mask.SetMaskString("999-99"));
  mask.SetInsertAllowed(true);
  Key(mask, site, VK_INSERT);
  ASSERT_TRUE(mask.IsInsertMode());
  Type(mask, site, "1234");
  EXPECT_EQ(mask.GetDisplayText(), "123-4_");
  site.selection = {1, 1};
  Type(mask, site, "9");
  EXPECT_EQ(mask.GetDisplayText(), "192-34") << "the following characters move right over the literal";
  site.selection = {0, 0};
  Type(mask, site, "5");
  EXPECT_EQ(site.beeps, 1) << "every position full";
  EXPECT_EQ(mask.GetDisplayText(), "192-34");

  // Two Backspaces then undo give the text before the first; undo again redoes.
  site.selection = {6, 6};
  Key(mask, site, VK_BACK);
  Key(mask, site, VK_BACK);
  EXPECT_EQ(mask.GetDisplayText(), "192-__");
  EXPECT_TRUE(mask.CanUndo());
  EXPECT_TRUE(mask.Undo());
  EXPECT_EQ(mask.GetDisplayText(), "192-34");
  EXPECT_EQ(site.selection, std::make_pair(0, 6));
  EXPECT_TRUE(mask.Undo());
  EXPECT_EQ(mask.GetDisplayText(), "192-__");

  // A letter never lands on a digit position: the insert is refused and the
  // delete clears without closing the gap.
  ASSERT_TRUE(mask.SetMaskString("A9X"));
  mask.SetInsertMode(false);
  ASSERT_TRUE(mask.SetData("b2z", 0, FALSE, TRUE));
  mask.SetSelection(1, 1);
  mask.KeyDown(VK_DELETE, false);
  EXPECT_EQ(mask.GetDisplayText(), "b_z");
  EXPECT_EQ(mask.GetDataText(TRUE), "b z");
  mask.SetInsertMode(true);
  ASSERT_TRUE(mask.SetData("c", 0, FALSE, TRUE));
  EXPECT_FALSE(mask.PushChar(0, 'd', TRUE)) << "c would move onto the digit";
  EXPECT_EQ(mask.GetDisplayText(), "c__");

  // Pasting skips what the mask refuses and keeps the rest of the field.
  ASSERT_TRUE(mask.SetMaskString("999-999"));
  mask.SetInsertMode(false);
  ASSERT_TRUE(mask.SetData("1234", 0, FALSE, TRUE));
  mask.SetSelection(0, 0);
  EXPECT_TRUE(mask.Paste("9x"));
  EXPECT_EQ(mask.GetDisplayText(), "912-34_") << "pushed in at the start";
  mask.SetSelection(0, 7);
  EXPECT_EQ(mask.CopyText(), "91234 ");
  mask.SetReadOnly(true);
  EXPECT_FALSE(mask.Paste("1"));
  EXPECT_FALSE(mask.Undo());
}

TEST(PicMask, CaretRulesAtTheEdgesOfTheMask) {
  RecordingSite site;
  CPicMask mask(site);
  ASSERT_TRUE(mask.SetMaskString("(99)"));
  EXPECT_EQ(mask.NextInputPos(-1), 1);
  EXPECT_EQ(mask.NextInputPos(2), -1);
  EXPECT_EQ(mask.NextInputPos(9), 9);
  EXPECT_EQ(mask.PrevInputPos(1), -1);
  EXPECT_EQ(mask.PrevInputPos(9), 2);
  EXPECT_EQ(mask.SetCaret(2, 1, 0), -1);
  EXPECT_EQ(site.selection, std::make_pair(3, 3)) << "after the last input position";
  mask.SetAutoAdvance(true);
  EXPECT_EQ(mask.SetCaret(1, -1, 0), -1);
  EXPECT_EQ(site.prevFocus, 1);
  EXPECT_EQ(mask.FindEndOfData(4), 1) << "nothing entered: the first input position";
  mask.SetData("5", 0, FALSE, TRUE);
  EXPECT_EQ(mask.FindEndOfData(4), 2);
  EXPECT_EQ(mask.ClearDataRange(3, 1), -1);
  EXPECT_EQ(mask.ClearDataRange(0, 4), 0);
  EXPECT_EQ(mask.GetDataText(FALSE), "  ");
  EXPECT_FALSE(mask.SetData("1", 4, FALSE, TRUE));

  CPicMask empty(site);
  EXPECT_EQ(empty.NextInputPos(3), 3);
  EXPECT_EQ(empty.SetCaret(5, 1, 0), 5);
  EXPECT_FALSE(empty.SetData("x", 0, FALSE, FALSE));
}
