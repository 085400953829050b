#include "platform/wlroots/wlroots_desktop.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <chrono>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "platform/wayland/connection.h"
#include "platform/wayland/keymap.h"
#include "platform/wayland/wayland_desktop.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace navelo::platform::wlroots {
namespace {

using wayland::Connection;

// One window as the compositor reports it. Its handle for Navelo is a number of its own, never
// used again, so a closed window's handle never names another.
struct Toplevel : wayland::ReportedWindow {
  zwlr_foreign_toplevel_handle_v1* handle = nullptr;
  std::string appId;
  // What the compositor is telling, applied at its "done".
  std::u16string nextTitle;
  std::string nextAppId;
  bool nextActivated = false;
};

std::uint32_t Milliseconds() {
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

}  // namespace

class WlrootsDesktop final : public wayland::WaylandDesktop {
 public:
  WlrootsDesktop(std::unique_ptr<Connection> connection, void* toolkitDisplay)
      : WaylandDesktop(std::move(connection), toolkitDisplay) {
    seat_ = static_cast<wl_seat*>(wayland_->Bind(&wl_seat_interface, 1));
    manager_ = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        wayland_->Bind(&zwlr_foreign_toplevel_manager_v1_interface, 3));
    auto* keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
        wayland_->Bind(&zwp_virtual_keyboard_manager_v1_interface, 1));
    static const zwlr_foreign_toplevel_manager_v1_listener kManager{&OnToplevel, &OnFinished};
    zwlr_foreign_toplevel_manager_v1_add_listener(manager_, &kManager, this);
    keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboards, seat_);
    zwp_virtual_keyboard_manager_v1_destroy(keyboards);
    // Every window there is now, with its state.
    wayland_->Roundtrip();
    wayland_->Roundtrip();
  }

  ~WlrootsDesktop() override {
    for (auto& [handle, toplevel] : toplevels_) zwlr_foreign_toplevel_handle_v1_destroy(handle);
    if (keyboard_) zwp_virtual_keyboard_v1_destroy(keyboard_);
    if (manager_) zwlr_foreign_toplevel_manager_v1_destroy(manager_);
    if (seat_) wl_seat_destroy(seat_);
    wayland_->Flush();
  }

  // Desktop
  std::string name() const override { return "wlroots"; }
  DesktopCapabilities capabilities() const override {
    DesktopCapabilities caps;
    // Navelo's own windows are X11 windows there: the compositor neither keeps them above others
    // nor opens them where they ask.
    caps.keepsAbove = false;
    caps.placesWindows = false;
    return caps;
  }
  bool BringForward(long) override {
    // The compositor names no process: the most recent window of Navelo's is brought forward.
    wayland_->Dispatch();
    const Toplevel* newest = nullptr;
    for (const auto& [handle, t] : toplevels_) {
      if (IsNavelo(t->appId) && (!newest || t->id > newest->id)) newest = t.get();
    }
    if (newest == nullptr) return false;
    zwlr_foreign_toplevel_handle_v1_activate(newest->handle, seat_);
    wayland_->Roundtrip();
    return true;
  }

  bool Activate(WindowHandle window) override {
    wayland_->Dispatch();
    const auto* t = static_cast<const Toplevel*>(Find(window));
    if (t == nullptr) return false;
    zwlr_foreign_toplevel_handle_v1_activate(t->handle, seat_);
    wayland_->Flush();
    return true;
  }
  Typing PrepareTyping(std::u16string_view text) override {
    Typing result;
    presses_.clear();
    if (!wayland_->ok() || keyboard_ == nullptr) {
      result.result = Typing::Result::kUnavailable;
      return result;
    }
    const std::u32string characters = ToCodePoints(text);
    const std::set<char32_t> wanted(characters.begin(), characters.end());
    // A new keymap only when the characters differ from those of the last one.
    if (!keymap_ || wanted != keymapCharacters_) {
      auto keymap = wayland::MakeVirtualKeymap(wanted);
      if (!keymap || !Upload(keymap->text)) {
        result.result = Typing::Result::kLayoutCannotType;
        return result;
      }
      keymap_ = std::move(keymap);
      keymapCharacters_ = wanted;
    }
    for (char32_t c : characters) presses_.push_back(keymap_->keys.at(c));
    return result;
  }
  bool TypePrepared(const std::function<bool()>& mayType) override {
    // A virtual keyboard has modifiers of its own: none may be left set (a Lock capitalises).
    zwp_virtual_keyboard_v1_modifiers(keyboard_, 0, 0, 0, 0);
    bool all = true;
    for (std::uint32_t key : presses_) {
      if (!mayType()) {
        all = false;
        break;
      }
      zwp_virtual_keyboard_v1_key(keyboard_, Milliseconds(), key, WL_KEYBOARD_KEY_STATE_PRESSED);
      zwp_virtual_keyboard_v1_key(keyboard_, Milliseconds(), key, WL_KEYBOARD_KEY_STATE_RELEASED);
    }
    wayland_->Flush();
    presses_.clear();
    return all;
  }

 private:
  static bool IsNavelo(const std::string& appId) { return appId == "navelo" || appId == "Navelo"; }

  std::vector<const wayland::ReportedWindow*> Reported() const override {
    std::vector<const wayland::ReportedWindow*> all;
    for (const auto& [handle, t] : toplevels_) all.push_back(t.get());
    return all;
  }

  bool Upload(const std::string& text) {
    const int fd = ::memfd_create("navelo-keymap", MFD_CLOEXEC);
    if (fd < 0) return false;
    const std::size_t size = text.size() + 1;  // with its terminating NUL
    bool written = ::write(fd, text.c_str(), size) == static_cast<ssize_t>(size);
    if (written) {
      zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                     static_cast<std::uint32_t>(size));
    }
    ::close(fd);
    return written;
  }

  static Toplevel& Of(void* data, zwlr_foreign_toplevel_handle_v1* handle) {
    return *static_cast<WlrootsDesktop*>(data)->toplevels_.at(handle);
  }
  static void OnToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                         zwlr_foreign_toplevel_handle_v1* handle) {
    auto* self = static_cast<WlrootsDesktop*>(data);
    auto toplevel = std::make_unique<Toplevel>();
    toplevel->handle = handle;
    toplevel->id = ++self->lastId_;
    self->toplevels_[handle] = std::move(toplevel);
    static const zwlr_foreign_toplevel_handle_v1_listener kHandle{
        &OnTitle, &OnAppId, &OnOutput, &OnOutput, &OnState, &OnDone, &OnClosed, &OnParent};
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kHandle, self);
  }
  static void OnFinished(void*, zwlr_foreign_toplevel_manager_v1*) {}
  static void OnTitle(void* data, zwlr_foreign_toplevel_handle_v1* h, const char* title) {
    Of(data, h).nextTitle = FromUtf8(title);
  }
  static void OnAppId(void* data, zwlr_foreign_toplevel_handle_v1* h, const char* appId) {
    Of(data, h).nextAppId = appId;
  }
  static void OnOutput(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
  static void OnState(void* data, zwlr_foreign_toplevel_handle_v1* h, wl_array* states) {
    bool activated = false;
    const auto* values = static_cast<const std::uint32_t*>(states->data);
    for (std::size_t i = 0; i < states->size / sizeof(std::uint32_t); ++i) {
      activated = activated || values[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
    }
    Of(data, h).nextActivated = activated;
  }
  static void OnDone(void* data, zwlr_foreign_toplevel_handle_v1* h) {
    Toplevel& t = Of(data, h);
    t.title = t.nextTitle;
    t.appId = t.nextAppId;
    t.active = t.nextActivated;
  }
  static void OnClosed(void* data, zwlr_foreign_toplevel_handle_v1* h) {
    auto* self = static_cast<WlrootsDesktop*>(data);
    self->toplevels_.erase(h);
    zwlr_foreign_toplevel_handle_v1_destroy(h);
  }
  static void OnParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

  wl_seat* seat_ = nullptr;
  zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
  zwp_virtual_keyboard_v1* keyboard_ = nullptr;
  std::map<zwlr_foreign_toplevel_handle_v1*, std::unique_ptr<Toplevel>> toplevels_;
  WindowHandle lastId_ = 0;
  std::optional<wayland::VirtualKeymap> keymap_;
  std::set<char32_t> keymapCharacters_;
  std::vector<std::uint32_t> presses_;
};

std::vector<WindowInfo> Windows(Desktop& desktop) {
  auto* wayland = dynamic_cast<wayland::WaylandDesktop*>(&desktop);
  return wayland ? wayland->Windows() : std::vector<WindowInfo>{};
}

std::unique_ptr<Desktop> MakeDesktop(const DesktopSession& session) {
  auto connection = std::make_unique<Connection>(session.waylandDisplay);
  if (!connection->ok() || !connection->Offers("zwlr_foreign_toplevel_manager_v1") ||
      !connection->Offers("zwp_virtual_keyboard_manager_v1") || !connection->Offers("wl_seat")) {
    return nullptr;
  }
  return std::make_unique<WlrootsDesktop>(std::move(connection), session.toolkitConnection);
}

}  // namespace navelo::platform::wlroots
