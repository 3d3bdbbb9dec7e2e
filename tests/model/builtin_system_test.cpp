// The built-ins that act outside the values: files and their error variables, page objects, the cursor, the program and machine facts.
#include "model/system_functions.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <map>

#include "model/builtin_table.h"
#include "model/message_service.h"
#include "platform/user/cursor.h"
#include "platform/msg/window_messages.h"
#include "tests/model/test_variable_context.h"
#include "tests/support/recording_message_sink.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

// Page objects by name with their rectangles and layers; everything else recorded.
class FakeSystemHost : public ISystemFunctionHost {
 public:
  struct Object {
    CRect rect;
    CRect ownerRect;
    int layer = 6;
    LONG window = 0;
  };
  void QuitApplication() override { calls.push_back("quit"); }
  void EndCurrentCourse() override { calls.push_back("end course"); }
  BOOL PlaySound(const CString&, BOOL) override { return FALSE; }
  DWORD MciCommand(const CString& command, CString& reply) override {
    if (command == "status cd length") reply = "42";
    return command == "bad" ? 263 : 0;
  }
  void ShowCursor(BOOL show, UINT id) override { cursor.push_back(show ? static_cast<int>(id) : 0); }
  void SendToFocus(UINT message) override { sent.push_back(message); }
  void SetScrollPosition(BOOL vertical, int position) override { (vertical ? vscroll : hscroll) = position; }
  void RedrawWindow() override { calls.push_back("redraw"); }
  CPoint GetCursorPosition() override { return CPoint(7, 9); }
  BOOL SetCursorPosition(CPoint) override { return FALSE; }
  BOOL GetOwnerRect(const CString& name, CRect& rect) override {
    auto it = objects.find(name.str());
    if (it == objects.end()) return FALSE;
    rect = it->second.ownerRect;
    return TRUE;
  }
  BOOL GetObjectRect(const CString& name, CRect& rect) override {
    auto it = objects.find(name.str());
    if (it == objects.end()) return FALSE;
    rect = it->second.rect;
    return TRUE;
  }
  BOOL MoveObjectTo(const CString& name, const CRect& rect) override {
    objects[name.str()].rect = rect;
    return TRUE;
  }
  BOOL GetObjectLayer(const CString& name, int& layer) override {
    auto it = objects.find(name.str());
    if (it == objects.end()) return FALSE;
    layer = it->second.layer;
    return TRUE;
  }
  BOOL SetObjectLayer(const CString& name, int layer) override {
    objects[name.str()].layer = layer;
    return TRUE;
  }
  BOOL ReloadObject(const CString&) override { return FALSE; }
  BOOL EnableObjectWindow(const CString&, BOOL) override { return FALSE; }
  BOOL GetObjectWindow(const CString& name, LONG& handle) override {
    auto it = objects.find(name.str());
    if (it == objects.end() || !it->second.window) return FALSE;
    handle = it->second.window;
    return TRUE;
  }
  LONG GetFocusWindow() override { return 77; }
  void SetFocusWindow(LONG handle) override { focused = handle; }
  BOOL GetCurrentUrl(const CString&, CString&) override { return FALSE; }
  BOOL GetMediaPosition(const CString&, LONG&) override { return FALSE; }
  BOOL GetMediaLength(const CString& name, LONG& length) override {
    if (name != "clip") return FALSE;
    length = 1234;
    return TRUE;
  }
  int SendEmail(const CString&, const CString&, const CString&, const CString&) override { return 0; }

  std::map<std::string, Object> objects;
  std::vector<std::string> calls;
  std::vector<int> cursor;
  std::vector<UINT> sent;
  int hscroll = -1, vscroll = -1;
  LONG focused = 0;
};

