// The rich-text editor's document: opening and importing by type, the save questions, the dialogs and staged saving.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "controls/doc_types.h"
#include "controls/rtf_editor_doc.h"
#include "controls/rtf_editor_view.h"
#include "controls/text_converter_registry.h"
#include "model/message_service.h"
#include "platform/sys/file.h"
#include "platform/base/host_path.h"
#include "tests/controls/rtf_editor_test_support.h"
#include "tests/model/test_variable_context.h"
#include "tests/platform/user/window_test_support.h"
#include "tests/support/recording_message_sink.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace tvn::testing;

// A Word converter that writes "WORD:" before the RTF it is given.
class PrefixConverter : public ITextConverterProvider {
 public:
  bool IsFormatCorrect(std::string_view) override { return true; }
  bool ForeignToRtf(std::string_view bytes, const std::function<bool(std::string_view)>& output) override {
    return output(bytes.substr(std::min<std::size_t>(5, bytes.size())));
  }
  bool RtfToForeign(const std::function<std::size_t(char*, std::size_t)>& input,
                    const std::function<void(std::string_view)>& output) override {
    output("WORD:");
    char buffer[512];
    while (std::size_t n = input(buffer, sizeof buffer)) output(std::string_view(buffer, n));
    return true;
  }
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

CString Text(const std::filesystem::path& path) { return tvn::path::HostPathToText(path); }

constexpr const char* kFormatted = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 {\\b Caf\\'e9} text\\par next}";

class RtfEditorDocTest : public WindowTest {
 protected:
  RtfEditorDocTest() {
    vars.Declare("ErrorNumber", VarType::kInteger);
    vars.Declare("ErrorMessage", VarType::kString);
    env.text.variables = &vars;
    env.text.messages = &messages;
    env.dialogs = &editorDialogs;
    Make(view);
  }
  void Make(CRtfEditorView& editor, const CConverterRegistry* converters = nullptr) {
    env.text.files.converters = converters;
    editor.SetEnvironment(env);
    ASSERT_TRUE(editor.Create(parent.get(), CRect(0, 0, 300, 200), WS_CHILD | WS_VISIBLE | ES_MULTILINE));
  }
  CRtfEditorDoc& Doc() { return *view.GetDocument(); }

  TempDir dir;
  std::unique_ptr<CRecordingWnd> parent = MakeWindow(CRect(0, 0, 400, 300));
  TestVariableContext vars;
  RecordingMessageSink sink;
  CMessageService messages{sink, "Tvnrun"};
  ScriptedEditorDialogs editorDialogs;
  RtfEditorEnvironment env;
  CRtfEditorView view;
};

TEST_F(RtfEditorDocTest, OpensByTypeAndRefusesWhatItCannotRead) {
  WriteFile(dir / "notes.txt", "{\\rtf1 rich {\\i text}}");
  ASSERT_TRUE(Doc().OnOpenDocument(Text(dir / "notes.txt")));
  EXPECT_EQ(Doc().GetDocType(), DocType::kRtf) << "typed by its first bytes";
  EXPECT_EQ(view.GetTextRange(0, -1).str(), "rich text");
  EXPECT_TRUE(Doc().IsRtfMode());

  WriteFile(dir / "plain.txt", "Line one\r\nLine two");
  ASSERT_TRUE(Doc().OnOpenDocument(Text(dir / "plain.txt")));
  EXPECT_EQ(Doc().GetSaveType(), DocType::kText);
  EXPECT_FALSE(Doc().IsRtfMode());
  EXPECT_EQ(view.GetTextRange(0, -1).str(), "Line one\rLine two");

  // An executable: 179 with a beep, and the text stays.
  WriteFile(dir / "tool.exe", "MZ\x90\x00 program");
  EXPECT_FALSE(Doc().OnOpenDocument(Text(dir / "tool.exe")));
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].text, "Can not load Executable files.");
  EXPECT_EQ(sink.events.front(), "beep");
  EXPECT_EQ(view.GetTextRange(0, 8).str(), "Line one");

