#include "platform/x11/x11_front.h"

// clang-format off
#include <X11/Xlib.h>
#include <X11/Xatom.h>
// clang-format on

#include <vector>

namespace navelo::platform::x11 {
namespace {

// The raw bytes of a property, or nothing.
std::vector<unsigned char> Property(Display* d, Window w, const char* name, Atom type,
                                    int* format) {
  std::vector<unsigned char> out;
  Atom actual = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1 << 16, False, type, &actual,
                         format, &count, &after, &data) == Success &&
      data != nullptr) {
    const std::size_t unit = *format == 32 ? sizeof(long) : static_cast<std::size_t>(*format / 8);
    out.assign(data, data + count * unit);
    XFree(data);
  }
  return out;
}

std::vector<Window> Windows(Display* d, Window w, const char* name) {
  int format = 0;
  auto bytes = Property(d, w, name, XA_WINDOW, &format);
  if (format != 32) return {};
  const auto* ids = reinterpret_cast<const long*>(bytes.data());
  return std::vector<Window>(ids, ids + bytes.size() / sizeof(long));
}

}  // namespace

bool BringWindowOfProcessToFront(X11Connection& connection, pid_t pid, const std::string& title) {
  auto* d = static_cast<Display*>(connection.display());
  if (d == nullptr || pid <= 0) return false;
  const Window root = DefaultRootWindow(d);
  for (Window w : Windows(d, root, "_NET_CLIENT_LIST")) {
    int format = 0;
    auto owner = Property(d, w, "_NET_WM_PID", XA_CARDINAL, &format);
    if (format != 32 || owner.size() < sizeof(long) ||
        *reinterpret_cast<const long*>(owner.data()) != pid) {
      continue;
    }
    auto name = Property(d, w, "_NET_WM_NAME", XInternAtom(d, "UTF8_STRING", False), &format);
    if (std::string(name.begin(), name.end()) != title) continue;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 2;  // asked for by the user, as through a task bar
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XSync(d, False);
    return true;
  }
  return false;
}

}  // namespace navelo::platform::x11
