#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/window_system.h"

namespace navelo::platform::win32 {

// The window in front: GetForegroundWindow and its title.
class Win32Foreground final : public ForegroundService {
 public:
  WindowInfo Foreground() override;
};

// Activation with SetForegroundWindow (allowed: the panel has just had the user's click) of a
// window that is shown, and typing with SendInput. Every character goes as a Unicode keystroke, so
// the keyboard layout, Caps Lock and the input method do not change what arrives; Tab is the Tab
// key.
class Win32WindowSystem final : public WindowSystem {
 public:
  WindowHandle ActiveWindow() override;
  std::u16string Title(WindowHandle window) override;
  bool Activate(WindowHandle window) override;
  // Windows drops synthetic keys sent to a process of a higher integrity level.
  bool RunsAboveUs(WindowHandle window) override;
  Typing PrepareTyping(std::u16string_view text) override;
  bool TypePrepared(const std::function<bool()>& mayType) override;
  void RestoreKeyboard() override {}
  void Beep() override;

 private:
  // Each character's key events: a press and a release, two of each for a surrogate pair.
  std::vector<std::vector<INPUT>> keys_;
};

// A process's integrity level (its mandatory label's RID: 0x2000 medium, 0x3000 high); nothing
// when it cannot be read. `processId` 0 is this process.
std::optional<unsigned long> IntegrityLevel(unsigned long processId);

// A window's whole title; empty when it has none or is gone.
std::u16string WindowTitle(WindowHandle window);

}  // namespace navelo::platform::win32
