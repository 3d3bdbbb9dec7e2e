// Window actions on a page without a frame: stored forms, placement arithmetic, kept layers and every background.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "behaviour/window_action.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

DisplayFields Placement(VariableRectFields rect) {
  DisplayFields d;
  d.rect = rect;
  return d;
}

class WindowActionTest : public ::testing::Test {
 protected:
  WindowActionTest() { services.pageOverride = &page; }
  CWindowAction* Load(const WindowFields& fields, VariableRectFields rect = {0, 0, 640, 480}) {
    task = TaskWithActions(services, {[=](CourseBuilder& b) {
      b.WindowAction(IconFields{4, "window", "", 3}, fields, Placement(rect));
    }});
    EXPECT_TRUE(task);
    return ActionOf<CWindowAction>(*task);
  }
  // Runs the action and composes the whole buffer.
  void Show(const WindowFields& fields) {
    EXPECT_TRUE(Load(fields)->Execute());
    const CRect all(0, 0, 320, 240);
    page.ComposeRect(&all);
  }
  COLORREF At(int x, int y) { return page.GetBufferPixel(x, y); }

  CTestPage page;
  FakeTaskServices services;
  std::unique_ptr<CTask> task;
  TempDir dir;
};

WindowFields PageOfSize(std::uint32_t mode) {
  WindowFields f;
  f.mode = mode;
  f.pageWidth = 320;
  f.pageHeight = 240;
  f.colour = RGB(0, 0, 200);
  return f;
}

}  // namespace

TEST(WindowAction, StartsHiddenAt640By480WithTheWindowColourAndAnOldStyleMode) {
  CWindowAction w;
  EXPECT_EQ(w.GetWindowFlags(), 0x400u);
  EXPECT_EQ(w.GetMode(), 0x510080u);
  EXPECT_EQ(w.GetScrollMargins(), CSize(40, 40));
  EXPECT_EQ(w.GetGradientStart(), 0xFF0000u);
  EXPECT_EQ(w.GetGradientEnd(), 0u);
  EXPECT_EQ(w.GetBounds(), CRect(0, 0, 640, 480));
  EXPECT_FALSE(w.IsVisible());
  EXPECT_EQ(w.GetTypeFlags(), 330);
  EXPECT_EQ(w.GetKind(), ActionKind::kWindow);
  EXPECT_FALSE(w.IsLayerKept(0)) << "an empty table keeps nothing";
  w.KeptLayers().SetSize(3);
  w.KeptLayers().SetAt(2, 1);
  EXPECT_TRUE(w.IsLayerKept(2));
  EXPECT_FALSE(w.IsLayerKept(1));
  EXPECT_FALSE(w.IsLayerKept(3)) << "past the table";
  EXPECT_FALSE(w.IsLayerKept(255));
}

TEST(WindowAction, PlacementIsCutToTheScreenAndANegativeSideCentres) {
  const CSize screen(1024, 768);
  // Right and bottom hold the width and height.
  const CRect page = WindowPageRect(CRect(-1, 10, 640, 480), screen, FALSE);
  EXPECT_EQ(page, CRect(-1, 10, 640, 480));
  EXPECT_EQ(WindowOrigin(page, screen), CPoint(192, 10));
  EXPECT_EQ(WindowOrigin(WindowPageRect(CRect(5, -1, 800, 600), screen, FALSE), screen), CPoint(5, 84));
  EXPECT_EQ(WindowPageRect(CRect(50, 60, 2000, 400), screen, FALSE), CRect(0, 60, 1024, 400))
      << "wider than the screen: cut, at the left edge";
  EXPECT_EQ(WindowPageRect(CRect(50, 60, 640, 480), screen, TRUE), CRect(0, 0, 640, 480));
}

TEST_F(WindowActionTest, OldCoursesGainTheColourFillOfTheirFlags) {
  WindowFields old;
  old.schema = 2;
  old.mode = 0x100;
  old.flags = 0x410;
  old.keptLayers = {0, 1};
  auto* w = Load(old);
  EXPECT_EQ(w->GetMode(), 0x100u | 0x500000 | 0x10);
  EXPECT_EQ(w->GetGradientStart(), 0xFF0000u) << "nothing more read";
  EXPECT_TRUE(w->IsLayerKept(1));
  old.flags = 0x400;
  EXPECT_EQ(Load(old)->GetMode(), 0x100u | 0x500000 | 0x10000);

  WindowFields current;
  current.caption = "Course {x}";
  current.gradientStart = 0x123456;
  current.gradientEnd = 0x654321;
  current.marginX = 7;
  w = Load(current);
  EXPECT_EQ(w->GetMode(), 0x510080u);
  EXPECT_EQ(w->GetGradientEnd(), 0x654321u);
  EXPECT_EQ(w->GetCaption(), CString("Course {x}"));
  EXPECT_EQ(w->GetScrollMargins(), CSize(7, 40));
}

