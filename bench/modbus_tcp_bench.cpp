// Modbus TCP exchanges per second of the tool's transceiver (request handed to
// the UI thread's socket, worker asleep until the answer is whole) against
// libmodbus's own client, both reading input registers 0 x15 from the same
// meter-sim on loopback in the same run. Printed as a ratio: near 1 means the
// hand-over between the threads costs little next to the round trip itself.
#include <modbus/modbus.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "../tests/e2e/JobHostRig.h"
#include "Median.h"
#include "comm/Transceiver.h"
#include "core/RequestTemplates.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPhase = std::chrono::milliseconds(1500);
constexpr int kRounds = 3;

// Our exchanges: a worker thread sends, this thread runs the socket's events.
double OursPerSecond(rig::TestJobHost& host)
{
    std::atomic<long> done{0};
    std::atomic<long> failed{0};
    QEventLoop loop;
    const auto start = Clock::now();
    std::thread worker([&] {
        while (Clock::now() - start < kPhase) {
            if (SendRequestTemplate(host, TplModbusIn0000x15, 1) == erValidAnswer)
                ++done;
            else
                ++failed;
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    host.ClearRecords();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (failed) std::fprintf(stderr, "modbus_tcp_bench: %ld of our exchanges failed\n", failed.load());
    return done / seconds;
}

double LibmodbusPerSecond(modbus_t* ctx)
{
    uint16_t regs[15];
    long done = 0;
    const auto start = Clock::now();
    while (Clock::now() - start < kPhase)
        if (modbus_read_input_registers(ctx, 0, 15, regs) == 15) ++done;
    return done / std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    rig::MeterSim meter({"--tcp", "127.0.0.1:0"});
    if (!meter.Ready()) {
        std::fprintf(stderr, "modbus_tcp_bench: meter-sim did not start\n");
        return 1;
    }

    rig::TestJobHost host(tcModbusTcp);
    // The worker's hand-over carries the requests to this thread, as in the tool.
    host.StartWorker();
    if (!host.ConnectTcp(meter.Port())) {
        std::fprintf(stderr, "modbus_tcp_bench: no connection to meter-sim\n");
        return 1;
    }
    modbus_t* ctx = modbus_new_tcp("127.0.0.1", meter.Port());
    if (ctx == nullptr || modbus_connect(ctx) != 0) {
        std::fprintf(stderr, "modbus_tcp_bench: libmodbus cannot connect\n");
        if (ctx) modbus_free(ctx);
        return 1;
    }
    modbus_set_slave(ctx, 1);

    // Alternating phases, so that both see the same machine load.
    std::vector<double> ours, reference;
    for (int round = 0; round < kRounds; ++round) {
        ours.push_back(OursPerSecond(host));
        reference.push_back(LibmodbusPerSecond(ctx));
    }
    modbus_close(ctx);
    modbus_free(ctx);

    const double o = Median(ours);
    const double r = Median(reference);
    std::printf("Modbus TCP exchanges per second (input registers 0 x15, loopback, median of %d)\n", kRounds);
    std::printf("  transceiver: %10.0f\n", o);
    std::printf("  libmodbus:   %10.0f\n", r);
    std::printf("  ratio transceiver / libmodbus: %.2f\n", r > 0 ? o / r : 0.0);
    return 0;
}
