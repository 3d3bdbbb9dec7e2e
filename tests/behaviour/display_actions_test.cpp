// Pictures, texts, clearing and transitions on a real page without a window.
#include <gtest/gtest.h>

#include <fstream>

#include "behaviour/clear_action.h"
#include "behaviour/comment_action.h"
#include "behaviour/graphics_action.h"
#include "behaviour/text_action.h"
#include "behaviour/transition_action.h"
#include "model/variable.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/page/page_test_support.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

constexpr COLORREF kPictureColour = RGB(200, 30, 60);

// A 24-bit picture of one colour.
std::string WritePicture(const TempDir& dir, int width, int height) {
  BmpFile f;
  f.width = width;
  f.height = height;
  f.pixels = PackRows(std::vector<std::vector<std::uint32_t>>(height, std::vector<std::uint32_t>(width, 0xC81E3C)), 24);
  const auto path = dir / "PIC.BMP";
  const auto bytes = f.Bytes();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return path.string();
}

DisplayFields At(VariableRectFields rect, std::uint8_t layer = 8) {
  DisplayFields d;
  d.rect = rect;
  d.layer = layer;
  return d;
}

CourseBuilder::Writer Picture(const std::string& file, DisplayFields display, std::uint16_t mode = 1500,
                              std::uint32_t imageFlags = 0x10084, std::uint32_t graphicsFlags = 0) {
  return [=](CourseBuilder& b) {
    ImageFields image;
    image.fileName = file;
    image.flags = imageFlags;
    b.GraphicsAction(IconFields{4, "pic", "", 3}, mode, graphicsFlags, image, display);
  };
}

CourseBuilder::Writer Area(const char* className, AreaFields area, DisplayFields display = {}) {
  return [=](CourseBuilder& b) { b.AreaAction(className, IconFields{4, "", "", 3}, area, display); };
}

EffectFields Wipe() {
  EffectFields e;
  e.category = 1;
  e.variant = 1;
  e.blockSize = 0;
  e.stepDelay = 0;
  return e;
}

class DisplayActionsTest : public ::testing::Test {
 protected:
  DisplayActionsTest() { services.pageOverride = &page; }
  std::vector<std::string> PageNames() {
    std::vector<std::string> names;
    for (CDrawObj* obj : page.GetObjects()) names.push_back(obj->GetOwner()->GetName().str());
    return names;
  }
  CColourOwner* Put(const char* name, BYTE layer, CRect rect) {
    owners.push_back(std::make_unique<CColourOwner>(name, layer, rect, RGB(0, 0, 255)));
    page.AddObject(owners.back().get(), 0);
    return owners.back().get();
  }

  CTestPage page;
  FakeTaskServices services;
  TempDir dir;
  std::vector<std::unique_ptr<CColourOwner>> owners;
};

}  // namespace

TEST_F(DisplayActionsTest, APictureWithAnEmptyRectangleTakesItsOwnSizeAtTheTopLeft) {
  const std::string file = WritePicture(dir, 32, 16);
  auto task = TaskWithActions(services, {Picture(file, At({0, 0, 0, 0}))});
  ASSERT_TRUE(task);
  auto* action = ActionOf<CGraphicsAction>(*task);
  EXPECT_TRUE(action->Execute());
  EXPECT_EQ(action->GetBounds(), CRect(0, 0, 32, 16));
  ASSERT_TRUE(page.FindDisplayItem(action));
  page.FlushInvalidRects();
  EXPECT_EQ(page.GetBufferPixel(31, 15), kPictureColour);
  EXPECT_EQ(page.GetBufferPixel(32, 15), CTestPage::kBackground);
  const CRect bounds = action->GetBounds();
  EXPECT_TRUE(action->GetRegion(0, 5, 5, &bounds));
  EXPECT_FALSE(action->GetRegion(0, 40, 5, &bounds));
}

