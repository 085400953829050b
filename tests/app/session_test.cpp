#include "app/logic/session.h"

#include <gtest/gtest.h>

namespace navelo {
namespace {

TEST(WaylandNotice, ShownOnlyWhenWaylandDisplayIsSetAndNamesTheX11Way) {
  EXPECT_FALSE(WaylandNotice(""));
  for (const char* value : {"wayland-0", "/run/user/1000/wayland-1"}) {
    const auto notice = WaylandNotice(value);
    ASSERT_TRUE(notice) << value;
    EXPECT_NE(notice->find(u"X11 のウィンドウ"), std::u16string::npos);
    EXPECT_NE(notice->find(u"--ozone-platform=x11"), std::u16string::npos);
  }
}

}  // namespace
}  // namespace navelo
