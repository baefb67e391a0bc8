/* QL260 USB device-access library: the instrument's USB interface chip, reached through the
 * chip's driver. One device is open per process; every operation is one driver request.
 *
 * Calling order: QL260OpenDevice first, then data, descriptor, abort, reset or interrupt
 * calls, QL260CloseDevice last. The index argument is used by QL260GetDeviceName and
 * QL260OpenDevice only; every other function accepts it and ignores it.
 *
 * Length arguments: the caller sets *length to the wanted byte count, the function sets it to
 * the count actually done (0 on failure). At most QL260_MAX_DATA bytes move per call.
 *
 * On Linux there are two drivers. The socket driver serves a virtual instrument: each device is
 * a Unix stream socket "*.sock" in $QL260_DEVICE_DIR, else $XDG_RUNTIME_DIR/ql260, else
 * /tmp/ql260-<uid>, named by its full path, and "<path>.lock" beside it is locked while a
 * process has the device open. An abort or reset, and a transfer pending on a pipe when that
 * pipe is aborted or reset, wait at most about a second for a device that has stopped
 * answering; then they fail and the device's streams are closed. Otherwise the library reaches
 * the instrument's USB chip through libusb: the devices whose vendor:product id is listed
 * ($QL260_USB_IDS, or the file ql260-devices in ~/.config/fendal/ and /etc/fendal/), in bus and
 * port order, named "usb:BUS-PORTS"; the claim of its interface keeps a device to one process.
 * $QL260_DRIVER=socket or libusb forces one driver. */
#ifndef QL260_H
#define QL260_H

#ifdef _WIN32
#include <windows.h>
#else
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Calling convention: the Win32 standard one on 32-bit Windows (the callee removes the
 * arguments); the platform's default everywhere else. */
#if defined(_WIN32) && !defined(_WIN64)
#define QL260_CALL __stdcall
#else
#define QL260_CALL
#endif

#if defined(_WIN32)
#if defined(QL260_BUILDING)
#define QL260_API /* exported by ql260.def: undecorated names with fixed ordinals */
#else
#define QL260_API __declspec(dllimport)
#endif
#else
#define QL260_API __attribute__((visibility("default")))
#endif

#ifdef _WIN32
typedef BOOL QL260_BOOL;
typedef ULONG QL260_ULONG;
typedef HANDLE QL260_HANDLE;
#define QL260_INVALID_HANDLE INVALID_HANDLE_VALUE
#else
typedef int QL260_BOOL;
typedef uint32_t QL260_ULONG;
typedef void* QL260_HANDLE;
#define QL260_INVALID_HANDLE ((QL260_HANDLE)(intptr_t)-1)
#endif

/* The one I/O-control code of every driver request (FILE_DEVICE_UNKNOWN, function 0xF37,
 * METHOD_BUFFERED, FILE_ANY_ACCESS). */
#define QL260_IOCTL_REQUEST 0x00223CDCu

/* Function codes of a driver request. */
#define QL260_FUNC_CONTROL 4     /* control transfer: 8-byte setup packet */
#define QL260_FUNC_READ_INTER 5  /* read from the interrupt pipe */
#define QL260_FUNC_READ_DATA 6   /* read from the bulk data pipe */
#define QL260_FUNC_WRITE_DATA 7  /* write to the bulk data pipe */
#define QL260_FUNC_WRITE_AUX 8   /* write to the auxiliary pipe */
#define QL260_FUNC_RESET_PIPE 13 /* reset a pipe: 32-bit pipe selector */
#define QL260_FUNC_ABORT_PIPE 14 /* abort the pending transfers of a pipe: 32-bit pipe selector */

/* Pipe selectors of the reset and abort requests. */
#define QL260_PIPE_INTER 5 /* interrupt pipe */
#define QL260_PIPE_READ 6  /* bulk data read pipe */
#define QL260_PIPE_WRITE 7 /* bulk data write pipe */
#define QL260_PIPE_AUX 8   /* auxiliary write pipe */

