#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "forms/form.h"
#include "platform/win32/text.h"

// The Win32 front end: Navelo's forms drawn with ordinary Windows controls from their
// descriptions. Every window is a `FormWindow`; its controls are found by name.
namespace navelo::win {

using platform::win32::FromWide;
using platform::win32::Wide;
// The text a window shows.
std::u16string WindowText(HWND window);
void SetWindowText(HWND window, std::u16string_view text);

// Twips to pixels at a window's dots per inch (96 when unknown).
int Pixels(int twips, UINT dpi);
UINT DpiOf(HWND window);

// The face names behind the font roles.
std::wstring FaceName(forms::Face face);

// A top-level window drawn from a form: a popup dialog or the panel. Runs modally with
// RunModal; dialog navigation (Tab, Enter on the focused or default button, Escape) goes through
// IsDialogMessageW.
class FormWindow {
 public:
  // A popup window (a dialog) or an overlapped one (the panel).
  FormWindow(const forms::Form& form, bool popup) : form_(form), popup_(popup) {}
  virtual ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  const forms::Form& form() const { return form_; }
  // The control built for a description, or nullptr.
  HWND Find(std::string_view name, int index = -1) const;
  const forms::Control* ControlOf(HWND control) const;

  // Creates the window and its controls, hidden, with the form's menu bar when it has one. Should
  // the window be destroyed (Windows destroys a window with its owner), hwnd() is null again and
  // the next Create builds it afresh.
  void Create();
  // The popup menu built for a menu item that is not in the menu bar.
  HMENU PopupMenuHandle(std::string_view name) const;
  // Shows the window owned by `owner`, disables `owner` and runs a message loop until EndModal;
  // the window then gets back the owner it had before. Without an owner, the program's other
  // windows are disabled instead.
  int RunModal(HWND owner);
  void EndModal(int result);
  bool modal() const { return modalRunning_; }

  // Gives a control the keyboard focus, now (or, while the window is hidden, when it is shown) and
  // whenever the window is activated again until the user moves it: as a dialog does, the window
  // keeps the focus where it was while another window (a message box, another program) is active.
  void Focus(HWND control);

  // Places the window so its client area opens at (left, top) twips on the screen.
  void PlaceClientAt(int leftTwips, int topTwips);
  // Draws a control's text in its form's font, upright or italic; kept when the window is laid
  // out again.
  void SetItalic(HWND control, bool italic);

 protected:
  // Window messages not handled here.
  virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // A control's notification (a click: BN_CLICKED).
  virtual void OnCommand(const forms::Control& control, HWND hwnd, int code) {
    (void)control, (void)hwnd, (void)code;
  }
  // A menu command, by the item's description.
  virtual void OnMenu(const forms::Menu& item) { (void)item; }
  // Escape (IsDialogMessage's IDCANCEL); the window manager's close.
  virtual void OnEscape() {}
  virtual void OnClose() { EndModal(0); }
  // After the window was laid out again at a new DPI, at the form's full size.
  virtual void OnDpiChanged() {}

  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void BuildControls();
  // Sizes the window so its client area is the form's at the current DPI.
  void SizeToForm();
  // Places every control and gives it its font at the current DPI.
  void LayoutControls(bool redraw);
  HMENU BuildMenus();
  HFONT FontFor(const forms::Font& font);
  HBRUSH BrushFor(forms::Colour colour);
  LRESULT Colour(HDC dc, HWND control, UINT message);
  void PaintLines(HDC dc);
  // Back from another window: the control that had the focus gets it again, if it still can
  // take it, otherwise the first in tab order.
  void RestoreFocus();

  const forms::Form& form_;
  bool popup_;
  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  struct Built {
    const forms::Control* control;
    HWND hwnd;
  };
  std::vector<Built> built_;
  std::map<std::string, HMENU, std::less<>> popups_;
  // Popup menus in no menu bar, which the window does not destroy with itself.
  std::vector<HMENU> detached_;
  std::map<std::wstring, HFONT> fonts_;
  std::map<forms::Colour, HBRUSH> brushes_;
  std::set<HWND> italic_;
  HWND focus_ = nullptr;  // the control to focus when the window is activated
  bool modalRunning_ = false;
  int modalResult_ = 0;
};

}  // namespace navelo::win
