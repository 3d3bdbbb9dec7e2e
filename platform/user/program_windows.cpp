// Raising another program's window by EWMH on Qt's X connection.
#include "platform/user/program_windows.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace tvn::sys {
namespace {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
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

void SendToRoot(xcb_connection_t* c, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                std::initializer_list<uint32_t> data) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = type;
  int i = 0;
  for (uint32_t v : data) event.data.data32[i++] = v;
  xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
}

}  // namespace

bool RaiseProgramWindow(int pid, int show) {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c || pid <= 0) return false;
  const xcb_setup_t* setup = xcb_get_setup(c);
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
  if (!screens.rem) return false;
  const xcb_window_t root = screens.data->root;

  const xcb_atom_t clientList = Atom(c, "_NET_CLIENT_LIST");
  const xcb_atom_t wmPid = Atom(c, "_NET_WM_PID");
  xcb_window_t found = XCB_WINDOW_NONE;
  for (uint32_t window : Property(c, root, clientList, XCB_ATOM_WINDOW, 4096)) {
    auto owner = Property(c, window, wmPid, XCB_ATOM_CARDINAL, 1);
    if (!owner.empty() && owner[0] == static_cast<uint32_t>(pid)) {
      found = window;
      break;
    }
  }
  if (found == XCB_WINDOW_NONE) return false;

  if (show == kShowHidden) {
    xcb_unmap_window(c, found);
  } else if (show == kShowMinimised) {
    constexpr uint32_t kIconicState = 3;
    SendToRoot(c, root, found, Atom(c, "WM_CHANGE_STATE"), {kIconicState});
  } else {
    if (show == kShowMaximised) {
      constexpr uint32_t kAdd = 1;
      SendToRoot(c, root, found, Atom(c, "_NET_WM_STATE"),
                 {kAdd, Atom(c, "_NET_WM_STATE_MAXIMIZED_VERT"), Atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ"), 1});
    }
    // Source 1: a request from an application.
    SendToRoot(c, root, found, Atom(c, "_NET_ACTIVE_WINDOW"), {1, XCB_CURRENT_TIME, 0});
  }
  xcb_flush(c);
  return true;
}

}  // namespace tvn::sys
