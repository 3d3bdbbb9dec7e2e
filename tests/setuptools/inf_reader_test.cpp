// The script reader: compaction, section and key lookups, fields and file counts.
#include "setuptools/common/inf_reader.h"

#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

CInfReader Read(const std::string& text) {
  CInfReader reader;
  EXPECT_EQ(reader.LoadBytes(text, CInfReader::Encoding::kAnsi, true), 0u);
  return reader;
}

TEST(InfReaderTest, ValuesLoseBlanksOutsideQuotesAndStopAtComments) {
  CInfReader inf = Read(
      "[data]\r\n"
      "plain = a b\r\n"
      "quoted = \"a b\"\r\n"
      "cut = \"x;y\"\r\n"
      "text1=x\r\n"
      "list = \"a b\",c\r\n"
      "   ; a comment line leaves nothing behind\r\n"
      "last=end");
  struct Row { const char* key; const char* value; } rows[] = {
      {"data.plain", "ab"}, {"data.quoted", "a b"}, {"data.cut", "x"},
      {"data.text", ""},  // text1 does not answer the key text
      {"data.TEXT1", "x"}, {"data.list", "\"a b\",c"}, {"data.last", "end"},  // the last character stays
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(inf.GetString(rows[i].key), rows[i].value) << "row " << i;
  }
  const char* line = inf.GetSection("data");
  for (int i = 0; i < 4; ++i) line = inf.NextLine(line);
  EXPECT_EQ(CInfReader::GetField(line, 0), "list");
  EXPECT_EQ(CInfReader::GetField(line, 1), "a b");
  EXPECT_EQ(CInfReader::GetField(line, 2), "c");
  EXPECT_EQ(CInfReader::GetField(line, 3), "");
  EXPECT_EQ(inf.GetString("nodot"), "");
}

TEST(InfReaderTest, SectionsAreFoundWithoutRegardToCase) {
  CInfReader inf = Read(
      "[My Section]\n a = 1\n\n[empty]\n; only a comment\n[disk.space]\nminspace=1000\n[last]\nk=v\n");
  EXPECT_EQ(inf.GetString("MY SECTION.A"), "1");
  EXPECT_EQ(inf.FindSection("empty"), 0u);
  EXPECT_EQ(inf.FindSection("missing"), 0u);
  EXPECT_EQ(inf.GetString("disk.space.minspace"), "1000");
  EXPECT_EQ(inf.GetString("last.k"), "v");
  CString value = "stale";
  EXPECT_FALSE(inf.GetValue("missing", "k", value));
  EXPECT_TRUE(value.IsEmpty());
  // A section's lines end at the next header.
  const char* first = inf.GetSection("my section");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(inf.NextLine(first), nullptr);
}

TEST(InfReaderTest, FieldsOfPlainAndKeyLines) {
  EXPECT_EQ(CInfReader::GetField("a=b,c", 0), "a");
  EXPECT_EQ(CInfReader::GetField("a=b,c", 1), "b");
  EXPECT_EQ(CInfReader::GetField("a=b,c", 2), "c");
  EXPECT_EQ(CInfReader::GetField("a,b", 0), "");
  EXPECT_EQ(CInfReader::GetField("a,b", 1), "a");
  EXPECT_EQ(CInfReader::GetField("a,b", 2), "b");
  EXPECT_EQ(CInfReader::GetField("1:x,\"p,q=r\",,w", 2), "p,q=r");
  EXPECT_EQ(CInfReader::GetField("1:x,\"p,q=r\",,w", 3), "");
  EXPECT_EQ(CInfReader::GetField("1:x,\"p,q=r\",,w", 4), "w");
  EXPECT_TRUE(CInfReader::HasSeparator("a,b"));
  EXPECT_FALSE(CInfReader::HasSeparator("\"a,b=c\""));
  // Values of any length.
  std::string longValue(5000, 'v');
  CInfReader inf = Read("[s]\nk=" + longValue + "\n");
  EXPECT_EQ(inf.GetString("s.k").GetLength(), 5000);
}

TEST(InfReaderTest, CountFilesCountsZipEntriesByTheirFifthField) {
  CInfReader inf = Read(
      "[default.files]\n1:DATA.ZIP,<defdir>,,,12\n1:more.zip,<defdir>\n1:A.TXT,<defdir>\n1:ZIP.TXT,<defdir>,,,7\n"
      "[disks]\n1=Disk one\n2=Disk two\n");
  EXPECT_EQ(inf.CountFiles(inf.GetSection("default.files")), 12 + 1 + 1 + 1);
  EXPECT_EQ(inf.CountFiles(inf.GetSection("disks")), 2);
  EXPECT_EQ(inf.GetString("disks.2"), "Disktwo");
  EXPECT_EQ(inf.CountFiles(nullptr), 0);
  // A script saved with a DOS end mark: the mark is not a line of the last section.
  CInfReader marked = Read("[disks]\r\n1=Disk one\r\n2=Disk two\r\n\x1A");
  EXPECT_EQ(marked.CountFiles(marked.GetSection("disks")), 2);
  CInfReader unended = Read("[run.program.after]\r\n1:GO.EXE ; start it\x1A");
  const char* line = unended.GetSection("run.program.after");
  EXPECT_EQ(CInfReader::GetField(line, 1), "1:GO.EXE");
  EXPECT_EQ(unended.NextLine(line), nullptr);
}

