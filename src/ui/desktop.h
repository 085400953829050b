#pragma once

#include "platform/system.h"

namespace navelo::ui {

// Modal Qt message box: the text, an OK button, no icon.
class QtMessageBox final : public platform::MessageBoxService {
 public:
  void Show(const std::u16string& text, const std::u16string& title) override;
};

// The desktop's default opener (xdg-open), started detached.
class XdgShell final : public platform::ShellService {
 public:
  bool Open(const std::u16string& target) override;
};

// Always-on-top through the window manager's "above" state (_NET_WM_STATE_ABOVE), for the
// program's own top-level windows.
class EwmhTopmost final : public platform::TopmostService {
 public:
  void SetTopmost(platform::WindowHandle window, bool on) override;
};

}  // namespace navelo::ui
