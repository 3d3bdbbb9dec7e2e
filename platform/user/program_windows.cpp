// Showing another program's window by EWMH requests to the window manager, over an X connection of our own.
#include "platform/user/program_windows.h"

#include <unistd.h>
#include <xcb/xcb.h>

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tvn::sys {
namespace {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};

// A connection to the display of $DISPLAY and its default screen's root.
class XConnection {
 public:
  XConnection() {
    int screen = 0;
    {
      // xcb_connect looks the display's key up through libXau, which names the
      // authority file in a static buffer of its own: two windows waited for at
      // once would connect, and write that buffer, together.
      static std::mutex connecting;
      std::lock_guard lock(connecting);
      m_c = xcb_connect(nullptr, &screen);
    }
    if (xcb_connection_has_error(m_c)) return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_c));
    for (int i = 0; it.rem && i < screen; ++i) xcb_screen_next(&it);
    if (it.rem) m_root = it.data->root;
  }
  // A round trip first: the server may drop requests it has not yet read
  // from a connection that is closed.
  ~XConnection() {
    if (!xcb_connection_has_error(m_c)) std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
    xcb_disconnect(m_c);
  }
  XConnection(const XConnection&) = delete;
  XConnection& operator=(const XConnection&) = delete;

  bool Usable() const { return !xcb_connection_has_error(m_c) && m_root != XCB_WINDOW_NONE; }
  xcb_connection_t* get() const { return m_c; }
  xcb_window_t Root() const { return m_root; }

 private:
  xcb_connection_t* m_c = nullptr;
  xcb_window_t m_root = XCB_WINDOW_NONE;
};

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(xcb_intern_atom_reply(c, cookie, nullptr));
  return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The 32-bit values of a window property, at most max of them.
std::vector<uint32_t> Property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                               uint32_t max) {
  auto cookie = xcb_get_property(c, 0, window, property, type, 0, max);
  std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(xcb_get_property_reply(c, cookie, nullptr));
  std::vector<uint32_t> out;
  if (!reply || reply->format != 32) return out;
  const int count = xcb_get_property_value_length(reply.get()) / 4;
  const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  out.assign(values, values + count);
  return out;
}

