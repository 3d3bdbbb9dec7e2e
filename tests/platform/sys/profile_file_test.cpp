// INI files with Windows' rules: lookups without regard to case, other lines kept, safe saving.
#include "platform/sys/profile_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/temp_dir.h"

namespace {

TEST(ProfileFile, LookupsIgnoreCaseAndBlanks) {
  tvn::sys::ProfileFile ini;
  ini.Parse("; leading comment\r\n[Tavelon Demo]\r\n  Path = C:\\DEMO  \r\nquoted=\" a \"\r\n\r\n[other]\nPath=x\n");
  EXPECT_EQ(ini.GetString("tavelon demo", "PATH"), "C:\\DEMO");
  EXPECT_EQ(ini.GetString(" Tavelon Demo ", "quoted"), " a ");
  EXPECT_EQ(ini.GetString("other", "path"), "x");
  EXPECT_FALSE(ini.GetString("missing", "path"));
  EXPECT_FALSE(ini.GetString("other", "none"));
}

TEST(ProfileFile, WritesKeepOtherLinesAndReplaceWholeFiles) {
  tvn::testing::TempDir dir;
  auto file = dir / "win.ini";
  tvn::sys::ProfileFile ini;
  EXPECT_TRUE(ini.Load(file));  // a missing file is an empty profile
  std::ofstream(file, std::ios::binary) << "; keep me\n[Fonts]\nA=1\n\n[Demo]\npath=old\n";
  ASSERT_TRUE(ini.Load(file));
  ini.SetString("DEMO", "Path", "new");
  ini.SetString("fonts", "B", "2");
  ini.SetString("New Section", "k", "v");
  ASSERT_EQ(ini.Save(file), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "win.ini.tmp~"));
  std::ifstream in(file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "; keep me\r\n[Fonts]\r\nA=1\r\nB=2\r\n\r\n[Demo]\r\nPath=new\r\n\r\n[New Section]\r\nk=v\r\n");
  // A folder in the way: the target is left as it was.
  std::filesystem::create_directory(dir / "blocked");
  EXPECT_NE(ini.Save(dir / "blocked"), 0);
}

}  // namespace
