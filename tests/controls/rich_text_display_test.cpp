// The rich-edit control and the rich-text display: formats, layout, hypertext, loading files, scrolling.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "controls/doc_types.h"
#include "controls/rtf_display.h"
#include "model/message_service.h"
#include "platform/user/edit_messages.h"
#include "tests/controls/rich_text_test_support.h"
#include "tests/model/test_variable_context.h"
#include "tests/platform/gdi/canvas.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/recording_message_sink.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wmf_writer.h"

namespace {

using namespace tvn::testing;

TEST(RichEditCtrl, StreamsRtfAndReportsTheSelectionsFormat) {
  CRichEditCtrl control;
  const std::string rtf = std::string(kHyperTextHeader) + "plain {\\cf1\\ul\\protect Link}\\par \\b bold}";
  control.StreamIn(SF_RTF, rtf);
  EXPECT_EQ(control.GetTextLength(), 15);
  control.SetSel(6, 10);
  EXPECT_EQ(control.GetSelText().str(), "Link");
  CHARFORMAT link;
  EXPECT_EQ(control.GetSelectionCharFormat(link), 0xF800003Fu);
  EXPECT_EQ(link.dwEffects, 0x14u);
  EXPECT_EQ(link.crTextColor, 0xFF0000u);
  EXPECT_EQ(link.bPitchAndFamily, 0x22);

  control.SetSel(4, 8);  // "n Li": colour, underline and protection vary
  CHARFORMAT mixed;
  EXPECT_EQ(control.GetSelectionCharFormat(mixed), 0xF800003Fu & ~(CFM_COLOR | CFM_UNDERLINE | CFM_PROTECTED));
  control.SetSel(0, -1);
  EXPECT_EQ(control.GetSelText().str(), "plain Link\rbold");

  // What goes out reads back to the same text and formats.
  CRichEditCtrl again;
  again.StreamIn(SF_RTF, control.StreamOut(SF_RTF));
  EXPECT_EQ(again.StreamOut(SF_RTF), control.StreamOut(SF_RTF));
  EXPECT_EQ(control.StreamOut(SF_TEXT), "plain Link\r\nbold");
}

TEST(RichEditCtrl, RendersIntoTwipsAndHitTestsTheLayoutItDrew) {
  CRichEditCtrl control;
  control.StreamIn(SF_TEXT, "First line\r\nSecond line\r\nThird line");
  Canvas canvas(200, 100);
  // 1440 twips are an inch, 96 pixels at the canvas's resolution.
  EXPECT_EQ(control.FormatRange(&canvas.dc, CRect(0, 0, 1440 * 2, 1440)), control.GetTextLength());
  const CRect ink = canvas.InkBox(RGB(255, 255, 255));
  EXPECT_FALSE(ink.IsRectEmpty());
  EXPECT_LE(ink.right, 192);
  const CPoint second = control.PosFromChar(13);
  EXPECT_GT(second.y, 0);
  EXPECT_EQ(control.CharFromPos(CPoint(second.x + 2, second.y + 3)), 13);
  EXPECT_EQ(control.CharFromPos(CPoint(150, second.y + 3)), -1) << "beyond the line's end";
  // Only a line and a bit fits in 300 twips: the second line (from 11) is the first one out.
  EXPECT_EQ(control.FormatRange(&canvas.dc, CRect(0, 0, 2880, 300), FALSE), 11);
}

// A justified paragraph stretches its lines to the full width, all but the
// last; a centred line stands in the middle; text is hit where it is drawn.
TEST(RichEditCtrl, AlignedLinesAreDrawnAndHitWhereTheyStand) {
  // The rightmost ink in the upper rows of the first and the last line.
  auto inkRight = [](const char* alignment, CRichEditCtrl& control) {
    control.StreamIn(SF_RTF, std::string("{\\rtf1\\pard") + alignment +
                                 " Justified text spreads its words so that each line but the last reaches the "
                                 "right edge of its box, however long its words. End.}");
    Canvas canvas(200, 100);
    control.FormatRange(&canvas.dc, CRect(0, 0, 3000, 1500));
    const std::vector<DWORD> pixels = canvas.Pixels();
    std::pair<int, int> right(-1, -1);
    for (int line : {0, 1}) {
      const int top = line == 0 ? 0 : static_cast<int>(control.PosFromChar(control.GetTextLength() - 1).y);
      for (int y = top + 2; y < top + 10; ++y)
        for (int x = 0; x < 200; ++x)
          if (gdi::PixelToColor(pixels[static_cast<std::size_t>(y) * 200 + x]) != RGB(255, 255, 255))
            (line == 0 ? right.first : right.second) = std::max(line == 0 ? right.first : right.second, x);
    }
    return right;
  };
  CRichEditCtrl justified, ragged;
  const auto [first, last] = inkRight("\\qj", justified);
  const auto [raggedFirst, raggedLast] = inkRight("\\ql", ragged);
  EXPECT_GE(first, 196);
  EXPECT_GT(first, raggedFirst);
  EXPECT_EQ(last, raggedLast) << "the last line keeps its natural spacing";
  EXPECT_GE(justified.CharFromPos(CPoint(197, 6)), 0) << "the stretched line is text to its end";
  EXPECT_NE(justified.StreamOut(SF_RTF).find("\\qj"), std::string::npos);

  CRichEditCtrl centred;
  centred.StreamIn(SF_RTF, "{\\rtf1\\pard\\qc Mid}");
  Canvas canvas(200, 40);
  centred.FormatRange(&canvas.dc, CRect(0, 0, 3000, 600));
  EXPECT_GE(centred.CharFromPos(CPoint(100, 6)), 0);
  EXPECT_EQ(centred.CharFromPos(CPoint(3, 6)), -1) << "the empty start of a centred line";
}

class RtfDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vars.Declare("HyperTextSelected", VarType::kString);
    vars.Declare("ErrorNumber", VarType::kInteger);
    vars.Declare("ErrorMessage", VarType::kString);
    display.SetEnvironment(RichTextEnvironment{&view, &vars, &messages, {}, nullptr});
  }
  // Streams the text in, lays it out by printing, and gives a point on character i
  // as the action passes it (relative to its rectangle, the indent included).
  void Show(const std::string& rtf) {
    display.StreamIn(rtf.data(), static_cast<int>(rtf.size()), SF_RTF);
    display.PrintRect(&canvas.dc, CRect(0, 0, 300, 100));
  }
  CPoint On(long index) {
    const CPoint p = display.PosFromChar(index);
    return CPoint(p.x + display.GetLeftIndent() + 1, p.y + 4);
  }
  bool HoverOn(long index) {
    const CPoint p = On(index);
    display.OnMouseMove(WM_MOUSEMOVE, p.x, p.y);
    return display.IsHovering();
  }
  BOOL ClickOn(long index) {
    const CPoint p = On(index);
    return display.OnLButtonDown(0, p.x, p.y);
  }

  RecordingRichTextView view;
  TestVariableContext vars;
  RecordingMessageSink sink;
  CMessageService messages{sink, "Tvnrun"};
  CRtfDisplay display;
  Canvas canvas{320, 120};
  HyperTextOwner owner;
};

