#include "app/logic/program.h"

#include <cstdio>

#include "app/logic/session.h"
#include "app/logic/startup.h"
#include "base/utf8.h"
#include "dialogs/logic/about_controller.h"
#include "dialogs/logic/settings_controller.h"
#include "forms/layouts.h"
#include "panel/logic/tracker.h"

namespace navelo {

Program::Program(ProgramServices services)
    : s_(services),
      // Titles compare as the tracker remembers them: cut as a title read is cut.
      delivery_(s_.desktop.windows(),
                [&codec = s_.codec](std::u16string_view title) { return CutTitle(title, codec); }) {
}

bool Program::Claim() {
  using Lock = platform::InstanceLock;
  std::string folderError;
  const SettingsLocation location = s_.home.Locate(s_.program.ProgramDirectory(), &folderError);
  lock_ = s_.home.Lock(location.savePath);
  std::u16string notice;
  switch (lock_->state()) {
    case Lock::State::kTaken:
      std::fprintf(stderr,
                   "Navelo: %s is in use by another Navelo; bringing that one to the front\n",
                   location.savePath.c_str());
      s_.desktop.BringForward(lock_->holder());
      return false;
    case Lock::State::kUnavailable:
      // Another Navelo may be working with the same file unseen: this one never writes it.
      std::fprintf(stderr, "Navelo: cannot lock %s: %s\n", lock_->path().c_str(),
                   lock_->error().c_str());
      writes_ = false;
      notice = u"設定ファイル「" + FromUtf8(location.savePath) + u"」をロックできません。\n" +
               FromUtf8(lock_->path() + ": " + lock_->error()) +
               u"\nほかの Navelo と同時に書き込まないよう、終了するときに設定を保存しません。";
      break;
    case Lock::State::kHeld:
      // Holding the file, clear away what a save killed part-way left beside it.
      for (const auto& stray : s_.home.RemoveStrayTemporaries(location.savePath)) {
        std::fprintf(stderr, "Navelo: removed %s, left by an interrupted save\n", stray.c_str());
      }
      break;
  }
  if (!folderError.empty()) {
    // Said at start, before any change is made that could not be kept.
    std::fprintf(stderr, "Navelo: cannot make the settings folder: %s\n", folderError.c_str());
    notice = u"設定ファイルのフォルダーを作成できません。\n" + FromUtf8(folderError) +
             u"\n終了するときに設定を保存できません。";
  }
  if (!notice.empty()) s_.messages.Show(notice);
  file_.emplace(location.readPath, location.savePath, s_.files, s_.codec);
  return true;
}

void Program::Start() {
  std::fprintf(stderr, "Navelo: desktop %s\n", s_.desktop.name().c_str());
  if (!Claim()) s_.program.EndNow(0);
  // The settings record and what lives beside it for the whole run; the file is read here once.
  store_.emplace(*file_, s_.codec);
  if (!writes_) store_->NeverSave();
  if (auto notice = NoticeText(s_.desktop.notice())) s_.messages.Show(*notice);
  StartupWindows windows;
  windows.askPassword = [this](PasswordMode mode,
                               std::function<bool(const std::u16string&)> accepts) {
    return AskPassword(mode, std::move(accepts));
  };
  windows.showPanel = [this] { ShowPanel(); };
  // Not confirmed: end without writing anything.
  if (RunStartup(*store_, windows) == StartupOutcome::kCancelled) s_.program.EndNow(0);
}

std::optional<std::u16string> Program::AskPassword(
    PasswordMode mode, std::function<bool(const std::u16string&)> accepts) {
  // One dialog serves the start-up check and every confirmation.
  if (!password_) {
    passwordView_ = s_.views.MakeDialog(forms::kFrmPswd);
    password_.emplace(*passwordView_, s_.messages);
  }
  return password_->Ask(mode, std::move(accepts));
}

void Program::ShowPanel() {
  panelView_ = s_.views.MakePanel();
  panel_.emplace(*panelView_,
                 PanelContext{*store_, s_.messages, s_.shell, s_.program, s_.desktop, delivery_,
                              [this] { OpenSettings(); }, [this] { OpenAbout(); }});
  // Saved exactly as when the panel closes. A request while the panel is already ending (showing
  // why its save failed) waits for that message.
  s_.program.OnTerminationRequest([this] {
    if (!panel_->ending()) panel_->SaveAndEnd();
  });
  s_.program.OnExitWithoutClose([this] { panel_->SaveQuietly(); });
  panel_->Load();
}

void Program::OpenSettings() {
  // Made anew at every opening, so a cancelled edit leaves nothing behind.
  auto view = s_.views.MakeDialog(forms::kFrmSet);
  auto confirm = [this](const std::u16string& newPassword) {
    return ConfirmStartupPassword(
        [this](PasswordMode mode, std::function<bool(const std::u16string&)> accepts) {
          return AskPassword(mode, std::move(accepts));
        },
        *store_, newPassword);
  };
  SettingsController dialog(*view, {store_->record(), store_->targets(), store_->addresses(),
                                    s_.messages, confirm, &s_.codec});
  dialog.ShowModal();
}

void Program::OpenAbout() {
  auto view = s_.views.MakeDialog(forms::kFrmAbout);
  // The settings-file link leads where the settings are saved (and edited), which for an
  // installed copy differs from the file read at its first start.
  const std::string& savePath = file_->savePath();
  AboutController dialog(
      *view, {s_.shell, s_.messages, s_.sysInfo, s_.program, savePath, s_.files.Exists(savePath)});
  dialog.ShowModal();
}

}  // namespace navelo