// WM_CLIENT_MACHINE of the window; nothing said: empty.
std::string ClientMachine(xcb_connection_t* c, xcb_window_t window) {
  auto cookie = xcb_get_property(c, 0, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 0, 64);
  std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(xcb_get_property_reply(c, cookie, nullptr));
  if (!reply || reply->format != 8) return {};
  const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
  std::string machine(text, static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
  return machine.substr(0, machine.find('\0'));
}

std::string HostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

// The first of the window manager's clients that the process owns: its
// _NET_WM_PID is the pid and, when it names its machine, the machine is this one.
xcb_window_t ClientWindowOf(const XConnection& x, int pid) {
  xcb_connection_t* c = x.get();
  const xcb_atom_t wmPid = Atom(c, "_NET_WM_PID");
  const std::string host = HostName();
  for (uint32_t window : Property(c, x.Root(), Atom(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 4096)) {
    auto owner = Property(c, window, wmPid, XCB_ATOM_CARDINAL, 1);
    if (owner.empty() || owner[0] != static_cast<uint32_t>(pid)) continue;
    const std::string machine = ClientMachine(c, window);
    if (!machine.empty() && !host.empty() && machine != host) continue;
    return window;
  }
  return XCB_WINDOW_NONE;
}

void SendToRoot(const XConnection& x, xcb_window_t window, xcb_atom_t type, std::initializer_list<uint32_t> data) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = type;
  int i = 0;
  for (uint32_t v : data) event.data.data32[i++] = v;
  xcb_send_event(x.get(), 0, x.Root(), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
}

void ShowWindow(const XConnection& x, xcb_window_t window, int show) {
  xcb_connection_t* c = x.get();
  // Source 2: on the user's behalf, as a task bar asks.
  constexpr uint32_t kRemove = 0, kAdd = 1, kSource = 2;
  if (show == kShowHidden) {
    // Withdrawn: the window unmapped, and the window manager told so (ICCCM).
    xcb_unmap_window(c, window);
    xcb_unmap_notify_event_t event{};
    event.response_type = XCB_UNMAP_NOTIFY;
    event.event = x.Root();
    event.window = window;
    xcb_send_event(c, 0, x.Root(), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
  } else if (show == kShowMinimised) {
    constexpr uint32_t kIconicState = 3;
    SendToRoot(x, window, Atom(c, "WM_CHANGE_STATE"), {kIconicState});
  } else {
    SendToRoot(x, window, Atom(c, "_NET_ACTIVE_WINDOW"), {kSource, XCB_CURRENT_TIME, 0});
    SendToRoot(x, window, Atom(c, "_NET_WM_STATE"),
               {show == kShowMaximised ? kAdd : kRemove, Atom(c, "_NET_WM_STATE_MAXIMIZED_VERT"),
                Atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ"), kSource});
  }
  xcb_flush(c);
}

// Whether the window manager shows the window as asked: maximised both
// ways, iconic, or no longer managed by it. A plain show asks nothing to wait for.
bool HasTakenEffect(const XConnection& x, xcb_window_t window, int pid, int show) {
  xcb_connection_t* c = x.get();
  if (show == kShowHidden) return ClientWindowOf(x, pid) != window;
  if (show == kShowMinimised) {
    const xcb_atom_t wmState = Atom(c, "WM_STATE");
    auto state = Property(c, window, wmState, wmState, 1);
    constexpr uint32_t kIconicState = 3;
    return !state.empty() && state[0] == kIconicState;
  }
  if (show == kShowMaximised) {
    const xcb_atom_t vertical = Atom(c, "_NET_WM_STATE_MAXIMIZED_VERT");
    const xcb_atom_t horizontal = Atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ");
    bool both[2] = {false, false};
    for (uint32_t atom : Property(c, window, Atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 64)) {
      both[0] = both[0] || atom == vertical;
      both[1] = both[1] || atom == horizontal;
    }
    return both[0] && both[1];
  }
  return true;
}

}  // namespace

bool RaiseProgramWindow(int pid, int show) {
  if (pid <= 0) return false;
  XConnection x;
  if (!x.Usable()) return false;
  const xcb_window_t window = ClientWindowOf(x, pid);
  if (window == XCB_WINDOW_NONE) return false;
  ShowWindow(x, window, show);
  return true;
}

ProgramWindowShow::ProgramWindowShow(int pid, int show, std::chrono::milliseconds limit)
    : m_thread([this, pid, show, limit](std::stop_token stop) { Run(stop, pid, show, limit); }) {}

void ProgramWindowShow::Run(std::stop_token stop, int pid, int show, std::chrono::milliseconds limit) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + limit;
  XConnection x;
  std::mutex mutex;
  std::condition_variable_any wake;
  // A window manager still busy with a window it has only just taken on may
  // pass over a request: one not seen to take effect within a while is made
  // again, until the limit. Once seen, the window is the user's.
  constexpr auto kRetryAfter = std::chrono::milliseconds(1000);
  xcb_window_t window = XCB_WINDOW_NONE;
  auto askedAt = Clock::now();
  while (pid > 0 && x.Usable() && !stop.stop_requested()) {
    if (window == XCB_WINDOW_NONE) {
      window = ClientWindowOf(x, pid);
      if (window != XCB_WINDOW_NONE) {
        ShowWindow(x, window, show);
        askedAt = Clock::now();
        m_shown = true;
      }
    }
    if (window != XCB_WINDOW_NONE) {
      if (HasTakenEffect(x, window, pid, show)) break;
      if (Clock::now() - askedAt >= kRetryAfter) {
        ShowWindow(x, window, show);
        askedAt = Clock::now();
      }
    }
    if (Clock::now() >= deadline) break;
    std::unique_lock lock(mutex);
    wake.wait_for(lock, stop, std::chrono::milliseconds(50), [] { return false; });
  }
  m_finished = true;
}

}  // namespace tvn::sys
