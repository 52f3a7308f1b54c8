#include "comm/UiThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include "comm/JobControl.h"

bool OnUiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

void RunOnUiThread(JobControl& jobs, std::function<void()> call, bool wait)
{
    if (OnUiThread()) {
        call();
        return;
    }
    // The worker's own hand-over keeps these calls in order with its result
    // handler; without a worker (tests, start-up) Qt's queue does.
    if (jobs.ComThread) {
        if (wait)
            jobs.ComThread->Synchronize(call);
        else
            jobs.ComThread->Queue(std::move(call));
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call),
                              wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}
