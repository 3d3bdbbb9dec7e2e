// The DLL, simulator and ODBC actions: arguments as the callee sees them, results, missing libraries and functions.
#include "behaviour/dll_action.h"
#include "behaviour/dll_arguments.h"
#include "behaviour/odbc_action.h"
#include "behaviour/simulator_action.h"

#include <gtest/gtest.h>

#include "model/course_doc.h"
#include "model/variable.h"
#include "platform/sys/dynamic_library.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/fake_course_host.h"

using namespace tvn::testing;

namespace {

class LibraryHost : public FakeCourseHost {
 public:
  CLibraryTable* GetLibraries() override { return &libraries; }
  BOOL IsSimulatorPresent() override { return simulator; }
  CLibraryTable libraries;
  BOOL simulator = TRUE;
};

// The test library as a course names it: its folder, then "X.DLL" in another case.
std::string LibraryName() {
  std::filesystem::path library(TVN_DLL_TEST_LIBRARY);
  std::string base = library.stem().string().substr(3);  // without "lib"
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return (library.parent_path() / (base + ".Dll")).string();
}

class LibraryActionsTest : public ::testing::Test {
 protected:
  LibraryActionsTest() : course(host) { result = &host.vars.Declare("Result", VarType::kString); }
  // Runs one DLL action; what the result variable holds afterwards.
  std::string Call(const char* function, const char* arguments, std::uint8_t type, std::string library = "") {
    DllFields fields;
    fields.library = library.empty() ? LibraryName() : library;
    fields.function = function;
    fields.arguments = arguments;
    fields.resultType = type;
    fields.resultVariable = result->GetId();
    auto task = TaskWithActions(course, {[&](CourseBuilder& b) { b.DllAction(IconFields{}, fields); }});
    EXPECT_TRUE(task);
    EXPECT_TRUE(ActionOf<CDLLAction>(*task)->Execute());
    return result->GetString().str();
  }

  LibraryHost host;
  CCourseDoc course;
  CVariable* result = nullptr;
};

}  // namespace

TEST(DllArguments, TokensAndTheirForms) {
  using Kind = tvn::sys::ForeignArgument::Kind;
  EXPECT_EQ(SplitDllArguments("'A,12S, 3.5\tword"), (std::vector<std::string>{"'A", "12S", "3.5", "word"}));
  EXPECT_EQ(SplitDllArguments("\"a,b\" x"), (std::vector<std::string>{"a b", "x"}));
  EXPECT_EQ(SplitDllArguments("\"open"), (std::vector<std::string>{"open"}));
  EXPECT_EQ(SplitDllArguments("1,2,3,4,5,6,7,8,9,10,11,12").size(), kMaxDllArguments);
  EXPECT_TRUE(SplitDllArguments(" ,, ").empty());

  char buffer[4];
  struct Row {
    const char* token;
    Kind kind;
    std::uint32_t int32;
    std::int64_t int64;
    float f;
  };
  const Row rows[] = {
      {"'A", Kind::int32, 65, 0, 0},         {"'", Kind::int32, 0, 0, 0},
      {"12S", Kind::int32, 12, 0, 0},        {"65548S", Kind::int32, 12, 0, 0},
      {"-1", Kind::int32, 0xFFFFFFFFu, 0, 0}, {"7L", Kind::int32, 7, 0, 0},
      {"3.5", Kind::float32, 0, 0, 3.5f},    {"-2.75L", Kind::int64, 0, -2, 0},
      {"1e60", Kind::int32, 1, 0, 0},        {"1.0e60", Kind::float32, 0, 0, std::numeric_limits<float>::infinity()},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    auto arg = DllArgumentOf(rows[i].token, buffer);
    EXPECT_EQ(arg.kind, rows[i].kind) << "row " << i;
    EXPECT_EQ(arg.int32, rows[i].int32) << "row " << i;
    EXPECT_EQ(arg.int64, rows[i].int64) << "row " << i;
    EXPECT_EQ(arg.float32, rows[i].f) << "row " << i;
  }
  EXPECT_EQ(DllArgumentOf("@BuF", buffer).pointer, buffer);
  EXPECT_EQ(DllArgumentOf("@buf", nullptr).pointer, nullptr);
  const std::string word = "-x";
  EXPECT_EQ(DllArgumentOf(word, buffer).pointer, word.c_str());
}

TEST_F(LibraryActionsTest, CallsWithTheTokensFormsAndStoresByResultType) {
  EXPECT_EQ(Call("Describe", "'A,65548S,3.5,\"a,b\"", 1), "65|12|3.50|a b");
  host.vars.Declare("Word", VarType::kString).SetString("word");
  EXPECT_EQ(Call("Describe", "'B 1 0.25 {Word}", 1), "66|1|0.25|word");
  // Arguments past ten are not passed.
  Call("Sum", "1,2,3,4,5,6,7,8,9,10,1000,1000", 4);
  EXPECT_EQ(result->GetReal(), 55);
  Call("Half", "7", 6);
  EXPECT_EQ(result->GetReal(), 3.5);
  Call("Wide", "2.7L", 4);
  EXPECT_EQ(result->GetReal(), 20);
  EXPECT_EQ(Call("Nothing", "", 1), "");
  // The buffer's text replaces the result, whatever the case of its word.
  EXPECT_EQ(Call("Fill", "@BUF,hello", 4), "hello");
  // Result type 7 does not call; 0 stores nothing.
  result->SetString("kept");
  EXPECT_EQ(Call("Fill", "@buf,x", 7), "kept");
  EXPECT_EQ(Call("Half", "3", 0), "kept");
  EXPECT_TRUE(host.sink.boxes.empty());
}