class SystemContext : public TestVariableContext {
 public:
  BOOL RunSystemFunction(int, CBuiltinCall& call) override {
    SystemFunctionServices services{messages, withHost ? &host : nullptr, &drives, driveType};
    return RunSystemBuiltin(call, services);
  }
  RecordingMessageSink sink;
  CMessageService messages{sink, "Tvnrun"};
  FakeSystemHost host;
  bool withHost = true;
  tvn::path::DriveTable drives;
  DriveTypeQuery driveType = [](const CString&, const tvn::path::DriveTable&) { return tvn::sys::DriveType::removable; };
};

// A script literal naming a host path.
std::string Quoted(const std::filesystem::path& path) { return "\"" + path.string() + "\""; }

}  // namespace

TEST(BuiltinFiles, DeleteCopyRenameAndCheckReportTheSystemsCodes) {
  SystemContext ctx;
  TempDir dir;
  const auto missing = dir / "missing.txt";
  auto outcome = Evaluate(ctx, "DeleteFile(" + Quoted(missing) + ")");
  EXPECT_EQ(outcome.value.GetReal(), 2);
  EXPECT_EQ(ctx.Var("ErrorNumber").GetLong(), 2);
  EXPECT_EQ(ctx.Var("ErrorMessage").GetString(),
            missing.string() + "\nCannot find this file.\nPlease verify that the correct path and file name are given.");

  const auto a = dir / "a.txt";
  std::ofstream(a) << "alpha";
  EXPECT_EQ(Evaluate(ctx, "CheckFile(" + Quoted(a) + ")").value.GetReal(), 1);
  EXPECT_EQ(Evaluate(ctx, "CheckFile(" + Quoted(missing) + ")").value.GetReal(), 0);
  EXPECT_EQ(ctx.Var("ErrorNumber").GetLong(), 2);

  // A rename never replaces a file that is there: the system's "already exists".
  const auto b = dir / "b.txt";
  std::ofstream(b) << "beta";
  EXPECT_EQ(Evaluate(ctx, "RenameFile(" + Quoted(a) + ", " + Quoted(b) + ")").value.GetReal(), 5);
  EXPECT_EQ(ctx.Var("ErrorNumber").GetLong(), 183);
  EXPECT_EQ(ctx.Var("ErrorMessage").GetString(), "Unable to write to " + a.string() + ", it is read-only or opened by someone else.");
  const auto c = dir / "c.txt";
  EXPECT_EQ(Evaluate(ctx, "RenameFile(" + Quoted(a) + ", " + Quoted(c) + ")").value.GetReal(), 0);
  EXPECT_TRUE(std::filesystem::exists(c));
  EXPECT_FALSE(std::filesystem::exists(a));
  EXPECT_EQ(Evaluate(ctx, "DeleteFile(" + Quoted(c) + ")").value.GetReal(), 0);
  EXPECT_FALSE(std::filesystem::exists(c));

  EXPECT_EQ(Evaluate(ctx, "CopyFile(" + Quoted(b) + ", " + Quoted(a) + ")").value.GetReal(), 0);
  EXPECT_TRUE(std::filesystem::exists(a));
  if (::geteuid() != 0) {
    std::filesystem::permissions(a, std::filesystem::perms::owner_read);
    EXPECT_EQ(Evaluate(ctx, "CopyFile(" + Quoted(b) + ", " + Quoted(a) + ")").value.GetReal(), 5);
  }

  EXPECT_EQ(Evaluate(ctx, "CreateDirectory(" + Quoted(dir / "x" / "y") + ")").value.GetReal(), 1);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "x" / "y"));
  EXPECT_EQ(Evaluate(ctx, "CreateDirectory(" + Quoted(dir / "x") + ")").value.GetReal(), 1);
  EXPECT_TRUE(ctx.sink.boxes.empty());
}

