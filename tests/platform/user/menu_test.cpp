// Menu trees, item states, owner-drawn items, choosing an item on the Qt menu bar and tracking a pop-up.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>
#include <QWidgetAction>

#include "platform/gdi/dc.h"
#include "platform/user/menu.h"
#include "platform/user/qt_dialogs.h"
#include "platform/user/qt_menu.h"
#include "tests/platform/user/window_test_support.h"

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

namespace {

// Measures items by their data and fills them blue, or red when selected.
class RecordingPainter final : public IMenuItemPainter {
 public:
  void MeasureItem(MEASUREITEMSTRUCT& item) const override {
    item.itemWidth = static_cast<UINT>(item.itemData);
    item.itemHeight = 18;
  }
  void DrawItem(const DRAWITEMSTRUCT& item) const override {
    drawn.push_back(item);
    item.dc->FillSolidRect(item.rcItem, (item.itemState & ODS_SELECTED) ? RGB(255, 0, 0) : RGB(0, 0, 255));
  }
  mutable std::vector<DRAWITEMSTRUCT> drawn;
};

// A context menu whose second item is replaced by an owner-drawn pop-up of two items.
HMENU MakeContextMenu(std::shared_ptr<RecordingPainter> painter) {
  HMENU context = CreatePopupMenu();
  AppendMenu(context, MF_STRING, 57643, "&Undo");
  AppendMenu(context, MF_STRING, 65535, "&Colour");
  HMENU colours = CreatePopupMenu();
  colours->painter = std::move(painter);
  AppendOwnerDrawMenu(colours, MF_ENABLED, 5700, 70);
  AppendOwnerDrawMenu(colours, MF_GRAYED, 5701, 90);
  EXPECT_TRUE(ModifyMenu(context, 65535, MF_BYCOMMAND | MF_POPUP, reinterpret_cast<std::uintptr_t>(colours), "&Colour"));
  return context;
}

QRgb PixelOf(QWidget* widget, int x, int y) { return widget->grab().toImage().pixel(x, y) & 0xFFFFFF; }

}  // namespace

TEST(Menu, OwnerDrawnItemsKeepTheirDataAndModifyMenuSwapsItemsInPlace) {
  CMenu menu;
  menu.Attach(MakeContextMenu(std::make_shared<RecordingPainter>()));
  EXPECT_EQ(menu.GetMenuItemCount(), 2u);
  EXPECT_EQ(menu.GetMenuState(1, MF_BYPOSITION) & MF_POPUP, MF_POPUP);
  EXPECT_EQ(menu.GetMenuString(1, MF_BYPOSITION), "&Colour");
  EXPECT_EQ(GetMenuItemData(menu.m_hMenu, 5701, MF_BYCOMMAND), 90u);
  EXPECT_EQ(GetMenuState(menu.m_hMenu, 5701, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(GetMenuItemData(menu.m_hMenu, 5799, MF_BYCOMMAND), 0u);
  // Back to a plain command: the pop-up goes with the change.
  EXPECT_TRUE(menu.ModifyMenu(1, MF_BYPOSITION | MF_STRING, 32780, "&Paragraph..."));
  EXPECT_EQ(menu.GetMenuItemID(1), 32780u);
  EXPECT_EQ(menu.GetSubMenu(1), nullptr);
  EXPECT_FALSE(menu.ModifyMenu(7, MF_BYPOSITION | MF_STRING, 1, "none"));
  EXPECT_FALSE(menu.ModifyMenu(0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<std::uintptr_t>(menu.m_hMenu), "self"));
  EXPECT_FALSE(AppendOwnerDrawMenu(menu.m_hMenu, MF_POPUP, 1, 0));
}

class PopupMenuTest : public WindowTest {};

TEST_F(PopupMenuTest, TrackingPostsTheChosenCommandOrReturnsIt) {
  auto owner = MakeWindow();
  CMenu menu;
  menu.Attach(MakeContextMenu(std::make_shared<RecordingPainter>()));
  dialogs->menuAnswers = {5700, 57643};
  EXPECT_TRUE(menu.TrackPopupMenu(TPM_RIGHTBUTTON, 40, 50, owner->GetSafeHwnd()));
  ASSERT_EQ(dialogs->popupMenus.size(), 1u);
  EXPECT_EQ(dialogs->popupMenus[0].menu, menu.m_hMenu);
  EXPECT_EQ(dialogs->popupMenus[0].point, CPoint(40, 50));
  EXPECT_EQ(static_cast<UINT>(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, owner->GetSafeHwnd())), 57643u);
  EXPECT_FALSE(menu.TrackPopupMenu(0, 0, 0, owner->GetSafeHwnd()));  // closed without a choice
  PumpReady();
  auto commands = owner->Messages(WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u);  // only the first was posted
  EXPECT_EQ(LOWORD(commands[0].wParam), 5700u);
}

TEST_F(PopupMenuTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheirMenusPainter) {
  auto painter = std::make_shared<RecordingPainter>();
  CMenu menu;
  menu.Attach(MakeContextMenu(painter));
  QMenu qtMenu;
  std::vector<UINT> chosen;
  BuildQtMenu(qtMenu, *menu.m_hMenu, [&](UINT id) { chosen.push_back(id); });
  QMenu* colours = qtMenu.actions().at(1)->menu();
  ASSERT_NE(colours, nullptr);
  ASSERT_EQ(colours->actions().size(), 2);
  auto* first = qobject_cast<QWidgetAction*>(colours->actions().at(0));
  auto* second = qobject_cast<QWidgetAction*>(colours->actions().at(1));
  ASSERT_TRUE(first && second);
  QWidget* item = first->defaultWidget();
  EXPECT_EQ(item->sizeHint(), QSize(70, 18));
  EXPECT_EQ(second->defaultWidget()->sizeHint(), QSize(90, 18));
  EXPECT_FALSE(second->isEnabled());

  EXPECT_EQ(PixelOf(item, 3, 3), 0x0000FFu);
  colours->setActiveAction(first);
  EXPECT_EQ(PixelOf(item, 3, 3), 0xFF0000u);  // selected
  ASSERT_FALSE(painter->drawn.empty());
  const DRAWITEMSTRUCT& last = painter->drawn.back();
  EXPECT_EQ(last.itemID, 5700u);
  EXPECT_EQ(last.itemData, 70u);
  EXPECT_EQ(last.rcItem, CRect(0, 0, 90, 18));  // the whole row: the widest item's width
  EXPECT_EQ(last.CtlType, ODT_MENU);
  PixelOf(second->defaultWidget(), 3, 3);
  EXPECT_EQ(painter->drawn.back().itemState & ODS_GRAYED, ODS_GRAYED);

  first->trigger();
  qtMenu.actions().at(0)->trigger();
  EXPECT_EQ(chosen, (std::vector<UINT>{5700, 57643}));
}

TEST_F(PopupMenuTest, QtPopupReturnsTheTriggeredOwnerDrawnItem) {
  CMenu menu;
  menu.Attach(MakeContextMenu(std::make_shared<RecordingPainter>()));
  QTimer::singleShot(0, [] {
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    popup->actions().at(1)->menu()->actions().at(0)->trigger();
    popup->close();
  });
  CQtDialogs qt;
  PopupMenuRequest request;
  request.menu = menu.m_hMenu;
  request.point = CPoint(10, 10);
  EXPECT_EQ(qt.TrackPopupMenu(request), 5700u);
}
