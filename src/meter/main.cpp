// meter-sim: a simulated meter serving Modbus TCP and Modbus RTU until SIGINT
// or SIGTERM.
#include <signal.h>

#include <iostream>
#include <string>
#include <vector>

#include "meter/ModbusServer.h"
#include "meter/SimMeter.h"
#include "meter/StateFile.h"

namespace {

meter::ModbusServer* g_server = nullptr;

void OnSignal(int) {
    if (g_server) g_server->Stop();
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

    meter::SimMeter meter(options.device, meter::SystemLocalTime());
    meter::ModbusServer server(meter, options.serve, options.faults, std::cerr);
    std::string error;
    if (!server.Open(error)) {
        std::cerr << "meter-sim: " << error << "\n";
        return 1;
    }

    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    g_server = &server;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    if (options.serve.HasTcp())
        std::cout << "meter-sim: listening on " << options.serve.tcpHost << ":" << server.TcpPort() << "\n";
    if (options.serve.HasRtu())
        std::cout << "meter-sim: serving Modbus RTU on " << options.serve.rtuDevice << " (" << options.serve.baud
                  << " " << options.serve.dataBits << options.serve.parity << options.serve.stopBits << ", unit "
                  << options.device.unitAddress << ")\n";
    if (!options.stateFile.empty()) {
        const auto write = [&meter, &options] {
            if (!meter::WriteStateFile(options.stateFile, meter))
                std::cerr << "meter-sim: cannot write " << options.stateFile << "\n";
        };
        write();
        meter.SetChangeHook(write);
    }
    std::cout << "meter-sim: ready" << std::endl;

    server.Run();
    g_server = nullptr;
    std::cout << "meter-sim: stopped" << std::endl;
    return 0;
}
