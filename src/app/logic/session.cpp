#include "app/logic/session.h"

namespace navelo {

std::optional<std::u16string> NoticeText(platform::DesktopNotice notice) {
  switch (notice) {
    case platform::DesktopNotice::kNone:
      break;
    case platform::DesktopNotice::kX11WindowsOnly:
      // A browser running as a native Wayland window is invisible to Navelo here.
      return u"Wayland のデスクトップで起動されました。\n"
             u"Navelo が見つけて入力できるのは X11 のウィンドウだけです。\n"
             u"IPAT を開くブラウザーは X11 のウィンドウとして起動してください。\n\n"
             u"Chromium の場合: chromium --ozone-platform=x11\n"
             u"Firefox の場合: MOZ_ENABLE_WAYLAND=0 firefox";
  }
  return std::nullopt;
}

}  // namespace navelo
