#include "app/navelo_main.h"

int main(int argc, char** argv) {
  return navelo::RunNavelo(argc, argv);
}
