#pragma once
// A scripted M-Bus device on the meter end of a pseudo-terminal pair: every
// complete request frame goes to the script, whose bytes (none for silence)
// are the answer. For runner tests that need exact faults at exact steps.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace rig {

class MBusPeer {
public:
    using Bytes = std::vector<uint8_t>;
    // Called on the peer's thread with the request and its 0-based number.
    using Script = std::function<Bytes(const Bytes& request, int index)>;

    MBusPeer(const std::string& device, Script script) : script_(std::move(script))
    {
        fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ >= 0) thread_ = std::thread([this] { Run(); });
    }
    ~MBusPeer()
    {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (fd_ >= 0) ::close(fd_);
    }
    MBusPeer(const MBusPeer&) = delete;
    MBusPeer& operator=(const MBusPeer&) = delete;

    bool Open() const { return fd_ >= 0; }
    std::vector<Bytes> Requests() const
    {
        std::lock_guard lock(m_);
        return requests_;
    }

private:
    // Length of the frame at the start of buf: 0 while incomplete, -1 for a
    // byte that starts no frame.
    static int FrameLength(const Bytes& buf)
    {
        if (buf.empty()) return 0;
        int need = -1;
        if (buf[0] == 0x10) need = 5;
        if (buf[0] == 0xE5) need = 1;
        if (buf[0] == 0x68) need = buf.size() >= 2 ? buf[1] + 6 : 0;
        if (need > 0 && static_cast<int>(buf.size()) < need) return 0;
        return need;
    }

    void Run()
    {
        Bytes buf;
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            uint8_t chunk[256];
            const ssize_t n = ::read(fd_, chunk, sizeof chunk);
            if (n <= 0) continue;
            buf.insert(buf.end(), chunk, chunk + n);
            for (int len = FrameLength(buf); len != 0; len = FrameLength(buf)) {
                if (len < 0) {
                    buf.erase(buf.begin());
                    continue;
                }
                const Bytes request(buf.begin(), buf.begin() + len);
                buf.erase(buf.begin(), buf.begin() + len);
                int index = 0;
                {
                    std::lock_guard lock(m_);
                    index = static_cast<int>(requests_.size());
                    requests_.push_back(request);
                }
                const Bytes answer = script_(request, index);
                if (!answer.empty() && ::write(fd_, answer.data(), answer.size()) < 0) return;
            }
        }
    }

    Script script_;
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    mutable std::mutex m_;
    std::vector<Bytes> requests_;
    std::thread thread_;
};

}  // namespace rig
