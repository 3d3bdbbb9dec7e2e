// Menu trees, item states, and choosing an item on the Qt menu bar.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "platform/menu.h"
#include "tests/platform/window_test_support.h"

namespace {

// File (Open 2092, separator, Exit 57665), Help (About 57664 greyed).
HMENU MakeMenuTree() {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenu(file, MF_STRING, 2092, "&Open...");
  AppendMenu(file, MF_SEPARATOR, 0, "ignored");
  AppendMenu(file, MF_STRING, 57665, "E&xit");
  AppendMenu(bar, MF_POPUP, reinterpret_cast<std::uintptr_t>(file), "&File");
  AppendMenu(bar, MF_STRING | MF_GRAYED, 57664, "&About");
  return bar;
}

QAction* FindAction(QWidget* root, const QString& text) {
  for (QAction* a : root->findChildren<QAction*>())
    if (a->text() == text) return a;
  return nullptr;
}

}  // namespace

TEST(Menu, ItemsByPositionAndByCommandThroughPopups) {
  CMenu menu;
  menu.Attach(MakeMenuTree());
  EXPECT_EQ(menu.GetMenuItemCount(), 2u);
  EXPECT_EQ(menu.GetMenuItemID(0), kNoMenuItem);  // a pop-up
  EXPECT_EQ(menu.GetMenuItemID(1), 57664u);
  HMENU file = menu.GetSubMenu(0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(GetMenuString(file, 1, MF_BYPOSITION), "");
  EXPECT_EQ(GetMenuState(menu.m_hMenu, 0, MF_BYPOSITION) & MF_POPUP, MF_POPUP);
  // By command the pop-ups are searched too.
  EXPECT_EQ(menu.CheckMenuItem(57665, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(GetMenuState(file, 2, MF_BYPOSITION), MF_CHECKED);
  EXPECT_EQ(menu.CheckMenuItem(57665, MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(menu.EnableMenuItem(1, MF_BYPOSITION | MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(menu.EnableMenuItem(1, MF_BYPOSITION | MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(menu.GetMenuState(99, MF_BYCOMMAND), kNoMenuItem);
  EXPECT_EQ(menu.EnableMenuItem(5, MF_BYPOSITION), kNoMenuItem);
  EXPECT_EQ(GetSubMenu(file, -1), nullptr);
  EXPECT_TRUE(DeleteMenu(menu.m_hMenu, 2092, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemCount(file), 2);
  EXPECT_FALSE(AppendMenu(nullptr, MF_STRING, 1, "x"));
  EXPECT_FALSE(AppendMenu(menu.m_hMenu, MF_POPUP, 0, "no pop-up"));
}

class MenuBarTest : public WindowTest {};

TEST_F(MenuBarTest, ChoosingAnItemPostsWmCommandWithItsId) {
  auto frame = MakeWindow(CRect(0, 0, 300, 200));
  CMenu menu;
  menu.Attach(MakeMenuTree());
  ASSERT_TRUE(frame->SetMenu(&menu));
  QWidget* shell = frame->GetWidget()->window();
  QAction* exit = FindAction(shell, "E&xit");
  ASSERT_NE(exit, nullptr);
  exit->trigger();
  PumpReady();
  auto commands = frame->Messages(WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(LOWORD(commands[0].wParam), 57665u);
  EXPECT_EQ(HIWORD(commands[0].wParam), 0u);
  EXPECT_EQ(commands[0].lParam, 0);

  QAction* about = FindAction(shell, "&About");
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(about->isEnabled());
  // State changes show after DrawMenuBar.
  menu.EnableMenuItem(57664, MF_ENABLED);
  menu.CheckMenuItem(57665, MF_CHECKED);
  frame->DrawMenuBar();
  about = FindAction(shell, "&About");
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isEnabled());
  EXPECT_TRUE(FindAction(shell, "E&xit")->isChecked());
  // The menu may go before the window once it is taken off.
  frame->SetMenu(static_cast<HMENU>(nullptr));
}

TEST_F(MenuBarTest, F10OpensTheMenuBar) {
  auto frame = MakeWindow(CRect(0, 0, 300, 200));
  EXPECT_FALSE(frame->OpenMenuBar());  // no menu yet
  CMenu menu;
  menu.Attach(MakeMenuTree());
  frame->SetMenu(&menu);
  auto* bar = frame->GetWidget()->window()->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  frame->SendMessage(WM_SYSKEYDOWN, VK_F10, 1);
  EXPECT_NE(bar->activeAction(), nullptr);
  frame->SetMenu(static_cast<HMENU>(nullptr));
}
