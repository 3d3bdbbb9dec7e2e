// The display part read in both file forms, its rectangle rules, copying, and leaving the page.
#include "behaviour/display_part.h"

#include <gtest/gtest.h>

#include <fstream>

#include "behaviour/display_action.h"
#include "behaviour/display_event.h"
#include "behaviour/display_response.h"
#include "behaviour/text_action.h"
#include "model/course_doc.h"
#include "model/variable.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/fake_course_host.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

DisplayFields Placed(VariableRectFields rect, std::uint32_t flags, std::uint8_t layer, EffectFields effect = {}) {
  DisplayFields d;
  d.rect = rect;
  d.displayFlags = flags;
  d.layer = layer;
  d.effect = effect;
  return d;
}

CourseBuilder::Writer Text(const char* name, const char* text, DisplayFields display) {
  return [=](CourseBuilder& b) {
    TextFields t;
    t.text = text;
    b.TextAction(IconFields{4, name, "", 3}, t, display);
  };
}

}  // namespace

TEST(DisplayPart, OldCourseFilesStoreTheTransitionAsThreeBytesUnderTheDisplayFlags) {
  FakeTaskServices s;
  EffectFields old;
  old.variant = 5;
  old.blockSize = 4;
  old.stepDelay = 10;
  auto task = TaskWithActions(s, {Text("a", "x", Placed({10, 20, 110, 70}, 0x4805, 9, old))}, 3);
  ASSERT_TRUE(task);
  auto* action = ActionOf<CTextAction>(*task);
  ASSERT_TRUE(action);
  EXPECT_EQ(action->GetBounds(), CRect(10, 20, 110, 70));
  EXPECT_EQ(action->GetDisplayFlags(), 0x4805);
  EXPECT_EQ(action->GetLayer(), 9);
  const CEffectData& e = *action->GetEffectData();
  EXPECT_EQ(e.GetCategory(), 1);
  EXPECT_EQ(e.GetVariant(), 5);
  EXPECT_EQ(e.GetBlockSize(), 4);
  EXPECT_EQ(e.GetStepDelay(), 10);
  EXPECT_EQ(e.GetFlags(), 0x4805u) << "the transition's flags are the display flags";
  EXPECT_TRUE(e.GetParameter().IsEmpty());
}

TEST(DisplayPart, LaterCourseFilesStoreTheClassAndTheWholeTransition) {
  FakeTaskServices s;
  EffectFields wipe;  // a mask reveal
  wipe.category = 3;
  wipe.variant = 2;
  wipe.flags = 0;
  wipe.parameter = "MASK.BMP";
  for (int version : {4, 5}) {
    SCOPED_TRACE(version);
    auto task = TaskWithActions(s, {Text("a", "x", Placed({1, 2, 3, 4}, 0x800, 7, wipe))}, version);
    ASSERT_TRUE(task);
    auto* action = ActionOf<CTextAction>(*task);
    EXPECT_EQ(action->GetEffectData()->GetCategory(), 3);
    EXPECT_EQ(action->GetEffectData()->GetFlags(), 0u);
    EXPECT_EQ(action->GetEffectData()->GetParameter(), CString("MASK.BMP"));
    EXPECT_FALSE(action->IsVisible());
    CStringArray files;
    EXPECT_TRUE(action->CollectFiles(&files, 0));
    EXPECT_EQ(files.GetSize(), 1);
  }
}

TEST(DisplayPart, SidesBoundToVariablesAreEvaluatedWhenAskedFor) {
  FakeTaskServices s;
  CVariable& right = s.vars.Declare("Right", VarType::kInteger);
  right.SetLong(200);
  VariableRectFields rect{10, 10, 0, 50};
  rect.rightVar = right.GetId();
  auto task = TaskWithActions(s, {Text("a", "x", Placed(rect, 0, 4))});
  ASSERT_TRUE(task);
  auto* action = ActionOf<CTextAction>(*task);
  EXPECT_EQ(action->GetBounds(), CRect(10, 10, 200, 50));
  right.SetLong(90);
  EXPECT_EQ(action->GetBounds(), CRect(10, 10, 90, 50));
  EXPECT_EQ(action->GetExtent(), CSize(80, 40));

  // Setting constants leaves the bound side bound.
  action->SetRectConstants(CRect(0, 0, 5, 5));
  EXPECT_EQ(action->GetBounds(), CRect(0, 0, 90, 5));
}

