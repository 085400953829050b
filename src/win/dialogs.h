#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/logic/startup.h"
#include "dialogs/logic/settings_form.h"
#include "platform/codec.h"
#include "platform/sysinfo.h"
#include "platform/system.h"
#include "win/win_form.h"

namespace navelo::win {

// frmPswd: asks for the start-up password until an entry `accepts` takes, or a cancel.
class PasswordDialog final : public FormWindow {
 public:
  explicit PasswordDialog(platform::MessageBoxService& messages);
  std::int16_t flgSyori = 0;
  std::optional<std::u16string> Ask(HWND owner, PasswordMode mode,
                                    std::function<bool(const std::u16string&)> accepts);

 protected:
  void OnCommand(const forms::Control& control, HWND hwnd, int code) override;
  void OnClose() override;  // any way out but OK is a cancel; Escape does nothing

 private:
  platform::MessageBoxService& messages_;
  std::function<bool(const std::u16string&)> accepts_;
  std::optional<std::u16string> outcome_;
};

// frmSet: loads its controls from the record at every showing; OK copies them back.
class SettingsDialog final : public FormWindow {
 public:
  using Context = SettingsDialogContext;
  explicit SettingsDialog(Context context);
  // Shows the dialog modally; true when OK closed it.
  bool ShowModal(HWND owner);

 protected:
  void OnCommand(const forms::Control& control, HWND hwnd, int code) override;
  void OnClose() override { EndModal(0); }

 private:
  void Load();
  SettingsForm Read() const;

  Context ctx_;
  SettingsForm loaded_;
};

// frmAbout: title, version, three links, a legal notice, the system-information button.
class AboutDialog final : public FormWindow {
 public:
  struct Context {
    platform::ShellService& shell;
    platform::MessageBoxService& messages;
    platform::SystemInfoService& sysInfo;
    std::u16string programDirectory;
    std::u16string settingsFile;
    bool settingsFileExists = false;
  };
  explicit AboutDialog(Context context);
  ~AboutDialog() override;
  void ShowModal(HWND owner);

 protected:
  void OnCommand(const forms::Control& control, HWND hwnd, int code) override;
  void OnEscape() override { EndModal(0); }
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDpiChanged() override { MakeLinkFonts(); }

 private:
  // The links' upright and italic fonts, made from the font the form gives them at the window's
  // current DPI; each link gets the one for its state.
  void MakeLinkFonts();
  void SetItalic(int index, bool italic);
  Context ctx_;
  HFONT italic_[3] = {};
  HFONT upright_[3] = {};
  bool isItalic_[3] = {};
};

}  // namespace navelo::win
