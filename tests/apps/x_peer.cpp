// The window manager's part in the process tests: it pings a window as
// window managers do to see whether its program still answers, and asks a
// window to close as a window's close button does.
//   x_peer ping <window> [limit-ms]   prints how many milliseconds the answer took; exit 1 without one
//   x_peer close <window>             sends WM_DELETE_WINDOW
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(xcb_intern_atom_reply(connection, cookie, nullptr),
                                                                       &std::free);
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

void SendProtocol(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t protocol) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = Atom(connection, "WM_PROTOCOLS");
  event.data.data32[0] = protocol;
  event.data.data32[1] = XCB_CURRENT_TIME;
  event.data.data32[2] = window;
  xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
  xcb_flush(connection);
}

// Returns once the server has handled every request sent before: a request
// only flushed may still be dropped with the connection when it closes.
void WaitForServer(xcb_connection_t* connection) {
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: x_peer ping <window> [limit-ms] | close <window>\n");
    return 2;
  }
  const std::string mode = argv[1];
  const auto window = static_cast<xcb_window_t>(std::stoul(argv[2], nullptr, 0));
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) {
    std::fprintf(stderr, "x_peer: no X display\n");
    return 1;
  }
  int status = 0;
  if (mode == "close") {
    SendProtocol(connection, window, Atom(connection, "WM_DELETE_WINDOW"));
  } else if (mode == "ping") {
    const long limitMs = argc > 3 ? std::stol(argv[3]) : 5000;
    // The answer goes to the root window, as to the window manager; programs
    // send it for the root's structure or substructure notices.
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t ping = Atom(connection, "_NET_WM_PING");
    const auto sent = std::chrono::steady_clock::now();
    SendProtocol(connection, window, ping);
    status = 1;
    while (status && std::chrono::steady_clock::now() - sent < std::chrono::milliseconds(limitMs)) {
      std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_poll_for_event(connection), &std::free);
      if (!event) {
        if (xcb_connection_has_error(connection)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;
      }
      if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) continue;
      const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event.get());
      if (message->data.data32[0] == ping && message->data.data32[2] == window) status = 0;
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent);
    if (status == 0) std::printf("answered in %lld ms\n", static_cast<long long>(took.count()));
    else std::fprintf(stderr, "x_peer: no answer within %ld ms\n", limitMs);
  } else {
    status = 2;
  }
  WaitForServer(connection);
  xcb_disconnect(connection);
  return status;
}
