#pragma once

#include <QMainWindow>
#include <functional>

#include "panel/logic/keypad.h"
#include "panel/logic/send.h"
#include "panel/logic/tracker.h"
#include "platform/codec.h"
#include "platform/system.h"
#include "platform/windows.h"
#include "settings/settings.h"
#include "settings/targets.h"

class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

namespace navelo {

// What the panel works with; everything here outlives the panel.
struct PanelContext {
  SettingsRecord& record;
  SettingsFile& file;
  const platform::AnsiCodec& codec;
  BrowserAddresses& addresses;
  TargetSlots& targets;
  platform::MessageBoxService& messages;
  platform::ShellService& shell;
  platform::TopmostService& topmost;
  platform::ProgramService& program;
  platform::ForegroundService& foreground;
  platform::KeystrokeService& keystrokes;
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
  void Shrink();
  void Restore();

  PanelContext ctx_;
  QWidget* client_ = nullptr;
  QLineEdit* txtKin_ = nullptr;
  QMenu* mnuBrow_ = nullptr;
  QTimer* timer1_ = nullptr;
  Keypad keypad_;
  int fullHeight_ = 0;
  bool expanded_ = false;
  bool ending_ = false;
};

}  // namespace navelo
