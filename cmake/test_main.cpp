// Shared main of every test binary. CTest's discovery runs the binaries at build time,
// outside any test environment, so the headless Qt platform is chosen here.
#include <gtest/gtest.h>

#include <cstdlib>

// Leaks inside system libraries that Qt keeps until exit are not ours to report
// (fontconfig's caches). LeakSanitizer reads this hook in sanitizer builds; elsewhere it is
// an unused function.
extern "C" const char* __lsan_default_suppressions() {  // NOLINT: the sanitizer's name
  return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
