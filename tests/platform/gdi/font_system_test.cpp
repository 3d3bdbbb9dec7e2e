// Qt's font database behind the font system: families present, fonts added from memory and taken away.
#include "platform/gdi/font_system.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QGuiApplication>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// The font database needs the GUI application object, and it must be gone
// again before the program's own statics are destroyed.
struct App {
  int argc = 1;
  char name[16] = "platform_tests";
  char* argv[2] = {name, nullptr};
  QGuiApplication app{argc, argv};
};

std::vector<BYTE> FontFile() {
  for (const char* path : {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                           "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"}) {
    std::ifstream in(path, std::ios::binary);
    if (in) return std::vector<BYTE>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  return {};
}

}  // namespace

TEST(QtFontSystem, AddsAndRemovesFontsFromMemory) {
  App app;
  tvn::fonts::QtFontSystem fonts;
  std::vector<BYTE> file = FontFile();
  if (file.empty()) GTEST_SKIP() << "no font file of the bootstrap packages is installed";
  EXPECT_TRUE(fonts.StylesOf("No Such Family 12345").empty());
  EXPECT_EQ(fonts.AddFont({}), -1);
  EXPECT_EQ(fonts.AddFont({1, 2, 3, 4}), -1);
  int id = fonts.AddFont(file);
  ASSERT_GE(id, 0);
  QStringList families = QFontDatabase::applicationFontFamilies(id);
  ASSERT_FALSE(families.isEmpty());
  CString family = CString::FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(families[0].utf16()),
                                                          static_cast<std::size_t>(families[0].size())));
  EXPECT_FALSE(fonts.StylesOf(family).empty());
  EXPECT_TRUE(fonts.RemoveFont(id));
  EXPECT_FALSE(fonts.RemoveFont(-1));
}
