// The simulated meters' M-Bus side under arbitrary bytes on the line: frames
// are gathered as the server gathers them and handed to a line of two meters,
// whose answers are delivered or lost as the input says. Every answer must be
// a single 0xE5 or a well-formed long frame, whatever came before.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "meter/MBusLine.h"

namespace {

meter::DeviceOptions Device(int primary, const char* id) {
    meter::DeviceOptions d;
    d.mbusPrimary = primary;
    d.mbusId = id;
    d.demandRecords = 4;
    d.eventRecords = 3;
    d.clockStart = meter::CivilTime{2024, 5, 7, 10, 0, 0};
    return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const meter::TimeSource clock = [] { return int64_t{1715076000000}; };
    meter::SimMeter a(Device(0, "00012345"), clock);
    meter::SimMeter b(Device(1, "12345678"), clock);
    meter::MBusLine line;
    line.Add(a);
    line.Add(b);
    size_t at = 0;
    while (at < size) {
        const int length = meter::MBusFrameLength(data + at, size - at);
        if (length < 0) {
            ++at;
            continue;
        }
        if (length == 0 || static_cast<size_t>(length) > size - at) break;
        const auto frame = meter::ParseMBusFrame(data + at, static_cast<size_t>(length));
        at += static_cast<size_t>(length);
        if (!frame) continue;
        const meter::MBusLineOutcome o = line.Handle(*frame);
        if (o.answer && o.answering == 1) {
            const meter::Bytes& ans = *o.answer;
            const bool ack = ans == meter::Bytes{meter::MBusAck};
            if (!ack && !meter::ParseMBusFrame(ans.data(), ans.size())) std::abort();
        }
        // The checksum byte decides whether the answer reached the tool.
        if (data[at - 2] & 1) o.Commit();
    }
    return 0;
}
