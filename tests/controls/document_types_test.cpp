// Document types, detection, the OEM and converter files, the compound-file reader and the RTF colour rewrite.
#include <gtest/gtest.h>

#include <fstream>

#include "controls/compound_file.h"
#include "controls/converter_file.h"
#include "controls/doc_types.h"
#include "controls/file_type_detection.h"
#include "controls/rtf_recolour.h"
#include "controls/text_converter.h"
#include "controls/text_converter_registry.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace tvn::testing;

// A converter that reads files starting "FAKE" and gives a fixed amount of RTF, or fails.
class FakeConverter : public ITextConverterProvider {
 public:
  bool IsFormatCorrect(std::string_view bytes) override { return bytes.starts_with("FAKE") || accepts; }
  bool ForeignToRtf(std::string_view, const std::function<bool(std::string_view)>& output) override {
    std::string piece(5000, 'r');
    std::size_t left = produce;
    while (left > 0) {
      const std::size_t n = std::min(left, piece.size());
      if (!output(std::string_view(piece).substr(0, n))) return false;
      left -= n;
    }
    return !fail;
  }
  bool RtfToForeign(const std::function<std::size_t(char*, std::size_t)>& input,
                    const std::function<void(std::string_view)>& output) override {
    char buffer[1000];
    while (std::size_t n = input(buffer, sizeof buffer)) {
      received += n;
      output(std::string_view(buffer, n));
    }
    return !fail;
  }
  std::size_t produce = 10000;
  bool fail = false;
  bool accepts = false;
  std::size_t received = 0;
};

// A compound file of 512-byte sectors: header, one FAT sector, one directory sector.
std::string CompoundFile(bool withSummary) {
  std::string file(512 * 3, '\0');
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(v >> (8 * i));
  };
  file.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
  file[0x1E] = 9;
  put32(0x2C, 1);           // one FAT sector
  put32(0x30, 1);           // the directory starts at sector 1
  put32(0x44, 0xFFFFFFFE);  // no DIFAT sectors
  put32(0x4C, 0);           // the FAT is sector 0
  for (std::size_t i = 1; i < 109; ++i) put32(0x4C + i * 4, 0xFFFFFFFF);
  const std::size_t fat = 512;
  for (std::size_t i = 0; i < 128; ++i) put32(fat + i * 4, 0xFFFFFFFF);
  put32(fat, 0xFFFFFFFD);
  put32(fat + 4, 0xFFFFFFFE);
  auto entry = [&](std::size_t index, std::u16string_view name, char type) {
    const std::size_t at = 1024 + index * 128;
    for (std::size_t c = 0; c < name.size(); ++c) {
      file[at + c * 2] = static_cast<char>(name[c] & 0xFF);
      file[at + c * 2 + 1] = static_cast<char>(name[c] >> 8);
    }
    file[at + 0x40] = static_cast<char>((name.size() + 1) * 2);
    file[at + 0x42] = type;
  };
  entry(0, u"Root Entry", 5);
  entry(1, withSummary ? kSummaryStreamName : u"WordDocument", 2);
  return file;
}

class DocumentTypesTest : public ::testing::Test {
 protected:
  CString Write(const char* name, const std::string& bytes) {
    std::ofstream(dir.path() / name, std::ios::binary) << bytes;
    return CString((dir.path() / name).string());
  }
  int Detect(const CString& path) {
    CFileException error;
    return GetDocTypeFromFile(path, error, RichTextFiles{nullptr, nullptr, &registry});
  }
  TempDir dir;
  CConverterRegistry registry;
  std::shared_ptr<FakeConverter> converter = std::make_shared<FakeConverter>();
};

TEST_F(DocumentTypesTest, DetectionBySignatureThenByName) {
  struct Row {
    const char* name;
    std::string bytes;
    int type;
  };
  const Row rows[] = {
      {"x.txt", "{\\rtf1 hello}", DocType::kRtf},
      {"A.DOC", "", DocType::kWord6},
      {"b.rtf", "", DocType::kRtf},
      {"c", "", DocType::kText},
      {"d.txt", "", DocType::kText},
      {"e.bin", "MZ\x90\x00", DocType::kExecutable},
      {"f.wri", "\x31\xBE\x00\x00", DocType::kText},
      {"g.doc", std::string("\xDB\xA5\x2D\x00", 4), DocType::kWord2},
      {"h.txt", "hello", DocType::kText},
      {"i.doc", CompoundFile(true), DocType::kWord6},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(Detect(Write(rows[i].name, rows[i].bytes)), rows[i].type) << "row " << i;
  CFileException error;
  EXPECT_EQ(GetDocTypeFromFile(CString((dir.path() / "none").string()), error, {}), -1);
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);

  // With converters, Write and Word files go to their rows.
  registry.Register("write32.wpc", converter);
  registry.Register(kWordConverter, converter);
  converter->accepts = true;
  EXPECT_EQ(Detect(Write("f.wri", "\x31\xBE\x00\x00")), DocType::kWrite);
  EXPECT_EQ(Detect(Write("i.doc", CompoundFile(true))), DocType::kWord6Summary);
  EXPECT_EQ(Detect(Write("j.doc", CompoundFile(false))), DocType::kWord6);
  converter->accepts = false;
  EXPECT_EQ(Detect(Write("k.doc", CompoundFile(true))), DocType::kText) << "the converter refuses it";
}

