// Rich text: reading and writing a 1 MB RTF of 10,000 runs, the editor's RTF out, a hypertext hover, and a full page drawn.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/page_copy_baseline.h"
#include "controls/rtf_display.h"
#include "controls/rtf_editor_view.h"
#include "model/icon_object.h"
#include "platform/richedit/rtf_reader.h"
#include "platform/richedit/rtf_writer.h"

namespace {

// About 1 MB: 10,000 runs of some 100 characters, formats changing from run to run.
std::string LargeRtf() {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
                    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n";
  for (int i = 0; i < 10000; ++i) {
    rtf += "\\plain\\f" + std::to_string(i % 2) + "\\fs" + std::to_string(20 + i % 8) + "\\cf" + std::to_string(i % 3);
    if (i % 5 == 0) rtf += "\\b";
    rtf += " Run " + std::to_string(i) + ": the quick brown fox jumps over the lazy dog, caf\\'e9 \\{Name\\}, and so on";
    if (i % 20 == 19) rtf += "\\par\n";
  }
  return rtf + "}";
}

void ReadLargeRtf(benchmark::State& state) {
  const std::string rtf = LargeRtf();
  for (auto _ : state) benchmark::DoNotOptimize(tvn::rtf::ReadRtf(rtf));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(rtf.size()));
}
BENCHMARK(ReadLargeRtf)->Unit(benchmark::kMillisecond);

void WriteLargeRtf(benchmark::State& state) {
  const tvn::rtf::Document document = tvn::rtf::ReadRtf(LargeRtf()).document;
  for (auto _ : state) benchmark::DoNotOptimize(tvn::rtf::WriteRtf(document));
}
BENCHMARK(WriteLargeRtf)->Unit(benchmark::kMillisecond);

// What the editor response does at each task end: the whole text out as RTF
// (should stay well under 50 ms for 1 MB).
void EditorGetRtfText(benchmark::State& state) {
  CRtfEditorView editor;
  const std::string rtf = LargeRtf();
  editor.SetRtfText(CString(rtf));
  CString out;
  for (auto _ : state) {
    editor.GetRtfText(out);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(out.GetLength()));
}
BENCHMARK(EditorGetRtfText)->Unit(benchmark::kMillisecond);

class LinkOwner : public CIconObject {
 public:
  LinkOwner() {
    std::strcpy(m_font.lfFaceName, "Arial");
    m_font.lfUnderline = 1;
    m_font.lfPitchAndFamily = 0x22;
  }
  const LOGFONT* GetFont(int* size, COLORREF* colour) override {
    *size = 12;
    *colour = RGB(0, 0, 255);
    return &m_font;
  }

 private:
  LOGFONT m_font;
};

class PlayingView : public IRichTextView {
 public:
  BOOL IsPlaying() override { return TRUE; }
  void ShowHandCursor() override {}
  void RestoreCursor() override {}
  void PostHyperTextClick(const HyperTextNotify&) override {}
  CWnd* GetViewWindow() override { return nullptr; }
};

// A page of text: twenty paragraphs, each with a link.
std::string PageRtf() {
  std::string rtf = "{\\rtf1{\\fonttbl{\\f0\\fswiss\\fprq2 Arial;}}{\\colortbl ;\\red0\\green0\\blue255;}\\f0\\fs24 ";
  for (int i = 0; i < 20; ++i)
    rtf += "Paragraph " + std::to_string(i) +
           " holds plain words around {\\cf1\\ul\\protect a link of its own} and more words to fill the line.\\par ";
  return rtf + "}";
}

void HoverOverHyperText(benchmark::State& state) {
  PlayingView view;
  LinkOwner owner;
  CRtfDisplay display(RichTextEnvironment{&view, nullptr, nullptr, {}, nullptr});
  display.SetOwner(&owner);
  const std::string rtf = PageRtf();
  display.StreamIn(rtf.data(), static_cast<int>(rtf.size()), SF_RTF);
  page_copy_baseline::CopySurface page(1024, 768);
  display.PrintRect(&page.dc, CRect(0, 0, 1024, 768));
  const CPoint at = display.PosFromChar(500);
  for (auto _ : state) {
    display.OnMouseMove(WM_MOUSEMOVE, at.x + display.GetLeftIndent() + 1, at.y + 4);
    benchmark::DoNotOptimize(display.IsHovering());
  }
}
BENCHMARK(HoverOverHyperText)->Unit(benchmark::kMicrosecond);

void DrawPageOfRichText(benchmark::State& state) {
  CRtfDisplay display;
  const std::string rtf = PageRtf();
  display.StreamIn(rtf.data(), static_cast<int>(rtf.size()), SF_RTF);
  page_copy_baseline::CopySurface page(1024, 768);
  display.PrintRect(&page.dc, CRect(0, 0, 1024, 768));  // laid out once, as the action's first draw does
  for (auto _ : state) {
    display.PrintRect(&page.dc, CRect(0, 0, 1024, 768));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(DrawPageOfRichText)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
