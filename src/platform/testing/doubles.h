#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/system.h"
#include "platform/windows.h"

namespace navelo::platform::testing {

// Files in memory. A path can be marked unreadable or its folder unwritable.
class MemoryFileStore final : public FileStore {
 public:
  FileRead Read(const std::string& path) const override;
  std::optional<std::string> Replace(const std::string& path, const std::string& bytes) override;

  std::map<std::string, std::string> files;
  std::map<std::string, std::string> unreadable;  // path -> reason
  std::optional<std::string> failWrites;          // reason every Replace fails with
  int replaceCount = 0;
  mutable int readCount = 0;
};

class RecordingMessageBox final : public MessageBoxService {
 public:
  void Show(const std::u16string& text, const std::u16string& title) override {
    shown.push_back({title, text});
    if (onShow) onShow(text);
  }
  struct Message {
    std::u16string title;
    std::u16string text;
  };
  std::vector<Message> shown;
  std::function<void(const std::u16string&)> onShow;
};

class RecordingShell final : public ShellService {
 public:
  bool Open(const std::u16string& target) override {
    opened.push_back(target);
    return !target.empty();
  }
  std::vector<std::u16string> opened;
};

class RecordingTopmost final : public TopmostService {
 public:
  void SetTopmost(WindowHandle window, bool on) override { calls.push_back({window, on}); }
  struct Call {
    WindowHandle window;
    bool on;
  };
  std::vector<Call> calls;
};

// A program living in `directory`; EndNow throws so a test can observe it.
class FakeProgram final : public ProgramService {
 public:
  struct Ended {
    int code;
  };
  std::string ProgramDirectory() const override { return directory; }
  std::string JoinPath(const std::string& dir, const std::string& name) const override {
    return dir + "/" + name;
  }
  [[noreturn]] void EndNow(int code) override { throw Ended{code}; }
  void OnTerminationRequest(std::function<void()> handler) override {
    terminationHandler = std::move(handler);
  }
  std::string directory = "/opt/navelo";
  std::function<void()> terminationHandler;
};

// The foreground window is whatever the test says it is.
class FakeForeground final : public ForegroundService {
 public:
  WindowInfo Foreground() override { return current; }
  WindowInfo current;
};

// Records deliveries and completes them at once.
class RecordingKeystrokes final : public KeystrokeService {
 public:
  void Deliver(WindowHandle target, std::u16string text,
               std::function<void(Result)> done) override {
    delivered.push_back({target, text});
    if (done) done(Result::kTyped);
  }
  struct Delivery {
    WindowHandle target;
    std::u16string text;
  };
  std::vector<Delivery> delivered;
};

}  // namespace navelo::platform::testing
