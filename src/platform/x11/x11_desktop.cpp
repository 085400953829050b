#include "platform/x11/x11_desktop.h"

#include <algorithm>

#include "platform/x11/x11_util.h"

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

X11Desktop::X11Desktop(DesktopNotice notice, void* toolkitDisplay)
    : notice_(notice),
      own_(toolkitDisplay ? toolkitDisplay : connection_.display()),
      foreground_(connection_),
      windows_(connection_) {}

void X11OwnWindows::KeepAbove(WindowHandle window, bool on) {
  auto* d = static_cast<Display*>(display_);
  const auto w = static_cast<Window>(window);
  if (d == nullptr || w == 0) return;
  XWindowAttributes attrs;
  if (XGetWindowAttributes(d, w, &attrs) == 0) return;
  const Atom above = A(d, "_NET_WM_STATE_ABOVE");
  if (attrs.map_state == IsUnmapped) {
    // Not yet managed: the window manager reads the state from the property when it maps the
    // window.
    std::vector<unsigned long> states = Longs(d, w, "_NET_WM_STATE", XA_ATOM);
    std::erase(states, above);
    if (on) states.push_back(above);
    std::vector<long> values(states.begin(), states.end());
    XChangeProperty(d, w, A(d, "_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
  }
  // Managed (or about to be): the window manager changes it on request. 1 adds, 0 removes.
  SendToWindowManager(d, w, "_NET_WM_STATE", on ? 1 : 0, static_cast<long>(above), 0);
  XFlush(d);
}

void X11OwnWindows::SetTitleButtons(WindowHandle window, TitleButtons buttons) {
  auto* d = static_cast<Display*>(display_);
  if (d == nullptr || window == 0) return;
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
  const Atom atom = A(d, "_MOTIF_WM_HINTS");
  XChangeProperty(d, static_cast<Window>(window), atom, atom, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(hints), 5);
  XFlush(d);
}

bool X11Desktop::BringForward(long processId) {
  auto* d = static_cast<Display*>(connection_.display());
  if (d == nullptr || processId <= 0) return false;
  // The topmost of its windows: the panel, or the start-up password dialog it shows instead.
  const std::vector<unsigned long> clients =
      Longs(d, DefaultRootWindow(d), "_NET_CLIENT_LIST_STACKING", XA_WINDOW, 4096);
  for (auto it = clients.rbegin(); it != clients.rend(); ++it) {
    const std::vector<unsigned long> pid = Longs(d, *it, "_NET_WM_PID", XA_CARDINAL, 1);
    if (pid.empty() || static_cast<long>(pid[0]) != processId) continue;
    RequestActivation(d, *it);
    XSync(d, False);
    return true;
  }
  return false;
}

std::unique_ptr<Desktop> MakeDesktop(const DesktopSession& session) {
  // On a Wayland desktop whose own services could not be had, only X11 windows are seen.
  DesktopNotice notice = DesktopNotice::kNone;
  if (!session.waylandDisplay.empty()) {
    notice = session.currentDesktop.find("KDE") != std::string::npos
                 ? DesktopNotice::kPlasmaNotGranted
                 : DesktopNotice::kX11WindowsOnly;
  }
  return std::make_unique<X11Desktop>(notice, session.toolkitConnection);
}

}  // namespace navelo::platform::x11
