// The read and write actions: sections, values by variable type, appending, replacing, and their stored forms.
#include "behaviour/read_action.h"
#include "behaviour/write_action.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "model/course_doc.h"
#include "model/text_sections.h"
#include "model/variable.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/fake_course_host.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class FileActionsTest : public ::testing::Test {
 protected:
  FileActionsTest() : course(host) {
    text = &host.vars.Declare("T", VarType::kString);
    number = &host.vars.Declare("N", VarType::kNumber);
    host.vars.Declare("Who", VarType::kString).SetString("Ann");
  }
  std::string Path(const char* name) const { return (dir / name).string(); }
  void Write(const char* name, const std::string& content) const { std::ofstream(dir / name, std::ios::binary) << content; }
  // Runs one read action of the file into the variable; the variable's text afterwards.
  std::string Read(const ReadFields& fields) {
    auto task = TaskWithActions(course, {[&](CourseBuilder& b) { b.ReadAction(IconFields{}, fields); }});
    EXPECT_TRUE(task);
    EXPECT_TRUE(ActionOf<CReadAction>(*task)->Execute());
    return text->GetString().str();
  }
  ReadFields Section(const char* file, const char* name) const {
    ReadFields f;
    f.flags = 0x03;
    f.variableId = text->GetId();
    f.fileName = Path(file);
    f.section = name;
    return f;
  }

  TempDir dir;
  FakeCourseHost host;
  CCourseDoc course;
  CVariable* text = nullptr;
  CVariable* number = nullptr;
};

}  // namespace

TEST(TextSections, HeadersEndsAndLineBreaks) {
  struct Row {
    const char* text;
    const char* name;
    const char* expected;  // null: not found
  };
  const Row rows[] = {
      {"#A\r\nfirst\r\n#B\r\nsecond\r\n", "A", "first"},
      {"#A\r\nfirst\r\n#B\r\nsecond\r\n", "B", "second"},
      {"#A\r\none\r\ntwo\r\n#B\r\n", "A", "one\r\ntwo"},
      {"x#A\r\nfirst\r\n", "A", nullptr},
      {"#Scores\r\n10\r\n", "Score", "10"},
      {"#  A\nlf only\n#B\n", "A", "lf only"},
      {"#A\r\n#B\r\nb\r\n", "A", ""},
      {"text\r\n#A", "A", ""},
      {"#A\r\nlast", "A", "last"},
      {"#", "A", nullptr},
      {"# \t", "A", nullptr},
      {"", "A", nullptr},
      {"#a\r\nx\r\n", "A", nullptr},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    auto found = FindSection(rows[i].text, "#", rows[i].name);
    if (!rows[i].expected) {
      EXPECT_FALSE(found) << "row " << i;
    } else {
      ASSERT_TRUE(found) << "row " << i;
      EXPECT_EQ(*found, rows[i].expected) << "row " << i;
    }
  }
  EXPECT_FALSE(FindSection("#A\nx", "", "A"));
  EXPECT_EQ(*FindSection("[[A\nx\n[[B\n", "[[", "A"), "x");
}

TEST_F(FileActionsTest, ReadsAWholeFileOrASectionByTheVariablesType) {
  Write("scores.txt", "#A\r\nfirst\r\n#B\r\nsecond\r\n");
  EXPECT_EQ(Read(Section("scores.txt", "A")), "first");
  // The section name is expanded; an empty one reads the whole file.
  host.vars.Var("Who").SetString("B");
  EXPECT_EQ(Read(Section("scores.txt", "{Who}")), "second");
  EXPECT_EQ(Read(Section("scores.txt", "")), "#A\r\nfirst\r\n#B\r\nsecond\r\n");
  // A section that is not there leaves the variable alone.
  text->SetString("kept");
  EXPECT_EQ(Read(Section("scores.txt", "C")), "kept");
  // So does a file that does not open, and nothing is shown.
  EXPECT_EQ(Read(Section("missing.txt", "A")), "kept");
  EXPECT_TRUE(host.sink.boxes.empty());

  Write("points.txt", "12.5 points");
  ReadFields whole;
  whole.fileName = Path("points.txt");
  whole.variableId = text->GetId();
  EXPECT_EQ(Read(whole), "12.5 points");
  whole.variableId = number->GetId();
  Read(whole);
  EXPECT_DOUBLE_EQ(number->GetReal(), 12.5);
  Write("words.txt", "none");
  whole.fileName = Path("words.txt");
  Read(whole);
  EXPECT_EQ(number->GetReal(), 0);
  // An id that names no variable changes nothing.
  whole.variableId = 12345;
  Read(whole);
}

