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

// The first screen's root: one X screen spans a desktop's monitors nowadays, so the profile
// of screen n (_ICC_PROFILE_n) is not looked for.
xcb_window_t FirstRoot(xcb_connection_t* connection) {
  const xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
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
  const xcb_atom_t atom = AtomNamed(connection, "_ICC_PROFILE");
  const xcb_window_t root = FirstRoot(connection);
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
