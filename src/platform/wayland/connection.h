#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_interface;

namespace navelo::platform::wayland {

// A private connection to the Wayland compositor, with the globals it offers. Everything here
// returns at once: reading what the compositor sent never waits for more.
class Connection {
 public:
  // `socket`: the WAYLAND_DISPLAY value.
  explicit Connection(const std::string& socket);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool ok() const;
  wl_display* display() const { return display_; }
  int fd() const;

  // Binds a global the compositor offers, at most at `version`; null when it offers none.
  void* Bind(const wl_interface* interface, std::uint32_t version);
  bool Offers(std::string_view interface) const;

  // Sends what is queued, reads whatever has arrived and handles it, without waiting.
  void Dispatch();
  // Whether events have been read in but not handled yet (so the descriptor will not say so).
  bool Waiting();
  // Sends what is queued and waits until the compositor has answered everything sent before.
  void Roundtrip();
  void Flush();

 private:
  struct Global {
    std::uint32_t name;
    std::string interface;
    std::uint32_t version;
  };
  static void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version);
  static void OnGlobalRemove(void* data, wl_registry* registry, std::uint32_t name);

  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  std::vector<Global> globals_;
};

}  // namespace navelo::platform::wayland
