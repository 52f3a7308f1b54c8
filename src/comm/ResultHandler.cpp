// The result handler: the UI-thread half of every job. It runs once per worker
// cycle, after the result delay that the worker has already waited.
#include "comm/JobControl.h"

void JobControl::SetUiAction(uint8_t code, std::function<void()> action)
{
    UiActions_[code] = std::move(action);
}

void JobControl::HandleUiRequest()
{
    const uint8_t code = UiRequest.load();
    if (code != 0) {
        UiRequest.store(0);
        // A copy: an action may replace its own table entry. A code without an
        // action is only reset.
        const std::function<void()> action = UiActions_[code];
        if (action) action();
    } else if (JobCode.load() != 0) {
        // Nothing posted and the job still set: the worker goes on with it.
        return;
    }
    // Nothing posted and no job either is an idle cycle; it ends like a finished
    // job, so the worker neither cycles idle nor leaves a parked job waiting.

    if (JobCode.load() != 0) return;
    const uint8_t parked = PendingJob.load();
    if (ComThread && !ComThread->Suspended()) StopThread();
    if (parked != 0) {
        SetJob(parked, PendingJobWindow);
        PendingJob.store(0);
    }
}
