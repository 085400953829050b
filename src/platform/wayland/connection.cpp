#include "platform/wayland/connection.h"

#include <poll.h>
#include <wayland-client.h>

#include <algorithm>

namespace navelo::platform::wayland {

Connection::Connection(const std::string& socket) {
  if (socket.empty()) return;
  display_ = wl_display_connect(socket.c_str());
  if (display_ == nullptr) return;
  static const wl_registry_listener kListener{&Connection::OnGlobal, &Connection::OnGlobalRemove};
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &kListener, this);
  wl_display_roundtrip(display_);
}

Connection::~Connection() {
  if (registry_) wl_registry_destroy(registry_);
  if (display_) wl_display_disconnect(display_);
}

bool Connection::ok() const {
  return display_ != nullptr && wl_display_get_error(display_) == 0;
}

int Connection::fd() const {
  return display_ ? wl_display_get_fd(display_) : -1;
}

void Connection::OnGlobal(void* data, wl_registry*, std::uint32_t name, const char* interface,
                          std::uint32_t version) {
  static_cast<Connection*>(data)->globals_.push_back({name, interface, version});
}

void Connection::OnGlobalRemove(void* data, wl_registry*, std::uint32_t name) {
  std::erase_if(static_cast<Connection*>(data)->globals_,
                [name](const Global& g) { return g.name == name; });
}

bool Connection::Offers(std::string_view interface) const {
  return std::any_of(globals_.begin(), globals_.end(),
                     [&](const Global& g) { return g.interface == interface; });
}

void* Connection::Bind(const wl_interface* interface, std::uint32_t version) {
  for (const Global& g : globals_) {
    if (g.interface == interface->name) {
      return wl_registry_bind(registry_, g.name, interface, std::min(version, g.version));
    }
  }
  return nullptr;
}

void Connection::Dispatch() {
  if (!ok()) return;
  while (wl_display_prepare_read(display_) != 0) wl_display_dispatch_pending(display_);
  wl_display_flush(display_);
  pollfd ready{fd(), POLLIN, 0};
  if (::poll(&ready, 1, 0) > 0) {
    wl_display_read_events(display_);
  } else {
    wl_display_cancel_read(display_);
  }
  wl_display_dispatch_pending(display_);
}

bool Connection::Waiting() {
  if (!ok()) return false;
  if (wl_display_prepare_read(display_) != 0) return true;
  wl_display_cancel_read(display_);
  return false;
}

void Connection::Roundtrip() {
  if (ok()) wl_display_roundtrip(display_);
}

void Connection::Flush() {
  if (ok()) wl_display_flush(display_);
}

}  // namespace navelo::platform::wayland
