// The RTF reader and writer on the run model: formats, destinations, hostile input and round trips.
#include <gtest/gtest.h>

#include <string>

#include "platform/richedit/rtf_reader.h"
#include "platform/richedit/rtf_writer.h"

namespace {

using namespace tvn::rtf;

const Run& RunAt(const Document& d, std::size_t para, std::size_t run) { return d.paragraphs.at(para).runs.at(run); }

TEST(RtfReader, FontColourAndEffectWordsMakeTheExactFormat) {
  const ReadResult r = ReadRtf(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 Arial;}{\\f1\\froman Times New Roman;}}"
      "{\\colortbl ;\\red0\\green0\\blue255;}\\f0\\fs24\\cf1\\ul\\protect Link\\plain\\f1\\b\\i\\strike\\up6 x"
      "\\plain\\dn4 y}");
  ASSERT_EQ(r.status, ReadStatus::ok);
  const CHARFORMAT& link = RunAt(r.document, 0, 0).format;
  EXPECT_EQ(RunAt(r.document, 0, 0).text, "Link");
  EXPECT_EQ(link.dwMask, 0xF800003Fu);
  EXPECT_EQ(link.dwEffects, 0x14u);
  EXPECT_EQ(link.yHeight, 240);
  EXPECT_EQ(link.crTextColor, 0xFF0000u);
  EXPECT_EQ(link.bPitchAndFamily, 0x22);
  EXPECT_EQ(FaceOf(link), "Arial");

  const CHARFORMAT& x = RunAt(r.document, 0, 1).format;
  EXPECT_EQ(x.dwEffects, CFE_BOLD | CFE_ITALIC | CFE_STRIKEOUT | CFE_AUTOCOLOR) << "no \\cf: entry 0, which is empty";
  EXPECT_EQ(x.yOffset, 60);
  EXPECT_EQ(x.bPitchAndFamily, 0x10);
  EXPECT_EQ(FaceOf(x), "Times New Roman");
  EXPECT_EQ(RunAt(r.document, 0, 2).format.yOffset, -40);
  EXPECT_EQ(FaceOf(RunAt(r.document, 0, 2).format), "Arial") << "\\plain goes back to the default font";
}

TEST(RtfReader, CharactersDestinationsFieldsAndTables) {
  const ReadResult r = ReadRtf(
      "{\\rtf1{\\*\\generator x;}{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}"
      "A\\'e9\\uc1\\u8364?\\u-4064 B{\\*\\unknownword hidden}\\~C\\{D\\}\\\\"
      "{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}}"
      "{\\object{\\*\\objdata 0102}{\\result res}}\\tab T\\line L\\par"
      "{\\pntext \\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'b7}}item\\par"
      "\\trowd\\intbl one\\cell two\\cell\\row last}");
  ASSERT_EQ(r.status, ReadStatus::ok);
  ASSERT_EQ(r.document.paragraphs.size(), 4u);
  EXPECT_EQ(r.document.PlainText(), "A\xe9\x80?\xa0" "C{D}\\shownres\tT\vL\r\nitem\r\none\ttwo\r\nlast");
  EXPECT_EQ(r.document.paragraphs[1].format.wNumbering, PFN_BULLET);
  EXPECT_EQ(r.document.paragraphs[0].format.wNumbering, 0);
}

TEST(RtfReader, ParagraphWordsGiveIndentsTabsAndAlignment) {
  const ReadResult r = ReadRtf("{\\rtf1\\pard\\qc\\li720\\fi-360\\ri100\\tx1440\\tx2880 a\\par\\pard b}");
  const PARAFORMAT& p = r.document.paragraphs[0].format;
  EXPECT_EQ(p.wAlignment, PFA_CENTER);
  EXPECT_EQ(p.dxStartIndent, 360);
  EXPECT_EQ(p.dxOffset, 360);
  EXPECT_EQ(p.dxRightIndent, 100);
  ASSERT_EQ(p.cTabCount, 2);
  EXPECT_EQ(p.rgxTabs[1], 2880);
  EXPECT_TRUE(SameParaFormat(r.document.paragraphs[1].format, DefaultParaFormat()));
}

