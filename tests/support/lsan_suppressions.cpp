// Fontconfig keeps the font patterns Qt asks it for until the process ends, and libdbus a buffer
// of the connection Qt's X11 platform opens; LeakSanitizer would count them as ours. Linked into
// every Qt test; only read when the tests run under the sanitizers.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }
