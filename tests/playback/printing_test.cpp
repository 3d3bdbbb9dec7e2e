// Printing the page: a PDF printer written headless, the printer context's resolution, no printer, print to file, the printer of the command line, the program kept alive while a job runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "model/string_table.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/printer_dc.h"
#include "playback/player_app.h"
#include "playback/presentation_view.h"
#include "tests/page/page_test_support.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/course_builder.h"
#include "tests/support/scripted_player.h"

using namespace tvn::testing;

namespace {

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A whole PDF document: its header, at least one page and its end marker.
void ExpectPdf(const std::filesystem::path& file) {
  ASSERT_TRUE(std::filesystem::exists(file));
  const std::string pdf = ReadAll(file);
  EXPECT_GT(pdf.size(), 500u);
  EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
  EXPECT_NE(pdf.find("/Type /Page"), std::string::npos);
  EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
}

CString Text(const std::filesystem::path& path) { return CString(path.string()); }

// Task 1 waits for a click; the menu commands 0xE108 (the direct print) and
// 4000 each run a task of their own that prints the page and waits.
std::vector<std::uint8_t> PrintOnCommandsCourse() {
  CourseFileFields f;
  f.tasks.push_back([](CourseBuilder& b) {
    b.Task(IconFields{4, "wait", "", 3}, 1, {}, {},
           {[](CourseBuilder& c) { c.MouseResponse(IconFields{4, "click", "", 3}, ResponseFields{}, 0x11); }});
  });
  for (auto [number, command] : {std::pair{2, 0xE108u}, std::pair{3, 4000u}}) {
    f.tasks.push_back([number, command](CourseBuilder& b) {
      b.Task(IconFields{4, "print " + std::to_string(number), "", 3}, number,
             {[command](CourseBuilder& c) {
               c.MenuEvent(IconFields{4, "on print", "", 3}, EventFields{1, ""}, "&Print", command);
             }},
             {[](CourseBuilder& c) { c.PrintAction(IconFields{4, "print", "", 3}, 0x2, 100, {254, 254, 254, 254}); }},
             {[](CourseBuilder& c) { c.MouseResponse(IconFields{4, "click", "", 3}, ResponseFields{}, 0x11); }});
    });
  }
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

}  // namespace

TEST(Printing, APdfPrinterContextPrintsAtMost300DotsPerInchAndHandsEachPageOver) {
  ScriptedPlayer player;  // the GUI application Qt's printing needs
  ASSERT_TRUE(player.StartEmpty());
  const std::filesystem::path file = player.Directory() / "direct.pdf";
  CPrinterDC dc;
  EXPECT_TRUE(dc.IsPrinting());
  EXPECT_FALSE(dc.CreatePrinterDC(CPrinterSetup{})) << "no printer";
  EXPECT_FALSE(dc.CreatePrinterDC(CPrinterSetup{"no such printer here", "", FALSE}));
  ASSERT_TRUE(dc.CreatePrinterDC(CPrinterSetup::PdfFile(Text(file))));
  const int dpi = dc.GetDeviceCaps(LOGPIXELSX);
  EXPECT_EQ(dpi, CPrinterDC::kMaxDpi) << "the PDF writer's 1200 dpi capped";
  EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), dpi);
  EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
  const int width = dc.GetDeviceCaps(HORZRES), height = dc.GetDeviceCaps(VERTRES);
  EXPECT_GT(width, 7 * dpi) << "a sheet of A4 or Letter";
  EXPECT_GT(height, 9 * dpi);
  EXPECT_LE(width, dc.GetDeviceCaps(PHYSICALWIDTH));

  EXPECT_LT(dc.StartPage(), 0) << "no page before the document";
  ASSERT_GT(dc.StartDoc("A document"), 0);
  for (int page = 0; page < 2; ++page) {
    ASSERT_GT(dc.StartPage(), 0);
    CBrush red;
    red.CreateSolidBrush(RGB(255, 0, 0));
    CRect box(dpi, dpi, 2 * dpi, 2 * dpi);
    dc.FillRect(box, &red);
    ASSERT_GT(dc.EndPage(), 0);
  }
  EXPECT_EQ(dc.GetPagesPrinted(), 2);
  ASSERT_GT(dc.EndDoc(), 0);
  ExpectPdf(file);
  const std::string pdf = ReadAll(file);
  EXPECT_NE(pdf.find("/Count 2"), std::string::npos) << "both pages";
}