TEST_F(DocumentTypesTest, TheTableListsWhatCanBeReadAndWritten) {
  CDocTypeTable table(&registry);
  static constexpr char kOpening[] = "Rich Text Format (*.rtf)\0*.rtf\0Text Documents (*.txt)\0*.txt\0"
                                     "Text Documents - MS-DOS Format (*.txt)\0*.txt\0All Documents (*.*)\0*.*\0";
  const std::string opening(kOpening, sizeof kOpening - 1);
  EXPECT_EQ(table.GetDocTypeFilters(TRUE).str(), opening);
  static constexpr char kSaving[] = "Rich Text Format (RTF)\0*.rtf\0Text Document\0*.txt\0"
                                    "Text Document - MS-DOS Format\0*.txt\0";
  const std::string saving(kSaving, sizeof kSaving - 1);
  EXPECT_EQ(table.GetDocTypeFilters(FALSE).str(), saving);
  EXPECT_EQ(table.GetDocTypeIndex(0, TRUE), DocType::kRtf);
  EXPECT_EQ(table.GetDocTypeIndex(4, TRUE), -1);
  EXPECT_EQ(table.GetDocTypeFilterPosition(DocType::kOemText, FALSE), 2);
  EXPECT_EQ(table.GetDocTypeFilterPosition(DocType::kWord6Summary, TRUE), -1) << "hidden";
  EXPECT_EQ(table.GetDocTypeString(DocType::kExecutable, 0).str(), "Executable");
  EXPECT_EQ(table.GetDocTypeString(DocType::kAll, 3).str(), "");
  EXPECT_EQ(table.GetDocTypeExtension(DocType::kRtf).str(), ".rtf");
  EXPECT_EQ(table.GetDocTypeExtension(DocType::kEmbedded).str(), "");

  registry.Register(kWordConverter, converter);
  CDocTypeTable withWord(&registry);
  EXPECT_EQ(withWord.GetDocTypeIndex(0, FALSE), DocType::kWord6);
  EXPECT_EQ(withWord.GetDocTypeFilterPosition(DocType::kWord6Summary, FALSE), -1);

  CDocTypeTable doubleByte(nullptr, true);
  doubleByte.ScanForConverters();
  EXPECT_FALSE(doubleByte.Row(DocType::kOemText).read);
  EXPECT_EQ(doubleByte.GetDocTypeFilterPosition(DocType::kOemText, TRUE), -1);
}

TEST_F(DocumentTypesTest, OemFilesReadAndWriteTheDosCodePage) {
  const CString path = Write("dos.txt", "\x81\x82\xB0");
  COemFile file;
  ASSERT_TRUE(file.Open(path, CFile::modeRead));
  EXPECT_EQ(file.GetOpenLength(), 3u);
  unsigned char bytes[3] = {};
  ASSERT_EQ(file.Read(bytes, 3), 3u);
  EXPECT_EQ(bytes[0], 0xFC);  // u with diaeresis
  EXPECT_EQ(bytes[1], 0xE9);  // e acute
  EXPECT_EQ(bytes[2], '?');   // a shade block has no ANSI character
  file.Close();

  COemFile out;
  const CString written((dir.path() / "out.txt").string());
  ASSERT_TRUE(out.Open(written, CFile::modeCreate | CFile::modeWrite));
  const unsigned char ansi[2] = {0xFC, 'a'};
  out.Write(ansi, 2);
  out.Close();
  EXPECT_EQ(ansi[0], 0xFC) << "the caller's bytes are left alone";
  std::ifstream in(dir.path() / "out.txt", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "\x81" "a");
}