TEST_F(DisplayActionsTest, APictureLimitsItsRectangleUnlessItStretches) {
  const std::string file = WritePicture(dir, 32, 16);
  auto task = TaskWithActions(services, {Picture(file, At({10, 10, 100, 100})),
                                         Picture(file, At({10, 10, 100, 100}), 1500, 0x10084 | 0x800),
                                         Picture(file, At({10, 10, 100, 100}), 1777)});
  ASSERT_TRUE(task);
  for (int i = 0; i < 3; ++i) ActionOf<CGraphicsAction>(*task, i)->Execute();
  CRect r(10, 10, 100, 100);
  EXPECT_EQ(*ActionOf<CGraphicsAction>(*task, 0)->GetRect(&r), CRect(10, 10, 42, 26));
  r = CRect(10, 10, 100, 100);
  EXPECT_EQ(*ActionOf<CGraphicsAction>(*task, 1)->GetRect(&r), CRect(10, 10, 100, 100));
  EXPECT_EQ(ActionOf<CGraphicsAction>(*task, 2)->GetRect(&r), nullptr) << "an unknown mode";
  const CRect all(0, 0, 320, 240);
  EXPECT_TRUE(ActionOf<CGraphicsAction>(*task, 0)->HitTest(&all));
  EXPECT_FALSE(ActionOf<CGraphicsAction>(*task, 2)->HitTest(&all));
}

TEST_F(DisplayActionsTest, APictureThatReplacesWhatLiesUnderItRemovesTheObjectsItMeets) {
  const std::string file = WritePicture(dir, 32, 16);
  Put("under", 5, CRect(20, 5, 60, 30));
  Put("beside", 5, CRect(100, 100, 120, 120));
  auto task = TaskWithActions(services, {Picture(file, At({0, 0, 0, 0}), 1500, 0x10084, kGraphicsReplaceUnder)});
  ActionOf<CGraphicsAction>(*task)->Execute();
  EXPECT_EQ(PageNames(), (std::vector<std::string>{"pic", "beside"}));
}

TEST_F(DisplayActionsTest, AMissingPictureStaysOnThePageWithoutSizing) {
  auto task = TaskWithActions(services, {Picture((dir / "NONE.BMP").string(), At({0, 0, 0, 0}))});
  auto* action = ActionOf<CGraphicsAction>(*task);
  EXPECT_TRUE(action->Execute());
  EXPECT_TRUE(action->GetBounds().IsRectEmpty());
  EXPECT_TRUE(page.FindDisplayItem(action));
}

TEST(TextAction, ShadowsSplitTheRectangleByTheSignOfTheirOffsets) {
  CRect text(0, 0, 100, 50);
  CRect shadow;
  SplitShadow(text, shadow, 3, 3);
  EXPECT_EQ(text, CRect(0, 0, 97, 47));
  EXPECT_EQ(shadow, CRect(3, 3, 100, 50));
  text = CRect(0, 0, 100, 50);
  SplitShadow(text, shadow, -3, -2);
  EXPECT_EQ(text, CRect(3, 2, 100, 50)) << "the text moves right by 3";
  EXPECT_EQ(shadow, CRect(0, 0, 97, 48)) << "the shadow's right edge moves left by 3";
}

TEST(TextAction, RotatedTextIsAnchoredByQuadrantAndOffsetByTheOldRadianFactor) {
  const CRect r(10, 20, 110, 220);
  const RotatedTextAnchor at150 = RotatedAnchor(r, 150, 20);
  EXPECT_EQ(at150.point, CPoint(110 + 10, 220));
  EXPECT_EQ(at150.align, TA_TOP);
  const RotatedTextAnchor at90 = RotatedAnchor(r, 90, 20);
  EXPECT_EQ(at90.point, CPoint(10 + 20, 220));
  EXPECT_EQ(at90.align, TA_BOTTOM);
  const RotatedTextAnchor at270 = RotatedAnchor(r, 270, 20);
  EXPECT_EQ(at270.point, CPoint(110 + 20, 20));
  EXPECT_EQ(at270.align, TA_BOTTOM);
  EXPECT_EQ(RotatedAnchor(r, 300, 20).point, CPoint(10 + 17, 20));
}

