#pragma once

#include <QObject>
#include <memory>

#include "platform/system.h"

class QSocketNotifier;

namespace navelo::ui {

// Makes writing to a closed pipe or socket an error the writer sees instead of a signal that ends
// the process: a panel started with its output on a pipe nobody reads keeps running. Call it first
// thing, before the toolkit may print anything.
void IgnoreBrokenPipes();

// The program's directory, ending at once, and the termination requests of a Linux process:
// SIGTERM, SIGINT, SIGHUP, SIGQUIT and the end of the desktop session. Needs a running
// QGuiApplication.
class LinuxProgram final : public QObject, public platform::ProgramService {
 public:
  LinuxProgram();
  ~LinuxProgram() override;

  // A request that comes while the handler of an earlier one has not finished (it is showing a
  // message nobody answers) ends the process at once, so a stop request is never stuck.

  std::string ProgramDirectory() const override;
  std::string JoinPath(const std::string& dir, const std::string& name) const override;
  [[noreturn]] void EndNow(int code) override;
  void OnTerminationRequest(std::function<void()> handler) override;

  // Runs `handler` once if the process ends through exit() while this object lives: what the
  // toolkit does when the connection to the display breaks. Nothing may be shown then.
  void OnExitWithoutClose(std::function<void()> handler) override;

 private:
  static void RunExitHandler();
  void Fire();

  std::function<void()> handler_;
  std::function<void()> exitHandler_;
  bool fired_ = false;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace navelo::ui
