// The port gate between the worker's jobs and the UI thread's direct exchanges.
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>

#include "comm/JobControl.h"
#include "comm/JobHost.h"
#include "comm/UiThread.h"

namespace {

const QEvent::Type kGateWake = static_cast<QEvent::Type>(QEvent::User + 7);

}  // namespace

// ---- TPortGate ----

void TPortGate::Acquire()
{
    const std::thread::id me = std::this_thread::get_id();
    std::unique_lock lock(m_);
    if (depth_ > 0 && owner_ == me) {
        ++depth_;
        return;
    }
    if (OnUiThread()) {
        // The job may need this thread (Synchronize, socket events) to finish.
        while (depth_ > 0) {
            ++uiWaiting_;
            lock.unlock();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
            lock.lock();
            --uiWaiting_;
        }
    } else {
        cv_.wait(lock, [this] { return depth_ == 0; });
    }
    owner_ = me;
    depth_ = 1;
}

void TPortGate::Release()
{
    bool wakeUi = false;
    {
        std::lock_guard lock(m_);
        if (depth_ == 0 || owner_ != std::this_thread::get_id()) return;
        if (--depth_ > 0) return;
        owner_ = std::thread::id();
        wakeUi = uiWaiting_ > 0;
    }
    cv_.notify_all();
    // Any event ends the UI thread's wait; the application ignores this one.
    if (wakeUi)
        if (QCoreApplication* app = QCoreApplication::instance()) QCoreApplication::postEvent(app, new QEvent(kGateWake));
}

bool TPortGate::HeldByThisThread() const
{
    std::lock_guard lock(m_);
    return depth_ > 0 && owner_ == std::this_thread::get_id();
}



// ---- TPortTakeOver ----

TPortGate& TPortTakeOver::CancelJob(IJobHost& host)
{
    JobControl& jobs = host.Jobs();
    if (jobs.GetJob() != 0) jobs.SetJob(0);
    return host.PortGate();
}
