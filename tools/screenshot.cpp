// Saves a PNG of the top-level window with the given title, frame included, or of a rectangle
// inside it (pixels from its top-left corner, frame excluded):
//   navelo_screenshot OUT.png TITLE [TIMEOUT_SECONDS [X Y WIDTH HEIGHT]]
// Waits for the window to be mapped. Exits 1 when it does not appear.
// Qt before Xlib: Xlib's macros (Bool, Status, CursorShape) break Qt's headers.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xatom.h>
// clang-format on
#include <cstdio>
#include <cstring>
#include <string>

namespace {

unsigned long* Property(Display* d, Window w, const char* name, Atom type, unsigned long* count) {
  Atom actual;
  int format;
  unsigned long after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1024, False, type, &actual, &format,
                         count, &after, &data) != Success ||
      format != 32) {
    if (data) XFree(data);
    *count = 0;
    return nullptr;
  }
  return reinterpret_cast<unsigned long*>(data);
}

std::string Title(Display* d, Window w) {
  Atom actual;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 1024, False,
                         XInternAtom(d, "UTF8_STRING", False), &actual, &format, &count, &after,
                         &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return title;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUT.png TITLE [TIMEOUT_SECONDS [X Y WIDTH HEIGHT]]\n", argv[0]);
    return 2;
  }
  QGuiApplication app(argc, argv);
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  const int timeoutMs = (argc > 3 ? std::atoi(argv[3]) : 10) * 1000;
  for (int waited = 0; waited <= timeoutMs; waited += 100) {
    unsigned long count = 0;
    unsigned long* clients =
        Property(d, DefaultRootWindow(d), "_NET_CLIENT_LIST", XA_WINDOW, &count);
    for (unsigned long i = 0; i < count; ++i) {
      Window w = clients[i];
      if (Title(d, w) != argv[2]) continue;
      unsigned long n = 0;
      unsigned long* extents = Property(d, w, "_NET_FRAME_EXTENTS", XA_CARDINAL, &n);
      XWindowAttributes attrs;
      XGetWindowAttributes(d, w, &attrs);
      int x = 0, y = 0;
      Window child;
      XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child);
      int left = 0, right = 0, top = 0, bottom = 0;
      if (extents && n == 4) {
        left = static_cast<int>(extents[0]);
        right = static_cast<int>(extents[1]);
        top = static_cast<int>(extents[2]);
        bottom = static_cast<int>(extents[3]);
      }
      if (extents) XFree(extents);
      XFree(clients);
      QThread::msleep(700);  // let the window paint
      QPixmap shot =
          argc > 7
              ? QGuiApplication::primaryScreen()->grabWindow(0, x + std::atoi(argv[4]),
                                                             y + std::atoi(argv[5]),
                                                             std::atoi(argv[6]), std::atoi(argv[7]))
              : QGuiApplication::primaryScreen()->grabWindow(
                    0, x - left, y - top, attrs.width + left + right, attrs.height + top + bottom);
      return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
    }
    if (clients) XFree(clients);
    QThread::msleep(100);
  }
  std::fprintf(stderr, "no window titled %s appeared\n", argv[2]);
  return 1;
}
