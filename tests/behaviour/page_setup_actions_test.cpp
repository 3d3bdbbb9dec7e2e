// Print, palette and preload actions: stored forms, the print layout, the palette mode, the cache and its budget.
#include <gtest/gtest.h>

#include <fstream>

#include "behaviour/page_setup_actions.h"
#include "model/variable.h"
#include "page/preload_cache.h"
#include "page/print_layout.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

// A page with the presentation view's palette mode, look-ahead switch and cache.
class CSetupPage : public CTestPage {
 public:
  CPreloadCache* GetPreloadCache() override { return &cache; }
  void SetLookAheadPreload(int value) override { lookAhead = value; }
  DWORD GetPaletteMode() const override { return paletteMode; }
  void SetPaletteMode(DWORD mode) override { paletteMode = mode; }
  CPreloadCache cache;
  int lookAhead = -1;
  DWORD paletteMode = 0x30;
};

class PageSetupActionsTest : public ::testing::Test {
 protected:
  PageSetupActionsTest() { services.pageOverride = &page; }
  template <class T>
  T* Load(CourseBuilder::Writer writer) {
    task = TaskWithActions(services, {writer});
    EXPECT_TRUE(task);
    return ActionOf<T>(*task);
  }
  std::string WriteFile(const char* name) {
    const auto path = dir / name;
    std::ofstream(path, std::ios::binary) << "0123456789";
    return path.string();
  }

  CSetupPage page;
  FakeTaskServices services;
  std::unique_ptr<CTask> task;
  TempDir dir;
};

}  // namespace

TEST(PrintLayout, MarginsTurnIntoPixelsWithoutLosingSmallOnes) {
  EXPECT_EQ(PrintMarginsInPixels(CRect(100, 100, 100, 100), 300, 300), CRect(118, 118, 118, 118));
  EXPECT_EQ(PrintMarginsInPixels(CRect(100, 50, 20, 254), 600, 300), CRect(236, 59, 47, 300))
      << "left and right by the horizontal resolution";
  EXPECT_EQ(PrintMarginsInPixels(CRect(10000000, 0, 0, 0), 300, 300).left, 11811023) << "worked out in 64 bits";
  EXPECT_EQ(PrintMarginsInPixels(CRect(0x7FFFFFFF, 0, 0, 0), 300, 300).left, 0x7FFFFFFF) << "held within 32 bits";
}

TEST(PrintLayout, EachModeGivesItsRectangle) {
  const CRect printable(0, 0, 2400, 3300);  // portrait
  const CRect m(100, 200, 300, 400);
  EXPECT_EQ(PrintRectangle(printable, m, 0x2 | 0x1, 100), CRect(100, 200, 2100, 2900)) << "0x2 comes first";
  const CRect scaled = PrintRectangle(printable, m, 0x1, 100);
  EXPECT_EQ(scaled.TopLeft(), CPoint(100, 200));
  EXPECT_EQ(scaled.Width(), 2000) << "the inset width";
  EXPECT_EQ(scaled.Height(), 2000 * 400 / 640) << "the proportion from the inset width, not the right edge";
  const CRect half = PrintRectangle(printable, m, 0x4, 50);
  EXPECT_EQ(half.Width(), (2400 - 300 - 100) * 50 / 100);
  EXPECT_EQ(PrintRectangle(printable, m, 0x20, 100), printable) << "no layout bit: the whole printable area";
  const CRect landscape = PrintRectangle(CRect(0, 0, 3300, 2400), m, 0x1, 100);
  EXPECT_EQ(landscape.Height(), 2400 - 400 - 200);
  EXPECT_EQ(landscape.Width(), 1800 * 640 / 400);
}

