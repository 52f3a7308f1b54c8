#pragma once
// What a simulated meter is (device options), how it is served (transports)
// and which faults it shows, and the command line of meter-sim that sets them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "meter/CivilTime.h"

namespace meter {

enum class WebserverMode { Absent, Disabled, Enabled };

struct DeviceOptions {
    // Device type index of the identification block: 0 and 3 single phase,
    // 1 and 4 three-phase three-wire, 2 and 5 three-phase four-wire; all but 0
    // and 2 are transformer-connected.
    int typeIndex = 5;
    // Option digits D, M, P, Q, U, V, W as in "D1M2P0Q1U0V0W0".
    int digitD = 1, digitM = 2, digitP = 0, digitQ = 1, digitU = 0, digitV = 0, digitW = 0;
    // Option digit Z: 0 no demand logger, 2 the large logger with record
    // numbers, interval summary and certified logger; anything else the
    // ordinary demand logger.
    int variant = 1;
    int unitAddress = 1;
    std::string serialNumber = "2100012345";  // ten decimal digits
    std::string serialPrefix = "TQ";          // two characters
    std::string productName;                  // empty: derived from the type
    uint16_t baseFirmware = 123;              // shown as 1.23
    uint8_t interfaceHw[2] = {1, 0};
    uint8_t interfaceFw[2] = {2, 5};
    WebserverMode webserver = WebserverMode::Absent;
    int ctRatio = 1;
    int vtRatio = 1;
    int demandPeriod = 15;
    int tariff = 1;  // 0 hardware tariff input, 1-8
    bool tariffLocked = false;
    int demandRecords = -1;     // -1: the variant's default
    int eventRecords = 40;
    int certifiedEntries = 12;  // variant 2 only
    std::optional<CivilTime> clockStart;  // empty: the PC's local time
    bool clockStopped = false;            // the clock stands at its start until set
    uint32_t seed = 1;
    int baudCode = 6;  // the line's baud rate code of register 10300
    int mbusPrimary = 0;        // M-Bus primary address 0-250
    std::string mbusId;         // eight digits 0-9, A-E; empty: the serial number's last eight
    uint8_t mbusVersion = 0x01;

    // The M-Bus identification number as packed BCD, least significant
    // digits in the low byte.
    uint32_t MBusIdBcd() const;
    // The maker's word in the M-Bus header.
    uint16_t MBusManufacturer() const { return digitD == 2 ? 0x3984 : 0x52CB; }

    bool HasDemandLogger() const { return variant != 0; }
    bool IsLargeLogger() const { return variant == 2; }
    bool HasTransformer() const { return typeIndex != 0 && typeIndex != 2; }
    bool RatiosSettable() const { return HasTransformer() && digitQ != 0 && digitQ != 9; }
    int Phases() const { return typeIndex == 0 || typeIndex == 3 ? 1 : 3; }
    bool HasNeutral() const { return typeIndex % 3 != 1; }
    int DemandCapacity() const { return IsLargeLogger() ? 168000 : 16000; }
    int DemandRecordCount() const;
};

struct FaultOptions {
    int noAnswerEvery = 0;  // every Nth request addressed to the meter is dropped unseen
    int badCrcEvery = 0;    // every Nth RTU answer goes out with a broken CRC
    int delayMs = 0;        // answers wait this long before they are sent
    int delayEvery = 1;     // ... every Nth answer only
    int dropAfter = 0;      // a TCP connection is closed after its Nth answer
    int dropAnswerEvery = 0;  // every Nth request is carried out but not answered
    int silentAfter = 0;      // after N answers the meter answers nothing more
    std::vector<int> dropAnswers;  // these requests (1-based, as carried out) get no answer
    int badChecksumEvery = 0;  // every Nth M-Bus long answer goes out with a broken checksum
    int shortFrameEvery = 0;   // every Nth M-Bus long answer goes out one byte short
};

struct ServeOptions {
    std::string tcpHost;
    int tcpPort = -1;  // -1: no TCP; 0: any free port
    std::string rtuDevice;
    int baud = 19200;
    char parity = 'E';
    int dataBits = 8;
    int stopBits = 1;
    std::string mbusDevice;
    int mbusBaud = 2400;  // always 8E1
    bool verbose = false;
    bool HasTcp() const { return tcpPort >= 0; }
    bool HasRtu() const { return !rtuDevice.empty(); }
    bool HasMBus() const { return !mbusDevice.empty(); }
};

struct MeterSimOptions {
    DeviceOptions device;  // the device options given outside any --meter
    // Every meter on the line, at least one; each --meter adds one.
    std::vector<DeviceOptions> meters;
    FaultOptions faults;
    ServeOptions serve;
    std::string stateFile;  // empty: none written
};

struct ParseOutcome {
    MeterSimOptions options;
    bool showHelp = false;
    std::string error;  // not empty: the command line was refused
};

ParseOutcome ParseMeterSimArgs(const std::vector<std::string>& args);
std::string MeterSimHelpText();
// Every long option the command line knows.
std::vector<std::string> MeterSimOptionNames();

// The Modbus baud rate codes 0-9 (300 to 115200 Bd); -1 for other rates.
int BaudCodeOf(int baud);
int BaudOfCode(int code);

}  // namespace meter
