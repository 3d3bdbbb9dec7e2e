// The menu event and the menu response: matching command ids, copying and stored form.
#include <gtest/gtest.h>

#include "behaviour/menu_event.h"
#include "behaviour/menu_response.h"
#include "tests/behaviour/answer_test_support.h"

using tvn::testing::CourseBuilder;
using tvn::testing::EventFields;
using tvn::testing::HostTask;
using tvn::testing::IconFields;
using tvn::testing::ReadBack;
using tvn::testing::ResponseFields;

namespace {

std::unique_ptr<CMenuEvent> MenuEvent(std::uint32_t id, std::uint32_t iconFlags = 4) {
  CourseBuilder b;
  b.MenuEvent(IconFields{iconFlags, "on menu", "", 3}, EventFields{1, ""}, "&Help", id);
  return ReadBack<CMenuEvent>(b);
}

std::unique_ptr<CMenuResponse> MenuResponse(std::uint16_t id, const char* name = "pick", std::uint32_t iconFlags = 4) {
  CourseBuilder b;
  ResponseFields r;
  r.outcomeFlags = 0x2;
  r.targets = {12};
  b.MenuResponse(IconFields{iconFlags, name, "", 3}, r, "&Next", id);
  return ReadBack<CMenuResponse>(b);
}

}  // namespace

TEST(MenuEvent, ReadsTextThenTheFullIdThenTheTriggerPart) {
  auto e = MenuEvent(70000);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GetItemText(), "&Help");
  EXPECT_EQ(e->GetCommandId(), 70000u);
  EXPECT_EQ(e->GetName(), "on menu");
  EXPECT_EQ(e->GetKind(), EventKind::kMenu);
}

TEST(MenuResponse, ReadsTextThenTheShortIdThenTheBase) {
  auto r = MenuResponse(0xFFFF);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->GetItemText(), "&Next");
  EXPECT_EQ(r->GetCommandId(), 0xFFFF);
  EXPECT_EQ(r->GetBranchTarget(0), 12);
  EXPECT_TRUE(r->Activate());
  EXPECT_EQ(r->GetSubManager(), nullptr);
}

TEST(MenuMatching, EventsCompareAll32BitsResponsesOnly16) {
  auto event = MenuEvent(70000);
  EXPECT_TRUE(event->OnCommand(70000, 0));
  EXPECT_FALSE(event->OnCommand(70000 & 0xFFFF, 0));

  // 70000 cut to 16 bits is 4464; the response's id is widened without sign.
  auto response = MenuResponse(static_cast<std::uint16_t>(70000 & 0xFFFF));
  EXPECT_FALSE(response->OnCommand(70000, 0));
  EXPECT_TRUE(response->OnCommand(4464, 0));
  auto high = MenuResponse(0xFFFF);
  EXPECT_TRUE(high->OnCommand(0xFFFF, 0));
  EXPECT_FALSE(high->OnCommand(-1, 0));
}

TEST(MenuMatching, CommandZeroNeverFires) {
  // The view offers command 0 at every task entry; an item without an id must not answer it.
  EXPECT_FALSE(MenuEvent(0)->OnCommand(0, 0));
  EXPECT_FALSE(MenuResponse(0)->OnCommand(0, 0));
  EXPECT_FALSE(MenuEvent(5)->OnCommand(0, 0));
}

TEST(MenuMatching, DisabledObjectsNeverFire) {
  EXPECT_FALSE(MenuEvent(300, 0x84)->OnCommand(300, 0));
  EXPECT_FALSE(MenuResponse(300, "off", 0x84)->OnCommand(300, 0));
}

TEST(MenuMatching, FirstResponseWithTheIdFiresAndBranches) {
  HostTask h;
  auto* first = h.AddResponse(MenuResponse(300, "first"));
  h.AddResponse(MenuResponse(300, "second"));
  CIconObject* matched = h.task.GetResponses()->FindCommandTarget(300, 0);
  EXPECT_EQ(matched, first);
  int target = 0;
  EXPECT_EQ(h.task.EvaluateAnswer(matched, &target), Outcome::kGoTo);
  EXPECT_EQ(target, 12);
}

TEST(MenuCopy, IdAndTextCopied) {
  auto event = MenuEvent(70000);
  CMenuEvent eventCopy;
  eventCopy.CopyFrom(event.get(), TRUE);
  EXPECT_EQ(eventCopy.GetCommandId(), 70000u);
  EXPECT_EQ(eventCopy.GetItemText(), "&Help");
  EXPECT_EQ(CMenuEvent(*event).GetCommandId(), 70000u);

  auto response = MenuResponse(42);
  CMenuResponse responseCopy;
  responseCopy.CopyFrom(response.get(), FALSE);
  EXPECT_EQ(responseCopy.GetCommandId(), 42);
  EXPECT_EQ(responseCopy.GetItemText(), "&Next");
  EXPECT_EQ(responseCopy.GetBranchTarget(0), 12);
  EXPECT_EQ(CMenuResponse(*response).GetCommandId(), 42);
}
