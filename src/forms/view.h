#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/form.h"
#include "forms/geometry.h"

// How a window drawn from a form and the controller that decides its behaviour talk to each other.
// A front end draws the form, passes the user's actions on as events and carries out the
// controller's requests; the controller holds every message, rule and order of steps.
namespace navelo {

// What a window tells its controller. Controls are named as in the form (with their index in a
// control array, -1 otherwise).
class FormEvents {
 public:
  virtual ~FormEvents() = default;
  // A button or check box was pressed (by the mouse or the keyboard), or a label clicked.
  virtual void OnClick(std::string_view control, int index) = 0;
  // A menu item was chosen.
  virtual void OnMenu(std::string_view item, int index) { (void)item, (void)index; }
  // The window manager's close (the close box, Alt+F4).
  virtual void OnClose() = 0;
  // The pointer moved over a control, or over the window's own surface (control empty).
  virtual void OnPointer(std::string_view control, int index) { (void)control, (void)index; }
  // A timer started with StartTimer ran out.
  virtual void OnTimer(int timer) { (void)timer; }
  // The window was laid out again at its full size (moved to a screen of another DPI).
  virtual void OnLayoutChanged() {}
};

// Who a modal window belongs to while it runs.
enum class Owner {
  kAsker,  // the program's window that was active when it opened
  kNone,   // no window: it stands on its own, and the program's other windows wait for it
};

// What a controller asks of its window.
class FormView {
 public:
  virtual ~FormView() = default;
  virtual void SetEvents(FormEvents* events) = 0;

  // Text boxes' text and labels' captions.
  virtual std::u16string Text(std::string_view control, int index = -1) const = 0;
  virtual void SetText(std::string_view control, std::u16string_view text, int index = -1) = 0;
  // A check box's state: 0 unchecked, 1 checked, 2 undecided (neither).
  virtual void SetCheck(std::string_view control, int state) = 0;
  virtual void SetEnabled(std::string_view control, bool enabled) = 0;
  virtual void SetItalic(std::string_view control, int index, bool italic) = 0;
  // What shows while the pointer rests on a control.
  virtual void SetToolTip(std::string_view control, int index, std::u16string_view text) = 0;
  // The window's title.
  virtual void SetCaption(std::u16string_view caption) = 0;
  virtual void Focus(std::string_view control) = 0;

  // Shows the window modally at the place its form opens at, until EndModal; returns EndModal's
  // result.
  virtual int RunModal(Owner owner) = 0;
  virtual void EndModal(int result) = 0;

  // Single-shot timers, told apart by number; starting one again restarts it.
  virtual void StartTimer(int timer, int milliseconds) = 0;
  virtual void StopTimer(int timer) = 0;
};

// The panel: a top-level window that stays open for the whole run.
class PanelView : public virtual FormView {
 public:
  // The window system's handle of the panel.
  virtual std::uintptr_t Handle() const = 0;
  // The outer frame, in pixels on the screen.
  virtual Rect Frame() const = 0;
  // Moves the outer frame's top-left corner.
  virtual void MoveFrame(int x, int y) = 0;
  // The window's height in the unit SetHeight takes; 0 there leaves only the caption bar.
  virtual int Height() const = 0;
  virtual void SetHeight(int height) = 0;
  // The height the window system last said the window has. Where resizing is asynchronous a
  // window manager may answer a request late, or drop it; by default the two agree.
  virtual int ShownHeight() const { return Height(); }
  // The screens' work areas in pixels, and how many pixels stored positions take to the inch.
  virtual std::vector<Rect> Screens() const = 0;
  virtual int PositionDpi() const = 0;
  // The height of the caption bar in pixels: at least that much of it stays on a screen.
  virtual int CaptionHeight() const = 0;
  virtual void Show() = 0;
  // Pops a menu that is not in the menu bar up at the mouse.
  virtual void PopupMenu(std::string_view menu) = 0;
  // Calls OnTimer(timer) whenever `descriptor` becomes readable.
  virtual void Watch(int descriptor, int timer) = 0;
};

// Makes the windows: the front end's side of every form.
class ViewFactory {
 public:
  virtual ~ViewFactory() = default;
  // A dialog drawn from `form`, hidden until it runs modally.
  virtual std::unique_ptr<FormView> MakeDialog(const forms::Form& form) = 0;
  // The panel, hidden until shown.
  virtual std::unique_ptr<PanelView> MakePanel() = 0;
};

}  // namespace navelo
