// Fontconfig keeps its font cache for the life of the process; Qt's font database never frees it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