TEST_F(RtfDisplayTest, AClickOnHyperTextPublishesTheWholeRunTrimmed) {
  display.SetOwner(&owner);
  EXPECT_EQ(display.GetHyperTextFormat().dwEffects, 0x14u) << "protected added to the owner's underline";
  EXPECT_EQ(display.GetHyperTextFormat().dwMask & CFM_LINK, 0u);
  // "x" 0, "  Link  " 1-8, "y" 9; then two adjacent runs "A" "B" at 11-12; "Fake" lacks \protect.
  Show(std::string(kHyperTextHeader) +
       "x{\\cf1\\ul\\protect   Link  }y\\par{\\cf1\\ul\\protect A}{\\cf1\\ul\\protect B}\\par{\\cf1\\ul Fake}}");
  EXPECT_FALSE(HoverOn(0));
  EXPECT_TRUE(HoverOn(4));
  EXPECT_TRUE(view.hand);
  ASSERT_TRUE(ClickOn(4));
  ASSERT_EQ(view.clicks.size(), 1u);
  EXPECT_EQ(view.clicks[0].id, 32898u);
  EXPECT_EQ(view.clicks[0].code, -2);
  EXPECT_EQ(view.clicks[0].link.str(), "Link") << "growing left stops at the plain x";
  EXPECT_EQ(vars.Var("HyperTextSelected").GetString().str(), "Link");
  long start = -1, end = -1;
  display.GetSel(start, end);
  EXPECT_EQ(start, 0) << "the selection is put back";
  EXPECT_EQ(end, 0);

  EXPECT_TRUE(HoverOn(12));
  ASSERT_TRUE(ClickOn(12));
  EXPECT_EQ(view.clicks.back().link.str(), "AB") << "adjacent runs are one link";

  EXPECT_FALSE(HoverOn(15)) << "without \\protect it is plain text";
  EXPECT_FALSE(view.hand);
  EXPECT_FALSE(ClickOn(15));
  EXPECT_EQ(view.clicks.size(), 2u);
}

