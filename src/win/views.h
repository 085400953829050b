#pragma once

#include <functional>
#include <memory>

#include "forms/view.h"
#include "platform/desktop.h"
#include "win/win_form.h"

// Navelo's windows drawn with Win32 controls: each draws its form, passes clicks, menu commands,
// closes, pointer moves and timers on to its controller and does what the controller asks.
namespace navelo::win {

// What a dialog and the panel share: controls reached by name, timers, and the events.
class Win32View : public FormWindow {
 public:
  Win32View(const forms::Form& form, bool popup) : FormWindow(form, popup) {}

  void SetEvents(FormEvents* events) { events_ = events; }
  std::u16string Text(std::string_view control, int index) const;
  void SetText(std::string_view control, std::u16string_view text, int index);
  void SetCheck(std::string_view control, int state);
  void SetEnabled(std::string_view control, bool enabled);
  void SetItalic(std::string_view control, int index, bool italic);
  void SetToolTip(std::string_view control, int index, std::u16string_view text);
  void SetCaption(std::u16string_view caption);
  void Focus(std::string_view control);
  void StartTimer(int timer, int milliseconds);
  void StopTimer(int timer);

 protected:
  void OnCommand(const forms::Control& control, HWND hwnd, int code) override;
  void OnMenu(const forms::Menu& item) override;
  void OnEscape() override;
  void OnClose() override;
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

  FormEvents* events_ = nullptr;
  HWND toolTips_ = nullptr;  // made with the first tooltip, destroyed with the window
};

// A view's primitives, carried out by the window.
template <typename View>
class Win32ViewOf : public Win32View, public View {
 public:
  using Win32View::Win32View;

  void SetEvents(FormEvents* events) override { Win32View::SetEvents(events); }
  std::u16string Text(std::string_view control, int index = -1) const override {
    return Win32View::Text(control, index);
  }
  void SetText(std::string_view control, std::u16string_view text, int index = -1) override {
    Win32View::SetText(control, text, index);
  }
  void SetCheck(std::string_view control, int state) override {
    Win32View::SetCheck(control, state);
  }
  void SetEnabled(std::string_view control, bool enabled) override {
    Win32View::SetEnabled(control, enabled);
  }
  void SetItalic(std::string_view control, int index, bool italic) override {
    Win32View::SetItalic(control, index, italic);
  }
  void SetToolTip(std::string_view control, int index, std::u16string_view text) override {
    Win32View::SetToolTip(control, index, text);
  }
  void SetCaption(std::u16string_view caption) override { Win32View::SetCaption(caption); }
  void Focus(std::string_view control) override { Win32View::Focus(control); }
  void StartTimer(int timer, int milliseconds) override {
    Win32View::StartTimer(timer, milliseconds);
  }
  void StopTimer(int timer) override { Win32View::StopTimer(timer); }
};

// A modal dialog drawn from its form.
class Win32DialogView final : public Win32ViewOf<FormView> {
 public:
  explicit Win32DialogView(const forms::Form& form) : Win32ViewOf(form, true) { Create(); }

  int RunModal(Owner owner) override;
  void EndModal(int result) override { FormWindow::EndModal(result); }

  // The window that was active in this program when a dialog owned by the asker opens: the panel
  // when nothing else is.
  std::function<HWND()> asker;
};

// The panel, with its menu bar.
class Win32PanelView final : public Win32ViewOf<PanelView> {
 public:
  // `sessionEnding` runs when Windows ends the session.
  explicit Win32PanelView(std::function<void()> sessionEnding);

  int RunModal(Owner) override { return 0; }  // the panel is never modal
  void EndModal(int) override {}
  std::uintptr_t Handle() const override { return reinterpret_cast<std::uintptr_t>(hwnd()); }
  Rect Frame() const override;
  void MoveFrame(int x, int y) override;
  int Height() const override { return Frame().height; }
  void SetHeight(int height) override;
  std::vector<Rect> Screens() const override;
  int PositionDpi() const override;
  int CaptionHeight() const override;
  void Show() override;
  void PopupMenu(std::string_view menu) override;
  void Watch(int, int) override {}  // Windows reports no changes through a descriptor

 protected:
  void OnDpiChanged() override;
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::function<void()> sessionEnding_;
};

// Makes Win32 views of the forms and keeps the panel's, for the message loop.
class Win32ViewFactory final : public ViewFactory {
 public:
  explicit Win32ViewFactory(std::function<void()> sessionEnding)
      : sessionEnding_(std::move(sessionEnding)) {}
  std::unique_ptr<FormView> MakeDialog(const forms::Form& form) override;
  std::unique_ptr<PanelView> MakePanel() override;
  // The panel's window, once made.
  HWND panel() const { return panel_ ? panel_->hwnd() : nullptr; }

 private:
  std::function<void()> sessionEnding_;
  Win32PanelView* panel_ = nullptr;
};

}  // namespace navelo::win
