#pragma once

#include <QDialog>
#include <QMainWindow>
#include <map>
#include <memory>

#include "forms/form.h"
#include "forms/view.h"
#include "platform/desktop.h"

class QTimer;

// Navelo's windows drawn with Qt Widgets: each draws its form, passes clicks, menu commands,
// closes, pointer moves and timers on to its controller and does what the controller asks.
namespace navelo::ui {

// What a dialog and the panel share: a window's controls reached by name, and its timers.
class QtControls {
 public:
  // Passes the clicks of the form's controls under `root` on; with `pointer`, their pointer moves
  // too.
  QtControls(const forms::Form& form, QWidget* root, bool pointer);

  std::u16string Text(std::string_view control, int index) const;
  void SetText(std::string_view control, std::u16string_view text, int index);
  void SetCheck(std::string_view control, int state);
  void SetEnabled(std::string_view control, bool enabled);
  void SetItalic(std::string_view control, int index, bool italic);
  void SetToolTip(std::string_view control, int index, std::u16string_view text);
  // The window's title.
  void SetCaption(std::u16string_view caption);
  void Focus(std::string_view control);
  void StartTimer(int timer, int milliseconds);
  void StopTimer(int timer);

  // Where clicks, pointer moves and timers go.
  FormEvents* events = nullptr;

 private:
  QObject* Find(std::string_view control, int index) const;

  QWidget* root_;
  std::map<int, QTimer*> timers_;
};

// The control primitives of a view, carried out by the window's QtControls.
template <typename View>
class WithQtControls : public View {
 public:
  WithQtControls(const forms::Form& form, QWidget* root, bool pointer)
      : controls_(form, root, pointer) {}

  void SetEvents(FormEvents* events) override { controls_.events = events; }
  std::u16string Text(std::string_view control, int index = -1) const override {
    return controls_.Text(control, index);
  }
  void SetText(std::string_view control, std::u16string_view text, int index = -1) override {
    controls_.SetText(control, text, index);
  }
  void SetCheck(std::string_view control, int state) override {
    controls_.SetCheck(control, state);
  }
  void SetEnabled(std::string_view control, bool enabled) override {
    controls_.SetEnabled(control, enabled);
  }
  void SetItalic(std::string_view control, int index, bool italic) override {
    controls_.SetItalic(control, index, italic);
  }
  void SetToolTip(std::string_view control, int index, std::u16string_view text) override {
    controls_.SetToolTip(control, index, text);
  }
  void SetCaption(std::u16string_view caption) override { controls_.SetCaption(caption); }
  void Focus(std::string_view control) override { controls_.Focus(control); }
  void StartTimer(int timer, int milliseconds) override {
    controls_.StartTimer(timer, milliseconds);
  }
  void StopTimer(int timer) override { controls_.StopTimer(timer); }

 protected:
  QtControls controls_;
};

// A modal dialog drawn from its form.
class QtDialogView final : public QDialog, public WithQtControls<FormView> {
 public:
  QtDialogView(const forms::Form& form, platform::Desktop& desktop);

  int RunModal(Owner owner) override;
  void EndModal(int result) override { done(result); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  const forms::Form& form_;
};

// The panel: the form's controls in a main window with its menu bar.
class QtPanelView final : public QMainWindow, public WithQtControls<PanelView> {
 public:
  QtPanelView(const forms::Form& form, platform::Desktop& desktop);

  int RunModal(Owner) override { return 0; }  // the panel is never modal
  void EndModal(int) override {}

  std::uintptr_t Handle() const override;
  Rect Frame() const override;
  void MoveFrame(int x, int y) override;
  int Height() const override { return height(); }
  void SetHeight(int height) override;
  int ShownHeight() const override { return shownHeight_ >= 0 ? shownHeight_ : height(); }
  std::vector<Rect> Screens() const override;
  int PositionDpi() const override { return 96; }
  int CaptionHeight() const override { return 24; }
  void Show() override;
  void PopupMenu(std::string_view menu) override;
  void Watch(int descriptor, int timer) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void KeepFramePosition(QPoint framePosition);

  int shownHeight_ = -1;  // as the window system last reported it
  int heldHeight_ = 0;    // asked for before the window was on the screen
};

// Makes Qt views of the forms.
class QtViewFactory final : public ViewFactory {
 public:
  explicit QtViewFactory(platform::Desktop& desktop) : desktop_(desktop) {}
  std::unique_ptr<FormView> MakeDialog(const forms::Form& form) override;
  std::unique_ptr<PanelView> MakePanel() override;

 private:
  platform::Desktop& desktop_;
};

}  // namespace navelo::ui