TEST_F(RtfDisplayTest, LinksAtBothEndsAndADisplayWithoutHyperText) {
  display.SetOwner(&owner);
  Show(std::string(kHyperTextHeader) + "{\\cf1\\ul\\protect Start}mid{\\cf1\\ul\\protect End}}");
  ASSERT_TRUE(HoverOn(1));
  ASSERT_TRUE(ClickOn(1));
  EXPECT_EQ(view.clicks.back().link.str(), "Start");
  ASSERT_TRUE(HoverOn(9));
  ASSERT_TRUE(ClickOn(9));
  EXPECT_EQ(view.clicks.back().link.str(), "End");

  view.playing = FALSE;  // before the view plays a course, links do nothing
  display.ClearHover();
  EXPECT_FALSE(HoverOn(1));

  view.playing = TRUE;
  HyperTextOwner fontless(false);
  display.SetOwner(&fontless);
  EXPECT_EQ(display.GetOwner(), nullptr);
  vars.Var("HyperTextSelected").SetString("untouched");
  EXPECT_FALSE(HoverOn(1));
  EXPECT_FALSE(ClickOn(1));
  EXPECT_EQ(vars.Var("HyperTextSelected").GetString().str(), "untouched");
  EXPECT_EQ(view.clicks.size(), 2u);
}

TEST_F(RtfDisplayTest, LoadFileKeepsTheContentForExecutablesAndEmptyFiles) {
  TempDir dir;
  auto write = [&](const char* name, const std::string& bytes) {
    std::ofstream(dir.path() / name, std::ios::binary) << bytes;
    return CString((dir.path() / name).string());
  };
  Show(std::string(kHyperTextHeader) + "before}");
  EXPECT_FALSE(display.LoadFile(write("prog.exe", "MZ\x90")));
  EXPECT_EQ(display.GetDocType(), DocType::kExecutable);
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].text, "Can not load Executable files.");
  EXPECT_EQ(sink.boxes[0].style, static_cast<UINT>(MB_ICONINFORMATION)) << "an information box";
  EXPECT_EQ(display.CRichEditCtrl::StreamOut(SF_TEXT), "before");

  EXPECT_TRUE(display.LoadFile(write("empty.txt", "")));
  EXPECT_EQ(display.CRichEditCtrl::StreamOut(SF_TEXT), "before");

  EXPECT_FALSE(display.LoadFile(CString((dir.path() / "missing.rtf").string())));
  EXPECT_EQ(vars.Var("ErrorNumber").GetLong(), 2);
  EXPECT_NE(vars.Var("ErrorMessage").GetString().str().find("missing.rtf"), std::string::npos);

  EXPECT_TRUE(display.LoadFile(write("dos.txt", "\x81" "ber")));
  EXPECT_EQ(display.CRichEditCtrl::StreamOut(SF_TEXT), "\x81" "ber") << "a plain .txt reads as ANSI text";
  EXPECT_TRUE(display.LoadFile(write("notes.txt", "{\\rtf1 rich}")));
  EXPECT_EQ(display.GetDocType(), DocType::kRtf);
  EXPECT_EQ(display.CRichEditCtrl::StreamOut(SF_TEXT), "rich");

  // A Word file without a Word converter is refused by name, not shown as binary.
  std::string word(512, '\0');
  word.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
  EXPECT_FALSE(display.LoadFile(write("letter.doc", word)));
  EXPECT_EQ(sink.boxes.back().text, "Can not load Word for Windows 6.0 files.");
}

TEST(RtfDisplay, PrintRectConvertsToTwipsAtTheContextsResolution) {
  CRtfDisplay display;
  display.StreamIn("{\\rtf1 Some text}", 17, SF_RTF);
  Canvas canvas(120, 60);
  // (0, 0, 96, 48) at 96 dpi is (0, 0, 1440, 720) in twips: all of the text fits and ink stays inside.
  EXPECT_EQ(display.PrintRect(&canvas.dc, CRect(0, 0, 96, 48)), 9);
  const CRect ink = canvas.InkBox(RGB(255, 255, 255));
  EXPECT_FALSE(ink.IsRectEmpty());
  EXPECT_LE(ink.right, 96);
  EXPECT_LE(ink.bottom, 48);
  EXPECT_TRUE(LoadRichEdit20());
}

}  // namespace