TEST_F(FileActionsTest, AFileTooLargeToHoldIsTheOutOfMemoryMessage) {
  // A sparse file: large by its length, without taking the space.
  std::filesystem::path huge = dir / "huge.txt";
  std::ofstream(huge) << "";
  std::filesystem::resize_file(huge, CReadAction::kLargestFile + 1);
  text->SetString("kept");
  ReadFields whole;
  whole.fileName = huge.string();
  whole.variableId = text->GetId();
  EXPECT_EQ(Read(whole), "kept");
  EXPECT_EQ(host.BoxTexts(), (std::vector<std::string>{"Insufficient memory to perform operation."}));
}

TEST_F(FileActionsTest, StoredFormsAndFlagDefaults) {
  ReadFields old;
  old.schema = 2;
  old.flags = 0x01;
  old.marker = "ignored";
  auto task = TaskWithActions(course, {[&](CourseBuilder& b) { b.ReadAction(IconFields{}, old); },
                                       [](CourseBuilder& b) { b.WriteAction(IconFields{}, 0x02, "f.txt", "x"); },
                                       [](CourseBuilder& b) { b.WriteAction(IconFields{}, 0x09, "", ""); }});
  ASSERT_TRUE(task);
  CReadAction* read = ActionOf<CReadAction>(*task, 0);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->GetMarker(), "#");
  EXPECT_EQ(read->GetSectionName(), "");
  EXPECT_EQ(read->GetFlags(), 0x03);
  EXPECT_EQ(read->GetTypeFlags(), 69);
  EXPECT_EQ(ActionOf<CWriteAction>(*task, 1)->GetFlags(), 0x06);
  EXPECT_EQ(ActionOf<CWriteAction>(*task, 2)->GetFlags(), 0x09);

  // Collected only without 0x02, by its stored name.
  CStringArray files;
  EXPECT_FALSE(read->CollectFiles(&files, 0));
  ReadFields collected;
  collected.flags = 0x04;
  collected.fileName = "{Dir}data.txt";
  auto other = TaskWithActions(course, {[&](CourseBuilder& b) { b.ReadAction(IconFields{}, collected); }});
  EXPECT_TRUE(ActionOf<CReadAction>(*other)->CollectFiles(&files, 0));
  ASSERT_EQ(files.GetSize(), 1);
  EXPECT_EQ(files[0], "{Dir}data.txt");

  CReadAction copy;
  copy.CopyFrom(ActionOf<CReadAction>(*other), TRUE);
  EXPECT_EQ(copy.GetFileName(), "{Dir}data.txt");
  EXPECT_EQ(copy.GetFlags(), 0x04);
}

TEST_F(FileActionsTest, WritesReplaceOrAppendAndAnUnopenableFileIsShown) {
  const std::string log = Path("log.txt");
  auto task = TaskWithActions(course, {[&](CourseBuilder& b) { b.WriteAction(IconFields{}, 0x06, log, "#{Who}\r\n"); },
                                       [&](CourseBuilder& b) { b.WriteAction(IconFields{}, 0x04, log, "more"); },
                                       [&](CourseBuilder& b) { b.WriteAction(IconFields{}, 0x05, log, "new"); }});
  ASSERT_TRUE(task);
  auto* append = ActionOf<CWriteAction>(*task, 0);
  EXPECT_TRUE(append->Execute());
  EXPECT_TRUE(append->Execute());
  EXPECT_EQ(Slurp(log), "#Ann\r\n#Ann\r\n");
  // Neither replace nor append: appended, nothing lost.
  ActionOf<CWriteAction>(*task, 1)->Execute();
  EXPECT_EQ(Slurp(log), "#Ann\r\n#Ann\r\nmore");
  ActionOf<CWriteAction>(*task, 2)->Execute();
  EXPECT_EQ(Slurp(log), "new");

  // A bare name goes behind the first search path, as it stands.
  host.searchPaths.Add(CString((dir.path() / "sub-").string()));
  auto bare = TaskWithActions(course, {[](CourseBuilder& b) { b.WriteAction(IconFields{}, 0x05, "bare.txt", "b"); }});
  ActionOf<CWriteAction>(*bare)->Execute();
  EXPECT_EQ(Slurp(dir / "sub-bare.txt"), "b");

  const std::string blocked = Path("no-such-folder/x.txt");
  auto failing = TaskWithActions(course, {[&](CourseBuilder& b) { b.WriteAction(IconFields{}, 0x05, blocked, "x"); }});
  EXPECT_TRUE(ActionOf<CWriteAction>(*failing)->Execute());
  EXPECT_EQ(host.BoxTexts(), (std::vector<std::string>{"Unable to open file '" + blocked + "'"}));
  EXPECT_EQ(host.sink.beeps.size(), 1u);
}
