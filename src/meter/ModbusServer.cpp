#include "meter/ModbusServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <modbus/modbus.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>

namespace meter {

namespace {

constexpr int RegisterSpace = 65536;

}  // namespace

void ModbusServer::WriteAll(int fd, const uint8_t* data, size_t length) {
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 100);
            continue;
        }
        if (n <= 0) return;
        data += n;
        length -= static_cast<size_t>(n);
    }
}

ModbusServer::ModbusServer(std::vector<SimMeter*> meters, const ServeOptions& serve, const FaultOptions& faults,
                           std::ostream& log, std::mutex* meterLock)
    : lock_(meterLock), faults_(faults), serve_(serve), log_(log), rtuBaud_(serve.baud) {
    for (SimMeter* m : meters) units_.push_back({m, std::make_unique<ModbusRegisterMap>(*m)});
}

ModbusServer::Unit* ModbusServer::FindUnit(int unit) {
    for (Unit& u : units_)
        if (u.meter->UnitAddress() == unit) return &u;
    return nullptr;
}

ModbusServer::~ModbusServer() {
    for (const Connection& c : connections_) ::close(c.fd);
    if (listenFd_ >= 0) ::close(listenFd_);
    if (tcp_) modbus_free(tcp_);
    CloseRtu();
    if (rtu_) modbus_free(rtu_);
    if (mapping_) modbus_mapping_free(mapping_);
    for (const int fd : wake_)
        if (fd >= 0) ::close(fd);
}

bool ModbusServer::Open(std::string& error) {
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("cannot make the wake-up pipe: ") + std::strerror(errno);
        return false;
    }
    mapping_ = modbus_mapping_new(0, 0, RegisterSpace, RegisterSpace);
    if (!mapping_) {
        error = "cannot allocate the register mapping";
        return false;
    }
    if (serve_.HasTcp()) {
        in_addr probe{};
        if (::inet_pton(AF_INET, serve_.tcpHost.c_str(), &probe) != 1) {
            error = "the TCP host must be an IPv4 address such as 127.0.0.1, not " + serve_.tcpHost;
            return false;
        }
        tcp_ = modbus_new_tcp(serve_.tcpHost.c_str(), serve_.tcpPort);
        if (!tcp_) {
            error = std::string("cannot set up Modbus TCP: ") + modbus_strerror(errno);
            return false;
        }
        listenFd_ = modbus_tcp_listen(tcp_, 8);
        if (listenFd_ < 0) {
            error = "cannot listen on " + serve_.tcpHost + ":" + std::to_string(serve_.tcpPort) + ": " +
                    modbus_strerror(errno);
            return false;
        }
        sockaddr_in bound{};
        socklen_t len = sizeof bound;
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &len);
        tcpPort_ = ntohs(bound.sin_port);
    }
    if (serve_.HasRtu() && !OpenRtu(error)) return false;
    return true;
}

void ModbusServer::Stop() {
    const char byte = 1;
    if (wake_[1] >= 0) {
        const ssize_t n = ::write(wake_[1], &byte, 1);
        (void)n;
    }
}

bool ModbusServer::WaitOrStop(int ms) {
    pollfd p{wake_[0], POLLIN, 0};
    if (::poll(&p, 1, ms) > 0) stopping_ = true;
    return !stopping_;
}

void ModbusServer::Log(const std::string& line) {
    if (serve_.verbose) log_ << "meter-sim: " << line << std::endl;
}

