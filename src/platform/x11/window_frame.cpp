#include "platform/x11/window_frame.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace navelo::platform::x11 {
namespace {

// The Motif window-manager hints (_MOTIF_WM_HINTS): flags, functions, decorations, input mode,
// status.
constexpr long kHintsFunctions = 1L << 0;
constexpr long kHintsDecorations = 1L << 1;
constexpr long kFunctionResize = 1L << 1;
constexpr long kFunctionMove = 1L << 2;
constexpr long kFunctionMinimize = 1L << 3;
constexpr long kFunctionMaximize = 1L << 4;
constexpr long kFunctionClose = 1L << 5;
constexpr long kDecorBorder = 1L << 1;
constexpr long kDecorTitle = 1L << 3;
constexpr long kDecorMenu = 1L << 4;
constexpr long kDecorMinimize = 1L << 5;
constexpr long kDecorMaximize = 1L << 6;

}  // namespace

void SetTitleButtons(void* display, unsigned long window, TitleButtons buttons) {
  auto* x = static_cast<Display*>(display);
  if (x == nullptr || window == 0) return;
  long functions = kFunctionMove;
  long decorations = kDecorBorder | kDecorTitle;
  if (buttons.windowMenu) decorations |= kDecorMenu;
  if (buttons.closeBox) functions |= kFunctionClose;
  if (buttons.minimizeBox) {
    functions |= kFunctionMinimize;
    decorations |= kDecorMinimize;
  }
  if (buttons.maximizeBox) {
    functions |= kFunctionMaximize | kFunctionResize;
    decorations |= kDecorMaximize;
  }
  long hints[5] = {kHintsFunctions | kHintsDecorations, functions, decorations, 0, 0};
  const Atom atom = XInternAtom(x, "_MOTIF_WM_HINTS", False);
  XChangeProperty(x, window, atom, atom, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(hints), 5);
  XFlush(x);
}

}  // namespace navelo::platform::x11
