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
  // A file URL.
  std::u16string AddressOf(const std::string& path) const override;
};

}  // namespace navelo::ui
