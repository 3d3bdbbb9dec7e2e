// The key description: matching keys with modifier states, copying and its stored form.
#include "behaviour/keyboard.h"

#include <gtest/gtest.h>

#include "model/archive.h"
#include "tests/support/course_builder.h"

using tvn::testing::CourseBuilder;
using tvn::testing::KeyFields;

namespace {

constexpr KeyModifiers kNone{};
constexpr KeyModifiers kCtrl{true, false, false};
constexpr KeyModifiers kShift{false, true, false};
constexpr KeyModifiers kAlt{false, false, true};
constexpr KeyModifiers kCtrlShift{true, true, false};
constexpr KeyModifiers kAltShift{false, true, true};
constexpr KeyModifiers kCtrlAlt{true, false, true};

constexpr UINT kVkReturn = 13;
constexpr UINT kVkF12 = 123;

// Characters with every switch present and off, then the given ones on.
CKeyboard Keys(const char* characters, std::initializer_list<int> on = {}, int switchCount = 29) {
  CKeyboard k;
  k.SetKeyFlags(0);
  k.SetCharacters(characters);
  k.GetSwitches().SetSize(switchCount);
  for (int i : on) k.SetSwitch(i, TRUE);
  return k;
}

struct Reader {
  explicit Reader(const std::vector<std::uint8_t>& bytes) : data(bytes), file(data.data(), data.size()), ar(file) {}
  std::vector<std::uint8_t> data;
  CMemFile file;
  CArchive ar;
};

}  // namespace

TEST(Keyboard, MatchesByCharactersAndModifierRules) {
  struct Row {
    CKeyboard keys;
    UINT key;
    KeyModifiers held;
    BOOL match;
  };
  const Row rows[] = {
      {CKeyboard(), 'Q', kCtrl, TRUE},                                // any key, even with Ctrl held
      {CKeyboard(), kVkF12, kCtrlAlt, TRUE},
      {Keys("YN"), 'Y', kNone, TRUE},
      {Keys("YN"), 'N', kNone, TRUE},
      {Keys("YN"), 'Y', kShift, FALSE},
      {Keys("YN"), 'Y', kCtrl, FALSE},
      {Keys("YN"), 'Y', kAlt, FALSE},
      {Keys("YN"), 'Z', kNone, FALSE},
      {Keys("YN"), 'Y' + 0x100, kNone, FALSE},                        // no match on the low byte alone
      {Keys("X", {CKeyboard::kAlt}), 'X', kAlt, TRUE},
      {Keys("X", {CKeyboard::kAlt}), 'X', kAltShift, TRUE},
      {Keys("X", {CKeyboard::kAlt}), 'X', kCtrlAlt, TRUE},            // Alt decides alone
      {Keys("X", {CKeyboard::kAlt}), 'X', kNone, FALSE},
      {Keys("X", {CKeyboard::kAlt}), 'X', kShift, FALSE},
      {Keys("S", {CKeyboard::kShift, CKeyboard::kCtrl}), 'S', kShift, TRUE},
      {Keys("S", {CKeyboard::kShift, CKeyboard::kCtrl}), 'S', kCtrlShift, TRUE},
      {Keys("S", {CKeyboard::kShift, CKeyboard::kCtrl}), 'S', kCtrl, FALSE},
      {Keys("C", {CKeyboard::kCtrl}), 'C', kCtrl, TRUE},
      {Keys("C", {CKeyboard::kCtrl}), 'C', kNone, FALSE},
      {Keys("C", {CKeyboard::kCtrl}), 'C', kCtrlShift, FALSE},
      {Keys("YN", {}, 0), 'Y', kCtrlShift, TRUE},                     // fewer than 3 switches: modifiers not asked
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(rows[i].keys.Match(rows[i].key, 0, rows[i].held), rows[i].match) << "row " << i;
  }
}

TEST(Keyboard, SpecialKeysBySwitch) {
  EXPECT_TRUE(Keys("", {CKeyboard::kEnter}).Match(kVkReturn, 0, kNone));
  EXPECT_FALSE(Keys("", {CKeyboard::kEnter}).Match(kVkReturn, 0, kShift));
  EXPECT_FALSE(Keys("", {CKeyboard::kEscape}).Match(kVkReturn, 0, kNone));
  EXPECT_TRUE(Keys("", {CKeyboard::kF12}).Match(kVkF12, 0, kNone));
  EXPECT_TRUE(Keys("", {CKeyboard::kLeft, CKeyboard::kCtrl}).Match(37, 0, kCtrl));
  // A switch array too short to hold the key's switch cannot match it.
  EXPECT_FALSE(Keys("", {}, 28).Match(kVkF12, 0, kNone));
  EXPECT_FALSE(Keys("", {}, 3).Match(kVkReturn, 0, kNone));
  // Switch bytes past the table name no key, whatever their value.
  CKeyboard extra = Keys("", {29, 30, 31, 40}, 41);
  EXPECT_FALSE(extra.Match(0, 0, kNone));

  const std::pair<int, UINT> codes[] = {{0, 0},   {2, 0},   {3, 13},  {4, 27},   {5, 9},    {6, 8},  {7, 46},
                                        {8, 45},  {9, 33},  {10, 34}, {11, 36},  {12, 35},  {13, 37}, {14, 39},
                                        {15, 38}, {16, 40}, {17, 112}, {28, 123}, {29, 0}, {-1, 0}, {99, 0}};
  for (auto [index, code] : codes) EXPECT_EQ(CKeyboard::KeyCodeOfSwitch(index), code) << "switch " << index;
}

