// The rich-text editor response: its stored form and styles, the editor it
// puts on a real page, a failed read of it, and read-only files. Typing and
// the variable's round trip are played in the playback tests.
#include "behaviour/rtf_editor_response.h"

#include <gtest/gtest.h>

#include <fstream>

#include "controls/rtf_editor_doc.h"
#include "platform/gdi/system_metrics.h"
#include "tests/behaviour/answer_test_support.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

std::unique_ptr<CRtfEditorResponse> ReadEditor(const RtfEditorFields& e, const VariableRectFields& rect) {
  CourseBuilder b(5);
  b.RtfEditorResponse(IconFields{4, "notes", "", 3}, ResponseFields{}, e, rect);
  return ReadBack<CRtfEditorResponse>(b);
}

// The test owns the page: its window's end does not delete it, as a view's would.
class CWindowedPage : public CTestPage {
 protected:
  void PostNcDestroy() override {}
};

// An editor whose content fails part-way out.
class CFailingEditor : public CRtfEditorView {
 public:
  using CRtfEditorView::CRtfEditorView;
  void Stream(CFile& file, BOOL storing, BOOL selectionOnly) override {
    if (!storing) return CRtfEditorView::Stream(file, storing, selectionOnly);
    file.Write("{\\rtf1 part", 10);
    throw CFileException(CFileException::diskFull, -1);
  }
};
class CFailingEditorResponse : public CRtfEditorResponse {
 protected:
  std::unique_ptr<CRtfEditorView> NewEditor() override { return std::make_unique<CFailingEditor>(this); }
};

class RtfEditorPageTest : public WindowTest {
 protected:
  RtfEditorPageTest() {
    top = MakeWindow(CRect(0, 0, 320, 240));
    EXPECT_TRUE(page.Create(CString(), WS_CHILD | WS_VISIBLE, CRect(0, 0, 320, 240), top.get(), 1));
    host.services.pageOverride = &page;
  }
  ~RtfEditorPageTest() override { page.DestroyWindow(); }

  CRtfEditorResponse* Add(std::unique_ptr<CRtfEditorResponse> r) { return r ? host.AddResponse(std::move(r)) : nullptr; }
  CVariable* Variable(const char* name, const std::string& text) {
    CVariable* v = host.services.vars.course->AddVariable(name, VarType::kString, FALSE, 0, 1);
    v->SetString(CString(text));
    return v;
  }
  static std::string Text(CRtfEditorResponse* r) { return r->GetEditor()->GetTextRange(0, -1).str(); }

  std::unique_ptr<CRecordingWnd> top;
  CWindowedPage page;
  HostTask host;
};

}  // namespace

TEST(RtfEditorResponse, StoredFormCopyingAndStyles) {
  CRtfEditorResponse fresh;
  EXPECT_EQ(fresh.GetTypeFlags(), 1);
  EXPECT_EQ(fresh.m_dwFlags, 0x8110u);
  EXPECT_EQ(fresh.GetBackColour(), GetSysColor(COLOR_WINDOW));
  EXPECT_TRUE(fresh.IsOpaque()) << "known elsewhere as IsTransparent: 1 unless flag 0x4";
  fresh.m_dwFlags |= RtfEditorFlag::kOpaque;
  EXPECT_FALSE(fresh.IsOpaque());

  // Variable id, flags (unknown bits kept), reserved, text and back colours, font, display part.
  RtfEditorFields e{0x11223344, 0x12345FFF, 0xCAFEF00D, 0x0000FF, 0x00FFEE, FontFields{}};
  e.font.pointSize = 18;
  auto read = ReadEditor(e, VariableRectFields{10, 20, 210, 120});
  ASSERT_TRUE(read);
  EXPECT_EQ(read->m_dwVariableId, 0x11223344u);
  EXPECT_EQ(read->m_dwFlags, 0x12345FFFu);
  EXPECT_EQ(read->m_dwReserved, 0xCAFEF00Du);
  EXPECT_EQ(read->GetTextColour(), 0x0000FFu);
  EXPECT_EQ(read->GetBackColour(), 0x00FFEEu);
  EXPECT_EQ(read->m_font.GetPointSize(), 18);
  EXPECT_EQ(read->GetBounds(), CRect(10, 20, 210, 120));

  CRtfEditorResponse kept;
  kept.m_dwVariableId = 5;
  kept.CopyFrom(read.get(), TRUE);
  EXPECT_EQ(kept.m_dwVariableId, 5u) << "the identity stays";
  EXPECT_EQ(kept.m_dwReserved, 0xCAFEF00Du);
  EXPECT_EQ(kept.m_font.GetPointSize(), 18);
  EXPECT_EQ(kept.GetBounds(), CRect(10, 20, 210, 120));
  kept.CopyFrom(read.get(), FALSE);
  EXPECT_EQ(kept.m_dwVariableId, 0x11223344u);

  constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP;
  constexpr DWORD kEditable = ES_SAVESEL | ES_NOHIDESEL | ES_SELECTIONBAR;
  EXPECT_EQ(CRtfEditorResponse::StyleOf(0x8110), kChild | kEditable | WS_BORDER | WS_HSCROLL | ES_AUTOHSCROLL);
  EXPECT_EQ(CRtfEditorResponse::StyleOf(0x60), kChild | WS_VSCROLL | ES_AUTOVSCROLL | ES_MULTILINE);
  EXPECT_EQ(CRtfEditorResponse::StyleOf(0x18C), kChild | kEditable) << "0x4, 0x8, 0x80, 0x100: no style";
}

