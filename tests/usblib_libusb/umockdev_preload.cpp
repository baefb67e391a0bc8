// umockdev redirects /sys and /dev only in a process that has its preload library from the
// start, so the test program starts itself again with it. In a sanitizer build the sanitizer's
// runtime has to come first in the list.
//
// umockdev's device node is always ready for poll, so an interrupt thread that libql260 raises
// to real-time priority would keep the processor from the emulation's other threads; the test
// runs without the right to raise priorities, as an ordinary user does.
#include <linux/capability.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr char kPreload[] = "libumockdev-preload.so.0";

__attribute__((constructor)) void restartWithUmockdev(int, char** argv, char**) {
    const char* current = getenv("LD_PRELOAD");
    if (current && strstr(current, kPreload)) return;
#ifdef FENDAL_SANITIZER_RUNTIME
    const char* preload = FENDAL_SANITIZER_RUNTIME ":libumockdev-preload.so.0";
#else
    const char* preload = kPreload;
#endif
    setenv("LD_PRELOAD", preload, 1);
    prctl(PR_CAPBSET_DROP, CAP_SYS_NICE, 0, 0, 0);  // fails harmlessly where it was never held
    execv("/proc/self/exe", argv);
    _exit(127);  // no test ran: fail loudly rather than test the real /dev
}

}  // namespace
