#pragma once
// Watches whether the UI thread stays responsive: the longest gap between the
// ticks of a 50 ms timer, from construction on.
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace testsupport {

class TickGapWatch {
public:
    TickGapWatch()
    {
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            const auto now = std::chrono::steady_clock::now();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        tick_.start(50);
    }
    void Stop() { tick_.stop(); }
    std::chrono::steady_clock::duration Longest() const { return longest_; }

private:
    QTimer tick_;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration longest_{};
};

}  // namespace testsupport