TEST(RtfReader, HostileInputGivesWhatWasReadSoFar) {
  struct Row {
    const char* rtf;
    ReadStatus status;
    const char* text;
  };
  const Row rows[] = {
      {"plain text", ReadStatus::notRtf, ""},
      {"{\\rtf1 open", ReadStatus::unbalanced, "open"},
      {"{\\rtf1 a}}more", ReadStatus::ok, "a"},
      {"{\\rtf1 a\\bin999999 xyz}", ReadStatus::truncated, "a"},
      {"{\\rtf1 a{\\pict\\pngblip\\bin5 ab", ReadStatus::truncated, "a"},
      {"{\\rtf1 a\\fs99999999999999999 b\\'4", ReadStatus::unbalanced, "ab"},
      {"{\\rtf1 x\\", ReadStatus::unbalanced, "x"},
      {"{\\rtf1 \\u-2147483648 ?\\u99999999999 }", ReadStatus::ok, "??"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const ReadResult r = ReadRtf(rows[i].rtf);
    EXPECT_EQ(r.status, rows[i].status) << "row " << i;
    EXPECT_EQ(r.document.PlainText(), rows[i].text) << "row " << i;
  }
  // Deep nesting is skipped beyond the limit, never followed.
  std::string deep = "{\\rtf1 top";
  for (int i = 0; i < 100000; ++i) deep += "{x";
  const ReadResult r = ReadRtf(deep);
  EXPECT_EQ(r.status, ReadStatus::tooDeep);
  EXPECT_EQ(r.document.PlainText().substr(0, 3), "top");
  EXPECT_LE(r.document.PlainText().size(), 3u + kMaxDepth);
}

TEST(RtfReader, PicturesKeepTheirBytesAndSizes) {
  const ReadResult r = ReadRtf("{\\rtf1 a{\\pict\\pngblip\\picw2\\pich3\\picwgoal30\\pichgoal45 89504e\n47}b}");
  ASSERT_EQ(r.document.paragraphs[0].runs.size(), 3u);
  const auto& picture = RunAt(r.document, 0, 1).picture;
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->bytes, std::string("\x89PNG", 4));
  EXPECT_EQ(picture->width, 2);
  EXPECT_EQ(picture->goalHeight, 45);
}

TEST(RtfWriter, WritesTablesEscapesAndRunsThatReadBackTheSame) {
  Document d;
  CHARFORMAT blue = DefaultCharFormat();
  blue.dwEffects = CFE_BOLD | CFE_PROTECTED;
  blue.crTextColor = RGB(0, 0, 255);
  SetFace(blue, "Arial");
  blue.bPitchAndFamily = 0x22;
  CHARFORMAT plain = DefaultCharFormat();
  d.paragraphs[0].runs = {{"Score: \\{Score\\} \xe9\ttab", plain, nullptr}, {"link", blue, nullptr}};
  d.paragraphs[0].format.wAlignment = PFA_JUSTIFY;
  d.paragraphs.emplace_back();
  d.paragraphs[1].format.wNumbering = PFN_BULLET;
  d.paragraphs[1].format.wAlignment = PFA_RIGHT;
  d.paragraphs[1].runs = {{"line\vbreak", plain, nullptr}};
  d.paragraphs.emplace_back();  // an empty last paragraph survives

  const std::string rtf = WriteRtf(d);
  EXPECT_NE(rtf.find("{\\colortbl ;\\red0\\green0\\blue255;}"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\\\\\{Score\\\\\\}"), std::string::npos) << "a variable reference stays on one line";
  EXPECT_NE(rtf.find("\\'e9"), std::string::npos);
  EXPECT_EQ(WriteRtf(Document{}).find("{\\colortbl ;}"), WriteRtf(Document{}).find("{\\colortbl"))
      << "a colour table even without colours";

  const ReadResult back = ReadRtf(rtf);
  ASSERT_EQ(back.status, ReadStatus::ok);
  ASSERT_EQ(back.document.paragraphs.size(), 3u);
  EXPECT_EQ(back.document.PlainText(), d.PlainText());
  EXPECT_TRUE(SameCharFormat(RunAt(back.document, 0, 1).format, blue));
  EXPECT_TRUE(SameCharFormat(RunAt(back.document, 0, 0).format, plain));
  EXPECT_TRUE(SameParaFormat(back.document.paragraphs[1].format, d.paragraphs[1].format));
  EXPECT_EQ(back.document.paragraphs[0].format.wAlignment, PFA_JUSTIFY) << "\\qj is kept";
  EXPECT_EQ(WriteRtf(back.document), rtf);
}

TEST(RtfFormats, MergingARangeClearsTheBitOfEachAttributeThatVaries) {
  CHARFORMAT range = DefaultCharFormat();
  MergeCharFormat(range, DefaultCharFormat());
  EXPECT_EQ(range.dwMask, 0xF800003Fu);
  CHARFORMAT bold = DefaultCharFormat();
  bold.dwEffects |= CFE_BOLD;
  bold.yHeight = 300;
  MergeCharFormat(range, bold);
  EXPECT_EQ(range.dwMask, 0xF800003Fu & ~(CFM_BOLD | CFM_SIZE));
  EXPECT_EQ(range.dwEffects & CFE_BOLD, 0u);
  PARAFORMAT para = DefaultParaFormat();
  PARAFORMAT centred = para;
  centred.wAlignment = PFA_CENTER;
  MergeParaFormat(para, centred);
  EXPECT_EQ(para.dwMask, PFM_ALL & ~PFM_ALIGNMENT);
}

TEST(PlainText, LinesEndWithAnyOfTheThreeBreaks) {
  const Document d = ReadPlainText("one\r\ntwo\nthree\rfour");
  EXPECT_EQ(d.paragraphs.size(), 4u);
  EXPECT_EQ(WritePlainText(d), "one\r\ntwo\r\nthree\r\nfour");
}

}  // namespace
