#pragma once
// CSerialPort: one serial port for the object that owns it. A monitor thread waits for line
// events, reads the received characters one at a time and hands each of them, and each line
// event, to the owner synchronously: the monitor waits until the owner has handled it, so the
// owner sees everything in arrival order. It can also send a buffer through the same thread.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial_device.h"
#include "transfer/serial_port_names.h"

namespace fendal::transfer {

// Messages to the owner (the Windows user-message numbers): lParam is the port number.
inline constexpr unsigned kWmUser = 0x0400;
inline constexpr unsigned WM_PORT_BREAK = kWmUser + 1;
inline constexpr unsigned WM_PORT_CTS = kWmUser + 2;
inline constexpr unsigned WM_PORT_ERR = kWmUser + 4;
inline constexpr unsigned WM_PORT_RING = kWmUser + 5;
inline constexpr unsigned WM_PORT_RXCHAR = kWmUser + 7;  // wParam: the byte, 0..255
inline constexpr unsigned WM_PORT_RXFLAG = kWmUser + 8;

inline constexpr char kPortErrorCaption[] = "Application Error";

// The error box text: "WARNING:  <operation> Failed with the following error: \n<system
// text>\nPort: <n>\n", within 200 bytes including its terminator; a long system text is cut.
std::string composePortError(const char* operation, const std::string& systemText, unsigned port);

class SerialPortOwner {
public:
    virtual ~SerialPortOwner() = default;
    // One port message; the monitor thread waits until it returns. WM_PORT_ERR also comes,
    // whatever the event mask, as the last message of a line that hung up or can no longer
    // be watched.
    virtual void onPortMessage(unsigned message, unsigned wParam, unsigned lParam) = 0;
    // The engine's error box: caption kPortErrorCaption, stop icon, no owner window.
    virtual void showPortError(const std::string& text) = 0;
    // The monitor is being ended by a thread that will wait for it. An owner that hands
    // messages to another thread must stop waiting for them while `drop` is set (the message
    // is not handled), or that thread and the monitor would wait for each other.
    virtual void dropPendingMessages(bool drop) { (void)drop; }
};

class CSerialPort {
public:
    explicit CSerialPort(platform::Profile* profile = nullptr);
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens COM`portnr` (1..10) with the settings; false when the port cannot be opened or
    // its queues cannot be set. A configuration that fails is reported and the port stays open.
    bool openPort(SerialPortOwner* pPortOwner, unsigned portnr, unsigned baud, char parity, unsigned databits,
                  unsigned stopbits, uint32_t eventMask, unsigned sendBufferSize);
    bool startMonitor();
    bool resumeMonitor();
    bool suspendMonitor();
    // Ends the monitor thread and closes the port; false when no port was open.
    bool closePort();
    // Queues `count` bytes for the monitor to send; at most sendBufferSize() of them.
    void queueSend(const char* data, int count);

    platform::SerialState portState() const { return m_portState; }
    uint32_t eventMask() const { return m_eventMask; }
    unsigned sendBufferSize() const { return m_sendBufferSize; }
    bool isOpen() const { return m_hComm != nullptr; }
    SerialPortNames& portNames() { return m_portNames; }

private:
    void monitorThread();
    void receiveChars(platform::SerialStatus& status);
    void sendQueued();
    void reportError(const char* operation, int error);
    void deliver(unsigned message, unsigned wParam);
    void endMonitor();
    bool waitWhileSuspended();

    int m_sendLength = 0;
    std::thread m_thread;
    std::mutex m_lock;
    std::atomic<bool> m_threadRunning{false};
    platform::SerialSignal m_hStopEvent;
    std::unique_ptr<platform::SerialDevice> m_hComm;  // the open port; null when closed
    platform::SerialSignal m_hSendEvent;
    platform::SerialTimeouts m_timeouts;
    platform::SerialState m_portState;
    SerialPortOwner* m_owner = nullptr;
    unsigned m_portNumber = 0;
    std::vector<char> m_sendBuffer;
    uint32_t m_eventMask = 0;
    unsigned m_sendBufferSize = 0;

    // Threads cannot be frozen from outside here: a suspended monitor holds back its messages
    // until it is resumed or stopped.
    std::mutex m_suspendLock;
    std::condition_variable m_resumed;
    bool m_suspended = false;

    SerialPortNames m_portNames;
};

}  // namespace fendal::transfer
