#include "window/display_profile.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <string>

namespace irobunkai {
namespace {

// The largest profile read: display profiles are a few kilobytes, LUT ones rarely a megabyte.
constexpr std::uint32_t kMostWords = 4u << 20;

template <class Reply>
using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t AtomNamed(xcb_connection_t* connection, const std::string& name) {
  const Owned<xcb_intern_atom_reply_t> reply(
      xcb_intern_atom_reply(
          connection,
          xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(name.size()), name.c_str()),
          nullptr),
      &std::free);
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The X screen the program was started on, as DISPLAY names it (":0.1" is screen 1).
int ScreenNumber() {
  char* host = nullptr;
  int display = 0;
  int screen = 0;
  if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) {
    return 0;
  }
  std::free(host);
  return screen;
}

xcb_window_t RootOf(xcb_connection_t* connection, int screen) {
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screen && it.rem > 0; ++i) {
    xcb_screen_next(&it);
  }
  return it.rem > 0 ? it.data->root : xcb_window_t{XCB_WINDOW_NONE};
}

}  // namespace

std::vector<std::uint8_t> ReadDisplayIcc() {
  const auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* const connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr) {
    return {};
  }
  // Screen 0's profile is _ICC_PROFILE, screen n's _ICC_PROFILE_n.
  const int screen = ScreenNumber();
  const xcb_atom_t atom = AtomNamed(
      connection, screen == 0 ? "_ICC_PROFILE" : "_ICC_PROFILE_" + std::to_string(screen));
  const xcb_window_t root = RootOf(connection, screen);
  if (atom == XCB_ATOM_NONE || root == XCB_WINDOW_NONE) {
    return {};
  }
  const Owned<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(
          connection,
          xcb_get_property(connection, 0, root, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, kMostWords),
          nullptr),
      &std::free);
  if (!reply || reply->format != 8) {
    return {};
  }
  const auto* bytes = static_cast<const std::uint8_t*>(xcb_get_property_value(reply.get()));
  return {bytes, bytes + xcb_get_property_value_length(reply.get())};
}

}  // namespace irobunkai