TEST_F(WindowActionTest, ThePageTakesTheSettingsAndKeptLayersOnlyWithTheirModeBit) {
  WindowFields f = PageOfSize(0x10000);
  f.keptLayers = {0, 0, 0, 1};
  f.marginX = 12;
  Show(f);
  EXPECT_EQ(page.GetPageSettings().GetScrollMargins(), CSize(12, 40));
  EXPECT_FALSE(page.GetPageSettings().IsLayerKept(3));
  EXPECT_EQ(At(100, 100), RGB(0, 0, 200));
  f.mode |= 0x40;
  Show(f);
  EXPECT_TRUE(page.GetPageSettings().IsLayerKept(3));
}

TEST_F(WindowActionTest, GradientsAreComposedOnceAndDrawnFromThePageOrigin) {
  WindowFields f = PageOfSize(0x20000 | 0x400000);  // bands from top to bottom
  f.gradientStart = RGB(255, 0, 0);
  f.gradientEnd = RGB(0, 0, 255);
  Show(f);
  EXPECT_TRUE(page.Settings().HasComposedBackground());
  EXPECT_GT(GetRValue(At(160, 1)), 230);
  EXPECT_GT(GetBValue(At(160, 238)), 200);
  EXPECT_EQ(At(10, 120), At(300, 120)) << "bands run across";

  f.mode = 0x20000 | 0x800000;  // left to right
  Show(f);
  EXPECT_GT(GetRValue(At(1, 120)), 230);
  EXPECT_GT(GetBValue(At(318, 120)), 200);

  // A window placed away from the corner still composes at (0, 0, width, height).
  f.mode = 0x20000 | 0x400000 | 0x100;
  EXPECT_TRUE(Load(f, {100, 100, 320, 240})->Execute());
  const CRect all(0, 0, 320, 240);
  page.ComposeRect(&all);
  EXPECT_GT(GetRValue(At(160, 1)), 230) << "the top band at the page's top";
}

TEST_F(WindowActionTest, PicturesAreCentredOnTheColourOrFillThePage) {
  BmpFile bmp;
  bmp.width = 20;
  bmp.height = 10;
  bmp.pixels = PackRows(std::vector<std::vector<std::uint32_t>>(10, std::vector<std::uint32_t>(20, 0x00C800)), 24);
  const auto path = dir / "BACK.BMP";
  const auto bytes = bmp.Bytes();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());

  WindowFields centred = PageOfSize(0x40000 | 0x100000);
  centred.image.fileName = path.string();
  centred.image.flags = 0x10080;
  Show(centred);
  EXPECT_EQ(At(160, 120), RGB(0, 200, 0));
  EXPECT_EQ(At(5, 5), RGB(0, 0, 200)) << "the colour around it";
  EXPECT_EQ(At(149, 115), RGB(0, 200, 0)) << "left at (320 - 20 - 1) / 2";
  EXPECT_EQ(At(148, 115), RGB(0, 0, 200));

  WindowFields inPage = PageOfSize(0x40000 | 0x200000);
  inPage.image = centred.image;
  inPage.image.flags |= 0x800;  // drawn stretched into the rectangle
  Show(inPage);
  EXPECT_EQ(At(1, 1), RGB(0, 200, 0));
  EXPECT_EQ(At(318, 238), RGB(0, 200, 0));

  // Green on the left half, red on the right: tiles repeat it every 20 pixels.
  std::vector<std::uint32_t> halves(20, 0x00C800);
  std::fill(halves.begin() + 10, halves.end(), 0xC80000);
  bmp.pixels = PackRows(std::vector<std::vector<std::uint32_t>>(10, halves), 24);
  const auto tilePath = dir / "TILE.BMP";
  const auto tileBytes = bmp.Bytes();
  std::ofstream(tilePath, std::ios::binary).write(reinterpret_cast<const char*>(tileBytes.data()), tileBytes.size());
  WindowFields tiled = PageOfSize(0x40000 | 0x80000);
  tiled.image = centred.image;
  tiled.image.fileName = tilePath.string();
  Show(tiled);
  EXPECT_TRUE(page.Settings().HasComposedBackground());
  EXPECT_EQ(At(2, 2), RGB(0, 200, 0));
  EXPECT_EQ(At(12, 2), RGB(200, 0, 0));
  EXPECT_EQ(At(22, 12), RGB(0, 200, 0)) << "the next tile, one row of tiles down";
  EXPECT_EQ(At(32, 2), RGB(200, 0, 0)) << "tiled at its own size, not stretched";
  EXPECT_EQ(At(317, 237), RGB(200, 0, 0));

  WindowFields missing = PageOfSize(0x40000 | 0x200000 | 0x10000);
  missing.image.fileName = (dir / "NONE.BMP").string();
  Show(missing);
  EXPECT_EQ(At(50, 50), RGB(0, 0, 200)) << "a picture that does not load leaves the colour";
  CStringArray files;
  EXPECT_TRUE(Load(missing)->CollectFiles(&files, 0));
}