void ModbusServer::Run() {
    stopping_ = false;
    while (!stopping_) {
        std::vector<pollfd> fds;
        fds.push_back({wake_[0], POLLIN, 0});
        if (listenFd_ >= 0) fds.push_back({listenFd_, POLLIN, 0});
        const size_t firstConnection = fds.size();
        for (const Connection& c : connections_) fds.push_back({c.fd, POLLIN, 0});
        const size_t rtuIndex = fds.size();
        if (rtuFd_ >= 0) fds.push_back({rtuFd_, POLLIN, 0});
        // A serial device that went away is tried again once a second; a
        // partial RTU frame is given up after a quiet spell.
        const bool rtuDown = serve_.HasRtu() && rtuFd_ < 0;
        const auto gap = RtuGap();
        int timeoutMs = rtuDown ? 1000 : -1;
        if (!rtuDown && !rtuPending_.empty())
            timeoutMs = static_cast<int>(std::max<int64_t>(
                1, std::chrono::duration_cast<std::chrono::milliseconds>(rtuLastByte_ + gap - std::chrono::steady_clock::now())
                           .count() + 1));
        if (::poll(fds.data(), fds.size(), timeoutMs) < 0) {
            if (errno == EINTR) continue;
            log_ << "meter-sim: poll failed: " << std::strerror(errno) << std::endl;
            return;
        }
        if (fds[0].revents) {
            stopping_ = true;
            break;
        }
        if (listenFd_ >= 0 && (fds[1].revents & POLLIN)) Accept();
        std::vector<int> closing;
        for (size_t k = firstConnection; k < rtuIndex; ++k) {
            if (!fds[k].revents || stopping_) continue;
            auto it = std::find_if(connections_.begin(), connections_.end(),
                                   [&](const Connection& c) { return c.fd == fds[k].fd; });
            modbus_set_socket(tcp_, it->fd);
            const Outcome o = ServeTcp();
            if (o == Outcome::Answered) ++it->answers;
            if (o == Outcome::Broken || faults_.CloseConnection(it->answers)) closing.push_back(it->fd);
        }
        for (const int fd : closing) {
            Log("closing TCP connection");
            ::close(fd);
            std::erase_if(connections_, [fd](const Connection& c) { return c.fd == fd; });
        }
        if (rtuFd_ >= 0 && rtuIndex < fds.size() && !stopping_) {
            const short ev = fds[rtuIndex].revents;
            if (ev & (POLLHUP | POLLERR | POLLNVAL)) {
                Log("serial device hung up, reopening");
                CloseRtu();
                rtuRetryAt_ = std::chrono::steady_clock::now() + std::chrono::seconds(1);
            } else {
                if (ev & POLLIN) ReadRtu();
                TakeRtuFrames(!rtuPending_.empty() && std::chrono::steady_clock::now() - rtuLastByte_ >= gap);
            }
        }
        if (rtuDown && std::chrono::steady_clock::now() >= rtuRetryAt_) {
            std::string ignored;
            if (!OpenRtu(ignored)) rtuRetryAt_ = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        }
    }
}

void ModbusServer::Accept() {
    int listen = listenFd_;
    const int fd = modbus_tcp_accept(tcp_, &listen);
    if (fd < 0) return;
    // Answers go out at once, not held back to be coalesced.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    connections_.push_back({fd, 0});
    Log("TCP connection accepted");
}

ModbusServer::Outcome ModbusServer::ServeTcp() {
    uint8_t query[MODBUS_MAX_ADU_LENGTH]{};
    const int length = modbus_receive(tcp_, query);
    if (length <= 0) return length == 0 ? Outcome::Silent : Outcome::Broken;
    return Serve(tcp_, query, length, false);
}

ModbusServer::Outcome ModbusServer::Serve(modbus_t* ctx, const uint8_t* query, int length, bool rtu) {
    const int header = modbus_get_header_length(ctx);
    const int unit = query[header - 1];
    const int function = query[header];
    const int address = query[header + 1] << 8 | query[header + 2];
    std::ostringstream what;
    what << (rtu ? "RTU" : "TCP") << " unit " << unit << " function " << function << " register " << address;
    {
        std::unique_lock<std::mutex> guard;
        if (lock_) guard = std::unique_lock(*lock_);
        for (Unit& u : units_) u.meter->NoteRequest();
    }
    if (faults_.DropRequest()) {
        Log(what.str() + ": dropped (fault)");
        return Outcome::Silent;
    }
    const bool broadcast = unit == MODBUS_BROADCAST_ADDRESS;
    // TCP gateways pass any unit id; the first meter stands behind the others.
    Unit* target = FindUnit(unit);
    if (!target && !rtu) target = &units_.front();
    std::vector<Unit*> targets;
    if (broadcast) {
        for (Unit& u : units_) targets.push_back(&u);
    } else if (target) {
        targets.push_back(target);
    }
    ModbusError error = ModbusError::None;
    {
        std::unique_lock<std::mutex> guard;
        if (lock_) guard = std::unique_lock(*lock_);
        for (Unit* u : targets) error = Carry(*u, query, length, header, function, address, broadcast, rtu, what);
    }
    if (broadcast) {
        Log(what.str() + ": broadcast, not answered");
        for (Unit* u : targets) ApplyLineChange(*u);
        return Outcome::Silent;
    }
    if (faults_.DropAnswer()) {
        Log(what.str() + ": carried out, answer dropped (fault)");
        if (target) ApplyLineChange(*target);
        return Outcome::Silent;
    }
    const FaultSchedule::AnswerFaults f = faults_.ForAnswer(rtu);
    if (f.delayMs > 0 && !WaitOrStop(f.delayMs)) return Outcome::Silent;
    Log(what.str() + (error == ModbusError::None ? ": answered" : ": exception " + std::to_string(static_cast<int>(error))) +
        (f.delayMs ? " late" : "") + (f.badCrc ? " with a bad CRC" : ""));
    const bool sent = Send(ctx, query, length, static_cast<int>(error), f.badCrc);
    if (target) ApplyLineChange(*target);
    return sent ? Outcome::Answered : Outcome::Broken;
}

