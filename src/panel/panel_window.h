#pragma once

#include <QMainWindow>
#include <array>
#include <functional>

#include "panel/logic/state.h"
#include "platform/codec.h"
#include "platform/system.h"
#include "settings/settings.h"

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
  platform::MessageBoxService& messages;
  platform::ShellService& shell;
  platform::TopmostService& topmost;
  platform::ProgramService& program;
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

  // The panel's outer height at load, which restoring the panel gives back.
  int fullHeight() const { return fullHeight_; }
  bool expanded() const { return expanded_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void ApplyTopmost();
  void KeepFramePosition(QPoint framePosition);
  void OpenSettings();
  void Tick();

  PanelContext ctx_;
  QWidget* client_ = nullptr;
  QLineEdit* txtKin_ = nullptr;
  QMenu* mnuBrow_ = nullptr;
  QTimer* timer1_ = nullptr;
  std::array<QPushButton*, 10> numKey_{};
  std::u16string digits_;  // the keypad's digit accumulator
  int fullHeight_ = 0;
  bool expanded_ = false;
  bool ending_ = false;
};

}  // namespace navelo
