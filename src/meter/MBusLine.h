#pragma once
// Several meters on one M-Bus line: every frame reaches all of them, each
// acts on what names it, broadcasts reach every one and are never answered,
// and answers sent at once collide on the line. Pure, like MBusMeter.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "meter/MBusMeter.h"

namespace meter {

struct MBusLineOutcome {
    bool addressed = false;       // at least one meter took the frame as its own
    std::optional<Bytes> answer;  // what is heard on the line
    int answering = 0;            // how many meters sent it
    std::vector<std::function<void()>> commits;
    std::optional<int> newBaud;
    std::string what;
    void Commit() const;
};

class MBusLine {
public:
    void Add(SimMeter& meter) { meters_.push_back(std::make_unique<MBusMeter>(meter)); }
    size_t Size() const { return meters_.size(); }
    MBusMeter& At(size_t k) { return *meters_[k]; }

    MBusLineOutcome Handle(const MBusFrame& frame);

private:
    std::vector<std::unique_ptr<MBusMeter>> meters_;
};

}  // namespace meter