namespace {

// A picture in the text is drawn where its run stands: a metafile through the
// system's metafile player, a PNG through the image readers.
TEST(RtfDisplay, PicturesInTheTextAreDrawn) {
  const std::vector<std::uint8_t> wmf = tvn::testing::WmfWriter()
                                            .WindowExt(100, 100)
                                            .CreateBrush(RGB(255, 0, 0))
                                            .Select(0)
                                            .CreatePen(5, 0, 0)
                                            .Select(1)
                                            .Rectangle(0, 0, 100, 100)
                                            .Plain();
  std::string hex;
  for (std::uint8_t b : wmf) {
    static constexpr char kHex[] = "0123456789abcdef";
    hex += kHex[b >> 4];
    hex += kHex[b & 15];
  }
  // 300 twips are 20 pixels at 96 dpi.
  const std::string rtf = "{\\rtf1 {\\pict\\wmetafile8\\picw100\\pich100\\picwgoal300\\pichgoal300 " + hex + "}}";
  CRtfDisplay display;
  display.StreamIn(rtf.data(), static_cast<int>(rtf.size()), SF_RTF);
  EXPECT_EQ(display.GetTextLength(), 1);
  Canvas canvas(100, 60);
  display.PrintRect(&canvas.dc, CRect(0, 0, 100, 60));
  EXPECT_GT(canvas.Count(RGB(255, 0, 0)), 300) << "most of the 20 x 20 picture is red";
  EXPECT_NE(display.CRichEditCtrl::StreamOut(SF_RTF).find("\\wmetafile8"), std::string::npos) << "written back";
}

}  // namespace

namespace {

using namespace tvn::testing;

class LiveRtfDisplay : public WindowTest {};

// A shown display brings the bars its text needs; scrolling moves what is
// drawn and what a point hits together.
TEST_F(LiveRtfDisplay, BarsComeWithTextThatDoesNotFitAndScrollWhatIsDrawnAndHit) {
  std::unique_ptr<CRecordingWnd> parent = MakeWindow(CRect(0, 0, 400, 300));
  RecordingRichTextView view;
  HyperTextOwner owner;
  CRtfDisplay display(RichTextEnvironment{&view, nullptr, nullptr, {}, nullptr});
  ASSERT_TRUE(display.Create(0, WS_CHILD | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE, CRect(10, 10, 210, 110),
                             parent.get(), 923));
  display.SetOwner(&owner);
  auto bars = [&] { return display.GetStyle() & (WS_VSCROLL | WS_HSCROLL); };
  auto scroll = [&](UINT message, UINT code, int to = 0) { display.SendMessage(message, MAKEWPARAM(code, to), 0); };
  auto redPixels = [&] {
    display.UpdateWindow();
    int n = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 180; ++x) n += SurfacePixel(display, x, y) == RGB(255, 0, 0) ? 1 : 0;
    return n;
  };
  // Thirty lines in a window of five: two red ones first, a link on the ninth.
  std::string rtf = std::string(kHyperTextHeader) + "{\\cf2 Red and red\\par Red and red}\\par ";
  for (int i = 2; i < 30; ++i) rtf += i == 8 ? "{\\cf1\\ul\\protect Link}\\par " : "Line\\par ";
  rtf.insert(rtf.find("blue255;") + 8, "\\red255\\green0\\blue0;");
  display.StreamIn(rtf.data(), static_cast<int>(rtf.size()), SF_RTF);
  EXPECT_EQ(bars(), 0u) << "a hidden display keeps no bars";

  display.ShowWindow(SW_SHOW);
  EXPECT_EQ(bars(), WS_VSCROLL) << "wrapped lines need no horizontal bar";
  EXPECT_EQ(display.GetScrollInfo(SB_VERT).nPage, 100u);
  EXPECT_GT(redPixels(), 20);
  const long link = static_cast<long>(display.GetTextRange(0, -1).str().find("Link")) + 1;
  const CPoint at = display.PosFromChar(link) + CPoint(2, 5 - 100);  // under the window's top until scrolled
  scroll(WM_VSCROLL, SB_PAGEDOWN);
  EXPECT_EQ(display.GetScrollOffset(), CPoint(0, 100));
  EXPECT_EQ(redPixels(), 0) << "the red lines went up out of the window";
  display.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
  EXPECT_TRUE(display.IsHovering()) << "the link is hit where it is drawn";
  scroll(WM_VSCROLL, SB_BOTTOM);
  EXPECT_EQ(display.GetScrollPos(SB_VERT), display.GetScrollInfo(SB_VERT).nMax - 99);
  scroll(WM_VSCROLL, SB_THUMBTRACK, 37);
  EXPECT_EQ(display.GetScrollPos(SB_VERT), 37);