TEST_F(RtfEditorPageTest, ActivationMakesTheEditorTheFlagsAsk) {
  CRtfEditorResponse* none = Add(ReadEditor(RtfEditorFields{}, VariableRectFields{50, 50, 50, 90}));
  EXPECT_TRUE(none->Activate());
  EXPECT_EQ(none->GetEditor(), nullptr) << "an empty rectangle makes no window";
  EXPECT_EQ(page.FindDisplayItem(none), nullptr);

  RtfEditorFields e{0, 0x81B0, 0, RGB(0, 0, 128), RGB(255, 255, 200), FontFields{}};
  e.font.pointSize = 16;
  e.font.weight = 700;
  CRtfEditorResponse* notes = Add(ReadEditor(e, VariableRectFields{10, 20, 210, 120}));
  e.flags = RtfEditorFlag::kReadOnly;
  CRtfEditorResponse* shown = Add(ReadEditor(e, VariableRectFields{10, 130, 210, 200}));
  for (CRtfEditorResponse* r : {notes, shown}) ASSERT_TRUE(r->Activate());
  CRtfEditorView* editor = notes->GetEditor();
  ASSERT_TRUE(editor && shown->GetEditor());
  EXPECT_EQ(editor->GetDlgCtrlID(), 923);
  EXPECT_EQ(editor->GetStyle() & CRtfEditorResponse::StyleOf(0x81B0), CRtfEditorResponse::StyleOf(0x81B0));
  EXPECT_EQ(editor->GetContextMenuPopup(), 1);
  EXPECT_FALSE(editor->GetReadOnlyFlag());
  EXPECT_EQ(editor->GetBackgroundColor(), RGB(255, 255, 200));
  EXPECT_EQ(editor->GetProportionalFormat().yHeight, 320);
  EXPECT_EQ(editor->GetProportionalFormat().crTextColor, RGB(0, 0, 128));
  EXPECT_NE(page.FindDisplayItem(notes), nullptr);
  CRect placed;
  editor->GetWindowRect(&placed);
  page.ScreenToClient(&placed);
  EXPECT_EQ(placed, CRect(10, 20, 210, 120));
  EXPECT_TRUE(shown->GetEditor()->GetReadOnlyFlag());
  EXPECT_EQ(shown->GetEditor()->GetContextMenuPopup(), 0);

  EXPECT_FALSE(notes->SetBackColour(RGB(255, 255, 200)));
  EXPECT_TRUE(notes->SetBackColour(RGB(200, 255, 255)));
  EXPECT_EQ(editor->GetBackgroundColor(), RGB(200, 255, 255)) << "an open editor takes the colour";
  editor->ShowWindow(SW_HIDE);
  EXPECT_TRUE(notes->Activate());
  EXPECT_EQ(notes->GetEditor(), editor) << "shown again, not made anew";
  EXPECT_TRUE(editor->IsWindowVisible());
  notes->Unload();
  EXPECT_EQ(notes->GetEditor(), nullptr);
}

TEST_F(RtfEditorPageTest, AFailedReadOfTheEditorLeavesTheVariableAsItWas) {
  CVariable* notes = Variable("Notes", "{\\rtf1 kept}");
  auto response = std::make_unique<CFailingEditorResponse>();
  response->m_dwVariableId = static_cast<DWORD>(notes->GetId());
  response->m_dwFlags |= RtfEditorFlag::kFillFromVariable;
  response->SetRectConstants(CRect(10, 20, 210, 120));
  CRtfEditorResponse* failing = Add(std::move(response));
  ASSERT_TRUE(failing->Activate());
  EXPECT_EQ(Text(failing), "kept");
  failing->GetEditor()->ReplaceSel("lost ");
  failing->UpdateFromControl();
  EXPECT_EQ(notes->GetString(), "{\\rtf1 kept}") << "never a partial text";
}

TEST_F(RtfEditorPageTest, ReadOnlyShowsTheFileNamedByTheFirst200Characters) {
  TempDir dir;
  std::string name = (dir.path() / "").string();
  name += std::string(200 - name.size() - 4, 'n') + ".rtf";
  std::ofstream(name, std::ios::binary) << "{\\rtf1 From the {\\i file}}";
  CVariable* file = Variable("File", name + std::string(50, 'x'));
  CVariable* text = Variable("Text", "{\\rtf1 No such file, shown as text}");
  RtfEditorFields e{0, RtfEditorFlag::kReadOnly | RtfEditorFlag::kFillFromVariable, 0, 0, 0, FontFields{}};
  e.variableId = static_cast<std::uint32_t>(file->GetId());
  CRtfEditorResponse* fromFile = Add(ReadEditor(e, VariableRectFields{10, 20, 210, 120}));
  e.variableId = static_cast<std::uint32_t>(text->GetId());
  CRtfEditorResponse* fromText = Add(ReadEditor(e, VariableRectFields{10, 130, 210, 200}));
  for (CRtfEditorResponse* r : {fromFile, fromText}) ASSERT_TRUE(r->Activate());
  EXPECT_EQ(Text(fromFile), "From the file");
  EXPECT_EQ(fromFile->GetEditor()->GetDocument()->GetDocType(), 4) << "opened as an RTF file";
  EXPECT_EQ(Text(fromText), "No such file, shown as text");

  fromFile->GetEditor()->ReplaceSel("typed ");
  fromFile->UpdateFromControl();
  EXPECT_EQ(file->GetString().GetLength(), 250) << "read-only writes nothing back";
}
