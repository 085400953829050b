#include "platform/kde/kde_desktop.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "fake-input-client-protocol.h"
#include "plasma-window-management-client-protocol.h"
#include "platform/wayland/connection.h"
#include "platform/wayland/keymap.h"
#include "platform/wayland/wayland_desktop.h"

namespace navelo::platform::kde {
namespace {

using wayland::Connection;

constexpr std::uint32_t kActive = ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE;
constexpr std::uint32_t kSkipTaskbar = ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_SKIPTASKBAR;

// One window as KWin reports it; its handle for Navelo is KWin's own id, which it never reuses.
struct Window : wayland::ReportedWindow {
  org_kde_plasma_window* proxy = nullptr;
  long pid = 0;
  bool unmapped = false;
  bool skipTaskbar = false;  // KWin also lists windows no one sees (a browser's hidden helper)
  void Update() { shown = !unmapped && !skipTaskbar; }
};

class KdeDesktop final : public wayland::WaylandDesktop {
 public:
  KdeDesktop(std::unique_ptr<Connection> connection, void* toolkitDisplay)
      : WaylandDesktop(std::move(connection), toolkitDisplay) {
    manager_ = static_cast<org_kde_plasma_window_management*>(
        wayland_->Bind(&org_kde_plasma_window_management_interface, 12));
    input_ = static_cast<org_kde_kwin_fake_input*>(
        wayland_->Bind(&org_kde_kwin_fake_input_interface, 4));
    seat_ = static_cast<wl_seat*>(wayland_->Bind(&wl_seat_interface, 1));
    static const org_kde_plasma_window_management_listener kManager{
        &OnShowDesktop, &OnWindow, &OnStacking, &OnStackingUuid, &OnWindowUuid};
    org_kde_plasma_window_management_add_listener(manager_, &kManager, this);
    static const wl_seat_listener kSeat{&OnCapabilities, &OnSeatName};
    wl_seat_add_listener(seat_, &kSeat, this);
    // Typing needs the user's consent where KWin asks for it; the grant of the installed launcher
    // answers for them.
    org_kde_kwin_fake_input_authenticate(input_, "Navelo",
                                         "IPAT の画面に ID とパスワードを入力します");
    // Every window there is now, its state, and the keyboard's layout.
    for (int i = 0; i < 3; ++i) wayland_->Roundtrip();
  }

  ~KdeDesktop() override {
    for (auto& [proxy, w] : windows_) org_kde_plasma_window_destroy(proxy);
    if (keyboard_) wl_keyboard_destroy(keyboard_);
    if (seat_) wl_seat_destroy(seat_);
    if (input_) org_kde_kwin_fake_input_destroy(input_);
    if (manager_) org_kde_plasma_window_management_destroy(manager_);
    wayland_->Flush();
  }

  // Desktop
  std::string name() const override { return "kde"; }
  DesktopCapabilities capabilities() const override {
    DesktopCapabilities caps;
    caps.typesAnyCharacter = false;  // only what the user's layout types
    return caps;
  }
  bool BringForward(long processId) override {
    wayland_->Dispatch();
    const Window* newest = nullptr;
    for (const auto& [proxy, w] : windows_) {
      if (w->shown && w->pid == processId && (!newest || w->id > newest->id)) newest = w.get();
    }
    if (newest == nullptr) return false;
    org_kde_plasma_window_set_state(newest->proxy, kActive, kActive);
    wayland_->Roundtrip();
    return true;
  }

  bool Activate(WindowHandle window) override {
    wayland_->Dispatch();
    const auto* w = static_cast<const Window*>(Find(window));
    if (w == nullptr) return false;
    org_kde_plasma_window_set_state(w->proxy, kActive, kActive);
    wayland_->Flush();
    return true;
  }
  Typing PrepareTyping(std::u16string_view text) override {
    Typing result;
    presses_.clear();
    wayland_->Dispatch();
    if (!wayland_->ok() || input_ == nullptr || keymap_.empty()) {
      result.result = Typing::Result::kUnavailable;
      return result;
    }
    // Through the user's layout: a text with a character it lacks is refused whole.
    const wayland::LayoutKeys layout(keymap_, group_);
    for (char32_t c : ToCodePoints(text)) {
      const auto key = layout.For(c);
      if (!key) {
        presses_.clear();
        result.result = Typing::Result::kLayoutCannotType;
        result.missing = c;
        return result;
      }
      presses_.push_back(*key);
    }
    return result;
  }
  bool TypePrepared(const std::function<bool()>& mayType) override {
    bool all = true;
    for (const wayland::LayoutKeys::Key& key : presses_) {
      if (!mayType()) {
        all = false;
        break;
      }
      if (key.shift) Key(wayland::kEvdevLeftShift, true);
      Key(key.code, true);
      Key(key.code, false);
      if (key.shift) Key(wayland::kEvdevLeftShift, false);
    }
    wayland_->Flush();
    presses_.clear();
    return all;
  }

 private:
  void Key(std::uint32_t code, bool pressed) {
    org_kde_kwin_fake_input_keyboard_key(input_, code, pressed ? 1 : 0);
  }

