#pragma once
// Keeps the UI thread's events flowing while a test waits on the window or
// the worker.
#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <functional>
#include <thread>

namespace testsupport {

// Until done() holds (true) or the limit passes (false).
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace testsupport