TEST_F(LibraryActionsTest, MissingLibrariesFunctionsAndVariables) {
  EXPECT_EQ(Call("Describe", "", 1, "NOPE.DLL"), "");
  ASSERT_EQ(host.BoxTexts().size(), 1u);
  EXPECT_EQ(host.BoxTexts()[0], "NOPE.DLL\nCannot find this file.\nPlease verify that the correct path and file name are given.");
  result->SetString("kept");
  EXPECT_EQ(Call("Missing", "", 1), "kept");
  EXPECT_EQ(Call("12", "", 1), "kept");
  ASSERT_EQ(host.BoxTexts().size(), 3u);
  EXPECT_EQ(host.BoxTexts()[1], "Function: Missing not found in module " + LibraryName());
  EXPECT_EQ(host.sink.beeps.size(), 3u);
  // The library stays loaded for the next call.
  EXPECT_TRUE(host.libraries.Find(CString(LibraryName())));

  // A result variable that does not exist drops the result without a word.
  DllFields fields;
  fields.library = LibraryName();
  fields.function = "Half";
  fields.arguments = "4";
  fields.resultType = 6;
  fields.resultVariable = 4242;
  auto task = TaskWithActions(course, {[&](CourseBuilder& b) { b.DllAction(IconFields{}, fields); }});
  EXPECT_TRUE(ActionOf<CDLLAction>(*task)->Execute());
  EXPECT_EQ(host.BoxTexts().size(), 3u);
  CDLLAction copy;
  copy.CopyFrom(ActionOf<CDLLAction>(*task), FALSE);
  EXPECT_EQ(copy.GetFunction(), "Half");
  EXPECT_EQ(copy.GetTypeFlags(), 33);
}

TEST_F(LibraryActionsTest, TheSimulatorKeepsTheTaskItAnswers) {
  host.programDirectory = TVN_SIMULATOR_FOLDER;
  auto task = TaskWithActions(course, {[](CourseBuilder& b) { b.SimulatorAction(IconFields{}, "five"); },
                                       [](CourseBuilder& b) { b.SimulatorAction(IconFields{}, ""); },
                                       [](CourseBuilder& b) { b.SimulatorAction(IconFields{}, "other"); }});
  ASSERT_TRUE(task);
  auto* five = ActionOf<CSimulatorAction>(*task, 0);
  EXPECT_EQ(five->GetTypeFlags(), 65);
  EXPECT_TRUE(five->Execute());
  EXPECT_EQ(five->GetResult(), 5);
  ActionOf<CSimulatorAction>(*task, 1)->Execute();
  EXPECT_EQ(ActionOf<CSimulatorAction>(*task, 1)->GetResult(), 0);
  ActionOf<CSimulatorAction>(*task, 2)->Execute();
  EXPECT_EQ(ActionOf<CSimulatorAction>(*task, 2)->GetResult(), 0);
  // A library that does not load keeps the last result; so does an absent simulator.
  host.programDirectory = "/nonexistent/";
  five->Execute();
  EXPECT_EQ(five->GetResult(), 5);
  CSimulatorAction copy;
  copy.CopyFrom(five, TRUE);
  EXPECT_EQ(copy.GetResult(), 5);
  EXPECT_EQ(copy.GetSimulation(), "five");
}

TEST_F(LibraryActionsTest, TheOdbcActionKeepsItsFields) {
  OdbcFields fields{3, 11, 0x7F, "dsn", "select", "x"};
  auto task = TaskWithActions(course, {[&](CourseBuilder& b) { b.OdbcAction(IconFields{}, fields); }});
  ASSERT_TRUE(task);
  auto* odbc = ActionOf<CODBCAction>(*task);
  EXPECT_EQ(odbc->GetValueB(), 3);
  EXPECT_EQ(odbc->GetValueA(), 11);
  EXPECT_EQ(odbc->GetOption(), 0x7F);
  EXPECT_EQ(odbc->GetText(1), "select");
  EXPECT_TRUE(odbc->Execute());
  CODBCAction fresh;
  EXPECT_EQ(fresh.GetValueA(), 9);
  EXPECT_EQ(fresh.GetTypeFlags(), 5);
  CODBCAction kept;
  kept.CopyFrom(odbc, TRUE);
  EXPECT_EQ(kept.GetValueA(), 11);
  EXPECT_EQ(kept.GetText(0), "");
}
