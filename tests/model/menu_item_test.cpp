// Course menus: command ids, building into a menu, state updates from conditions, copies and the stored form.
#include "model/menu_item.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "model/archive.h"
#include "model/text_helpers.h"
#include "model/task_services.h"
#include "tests/support/course_builder.h"
#include "tests/support/recording_menu.h"

using tvn::testing::CourseBuilder;
using tvn::testing::MenuItemFields;
using tvn::testing::RecordingMenu;

namespace {

// Conditions as a table of answers the test sets.
class TableScript : public IScriptHost {
 public:
  WORD ExecuteScript(const CString&) override { return 0; }
  WORD CheckCondition(const CString& condition) override {
    ++evaluations;
    auto it = truth.find(condition.str());
    return it != truth.end() && it->second;
  }
  std::map<std::string, bool> truth;
  int evaluations = 0;
};

std::unique_ptr<CMenuItem> Item(const char* caption, const char* check = "", const char* disable = "",
                                DWORD flags = 0) {
  return std::make_unique<CMenuItem>(caption, check, disable, flags);
}

void ReadList(const std::vector<std::uint8_t>& bytes, CMenuItemList& list) {
  CMemFile file(bytes.data(), bytes.size());
  CArchive ar(file);
  list.Serialize(ar);
}

}  // namespace

TEST(StringChecksum, ShiftsInSignedBytesAndAddsFiveHundred) {
  EXPECT_EQ(StringChecksum(""), 0);
  EXPECT_EQ(StringChecksum("A"), 630);
  EXPECT_EQ(StringChecksum("AB"), static_cast<WORD>((((65 << 1) ^ 66) << 1) + 500));
  // A byte of 0x80 or more is taken as negative: it sets the high byte.
  EXPECT_EQ(StringChecksum("\xE9"), static_cast<WORD>((0xFFE9 << 1) + 500));
  // Long texts keep to 16 bits.
  EXPECT_EQ(StringChecksum(std::string(40, 'z')), StringChecksum(std::string(40, 'z')));
}

TEST(MenuItem, CommandIdsComeFromTheCaption) {
  EXPECT_EQ(Item("A")->GetCommandId(), 630u);
  EXPECT_EQ(Item("")->GetCommandId(), 0u);
  EXPECT_EQ(Item("&File")->GetCommandId(), Item("&File")->GetCommandId());
  EXPECT_EQ(Item("x", "", "", 0x12345)->GetFlags(), 0x2345u);  // a constructor keeps 16 bits
}

TEST(MenuItem, BuildsCommandsSeparatorsAndPopUps) {
  CMenuItemList list;
  list.AddTail(Item("Open"));
  list.AddTail(Item("-", "", "", CMenuItem::kSeparator));
  auto popup = Item("More", "", "", CMenuItem::kSeparator);  // sub-items make a pop-up whatever the flag
  popup->AddSubItem(Item("B"), -1);
  popup->AddSubItem(Item("A"), 0);
  popup->AddSubItem(Item("C"), 2);  // the count: appended
  list.AddTail(std::move(popup));
  RecordingMenu menu;
  list.AppendToMenu(menu);
  ASSERT_EQ(menu.entries.size(), 3u);
  EXPECT_EQ(menu.entries[0].kind, RecordingMenu::Entry::kItem);
  EXPECT_EQ(menu.entries[0].id, StringChecksum("Open"));
  EXPECT_EQ(menu.entries[0].caption, "Open");
  EXPECT_EQ(menu.entries[1].kind, RecordingMenu::Entry::kSeparator);
  ASSERT_EQ(menu.entries[2].kind, RecordingMenu::Entry::kPopup);
  EXPECT_EQ(menu.entries[2].caption, "More");
  const auto& sub = menu.entries[2].popup->entries;
  ASSERT_EQ(sub.size(), 3u);
  EXPECT_EQ(sub[0].caption, "A");
  EXPECT_EQ(sub[1].caption, "B");
  EXPECT_EQ(sub[2].caption, "C");
}

TEST(MenuItem, DisableConditionTurningTrueReportsOnceThenNothing) {
  CMenuItemList list;
  list.AddTail(Item("Save", "", "Locked = 1"));
  list.AddTail(Item("Plain"));
  RecordingMenu menu;
  list.AppendToMenu(menu);
  TableScript script;
  EXPECT_FALSE(list.UpdateMenuStates(menu, script));
  script.truth["Locked = 1"] = true;
  EXPECT_TRUE(list.UpdateMenuStates(menu, script));
  EXPECT_TRUE(menu.entries[0].greyed);
  EXPECT_FALSE(list.UpdateMenuStates(menu, script));
  EXPECT_TRUE(menu.entries[0].greyed);
  script.truth["Locked = 1"] = false;
  EXPECT_TRUE(list.UpdateMenuStates(menu, script));
  EXPECT_FALSE(menu.entries[0].greyed);
  EXPECT_FALSE(menu.entries[1].greyed);  // an empty condition never greys
}

