// Windows on a managed screen (openbox on a virtual X server): a window's
// rectangle is its frame's, so a window placed at the screen's corner shows
// its title bar, and the editor's dialogs open over the window they belong to.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>

#include "controls/paragraph_dlg.h"
#include "controls/rtf_editor_dialogs.h"
#include "tests/platform/user/window_test_support.h"

namespace {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};

// The program's windows go to the X server, not to Qt's off-screen stand-in.
struct OnTheXServer {
  OnTheXServer() { ::setenv("QT_QPA_PLATFORM", "xcb", 1); }
};

class WindowPlacementTest : private OnTheXServer, public WindowTest {
 protected:
  WindowPlacementTest() : m_c(xcb_connect(nullptr, nullptr)) {}
  ~WindowPlacementTest() override {
    // Every request was one with an answer: the server has handled them all.
    xcb_disconnect(m_c);
  }
  void SetUp() override {
    if (!std::getenv("DISPLAY") || xcb_connection_has_error(m_c))
      GTEST_SKIP() << "no X display (run under with_window_manager.sh)";
  }

  // The window manager's frame around the window, as the server has it;
  // nothing until the window manager has framed it.
  std::optional<CRect> FrameOnScreen(const CWnd& wnd) {
    xcb_window_t window = static_cast<xcb_window_t>(wnd.GetWidget()->window()->winId());
    for (int depth = 0; depth < 16; ++depth) {
      std::unique_ptr<xcb_query_tree_reply_t, FreeReply> tree(
          xcb_query_tree_reply(m_c, xcb_query_tree(m_c, window), nullptr));
      if (!tree) return std::nullopt;
      if (tree->parent == tree->root) break;
      window = tree->parent;
    }
    if (window == static_cast<xcb_window_t>(wnd.GetWidget()->window()->winId())) return std::nullopt;
    std::unique_ptr<xcb_get_geometry_reply_t, FreeReply> at(
        xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, window), nullptr));
    if (!at) return std::nullopt;
    const int border = 2 * at->border_width;
    return CRect(at->x, at->y, at->x + at->width + border, at->y + at->height + border);
  }

  // Lets Qt take the server's events until the condition holds; false when
  // it never does. Generous: a loaded machine is slow.
  template <class Condition>
  bool Eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }
  // The window manager has framed the window and Qt has heard of it.
  bool Framed(const CWnd& wnd) {
    return Eventually([&] {
      const auto frame = FrameOnScreen(wnd);
      const QRect qt = wnd.GetWidget()->window()->frameGeometry();
      return frame && *frame == CRect(qt.x(), qt.y(), qt.x() + qt.width(), qt.y() + qt.height());
    });
  }
  static CRect WindowRect(const CWnd& wnd) {
    CRect rect;
    wnd.GetWindowRect(&rect);
    return rect;
  }

  static CRect Client(CWnd& wnd) {
    CRect client;
    wnd.GetClientRect(&client);
    wnd.ClientToScreen(&client);
    return client;
  }

  // Where the server has the window's inside (its client area without a menu bar).
  CPoint InsideOnScreen(const CWnd& wnd) {
    const auto window = static_cast<xcb_window_t>(wnd.GetWidget()->window()->winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    std::unique_ptr<xcb_translate_coordinates_reply_t, FreeReply> at(
        xcb_translate_coordinates_reply(m_c, xcb_translate_coordinates(m_c, window, root, 0, 0), nullptr));
    return at ? CPoint(at->dst_x, at->dst_y) : CPoint(-1, -1);
  }

  xcb_connection_t* m_c;
};

bool Inside(const CRect& inner, const CRect& outer) {
  CRect both;
  return both.IntersectRect(inner, outer) && both == inner;
}

}  // namespace

TEST_F(WindowPlacementTest, AWindowAtTheCornerShowsItsFrameAndTheEditorsDialogsOpenOverTheirOwner) {
  auto owner = MakeWindow(CRect(0, 0, 700, 500));
  ASSERT_TRUE(Framed(*owner)) << "openbox never framed the window";
  const CRect frame = *FrameOnScreen(*owner);
  EXPECT_EQ(frame.TopLeft(), CPoint(0, 0)) << "the frame, title bar and all, at the corner asked for";
  EXPECT_GT(Client(*owner).top, frame.top) << "the title bar is above the client area";
  EXPECT_EQ(WindowRect(*owner), frame);
  EXPECT_EQ(Client(*owner).TopLeft(), InsideOnScreen(*owner)) << "input and drawing land where the server shows them";

  // Moved as a program moves its window: the frame goes where it is asked and keeps its inside.
  const CRect moved(120, 90, 120 + frame.Width(), 90 + frame.Height());
  owner->MoveWindow(moved);
  EXPECT_TRUE(Eventually([&] { return FrameOnScreen(*owner) == moved && WindowRect(*owner) == moved; }));
  EXPECT_EQ(Client(*owner).Size(), CSize(700, 500));

  PARAFORMAT format{};
  CParagraphDlg paragraph(format, TRUE, owner.get());
  CFindReplaceDlg find(FindRequest{}, owner.get());
  for (CDialog* dialog : {static_cast<CDialog*>(&paragraph), static_cast<CDialog*>(&find)}) {
    SCOPED_TRACE(dialog->Template().caption.GetString());
    ASSERT_TRUE(dialog->Create(owner.get()));
    ASSERT_TRUE(Framed(*dialog));
    const CRect shown = *FrameOnScreen(*dialog);
    EXPECT_TRUE(Inside(shown, moved)) << "the dialog lies over its owner";
    EXPECT_EQ(WindowRect(*dialog), shown);
    dialog->DestroyWindow();
  }
}
