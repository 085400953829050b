// main() for the desktop tests. A test that finds no display or no browser calls GTEST_SKIP; a run
// in which any test was skipped ends with kSkippedStatus, so CTest (SKIP_RETURN_CODE) reports the
// test skipped rather than passed. Built twice: plain, and with a QApplication (NAVELO_WITH_QT)
// for the tests that show Qt windows.
#include <gtest/gtest.h>

#include <cstdio>

// Qt's headers come before Xlib's, whose macros clash with Qt's names.
#ifdef NAVELO_WITH_QT
#include <QApplication>
#endif
#include "x11_testkit.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
#ifdef NAVELO_WITH_QT
  // Qt cannot start without a display, so there is nothing to run.
  if (!navelo::testkit::Desktop().ok()) {
    std::printf("no X display (the test command provides one): skipped\n");
    return navelo::testkit::kSkippedStatus;
  }
  QApplication app(argc, argv);
#endif
  const int status = RUN_ALL_TESTS();
  if (status != 0) return status;
  // A filter that matched nothing (a test renamed, say) checked nothing: that is no pass.
  if (::testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
    std::printf("no test matched the filter\n");
    return 1;
  }
  return ::testing::UnitTest::GetInstance()->skipped_test_count() > 0
             ? navelo::testkit::kSkippedStatus
             : 0;
}
