#include "app/settings_claim.h"

#include <QWidget>
#include <cstdio>

#include "forms/geometry.h"
#include "platform/posix/file_store.h"
#include "platform/posix/settings_location.h"
#include "platform/x11/x11_front.h"

namespace navelo {

std::optional<ClaimedSettingsFile> ClaimSettingsFile(const std::string& programDirectory,
                                                     platform::x11::X11Connection& x11) {
  using Lock = platform::posix::InstanceLock;
  std::string folderError;
  const SettingsLocation location =
      platform::posix::FindSettingsLocation(programDirectory, &folderError);
  if (!folderError.empty()) {
    std::fprintf(stderr, "Navelo: cannot make the settings folder: %s\n", folderError.c_str());
  }
  auto lock = std::make_unique<Lock>(location.savePath);
  switch (lock->state()) {
    case Lock::State::kTaken:
      std::fprintf(stderr,
                   "Navelo: %s is in use by another Navelo; bringing that one to the front\n",
                   location.savePath.c_str());
      platform::x11::BringWindowOfProcessToFront(x11, lock->holder(), "Navelo");
      return std::nullopt;
    case Lock::State::kUnavailable:
      // Nowhere to keep a lock is nowhere to save either; saving will say so.
      std::fprintf(stderr, "Navelo: cannot lock %s: %s\n", lock->path().c_str(),
                   lock->error().c_str());
      break;
    case Lock::State::kHeld:
      for (const auto& stray : platform::posix::RemoveStrayTemporaries(location.savePath)) {
        std::fprintf(stderr, "Navelo: removed %s, left by an interrupted save\n", stray.c_str());
      }
      break;
  }
  return ClaimedSettingsFile{location.readPath, location.savePath, std::move(lock)};
}

void SaveWithoutWindows(SettingsStore& store, const QWidget& panel) {
  const QPoint topLeft = panel.frameGeometry().topLeft();
  const PanelPosition position{PixelsToTwips(topLeft.x()), PixelsToTwips(topLeft.y())};
  if (auto error = store.Save(position)) {
    std::fprintf(stderr, "Navelo: could not save %s: %s\n", store.file().savePath().c_str(),
                 error->c_str());
  }
}

}  // namespace navelo
