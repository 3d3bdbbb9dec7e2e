// The run action and the windows of the programs it starts or finds running,
// on a virtual X display with openbox as window manager: maximised,
// minimised or hidden as the flags ask, and a running copy maximised and
// brought to the top.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "behaviour/process_watch_list.h"
#include "behaviour/run_action.h"
#include "model/course_doc.h"
#include "platform/sys/process.h"
#include "tests/behaviour/display_test_support.h"
#include "tests/support/fake_course_host.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;
namespace fs = std::filesystem;

namespace {

// Generous: a loaded machine starts a windowed program slowly.
constexpr auto kPatience = std::chrono::seconds(90);

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};

// What the test sees of the display, over a connection of its own.
class Display {
 public:
  Display() : m_c(xcb_connect(nullptr, nullptr)) {
    if (!xcb_connection_has_error(m_c)) m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
  }
  ~Display() { xcb_disconnect(m_c); }
  bool Usable() const { return !xcb_connection_has_error(m_c); }

  xcb_atom_t Atom(const char* name) {
    auto cookie = xcb_intern_atom(m_c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(xcb_intern_atom_reply(m_c, cookie, nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  }
  std::vector<uint32_t> Property(xcb_window_t window, const char* name) {
    auto cookie = xcb_get_property(m_c, 0, window, Atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
    std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(xcb_get_property_reply(m_c, cookie, nullptr));
    std::vector<uint32_t> out;
    if (!reply || reply->format != 32) return out;
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    out.assign(values, values + xcb_get_property_value_length(reply.get()) / 4);
    return out;
  }
  bool HasState(xcb_window_t window, const char* state) {
    const xcb_atom_t atom = Atom(state);
    for (uint32_t value : Property(window, "_NET_WM_STATE"))
      if (value == atom) return true;
    return false;
  }
  bool Maximised(xcb_window_t window) {
    return HasState(window, "_NET_WM_STATE_MAXIMIZED_VERT") && HasState(window, "_NET_WM_STATE_MAXIMIZED_HORZ");
  }
  bool Iconic(xcb_window_t window) {
    auto state = Property(window, "WM_STATE");
    return !state.empty() && state[0] == 3;
  }
  bool Unmapped(xcb_window_t window) {
    auto cookie = xcb_get_window_attributes(m_c, window);
    std::unique_ptr<xcb_get_window_attributes_reply_t, FreeReply> reply(
        xcb_get_window_attributes_reply(m_c, cookie, nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_UNMAPPED;
  }
  bool ActiveAndOnTop(xcb_window_t window) {
    auto active = Property(m_root, "_NET_ACTIVE_WINDOW");
    auto stacking = Property(m_root, "_NET_CLIENT_LIST_STACKING");
    return !active.empty() && active[0] == window && !stacking.empty() && stacking.back() == window;
  }
  bool Managed(xcb_window_t window) {
    for (uint32_t client : Property(m_root, "_NET_CLIENT_LIST"))
      if (client == window) return true;
    return false;
  }

 private:
  xcb_connection_t* m_c;
  xcb_window_t m_root = XCB_WINDOW_NONE;
};

template <class Condition>
bool Eventually(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// The lines a window child has reported so far.
std::vector<std::string> Lines(const fs::path& report) {
  std::ifstream in(report);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Reported(const fs::path& report, const std::string& line) {
  for (const std::string& said : Lines(report))
    if (said == line) return true;
  return false;
}

// The number after the prefix on the report's line that starts with it; 0 when none.
unsigned long ReportedNumber(const fs::path& report, const std::string& prefix) {
  for (const std::string& said : Lines(report))
    if (said.rfind(prefix, 0) == 0) return std::stoul(said.substr(prefix.size()));
  return 0;
}

class RunHost : public FakeCourseHost {
 public:
  IProgramWatch* GetProgramWatch() override { return &watch; }
  CProcessWatchList watch{timers, [](UINT, WPARAM, LPARAM) {}};
};

class RunWindowTest : public ::testing::Test {
 protected:
  RunWindowTest() : course(host) {}
  void SetUp() override {
    if (!std::getenv("DISPLAY") || !display.Usable()) GTEST_SKIP() << "no X display (run under with_window_manager.sh)";
  }
  void TearDown() override {
    for (int pid : children) {
      ::kill(pid, SIGTERM);
      tvn::sys::WaitForProcess(pid);
    }
    // The watch list reaps what it was given.
    host.watch.RemoveAll();
  }

  // Runs the action on a fresh task; the task (and its action) lives on with the test.
  void Run(const std::string& program, const std::string& parameters, std::uint32_t flags) {
    tasks.push_back(TaskWithActions(course, {[&](CourseBuilder& b) { b.RunAction(IconFields{}, program, parameters, flags); }}));
    ASSERT_TRUE(tasks.back());
    EXPECT_TRUE(ActionOf<CRunAction>(*tasks.back())->Execute());
  }

  // A window child started by the action: its window once it has appeared; 0 if it never does.
  xcb_window_t StartedWindow(const fs::path& report, std::uint32_t flags) {
    Run(TVN_WINDOW_CHILD, report.string(), flags);
    EXPECT_TRUE(Eventually([&] { return ReportedNumber(report, "window ") != 0 && Reported(report, "painted"); }))
        << "the child showed no window";
    if (int pid = static_cast<int>(ReportedNumber(report, "pid "))) children.push_back(pid);
    return static_cast<xcb_window_t>(ReportedNumber(report, "window "));
  }

  TempDir dir;
  RunHost host;
  CCourseDoc course;
  Display display;
  std::vector<std::unique_ptr<CTask>> tasks;
  std::vector<int> children;
};

}  // namespace

TEST_F(RunWindowTest, ANewProgramIsMaximisedMinimisedOrHiddenAsTheFlagsAsk) {
  // 0x04 hands each to the watch list, which reaps it.
  const xcb_window_t maximised = StartedWindow(dir.path() / "max.txt", 0x04 | 0x08 | 0x20 | 0x40);
  const xcb_window_t minimised = StartedWindow(dir.path() / "min.txt", 0x04 | 0x20 | 0x40);
  const xcb_window_t hidden = StartedWindow(dir.path() / "hide.txt", 0x04 | 0x40);
  const xcb_window_t plain = StartedWindow(dir.path() / "plain.txt", 0x04);
  ASSERT_TRUE(maximised && minimised && hidden && plain);

  EXPECT_TRUE(Eventually([&] { return display.Maximised(maximised); })) << "maximised wins over the other bits";
  EXPECT_TRUE(Eventually([&] { return Reported(dir.path() / "max.txt", "maximised"); })) << "the program saw it";
  EXPECT_TRUE(Eventually([&] { return display.Iconic(minimised); })) << "minimised wins over hidden";
  EXPECT_FALSE(display.Maximised(minimised));
  EXPECT_TRUE(Eventually([&] { return display.Unmapped(hidden) && !display.Managed(hidden); }));
  // Shown as it opened itself: still on screen, neither maximised nor iconic.
  EXPECT_FALSE(display.Unmapped(plain));
  EXPECT_FALSE(display.Maximised(plain) || display.Iconic(plain));
}

TEST_F(RunWindowTest, AProgramWaitedForIsMaximisedWhileTheActionWaits) {
  // The child ends once the window manager has maximised it: the wait ends only then.
  const fs::path report = dir.path() / "wait.txt";
  Run(TVN_WINDOW_CHILD, report.string() + " --end-when-maximised", 0x02 | 0x08);
  EXPECT_TRUE(Reported(report, "maximised"));
}

TEST_F(RunWindowTest, ARunningCopyIsMaximisedAndBroughtToTheTop) {
  tvn::sys::StartResult copy = tvn::sys::StartCommandLine("\"" + std::string(TVN_WINDOW_CHILD) + "\" \"" +
                                                          (dir.path() / "copy.txt").string() + "\"");
  ASSERT_NE(copy.process, 0);
  children.push_back(copy.process);
  ASSERT_TRUE(Eventually([&] { return Reported(dir.path() / "copy.txt", "painted"); }));
  const auto window = static_cast<xcb_window_t>(ReportedNumber(dir.path() / "copy.txt", "window "));
  // Another program's window opens over it and takes the focus.
  const fs::path other = dir.path() / "other_window";
  fs::copy_file(TVN_WINDOW_CHILD, other);
  tvn::sys::StartResult cover = tvn::sys::StartCommandLine("\"" + other.string() + "\" \"" +
                                                           (dir.path() / "cover.txt").string() + "\"");
  ASSERT_NE(cover.process, 0);
  children.push_back(cover.process);
  ASSERT_TRUE(Eventually([&] { return Reported(dir.path() / "cover.txt", "painted"); }));
  const auto coverWindow = static_cast<xcb_window_t>(ReportedNumber(dir.path() / "cover.txt", "window "));
  ASSERT_TRUE(Eventually([&] { return display.ActiveAndOnTop(coverWindow); }));

  // Found by its file name, as a Windows name: no second copy starts.
  Run("C:\\TOOLS\\" + fs::path(TVN_WINDOW_CHILD).filename().string() + ".EXE", "", 0x01 | 0x08 | 0x20);
  EXPECT_TRUE(Eventually([&] { return display.Maximised(window); }));
  EXPECT_TRUE(Eventually([&] { return display.ActiveAndOnTop(window); }));
  EXPECT_FALSE(display.Iconic(window));
  EXPECT_EQ(host.watch.GetCount(), 0);
}