TEST(DisplayPart, ExtentHitTestVisibilityAndActiveState) {
  CDisplayAction a;
  EXPECT_EQ(a.GetLayer(), 6);
  EXPECT_EQ(a.GetKind(), 6);
  EXPECT_EQ(a.GetExtent(), CSize(250, 100)) << "an empty rectangle";
  EXPECT_EQ(a.GetEffectData()->GetBlockSize(), 2);
  EXPECT_EQ(a.GetEffectData()->GetFlags(), 0x4000u);

  a.SetRect(CRect(10, 10, 50, 40));
  const CRect same(10, 10, 50, 40);
  const CRect touchingRight(0, 0, 50, 100);
  const CRect larger(0, 0, 51, 41);
  EXPECT_TRUE(a.HitTest(&same));
  EXPECT_FALSE(a.HitTest(&touchingRight)) << "the right edge lies outside the area";
  EXPECT_TRUE(a.HitTest(&larger));
  EXPECT_TRUE(a.ContainsPoint(10, 10));
  EXPECT_FALSE(a.ContainsPoint(50, 20));

  a.SetDisplayFlags(0x4001);
  a.Show(FALSE);
  EXPECT_FALSE(a.IsVisible());
  a.Show(TRUE);
  EXPECT_TRUE(a.IsVisible());
  EXPECT_EQ(a.GetDisplayFlags(), 0x4001);
  a.SetActiveState();
  EXPECT_TRUE(a.IsActiveState());
  a.ClearActiveState();
  EXPECT_FALSE(a.IsActiveState());
  EXPECT_EQ(a.GetDisplayFlags(), 0x4001);

  CDisplayEvent event;
  CDisplayResponse response;
  EXPECT_EQ(event.GetKind(), 5);
  EXPECT_EQ(event.GetLayer(), 3);
  EXPECT_EQ(response.GetKind(), 7);
  EXPECT_EQ(response.GetLayer(), 2);
  EXPECT_EQ(response.GetExtent(), CSize(250, 100));
}

TEST(DisplayPart, CopyingKeepsTheOwnPlaceWhenAskedAndAlwaysTakesTheTransition) {
  CDisplayAction source;
  source.SetDisplayFlags(0x10);
  source.SetLayer(9);
  CEffectData effect;
  effect.SetCategory(5);
  source.SetEffectData(&effect);

  CDisplayAction own;
  own.SetRect(CRect(1, 2, 3, 4));
  own.SetDisplayFlags(0x20);
  own.CopyFrom(&source, TRUE);
  EXPECT_EQ(own.GetBounds(), CRect(1, 2, 3, 4)) << "the source's four sides are all 0";
  EXPECT_EQ(own.GetDisplayFlags(), 0x20);
  EXPECT_EQ(own.GetLayer(), 6);
  EXPECT_EQ(own.GetEffectData()->GetCategory(), 5);

  source.SetRect(CRect(5, 5, 9, 9));
  own.CopyFrom(&source, TRUE);
  EXPECT_EQ(own.GetBounds(), CRect(5, 5, 9, 9));
  own.CopyFrom(&source, FALSE);
  EXPECT_EQ(own.GetDisplayFlags(), 0x10);
  EXPECT_EQ(own.GetLayer(), 9);

  CDisplayAction copy(source);
  EXPECT_EQ(copy.GetBounds(), CRect(5, 5, 9, 9));
  EXPECT_EQ(copy.GetEffectData()->GetCategory(), 5);
}

