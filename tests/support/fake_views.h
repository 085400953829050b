#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "forms/view.h"

// Windows in memory for the controllers' tests: every control's text, check state, enabled state
// and font as the controller last set them, a modal run that plays the test's part while it lasts,
// and timers the test fires.
namespace navelo::testing {

class FakeView : public virtual FormView {
 public:
  using Key = std::pair<std::string, int>;

  void SetEvents(FormEvents* e) override { events = e; }
  std::u16string Text(std::string_view control, int index = -1) const override;
  void SetText(std::string_view control, std::u16string_view text, int index = -1) override;
  void SetCheck(std::string_view control, int state) override {
    checks[std::string(control)] = state;
  }
  void SetEnabled(std::string_view control, bool on) override {
    enabled[std::string(control)] = on;
  }
  void SetItalic(std::string_view control, int index, bool on) override {
    italic[{std::string(control), index}] = on;
  }
  void SetToolTip(std::string_view control, int index, std::u16string_view text) override {
    toolTips[{std::string(control), index}] = text;
  }
  void SetCaption(std::u16string_view text) override { caption = text; }
  void Focus(std::string_view control) override { focus = control; }
  // Runs `whileModal` (the user's part) unless it is empty, then returns EndModal's result, or -1
  // when nothing ended the run.
  int RunModal(Owner owner) override;
  void EndModal(int result) override;
  void StartTimer(int timer, int milliseconds) override { timers[timer] = milliseconds; }
  void StopTimer(int timer) override { timers.erase(timer); }

  // The user's actions.
  void Click(std::string_view control, int index = -1) { events->OnClick(control, index); }
  void Type(std::string_view control, std::u16string_view text, int index = -1) {
    SetText(control, text, index);
  }
  // Fires a running timer (it is single-shot: it stops first).
  void Fire(int timer);

  FormEvents* events = nullptr;
  std::map<Key, std::u16string> texts;
  std::map<std::string, int> checks;
  std::map<std::string, bool> enabled;
  std::map<Key, bool> italic;
  std::map<Key, std::u16string> toolTips;
  std::u16string caption;
  std::string focus;
  std::map<int, int> timers;  // running timers and their time
  std::function<void(FakeView&)> whileModal;
  std::vector<Owner> modalRuns;
  bool modal = false;
  std::optional<int> ended;
};

class FakeDialogView final : public FakeView {};

class FakePanelView final : public FakeView, public PanelView {
 public:
  std::uintptr_t Handle() const override { return handle; }
  Rect Frame() const override { return frame; }
  void MoveFrame(int x, int y) override {
    frame.x = x;
    frame.y = y;
  }
  int Height() const override { return frame.height; }
  void SetHeight(int h) override { frame.height = h == 0 ? captionHeight : h; }
  std::vector<Rect> Screens() const override { return screens; }
  int PositionDpi() const override { return dpi; }
  int CaptionHeight() const override { return captionHeight; }
  void Show() override { shown = true; }
  void PopupMenu(std::string_view menu) override { popups.emplace_back(menu); }
  void Watch(int descriptor, int timer) override { watched[descriptor] = timer; }

  std::uintptr_t handle = 77;
  Rect frame{0, 0, 80, 270};
  std::vector<Rect> screens{{0, 0, 1280, 1024}};
  int dpi = 96;
  int captionHeight = 24;
  bool shown = false;
  std::vector<std::string> popups;
  std::map<int, int> watched;  // descriptor -> timer
};

// Makes fake views; each dialog made is kept, with what the test wants done while it runs.
class FakeViewFactory final : public ViewFactory {
 public:
  std::unique_ptr<FormView> MakeDialog(const forms::Form& form) override;
  std::unique_ptr<PanelView> MakePanel() override;

  // The user's part in a dialog of the form's name, at each of its modal runs.
  std::map<std::string, std::function<void(FakeView&)>> whileModal;
  std::vector<std::string> made;
  FakePanelView* panel = nullptr;
};

}  // namespace navelo::testing
