/* A C program that uses QL260DLL as a customer's program does: through the header and the
 * import library. Without a device every call fails cleanly; it prints what it got. */
#include <stdio.h>

#include "ql260.h"

int main(void) {
    unsigned char buffer[64];
    QL260_ULONG length = sizeof buffer;
    int failures = 0;
    if (QL260GetVersion() != 1) ++failures;
    if (QL260GetDeviceName(0) != NULL) ++failures;
    if (QL260OpenDevice(0) != QL260_INVALID_HANDLE) ++failures;
    if (QL260ReadData(0, buffer, &length) || length != 0) ++failures;
    length = 4;
    if (QL260WriteData(0, buffer, &length) || length != 0) ++failures;
    if (QL260AbortRead(0) || QL260AbortWrite(0)) ++failures;
    if (!QL260SetIntRoutine(0, NULL)) ++failures;
    QL260CloseDevice(0);
    printf("QL260DLL version %lu, %d unexpected results\n", (unsigned long)QL260GetVersion(), failures);
    return failures;
}