TEST(MenuItem, CheckMarksFollowTheirConditionAndPopUpChangesDoNotCount) {
  auto popup = Item("View");
  popup->AddSubItem(Item("Grid", "ShowGrid"), -1);
  CMenuItemList list;
  list.AddTail(Item("Sound", "SoundOn"));
  list.AddTail(std::move(popup));
  RecordingMenu menu;
  list.AppendToMenu(menu);
  TableScript script;
  script.truth["SoundOn"] = true;
  EXPECT_TRUE(list.UpdateMenuStates(menu, script));
  EXPECT_TRUE(menu.entries[0].checked);
  script.truth["ShowGrid"] = true;
  EXPECT_FALSE(list.UpdateMenuStates(menu, script));  // the change is inside the pop-up
  EXPECT_TRUE(menu.entries[1].popup->entries[0].checked);
  EXPECT_TRUE(list.AnyItemMatches());
  CMenuItemList plain;
  plain.AddTail(Item("x"));
  EXPECT_FALSE(plain.AnyItemMatches());
}

TEST(MenuItem, CopiesAreDeep) {
  auto item = Item("Top", "c", "d", 4);
  item->AddSubItem(Item("Child"), -1);
  CMenuItem copy(*item);
  item->AddSubItem(Item("Later"), -1);
  EXPECT_EQ(copy.GetSubItems().GetCount(), 1);
  EXPECT_EQ(copy.GetCheckCondition(), CString("c"));
  EXPECT_EQ(copy.GetDisableCondition(), CString("d"));
  EXPECT_NE(copy.GetSubItems().GetAt(0), item->GetSubItems().GetAt(0));
  CMenuItemList a, b;
  a.AddTail(std::move(item));
  b.AddTail(Item("gone"));
  b.Copy(a);
  ASSERT_EQ(b.GetCount(), 1);
  EXPECT_EQ(b.GetAt(0)->GetSubItems().GetCount(), 2);
  CMenuItem assigned;
  assigned = copy;
  EXPECT_EQ(assigned.GetCaption(), CString("Top"));
}

TEST(MenuItemStored, ReadsFieldsAndKeepsTheStoredCommandId) {
  MenuItemFields file{0x10000 | CMenuItem::kSeparator, 1234, "File", "A = 1", "B = 2", {}};
  file.subItems = {MenuItemFields{0, 630, "A", "", "", {}}};
  CourseBuilder b;
  b.MenuItemList({file, MenuItemFields{0, 7, "Help", "", "", {}}});
  CMenuItemList list;
  ReadList(b.bytes(), list);
  ASSERT_EQ(list.GetCount(), 2);
  const CMenuItem* first = list.GetAt(0);
  EXPECT_EQ(first->GetFlags(), 0x10800u);  // stored flags are kept whole
  EXPECT_EQ(first->GetCommandId(), 1234u);
  EXPECT_EQ(first->GetCaption(), CString("File"));
  EXPECT_EQ(first->GetCheckCondition(), CString("A = 1"));
  EXPECT_EQ(first->GetDisableCondition(), CString("B = 2"));
  ASSERT_TRUE(first->HasSubItems());
  EXPECT_EQ(first->GetSubItems().GetAt(0)->GetCaption(), CString("A"));
  EXPECT_EQ(list.GetAt(1)->GetCommandId(), 7u);  // not recomputed
}

TEST(MenuItemStored, DeepTreesAndDamagedStreamsFailWithArchiveErrors) {
  auto nested = [](int depth) {
    MenuItemFields item{0, 1, "leaf", "", "", {}};
    for (int i = 1; i < depth; ++i) item = MenuItemFields{0, 1, "level", "", "", {item}};
    return item;
  };
  {
    CourseBuilder b;
    b.MenuItemList({nested(CMenuItem::kMaxDepth)});
    CMenuItemList list;
    ReadList(b.bytes(), list);
    EXPECT_EQ(list.GetDepth(), CMenuItem::kMaxDepth);
  }
  {
    CourseBuilder b;
    b.MenuItemList({nested(CMenuItem::kMaxDepth + 1)});
    CMenuItemList list;
    try {
      ReadList(b.bytes(), list);
      FAIL() << "read a menu deeper than the limit";
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.m_cause, CArchiveException::genericException);
    }
  }
  {
    CourseBuilder b;
    b.MenuItemList({MenuItemFields{0, 1, "File", "cond", "", {}}});
    std::vector<std::uint8_t> bytes = b.bytes();
    bytes.resize(bytes.size() - 4);
    CMenuItemList list;
    try {
      ReadList(bytes, list);
      FAIL() << "read a truncated menu";
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
  }
}
