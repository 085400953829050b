#include "platform/x11/x11_util.h"

#include <X11/Xutil.h>

#include "base/utf8.h"

namespace navelo::platform::x11 {

PropertyData ReadProperty(Display* d, Window w, Atom property, Atom type, long length) {
  PropertyData out;
  unsigned long count = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, property, 0, length, False, type, &out.type, &out.format, &count,
                         &out.after, &data) != Success ||
      data == nullptr) {
    return {};
  }
  if (out.format == 8) out.bytes.assign(data, data + count);
  if (out.format == 32) {
    const auto* values = reinterpret_cast<const unsigned long*>(data);
    out.values.assign(values, values + count);
  }
  XFree(data);
  return out;
}

std::vector<unsigned long> Longs(Display* d, Window w, const char* property, Atom type,
                                 long length) {
  return ReadProperty(d, w, A(d, property), type, length).values;
}

std::u16string Title(Display* d, Window w, std::size_t characters) {
  // Four bytes at most for a character in UTF-8, in 32-bit units.
  const long utf8Units = static_cast<long>(characters);
  const PropertyData net = ReadProperty(d, w, A(d, "_NET_WM_NAME"), A(d, "UTF8_STRING"), utf8Units);
  if (!net.bytes.empty()) {
    std::u16string title = FromUtf8(std::string(net.bytes.begin(), net.bytes.end()));
    // A character cut at the end of what was read decodes as U+FFFD: past the characters kept.
    if (net.after > 0 && title.size() > characters) title.resize(characters);
    return title;
  }
  // Compound text spends escape sequences besides up to two bytes a character: a generous cap.
  PropertyData name = ReadProperty(d, w, XA_WM_NAME, AnyPropertyType, 4 * utf8Units);
  if (name.format != 8) return {};
  const unsigned long length = name.bytes.size();
  name.bytes.push_back(0);  // as Xlib hands text properties over: ended by a NUL beyond them
  XTextProperty text{name.bytes.data(), name.type, name.format, length};
  std::u16string title;
  char** list = nullptr;
  int n = 0;
  if (Xutf8TextPropertyToTextList(d, &text, &list, &n) >= Success && list != nullptr) {
    if (n > 0 && list[0] != nullptr) title = FromUtf8(list[0]);
    XFreeStringList(list);
  } else if (name.type == XA_STRING) {
    // Latin-1.
    for (unsigned long i = 0; i < length; ++i) title.push_back(name.bytes[i]);
  }
  if (name.after > 0 && title.size() > characters) title.resize(characters);
  return title;
}

void SendToWindowManager(Display* d, Window about, const char* type, long a0, long a1, long a2) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = about;
  e.xclient.message_type = A(d, type);
  e.xclient.format = 32;
  e.xclient.data.l[0] = a0;
  e.xclient.data.l[1] = a1;
  e.xclient.data.l[2] = a2;
  XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

void RequestActivation(Display* d, Window w) {
  SendToWindowManager(d, w, "_NET_ACTIVE_WINDOW", 2, CurrentTime, 0);
}

}  // namespace navelo::platform::x11
