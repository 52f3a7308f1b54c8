// The RTU side of the Modbus server: the serial line, gathering each request
// and handing it to libmodbus as the unit it is meant for, and line changes.
#include <fcntl.h>
#include <modbus/modbus.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "meter/ModbusServer.h"

namespace meter {

namespace {

// The length of the RTU request at `b` by its function code: 0 while not yet
// known, -1 for a function whose length cannot be told from its bytes.
int RtuRequestLength(const uint8_t* b, size_t available) {
    if (available < 2) return 0;
    switch (b[1]) {
    case 1: case 2: case 3: case 4: case 5: case 6:
        return 8;
    case 15: case 16:
        return available < 7 ? 0 : 9 + b[6];
    default:
        return -1;
    }
}

}  // namespace

bool ModbusServer::OpenRtu(std::string& error) {
    if (!rtu_) {
        rtu_ = modbus_new_rtu(serve_.rtuDevice.c_str(), rtuBaud_, serve_.parity, serve_.dataBits, serve_.stopBits);
        if (!rtu_) {
            error = std::string("cannot set up Modbus RTU: ") + modbus_strerror(errno);
            return false;
        }
    }
    modbus_set_slave(rtu_, units_.front().meter->UnitAddress());
    if (modbus_connect(rtu_) != 0) {
        error = "cannot open " + serve_.rtuDevice + ": " + modbus_strerror(errno);
        return false;
    }
    rtuFd_ = modbus_get_socket(rtu_);
    return true;
}

void ModbusServer::CloseRtu() {
    if (rtu_ && rtuFd_ >= 0) modbus_close(rtu_);
    rtuFd_ = -1;
}

std::chrono::steady_clock::duration ModbusServer::RtuGap() const {
    // Three and a half characters of 11 bits, no less than 5 ms.
    return std::max<std::chrono::steady_clock::duration>(
        std::chrono::milliseconds(5),
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(38.5 / rtuBaud_)));
}

void ModbusServer::ReadRtu() {
    uint8_t buf[512];
    for (;;) {
        const ssize_t n = ::read(rtuFd_, buf, sizeof buf);
        if (n <= 0) break;
        rtuPending_.insert(rtuPending_.end(), buf, buf + n);
        rtuLastByte_ = std::chrono::steady_clock::now();
    }
}

void ModbusServer::TakeRtuFrames(bool quiet) {
    while (!rtuPending_.empty() && !stopping_ && rtuFd_ >= 0) {
        const int length = RtuRequestLength(rtuPending_.data(), rtuPending_.size());
        const bool complete = length > 0 && static_cast<size_t>(length) <= rtuPending_.size();
        if (!complete && !quiet) return;
        // A function whose length the meter cannot tell ends with the quiet spell.
        const size_t take = complete ? static_cast<size_t>(length) : rtuPending_.size();
        std::vector<uint8_t> frame(rtuPending_.begin(), rtuPending_.begin() + static_cast<std::ptrdiff_t>(take));
        rtuPending_.erase(rtuPending_.begin(), rtuPending_.begin() + static_cast<std::ptrdiff_t>(take));
        const int unit = frame[0];
        if (unit != MODBUS_BROADCAST_ADDRESS && !FindUnit(unit)) {
            Log("RTU unit " + std::to_string(unit) + ": no meter here");
            continue;
        }
        // libmodbus takes the frame from a pipe, as the unit it is meant for.
        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return;
        WriteAll(pipeFds[1], frame.data(), frame.size());
        modbus_set_slave(rtu_, unit == MODBUS_BROADCAST_ADDRESS ? units_.front().meter->UnitAddress() : unit);
        modbus_set_socket(rtu_, pipeFds[0]);
        uint8_t query[MODBUS_MAX_ADU_LENGTH]{};
        const int received = modbus_receive(rtu_, query);
        modbus_set_socket(rtu_, rtuFd_);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        if (received <= 0) {
            Log(std::string("unreadable RTU request: ") + modbus_strerror(errno));
            continue;
        }
        Serve(rtu_, query, received, true);
    }
}

void ModbusServer::ApplyLineChange(Unit& unit) {
    const LineChange change = unit.map->TakeLineChange();
    if (change.baudCode && rtu_ && rtuFd_ >= 0) {
        // The answer still goes out at the old rate.
        ::tcdrain(rtuFd_);
        rtuBaud_ = BaudOfCode(*change.baudCode);
        CloseRtu();
        modbus_free(rtu_);
        rtu_ = nullptr;
        std::string error;
        if (!OpenRtu(error)) {
            log_ << "meter-sim: " << error << std::endl;
            rtuRetryAt_ = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        }
        Log("serial line now at " + std::to_string(rtuBaud_) + " Bd");
    }
}

}  // namespace meter
