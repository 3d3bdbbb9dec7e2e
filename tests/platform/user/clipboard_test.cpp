// Clipboard text in code page 1252 and named formats.
#include "platform/user/clipboard.h"

#include <gtest/gtest.h>

#include "tests/platform/user/window_test_support.h"

TEST(Clipboard, TextRoundTripsThroughUnicodeAndEmpties) {
  EnsureQtApplication();
  ASSERT_TRUE(CClipboard::SetText("Caf\xE9 \x80 5"));  // e acute and the euro sign
  EXPECT_TRUE(CClipboard::HasText());
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(CClipboard::GetText(), "Caf\xE9 \x80 5");
  ASSERT_TRUE(CClipboard::Empty());
  EXPECT_FALSE(CClipboard::HasText());
  EXPECT_EQ(CClipboard::GetText(), "");
}

TEST(Clipboard, NamedFormatsKeepTheirIds) {
  UINT id = RegisterClipboardFormat("Tavelon OLE object");
  EXPECT_GE(id, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("TAVELON ole OBJECT"), id);
  EXPECT_NE(RegisterClipboardFormat("Another format"), id);
  EXPECT_EQ(RegisterClipboardFormat(""), 0u);
  EXPECT_FALSE(IsClipboardFormatAvailable(id));
}
