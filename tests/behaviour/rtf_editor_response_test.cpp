// The rich-text editor response: its stored form and styles, the editor it
// puts on a real page, filling it from the variable or a read-only file, and
// writing the learner's text back as RTF.
#include "behaviour/rtf_editor_response.h"

#include <gtest/gtest.h>

#include "platform/gdi/system_metrics.h"
#include "tests/behaviour/answer_test_support.h"

using namespace tvn::testing;

namespace {

std::unique_ptr<CRtfEditorResponse> ReadEditor(const RtfEditorFields& e, const VariableRectFields& rect) {
  CourseBuilder b(5);
  b.RtfEditorResponse(IconFields{4, "notes", "", 3}, ResponseFields{}, e, rect);
  return ReadBack<CRtfEditorResponse>(b);
}

}  // namespace

TEST(RtfEditorResponse, StoredFormDefaultsCopyingAndStyles) {
  CRtfEditorResponse fresh;
  EXPECT_EQ(fresh.GetKind(), ResponseKind::kRtfEditor);
  EXPECT_EQ(fresh.GetTypeFlags(), 1);
  EXPECT_EQ(fresh.m_dwFlags, 0x8110u);
  EXPECT_EQ(fresh.m_dwVariableId, 0u);
  EXPECT_EQ(fresh.GetTextColour(), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(fresh.GetBackColour(), GetSysColor(COLOR_WINDOW));
  EXPECT_TRUE(fresh.IsOpaque()) << "transparent unless flag 0x4";
  fresh.m_dwFlags |= RtfEditorFlag::kOpaque;
  EXPECT_FALSE(fresh.IsOpaque());

  // Each field in its place: variable id, flags, reserved, text and back colours, font, display part.
  RtfEditorFields e;
  e.variableId = 0x11223344;
  e.flags = 0x12345FFF;  // unknown bits are kept
  e.reserved = 0xCAFEF00D;
  e.textColour = 0x0000FF;
  e.backColour = 0x00FFEE;
  e.font.pointSize = 18;
  e.font.weight = 700;
  e.font.face = "Courier New";
  auto read = ReadEditor(e, VariableRectFields{10, 20, 210, 120});
  ASSERT_TRUE(read);
  EXPECT_EQ(read->m_dwVariableId, 0x11223344u);
  EXPECT_EQ(read->m_dwFlags, 0x12345FFFu);
  EXPECT_EQ(read->m_dwReserved, 0xCAFEF00Du);
  EXPECT_EQ(read->GetTextColour(), 0x0000FFu);
  EXPECT_EQ(read->GetBackColour(), 0x00FFEEu);
  EXPECT_EQ(read->m_font.GetPointSize(), 18);
  EXPECT_EQ(read->m_font.GetLogFont().lfWeight, 700);
  EXPECT_STREQ(read->m_font.GetLogFont().lfFaceName, "Courier New");
  EXPECT_EQ(read->GetBounds(), CRect(10, 20, 210, 120));
  EXPECT_EQ(read->GetName(), "notes");

  // Copying keeps the identity (the variable) when asked to; the rest follows the source.
  CRtfEditorResponse kept;
  kept.m_dwVariableId = 5;
  kept.CopyFrom(read.get(), TRUE);
  EXPECT_EQ(kept.m_dwVariableId, 5u);
  EXPECT_EQ(kept.m_dwFlags, 0x12345FFFu);
  EXPECT_EQ(kept.m_dwReserved, 0xCAFEF00Du);
  EXPECT_EQ(kept.GetBackColour(), 0x00FFEEu);
  EXPECT_EQ(kept.m_font.GetPointSize(), 18);
  EXPECT_EQ(kept.GetBounds(), CRect(10, 20, 210, 120));
  CRtfEditorResponse whole;
  whole.CopyFrom(read.get(), FALSE);
  EXPECT_EQ(whole.m_dwVariableId, 0x11223344u);
  const CRtfEditorResponse copied(*read);
  EXPECT_EQ(copied.m_dwReserved, 0xCAFEF00Du);

  // A damaged object fails with the end of the file, wherever it is cut.
  CourseBuilder b(5);
  b.RtfEditorResponse(IconFields{}, ResponseFields{}, e, VariableRectFields{});
  const std::vector<std::uint8_t>& whole_bytes = b.bytes();
  for (std::size_t cut = 1; cut < whole_bytes.size(); cut += 7) {
    std::vector<std::uint8_t> bytes(whole_bytes.begin(), whole_bytes.end() - static_cast<std::ptrdiff_t>(cut));
    StreamReader r(bytes, 5);
    EXPECT_THROW(r.ar.ReadObject(RUNTIME_CLASS(CObject)), CArchiveException) << cut;
  }

  // The window's style for each flag.
  constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP;
  constexpr DWORD kEditable = RtfEditorStyle::kSaveSelection | ES_NOHIDESEL | RtfEditorStyle::kSelectionBar;
  EXPECT_EQ(CRtfEditorResponse::StyleOf(0), kChild | kEditable);
  EXPECT_EQ(CRtfEditorResponse::StyleOf(0x8110), kChild | kEditable | WS_BORDER | WS_HSCROLL | ES_AUTOHSCROLL);
  EXPECT_EQ(CRtfEditorResponse::StyleOf(0x60), kChild | WS_VSCROLL | ES_AUTOVSCROLL | ES_MULTILINE)
      << "read-only: no selection bar, no kept selection";
  EXPECT_EQ(CRtfEditorResponse::StyleOf(0x4 | 0x8 | 0x80 | 0x100), kChild | kEditable) << "no style of their own";
}
