// umockdev, GLib, libusb and libudev are not built with ThreadSanitizer, so the hand-over between
// their own threads is invisible to it; what the library and the emulation share is guarded by
// their own locks.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libumockdev.so\nrace:libglib-2.0.so\nrace:libgobject-2.0.so\nrace:libgio-2.0.so\n"
           "race:libusb-1.0.so\nrace:libudev.so\n";
}
