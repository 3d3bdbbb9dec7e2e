// Display depth decisions and the profile forms of placements and fonts.
#include "model/system_queries.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(SystemQueries, BitDepthFromTheDeviceFormat) {
  struct Row {
    DWORD compression;
    int bits;
    DWORD r, g, b;
    int expected;
  };
  const Row rows[] = {
      {DeviceFormat::kRgb, 1, 0, 0, 0, 1},
      {DeviceFormat::kRgb, 8, 0, 0, 0, 8},
      {DeviceFormat::kRgb, 24, 0, 0, 0, 24},
      {DeviceFormat::kBitFields, 32, 0xFF0000, 0xFF00, 0xFF, 32},
      {DeviceFormat::kRgb, 16, 0, 0, 0, 15},
      {DeviceFormat::kBitFields, 16, 0x7C00, 0x03E0, 0x001F, 15},
      {DeviceFormat::kBitFields, 16, 0xF800, 0x07E0, 0x001F, 16},
      {DeviceFormat::kBitFields, 16, 0xF800, 0x07E0, 0x003F, 15},
      {DeviceFormat::kBitFields, 16, 0x1, 0x2, 0x4, 15},
      {DeviceFormat::kRgb, 2, 0, 0, 0, 0},
      {1, 8, 0, 0, 0, 0},
  };
  int row = 0;
  for (const Row& r : rows) EXPECT_EQ(BitDepthFromFormat(r.compression, r.bits, r.r, r.g, r.b), r.expected) << row++;
  EXPECT_EQ(GetDisplayBitDepth(nullptr), 32);
  EXPECT_EQ(GetDisplayBitDepth("display"), 32);
  EXPECT_EQ(GetDisplayBitDepth("\\\\.\\PRINTER"), 0);
  EXPECT_TRUE(IsWindowsNt4());
}

TEST(SystemQueries, WindowPlacementNeedsAllTenFields) {
  WINDOWPLACEMENT wp;
  wp.flags = 77;
  EXPECT_FALSE(ParseWindowPlacement("1,2,3,4,5,6,7,8,9", wp));
  EXPECT_FALSE(ParseWindowPlacement("", wp));
  EXPECT_FALSE(ParseWindowPlacement("1,2,3,4,5,6,7,8,9;10", wp));
  EXPECT_EQ(wp.flags, 77u);
  ASSERT_TRUE(ParseWindowPlacement("0, 1,-3,-4,5,6,10,20,630,470", wp));
  EXPECT_EQ(wp.length, 44u);
  EXPECT_EQ(wp.showCmd, 1u);
  EXPECT_EQ(wp.minX, -3);
  EXPECT_EQ(wp.normalRight, 630);
  EXPECT_EQ(wp.normalBottom, 470);
}

TEST(SystemQueries, ProfileFontFields) {
  LOGFONT def;
  std::strcpy(def.lfFaceName, "Arial");
  def.lfHeight = -20;
  LOGFONT out;
  out.lfHeight = 5;
  EXPECT_FALSE(ParseProfileFont("", def, out));
  EXPECT_EQ(out.lfHeight, 5);  // an empty value leaves the output alone
  EXPECT_FALSE(ParseProfileFont("-13,0,0,0,700,a,b", def, out));
  EXPECT_EQ(out.lfHeight, -20);  // a short value gives the default
  ASSERT_TRUE(ParseProfileFont("-13,0,0,0,700,\x01,0,\x02,a,b,c,d,e,Times New Roman", def, out));
  EXPECT_EQ(out.lfHeight, -13);
  EXPECT_EQ(out.lfWeight, 700);
  EXPECT_EQ(out.lfItalic, 1);
  EXPECT_EQ(out.lfUnderline, '0');  // one character each, taken as it is
  EXPECT_EQ(out.lfStrikeOut, 2);
  EXPECT_EQ(out.lfPitchAndFamily, 'e');
  EXPECT_STREQ(out.lfFaceName, "Times New Roman");
  ASSERT_TRUE(ParseProfileFont("1,2,3,4,5,a,b,c,d,e,f,g,h," + std::string(40, 'F'), def, out));
  EXPECT_EQ(std::strlen(out.lfFaceName), 31u);
}