TEST(InfReaderTest, PrecompiledScriptsAndTheScriptEnd) {
  const char kCompiled[] = "INFCMP[a]\0k=v\0\0[b]\0x=1\0\0\xFF";
  std::string compiled(kCompiled, sizeof kCompiled - 1);
  CInfReader inf = Read(compiled);
  EXPECT_EQ(inf.GetString("a.k"), "v");
  EXPECT_EQ(inf.GetString("b.x"), "1");
  // Without its end mark a precompiled script ends with the file.
  CInfReader cut = Read(std::string("infcmp[a]\0k=v", 13));
  EXPECT_EQ(cut.GetString("a.k"), "v");
  // 0xFF inside a line is a letter (code page 1252), not the script's end.
  CInfReader letter = Read("[s]\nname=\xFF\n[t]\nk=v\n");
  EXPECT_EQ(letter.GetString("s.name"), "\xC3\xBF");
  EXPECT_EQ(letter.GetString("t.k"), "v");
}

TEST(InfReaderTest, ManyShortSectionsGrowTheOutput) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "\n[" + std::to_string(i % 10) + "]";
  text += "\n[z]\nk=v\n";
  CInfReader inf = Read(text);
  EXPECT_GT(inf.Compacted().size(), text.size());
  EXPECT_EQ(inf.GetString("z.k"), "v");
  // Sections beyond the old 64 KiB limit are still found.
  std::string big = "[first]\n";
  for (int i = 0; i < 20000; ++i) big += "line" + std::to_string(i) + "=x\n";
  big += "[far]\nkey=found\n";
  EXPECT_EQ(Read(big).GetString("far.key"), "found");
}

TEST(InfReaderTest, LoadFindsTheScriptWithoutRegardToCase) {
  tvn::testing::TempDir dir;
  CInfReader inf;
  EXPECT_EQ(inf.Load(dir.path()), InfMessage::kMissingScript);
  std::ofstream(dir / "install.inf", std::ios::binary) << "[dialog]\r\ncaption=Caf\xE9\r\n";
  EXPECT_EQ(inf.Load(dir.path()), 0u);
  EXPECT_EQ(inf.GetString("dialog.caption"), "Caf\xC3\xA9");
  // The uninstaller's log is UTF-8 and never taken as precompiled.
  std::ofstream(dir / "log.inf", std::ios::binary) << "infcmp\n[dialog]\ncaption=\"Caf\xC3\xA9\"\n";
  EXPECT_EQ(inf.LoadLog(dir / "log.inf"), 0u);
  EXPECT_EQ(inf.GetString("dialog.caption"), "Caf\xC3\xA9");
  EXPECT_EQ(inf.LoadLog(dir / "none.inf"), InfMessage::kMissingScript);
}

}  // namespace

namespace {

TEST(InfReaderTest, AScriptWithEverySectionReadsAsWritten) {
  std::ifstream in(TVN_TEST_DATA_DIR "/setuptools/install_all.inf", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  CInfReader inf = Read(text);
  struct Row { const char* key; const char* value; } rows[] = {
      {"dialog.caption", "Demo Course"}, {"dialog.text1", "Welcome to the demo course."},
      {"background.title", "Demo Course Setup"}, {"data.defdir", "C:\\TAVELON\\DEMO"},
      {"data.terms", "Use it kindly."}, {"data.uninstall", "true"}, {"bootup.CmdLine", ""},
      {"disk.space.minspace", "150000"}, {"disks.1", "Demo disk 1"},
      {"custom.dialog.text1", "Choose the parts to install"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(inf.GetString(rows[i].key), rows[i].value) << "row " << i;
  EXPECT_EQ(inf.CountFiles(inf.GetSection("disks")), 2);
  EXPECT_EQ(inf.CountFiles(inf.GetSection("default.files")), 1 + 1 + 12 + 1);

  const char* component = inf.NextLine(inf.GetSection("custom.dialog"));
  EXPECT_EQ(CInfReader::GetField(component, 1), "Sample pictures");
  EXPECT_EQ(CInfReader::GetField(component, 2), "pictures.files");
  EXPECT_EQ(CInfReader::GetField(component, 4), "20000");
  const char* system = inf.GetSection("system.files");
  EXPECT_EQ(CInfReader::GetField(system, 3), "SHARESYSTEM");
  EXPECT_EQ(CInfReader::GetField(system, 6), "2,5,0,1");
  EXPECT_EQ(CInfReader::GetField(inf.GetSection("sounds.files"), 2), "<defdir>sounds\\");
  const char* after = inf.GetSection("run.program.after");
  EXPECT_EQ(CInfReader::GetField(after, 2), "<defdir>course\\demo.tvn");
  EXPECT_EQ(CInfReader::GetField(after, 3), "WAIT");
  EXPECT_EQ(CInfReader::GetField(inf.GetSection("register.control"), 1), "demo.ocx");
  EXPECT_EQ(CInfReader::GetField(inf.GetSection("registry"), 2), "Software\\Tavelon\\Demo");
  EXPECT_EQ(inf.GetString("ODBC Drivers.Demo Driver"), "");  // the quoted key keeps its quotes
  EXPECT_EQ(CInfReader::GetField(inf.GetSection("ODBC Drivers"), 1), "demo.dll");
  const char* groups = inf.GetSection("progman.groups");
  EXPECT_EQ(CInfReader::GetField(groups, 1), "Demo Course");
  EXPECT_EQ(CInfReader::GetField(inf.NextLine(groups), 1), "OldGroup");
  EXPECT_EQ(CInfReader::GetField(inf.NextLine(groups), 2), "delete");
  const char* item = inf.GetSection("Demo Course");
  EXPECT_EQ(CInfReader::GetField(item, 3), "<defdir>course\\demo.tvn");
  EXPECT_EQ(CInfReader::GetField(inf.NextLine(item), 2), "notepad.exe <defdir>readme.txt");
}

}  // namespace
