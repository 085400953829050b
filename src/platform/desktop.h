#pragma once

#include <memory>
#include <string>

#include "platform/system.h"
#include "platform/window_system.h"

namespace navelo::platform {

// What a desktop lets Navelo do.
struct DesktopCapabilities {
  bool readsTitles = true;        // follows the front window and its title
  bool activatesWindows = true;   // brings another program's window to the front
  bool typesAnyCharacter = true;  // false: only what the user's keyboard layout can type
  bool keepsAbove = true;         // keeps the panel above other windows
  bool placesWindows = true;      // puts windows where Navelo asks and reports where they are
};

// The title-bar buttons a window of Navelo's asks the window manager for.
struct TitleButtons {
  bool windowMenu = false;
  bool closeBox = false;
  bool minimizeBox = false;
  bool maximizeBox = false;
};

// What the user is told at start about a desktop that limits Navelo.
enum class DesktopNotice {
  kNone,
  kX11WindowsOnly,  // a Wayland desktop, served through XWayland: the browser must be an X11 window
  kPlasmaNotGranted,  // KDE Plasma has not granted window management and typing (not installed)
};

// The desktop services Navelo works with, one bundle per kind of desktop, chosen at start.
class Desktop {
 public:
  virtual ~Desktop() = default;
  // A short name for standard error ("x11", "win32").
  virtual std::string name() const = 0;
  virtual DesktopCapabilities capabilities() const = 0;
  virtual DesktopNotice notice() const { return DesktopNotice::kNone; }

  // Other programs' windows: the one in front, activation and typing.
  virtual ForegroundService& foreground() = 0;
  virtual WindowSystem& windows() = 0;

  // Navelo's own top-level windows: kept above all others or not, and their title-bar buttons.
  virtual void KeepAbove(WindowHandle window, bool on) = 0;
  virtual void SetTitleButtons(WindowHandle window, TitleButtons buttons) = 0;
  // Brings the window of another Navelo (process `processId`, 0 when not known) to the front, as
  // a task bar would: its panel, or the start-up password dialog it shows. False when none.
  virtual bool BringForward(long processId) = 0;
};

// What the session says about the desktop Navelo runs on.
struct DesktopSession {
  std::string display;         // DISPLAY
  std::string waylandDisplay;  // WAYLAND_DISPLAY
  std::string sessionType;     // XDG_SESSION_TYPE
  std::string currentDesktop;  // XDG_CURRENT_DESKTOP
  // The toolkit's own connection to the window system Navelo's windows are drawn on, where one is
  // needed to change them (an X11 Display*); null otherwise.
  void* toolkitConnection = nullptr;
};

// The desktop services that serve this session; null when none can (no display at all).
std::unique_ptr<Desktop> ChooseDesktop(const DesktopSession& session);

}  // namespace navelo::platform
