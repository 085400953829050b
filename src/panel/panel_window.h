#pragma once

#include <QMainWindow>
#include <functional>

#include "delivery/delivery.h"
#include "panel/logic/keypad.h"
#include "panel/logic/send.h"
#include "panel/logic/tracker.h"
#include "platform/system.h"
#include "platform/windows.h"
#include "settings/settings_store.h"
#include "settings/targets.h"

class QLineEdit;
class QMenu;
class QPushButton;
class QSocketNotifier;
class QTimer;

namespace navelo {

// What the panel works with; everything here outlives the panel.
struct PanelContext {
  // The settings record, the target slots and the browser addresses, and their saving.
  SettingsStore& store;
  platform::MessageBoxService& messages;
  platform::ShellService& shell;
  platform::TopmostService& topmost;
  platform::ProgramService& program;
  platform::ForegroundService& foreground;
  // Types the send texts; it outlives the panel.
  Delivery& delivery;
  // Show the settings and about dialogs modally; empty until those dialogs exist.
  std::function<void(QWidget* panel)> openSettings;
  std::function<void(QWidget* panel)> openAbout;
};

// The main window: a narrow panel with the amount keypad, the four send buttons and the menus.
class PanelWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit PanelWindow(PanelContext context);

  // Runs once when start-up opens the panel: loads the settings, places and shows the panel and
  // applies always-on-top.
  void Load();

  // Saves the settings (reporting a failure) and ends the program. Runs at most once, whether the
  // panel is closed or the process is asked to stop.
  [[noreturn]] void SaveAndEnd();
  // Whether SaveAndEnd has begun.
  bool ending() const { return ending_; }

  // The panel's outer height at load, which restoring the panel gives back.
  int fullHeight() const { return fullHeight_; }
  bool expanded() const { return expanded_; }

  // One tick of the 100 ms timer: follows the foreground window, shrinks or restores the panel.
  void Tick();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void ApplyTopmost();
  void KeepFramePosition(QPoint framePosition);
  void OpenSettings();
  void Send(SendButton button);
  void ScheduleDelivery();
  void TickIfChangesWaiting();
  void ReportDelivery(DeliveryOutcome outcome);
  void Shrink();
  void Restore();

  PanelContext ctx_;
  QWidget* client_ = nullptr;
  QLineEdit* txtKin_ = nullptr;
  QMenu* mnuBrow_ = nullptr;
  QTimer* timer1_ = nullptr;
  QSocketNotifier* changes_ = nullptr;  // reports of foreground changes, where there are any
  QTimer* deliveryTimer_ = nullptr;     // runs while the delivery has a step due
  Keypad keypad_;
  int fullHeight_ = 0;
  bool expanded_ = false;
  bool ending_ = false;
  bool toldNoTyping_ = false;
};

}  // namespace navelo