TEST(Printing, ThePrintActionWritesThePageToThePdfPrinter) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.StartEmpty());
  const std::filesystem::path file = player.Directory() / "page.pdf";
  player.App().SetPrinterSetup(CPrinterSetup::PdfFile(Text(file)));
  CColourOwner owner("banner", 5, CRect(0, 0, 200, 100), RGB(0, 128, 0));
  player.View().AddObject(&owner, 0);
  player.View().FlushInvalidRects();
  for (DWORD mode : {0x1u, 0x2u, 0x4u, 0x9u}) {
    std::filesystem::remove(file);
    player.View().PrintArea(CRect(254, 254, 254, 254), mode, 50);
    ExpectPdf(file);
  }
  EXPECT_TRUE(player.Dialogs().boxes.empty());
  EXPECT_TRUE(player.Dialogs().fileDialogs.empty());
  const auto withPage = std::filesystem::file_size(file);

  std::filesystem::remove(file);
  player.View().PrintArea(CRect(100000, 100000, 100000, 100000), 0x2, 100);
  ExpectPdf(file);
  EXPECT_TRUE(player.Dialogs().boxes.empty()) << "margins wider than the sheet leave it blank, not a failure";
  EXPECT_GT(withPage, std::filesystem::file_size(file)) << "the page's picture is on the printed sheet";
  player.View().RemoveObject(&owner, FALSE);
}

TEST(Printing, WithoutAPrinterMessage61702ShowsAndNothingIsPrinted) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.StartEmpty());
  player.App().SetPrinterSetup(CPrinterSetup{});
  player.View().PrintArea(CRect(254, 254, 254, 254), 9, 100);
  ASSERT_EQ(player.Dialogs().boxes.size(), 1u);
  EXPECT_EQ(player.Dialogs().boxes[0].text, LoadStringText(StringId::kPrintFailed));
  EXPECT_EQ(player.View().GetPrintMode(), 9u) << "the arguments are kept all the same";

  player.App().SetPrinterSetup(CPrinterSetup{"no such printer here", "", FALSE});
  player.View().PrintArea(CRect(254, 254, 254, 254), 9, 100);
  EXPECT_EQ(player.Dialogs().boxes.size(), 2u) << "a printer that cannot be started";
  EXPECT_TRUE(std::filesystem::is_empty(player.Directory()));
}

TEST(Printing, PrintingToAFileAsksForItAndACancelPrintsNothing) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.StartEmpty());
  CPrinterSetup toFile;
  toFile.printToFile = TRUE;
  player.App().SetPrinterSetup(toFile);
  player.View().PrintArea(CRect(254, 254, 254, 254), 9, 100);
  ASSERT_EQ(player.Dialogs().fileDialogs.size(), 1u);
  EXPECT_FALSE(player.Dialogs().fileDialogs[0].open) << "a save dialog";
  EXPECT_TRUE(player.Dialogs().boxes.empty()) << "a cancel is no failure";
  EXPECT_TRUE(std::filesystem::is_empty(player.Directory()));

  const std::filesystem::path file = player.Directory() / "chosen.pdf";
  player.Dialogs().fileAnswers.push_back(Text(file));
  player.View().PrintArea(CRect(254, 254, 254, 254), 9, 100);
  EXPECT_EQ(player.Dialogs().fileDialogs.size(), 2u);
  ExpectPdf(file);
  EXPECT_TRUE(player.App().GetPrinterSetup().outputFile.IsEmpty()) << "asked again next time";
}

TEST(Printing, Mode0x20PaintsTheVisibleObjectsStraightOntoThePrinter) {
  struct CShyOwner : CColourOwner {
    using CColourOwner::CColourOwner;
    BOOL IsVisible() override { return visible; }
    BOOL visible = TRUE;
  };
  ScriptedPlayer player;
  ASSERT_TRUE(player.StartEmpty());
  const std::filesystem::path file = player.Directory() / "objects.pdf";
  player.App().SetPrinterSetup(CPrinterSetup::PdfFile(Text(file)));
  CShyOwner shown("shown", 5, CRect(0, 0, 100, 100), RGB(0, 0, 255));
  CShyOwner hidden("hidden", 5, CRect(100, 0, 200, 100), RGB(255, 0, 0));
  player.View().AddObject(&shown, 0);
  player.View().AddObject(&hidden, 0);
  player.View().FlushInvalidRects();
  hidden.visible = FALSE;
  shown.draws = hidden.draws = 0;

  player.View().PrintArea(CRect(254, 254, 254, 254), 0x20 | 0x2, 100);
  ExpectPdf(file);
  EXPECT_EQ(shown.draws, 1) << "painted on the printer";
  EXPECT_EQ(hidden.draws, 0) << "an owner that is not visible is not printed";
  player.View().PrintArea(CRect(254, 254, 254, 254), 0x2, 100);
  EXPECT_EQ(shown.draws, 1) << "without 0x20 the captured page is printed";
  EXPECT_TRUE(player.Dialogs().boxes.empty());
  player.View().RemoveObject(&shown, FALSE);
  player.View().RemoveObject(&hidden, FALSE);
}