TEST_F(PageSetupActionsTest, APrintActionHandsItsMarginsModeAndScaleToThePage) {
  CPrintAction fresh;
  EXPECT_EQ(fresh.GetPrintFlags(), 9u);
  EXPECT_EQ(fresh.GetScale(), 100);
  EXPECT_EQ(fresh.GetMargins(), CRect(254, 254, 254, 254));
  EXPECT_EQ(fresh.GetTypeFlags(), 64);
  auto* print = Load<CPrintAction>([](CourseBuilder& b) {
    b.PrintAction(IconFields{4, "print", "", 3}, 0x22, 75, {10, 20, 30, 40});
  });
  EXPECT_TRUE(print->Execute());
  EXPECT_EQ(page.GetPrintMargins(), CRect(10, 20, 30, 40));
  EXPECT_EQ(page.GetPrintMode(), 0x22u);
  EXPECT_EQ(page.GetPrintScale(), 75);
}

TEST_F(PageSetupActionsTest, APaletteActionSetsOnlyTheModeBitsOnATrueColourPage) {
  auto* palette = Load<CPaletteAction>([](CourseBuilder& b) {
    b.PaletteAction(IconFields{4, "pal", "", 3}, 0x5 | 0x100, "COLOURS.PAL");
  });
  EXPECT_TRUE(palette->Execute());
  EXPECT_EQ(page.paletteMode, 0x30u | 0x5) << "mode 5; nothing loaded";
  CStringArray files;
  EXPECT_TRUE(palette->CollectFiles(&files, 0));
  EXPECT_EQ(files.GetSize(), 1);
  EXPECT_EQ(CPaletteAction().GetPaletteFlags(), 2u);
}

TEST_F(PageSetupActionsTest, OldPreloadActionsHoldOneFileAndTheDefaultBudget) {
  auto* old = Load<CPreloadAction>([](CourseBuilder& b) {
    b.PreloadAction(IconFields{4, "pre", "", 3}, 0x2, 9999, {"A.WAV"}, 2);
  });
  ASSERT_EQ(old->GetFileNames().GetSize(), 1);
  EXPECT_EQ(old->GetFileNames()[0], CString("A.WAV"));
  EXPECT_EQ(old->GetBudget(), 3000);
  EXPECT_EQ(old->GetTypeFlags(), 68);
  EXPECT_EQ(CPreloadAction::BudgetBytes(3000), 3000000);
  EXPECT_EQ(CPreloadAction::BudgetBytes(5000000), 0x7FFFFFFF) << "saturates";
}

TEST_F(PageSetupActionsTest, PreloadingQueuesTheFilesSetsTheBudgetAndTheLookAhead) {
  services.vars.Declare("PreloadBufferSize", VarType::kInteger);
  CVariable* budget = FindVariable(services.Variables(), "PreloadBufferSize");
  ASSERT_TRUE(budget);
  budget->SetLong(123);
  const std::string now = WriteFile("NOW.WAV");
  auto* plain = Load<CPreloadAction>([now](CourseBuilder& b) {
    b.PreloadAction(IconFields{4, "pre", "", 3}, 0x2, 3000, {now, ""});
  });
  EXPECT_TRUE(plain->Execute());
  EXPECT_EQ(budget->GetLong(), 123) << "without 0x8 the budget stays";
  EXPECT_EQ(page.lookAhead, 0);
  auto entries = page.cache.Describe();
  ASSERT_EQ(entries.size(), 1u) << "the empty name is skipped";
  EXPECT_TRUE(entries[0].second) << "without 0x1 the file is read at once";

  const std::string later = WriteFile("LATER.WAV");
  auto* background = Load<CPreloadAction>([later](CourseBuilder& b) {
    b.PreloadAction(IconFields{4, "pre", "", 3}, 0x1 | 0x4 | 0x8, 3000, {later});
  });
  EXPECT_TRUE(background->Execute());
  EXPECT_EQ(budget->GetLong(), 3000000);
  EXPECT_EQ(page.lookAhead, 4);
  page.cache.WaitForWorkers();
  entries = page.cache.Describe();
  ASSERT_EQ(entries.size(), 2u);
  CStringArray files;
  EXPECT_TRUE(background->CollectFiles(&files, 0));
}
