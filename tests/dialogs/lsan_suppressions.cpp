// Leak checks under AddressSanitizer: fontconfig keeps patterns of the
// CJK font fallback for the life of the process and never frees them.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