#define QL260_MAX_DATA 1024         /* data bytes per call */
#define QL260_REQUEST_HEADER 8      /* function and length fields in front of the data */
#define QL260_FIXED_REQUEST_SIZE 72 /* size of control, abort, reset and interrupt-thread requests */
#define QL260_DEVICE_NAME_SIZE 128  /* device paths hold at most 127 bytes */
#define QL260_MIN_READ_DATA 64      /* a data read asks the driver for at least this many bytes */
#define QL260_MIN_READ_INTER 8      /* an interrupt read asks for at least this many bytes */
#define QL260_INTER_DATA_SIZE 8     /* bytes handed to the interrupt routine */

/* The request record exchanged with the driver, little-endian. On the way in, length is the
 * number of data bytes to transfer or requested; on the way out, the number transferred. */
typedef struct DriverRequest {
    QL260_ULONG function;
    QL260_ULONG length;
    unsigned char data[QL260_MAX_DATA];
} DriverRequest;

/* Receives the 8 bytes of each interrupt, on the library's interrupt thread. */
typedef void(QL260_CALL* QL260_INT_ROUTINE)(unsigned char* data);

QL260_API QL260_BOOL QL260_CALL QL260AbortInter(QL260_ULONG index);
QL260_API QL260_BOOL QL260_CALL QL260AbortRead(QL260_ULONG index);
QL260_API QL260_BOOL QL260_CALL QL260AbortWrite(QL260_ULONG index);
QL260_API void QL260_CALL QL260CloseDevice(QL260_ULONG index);
/* Sends the caller's request (length field + 8 bytes in and out); bytes returned, 0 on failure. */
QL260_API QL260_ULONG QL260_CALL QL260DriverCommand(QL260_ULONG index, DriverRequest* request);
QL260_API QL260_BOOL QL260_CALL QL260GetConfigDescr(QL260_ULONG index, unsigned char* buffer, QL260_ULONG* length);
QL260_API QL260_BOOL QL260_CALL QL260GetDeviceDescr(QL260_ULONG index, unsigned char* buffer, QL260_ULONG* length);
/* The path of present device number index (from 0), or null. The text belongs to the library
 * and is overwritten by the next call. */
QL260_API const char* QL260_CALL QL260GetDeviceName(QL260_ULONG index);
QL260_API QL260_ULONG QL260_CALL QL260GetVersion(void);
/* Opens device number index as the process's one device; QL260_INVALID_HANDLE on failure,
 * also while another process has that device open: a device serves one program at a time.
 * A device open earlier in this process is closed first. */
QL260_API QL260_HANDLE QL260_CALL QL260OpenDevice(QL260_ULONG index);
QL260_API QL260_BOOL QL260_CALL QL260ReadData(QL260_ULONG index, unsigned char* buffer, QL260_ULONG* length);
QL260_API QL260_BOOL QL260_CALL QL260ReadInter(QL260_ULONG index, unsigned char* buffer, QL260_ULONG* length);
QL260_API QL260_BOOL QL260_CALL QL260ResetAux(QL260_ULONG index);
QL260_API QL260_BOOL QL260_CALL QL260ResetInter(QL260_ULONG index);
QL260_API QL260_BOOL QL260_CALL QL260ResetRead(QL260_ULONG index);
QL260_API QL260_BOOL QL260_CALL QL260ResetWrite(QL260_ULONG index);
/* Starts (routine) or stops (null) the interrupt thread; stopping waits until it has ended. */
QL260_API QL260_BOOL QL260_CALL QL260SetIntRoutine(QL260_ULONG index, QL260_INT_ROUTINE routine);
QL260_API QL260_BOOL QL260_CALL QL260WriteAuxData(QL260_ULONG index, unsigned char* buffer, QL260_ULONG* length);
QL260_API QL260_BOOL QL260_CALL QL260WriteData(QL260_ULONG index, unsigned char* buffer, QL260_ULONG* length);

#ifdef __cplusplus
}
#endif

#endif /* QL260_H */