TEST(TextAction, AlignmentFlagsAndRotation) {
  CTextAction text;
  EXPECT_EQ(text.GetLayer(), 4);
  EXPECT_EQ(text.GetAlignment(), 1);
  text.SetTextFlags(TextFlag::kCentre | TextFlag::kRight | TextFlag::kShadow);
  EXPECT_EQ(text.GetAlignment(), 4) << "right wins over centre";
  text.SetAlignment(2);
  EXPECT_EQ(text.GetTextFlags(), TextFlag::kCentre | TextFlag::kShadow);
  text.Rotation().SetLiteral(45);
  EXPECT_EQ(text.GetAlignment(), 0);
  EXPECT_TRUE(text.IsOpaque());
  text.SetTextFlags(TextFlag::kFilled);
  EXPECT_FALSE(text.IsOpaque());
}

TEST_F(DisplayActionsTest, TextExpandsItsVariablesAndAFilledOneCountsWhole) {
  services.vars.Declare("Total", VarType::kNumber);
  services.ExecuteScript("Total = 20");
  auto task = TaskWithActions(services, {[](CourseBuilder& b) {
    TextFields t;
    t.text = "SUM {Total}";
    t.flags = TextFlag::kFilled;
    t.backColour = RGB(0, 128, 0);
    b.TextAction(IconFields{4, "sum", "", 3}, t, At({10, 10, 100, 40}, 4));
  }});
  auto* text = ActionOf<CTextAction>(*task);
  EXPECT_TRUE(text->Execute());
  EXPECT_EQ(text->GetShownText(), CString("SUM 20"));
  page.FlushInvalidRects();
  EXPECT_EQ(page.GetBufferPixel(11, 11), RGB(0, 128, 0));
  EXPECT_EQ(page.GetBufferPixel(100, 40), CTestPage::kBackground);
  EXPECT_TRUE(text->GetRegion(0, 99, 39, nullptr));
  CRect r(10, 10, 100, 40);
  EXPECT_EQ(*text->GetRect(&r), CRect(10, 10, 100, 40));
  text->Unload();
  EXPECT_TRUE(text->GetShownText().IsEmpty());
  EXPECT_EQ(text->GetRect(&r), nullptr);
}

TEST_F(DisplayActionsTest, AnEmptyTextStillGoesOnThePage) {
  auto task = TaskWithActions(services, {[](CourseBuilder& b) {
    b.TextAction(IconFields{4, "empty", "", 3}, TextFields{}, At({0, 0, 0, 0}, 4));
  }});
  auto* text = ActionOf<CTextAction>(*task);
  EXPECT_TRUE(text->Execute());
  EXPECT_TRUE(page.FindDisplayItem(text));
  EXPECT_TRUE(text->GetBounds().IsRectEmpty()) << "only a text takes the client area";
}

TEST_F(DisplayActionsTest, ClearingTheWholePageKeepsProtectedLayers) {
  Put("a", 1, CRect(0, 0, 10, 10));
  Put("b", 9, CRect(20, 0, 30, 10));
  page.Settings().KeptLayers().SetSize(10);
  page.Settings().KeptLayers().SetAt(9, 1);
  auto task = TaskWithActions(services, {Area("CClearAction", AreaFields{})});
  EXPECT_TRUE(ActionOf<CClearAction>(*task)->Execute());
  EXPECT_EQ(PageNames(), std::vector<std::string>{"b"});
  EXPECT_TRUE(page.effects.empty());
  EXPECT_GT(page.GetDirtyRectCount(), 0);
}

