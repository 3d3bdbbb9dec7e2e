// System cursors, cursor files and the cursor state of the loop.
#include <gtest/gtest.h>

#include <QWidget>
#include <cstring>
#include <vector>

#include "platform/user/cursor.h"
#include "tests/platform/user/window_test_support.h"

namespace {

void PutWord(std::vector<BYTE>& b, std::size_t at, unsigned v) {
  b[at] = static_cast<BYTE>(v);
  b[at + 1] = static_cast<BYTE>(v >> 8);
}
void PutDword(std::vector<BYTE>& b, std::size_t at, unsigned v) {
  PutWord(b, at, v & 0xFFFF);
  PutWord(b, at + 2, v >> 16);
}

// A 32-bit 16x16 cursor file with its hot spot at (5, 7).
std::vector<BYTE> CursorFile(WORD type = 2) {
  constexpr unsigned kSize = 16;
  constexpr unsigned kImage = 40 + kSize * kSize * 4 + kSize * 4;  // header, pixels, AND mask
  std::vector<BYTE> b(6 + 16 + kImage, 0);
  PutWord(b, 2, type);
  PutWord(b, 4, 1);
  b[6] = kSize;
  b[7] = kSize;
  PutWord(b, 10, 5);  // hot spot x (planes in an icon file)
  PutWord(b, 12, 7);  // hot spot y (bit count in an icon file)
  PutDword(b, 14, kImage);
  PutDword(b, 18, 22);
  std::size_t h = 22;
  PutDword(b, h, 40);
  PutDword(b, h + 4, kSize);
  PutDword(b, h + 8, kSize * 2);
  PutWord(b, h + 12, 1);
  PutWord(b, h + 14, 32);
  for (std::size_t i = h + 40; i < h + 40 + kSize * kSize * 4; i += 4) {
    b[i] = 0x20;
    b[i + 3] = 0xFF;
  }
  return b;
}

}  // namespace

TEST(Cursor, SystemShapesByIdAndUnknownIds) {
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), arrow);  // one handle per shape
  EXPECT_EQ(CursorSystemId(LoadCursor(nullptr, IDC_WAIT)), IDC_WAIT);
  for (UINT id : {IDC_IBEAM, IDC_CROSS, IDC_UPARROW, IDC_SIZE, IDC_ICON, IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZEWE, IDC_SIZENS})
    EXPECT_EQ(CursorSystemId(LoadCursor(nullptr, id)), id);
  EXPECT_EQ(LoadCursor(nullptr, 12345), nullptr);
  EXPECT_EQ(CursorSystemId(LoadCursorResource("hand")), IDC_HAND);
  EXPECT_EQ(LoadCursorResource("NOPE"), nullptr);
}

TEST(Cursor, CursorFilesAndMalformedOnes) {
  EnsureQtApplication();
  std::vector<BYTE> file = CursorFile();
  CursorPtr cursor = LoadCursorFromBytes(file.data(), file.size());
  ASSERT_TRUE(cursor);
  EXPECT_EQ(CursorSystemId(cursor.get()), 0u);

  std::vector<BYTE> icon = CursorFile(1);
  EXPECT_TRUE(LoadCursorFromBytes(icon.data(), icon.size()));
  // A count beyond the bytes, a bad type, a cut-off file, nothing at all.
  std::vector<BYTE> bad = file;
  PutWord(bad, 4, 5000);
  EXPECT_FALSE(LoadCursorFromBytes(bad.data(), bad.size()));
  bad = file;
  PutWord(bad, 2, 3);
  EXPECT_FALSE(LoadCursorFromBytes(bad.data(), bad.size()));
  EXPECT_FALSE(LoadCursorFromBytes(file.data(), 30));
  EXPECT_FALSE(LoadCursorFromBytes(file.data(), 5));
  EXPECT_FALSE(LoadCursorFromBytes(nullptr, 100));
  EXPECT_FALSE(LoadCursorFromFile("no\\such\\cursor.cur"));
}

class CursorStateTest : public WindowTest {};

TEST_F(CursorStateTest, SetCursorShowCursorAndTheWidgetShape) {
  auto wnd = MakeWindow();
  loop->SetCursorWindow(wnd->m_hWnd);
  HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
  EXPECT_EQ(SetCursor(wait), LoadCursor(nullptr, IDC_ARROW));
  EXPECT_EQ(wnd->GetWidget()->cursor().shape(), Qt::WaitCursor);
  // The display count: hidden below zero.
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(wnd->GetWidget()->cursor().shape(), Qt::BlankCursor);
  EXPECT_EQ(ShowCursor(FALSE), -2);
  EXPECT_EQ(ShowCursor(TRUE), -1);
  EXPECT_EQ(ShowCursor(TRUE), 0);
  EXPECT_EQ(wnd->GetWidget()->cursor().shape(), Qt::WaitCursor);
  // The default handling of WM_SETCURSOR shows the class cursor.
  wnd->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd->m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(loop->GetCursor(), LoadCursor(nullptr, IDC_ARROW));
  EXPECT_TRUE(SetCursorPos(12, 34));
  CPoint pos;
  ASSERT_TRUE(GetCursorPos(&pos));
  EXPECT_EQ(pos, CPoint(12, 34));
}
