// The rich-text editor response: its stored form and styles, the editor it
// puts on a real page, filling it from the variable or a read-only file, and
// writing the learner's text back as RTF.
#include "behaviour/rtf_editor_response.h"

#include <gtest/gtest.h>

#include <fstream>

#include "controls/rtf_editor_doc.h"
#include "platform/gdi/system_metrics.h"
#include "tests/behaviour/answer_test_support.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/platform/window_test_support.h"
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

// An editor whose content cannot be written out.
class CFailingEditor : public CRtfEditorView {
 public:
  using CRtfEditorView::CRtfEditorView;
  void Stream(CFile& file, BOOL storing, BOOL selectionOnly) override {
    if (storing) {
      file.Write("{\\rtf1 part", 10);
      throw CFileException(CFileException::diskFull, -1);
    }
    CRtfEditorView::Stream(file, storing, selectionOnly);
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

  CRtfEditorResponse* AddEditor(const RtfEditorFields& e, VariableRectFields rect = {10, 20, 210, 120}) {
    auto response = ReadEditor(e, rect);
    return response ? host.AddResponse(std::move(response)) : nullptr;
  }
  CVariable* Variable(const char* name, DWORD type, const char* text = "") {
    CVariable* v = host.services.vars.course->AddVariable(name, type, FALSE, 0, 1);
    if (v && type == VarType::kString) v->SetString(text);
    return v;
  }
  static std::string Text(CRtfEditorResponse* r) {
    return r && r->GetEditor() ? r->GetEditor()->GetTextRange(0, -1).str() : std::string("<no editor>");
  }

  std::unique_ptr<CRecordingWnd> top;
  CWindowedPage page;
  HostTask host;
};

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
  constexpr DWORD kEditable = ES_SAVESEL | ES_NOHIDESEL | ES_SELECTIONBAR;
  EXPECT_EQ(CRtfEditorResponse::StyleOf(0), kChild | kEditable);
  EXPECT_EQ(CRtfEditorResponse::StyleOf(0x8110), kChild | kEditable | WS_BORDER | WS_HSCROLL | ES_AUTOHSCROLL);
  EXPECT_EQ(CRtfEditorResponse::StyleOf(0x60), kChild | WS_VSCROLL | ES_AUTOVSCROLL | ES_MULTILINE)
      << "read-only: no selection bar, no kept selection";
  EXPECT_EQ(CRtfEditorResponse::StyleOf(0x4 | 0x8 | 0x80 | 0x100), kChild | kEditable) << "no style of their own";
}

TEST_F(RtfEditorPageTest, ActivationMakesTheEditorTheFlagsAsk) {
  RtfEditorFields e;
  EXPECT_TRUE(AddEditor(e, VariableRectFields{50, 50, 50, 90})->Activate());
  CRtfEditorResponse* none = dynamic_cast<CRtfEditorResponse*>(host.task.GetResponses()->GetChild(0));
  EXPECT_EQ(none->GetEditor(), nullptr) << "an empty rectangle makes no window";
  EXPECT_EQ(page.FindDisplayItem(none), nullptr);

  e.flags = 0x8110 | RtfEditorFlag::kContextMenu | RtfEditorFlag::kVScroll;
  e.textColour = RGB(0, 0, 128);
  e.backColour = RGB(255, 255, 200);
  e.font.pointSize = 16;
  e.font.weight = 700;
  e.font.face = "Courier New";
  CRtfEditorResponse* notes = AddEditor(e);
  e.flags = RtfEditorFlag::kReadOnly;
  CRtfEditorResponse* shown = AddEditor(e, VariableRectFields{10, 130, 210, 200});
  for (CRtfEditorResponse* r : {notes, shown}) ASSERT_TRUE(r->Activate());

  CRtfEditorView* editor = notes->GetEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->GetDlgCtrlID(), 923);
  EXPECT_EQ(editor->GetParent(), &page);
  EXPECT_EQ(editor->GetStyle() & CRtfEditorResponse::StyleOf(0x81B0), CRtfEditorResponse::StyleOf(0x81B0));
  EXPECT_EQ(editor->GetOwner(), notes);
  EXPECT_EQ(editor->GetContextMenuPopup(), 1);
  EXPECT_FALSE(editor->GetReadOnlyFlag());
  EXPECT_EQ(editor->GetBackgroundColor(), RGB(255, 255, 200));
  const CHARFORMAT& format = editor->GetProportionalFormat();
  EXPECT_EQ(format.yHeight, 320);
  EXPECT_EQ(format.crTextColor, RGB(0, 0, 128));
  EXPECT_TRUE(format.dwEffects & CFE_BOLD);
  EXPECT_STREQ(format.szFaceName, "Courier New");
  EXPECT_NE(page.FindDisplayItem(notes), nullptr);
  CRect placed;
  editor->GetWindowRect(&placed);
  page.ScreenToClient(&placed);
  EXPECT_EQ(placed, CRect(10, 20, 210, 120));

  ASSERT_NE(shown->GetEditor(), nullptr);
  EXPECT_TRUE(shown->GetEditor()->GetReadOnlyFlag());
  EXPECT_EQ(shown->GetEditor()->GetContextMenuPopup(), 0);
  EXPECT_EQ(shown->GetEditor()->GetStyle() & (ES_SAVESEL | ES_NOHIDESEL | WS_BORDER | WS_VSCROLL), 0u);

  // The colour reaches an open editor; a second activation shows the same window.
  EXPECT_FALSE(notes->SetBackColour(RGB(255, 255, 200)));
  EXPECT_TRUE(notes->SetBackColour(RGB(200, 255, 255)));
  EXPECT_EQ(editor->GetBackgroundColor(), RGB(200, 255, 255));
  editor->ShowWindow(SW_HIDE);
  EXPECT_TRUE(notes->Activate());
  EXPECT_EQ(notes->GetEditor(), editor);
  EXPECT_TRUE(editor->IsWindowVisible());
  notes->Unload();
  EXPECT_EQ(notes->GetEditor(), nullptr);
  EXPECT_EQ(notes->ExecuteResponse(nullptr), 0) << "nothing to write without a window";
}