  // A missing file goes to the error variables.
  EXPECT_FALSE(Doc().OnOpenDocument(Text(dir / "missing.rtf")));
  EXPECT_EQ(vars.Var("ErrorNumber").GetLong(), CFileException::fileNotFound);
  EXPECT_EQ(view.GetTextRange(0, 8).str(), "Line one");
}

TEST_F(RtfEditorDocTest, ImportWithTheMsDosFilterReadsTheOemCodePage) {
  WriteFile(dir / "dos.txt", "Caf\x82");  // 0x82 is e acute in code page 850
  dialogs->fileAnswers.push_back(Text(dir / "dos.txt"));
  dialogs->filterAnswers.push_back(3);  // RTF, Text, MS-DOS text, All
  view.RunCommand(RtfEditorCommand::kImport);
  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_TRUE(dialogs->fileDialogs[0].open);
  EXPECT_EQ(dialogs->fileDialogs[0].title.str(), "Open");
  EXPECT_EQ(Doc().GetDocType(), DocType::kOemText);
  EXPECT_EQ(view.GetTextRange(0, -1).str(), "Caf\xE9");
  EXPECT_EQ(Doc().GetOpenFilterIndex(), 3);
}

TEST_F(RtfEditorDocTest, SaveAsProposesTheTitleAndOpensAtRtfWithoutConverters) {
  view.SetRtfText(kFormatted);
  Doc().SetTitle("My notes");
  const std::filesystem::path target = dir / "My.rtf";
  dialogs->fileAnswers.push_back(Text(target));
  Doc().SetDocType(DocType::kWord6);
  EXPECT_TRUE(Doc().DoSave(CString(), TRUE));
  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  const FileDialogRequest& asked = dialogs->fileDialogs[0];
  EXPECT_FALSE(asked.open);
  EXPECT_EQ(asked.title.str(), "Save As");
  EXPECT_EQ(asked.filterIndex, 1) << "type 2 is not listed without its converter: RTF";
  EXPECT_EQ(asked.fileName.str(), "My.doc");
  EXPECT_EQ(asked.filter.str(), "Rich Text Format (RTF)|*.rtf|Text Document|*.txt|Text Document - MS-DOS Format|*.txt|");
  EXPECT_EQ(Doc().GetSaveType(), DocType::kRtf);
  EXPECT_TRUE(ReadFile(target).starts_with("{\\rtf"));
  EXPECT_EQ(Doc().GetPathName().str(), Text(target).str());

  // A new RTF document titled the same proposes "My.rtf".
  CRtfEditorView fresh;
  Make(fresh);
  fresh.GetDocument()->SetTitle("My notes");
  fresh.RunCommand(RtfEditorCommand::kSaveAs);
  ASSERT_EQ(dialogs->fileDialogs.size(), 2u);
  EXPECT_EQ(dialogs->fileDialogs[1].fileName.str(), "My.rtf");
  EXPECT_EQ(dialogs->fileDialogs[1].defaultExtension.str(), "rtf");
}

TEST_F(RtfEditorDocTest, TheWordSummaryTypeAsks126AndOtherUnwritableTypes106) {
  CConverterRegistry converters;
  converters.Register(kWordConverter, std::make_shared<PrefixConverter>());
  CRtfEditorView word;
  Make(word, &converters);
  word.SetRtfText(kFormatted);
  CRtfEditorDoc& doc = *word.GetDocument();
  const CString target = Text(dir / "report.doc");

  doc.SetDocType(DocType::kWord6Summary);
  sink.answers = {IDCANCEL};
  EXPECT_FALSE(doc.DoSave(target));
  EXPECT_FALSE(std::filesystem::exists(dir / "report.doc"));
  ASSERT_EQ(sink.boxes.size(), 1u);
  EXPECT_EQ(sink.boxes[0].style, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONEXCLAMATION));
  EXPECT_EQ(sink.boxes[0].helpContext, 126u);

  sink.answers = {IDYES};
  EXPECT_TRUE(doc.DoSave(target));
  EXPECT_EQ(doc.GetSaveType(), DocType::kWord6);
  EXPECT_TRUE(ReadFile(dir / "report.doc").starts_with("WORD:{\\rtf"));

  doc.SetDocType(DocType::kWord6Summary);
  sink.answers = {IDNO};
  EXPECT_FALSE(doc.DoSave(target)) << "No goes to the save dialog, here cancelled";
  EXPECT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_EQ(doc.GetSaveType(), DocType::kWord6Summary) << "a cancelled dialog restores the type";

  doc.SetDocType(DocType::kWrite);
  sink.answers = {IDNO};
  EXPECT_FALSE(doc.DoSave(target));
  EXPECT_EQ(sink.boxes.back().helpContext, 106u);
  EXPECT_EQ(dialogs->fileDialogs.size(), 1u) << "anything but Yes ends it";
  sink.answers = {IDYES};
  EXPECT_FALSE(doc.DoSave(target));
  EXPECT_EQ(dialogs->fileDialogs.size(), 2u) << "Yes goes to the save dialog";
}

