// A demand read of 168,000 records (the large logger, 17 registers each) from
// meter-sim over loopback Modbus TCP: the tool's worker and hand-over against
// libmodbus's own client reading the same records from the same simulator, in
// the same run. Printed: both times and the time per record, the ratio, the
// target (ours at most 1.3 times libmodbus's plus one second), and the
// resident memory after the read.
#include <modbus/modbus.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "../tests/e2e/JobHostRig.h"
#include "comm/ModbusLoggerJobs.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRecords = 168000;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// The same walk as the tool: the newest record, then the next older ones.
double LibmodbusSeconds(int port, int records, int& read)
{
    modbus_t* ctx = modbus_new_tcp("127.0.0.1", port);
    if (ctx == nullptr || modbus_connect(ctx) != 0) {
        if (ctx) modbus_free(ctx);
        return -1;
    }
    modbus_set_slave(ctx, 1);
    uint16_t regs[17];
    read = 0;
    const auto start = Clock::now();
    for (int k = 0; k < records; ++k)
        if (modbus_read_input_registers(ctx, k == 0 ? 3400 : 3500, 17, regs) == 17) ++read;
    const double s = Seconds(Clock::now() - start);
    modbus_close(ctx);
    modbus_free(ctx);
    return s;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : kRecords;
    rig::MeterSim meter({"--tcp", "127.0.0.1:0", "--variant", "2", "--demand-records", std::to_string(records)});
    if (!meter.Ready()) {
        std::fprintf(stderr, "logger_read_bench: meter-sim did not start\n");
        return 1;
    }
    const long idleKb = ResidentKb();

    double ours = 0;
    int oursRead = 0;
    {
        rig::TestJobHost host(tcModbusTcp);
        host.DeviceVariant = 2;
        host.DemandCount = records;
        host.Recording = false;
        host.StartWorker(RunModbusLoggerJob);
        if (!host.ConnectTcp(meter.Port())) {
            std::fprintf(stderr, "logger_read_bench: no connection to meter-sim\n");
            return 1;
        }
        // The UI thread runs a plain event loop, as under the tool's modal
        // progress window; a coarse timer only looks for the end.
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (host.Idle()) loop.quit();
        });
        host.Results.clear();
        const auto start = Clock::now();
        host.SetJob(jcModbusDemandLogger);
        poll.start(20);
        loop.exec();
        ours = Seconds(Clock::now() - start);
        const auto results = host.Results;
        oursRead = host.RecordCount.load();
        if (results != std::vector<uint8_t>{urDemandLoggerRead})
            std::fprintf(stderr, "logger_read_bench: our read did not finish\n");
        const long afterKb = ResidentKb();
        std::printf("resident memory: idle %ld kB, after our read %ld kB (records held %zu)\n", idleKb, afterKb,
                    host.DemandRecords.AllocatedRecords());
    }

    int refRead = 0;
    const double reference = LibmodbusSeconds(meter.Port(), records, refRead);
    if (reference < 0) {
        std::fprintf(stderr, "logger_read_bench: libmodbus cannot connect\n");
        return 1;
    }
    std::printf("demand read of %d records over loopback Modbus TCP\n", records);
    const auto perRecord = [records](double s) { return records > 0 ? 1e6 * s / records : 0.0; };
    std::printf("  ours:      %8.2f s (%d records, %.1f us each)\n", ours, oursRead, perRecord(ours));
    std::printf("  libmodbus: %8.2f s (%d records, %.1f us each)\n", reference, refRead, perRecord(reference));
    std::printf("  ratio ours / libmodbus: %.2f; target ours <= 1.3 x libmodbus + 1 s: %s\n", ours / reference,
                ours <= 1.3 * reference + 1.0 ? "met" : "NOT met");
    return 0;
}
