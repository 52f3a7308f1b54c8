// meter-sim: simulated meters serving Modbus TCP, Modbus RTU and M-Bus until
// SIGINT or SIGTERM.
#include <signal.h>

#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "meter/MBusServer.h"
#include "meter/ModbusServer.h"
#include "meter/SimMeter.h"
#include "meter/StateFile.h"

namespace {

meter::ModbusServer* g_modbus = nullptr;
meter::MBusServer* g_mbus = nullptr;

void OnSignal(int) {
    if (g_modbus) g_modbus->Stop();
    if (g_mbus) g_mbus->Stop();
}

std::string Digits(uint32_t bcd) {
    std::string s;
    for (int k = 7; k >= 0; --k) s += "0123456789ABCDEF"[(bcd >> (4 * k)) & 0xF];
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const meter::ParseOutcome parsed = meter::ParseMeterSimArgs(args);
    if (parsed.showHelp) {
        std::cout << meter::MeterSimHelpText();
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "meter-sim: " << parsed.error << "\nTry 'meter-sim --help'.\n";
        return 2;
    }
    const meter::MeterSimOptions& options = parsed.options;
    const meter::ServeOptions& serve = options.serve;

    std::vector<std::unique_ptr<meter::SimMeter>> meters;
    std::vector<meter::SimMeter*> pointers;
    meter::MBusLine line;
    for (const meter::DeviceOptions& d : options.meters) {
        meter::TimeSource clock = meter::SystemLocalTime();
        if (d.clockStopped) clock = [started = clock()] { return started; };
        meters.push_back(std::make_unique<meter::SimMeter>(d, clock));
        pointers.push_back(meters.back().get());
        line.Add(*meters.back());
    }
    const bool modbus = serve.HasTcp() || serve.HasRtu();
    std::mutex meterLock;
    std::mutex* lock = modbus && serve.HasMBus() ? &meterLock : nullptr;
    std::unique_ptr<meter::ModbusServer> modbusServer;
    std::unique_ptr<meter::MBusServer> mbusServer;
    std::string error;
    if (modbus) {
        modbusServer = std::make_unique<meter::ModbusServer>(pointers, serve, options.faults, std::cerr, lock);
        if (!modbusServer->Open(error)) {
            std::cerr << "meter-sim: " << error << "\n";
            return 1;
        }
    }
    if (serve.HasMBus()) {
        mbusServer = std::make_unique<meter::MBusServer>(line, serve, options.faults, std::cerr, lock);
        if (!mbusServer->Open(error)) {
            std::cerr << "meter-sim: " << error << "\n";
            return 1;
        }
    }

    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    g_modbus = modbusServer.get();
    g_mbus = mbusServer.get();
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    if (serve.HasTcp()) std::cout << "meter-sim: listening on " << serve.tcpHost << ":" << modbusServer->TcpPort() << "\n";
    if (serve.HasRtu()) {
        std::cout << "meter-sim: serving Modbus RTU on " << serve.rtuDevice << " (" << serve.baud << " "
                  << serve.dataBits << serve.parity << serve.stopBits << ", unit";
        for (size_t k = 0; k < meters.size(); ++k) std::cout << (k ? ", " : " ") << meters[k]->UnitAddress();
        std::cout << ")\n";
    }
    if (serve.HasMBus()) {
        std::cout << "meter-sim: serving M-Bus on " << serve.mbusDevice << " (" << serve.mbusBaud << " 8E1, ";
        for (size_t k = 0; k < meters.size(); ++k)
            std::cout << (k ? "; " : "") << "primary " << meters[k]->MBusPrimaryAddress() << " secondary "
                      << Digits(meters[k]->MBusIdBcd());
        std::cout << ")\n";
    }
    if (!options.stateFile.empty()) {
        // Setters run under the transports' shared lock, so every meter reads steadily.
        const auto write = [&pointers, &options] {
            if (!meter::WriteStateFile(options.stateFile, pointers))
                std::cerr << "meter-sim: cannot write " << options.stateFile << "\n";
        };
        write();
        for (meter::SimMeter* m : pointers) m->SetChangeHook(write);
    }
    std::cout << "meter-sim: ready" << std::endl;

    // Each transport runs its own loop; the meters are shared under the lock.
    std::thread mbusThread;
    if (mbusServer && modbusServer) mbusThread = std::thread([&] { mbusServer->Run(); });
    if (modbusServer) modbusServer->Run();
    else mbusServer->Run();
    if (mbusThread.joinable()) {
        mbusServer->Stop();
        mbusThread.join();
    }
    g_modbus = nullptr;
    g_mbus = nullptr;
    std::cout << "meter-sim: stopped" << std::endl;
    return 0;
}
