#pragma once

namespace navelo::platform::x11 {

struct TitleButtons {
  bool windowMenu = false;
  bool closeBox = false;
  bool minimizeBox = false;
  bool maximizeBox = false;
};

// Tells the window manager, through the Motif hints, that `window` has a caption and a border
// and only these title-bar buttons: both what it may do (move, close, minimise, maximise) and
// what it shows. Window managers differ in which half they honour, so both are always set.
// `display` is an Xlib Display*.
void SetTitleButtons(void* display, unsigned long window, TitleButtons buttons);

}  // namespace navelo::platform::x11
