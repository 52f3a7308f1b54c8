#pragma once
// Handing work over to the UI thread from code that may run on the worker:
// widgets and timers are touched on the UI thread only.
#include <functional>

struct JobControl;

// Whether the caller runs on the UI thread (the application's thread).
bool OnUiThread();
// Runs call on the UI thread: at once when already there, otherwise through
// the worker's hand-over (in order with its other calls), waiting for it to
// return when wait is set. Once the worker's shut-down has begun, a call from
// another thread is dropped unrun.
void RunOnUiThread(JobControl& jobs, std::function<void()> call, bool wait);