TEST(BuiltinFiles, ErrorVariablesByCauseAndDirection) {
  SystemContext ctx;
  struct Row {
    int cause;
    int osError;
    BOOL writing;
    LONG number;
    const char* message;
  };
  const Row rows[] = {
      {0, 0, FALSE, 0, ""},
      {5, EACCES, FALSE, 5, "Unable to read from f, it is opened by someone else."},
      {5, EROFS, TRUE, 5, "Unable to write to f, it is read-only or opened by someone else."},
      {13, ENOSPC, TRUE, 112, "Destination disk drive is full."},
      {11, EBUSY, FALSE, 32, "An unexpected error occurred while reading f."},
      {14, EIO, TRUE, 31, "An unexpected error occurred while writing f."},
      {4, EMFILE, FALSE, 4, "An unexpected error occurred while reading f."},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SetFileErrorVariables(ctx, "f", CFileException(rows[i].cause, rows[i].osError, "f"), rows[i].writing);
    EXPECT_EQ(ctx.Var("ErrorNumber").GetLong(), rows[i].number) << "row " << i;
    EXPECT_EQ(ctx.Var("ErrorMessage").GetString(), rows[i].message) << "row " << i;
  }
}

TEST(BuiltinFiles, CheckDisketteReportsThroughTheErrorVariables) {
  SystemContext ctx;
  TempDir dir;
  ctx.drives.Map('A', dir.path());
  EXPECT_EQ(Evaluate(ctx, "CheckDiskette(\"A:\")").value.GetReal(), 1);
  EXPECT_EQ(ctx.Var("ErrorNumber").GetLong(), 1);
  EXPECT_EQ(ctx.Var("ErrorMessage").GetString(), "");
  EXPECT_EQ(Evaluate(ctx, "CheckDiskette(\"B:\")").value.GetReal(), 0);
  EXPECT_EQ(ctx.Var("ErrorNumber").GetLong(), 0);
  EXPECT_FALSE(ctx.Var("ErrorMessage").GetString().IsEmpty());
  EXPECT_TRUE(ctx.sink.boxes.empty());
}

TEST(BuiltinPage, ObjectSizesLayersAndFocus) {
  SystemContext ctx;
  ctx.host.objects["pic"] = {CRect(50, 10, 150, 60), CRect(0, 0, 30, 20), 0, 0};
  EXPECT_EQ(Evaluate(ctx, "SetObjectWidth(\"pic\", 40, 1)").value.GetReal(), 0);
  EXPECT_EQ(ctx.host.objects["pic"].rect, CRect(80, 10, 120, 60));
  EXPECT_EQ(ctx.host.objects["pic"].ownerRect, CRect(0, 0, 30, 20));
  Evaluate(ctx, "SetObjectHeight(\"pic\", 10)");
  EXPECT_EQ(ctx.host.objects["pic"].rect, CRect(80, 10, 120, 20));
  // The width an object reports is its owner's.
  EXPECT_EQ(Evaluate(ctx, "GetObjectWidth(\"pic\")").value.GetReal(), 30);
  EXPECT_EQ(Evaluate(ctx, "GetObjectHeight(\"pic\")").value.GetReal(), 20);
  EXPECT_EQ(Evaluate(ctx, "GetObjectWidth(\"none\")").value.GetReal(), 0);
  EXPECT_EQ(Evaluate(ctx, "SetObjectWidth(\"none\", 5)").value.GetReal(), 0);
  EXPECT_EQ(Evaluate(ctx, "GetObjectZLayer(\"pic\")").value.GetReal(), 0);
  EXPECT_EQ(Evaluate(ctx, "GetObjectZLayer(\"none\")").value.GetReal(), 0);
  Evaluate(ctx, "SetObjectZLayer(\"pic\", 3.9)");
  EXPECT_EQ(ctx.host.objects["pic"].layer, 3);

  EXPECT_EQ(Evaluate(ctx, "GetFocus()").value.GetReal(), 77);
  ctx.host.objects["edit"].window = 12;
  EXPECT_EQ(Evaluate(ctx, "GetFocus(\"edit\")").value.GetReal(), 12);
  EXPECT_EQ(Evaluate(ctx, "GetFocus(\"pic\")").value.GetReal(), 77);
  Evaluate(ctx, "SetFocus(0)");
  EXPECT_EQ(ctx.host.focused, 0);
  Evaluate(ctx, "SetFocus(12)");
  EXPECT_EQ(ctx.host.focused, 12);
  EXPECT_EQ(Evaluate(ctx, "GetMediaLength(\"clip\")").value.GetReal(), 1234);
  EXPECT_EQ(Evaluate(ctx, "GetMediaPosition(\"clip\")").value.GetReal(), 0);
  auto url = Evaluate(ctx, "GetCurrentURL(\"pic\")").value;
  EXPECT_EQ(url.GetType(), VarType::kString);
  EXPECT_EQ(url.GetString(), "pic");
}