TEST_F(DisplayActionsTest, ClearingByLayersAndNamesPlaysTheTransitionOverWhatWasRemoved) {
  Put("a", 1, CRect(0, 0, 10, 10));
  Put("b", 2, CRect(50, 50, 60, 60));
  Put("c", 3, CRect(100, 0, 110, 10));
  Put("d", 1, CRect(200, 200, 210, 210));
  DisplayFields display;
  display.effect = Wipe();
  services.vars.Declare("Which", VarType::kString);
  services.ExecuteScript("Which = \"c\"");
  AreaFields area{0, "{Which}\r\nnobody", {0, 0, 1}};
  auto task = TaskWithActions(services, {Area("CClearAction", area, display)});
  EXPECT_TRUE(ActionOf<CClearAction>(*task)->Execute());
  EXPECT_EQ(PageNames(), (std::vector<std::string>{"a", "d"}));
  ASSERT_EQ(page.effects.size(), 1u);
  EXPECT_EQ(page.effects[0], CRect(50, 0, 110, 60));
}

TEST_F(DisplayActionsTest, ClearingWithTheKeepFlagRemovesNothing) {
  Put("a", 1, CRect(0, 0, 10, 10));
  Put("b", 3, CRect(30, 30, 40, 40));
  page.FlushInvalidRects();
  DisplayFields display;
  display.effect = Wipe();
  auto withEffect = TaskWithActions(services, {Area("CClearAction", AreaFields{AreaFlag::kKeepObjects, "a\nb", {}}, display)});
  ActionOf<CClearAction>(*withEffect)->Execute();
  EXPECT_EQ(PageNames().size(), 2u);
  ASSERT_EQ(page.effects.size(), 1u);
  EXPECT_EQ(page.effects[0], CRect(0, 0, 40, 40));

  page.InvalidateRect(nullptr);
  auto without = TaskWithActions(services, {Area("CClearAction", AreaFields{AreaFlag::kKeepObjects, "a", {}})});
  ActionOf<CClearAction>(*without)->Execute();
  EXPECT_EQ(PageNames().size(), 2u);
  EXPECT_EQ(page.GetDirtyRectCount(), 0) << "the pending repaints are dropped";
}

TEST_F(DisplayActionsTest, ClearingARectangleRemovesTheObjectsItMeets) {
  Put("in", 1, CRect(0, 0, 10, 10));
  Put("out", 1, CRect(100, 100, 110, 110));
  auto task = TaskWithActions(services, {Area("CClearAction", AreaFields{0, "", {}}, At({5, 5, 50, 50}))});
  ActionOf<CClearAction>(*task)->Execute();
  EXPECT_EQ(PageNames(), std::vector<std::string>{"out"});
}

TEST_F(DisplayActionsTest, TheTransitionActionPlaysOverItsAreaAndRemovesNothing) {
  Put("a", 1, CRect(0, 0, 10, 10));
  DisplayFields display = At({20, 20, 30, 30});
  display.effect = Wipe();
  auto task = TaskWithActions(services, {Area("CTransitionAction", AreaFields{0, "a", {}}, display),
                                         Area("CTransitionAction", AreaFields{1, "a", {}}, At({20, 20, 30, 30}))});
  EXPECT_TRUE(ActionOf<CTransitionAction>(*task, 0)->Execute());
  EXPECT_TRUE(ActionOf<CTransitionAction>(*task, 1)->Execute()) << "no effect: nothing at all";
  EXPECT_EQ(PageNames(), std::vector<std::string>{"a"});
  ASSERT_EQ(page.effects.size(), 1u);
  EXPECT_EQ(page.effects[0], CRect(0, 0, 30, 30));
}

TEST_F(DisplayActionsTest, ACommentDoesNothingAndTheListGoesOn) {
  services.vars.Declare("Seen", VarType::kInteger);
  auto task = TaskWithActions(services, {[](CourseBuilder& b) { b.Action("CCommentAction", 2, IconFields{4, "", "note", 3}); },
                                         [](CourseBuilder& b) { b.VariableAction(IconFields{}, "Seen = 1"); }});
  ASSERT_TRUE(ActionOf<CCommentAction>(*task));
  EXPECT_TRUE(static_cast<CActionManager*>(task->GetActions())->RunActions());
  EXPECT_EQ(services.vars.Var("Seen").GetLong(), 1);
}
