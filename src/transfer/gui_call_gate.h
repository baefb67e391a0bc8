#pragma once
// Runs work on the thread of a window and waits for it, as a blocking queued call does, with
// one difference: release() lets every waiting caller go at once (its work is then dropped).
// A window that waits for a worker thread releases the gate first, so the two never wait for
// each other. Work runs after its caller may have gone, so it must capture by value.
#include <condition_variable>
#include <functional>
#include <mutex>

class QObject;

namespace fendal::transfer {

class GuiCallGate {
public:
    explicit GuiCallGate(QObject* context) : m_context(context) {}

    // Runs `work` on the context's thread (at once when called there) and waits until it has
    // run. False when the gate was released first and the work dropped.
    bool call(std::function<void()> work);
    void release(bool released);

private:
    QObject* m_context;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_released = false;
};

}  // namespace fendal::transfer
