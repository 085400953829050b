#pragma once

#include <functional>
#include <optional>
#include <string>

#include "delivery/delivery.h"
#include "forms/view.h"
#include "panel/logic/keypad.h"
#include "panel/logic/send.h"
#include "platform/desktop.h"
#include "platform/system.h"
#include "settings/settings_store.h"

namespace navelo {

// What the panel works with; everything here outlives the panel.
struct PanelContext {
  // The settings record, the target slots and the browser addresses, and their saving.
  SettingsStore& store;
  platform::MessageBoxService& messages;
  platform::ShellService& shell;
  platform::ProgramService& program;
  platform::Desktop& desktop;
  Delivery& delivery;
  // Show the settings and about dialogs modally.
  std::function<void()> openSettings;
  std::function<void()> openAbout;
};

// frmNavelo: the amount keypad, the four send buttons, the menus, the tracker's tick and the
// program's end.
class PanelController final : public FormEvents {
 public:
  // The panel's timers.
  enum Timer : int {
    kTick = 1,      // the tracker's tick
    kReports = 2,   // the window system reported a change of the front window
    kTickSoon = 3,  // a tick at once, for reports already taken in
    kDelivery = 4,  // the delivery's next step
  };
  // How often the tick runs while the front window's changes are reported as they happen.
  static constexpr int kSafetyTickInterval = 1000;

  PanelController(PanelView& view, PanelContext context);

  // Runs once when start-up opens the panel: loads the settings, places and shows the panel,
  // applies always-on-top and starts following the front window.
  void Load();
  // One tick: follows the front window, shrinks or restores the panel.
  void Tick();
  // Saves the settings (reporting a failure) and ends the program. Saves at most once, whether the
  // panel is closed or the process is asked to stop.
  [[noreturn]] void SaveAndEnd();
  // Saves without showing anything, reporting a failure on standard error: for a process that
  // ends because its display went away.
  void SaveQuietly();
  // The window was laid out again (at a new DPI): its new full height is what restoring gives.
  void OnLayoutChanged() override;

  bool ending() const { return ending_; }
  bool expanded() const { return expanded_; }
  int fullHeight() const { return fullHeight_; }

  void OnClick(std::string_view control, int index) override;
  void OnMenu(std::string_view item, int index) override;
  void OnClose() override { SaveAndEnd(); }
  void OnTimer(int timer) override;

 private:
  void ApplyTopmost();
  void Send(SendButton button);
  void AfterDeliveryStep();
  void Report(DeliveryOutcome outcome);
  PanelPosition Position() const;
  std::optional<std::string> Save();

  PanelView& view_;
  PanelContext ctx_;
  Keypad keypad_;
  int fullHeight_ = 0;
  bool expanded_ = false;
  bool shown_ = false;
  bool ending_ = false;
  bool watching_ = false;  // ticks follow the window system's reports
  bool toldNoTyping_ = false;
  std::u16string tell_;  // to be told once the delivery's step has returned
  PanelPosition loadedPosition_;
};

}  // namespace navelo
