#pragma once

#include "platform/system.h"

class QWindow;

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

// Sets a top-level window's title-bar buttons, as kept in its "titleButtons" property (window
// menu 1, close box 2, minimise box 4, maximise box 8), in the window manager's Motif hints. Qt
// writes those hints itself whenever the window's flags change, so this follows every change.
void ApplyTitleButtons(QWindow* window);

}  // namespace navelo::ui
