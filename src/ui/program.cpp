#include "ui/program.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace navelo::ui {
namespace {

// Written to by the signal handler, read on the GUI thread.
int gSignalPipe[2] = {-1, -1};

extern "C" void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] ssize_t n = ::write(gSignalPipe[1], &byte, 1);
}

// The program whose exit handler runs when the process calls exit(); the callback exit() runs
// takes no arguments, so this is how it finds it.
LinuxProgram* gExiting = nullptr;

}  // namespace

void LinuxProgram::RunExitHandler() {
  if (gExiting == nullptr || !gExiting->exitHandler_) return;
  auto handler = std::move(gExiting->exitHandler_);
  gExiting->exitHandler_ = nullptr;
  handler();
}

void IgnoreBrokenPipes() {
  std::signal(SIGPIPE, SIG_IGN);
}

LinuxProgram::LinuxProgram() = default;

LinuxProgram::~LinuxProgram() {
  if (gExiting == this) gExiting = nullptr;
}

std::string LinuxProgram::ProgramDirectory() const {
  std::vector<char> buffer(4096);
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return ".";
  std::string path(buffer.data(), static_cast<std::size_t>(n));
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string LinuxProgram::JoinPath(const std::string& dir, const std::string& name) const {
  if (!dir.empty() && dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

void LinuxProgram::EndNow(int code) {
  std::fflush(nullptr);
  ::_exit(code);
}

void LinuxProgram::OnTerminationRequest(std::function<void()> handler) {
  handler_ = std::move(handler);
  if (notifier_ == nullptr &&
      ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) == 0) {
    ::fcntl(gSignalPipe[1], F_SETFL, O_NONBLOCK);
    notifier_ = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, this);
    QObject::connect(notifier_, &QSocketNotifier::activated, this, [this] {
      char byte;
      [[maybe_unused]] ssize_t n = ::read(gSignalPipe[0], &byte, 1);
      Fire();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) ::sigaction(sig, &action, nullptr);
  }
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    QObject::connect(
        app, &QGuiApplication::commitDataRequest, this, [this] { Fire(); }, Qt::DirectConnection);
  }
}

void LinuxProgram::OnExitWithoutClose(std::function<void()> handler) {
  exitHandler_ = std::move(handler);
  if (gExiting == nullptr) {
    gExiting = this;
    std::atexit(&LinuxProgram::RunExitHandler);
  }
}

void LinuxProgram::Fire() {
  if (!handler_) return;
  // The first handler is still running: it waits on a message nobody answers.
  if (fired_) EndNow(0);
  fired_ = true;
  handler_();
}

}  // namespace navelo::ui
