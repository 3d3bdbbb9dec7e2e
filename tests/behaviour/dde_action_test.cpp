// The DDE action: which link calls its flags make, and how requested text lands in each variable type.
#include "behaviour/dde_action.h"

#include <gtest/gtest.h>

#include "model/dde_client.h"
#include "model/variable.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/fake_course_host.h"

using namespace tvn::testing;

namespace {

// Records the calls; answers requests with a set text.
class RecordingDdeClient final : public IDdeClient {
 public:
  void Connect(const CString& service, const CString& topic) override {
    calls.push_back("connect " + service.str() + "|" + topic.str());
  }
  void Disconnect() override { calls.push_back("disconnect"); }
  void Execute(const CString& command, UINT format) override {
    calls.push_back("execute " + command.str() + "|" + std::to_string(format));
  }
  std::optional<std::string> Request(const CString& item, UINT) override {
    calls.push_back("request " + item.str());
    if (!answer) return std::nullopt;
    return *answer + std::string(1, '\0');
  }
  std::vector<std::string> calls;
  std::optional<std::string> answer;
};

class DdeHost : public FakeCourseHost {
 public:
  IDdeClient* GetDdeClient() override { return &client; }
  RecordingDdeClient client;
};

class DdeActionTest : public ::testing::Test {
 protected:
  DdeActionTest() : course(host) {}
  CDDEAction* Run(const DdeFields& fields) {
    tasks.push_back(TaskWithActions(course, {[&](CourseBuilder& b) { b.DdeAction(IconFields{}, fields); }}));
    CDDEAction* action = ActionOf<CDDEAction>(*tasks.back());
    EXPECT_TRUE(action->Execute());
    return action;
  }
  DdeHost host;
  CCourseDoc course;
  std::vector<std::unique_ptr<CTask>> tasks;
};

}  // namespace

TEST_F(DdeActionTest, FlagsChooseConnectExecuteRequestAndDisconnect) {
  host.vars.Declare("Name", VarType::kString).SetString("a.mcl");
  DdeFields fields;
  fields.application = "Other";
  fields.topic = "system";
  fields.command = "[open({Name})]";
  fields.item = "status";
  fields.flags = DdeFlag::kConnect | DdeFlag::kDisconnect | DdeFlag::kExecute;
  fields.format = 7;
  CDDEAction* action = Run(fields);
  // 0x3 connects and keeps the conversation.
  EXPECT_EQ(host.client.calls, (std::vector<std::string>{"connect Other|system", "execute [open(a.mcl)]|7"}));
  EXPECT_EQ(action->GetTypeFlags(), 65);
  EXPECT_EQ(action->GetFormat(), 7);

  CDDEAction copy;
  copy.CopyFrom(action, TRUE);
  EXPECT_EQ(copy.GetApplication(), "Other");
  EXPECT_EQ(copy.GetCommand(), "[open({Name})]");
  EXPECT_EQ(copy.GetItem(), "status");
  EXPECT_EQ(copy.GetFlags(), fields.flags);

  // 0x2 alone ends the conversation and the action.
  host.client.calls.clear();
  fields.flags = DdeFlag::kDisconnect | DdeFlag::kExecute;
  Run(fields);
  EXPECT_EQ(host.client.calls, (std::vector<std::string>{"disconnect"}));

  // Without 0x1 or 0x4 nothing is sent; an empty application does not connect.
  host.client.calls.clear();
  fields.flags = DdeFlag::kExecute | DdeFlag::kRequest;
  Run(fields);
  fields.application = "";
  fields.flags = DdeFlag::kConnect | DdeFlag::kRequest;
  fields.item = "";
  Run(fields);
  EXPECT_TRUE(host.client.calls.empty());

  host.mayReachOutside = FALSE;
  fields.flags = DdeFlag::kDisconnect;
  Run(fields);
  EXPECT_TRUE(host.client.calls.empty());
}

TEST_F(DdeActionTest, RequestedTextIsStoredByTheVariablesType) {
  struct Row {
    DWORD type;
    const char* answer;
    double number;     // integer and number variables
    const char* text;  // string variables
  };
  const Row rows[] = {
      {VarType::kInteger, "42abc", 42, ""},  {VarType::kNumber, "3.5x", 3.5, ""},
      {VarType::kString, "text", 0, "text"}, {VarType::kInteger, "abc", 0, ""},
      {VarType::kInteger, "99999999999", 2147483647, ""}, {VarType::kNumber, " -2e1", -20, ""},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    CVariable& v = host.vars.Declare(("V" + std::to_string(i)).c_str(), rows[i].type);
    host.client.answer = rows[i].answer;
    DdeFields fields;
    fields.flags = DdeFlag::kUseOpen | DdeFlag::kRequest;
    fields.item = "x";
    fields.resultVariable = v.GetId();
    Run(fields);
    if (rows[i].type == VarType::kString) {
      EXPECT_EQ(v.GetString(), rows[i].text) << "row " << i;
    } else if (rows[i].type == VarType::kInteger) {
      EXPECT_EQ(v.GetLong(), rows[i].number) << "row " << i;
    } else {
      EXPECT_EQ(v.GetReal(), rows[i].number) << "row " << i;
    }
  }

  // A date variable, a missing variable and a refused request change nothing.
  CVariable& date = host.vars.Declare("When", VarType::kDateTime);
  date.SetReal(45000.25);
  host.client.answer = "12";
  DdeFields fields;
  fields.flags = DdeFlag::kUseOpen | DdeFlag::kRequest;
  fields.item = "x";
  fields.resultVariable = date.GetId();
  Run(fields);
  EXPECT_EQ(date.GetReal(), 45000.25);
  fields.resultVariable = 4242;
  Run(fields);
  CVariable& kept = host.vars.Declare("Kept", VarType::kString);
  kept.SetString("kept");
  host.client.answer.reset();
  fields.resultVariable = kept.GetId();
  Run(fields);
  EXPECT_EQ(kept.GetString(), "kept");
}
