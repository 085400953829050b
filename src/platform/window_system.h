#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "platform/system.h"

namespace navelo::platform {

// Titles are read no further than this many characters: the tracker keeps at most 69 bytes of a
// title in the code page, so never more characters than that.
constexpr std::size_t kTitleCharacters = 69;

struct WindowInfo {
  WindowHandle handle = 0;
  std::u16string title;  // as the window carries it, up to kTitleCharacters at least
};

// The window the user is working in. A window that vanishes while it is read, or any error of the
// window system, reads as no window (handle 0, empty title).
class ForegroundService {
 public:
  virtual ~ForegroundService() = default;
  virtual WindowInfo Foreground() = 0;

  // A descriptor that becomes readable when the window system reports that the foreground window
  // or its title may have changed; -1 when changes are not reported and Foreground must be polled.
  virtual int ChangeDescriptor() const { return -1; }
  // Whether reports have already been taken in (by any use of the connection) but not yet looked
  // at, so the descriptor will not signal them.
  virtual bool ChangesWaiting() const { return false; }
};

// What delivering keystrokes needs of the window system. Every call returns at once; waiting is
// the caller's business. A window that vanishes reads as gone, never as an error.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // The window the user works in now; 0 when none.
  virtual WindowHandle ActiveWindow() = 0;
  // A window's title (as WindowInfo holds it), read from the window system at this moment; empty
  // when it has none or is gone.
  virtual std::u16string Title(WindowHandle window) = 0;
  // Asks for a window to become the active window. False when the window is gone.
  virtual bool Activate(WindowHandle window) = 0;
  // Whether the window's program runs with more rights than Navelo, so the system would drop the
  // keys Navelo types into it without a word (a browser started as administrator on Windows).
  virtual bool RunsAboveUs(WindowHandle window) {
    (void)window;
    return false;
  }

  // Plans the keys for `text` on the current keyboard layout, binding keys for any characters
  // the layout lacks. `settle` is how long to wait before typing so that programs have read a
  // changed layout. kUnavailable: this window system cannot type synthetic keys at all.
  struct Typing {
    enum class Result { kReady, kLayoutCannotType, kUnavailable };
    Result result = Result::kReady;
    std::chrono::milliseconds settle{0};
    // With kLayoutCannotType: a character the layout lacks, where it is one (0 otherwise).
    char32_t missing = 0;
  };
  virtual Typing PrepareTyping(std::u16string_view text) = 0;
  // Types the prepared keys in order into whatever window has the focus, asking `mayType` before
  // each key and stopping for good at its first "no". True when every key was typed.
  virtual bool TypePrepared(const std::function<bool()>& mayType) = 0;
  // Gives keys bound by PrepareTyping back what they had before.
  virtual void RestoreKeyboard() = 0;
  virtual void Beep() = 0;
};

}  // namespace navelo::platform
