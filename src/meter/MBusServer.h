#pragma once
// Serves an M-Bus line of simulated meters on a serial device (8E1 at the
// line's rate) in one thread: frames are gathered from the bytes that
// arrive, handed to the line, and the answer goes out paced to the rate, 11
// bits a character, as a real line would carry it; a pseudo-terminal does
// not pace by itself. Faults come from a FaultSchedule, and a meter's state
// moves on only with an answer that went out whole.
#include <chrono>
#include <mutex>
#include <ostream>
#include <string>

#include "meter/FaultSchedule.h"
#include "meter/MBusLine.h"
#include "meter/MeterOptions.h"

namespace meter {

class MBusServer {
public:
    // `meterLock`, when given, is held while the meters are read or changed
    // (another server may serve the same meters from another thread).
    MBusServer(MBusLine& line, const ServeOptions& serve, const FaultOptions& faults, std::ostream& log,
               std::mutex* meterLock = nullptr);
    ~MBusServer();
    MBusServer(const MBusServer&) = delete;
    MBusServer& operator=(const MBusServer&) = delete;

    bool Open(std::string& error);
    void Run();
    // Safe from any thread and from a signal handler.
    void Stop();
    int Baud() const { return baud_; }

private:
    using Clock = std::chrono::steady_clock;

    bool OpenDevice(std::string& error);
    void CloseDevice();
    void ReadBytes();
    void TakeFrames(bool quiet);
    void Serve(const uint8_t* frame, size_t length);
    // Writes the bytes one character time apart from `start` on; false when
    // stopped meanwhile.
    bool SendPaced(const Bytes& bytes, Clock::time_point start);
    bool WaitUntil(Clock::time_point when);
    Clock::duration CharTime() const;
    void Log(const std::string& line);

    MBusLine& line_;
    FaultSchedule faults_;
    ServeOptions serve_;
    std::ostream& log_;
    std::mutex* lock_;
    int fd_ = -1;
    int baud_;
    Bytes pending_;
    Clock::time_point firstByteAt_{};
    Clock::time_point lastByteAt_{};
    Clock::time_point retryAt_{};
    int wake_[2] = {-1, -1};
    bool stopping_ = false;
};

}  // namespace meter
