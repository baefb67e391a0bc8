// Qt is not built with ThreadSanitizer, so the hand-over inside its queued calls is invisible
// to it; what the transfer shares between threads is guarded by its own locks.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt6Core.so\nrace:libQt6Gui.so\nrace:libQt6Widgets.so\n";
}
