#pragma once
// What the transfer needs from the transfer settings dialog: its controls, caption, end and
// the message boxes. The desktop program answers with the real dialog, tests with a script.
#include <string>

#include "data/doc_ui.h"

namespace fendal::transfer {

inline constexpr char kDeviceErrorCaption[] = "DEBUG418";

class TransferUi {
public:
    virtual ~TransferUi() = default;

    // A message box; returns once the user has closed it. Called on the dialog's thread, and
    // by the USB worker on its own thread. An empty caption means the application's title.
    virtual void message(const std::string& text, const std::string& caption, data::MsgIcon icon) = 0;
    // OK, the port type combo and the port number combo.
    virtual void enableControls(bool ok, bool portType, bool portNumber) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // From the USB worker: end the dialog with OK 20 ms from now, on the dialog's thread.
    virtual void startEndTimer() = 0;
    // On the dialog's thread: end the dialog with OK now.
    virtual void endWithOk() = 0;
    // Data bytes received so far and the number expected (0 while not yet known). Called on
    // the thread that receives, often; it must not wait.
    virtual void progress(int received, int expected) { (void)received, (void)expected; }
    // The transfer is being cancelled and the dialog's thread is about to wait for the worker:
    // a worker call that waits for the dialog's thread must return at once while this is set.
    virtual void releaseWaits(bool release) { (void)release; }
};

}  // namespace fendal::transfer
