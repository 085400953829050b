// main() for tests that run Qt windows on the X desktop: without a display they report a skip.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (std::getenv("DISPLAY") == nullptr) {
    std::printf("no X display: skipped\n");
    return 0;
  }
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
