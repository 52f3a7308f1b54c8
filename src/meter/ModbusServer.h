#pragma once
// Serves the simulated meters' registers over Modbus TCP and Modbus RTU with
// libmodbus, in one thread: a poll loop over the listening socket, the TCP
// connections, the serial device and a wake-up pipe. On the RTU line each
// meter answers its own unit id only; TCP serves the meter of the request's
// unit id, or the first meter. Broadcasts (unit 0) are carried out by every
// meter and never answered; faults come from a FaultSchedule.
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <ostream>
#include <sstream>
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
    // `meterLock`, when given, is held while the meters are read or changed.
    ModbusServer(std::vector<SimMeter*> meters, const ServeOptions& serve, const FaultOptions& faults,
                 std::ostream& log, std::mutex* meterLock = nullptr);
    ModbusServer(SimMeter& meter, const ServeOptions& serve, const FaultOptions& faults, std::ostream& log)
        : ModbusServer(std::vector<SimMeter*>{&meter}, serve, faults, log) {}
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
    struct Unit {
        SimMeter* meter;
        std::unique_ptr<ModbusRegisterMap> map;
    };
    Outcome ServeTcp();
    void ReadRtu();
    void TakeRtuFrames(bool quiet);
    Outcome Serve(modbus_t* ctx, const uint8_t* query, int length, bool rtu);
    Unit* FindUnit(int unit);
    ModbusError Carry(Unit& u, const uint8_t* query, int length, int header, int function, int address,
                      bool broadcast, bool rtu, std::ostringstream& what);
    std::chrono::steady_clock::duration RtuGap() const;
    bool Send(modbus_t* ctx, const uint8_t* query, int length, int error, bool badCrc);
    bool WaitOrStop(int ms);
    void ApplyLineChange(Unit& unit);
    void Log(const std::string& line);
    static void WriteAll(int fd, const uint8_t* data, size_t length);

    std::vector<Unit> units_;
    std::mutex* lock_;
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
    std::vector<uint8_t> rtuPending_;
    std::chrono::steady_clock::time_point rtuLastByte_{};
    std::chrono::steady_clock::time_point rtuRetryAt_{};
    int wake_[2] = {-1, -1};
    bool stopping_ = false;
};

}  // namespace meter
