#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/settings_home.h"
#include "platform/system.h"
#include "platform/window_system.h"

namespace navelo::platform::testing {

// Files in memory. A path can be marked unreadable or its folder unwritable.
class MemoryFileStore final : public FileStore {
 public:
  FileRead Read(const std::string& path) const override;
  bool Exists(const std::string& path) const override { return files.count(path) != 0; }
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

// A program living in `directory`; EndNow throws so a test can observe it.
class FakeProgram final : public ProgramService {
 public:
  struct Ended {
    int code;
  };
  std::string ProgramDirectory() const override { return directory; }
  std::string JoinPath(const std::string& dir, const std::string& name) const override {
    return dir + separator + name;
  }
  [[noreturn]] void EndNow(int code) override { throw Ended{code}; }
  void OnTerminationRequest(std::function<void()> handler) override {
    terminationHandler = std::move(handler);
  }
  void OnExitWithoutClose(std::function<void()> handler) override {
    exitHandler = std::move(handler);
  }
  std::string directory = "/opt/navelo";
  char separator = '/';
  std::function<void()> terminationHandler;
  std::function<void()> exitHandler;
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
  bool RunsAboveUs(WindowHandle window) override { return aboveUs.count(window) != 0; }
  void RestoreKeyboard() override { ++restores; }
  void Beep() override { ++beeps; }

  std::map<WindowHandle, std::u16string> titles;  // the windows that exist
  std::set<WindowHandle> aboveUs;                 // programs running with more rights
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

// A desktop of the fakes above, recording what is asked of Navelo's own windows.
class FakeDesktop final : public Desktop {
 public:
  std::string name() const override { return "fake"; }
  DesktopCapabilities capabilities() const override { return caps; }
  DesktopNotice notice() const override { return startNotice; }
  ForegroundService& foreground() override { return *front; }
  WindowSystem& windows() override { return system; }
  void KeepAbove(WindowHandle window, bool on) override { above.push_back({window, on}); }
  void SetTitleButtons(WindowHandle window, TitleButtons buttons) override {
    titleButtons.push_back({window, buttons});
  }
  bool BringForward(long processId) override {
    broughtForward.push_back(processId);
    return true;
  }

  DesktopCapabilities caps;
  DesktopNotice startNotice = DesktopNotice::kNone;
  FakeForeground foregroundWindow;
  ForegroundService* front = &foregroundWindow;  // another foreground service, when a test says so
  FakeWindowSystem system;
  struct Above {
    WindowHandle window;
    bool on;
  };
  std::vector<Above> above;
  std::vector<std::pair<WindowHandle, TitleButtons>> titleButtons;
  std::vector<long> broughtForward;
};

// The settings file at a fixed place, with a lock in the state the test says.
class FakeSettingsHome final : public SettingsHome {
 public:
  class Lock final : public InstanceLock {
   public:
    Lock(State state, long holder, std::string path) {
      state_ = state;
      holder_ = holder;
      path_ = std::move(path);
      if (state == State::kUnavailable) error_ = "refused";
    }
  };

  SettingsLocation Locate(const std::string&, std::string* folderError) override {
    if (folderError) *folderError = this->folderError;
    return location;
  }
  std::unique_ptr<InstanceLock> Lock(const std::string& settingsPath) override {
    return std::make_unique<class Lock>(lockState, holder, settingsPath + ".lock");
  }
  std::vector<std::string> RemoveStrayTemporaries(const std::string& settingsPath) override {
    cleared.push_back(settingsPath);
    return {};
  }

  SettingsLocation location{"/opt/navelo/Navelo.INI", "/opt/navelo/Navelo.INI"};
  std::string folderError;
  InstanceLock::State lockState = InstanceLock::State::kHeld;
  long holder = 0;
  std::vector<std::string> cleared;
};

}  // namespace navelo::platform::testing
