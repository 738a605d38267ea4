// The font configuration library keeps a cache that it never frees; the
// leak checker is told so, and still reports every leak of our own.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
