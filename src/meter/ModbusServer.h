#pragma once
// Serves the simulated meter's registers over Modbus TCP and Modbus RTU with
// libmodbus, in one thread: a poll loop over the listening socket, the TCP
// connections, the serial device and a wake-up pipe. Broadcasts (unit 0) are
// carried out and never answered; faults come from a FaultSchedule.
#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "meter/FaultSchedule.h"
#include "meter/MeterOptions.h"
#include "meter/ModbusRegisterMap.h"
#include "meter/SimMeter.h"

typedef struct _modbus modbus_t;
typedef struct _modbus_mapping_t modbus_mapping_t;

namespace meter {

class ModbusServer {
public:
    ModbusServer(SimMeter& meter, const ServeOptions& serve, const FaultOptions& faults, std::ostream& log);
    ~ModbusServer();
    ModbusServer(const ModbusServer&) = delete;
    ModbusServer& operator=(const ModbusServer&) = delete;

    // Opens every transport asked for; false with the reason when one fails.
    bool Open(std::string& error);
    // The TCP port bound by Open (the one chosen when 0 was asked for).
    int TcpPort() const { return tcpPort_; }
    // Serves until Stop().
    void Run();
    // Safe from any thread and from a signal handler.
    void Stop();

private:
    struct Connection {
        int fd;
        int answers;
    };
    enum class Outcome { Answered, Silent, Broken };

    bool OpenRtu(std::string& error);
    void CloseRtu();
    void Accept();
    Outcome Serve(modbus_t* ctx, bool rtu);
    void SkipExpectedAnswer(modbus_t* ctx);
    bool Send(modbus_t* ctx, const uint8_t* query, int length, int error, bool badCrc);
    bool WaitOrStop(int ms);
    void ApplyLineChange();
    void Log(const std::string& line);

    SimMeter& meter_;
    ModbusRegisterMap map_;
    FaultSchedule faults_;
    ServeOptions serve_;
    std::ostream& log_;
    modbus_mapping_t* mapping_ = nullptr;
    modbus_t* tcp_ = nullptr;
    int listenFd_ = -1;
    int tcpPort_ = -1;
    std::vector<Connection> connections_;
    modbus_t* rtu_ = nullptr;
    int rtuFd_ = -1;
    int rtuBaud_;
    std::chrono::steady_clock::time_point rtuRetryAt_{};
    int wake_[2] = {-1, -1};
    bool stopping_ = false;
};

}  // namespace meter
