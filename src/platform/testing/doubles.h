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

// Windows with titles, as the test sets them up. Activation makes a window active at once unless
// refused; typed keys land in the window active at each key.
class FakeWindowSystem final : public WindowSystem {
 public:
  WindowHandle ActiveWindow() override { return active; }
  std::u16string Title(WindowHandle window) override {
    auto it = titles.find(window);
    return it == titles.end() ? std::u16string() : it->second;
  }
  bool Activate(WindowHandle window) override {
    if (titles.count(window) == 0) return false;
    if (!refuseActivation) active = window;
    ++activations;
    if (afterActivate) afterActivate(activations);
    return true;
  }
  Typing PrepareTyping(std::u16string_view text) override {
    prepared = text;
    ++prepares;
    return typing;
  }
  bool TypePrepared(const std::function<bool()>& mayType) override {
    for (std::size_t i = 0; i < prepared.size(); ++i) {
      if (beforeKey) beforeKey(i);
      if (!mayType()) return false;
      typed[active] += prepared[i];
    }
    return true;
  }
  void RestoreKeyboard() override { ++restores; }
  void Beep() override { ++beeps; }

  std::map<WindowHandle, std::u16string> titles;  // the windows that exist
  WindowHandle active = 0;
  bool refuseActivation = false;
  Typing typing;
  std::function<void(std::size_t typedSoFar)> beforeKey;
  std::function<void(int activationsSoFar)> afterActivate;
  std::u16string prepared;
  std::map<WindowHandle, std::u16string> typed;
  int prepares = 0;
  int activations = 0;
  int restores = 0;
  int beeps = 0;
};

}  // namespace navelo::platform::testing
