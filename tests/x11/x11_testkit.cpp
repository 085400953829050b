#include "x11_testkit.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <sstream>
#include <thread>

namespace navelo::testkit {
namespace {

int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

}  // namespace

Desktop::Desktop() {
  if (std::getenv("DISPLAY") == nullptr) return;
  display_ = XOpenDisplay(nullptr);
  if (display_) XSetErrorHandler(IgnoreErrors);
}

Desktop::~Desktop() {
  if (display_) XCloseDisplay(display_);
}

std::vector<unsigned long> Desktop::CardinalList(Window w, const char* property, Atom type) {
  std::vector<unsigned long> out;
  Atom actual;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display_, w, XInternAtom(display_, property, False), 0, 1024, False, type,
                         &actual, &format, &count, &after, &data) == Success &&
      data) {
    if (format == 32) {
      auto* values = reinterpret_cast<unsigned long*>(data);
      out.assign(values, values + count);
    }
    XFree(data);
  }
  return out;
}

std::vector<Window> Desktop::ClientWindows() {
  std::vector<Window> out;
  for (unsigned long w : CardinalList(DefaultRootWindow(display_), "_NET_CLIENT_LIST", XA_WINDOW))
    out.push_back(w);
  return out;
}

std::vector<unsigned long> Desktop::MotifHints(Window w) {
  return CardinalList(w, "_MOTIF_WM_HINTS", XInternAtom(display_, "_MOTIF_WM_HINTS", False));
}