TEST(DisplayPart, DisplayEventsAndResponsesReadTheirOwnClassRecords) {
  FakeTaskServices s;
  CourseBuilder b(5);
  const DisplayFields eventPart = [] {
    DisplayFields d = Placed({1, 1, 9, 9}, 0, 3);
    d.className = "CDisplayEvent";
    return d;
  }();
  b.Event("CDisplayEvent", 2, IconFields{4, "e", "", 3}, EventFields{}, [&](CourseBuilder& w) { w.DisplayPart(eventPart); });
  StreamReader r(b.bytes(), 5);
  auto event = r.ar.ReadOwned<CDisplayEvent>();
  ASSERT_TRUE(event);
  EXPECT_EQ(event->GetBounds(), CRect(1, 1, 9, 9));
  EXPECT_EQ(event->GetName(), CString("e"));
}

TEST(DisplayPart, DeletingTakesTheObjectOffThePageExceptWhileTheProgramCloses) {
  for (bool closing : {false, true}) {
    SCOPED_TRACE(closing);
    FakeCourseHost host;
    CCourseDoc course(host);
    auto task = TaskWithActions(course, {Text("a", "x", Placed({0, 0, 40, 20}, 0, 4))});
    ASSERT_TRUE(task);
    ActionOf<CTextAction>(*task)->Execute();
    host.closing = closing;
    CIconObject* action = ActionOf<CTextAction>(*task);
    task.reset();
    EXPECT_EQ(host.page.removed, closing ? std::vector<CIconObject*>{} : std::vector<CIconObject*>{action});
  }
}

TEST(DisplayPart, ACourseWithEveryDisplayKindLoadsInTheOldAndTheNewForm) {
  for (int version : {3, 5}) {
    SCOPED_TRACE(version);
    CourseBuilder b(version);
    CourseFileFields f;
    f.version = static_cast<std::uint32_t>(version);
    f.tasks.push_back([](CourseBuilder& w) {
      DisplayFields d = Placed({10, 10, 200, 60}, 0, 4, EffectFields{1, 3, 2, 5, 0x4000, "", "", 3});
      TextFields t;
      t.text = "T {X}";
      t.flags = 0x1A;
      t.rotation = 30;
      ImageFields image;
      image.fileName = "PIC.BMP";
      w.Task(IconFields{4, "t", "", 3}, 1, {},
             {[=](CourseBuilder& c) { c.VariableAction(IconFields{}, "X = 1"); },
              [=](CourseBuilder& c) { c.TextAction(IconFields{4, "txt", "", 3}, t, d); },
              [=](CourseBuilder& c) { c.GraphicsAction(IconFields{4, "pic", "", 3}, 1500, 0x8000, image, d); },
              [=](CourseBuilder& c) { c.AreaAction("CClearAction", IconFields{}, AreaFields{0, "txt\r\npic", {0, 1}}, d); },
              [=](CourseBuilder& c) { c.AreaAction("CTransitionAction", IconFields{}, AreaFields{1, "", {}}, d); },
              [=](CourseBuilder& c) { c.Action("CCommentAction", 2, IconFields{4, "", "note", 3}); },
              [=](CourseBuilder& c) { c.CourseAction(IconFields{}, 0x42, "OTHER.MCL", 3); }},
             {});
    });
    b.CourseFile(f);
    TempDir dir;
    const auto path = dir / "kinds.mcl";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.bytes().data()), b.bytes().size());

    FakeCourseHost host;
    CCourseDoc course(host);
    ASSERT_TRUE(course.OnOpenDocument(CString(path.string())));
    CTask* task = course.Tasks().GetAt(0);
    ASSERT_TRUE(task);
    const std::vector<const char*> classes = {"CVariableAction", "CTextAction",   "CGraphicsAction", "CClearAction",
                                              "CTransitionAction", "CCommentAction", "CCourseAction"};
    ASSERT_EQ(task->GetActions()->GetCount(), static_cast<int>(classes.size()));
    for (int i = 0; i < static_cast<int>(classes.size()); ++i) {
      EXPECT_STREQ(task->GetActions()->GetChild(i)->GetRuntimeClass()->m_lpszClassName, classes[i]);
    }
    auto* text = dynamic_cast<CTextAction*>(task->GetActions()->GetChild(1));
    EXPECT_EQ(text->GetEffectData()->GetVariant(), 3);
    EXPECT_EQ(text->GetTextFlags(), 0x1Au);
    EXPECT_EQ(text->Rotation().GetLiteral(), 30);
  }
}