  std::vector<const wayland::ReportedWindow*> Reported() const override {
    std::vector<const wayland::ReportedWindow*> all;
    for (const auto& [proxy, w] : windows_) all.push_back(w.get());
    return all;
  }

  static Window& Of(void* data, org_kde_plasma_window* proxy) {
    return *static_cast<KdeDesktop*>(data)->windows_.at(proxy);
  }

  static void OnShowDesktop(void*, org_kde_plasma_window_management*, std::uint32_t) {}
  static void OnWindow(void* data, org_kde_plasma_window_management* manager, std::uint32_t id) {
    auto* self = static_cast<KdeDesktop*>(data);
    org_kde_plasma_window* proxy = org_kde_plasma_window_management_get_window(manager, id);
    auto window = std::make_unique<Window>();
    window->proxy = proxy;
    window->id = id;
    self->windows_[proxy] = std::move(window);
    static const org_kde_plasma_window_listener kWindow{
        &OnTitle,   &OnAppId,  &OnState,    &OnDesktop, &OnIconName, &OnUnmapped,
        &OnNothing, &OnParent, &OnGeometry, &OnNothing, &OnPid,      &OnText,
        &OnText,    &OnMenu,   &OnText,     &OnText,    &OnText};
    org_kde_plasma_window_add_listener(proxy, &kWindow, self);
  }
  static void OnStacking(void*, org_kde_plasma_window_management*, wl_array*) {}
  static void OnStackingUuid(void*, org_kde_plasma_window_management*, const char*) {}
  static void OnWindowUuid(void*, org_kde_plasma_window_management*, std::uint32_t, const char*) {}
  static void OnTitle(void* data, org_kde_plasma_window* w, const char* title) {
    Of(data, w).title = FromUtf8(title);
  }
  static void OnAppId(void*, org_kde_plasma_window*, const char*) {}
  static void OnState(void* data, org_kde_plasma_window* w, std::uint32_t flags) {
    Window& window = Of(data, w);
    window.active = (flags & kActive) != 0;
    window.skipTaskbar = (flags & kSkipTaskbar) != 0;
    window.Update();
  }
  static void OnDesktop(void*, org_kde_plasma_window*, std::int32_t) {}
  static void OnIconName(void*, org_kde_plasma_window*, const char*) {}
  static void OnUnmapped(void* data, org_kde_plasma_window* w) {
    Window& window = Of(data, w);
    window.unmapped = true;
    window.Update();
  }
  static void OnNothing(void*, org_kde_plasma_window*) {}
  static void OnParent(void*, org_kde_plasma_window*, org_kde_plasma_window*) {}
  static void OnGeometry(void*, org_kde_plasma_window*, std::int32_t, std::int32_t, std::uint32_t,
                         std::uint32_t) {}
  static void OnPid(void* data, org_kde_plasma_window* w, std::uint32_t pid) {
    Of(data, w).pid = static_cast<long>(pid);
  }
  static void OnText(void*, org_kde_plasma_window*, const char*) {}
  static void OnMenu(void*, org_kde_plasma_window*, const char*, const char*) {}

  static void OnCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities) {
    auto* self = static_cast<KdeDesktop*>(data);
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) == 0 || self->keyboard_) return;
    self->keyboard_ = wl_seat_get_keyboard(seat);
    static const wl_keyboard_listener kKeyboard{&OnKeymap, &OnEnter,     &OnLeave,
                                                &OnKey,    &OnModifiers, &OnRepeat};
    wl_keyboard_add_listener(self->keyboard_, &kKeyboard, self);
  }
  static void OnSeatName(void*, wl_seat*, const char*) {}
  static void OnKeymap(void* data, wl_keyboard*, std::uint32_t format, int fd, std::uint32_t size) {
    auto* self = static_cast<KdeDesktop*>(data);
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
      void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
      if (map != MAP_FAILED) {
        self->keymap_.assign(static_cast<const char*>(map),
                             ::strnlen(static_cast<const char*>(map), size));
        ::munmap(map, size);
      }
    }
    ::close(fd);
  }
  static void OnEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
  static void OnLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
  static void OnKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                    std::uint32_t) {}
  static void OnModifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                          std::uint32_t, std::uint32_t group) {
    static_cast<KdeDesktop*>(data)->group_ = group;
  }
  static void OnRepeat(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

  org_kde_plasma_window_management* manager_ = nullptr;
  org_kde_kwin_fake_input* input_ = nullptr;
  wl_seat* seat_ = nullptr;
  wl_keyboard* keyboard_ = nullptr;
  std::string keymap_;
  std::uint32_t group_ = 0;
  std::map<org_kde_plasma_window*, std::unique_ptr<Window>> windows_;
  std::vector<wayland::LayoutKeys::Key> presses_;
};

}  // namespace

std::unique_ptr<Desktop> MakeDesktop(const DesktopSession& session) {
  auto connection = std::make_unique<Connection>(session.waylandDisplay);
  if (!connection->ok() || !connection->Offers("org_kde_plasma_window_management") ||
      !connection->Offers("org_kde_kwin_fake_input") || !connection->Offers("wl_seat")) {
    return nullptr;
  }
  return std::make_unique<KdeDesktop>(std::move(connection), session.toolkitConnection);
}

}  // namespace navelo::platform::kde
