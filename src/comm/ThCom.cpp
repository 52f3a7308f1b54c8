#include "comm/ThCom.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QObject>
#include <condition_variable>
#include <exception>
#include <mutex>

#include "comm/JobControl.h"

// One call handed to the UI thread. `done` releases the waiting worker: set when
// the call has returned (or thrown), or when shut-down drops it unrun.
struct TThreadCom::SyncCall {
    std::function<void()> fn;
    bool started = false;
    bool done = false;
};

// Everything the two threads hand each other goes through this one mutex, so the
// worker's writes before a Synchronize are visible to the call, and the call's
// writes to the worker after it.
struct TThreadCom::Shared {
    std::mutex m;
    std::condition_variable cv;
    bool suspended = false;
    bool parked = false;
    bool stop = false;
    bool finished = false;
    int uiDepth = 0; // synchronized calls running on the UI thread
    std::shared_ptr<SyncCall> outstanding;
    QEventLoop* finishLoop = nullptr; // UI thread only
};

TThreadCom::TThreadCom(JobControl& host, const std::atomic<char>& transportCode, bool createSuspended,
                       std::chrono::milliseconds resultDelay)
    : host_(host),
      transport_(transportCode),
      resultDelay_(resultDelay),
      uiThread_(std::this_thread::get_id()),
      shared_(std::make_shared<Shared>()),
      uiContext_(new QObject)
{
    shared_->suspended = createSuspended;
    thread_ = std::thread([this] { Execute(); });
}

TThreadCom::~TThreadCom()
{
    if (!Shutdown()) {
        // Torn down from inside a synchronized call: let the worker out of it.
        {
            std::lock_guard lock(shared_->m);
            if (shared_->outstanding) {
                shared_->outstanding->done = true;
                shared_->outstanding.reset();
            }
        }
        shared_->cv.notify_all();
        thread_.join();
    }
    delete uiContext_;
}

void TThreadCom::Execute()
{
    while (WaitAtSafePoint()) {
        RunJobStep();
        if (!WaitResultDelay()) break;
        Synchronize([this] { host_.HandleUiRequest(); });
    }
    {
        std::lock_guard lock(shared_->m);
        shared_->finished = true;
    }
    QMetaObject::invokeMethod(
        uiContext_, [s = shared_] { if (s->finishLoop) s->finishLoop->quit(); }, Qt::QueuedConnection);
}

void TThreadCom::RunJobStep()
{
    std::exception_ptr fault;
    try {
        host_.PollStep(transport_.load());
    } catch (...) {
        fault = std::current_exception();
    }
    if (fault) {
        // An escaped exception must not end the thread (nor the process): the job
        // is dropped, the fault reported on the UI thread, and the handler of this
        // cycle puts the worker to sleep or starts the parked job.
        host_.SetJob(0);
        Synchronize([this, fault] { host_.ReportWorkerFault(fault); });
    }
}

bool TThreadCom::WaitAtSafePoint()
{
    std::unique_lock lock(shared_->m);
    if (shared_->suspended && !shared_->stop) {
        shared_->parked = true;
        shared_->cv.notify_all();
        shared_->cv.wait(lock, [this] { return !shared_->suspended || shared_->stop; });
        shared_->parked = false;
    }
    return !shared_->stop;
}

bool TThreadCom::WaitResultDelay()
{
    std::unique_lock lock(shared_->m);
    shared_->cv.wait_for(lock, resultDelay_, [this] { return shared_->stop; });
    return !shared_->stop;
}

void TThreadCom::RunOnUi(const std::shared_ptr<Shared>& s, const std::shared_ptr<SyncCall>& call)
{
    {
        std::lock_guard lock(s->m);
        if (call->done) return; // dropped by shut-down
        call->started = true;
        ++s->uiDepth;
    }
    // Released also when the call throws, or the worker would wait for ever.
    struct Release {
        const std::shared_ptr<Shared>& s;
        const std::shared_ptr<SyncCall>& call;
        ~Release()
        {
            {
                std::lock_guard lock(s->m);
                call->done = true;
                --s->uiDepth;
                if (s->outstanding == call) s->outstanding.reset();
            }
            s->cv.notify_all();
        }
    } release{s, call};
    call->fn();
}

bool TThreadCom::Synchronize(const std::function<void()>& fn)
{
    if (OnUiThread()) {
        fn();
        return true;
    }
    auto call = std::make_shared<SyncCall>();
    call->fn = fn;
    {
        std::lock_guard lock(shared_->m);
        if (shared_->stop) return false;
        shared_->outstanding = call;
    }
    QMetaObject::invokeMethod(
        uiContext_, [s = shared_, call] { RunOnUi(s, call); }, Qt::QueuedConnection);
    std::unique_lock lock(shared_->m);
    shared_->cv.wait(lock, [&call] { return call->done; });
    return call->started;
}

void TThreadCom::Queue(std::function<void()> fn)
{
    if (OnUiThread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(
        uiContext_,
        [s = shared_, fn = std::move(fn)] {
            {
                std::lock_guard lock(s->m);
                if (s->stop) return;
            }
            fn();
        },
        Qt::QueuedConnection);
}

void TThreadCom::Suspend()
{
    std::lock_guard lock(shared_->m);
    shared_->suspended = true;
}

void TThreadCom::Resume()
{
    {
        std::lock_guard lock(shared_->m);
        shared_->suspended = false;
    }
    shared_->cv.notify_all();
}

bool TThreadCom::Suspended() const
{
    std::lock_guard lock(shared_->m);
    return shared_->suspended;
}

bool TThreadCom::Parked() const
{
    std::lock_guard lock(shared_->m);
    return shared_->parked;
}

bool TThreadCom::Stopping() const
{
    std::lock_guard lock(shared_->m);
    return shared_->stop;
}

bool TThreadCom::Shutdown()
{
    if (!thread_.joinable()) return true;
    {
        std::lock_guard lock(shared_->m);
        shared_->stop = true;
        // A call still waiting in the UI queue is dropped: nothing of a closing
        // window is to run any more.
        if (shared_->outstanding && !shared_->outstanding->started) {
            shared_->outstanding->done = true;
            shared_->outstanding.reset();
        }
    }
    shared_->cv.notify_all();
    {
        std::lock_guard lock(shared_->m);
        if (shared_->uiDepth > 0 && OnUiThread()) return false;
    }
    // A job may still wait for socket events or timers of the UI thread before it
    // sees the cancel, so events keep flowing (user input aside) until it is out.
    if (OnUiThread() && QCoreApplication::instance() != nullptr) {
        QEventLoop loop;
        shared_->finishLoop = &loop;
        bool finished;
        {
            std::lock_guard lock(shared_->m);
            finished = shared_->finished;
        }
        if (!finished) loop.exec(QEventLoop::ExcludeUserInputEvents);
        shared_->finishLoop = nullptr;
    }
    thread_.join();
    return true;
}

void TThreadCom::ReportProgress(uint32_t itemIndex, uint32_t itemTotal, uint8_t kind)
{
    ItemIndex = itemIndex;
    ItemTotal = itemTotal;
    ProgressKind = kind;
    Synchronize([this] { SyncProgress(); });
}

void TThreadCom::SyncProgress()
{
    if (host_.UpdateProgressHook) host_.UpdateProgressHook(ItemIndex, ItemTotal, ProgressKind);
}
