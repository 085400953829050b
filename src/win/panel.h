#pragma once

#include <functional>

#include "delivery/delivery.h"
#include "panel/logic/keypad.h"
#include "panel/logic/send.h"
#include "platform/system.h"
#include "platform/win32/program.h"
#include "settings/settings_store.h"
#include "win/win_form.h"

namespace navelo::win {

// What the panel works with; everything here outlives the panel.
struct PanelContext {
  SettingsStore& store;
  platform::MessageBoxService& messages;
  platform::ShellService& shell;
  platform::TopmostService& topmost;
  platform::win32::Win32Program& program;
  platform::ForegroundService& foreground;
  platform::WindowSystem& windows;
  Delivery& delivery;
  std::function<void(HWND panel)> openSettings;
  std::function<void(HWND panel)> openAbout;
};

// frmNavelo: the amount keypad, the four send buttons, the menus and the 100 ms tracker tick.
class PanelWindow final : public FormWindow {
 public:
  explicit PanelWindow(PanelContext context);

  // Loads the settings, places and shows the panel, applies always-on-top, starts the tick.
  void Load();
  // Saves (reporting a failure) and ends the program; runs its save at most once.
  [[noreturn]] void SaveAndEnd();

 protected:
  void OnCommand(const forms::Control& control, HWND hwnd, int code) override;
  void OnMenu(const forms::Menu& item) override;
  void OnClose() override { SaveAndEnd(); }
  void OnDpiChanged() override;
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Tick();
  void Send(SendButton button);
  void ScheduleDelivery();
  void ApplyTopmost();

  PanelContext ctx_;
  Keypad keypad_;
  int fullHeight_ = 0;
  bool expanded_ = false;
  bool ending_ = false;
  bool toldNoTyping_ = false;
};

}  // namespace navelo::win
