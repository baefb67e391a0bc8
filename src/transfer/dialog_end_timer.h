#pragma once
// A one-shot timer that ends its dialog with OK when it fires: the transfer dialog's, 20 ms
// after the USB worker has ended, and the wait dialog's first tick.
#include <QBasicTimer>
#include <QDialog>
#include <QTimerEvent>

namespace fendal::transfer {

class DialogEndTimer {
public:
    explicit DialogEndTimer(QDialog& dialog) : m_dialog(dialog) {}

    void start(int ms) { m_timer.start(ms, &m_dialog); }
    void stop() { m_timer.stop(); }

    // For the dialog's timerEvent: true when the event was this timer's, which has then ended
    // the dialog; other events are the dialog's own.
    bool handle(QTimerEvent* event) {
        if (event->timerId() != m_timer.timerId()) return false;
        m_timer.stop();
        m_dialog.accept();
        return true;
    }

private:
    QDialog& m_dialog;
    QBasicTimer m_timer;
};

}  // namespace fendal::transfer
