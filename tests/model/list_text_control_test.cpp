// Loading list texts into list and combo boxes: adding, measuring and selecting.
#include "model/list_text_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/model/test_variable_context.h"

using tvn::testing::TestVariableContext;

namespace {

// Records every message; items are found by prefix, widths are 7 pixels a byte.
class FakeListBox : public IListTextControl {
 public:
  LRESULT SendIndexMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    log.push_back(std::to_string(message) + ":" + std::to_string(wParam) + ":" + std::to_string(lParam));
    return 0;
  }
  LRESULT SendTextMessage(UINT message, WPARAM wParam, const CString& text) override {
    log.push_back(std::to_string(message) + ":" + std::to_string(wParam) + ":" + text.str());
    if (message == ListMessage::kLbFindString) {
      for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].rfind(text.str(), 0) == 0) return static_cast<LRESULT>(i);
      return ListMessage::kError;
    }
    return 0;
  }
  int MeasureText(const CString& text) override { return 7 * text.GetLength(); }

  std::vector<std::string> items;
  std::vector<std::string> log;
};

std::string Msg(UINT message, const std::string& rest) { return std::to_string(message) + ":" + rest; }

}  // namespace

TEST(ListTextControl, AddsExpandedElementsCutTo99BytesAndGivesTheWidest) {
  TestVariableContext ctx;
  ctx.Var("StudentName").SetString("Ann");
  FakeListBox box;
  const std::string longElement(150, 'x');
  WORD width = MeasureTextInWindow(ctx, box, CString("a\r\n{StudentName}\n" + longElement), ListMessage::kLbAddString, "");
  EXPECT_EQ(width, 7 * 99);
  ASSERT_EQ(box.log.size(), 3u);
  EXPECT_EQ(box.log[0], Msg(ListMessage::kLbAddString, "0:a"));
  EXPECT_EQ(box.log[1], Msg(ListMessage::kLbAddString, "0:Ann"));
  EXPECT_EQ(box.log[2], Msg(ListMessage::kLbAddString, "0:" + std::string(99, 'x')));

  // Only the first character of a separator counts.
  FakeListBox combo;
  MeasureTextInWindow(ctx, combo, "p;q", ListMessage::kCbAddString, ";,");
  EXPECT_EQ(combo.log.size(), 2u);
  EXPECT_EQ(MeasureTextInWindow(ctx, combo, "", ListMessage::kCbAddString, ""), 0);
  EXPECT_EQ(combo.log.size(), 2u);
}

TEST(ListTextControl, SelectionsByNumberOrText) {
  TestVariableContext ctx;
  FakeListBox single;
  EXPECT_EQ(MeasureTextInWindow(ctx, single, "3\r\n1", ListMessage::kCbSetCurSel, ""), 0);
  EXPECT_EQ(single.log, (std::vector<std::string>{Msg(ListMessage::kCbSetCurSel, "2:0")}));
  single.log.clear();
  MeasureTextInWindow(ctx, single, "pear,apple", ListMessage::kLbSetCurSel, ",");
  EXPECT_EQ(single.log, (std::vector<std::string>{Msg(ListMessage::kLbSelectString, "0:pear")}));

  FakeListBox multi;
  multi.items = {"apple", "banana", "cherry"};
  MeasureTextInWindow(ctx, multi, "2,ch,zzz,0", ListMessage::kLbSetSel, ",");
  EXPECT_EQ(multi.log, (std::vector<std::string>{
                           Msg(ListMessage::kLbSetSel, "1:1"),
                           Msg(ListMessage::kLbFindString, "0:ch"),
                           Msg(ListMessage::kLbSetSel, "1:2"),
                           Msg(ListMessage::kLbFindString, "0:zzz"),
                           Msg(ListMessage::kLbFindString, "0:0"),
                       }));
}
