#pragma once

// What the X11 services share: atoms, property reads, and messages to the window manager. For
// the files of this folder only.
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xatom.h>
// clang-format on

#include <string>
#include <vector>

namespace navelo::platform::x11 {

inline Atom A(Display* d, const char* name) {
  return XInternAtom(d, name, False);
}

// A property's raw bytes (format 8) or values (format 32, each an unsigned long), at most `length`
// 32-bit units of it from `offset`; empty when missing or on any error. `after` gets the bytes
// left unread, `actualType` the property's type.
struct PropertyData {
  int format = 0;
  Atom type = None;
  unsigned long after = 0;
  std::vector<unsigned char> bytes;   // format 8
  std::vector<unsigned long> values;  // format 32
};
PropertyData ReadProperty(Display* d, Window w, Atom property, Atom type, long length);

// One 32-bit-format property as a list of values; empty when missing or on any error.
std::vector<unsigned long> Longs(Display* d, Window w, const char* property, Atom type,
                                 long length = 64);

// A window's title: _NET_WM_NAME in UTF-8, else WM_NAME in whatever encoding it carries; read no
// further than `characters` characters need (a title can be megabytes long).
std::u16string Title(Display* d, Window w, std::size_t characters);

// A client message about `about` to the window manager, through the root window, as EWMH asks.
void SendToWindowManager(Display* d, Window about, const char* type, long a0, long a1 = 0,
                         long a2 = 0);

// Asks the window manager to make `w` the active window, as a task bar would (source indication
// 2, a request on the user's behalf, which focus-stealing prevention allows).
void RequestActivation(Display* d, Window w);

}  // namespace navelo::platform::x11
