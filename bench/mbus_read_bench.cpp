// One full M-Bus identification and value read (jobs 6 and 5) of a meter-sim
// meter over a pseudo-terminal pair, at 2400 and 9600 Bd, against the time
// the bytes of those very frames take on a real line (11 bits a character)
// plus the pauses the transceiver keeps before and after every request. A pty
// does not pace bytes; meter-sim paces its answers to the rate, so the
// figure means something. Near 1: the tool adds little to what the line takes.
// The requests cross the pty at once, so the second ratio, against the paced
// answers and the pauses alone, shows what the tool itself adds.
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "../tests/e2e/JobHostRig.h"
#include "Median.h"
#include "comm/MBusRunner.h"
#include "comm/Transceiver.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 3;
constexpr int kComNumber = 11;
constexpr int kBitsPerCharacter = 11;

struct Run {
    double seconds = 0;
    double reference = 0;
    double requests = 0;  // line time of the requests, which the pty does not pace
    bool ok = false;
};

// Runs one job on this thread, as the worker would, and returns its result code.
uint8_t RunJob(rig::TestJobHost& host, uint8_t job)
{
    host.JobCode = job;
    host.UiRequest = 0;
    RunMBusJobStep(host);
    return host.UiRequest.load();
}

Run OneRead(rig::TestJobHost& host, int baud, int baudIndex)
{
    host.ClearRecords();
    const auto start = Clock::now();
    const bool identified = RunJob(host, jcMBusIdentify) == urConnected;
    const bool read = RunJob(host, jcMBusMeasurement) == urMeasurementRead;
    Run r;
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    r.ok = identified && read;

    long characters = 0, sent = 0;
    int requests = 0;
    for (const rig::Frame& f : host.Traced()) {
        characters += static_cast<long>(f.bytes.size());
        if (f.prefix == "TX:") {
            ++requests;
            sent += static_cast<long>(f.bytes.size());
        }
    }
    const double pause = std::chrono::duration<double>(MBusPacing(baudIndex)).count();
    r.reference = static_cast<double>(characters) * kBitsPerCharacter / baud + requests * 2 * pause;
    r.requests = static_cast<double>(sent) * kBitsPerCharacter / baud;
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    struct Rate {
        int baud, index;
    };
    int failures = 0;
    std::printf("M-Bus identification and measurement read over a pty (median of %d)\n", kRounds);
    for (const Rate rate : {Rate{2400, 3}, Rate{9600, 5}}) {
        rig::SerialLine line(kComNumber);
        if (!line.Ready()) {
            std::fprintf(stderr, "mbus_read_bench: no socat pair\n");
            return 1;
        }
        rig::MeterSim meter({"--mbus", line.MeterEnd(), "--mbus-baud", std::to_string(rate.baud), "--primary", "1"});
        if (!meter.Ready()) {
            std::fprintf(stderr, "mbus_read_bench: meter-sim did not start\n");
            return 1;
        }
        rig::TestJobHost host(tcMBus);
        host.MbusBaudIndex = rate.index;
        host.AddressingMode = amPrimary;
        host.DeviceAddress = 1;
        if (!host.OpenSerial(kComNumber - 1, rate.index)) {
            std::fprintf(stderr, "mbus_read_bench: port did not open\n");
            return 1;
        }
        std::vector<double> measured, reference, ratios, requests;
        for (int round = 0; round < kRounds; ++round) {
            const Run r = OneRead(host, rate.baud, rate.index);
            if (!r.ok) ++failures;
            measured.push_back(r.seconds);
            reference.push_back(r.reference);
            requests.push_back(r.requests);
            ratios.push_back(r.reference > 0 ? r.seconds / r.reference : 0);
        }
        const double paced = Median(reference) - Median(requests);
        std::printf("  %5d Bd: measured %.3f s, line time and pauses %.3f s (of which requests %.3f s), ratio %.2f;"
                    " against the paced answers and pauses alone %.2f\n",
                    rate.baud, Median(measured), Median(reference), Median(requests), Median(ratios),
                    paced > 0 ? Median(measured) / paced : 0.0);
    }
    if (failures) std::fprintf(stderr, "mbus_read_bench: %d reads failed\n", failures);
    return failures ? 1 : 0;
}
