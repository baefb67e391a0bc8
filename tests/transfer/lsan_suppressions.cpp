// Fontconfig keeps its font cache until the process ends; under LeakSanitizer that is not
// a leak of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