TEST_F(DocumentTypesTest, TheConverterHandsItsOutputOverInPieces) {
  registry.Register(kWordConverter, converter);
  const CString path = Write("letter.doc", "FAKE document");
  EXPECT_TRUE(IsFormatCorrectFor(&registry, kWordConverter, path));
  EXPECT_FALSE(IsFormatCorrectFor(&registry, kWriteConverter, path)) << "no Write converter";
  {
    CTextConverter reader(&registry, kWordConverter);
    ASSERT_TRUE(reader.Open(path, CFile::modeRead));
    std::string all(20000, '\0');
    EXPECT_EQ(reader.Read(all.data(), 20000), 10000u);
    EXPECT_EQ(all.find_first_not_of('r'), 10000u);
    EXPECT_EQ(reader.Read(all.data(), 100), 0u);
    EXPECT_EQ(reader.GetLength(), 1u);
    EXPECT_EQ(reader.Seek(0, CFile::current), 0u);
    EXPECT_THROW(reader.Seek(5, CFile::begin), CFileException);
  }
  {
    converter->fail = true;
    converter->produce = 100;
    CTextConverter reader(&registry, kWordConverter);
    ASSERT_TRUE(reader.Open(path, CFile::modeRead));
    char buffer[4096];
    try {
      while (reader.Read(buffer, sizeof buffer) != 0) {
      }
      ADD_FAILURE() << "a failed conversion must not read as a short file";
    } catch (const CFileException& e) {
      EXPECT_EQ(e.m_cause, CFileException::genericException);
      EXPECT_EQ(e.m_strFileName, path) << "the failure names the converted file";
    }
  }
  {
    // A reader dropped half-way lets the converter thread end.
    converter->fail = false;
    converter->produce = 50000;
    CTextConverter reader(&registry, kWordConverter);
    ASSERT_TRUE(reader.Open(path, CFile::modeRead));
    char buffer[10];
    EXPECT_EQ(reader.Read(buffer, 10), 10u);
  }
  {
    // Writing: the caller's RTF reaches the converter whole, in pieces.
    CTextConverter writer(&registry, kWordConverter);
    const CString target((dir.path() / "saved.doc").string());
    ASSERT_TRUE(writer.Open(target, CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(writer.GetFilePath(), target) << "the file keeps the name its messages give";
    const std::string rtf(9000, 'w');
    writer.Write(rtf.data(), static_cast<UINT>(rtf.size()));
    writer.Close();
    EXPECT_EQ(converter->received, 9000u);
    EXPECT_EQ(std::filesystem::file_size(dir.path() / "saved.doc"), 9000u);
  }
}

TEST(CompoundFile, FindsTheSummaryStreamAndRefusesForgedFiles) {
  const std::string with = CompoundFile(true);
  auto bytes = [](const std::string& s) {
    return std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
  };
  EXPECT_TRUE(CompoundFileHasStream(bytes(with), kSummaryStreamName));
  EXPECT_FALSE(CompoundFileHasStream(bytes(CompoundFile(false)), kSummaryStreamName));
  std::string loop = with;
  loop[512 + 4] = 1;  // the directory's chain points at itself
  loop[512 + 5] = loop[512 + 6] = loop[512 + 7] = 0;
  loop.replace(1024 + 128, 2, "\x06\x00", 2);  // and the stream is not there
  EXPECT_FALSE(CompoundFileHasStream(bytes(loop), kSummaryStreamName));
  std::string forged = with;
  forged[0x30] = '\x7F';  // a directory far past the end
  EXPECT_FALSE(CompoundFileHasStream(bytes(forged), kSummaryStreamName));
  for (std::size_t cut = 0; cut < with.size(); cut += 97)
    EXPECT_FALSE(CompoundFileHasStream(bytes(with.substr(0, cut)), kSummaryStreamName)) << cut;
}

TEST(RecolourRtfText, OneColourTableAndEveryColourWordAtIt) {
  struct Row {
    const char* in;
    const char* out;  // null: FALSE and unchanged
  };
  const Row rows[] = {
      {"{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;}\\cf1 A\\plain B}",
       "{\\rtf1{\\colortbl\\red255\\green0\\blue0;}\\cf0 A\\plain\\cf0 B}"},
      {"{\\rtf1 no table \\cf2 x}", nullptr},
      {"{\\rtf1{\\colortbl ;\\red1\\green2\\blue3;", nullptr},
      {"{\\rtf1{\\colortbl;}\\cf123 a\\cfpat1 b\\\\cf1 c\\plaintext d\\'5ccf1}",
       "{\\rtf1{\\colortbl\\red255\\green0\\blue0;}\\cf0 a\\cfpat1 b\\\\cf1 c\\plaintext d\\'5ccf1}"},
      {"{\\rtf1{\\colortbl;}{\\pict\\bin4 \\cf1}\\cf1 x}", "{\\rtf1{\\colortbl\\red255\\green0\\blue0;}{\\pict\\bin4 \\cf1}\\cf0 x}"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    CString text(rows[i].in);
    const BOOL ok = RecolourRtfText(text, RGB(255, 0, 0));
    EXPECT_EQ(ok != FALSE, rows[i].out != nullptr) << "row " << i;
    EXPECT_EQ(text.str(), rows[i].out ? rows[i].out : rows[i].in) << "row " << i;
  }
}

}  // namespace
