#include "platform/wayland/wayland_desktop.h"

namespace navelo::platform::wayland {
namespace {

std::u16string Cut(const std::u16string& title) {
  return title.size() > kTitleCharacters ? title.substr(0, kTitleCharacters) : title;
}

}  // namespace

const ReportedWindow* WaylandDesktop::Active() const {
  for (const ReportedWindow* w : Reported()) {
    if (w->active && w->shown) return w;
  }
  return nullptr;
}

const ReportedWindow* WaylandDesktop::Find(WindowHandle window) const {
  for (const ReportedWindow* w : Reported()) {
    if (w->id == window && w->shown) return w;
  }
  return nullptr;
}

WindowInfo WaylandDesktop::Foreground() {
  wayland_->Dispatch();
  const ReportedWindow* active = Active();
  if (active == nullptr) return {};
  return {active->id, Cut(active->title)};
}

WindowHandle WaylandDesktop::ActiveWindow() {
  wayland_->Dispatch();
  const ReportedWindow* active = Active();
  return active ? active->id : 0;
}

std::u16string WaylandDesktop::Title(WindowHandle window) {
  // As it is now: everything the compositor has said until this moment.
  wayland_->Roundtrip();
  const ReportedWindow* w = Find(window);
  return w ? Cut(w->title) : std::u16string();
}

std::vector<WindowInfo> WaylandDesktop::Windows() {
  wayland_->Dispatch();
  std::vector<WindowInfo> all;
  for (const ReportedWindow* w : Reported()) all.push_back({w->id, w->title});
  return all;
}

}  // namespace navelo::platform::wayland
