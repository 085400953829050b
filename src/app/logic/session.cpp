#include "app/logic/session.h"

namespace navelo {

std::optional<std::u16string> WaylandNotice(std::string_view waylandDisplay) {
  if (waylandDisplay.empty()) return std::nullopt;
  return u"Wayland のデスクトップで起動されました。\n"
         u"Navelo が見つけて入力できるのは X11 のウィンドウだけです。\n"
         u"IPAT を開くブラウザーは X11 のウィンドウとして起動してください。\n\n"
         u"Chromium の場合: chromium --ozone-platform=x11\n"
         u"Firefox の場合: MOZ_ENABLE_WAYLAND=0 firefox";
}

}  // namespace navelo
