// Embedded fonts: reading the list and installing fonts for the open courses.
#include "model/embedded_font.h"

#include <gtest/gtest.h>

#include <map>

#include "model/archive.h"
#include "tests/support/course_builder.h"

using tvn::testing::CourseBuilder;
using tvn::testing::EmbeddedFontFields;

namespace {

// A font database that knows a few families and records what is added and taken away.
class FakeFontSystem : public tvn::fonts::IFontSystem {
 public:
  std::vector<CString> StylesOf(const CString& family) override {
    std::vector<CString> out;
    for (const auto& [id, font] : added) {
      if (font.first == family.str()) out.push_back(CString(font.second));
    }
    auto it = system.find(family.str());
    if (it != system.end()) {
      for (const auto& s : it->second) out.push_back(CString(s));
    }
    return out;
  }
  int AddFont(const std::vector<BYTE>& fontFile) override {
    if (fontFile.empty()) return -1;
    // The "font file" of these tests is "family|style".
    std::string text(fontFile.begin(), fontFile.end());
    auto bar = text.find('|');
    int id = nextId++;
    added[id] = {text.substr(0, bar), text.substr(bar + 1)};
    ++adds;
    return id;
  }
  bool RemoveFont(int id) override {
    ++removes;
    return added.erase(id) > 0;
  }

  std::map<std::string, std::vector<std::string>> system = {{"Arial", {"Regular", "Bold"}}};
  std::map<int, std::pair<std::string, std::string>> added;
  int nextId = 0;
  int adds = 0;
  int removes = 0;
};

std::vector<std::uint8_t> FontData(const std::string& family, const std::string& style) {
  std::string text = family + "|" + style;
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::unique_ptr<CEmbeddedFontObjList> ReadList(const std::vector<EmbeddedFontFields>& fonts) {
  CourseBuilder b;
  b.EmbeddedFonts(fonts);
  std::vector<std::uint8_t> bytes = b.bytes();
  CMemFile file(bytes.data(), bytes.size());
  CArchive ar(file);
  auto list = std::make_unique<CEmbeddedFontObjList>();
  list->Serialize(ar);
  EXPECT_EQ(ar.BytesRemaining(), 0u);
  return list;
}

}  // namespace

TEST(EmbeddedFontList, ReadsEveryFontWithItsBytes) {
  std::vector<std::uint8_t> big(70000, 0xAB);
  auto list = ReadList({{"Fancy", "Regular", "FANCY", FontData("Fancy", "Regular")},
                        {"Fancy", "Bold Italic", "FANCYBI", big}});
  ASSERT_EQ(list->GetCount(), 2);
  EXPECT_EQ(list->GetAt(0)->m_strFaceName, "Fancy");
  EXPECT_EQ(list->GetAt(1)->m_strStyleName, "Bold Italic");
  EXPECT_EQ(list->GetAt(1)->m_strFileName, "FANCYBI");
  EXPECT_EQ(list->GetAt(1)->m_fontData.items(), big);
  EXPECT_FALSE(list->GetAt(0)->m_bInstalled);
  EXPECT_EQ(list->GetAt(2), nullptr);
}

TEST(EmbeddedFontList, TruncatedFontDataFailsTheRead) {
  CourseBuilder b;
  b.EmbeddedFonts({{"Fancy", "Regular", "FANCY", FontData("Fancy", "Regular")}});
  std::vector<std::uint8_t> bytes = b.bytes();
  bytes.resize(bytes.size() - 3);
  CMemFile file(bytes.data(), bytes.size());
  CArchive ar(file);
  CEmbeddedFontObjList list;
  EXPECT_THROW(list.Serialize(ar), CArchiveException);
}

TEST(EmbeddedFontList, PresentFamilyAndStyleIsLeftAloneAndMissingOnesAreAdded) {
  FakeFontSystem fonts;
  CEmbeddedFontRegistry registry(fonts);
  auto list = ReadList({{"Arial", "Bold", "ARIALBD", FontData("Arial", "Bold")},
                        {"Arial", "Black", "ARIBLK", FontData("Arial", "Black")},
                        {"Fancy", "Regular", "FANCY", FontData("Fancy", "Regular")},
                        {"Broken", "Regular", "BROKEN", {}}});
  list->InstallFonts(registry);
  EXPECT_FALSE(list->GetAt(0)->m_bInstalled);
  EXPECT_TRUE(list->GetAt(1)->m_bInstalled);
  EXPECT_TRUE(list->GetAt(2)->m_bInstalled);
  EXPECT_FALSE(list->GetAt(3)->m_bInstalled);  // refused data: a substitute is used
  EXPECT_EQ(fonts.adds, 2);
  list->RemoveFonts(registry);
  EXPECT_EQ(fonts.removes, 2);
  EXPECT_TRUE(fonts.added.empty());
  EXPECT_FALSE(list->GetAt(1)->m_bInstalled);
}

TEST(EmbeddedFontList, SharedFontStaysUntilTheLastCourseThatUsesItCloses) {
  FakeFontSystem fonts;
  CEmbeddedFontRegistry registry(fonts);
  auto first = ReadList({{"Fancy", "Regular", "FANCY", FontData("Fancy", "Regular")}});
  auto second = ReadList({{"Fancy", "Regular", "FANCY", FontData("Fancy", "Regular")}});
  first->InstallFonts(registry);
  second->InstallFonts(registry);
  EXPECT_EQ(fonts.adds, 1);
  EXPECT_EQ(registry.UsersOf("Fancy", "Regular"), 2);
  // The first course closes while the second still plays with the font.
  first->RemoveFonts(registry);
  EXPECT_EQ(fonts.removes, 0);
  EXPECT_EQ(fonts.added.size(), 1u);
  second->RemoveFonts(registry);
  EXPECT_EQ(fonts.removes, 1);
  EXPECT_EQ(registry.UsersOf("Fancy", "Regular"), 0);
  // Removing twice, or installing twice, does not count twice.
  second->RemoveFonts(registry);
  first->InstallFonts(registry);
  first->InstallFonts(registry);
  EXPECT_EQ(registry.UsersOf("Fancy", "Regular"), 1);
  first->RemoveFonts(registry);
  EXPECT_TRUE(fonts.added.empty());
}
