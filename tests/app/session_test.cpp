#include "app/logic/session.h"

#include <gtest/gtest.h>

namespace navelo {
namespace {

TEST(NoticeText, OnlyALimitedDesktopIsToldAndTheX11WayIsNamed) {
  EXPECT_FALSE(NoticeText(platform::DesktopNotice::kNone));
  const auto notice = NoticeText(platform::DesktopNotice::kX11WindowsOnly);
  ASSERT_TRUE(notice);
  EXPECT_NE(notice->find(u"X11 のウィンドウ"), std::u16string::npos);
  EXPECT_NE(notice->find(u"--ozone-platform=x11"), std::u16string::npos);
  // On Plasma without the grant: start the installed Navelo, or use X11 browsers meanwhile.
  const auto plasma = NoticeText(platform::DesktopNotice::kPlasmaNotGranted);
  ASSERT_TRUE(plasma);
  EXPECT_NE(plasma->find(u"インストールした Navelo"), std::u16string::npos);
  EXPECT_NE(plasma->find(u"--ozone-platform=x11"), std::u16string::npos);
}

}  // namespace
}  // namespace navelo
