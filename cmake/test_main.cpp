// Shared main of every test binary. CTest's discovery runs the binaries at build time,
// outside any test environment, so the headless Qt platform is chosen here.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