TEST(Printing, AnAbortedDocumentLeavesNoFileAndTheAbortProcedureCanEndTheJob) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.StartEmpty());
  const std::filesystem::path file = player.Directory() / "aborted.pdf";
  CPrinterDC dc;
  ASSERT_TRUE(dc.CreatePrinterDC(CPrinterSetup::PdfFile(Text(file))));
  ASSERT_GT(dc.StartDoc("Aborted"), 0);
  ASSERT_GT(dc.StartPage(), 0);
  ASSERT_GT(dc.EndPage(), 0);
  ASSERT_GT(dc.AbortDoc(), 0);
  EXPECT_FALSE(std::filesystem::exists(file)) << "an aborted document is not printed";

  int asked = 0;
  dc.SetAbortProc([&asked] { return ++asked < 2 ? TRUE : FALSE; });
  ASSERT_GT(dc.StartDoc("Stopped"), 0);
  ASSERT_GT(dc.StartPage(), 0);
  EXPECT_GT(dc.EndPage(), 0);
  ASSERT_GT(dc.StartPage(), 0);
  EXPECT_EQ(dc.EndPage(), SP_APPABORT);
  EXPECT_EQ(asked, 2) << "asked after each page";
  EXPECT_LT(dc.StartPage(), 0) << "the document has ended";
  EXPECT_LT(dc.EndDoc(), 0);
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(Printing, TheDirectPrintCommandUsesThePrinterTheCommandLineNamed) {
  // No test reaches a real printer: the named one does not exist, so the
  // direct print fails where another command prints on the default PDF.
  ScriptedPlayer player;
  const std::filesystem::path file = player.Directory() / "default.pdf";
  player.UsePrinter(CPrinterSetup::PdfFile(Text(file)));
  player.UseCommandLine({"/pt"}, {"no such printer here", "winspool", "LPT1:"});
  ASSERT_TRUE(player.Start(PrintOnCommandsCourse(), "print.mcl"));
  EXPECT_EQ(player.CurrentTask(), 1) << "the course plays as with a plain file";

  player.Command(4000);
  EXPECT_EQ(player.CurrentTask(), 3);
  ExpectPdf(file);
  EXPECT_TRUE(player.Dialogs().boxes.empty());

  std::filesystem::remove(file);
  player.Command(CPresentationView::kPrintDirectCommand);
  EXPECT_EQ(player.CurrentTask(), 2);
  ASSERT_EQ(player.Dialogs().boxes.size(), 1u);
  EXPECT_EQ(player.Dialogs().boxes[0].text, LoadStringText(StringId::kPrintFailed));
  EXPECT_FALSE(std::filesystem::exists(file)) << "no fall-back to the default printer";
}

TEST(Printing, WaitingMessagesAreHandledDuringTheJobAndEscapeOrQuitCancelsIt) {
  ScriptedPlayer player;
  ASSERT_TRUE(player.StartEmpty());
  const std::filesystem::path file = player.Directory() / "pumped.pdf";
  player.App().SetPrinterSetup(CPrinterSetup::PdfFile(Text(file)));
  CRecordingWnd other;
  ASSERT_TRUE(other.Create("other", 0, CRect(0, 0, 10, 10), nullptr));
  constexpr UINT kWork = WM_USER + 7;

  other.PostMessage(kWork);
  player.View().PrintArea(CRect(254, 254, 254, 254), 0x2, 100);
  EXPECT_EQ(other.Messages(kWork).size(), 1u) << "handled while the job ran";
  ExpectPdf(file);

  std::filesystem::remove(file);
  other.PostMessage(kWork);
  player.View().PostMessage(WM_KEYDOWN, VK_ESCAPE);
  other.PostMessage(kWork);
  player.View().PrintArea(CRect(254, 254, 254, 254), 0x2, 100);
  EXPECT_EQ(other.Messages(kWork).size(), 2u) << "what came after the Escape waits";
  EXPECT_FALSE(std::filesystem::exists(file)) << "cancelled: nothing printed";
  EXPECT_TRUE(player.Dialogs().boxes.empty()) << "a cancel is no failure";
  player.Pump();
  EXPECT_EQ(other.Messages(kWork).size(), 3u);

  player.App().PostQuitMessage(3);
  player.View().PrintArea(CRect(254, 254, 254, 254), 0x2, 100);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(player.Dialogs().boxes.empty());
  MSG msg;
  ASSERT_TRUE(player.App().PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT)) << "the quit is left for the run loop";
}