std::string Desktop::WindowManagerName() {
  auto check = CardinalList(DefaultRootWindow(display_), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
  return check.empty() ? std::string() : Title(check[0]);
}

std::optional<Desktop::TitleBarButtons> Desktop::Xfwm4TitleBarButtons(Window w) {
  auto extents = CardinalList(w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
  Window root = 0, frame = 0, *children = nullptr;
  unsigned int count = 0;
  if (extents.size() != 4 || extents[2] == 0 ||
      !XQueryTree(display_, w, &root, &frame, &children, &count))
    return std::nullopt;
  if (children) XFree(children);
  XWindowAttributes frameAttrs;
  if (frame == root || !XGetWindowAttributes(display_, frame, &frameAttrs) ||
      !XQueryTree(display_, frame, &root, &frame, &children, &count))
    return std::nullopt;
  // The title bar's pieces are the frame's children at its top, as high as the title bar: the two
  // corners (touching the frame's sides), the title (the widest, under the buttons) and the
  // buttons, which sit in the left or the right half.
  struct Piece {
    int x, width;
  };
  std::vector<Piece> pieces;
  const int titleHeight = static_cast<int>(extents[2]);
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes a;
    if (children[i] == w || !XGetWindowAttributes(display_, children[i], &a)) continue;
    if (a.map_state != IsViewable || a.y != 0 || a.height != titleHeight) continue;
    if (a.x == 0 || a.x + a.width == frameAttrs.width) continue;
    pieces.push_back({a.x, a.width});
  }
  if (children) XFree(children);
  if (pieces.empty()) return std::nullopt;
  auto title = std::max_element(pieces.begin(), pieces.end(),
                                [](const Piece& a, const Piece& b) { return a.width < b.width; });
  TitleBarButtons buttons;
  for (auto p = pieces.begin(); p != pieces.end(); ++p) {
    if (p == title) continue;
    (2 * p->x + p->width < frameAttrs.width ? buttons.left : buttons.right) += 1;
  }
  return buttons;
}

std::string Desktop::Title(Window w) {
  Atom actual;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display_, w, XInternAtom(display_, "_NET_WM_NAME", False), 0, 1024, False,
                         XInternAtom(display_, "UTF8_STRING", False), &actual, &format, &count,
                         &after, &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return title;
}

std::optional<long> Desktop::Pid(Window w) {
  auto values = CardinalList(w, "_NET_WM_PID", XA_CARDINAL);
  if (values.empty()) return std::nullopt;
  return static_cast<long>(values[0]);
}

std::vector<std::string> Desktop::AtomNames(Window w, const char* property) {
  std::vector<std::string> out;
  for (unsigned long atom : CardinalList(w, property, XA_ATOM)) {
    if (char* name = XGetAtomName(display_, atom)) {
      out.emplace_back(name);
      XFree(name);
    }
  }
  return out;
}

std::optional<std::pair<int, int>> Desktop::FramePosition(Window w) {
  auto extents = CardinalList(w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
  int x = 0, y = 0;
  Window child;
  if (!XTranslateCoordinates(display_, w, DefaultRootWindow(display_), 0, 0, &x, &y, &child))
    return std::nullopt;
  if (extents.size() == 4) {
    x -= static_cast<int>(extents[0]);
    y -= static_cast<int>(extents[2]);
  }
  return std::make_pair(x, y);
}

std::optional<std::pair<int, int>> Desktop::ClientOrigin(Window w) {
  int x = 0, y = 0;
  Window child;
  if (!XTranslateCoordinates(display_, w, DefaultRootWindow(display_), 0, 0, &x, &y, &child))
    return std::nullopt;
  return std::make_pair(x, y);
}

std::optional<std::pair<int, int>> Desktop::ClientSize(Window w) {
  XWindowAttributes attrs;
  if (!XGetWindowAttributes(display_, w, &attrs)) return std::nullopt;
  return std::make_pair(attrs.width, attrs.height);
}

void Desktop::Activate(Window w) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = 2;
  XSendEvent(display_, DefaultRootWindow(display_), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &e);
  XFlush(display_);
}

void Desktop::PressKey(KeySym key) {
  const KeyCode code = XKeysymToKeycode(display_, key);
  XTestFakeKeyEvent(display_, code, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, False, CurrentTime);
  XSync(display_, False);
}

std::chrono::system_clock::time_point Desktop::Click(int x, int y) {
  // At a person's pace: point, press, release, and a pause before the next click.
  XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
  XSync(display_, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  XTestFakeButtonEvent(display_, 1, True, CurrentTime);
  XSync(display_, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  XTestFakeButtonEvent(display_, 1, False, CurrentTime);
  XSync(display_, False);
  const auto released = std::chrono::system_clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  return released;
}

Window Desktop::ActiveWindow() {
  auto values = CardinalList(DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW", XA_WINDOW);
  return values.empty() ? 0 : values[0];
}

bool WaitFor(const std::function<bool()>& ready, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return ready();
}

Child::Child(std::vector<std::string> argv, std::string log)
    : argv_(std::move(argv)), log_(std::move(log)) {}

Child::~Child() {
  if (pid_ > 0) Stop(SIGKILL);
}

void Child::Start() {
  pid_ = ::fork();
  if (pid_ == 0) {
    std::vector<char*> args;
    for (auto& a : argv_) args.push_back(a.data());
    args.push_back(nullptr);
    if (!log_.empty()) {
      int fd = ::open(log_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
      if (fd >= 0) {
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        ::close(fd);
      }
    }
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
}

int Child::Stop(int signal) {
  if (pid_ <= 0) return -1;
  ::kill(pid_, signal);
  int status = 0;
  // A program that does not end (say, one waiting in a message box) is killed after ten seconds,
  // and its status tells so, rather than holding up the test.
  if (!WaitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; })) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
  }
  pid_ = -1;
  return status;
}

std::optional<int> Child::WaitExit(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (pid_ > 0) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return status;
    }
    if (std::chrono::steady_clock::now() > deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return std::nullopt;
}

std::optional<Window> Child::FindWindow(Desktop& desktop, const std::string& title) {
  for (Window w : desktop.ClientWindows()) {
    if (desktop.Pid(w) == pid_ && desktop.Title(w) == title) return w;
  }
  return std::nullopt;
}

TypingTarget::TypingTarget(const std::string& executable, const std::string& title, int fields)
    : out_(std::filesystem::temp_directory_path() /
           ("navelo-target-" + std::to_string(::getpid()) + "-" +
            std::to_string(std::hash<std::string>{}(title)))),
      title_(title),
      child_({executable, title, std::to_string(fields), out_.string()}) {
  std::filesystem::remove(out_);
  child_.Start();
}

TypingTarget::~TypingTarget() {
  child_.Stop(SIGKILL);
  std::filesystem::remove(out_);
}

std::optional<Window> TypingTarget::WaitForWindow(Desktop& desktop) {
  std::optional<Window> w;
  WaitFor([&] {
    w = child_.FindWindow(desktop, title_);
    return w.has_value() && std::filesystem::exists(out_);
  });
  return w;
}

std::vector<std::string> TypingTarget::Fields() const {
  std::vector<std::string> fields;
  std::ifstream in(out_, std::ios::binary);
  for (std::string line; std::getline(in, line);) fields.push_back(line);
  if (!fields.empty()) fields.pop_back();  // the focus line
  return fields;
}

bool TypingTarget::Active() const {
  std::ifstream in(out_, std::ios::binary);
  std::string line, last;
  while (std::getline(in, line)) last = line;
  return last == "active";
}

namespace {

std::filesystem::path FreshFolder() {
  static int counter = 0;
  auto dir = std::filesystem::temp_directory_path() /
             ("navelo-x11-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace

namespace {

std::vector<std::string> With(std::vector<std::string> argv, std::string last) {
  argv.push_back(std::move(last));
  return argv;
}

}  // namespace

NaveloProcess::NaveloProcess(const std::string& executable, const std::string& settings,
                             std::vector<std::string> runAs)
    : dir_(FreshFolder()), child_(With(std::move(runAs), (dir_ / "navelo").string())) {
  std::filesystem::copy_file(executable, dir_ / "navelo");
  if (!settings.empty()) std::ofstream(dir_ / "Navelo.INI", std::ios::binary) << settings;
}

NaveloProcess::~NaveloProcess() {
  child_.Stop(SIGKILL);
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string NaveloProcess::Settings() const {
  std::ifstream in(dir_ / "Navelo.INI", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::optional<Window> NaveloProcess::FindPanel(Desktop& desktop) {
  for (Window w : desktop.ClientWindows()) {
    if (desktop.Pid(w) == child_.pid() && desktop.Title(w) == "Navelo") return w;
  }
  return std::nullopt;
}

namespace {

const char* kPageTemplate = R"(<!doctype html><html><head><meta charset="utf-8">
<title>TITLE</title></head><body>FIELDS
<script>
const f = [...document.querySelectorAll('input')];
function report() { console.log('FIELDS:' + JSON.stringify(f.map(x => x.value))); }
f.forEach(x => x.addEventListener('input', report));
// "#rename=TITLE" in its address: the page takes that title when it is left after a stay of
// at least 1.5 s in front (long enough for any watcher to have seen it; a browser passing the
// focus about as it opens windows renames nothing).
const renamed = new URLSearchParams(location.hash.slice(1)).get('rename');
let focusedAt = document.hasFocus() ? Date.now() : null;
window.addEventListener('focus', () => { focusedAt = Date.now(); });
if (renamed) window.addEventListener('blur', () => {
  if (focusedAt !== null && Date.now() - focusedAt >= 1500) document.title = renamed;
  focusedAt = null;
});
// Coming back to the page after leaving it starts it afresh: empty, first field focused.
let left = false;
window.addEventListener('blur', () => { left = true; });
window.addEventListener('focus', () => {
  if (!left) return;
  left = false;
  f.forEach(x => x.value = '');
  f[0].focus();
});
</script></body></html>)";

std::string Page(const std::string& title, int fields) {
  std::string inputs = "<input autofocus>";
  for (int i = 1; i < fields; ++i) inputs += "<input>";
  std::string page = kPageTemplate;
  page.replace(page.find("TITLE"), 5, title);
  page.replace(page.find("FIELDS"), 6, inputs);
  return page;
}

}  // namespace

BrowserPages::BrowserPages(std::vector<std::string> flags) : flags_(std::move(flags)) {
  dir_ = std::filesystem::temp_directory_path() / ("navelo-pages-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  std::ofstream(dir_ / "shoukai.html") << Page("IPAT照会ログイン", 3);
  // A second inquiry page, in a window of its own.
  std::ofstream(dir_ / "shoukai2.html") << Page("IPAT照会ログイン", 3);
  std::ofstream(dir_ / "touhyou.html") << Page("IPAT合計金額入力", 4);
  log_ = dir_ / "browser.log";
}

BrowserPages::~BrowserPages() {
  children_.clear();
  // The browser's helper processes may still be writing their profile as they end: clear what
  // is there, a few times, and never throw from here.
  std::error_code error;
  for (int attempt = 0; attempt < 5 && std::filesystem::exists(dir_, error); ++attempt) {
    std::filesystem::remove_all(dir_, error);
    if (error) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

std::optional<std::string> BrowserPages::FindBrowser() {
  for (const char* candidate : {"/usr/bin/chromium", "/usr/bin/chromium-browser"}) {
    if (std::filesystem::exists(candidate)) return std::string(candidate);
  }
  return std::nullopt;
}

void BrowserPages::Open(const std::string& page, int x) {
  std::vector<std::string> argv{FindBrowser().value_or("chromium"),
                                "--no-sandbox",
                                "--disable-gpu",
                                "--no-first-run",
                                "--disable-background-networking",
                                "--disable-component-update",
                                "--disable-sync",
                                "--password-store=basic",
                                "--user-data-dir=" + (dir_ / "profile").string(),
                                "--enable-logging=stderr",
                                "--window-size=400,300",
                                "--window-position=" + std::to_string(x) + ",100",
                                "--app=file://" + (dir_ / page).string()};
  argv.insert(argv.begin() + 1, flags_.begin(), flags_.end());
  auto child = std::make_unique<Child>(std::move(argv), log_.string());
  child->Start();
  children_.push_back(std::move(child));
}

std::optional<Window> BrowserPages::WindowTitled(Desktop& desktop, const std::string& title) {
  std::optional<Window> found;
  WaitFor(
      [&] {
        for (Window w : desktop.ClientWindows()) {
          if (desktop.Title(w) == title) {
            found = w;
            return true;
          }
        }
        return false;
      },
      std::chrono::seconds(30));
  return found;
}

std::size_t BrowserPages::LogSize() const {
  std::error_code ec;
  auto size = std::filesystem::file_size(log_, ec);
  return ec ? 0 : static_cast<std::size_t>(size);
}

std::string BrowserPages::LogFrom(std::size_t offset) const {
  std::ifstream in(log_, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string all = text.str();
  return offset < all.size() ? all.substr(offset) : std::string();
}

bool BrowserPages::Shows(std::size_t offset, const std::string& json,
                         std::chrono::milliseconds timeout) const {
  return WaitFor([&] { return LogFrom(offset).find("FIELDS:" + json) != std::string::npos; },
                 timeout);
}

std::optional<std::chrono::system_clock::time_point> BrowserPages::ShownAt(
    std::size_t offset, const std::string& json) const {
  // A log line starts "[pid:tid:MMDD/HHMMSS.micros:INFO:CONSOLE...]", in local time.
  const std::string text = LogFrom(offset);
  const auto at = text.find("FIELDS:" + json);
  if (at == std::string::npos) return std::nullopt;
  const auto lineStart = text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1;
  const auto slash = text.find('/', lineStart);
  if (slash == std::string::npos || slash + 14 > text.size()) return std::nullopt;
  const int hh = std::stoi(text.substr(slash + 1, 2));
  const int mm = std::stoi(text.substr(slash + 3, 2));
  const int ss = std::stoi(text.substr(slash + 5, 2));
  const long micros = std::stol(text.substr(slash + 8, 6));
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  local.tm_hour = hh;
  local.tm_min = mm;
  local.tm_sec = ss;
  return std::chrono::system_clock::from_time_t(std::mktime(&local)) +
         std::chrono::microseconds(micros);
}

bool PanelDriver::FocusPageThenPanel(Window page) {
  desktop_.Activate(panel_);
  if (!WaitFor([&] {
        return desktop_.ActiveWindow() == panel_ &&
               desktop_.ClientSize(panel_)->second == fullHeight_;
      })) {
    return false;
  }
  desktop_.Activate(page);
  if (!WaitFor([&] { return desktop_.ActiveWindow() == page; })) return false;
  if (!WaitFor([&] { return desktop_.ClientSize(panel_)->second < 10; })) return false;
  auto origin = desktop_.ClientOrigin(panel_).value();
  desktop_.Click(origin.first + 25, origin.second - 10);  // the caption's title area
  if (!WaitFor([&] { return desktop_.ClientSize(panel_)->second == fullHeight_; })) return false;
  // A person needs a moment to aim at a button. The panel has taken in its new size by then,
  // even on a busy machine (where that has been seen to take half a second): a click the
  // toolkit reads against the window's old size is lost.
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  return true;
}

std::chrono::system_clock::time_point PanelDriver::Click(int x, int y) {
  auto origin = desktop_.ClientOrigin(panel_).value();
  // The client area lies below the menu bar, at the bottom of the window.
  const int clientTop = fullHeight_ - 241;
  return desktop_.Click(origin.first + x, origin.second + clientTop + y);
}

}  // namespace navelo::testkit
