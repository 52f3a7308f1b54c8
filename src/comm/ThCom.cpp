#include "comm/ThCom.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>

#include "comm/JobControl.h"

namespace {
// The wake-up event of the mailbox. It carries nothing: the work is in the queue.
const QEvent::Type MailboxEvent = QEvent::Type(QEvent::User + 1);
}  // namespace

// One call handed to the UI thread. `done` releases a waiting worker: set when
// the call has returned (or thrown), or when shut-down drops it unrun.
struct TThreadCom::UiCall {
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
    std::deque<std::shared_ptr<UiCall>> queue; // not yet started, in order
    std::shared_ptr<UiCall> running;           // the call running on the UI thread
    QEventLoop* finishLoop = nullptr;          // UI thread only
    std::function<void()> drainProgress;       // UI thread only

    // Drops every call not yet started; a worker waiting for one goes on.
    void DropQueued()
    {
        for (const auto& call : queue) call->done = true;
        queue.clear();
    }
};

// Lives on the UI thread; each wake-up runs the next queued call, or, once the
// worker has ended, lets Shutdown's wait go.
class TThreadCom::UiMailbox : public QObject {
public:
    explicit UiMailbox(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

protected:
    // The event itself is never read: it was made on the worker and handed over
    // inside Qt, out of sight of the thread sanitizer.
    void customEvent(QEvent*) override
    {
        // A local reference: the call may tear down the thread object and this mailbox.
        const std::shared_ptr<Shared> s = shared_;
        std::shared_ptr<UiCall> call;
        {
            std::lock_guard lock(s->m);
            if (s->queue.empty()) {
                // A call dropped by shut-down, or the worker's last word.
                if (s->finished && s->finishLoop) s->finishLoop->quit();
                return;
            }
            call = s->queue.front();
            s->queue.pop_front();
            call->started = true;
            s->running = call;
        }
        // Progress reported before this call is shown before it runs.
        if (s->drainProgress) s->drainProgress();
        // Released also when the call throws, or the worker would wait for ever.
        struct Release {
            const std::shared_ptr<Shared>& s;
            const std::shared_ptr<UiCall>& call;
            ~Release()
            {
                {
                    std::lock_guard lock(s->m);
                    call->done = true;
                    if (s->running == call) s->running.reset();
                }
                s->cv.notify_all();
            }
        } release{s, call};
        call->fn();
    }

private:
    std::shared_ptr<Shared> shared_;
};

TThreadCom::TThreadCom(JobControl& host, const std::atomic<char>& transportCode, bool createSuspended,
                       std::chrono::milliseconds resultDelay)
    : host_(host),
      transport_(transportCode),
      resultDelay_(resultDelay),
      uiThread_(std::this_thread::get_id()),
      shared_(std::make_shared<Shared>()),
      mailbox_(new UiMailbox(shared_))
{
    shared_->suspended = createSuspended;
    shared_->drainProgress = [this] { DrainProgress(); };
    thread_ = std::thread([this] { Execute(); });
}

TThreadCom::~TThreadCom()
{
    // The mailbox may outlive this object.
    shared_->drainProgress = nullptr;
    bool insideCall = false;
    if (!Shutdown()) {
        // Torn down from inside a synchronized call: let the worker out of it.
        insideCall = true;
        {
            std::lock_guard lock(shared_->m);
            if (shared_->running) shared_->running->done = true;
        }
        shared_->cv.notify_all();
        thread_.join();
    }
    // The mailbox may be the very object whose event is running below us.
    if (insideCall)
        mailbox_->deleteLater();
    else
        delete mailbox_;
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
    QCoreApplication::postEvent(mailbox_, new QEvent(MailboxEvent));
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

bool TThreadCom::Post(const std::shared_ptr<UiCall>& call)
{
    {
        std::lock_guard lock(shared_->m);
        if (shared_->stop) return false;
        shared_->queue.push_back(call);
    }
    QCoreApplication::postEvent(mailbox_, new QEvent(MailboxEvent));
    return true;
}

bool TThreadCom::Synchronize(const std::function<void()>& fn)
{
    if (OnUiThread()) {
        fn();
        return true;
    }
    auto call = std::make_shared<UiCall>();
    call->fn = fn;
    if (!Post(call)) return false;
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
    auto call = std::make_shared<UiCall>();
    call->fn = std::move(fn);
    Post(call);
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
        // Nothing of a closing window is to run any more.
        shared_->DropQueued();
    }
    shared_->cv.notify_all();
    {
        std::lock_guard lock(shared_->m);
        if (shared_->running && OnUiThread()) return false;
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
    if (OnUiThread()) {
        {
            std::lock_guard lock(progressMutex_);
            progress_.push_back({itemIndex, itemTotal, kind});
        }
        DrainProgress();
        return;
    }
    // The reports ride along with the next call handed to the UI thread (the
    // send of the next request, the traffic display, the result handler); a
    // wake-up of their own only now and then, so that a read of many records
    // does not wake the window once per record.
    const auto now = std::chrono::steady_clock::now();
    bool wake = false;
    {
        std::lock_guard lock(progressMutex_);
        progress_.push_back({itemIndex, itemTotal, kind});
        if (now - lastProgressWake_ >= ProgressWakeInterval) {
            lastProgressWake_ = now;
            wake = true;
        }
    }
    if (wake) Queue([this] { DrainProgress(); });
}

void TThreadCom::DrainProgress()
{
    std::vector<ProgressReport> reports;
    {
        std::lock_guard lock(progressMutex_);
        reports.swap(progress_);
    }
    for (const ProgressReport& r : reports) {
        ItemIndex = r.index;
        ItemTotal = r.total;
        ProgressKind = r.kind;
        SyncProgress();
    }
}

void TThreadCom::SyncProgress()
{
    if (host_.UpdateProgressHook) host_.UpdateProgressHook(ItemIndex, ItemTotal, ProgressKind);
}
