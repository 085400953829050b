#pragma once

#include <QObject>
#include <memory>

#include "platform/system.h"

class QSocketNotifier;

namespace navelo::ui {

// The program's directory, ending at once, and the termination requests of a Linux process:
// SIGTERM, SIGINT, SIGHUP and the end of the desktop session. Needs a running QGuiApplication.
class LinuxProgram final : public QObject, public platform::ProgramService {
 public:
  LinuxProgram();
  ~LinuxProgram() override;

  std::string ProgramDirectory() const override;
  std::string JoinPath(const std::string& dir, const std::string& name) const override;
  [[noreturn]] void EndNow(int code) override;
  void OnTerminationRequest(std::function<void()> handler) override;

 private:
  void Fire();

  std::function<void()> handler_;
  bool fired_ = false;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace navelo::ui