TEST_F(RtfEditorPageTest, TheVariableFillsTheEditorAndTakesItsTextBackAsRtf) {
  CVariable* notes = Variable("Notes", VarType::kString, "{\\rtf1 Hello {\\b world}}");
  CVariable* count = Variable("Count", VarType::kNumber);
  count->SetReal(7.0);
  RtfEditorFields e;
  e.flags = 0x8110 | RtfEditorFlag::kFillFromVariable;
  e.variableId = static_cast<std::uint32_t>(notes->GetId());
  CRtfEditorResponse* filled = AddEditor(e);
  e.variableId = static_cast<std::uint32_t>(count->GetId());
  CRtfEditorResponse* number = AddEditor(e);
  e.flags = 0x8110;
  e.variableId = static_cast<std::uint32_t>(notes->GetId());
  CRtfEditorResponse* blank = AddEditor(e);
  for (CRtfEditorResponse* r : {filled, number, blank}) ASSERT_TRUE(r->Activate());
  EXPECT_EQ(Text(filled), "Hello world");
  EXPECT_EQ(Text(number), "") << "a number variable is never shown";
  EXPECT_EQ(Text(blank), "") << "without flag 0x8 the editor starts empty";

  const long end = filled->GetEditor()->GetTextLength();
  filled->GetEditor()->SetSel(end, end);
  filled->GetEditor()->ReplaceSel(" and more");
  number->GetEditor()->ReplaceSel("42");
  EXPECT_EQ(filled->ExecuteResponse(nullptr), 0);
  number->UpdateFromControl();
  EXPECT_DOUBLE_EQ(count->GetReal(), 7.0) << "nor written";
  const std::string rtf = notes->GetString().str();
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u) << rtf;
  EXPECT_NE(rtf.find("and more"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\b"), std::string::npos) << "the formats go with the text: " << rtf;

  // An editor not filled from the variable still writes its own text into it.
  blank->UpdateFromControl();
  EXPECT_EQ(notes->GetString().Find("Hello"), -1) << notes->GetString().str();
  // The RTF comes back whole in an editor filled from it.
  notes->SetString(CString(rtf));
  filled->Unload();
  ASSERT_TRUE(filled->Activate());
  EXPECT_EQ(Text(filled), "Hello world and more");
}

TEST_F(RtfEditorPageTest, AFailedReadOfTheEditorLeavesTheVariableAsItWas) {
  CVariable* notes = Variable("Notes", VarType::kString, "{\\rtf1 kept}");
  auto response = std::make_unique<CFailingEditorResponse>();
  response->m_dwVariableId = static_cast<DWORD>(notes->GetId());
  response->m_dwFlags |= RtfEditorFlag::kFillFromVariable;
  response->SetRectConstants(CRect(10, 20, 210, 120));
  CRtfEditorResponse* failing = host.AddResponse(std::move(response));
  ASSERT_TRUE(failing->Activate());
  EXPECT_EQ(Text(failing), "kept");
  failing->GetEditor()->ReplaceSel("lost ");
  failing->UpdateFromControl();
  EXPECT_EQ(notes->GetString(), "{\\rtf1 kept}") << "never a partial text";
}

TEST_F(RtfEditorPageTest, ReadOnlyShowsTheFileNamedByTheFirst200Characters) {
  TempDir dir;
  // A file whose full name is exactly 200 characters long.
  std::string name = (dir.path() / "").string();
  name += std::string(200 - name.size() - 4, 'n') + ".rtf";
  ASSERT_EQ(name.size(), 200u);
  std::ofstream(name, std::ios::binary) << "{\\rtf1 From the {\\i file}}";
  CVariable* file = Variable("File", VarType::kString, (name + std::string(50, 'x')).c_str());
  CVariable* text = Variable("Text", VarType::kString, "{\\rtf1 No such file, shown as text}");
  RtfEditorFields e;
  e.flags = RtfEditorFlag::kReadOnly | RtfEditorFlag::kFillFromVariable;
  e.variableId = static_cast<std::uint32_t>(file->GetId());
  CRtfEditorResponse* fromFile = AddEditor(e);
  e.variableId = static_cast<std::uint32_t>(text->GetId());
  CRtfEditorResponse* fromText = AddEditor(e);
  for (CRtfEditorResponse* r : {fromFile, fromText}) ASSERT_TRUE(r->Activate());
  EXPECT_EQ(Text(fromFile), "From the file");
  EXPECT_EQ(fromFile->GetEditor()->GetDocument()->GetDocType(), 4) << "opened as an RTF file";
  EXPECT_EQ(Text(fromText), "No such file, shown as text");

  fromFile->GetEditor()->ReplaceSel("typed ");
  fromFile->UpdateFromControl();
  fromText->UpdateFromControl();
  EXPECT_EQ(file->GetString().GetLength(), 250) << "read-only writes nothing back";
  EXPECT_EQ(text->GetString(), "{\\rtf1 No such file, shown as text}");
}