TEST(BuiltinWindow, CursorClipboardScrollQuitAndMci) {
  SystemContext ctx;
  ExecuteScript(ctx, "ShowCursor(1.5)\nShowCursor(3)\nShowCursor(0)\nShowCursor(-2)\nShowCursor(11)");
  EXPECT_EQ(ctx.host.cursor, (std::vector<int>{IDC_ARROW, IDC_IBEAM, 0, 0, IDC_SIZENS}));
  EXPECT_EQ(Evaluate(ctx, "Copy()").value.GetString(), "");
  ExecuteScript(ctx, "Cut()\nPaste()\nSetHorizScrollPosition(12.7)\nSetVertScrollPosition(-3)");
  EXPECT_EQ(ctx.host.sent, (std::vector<UINT>{WM_COPY, WM_CUT, WM_PASTE}));
  EXPECT_EQ(ctx.host.hscroll, 12);
  EXPECT_EQ(ctx.host.vscroll, -3);
  EXPECT_EQ(Evaluate(ctx, "GetCursorX() * 100 + GetCursorY()").value.GetReal(), 709);
  EXPECT_EQ(Evaluate(ctx, "SetCursorPosition(1, 2)").value.GetReal(), 0);

  ExecuteScript(ctx, "Quit(\"x\")\nQuit(\"APPLICATION\")");
  EXPECT_EQ(ctx.host.calls, (std::vector<std::string>{"end course", "quit"}));

  // A command without a reply gives back its own text, the error code as its number.
  CBuiltinCall call(ctx, FindBuiltinFunction("MciCommand"));
  call.Arg(1).SetString("bad");
  call.argumentCount = 1;
  SystemFunctionServices services{ctx.messages, &ctx.host};
  ASSERT_TRUE(RunSystemBuiltin(call, services));
  EXPECT_EQ(call.Result().GetType(), VarType::kString);
  EXPECT_EQ(call.Result().GetString(), "bad");
  EXPECT_EQ(call.Result().GetReal(), 263);
  auto reply = Evaluate(ctx, "MciCommand(\"status cd length\", \"buffer\")").value;
  EXPECT_EQ(reply.GetString(), "42");

  // Without the window's services they report themselves unavailable.
  ctx.withHost = false;
  EXPECT_EQ(Evaluate(ctx, "GetCursorX()").value.GetReal(), 0);
  EXPECT_EQ(ctx.Var("ErrorNumber").GetLong(), 120);
}

TEST(BuiltinMachine, NamesAndTheWindowsFolders) {
  SystemContext ctx;
  ctx.withHost = false;
  EXPECT_LE(Evaluate(ctx, "GetComputerName()").value.GetString().GetLength(), 15);
  EXPECT_FALSE(Evaluate(ctx, "GetUserName()").value.GetString().IsEmpty());

  TempDir dir;
  const char* old = ::getenv("XDG_DATA_HOME");
  std::string saved = old ? old : "";
  ::setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
  auto windows = Evaluate(ctx, "GetWindowsDir()").value.GetString();
  auto system = Evaluate(ctx, "GetWindowsSystemDir()").value.GetString();
  if (old) ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
  else ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(windows, (dir.path() / "tavelon" / "windows").string() + "/");
  EXPECT_EQ(system, (dir.path() / "tavelon" / "windows" / "system").string() + "/");
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "tavelon" / "windows" / "system"));
}
