// Fontconfig keeps the font patterns Qt asks it for until the process ends; LeakSanitizer would
// count them as ours. Linked into every Qt test; only read when the tests run under the sanitizers.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
