#pragma once
// A misbehaving Modbus TCP meter on 127.0.0.1, run by a thread of its own so
// that it keeps going whatever the tool's event loop does: it accepts one
// connection, then either answers each request as the test's function says or
// floods the connection with bytes until the tool hangs up.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace testsupport {

class ScriptedTcpPeer {
public:
    using Bytes = std::vector<uint8_t>;
    // Given one whole request (MBAP header on), the bytes to send back.
    using Answer = std::function<Bytes(const Bytes& request)>;

    explicit ScriptedTcpPeer(Answer answer) : answer_(std::move(answer)) { Start(); }
    // Sends `pattern` over and over from the moment the tool connects.
    explicit ScriptedTcpPeer(Bytes floodPattern) : flood_(std::move(floodPattern)) { Start(); }
    ~ScriptedTcpPeer()
    {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (listen_ >= 0) ::close(listen_);
    }
    ScriptedTcpPeer(const ScriptedTcpPeer&) = delete;
    ScriptedTcpPeer& operator=(const ScriptedTcpPeer&) = delete;

    int Port() const { return port_; }
    int Requests() const { return requests_.load(); }
    long long BytesSent() const { return sent_.load(); }

    // Answers every request with the exception answer (code 0x0B, no response
    // from the target device), as a gateway with no meter behind it does.
    static Bytes ExceptionTo(const Bytes& request)
    {
        if (request.size() < 8) return {};
        return {request[0], request[1], 0x00, 0x00, 0x00, 0x03, request[6],
                static_cast<uint8_t>(request[7] | 0x80), 0x0B};
    }

private:
    void Start()
    {
        listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (listen_ < 0 || ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::listen(listen_, 1) != 0 || ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return;
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Run(); });
    }

    bool Wait(int fd, short events)
    {
        pollfd p{fd, events, 0};
        return ::poll(&p, 1, 50) > 0 && (p.revents & events) != 0;
    }

    void Run()
    {
        int fd = -1;
        while (!stop_ && fd < 0)
            if (Wait(listen_, POLLIN)) fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        Bytes pending;
        while (!stop_) {
            if (!flood_.empty()) {
                if (!Wait(fd, POLLOUT)) continue;
                const ssize_t n = ::send(fd, flood_.data(), flood_.size(), MSG_NOSIGNAL);
                if (n <= 0) break;  // the tool hung up
                sent_ += n;
                continue;
            }
            if (!Wait(fd, POLLIN)) continue;
            uint8_t buf[512];
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) break;
            pending.insert(pending.end(), buf, buf + n);
            while (pending.size() >= 6) {
                const size_t length = 6 + (size_t{pending[4]} << 8 | pending[5]);
                if (pending.size() < length) break;
                const Bytes request(pending.begin(), pending.begin() + static_cast<long>(length));
                pending.erase(pending.begin(), pending.begin() + static_cast<long>(length));
                ++requests_;
                const Bytes reply = answer_(request);
                if (!reply.empty()) ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
            }
        }
        ::close(fd);
    }

    Answer answer_;
    Bytes flood_;
    int listen_ = -1;
    int port_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::atomic<long long> sent_{0};
    std::thread thread_;
};

}  // namespace testsupport
