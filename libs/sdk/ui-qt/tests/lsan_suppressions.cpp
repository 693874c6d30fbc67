// Leaks inside system libraries that Qt keeps until exit are not ours to report
// (fontconfig's caches). LeakSanitizer reads this hook in sanitizer builds; elsewhere it
// is an unused function.
extern "C" const char* __lsan_default_suppressions() {  // NOLINT: the sanitizer's name
  return "leak:libfontconfig.so\n";
}