ModbusError ModbusServer::Carry(Unit& u, const uint8_t* query, int length, int header, int function, int address,
                                bool broadcast, bool rtu, std::ostringstream& what) {
    ModbusRegisterMap& map = *u.map;
    switch (function) {
    case MODBUS_FC_READ_HOLDING_REGISTERS:
    case MODBUS_FC_READ_INPUT_REGISTERS: {
        if (broadcast) return ModbusError::None;  // a read to everyone has no one to answer it
        const bool input = function == MODBUS_FC_READ_INPUT_REGISTERS;
        const int count = query[header + 3] << 8 | query[header + 4];
        RegisterReply reply = input ? map.ReadInput(address, count, rtu ? Line::Rtu : Line::Tcp)
                                    : map.ReadHolding(address, count);
        uint16_t* table = input ? mapping_->tab_input_registers : mapping_->tab_registers;
        std::copy(reply.registers.begin(), reply.registers.end(), table + address);
        what << " count " << count;
        return reply.error;
    }
    case MODBUS_FC_WRITE_SINGLE_REGISTER: {
        const uint16_t value = static_cast<uint16_t>(query[header + 3] << 8 | query[header + 4]);
        return map.Write(address, std::span<const uint16_t>(&value, 1));
    }
    case MODBUS_FC_WRITE_MULTIPLE_REGISTERS: {
        const int count = query[header + 3] << 8 | query[header + 4];
        const int bytes = query[header + 5];
        if (bytes != 2 * count || header + 6 + bytes > length) return ModbusError::IllegalDataValue;
        std::vector<uint16_t> values(static_cast<size_t>(count));
        for (size_t k = 0; k < values.size(); ++k)
            values[k] = static_cast<uint16_t>(query[static_cast<size_t>(header) + 6 + 2 * k] << 8 |
                                              query[static_cast<size_t>(header) + 7 + 2 * k]);
        if (!broadcast || &u == &units_.front()) what << " count " << count;
        return map.Write(address, values);
    }
    default:
        break;
    }
    return ModbusError::IllegalFunction;
}

bool ModbusServer::Send(modbus_t* ctx, const uint8_t* query, int length, int error, bool badCrc) {
    const auto reply = [&] {
        return error ? modbus_reply_exception(ctx, query, static_cast<unsigned>(error))
                     : modbus_reply(ctx, query, length, mapping_);
    };
    if (!badCrc) return reply() >= 0;
    // Let libmodbus frame the answer into a pipe, break its CRC, send that.
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return reply() >= 0;
    const int device = modbus_get_socket(ctx);
    modbus_set_socket(ctx, pipeFds[1]);
    const int rc = reply();
    modbus_set_socket(ctx, device);
    uint8_t frame[MODBUS_MAX_ADU_LENGTH + 8];
    const ssize_t n = ::read(pipeFds[0], frame, sizeof frame);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    if (rc < 0 || n <= 0) return false;
    frame[n - 1] ^= 0xA5;
    WriteAll(device, frame, static_cast<size_t>(n));
    return true;
}

}  // namespace meter
