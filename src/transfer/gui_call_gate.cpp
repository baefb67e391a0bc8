#include "transfer/gui_call_gate.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <memory>

namespace fendal::transfer {

namespace {
// One call on its way: the work travels here, under the gate's lock, rather than inside Qt's
// queued call, so the caller and the window's thread share it only through that lock.
struct Pending {
    std::function<void()> work;
    bool done = false;
    bool dropped = false;
};
}  // namespace

bool GuiCallGate::call(std::function<void()> work) {
    if (QThread::currentThread() == m_context->thread()) {
        work();
        return true;
    }
    auto pending = std::make_shared<Pending>();
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_released) return false;
        pending->work = std::move(work);
    }
    // The context (the window that owns this gate) outlives every call that reaches it: Qt
    // drops the queued call when the window is destroyed first.
    QMetaObject::invokeMethod(
        m_context,
        [this, pending] {
            std::function<void()> work;
            {
                std::lock_guard<std::mutex> guard(m_lock);
                if (pending->dropped) return;
                work = std::move(pending->work);
            }
            work();
            std::lock_guard<std::mutex> guard(m_lock);
            pending->done = true;
            m_changed.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> guard(m_lock);
    m_changed.wait(guard, [&] { return pending->done || m_released; });
    if (!pending->done) {
        pending->dropped = true;
        pending->work = nullptr;
    }
    return pending->done;
}

void GuiCallGate::release(bool released) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_released = released;
    m_changed.notify_all();
}

}  // namespace fendal::transfer