TEST_F(RtfEditorDocTest, FormattedTextSavedAsTextAsks112AndWritesPlainText) {
  view.SetRtfText(kFormatted);
  const std::filesystem::path ansi = dir / "notes.txt";
  Doc().SetDocType(DocType::kText);
  sink.answers = {IDCANCEL};
  EXPECT_FALSE(Doc().DoSave(Text(ansi)));
  EXPECT_EQ(sink.boxes.back().helpContext, 112u);
  sink.answers = {IDNO};
  EXPECT_FALSE(Doc().DoSave(Text(ansi))) << "No: the save dialog, cancelled";
  EXPECT_EQ(dialogs->fileDialogs.size(), 1u);
  sink.answers = {IDYES};
  Doc().SetDocType(DocType::kText);
  EXPECT_TRUE(Doc().DoSave(Text(ansi)));
  EXPECT_EQ(ReadFile(ansi), "Caf\xE9 text\r\nnext");

  Doc().SetDocType(DocType::kOemText);
  sink.answers = {IDYES};
  EXPECT_TRUE(Doc().DoSave(Text(dir / "dos.txt")));
  EXPECT_EQ(ReadFile(dir / "dos.txt"), "Caf\x82 text\r\nnext");

  // Plain text in the plain format asks nothing.
  CRtfEditorView plain;
  Make(plain);
  plain.ReplaceSel("just words", TRUE);
  plain.ApplyDefaultFormat(TRUE);
  plain.GetDocument()->SetDocType(DocType::kText);
  const std::size_t boxes = sink.boxes.size();
  EXPECT_TRUE(plain.GetDocument()->DoSave(Text(dir / "plain.txt")));
  EXPECT_EQ(sink.boxes.size(), boxes);
  EXPECT_EQ(ReadFile(dir / "plain.txt"), "just words");
}

// Writes part of the text, then fails.
class FailingSaveView : public CRtfEditorView {
 public:
  void Stream(CFile& file, BOOL storing, BOOL selectionOnly) override {
    if (!storing) return CRtfEditorView::Stream(file, storing, selectionOnly);
    file.Write("{\\rtf1 part", 11);
    throw CFileException(CFileException::diskFull, -1);
  }
};

TEST_F(RtfEditorDocTest, AFailedSaveLeavesTheOriginalFileAsItWas) {
  const std::filesystem::path target = dir / "kept.rtf";
  const std::string original = "{\\rtf1 the original text, byte for byte}";
  WriteFile(target, original);
  FailingSaveView failing;
  Make(failing);
  failing.SetRtfText(kFormatted);
  EXPECT_FALSE(failing.GetDocument()->DoSave(Text(target)));
  EXPECT_EQ(ReadFile(target), original);
  EXPECT_EQ(vars.Var("ErrorNumber").GetLong(), CFileException::diskFull);
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1) << "no temporary left behind";

  // A new file that fails is not left half-written either.
  dialogs->fileAnswers.push_back(Text(dir / "new.rtf"));
  EXPECT_FALSE(failing.GetDocument()->DoSave(CString(), TRUE));
  EXPECT_FALSE(std::filesystem::exists(dir / "new.rtf"));

  // A good save replaces it whole.
  view.SetRtfText(kFormatted);
  EXPECT_TRUE(Doc().DoSave(Text(target)));
  EXPECT_TRUE(ReadFile(target).starts_with("{\\rtf"));
  EXPECT_NE(ReadFile(target), original);
}

}  // namespace