  // Unwrapped, a long line needs the horizontal bar; new text starts at its beginning.
  display.SetWordWrap(FALSE);
  std::string wide = "{\\rtf1 ";
  for (int i = 0; i < 20; ++i) wide += "word ";
  display.StreamIn(wide.data(), static_cast<int>(wide.size()), SF_RTF);
  EXPECT_EQ(bars(), WS_HSCROLL);
  EXPECT_EQ(display.GetScrollOffset(), CPoint());
  // Wide enough for the line, the window drops the bar and its text fills it.
  display.MoveWindow(CRect(10, 10, 1400, 110));
  EXPECT_EQ(bars(), 0u);
  CRect area;
  display.GetRect(&area);
  EXPECT_EQ(area, CRect(0, 0, 1390, 100));
}

// The display never holds the focus, yet the wheel over it scrolls it while
// its text does not fit; otherwise the wheel goes to the focus window as before.
TEST_F(LiveRtfDisplay, TheWheelOverTheDisplayScrollsItThreeLinesANotch) {
  std::unique_ptr<CRecordingWnd> parent = MakeWindow(CRect(0, 0, 400, 300));
  RecordingRichTextView view;
  HyperTextOwner owner;
  CRtfDisplay display(RichTextEnvironment{&view, nullptr, nullptr, {}, nullptr});
  ASSERT_TRUE(display.Create(0, WS_CHILD | WS_VSCROLL | ES_MULTILINE, CRect(10, 10, 210, 110), parent.get(), 923));
  display.SetOwner(&owner);
  std::string rtf = std::string(kHyperTextHeader);
  for (int i = 0; i < 30; ++i) rtf += i == 8 ? "{\\cf1\\ul\\protect Link}\\par " : "Line\\par ";
  display.StreamIn(rtf.data(), static_cast<int>(rtf.size()), SF_RTF);
  display.ShowWindow(SW_SHOW);
  parent->SetFocus();
  display.SetFocus();  // handed straight back
  ASSERT_EQ(CWnd::GetFocus(), parent.get());
  ASSERT_EQ(display.GetStyle() & WS_VSCROLL, static_cast<DWORD>(WS_VSCROLL));
  PumpReady();
  parent->received.clear();

  // As the window layer posts a wheel turned over a window (at its point (20, 20)).
  auto wheel = [&](CWnd& over, int delta) {
    CPoint screen(20, 20);
    over.ClientToScreen(&screen);
    over.PostMessage(WM_QTWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(screen.x, screen.y));
    PumpReady();
  };
  // Every paragraph is five characters ("Line" or "Link" and its end).
  auto firstVisibleLine = [&] { return display.CharFromPos(display.LayoutPointFromClient(CPoint(1, 1))) / 5; };
  wheel(display, -120);
  EXPECT_EQ(firstVisibleLine(), 3) << "one notch towards the user";
  EXPECT_EQ(display.GetScrollOffset().y, display.PosFromChar(3 * 5).y) << "a whole line at the top";
  wheel(display, -240);
  EXPECT_EQ(firstVisibleLine(), 9);
  wheel(display, 20);
  EXPECT_EQ(firstVisibleLine(), 9) << "half a line of a fine wheel waits for more";
  wheel(display, 20);
  wheel(display, 80);
  EXPECT_EQ(firstVisibleLine(), 6) << "one line, then two more";
  EXPECT_TRUE(parent->Messages(WM_MOUSEWHEEL).empty()) << "the display took every turn";

  // The link on the ninth line is hit where it is drawn now, the third line of the window.
  const long link = 8 * 5 + 1;
  const CPoint at = display.PosFromChar(link) + CPoint(2, 5) - display.GetScrollOffset();
  ASSERT_GT(at.y, 0);
  display.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
  ASSERT_TRUE(display.IsHovering());
  display.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  ASSERT_EQ(view.clicks.size(), 1u);
  EXPECT_EQ(view.clicks[0].link.str(), "Link");

  wheel(display, 120 * 20);
  EXPECT_EQ(display.GetScrollPos(SB_VERT), 0) << "no further than the top";

  // A text that fits has no bar: the wheel goes on to the focus window, as over the rest of the page.
  const std::string shortText = "{\\rtf1 Short}";
  display.StreamIn(shortText.data(), static_cast<int>(shortText.size()), SF_RTF);
  ASSERT_EQ(display.GetStyle() & WS_VSCROLL, 0u);
  wheel(display, -120);
  wheel(*parent, -120);
  auto wheels = parent->Messages(WM_MOUSEWHEEL);
  ASSERT_EQ(wheels.size(), 2u);
  EXPECT_EQ(static_cast<SHORT>(HIWORD(wheels[0].wParam)), -120);
  CPoint screen(20, 20);
  display.ClientToScreen(&screen);
  EXPECT_EQ(PointFromLParam(wheels[0].lParam), screen);
}

}  // namespace