TEST(Keyboard, ModifiersFromKeyStateUseTheHighByte) {
  // Toggle state in the low byte (Caps Lock style) must not count as down.
  auto states = [](int vk) -> short {
    switch (vk) {
      case 0x11: return static_cast<short>(0x8000);  // Ctrl down
      case 0x10: return 0x0001;                      // Shift toggled only
      case 0x12: return static_cast<short>(0xFF80);  // Alt down, as a negative state
      default: return 0;
    }
  };
  KeyModifiers held = KeyModifiers::FromKeyState(states);
  EXPECT_TRUE(held.ctrl);
  EXPECT_FALSE(held.shift);
  EXPECT_TRUE(held.alt);
}

TEST(Keyboard, CopiesFlagsCharactersAndSwitches) {
  CKeyboard source = Keys("AB", {CKeyboard::kAlt, CKeyboard::kHome});
  CKeyboard copy(source);
  EXPECT_EQ(copy.GetKeyFlags(), 0u);
  EXPECT_EQ(copy.GetCharacters(), "AB");
  EXPECT_EQ(copy.GetSwitches().GetSize(), 29);
  EXPECT_TRUE(copy.IsSwitchOn(CKeyboard::kHome));

  CKeyboard target;
  target = source;
  EXPECT_TRUE(target.Match('A', 0, kAlt));
  EXPECT_FALSE(target.Match('A', 0, kNone));
}

TEST(Keyboard, ReadsItsStoredFormInline) {
  CourseBuilder b;
  b.Keyboard({0, "YN", {0, 1, 0, 1}});
  b.Keyboard({4, "", {}});  // the class by back-reference the second time
  b.out().Dword(77);
  Reader r(b.bytes());
  CKeyboard first, second;
  first.Serialize(r.ar);
  second.Serialize(r.ar);
  EXPECT_EQ(r.ar.ReadDword(), 77u);

  EXPECT_EQ(first.GetKeyFlags(), 0u);
  EXPECT_EQ(first.GetCharacters(), "YN");
  EXPECT_EQ(first.GetSwitches().GetSize(), 4);
  EXPECT_TRUE(first.Match('Y', 0, kShift));
  EXPECT_TRUE(first.Match(kVkReturn, 0, kShift));
  EXPECT_FALSE(first.Match('Y', 0, kNone));
  EXPECT_EQ(second.GetKeyFlags(), 4u);
  EXPECT_TRUE(second.GetSwitches().IsEmpty());
}

TEST(Keyboard, DamagedStoredFormsFailWithTheirArchiveCause) {
  auto causeOf = [](const std::vector<std::uint8_t>& bytes) {
    Reader r(bytes);
    CKeyboard k;
    try {
      k.Serialize(r.ar);
    } catch (const CArchiveException& e) {
      return e.m_cause;
    }
    return static_cast<int>(CArchiveException::none);
  };
  CourseBuilder whole;
  whole.Keyboard({0, "XYZ", std::vector<std::uint8_t>(29, 1)});
  for (std::size_t n = 0; n < whole.bytes().size(); ++n) {
    std::vector<std::uint8_t> cut(whole.bytes().begin(), whole.bytes().begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_EQ(causeOf(cut), CArchiveException::endOfFile) << "cut at " << n;
  }
  EXPECT_EQ(causeOf(whole.bytes()), CArchiveException::none);

  // A switch count far beyond the bytes that follow.
  CourseBuilder forged;
  forged.out().ClassRef("CKeyboard", 2);
  forged.out().Dword(0).String("").Count(0x7FFFFFF0u).Byte(1);
  EXPECT_EQ(causeOf(forged.bytes()), CArchiveException::endOfFile);

  CourseBuilder otherClass;
  otherClass.out().ClassRef("CAction", 2);
  EXPECT_EQ(causeOf(otherClass.bytes()), CArchiveException::badClass);
}
