#include "app/logic/session.h"

namespace navelo {
namespace {

constexpr char16_t kX11Browsers[] =
    u"IPAT を開くブラウザーは X11 のウィンドウとして起動してください。\n\n"
    u"Chromium の場合: chromium --ozone-platform=x11\n"
    u"Firefox の場合: MOZ_ENABLE_WAYLAND=0 firefox";

}  // namespace

std::optional<std::u16string> NoticeText(platform::DesktopNotice notice) {
  switch (notice) {
    case platform::DesktopNotice::kNone:
      break;
    case platform::DesktopNotice::kX11WindowsOnly:
      // A browser running as a native Wayland window is invisible to Navelo here.
      return u"Wayland のデスクトップで起動されました。\n"
             u"このデスクトップでは、Navelo が見つけて入力できるのは X11 のウィンドウだけです。\n" +
             std::u16string(kX11Browsers) +
             u"\n\n(sway などの wlroots のデスクトップと KDE Plasma "
             u"では、ブラウザーをそのまま使えま"
             u"す。)";
    case platform::DesktopNotice::kPlasmaNotGranted:
      // KWin grants window management and typing to installed programs only.
      return u"KDE Plasma では、ほかのウィンドウの操作とキー入力は、インストールされた Navelo "
             u"にだけ許されます。\n"
             u"パッケージでインストールした Navelo を、アプリケーションメニューから起動してくださ"
             u"い。\n\n"
             u"このままでは、Navelo が見つけて入力できるのは X11 のウィンドウだけです。\n" +
             std::u16string(kX11Browsers);
  }
  return std::nullopt;
}

}  // namespace navelo
