#include "meter/MBusServer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/SerialLine.h"

namespace meter {

namespace {

std::string Hex(const Bytes& b) {
    std::string s;
    char buf[4];
    for (size_t k = 0; k < b.size(); ++k) {
        std::snprintf(buf, sizeof buf, k ? " %02X" : "%02X", b[k]);
        s += buf;
    }
    return s;
}

timespec ToTimespec(std::chrono::steady_clock::duration d) {
    const auto ns = std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::nanoseconds>(d).count());
    return {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

}  // namespace

MBusServer::MBusServer(MBusLine& line, const ServeOptions& serve, const FaultOptions& faults, std::ostream& log,
                       std::mutex* meterLock)
    : line_(line), faults_(faults), serve_(serve), log_(log), lock_(meterLock), baud_(serve.mbusBaud) {}

MBusServer::~MBusServer() {
    CloseDevice();
    for (const int fd : wake_)
        if (fd >= 0) ::close(fd);
}

bool MBusServer::Open(std::string& error) {
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("cannot make the wake-up pipe: ") + std::strerror(errno);
        return false;
    }
    return OpenDevice(error);
}

bool MBusServer::OpenDevice(std::string& error) {
    fd_ = ::open(serve_.mbusDevice.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        error = "cannot open " + serve_.mbusDevice + ": " + std::strerror(errno);
        return false;
    }
    SerialLineSettings s;
    s.Baud = static_cast<uint32_t>(baud_);
    s.DataBits = 8;
    s.Parity = 1;
    if (!ApplySerialLine(fd_, s) || !SetReadsReturnAtOnce(fd_)) {
        error = "cannot set up the line of " + serve_.mbusDevice + ": " + std::strerror(errno);
        CloseDevice();
        return false;
    }
    return true;
}

void MBusServer::CloseDevice() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    pending_.clear();
}

void MBusServer::Stop() {
    const char byte = 1;
    if (wake_[1] >= 0) {
        const ssize_t n = ::write(wake_[1], &byte, 1);
        (void)n;
    }
}

void MBusServer::Log(const std::string& line) {
    if (serve_.verbose) log_ << "meter-sim: M-Bus " << line << std::endl;
}

MBusServer::Clock::duration MBusServer::CharTime() const {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(11.0 / baud_));
}

bool MBusServer::WaitUntil(Clock::time_point when) {
    pollfd p{wake_[0], POLLIN, 0};
    for (;;) {
        const auto left = when - Clock::now();
        if (left <= Clock::duration::zero()) return !stopping_;
        const timespec ts = ToTimespec(left);
        const int r = ::ppoll(&p, 1, &ts, nullptr);
        if (r > 0) {
            stopping_ = true;
            return false;
        }
        if (r < 0 && errno != EINTR) return !stopping_;
    }
}

void MBusServer::Run() {
    stopping_ = false;
    while (!stopping_) {
        pollfd fds[2] = {{wake_[0], POLLIN, 0}, {fd_, POLLIN, 0}};
        const nfds_t count = fd_ >= 0 ? 2 : 1;
        // A partial frame is given up once the line has been quiet for a
        // while; a device that went away is tried again once a second.
        const auto gap = std::max<Clock::duration>(std::chrono::milliseconds(30), 30 * CharTime());
        int timeoutMs = -1;
        if (fd_ < 0) timeoutMs = 1000;
        else if (!pending_.empty())
            timeoutMs = static_cast<int>(std::max<int64_t>(
                1, std::chrono::duration_cast<std::chrono::milliseconds>(lastByteAt_ + gap - Clock::now()).count() + 1));
        const int r = ::poll(fds, count, timeoutMs);
        if (r < 0) {
            if (errno == EINTR) continue;
            log_ << "meter-sim: poll failed: " << std::strerror(errno) << std::endl;
            return;
        }
        if (fds[0].revents) break;
        if (fd_ < 0) {
            std::string ignored;
            if (Clock::now() >= retryAt_ && !OpenDevice(ignored)) retryAt_ = Clock::now() + std::chrono::seconds(1);
            continue;
        }
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            Log("serial device hung up, reopening");
            CloseDevice();
            retryAt_ = Clock::now() + std::chrono::seconds(1);
            continue;
        }
        if (fds[1].revents & POLLIN) ReadBytes();
        TakeFrames(!pending_.empty() && Clock::now() - lastByteAt_ >= gap);
    }
    stopping_ = true;
}

void MBusServer::ReadBytes() {
    uint8_t buf[512];
    for (;;) {
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n <= 0) break;
        const auto now = Clock::now();
        if (pending_.empty()) firstByteAt_ = now;
        lastByteAt_ = now;
        pending_.insert(pending_.end(), buf, buf + n);
    }
}

void MBusServer::TakeFrames(bool quiet) {
    while (!pending_.empty() && !stopping_) {
        const int length = MBusFrameLength(pending_.data(), pending_.size());
        if (length < 0) {
            Log("stray byte " + Hex({pending_.front()}) + " dropped");
            pending_.erase(pending_.begin());
            continue;
        }
        if (length == 0 || static_cast<size_t>(length) > pending_.size()) {
            if (quiet) {
                Log("incomplete frame " + Hex(pending_) + " dropped");
                pending_.clear();
            }
            return;
        }
        const Bytes frame(pending_.begin(), pending_.begin() + length);
        pending_.erase(pending_.begin(), pending_.begin() + length);
        Serve(frame.data(), frame.size());
        // What follows arrived behind this frame on the line.
        firstByteAt_ = lastByteAt_;
    }
}

void MBusServer::Serve(const uint8_t* bytes, size_t length) {
    const Bytes request(bytes, bytes + length);
    // The request takes its time on the line; the answer follows it.
    const Clock::time_point received = firstByteAt_ + static_cast<int64_t>(length) * CharTime();
    const std::optional<MBusFrame> frame = ParseMBusFrame(bytes, length);
    if (!frame) {
        Log(Hex(request) + ": broken frame, ignored");
        return;
    }
    MBusLineOutcome outcome;
    {
        std::unique_lock<std::mutex> guard;
        if (lock_) guard = std::unique_lock(*lock_);
        outcome = line_.Handle(*frame);
    }
    if (!outcome.addressed) {
        Log(Hex(request) + ": for no meter here");
        return;
    }
    if (faults_.DropRequest()) {
        Log(Hex(request) + ": " + outcome.what + ": dropped (fault)");
        return;
    }
    bool whole = true;
    if (outcome.answer) {
        Bytes answer = *outcome.answer;
        const bool isLong = answer.size() > 1;
        const FaultSchedule::MBusAnswerFaults f = faults_.ForMBusAnswer(isLong);
        std::string how = "answered";
        if (f.badChecksum) {
            answer[answer.size() - 2] ^= 0xA5;
            how += " with a bad checksum";
            whole = false;
        } else if (f.oneByteShort) {
            answer.pop_back();
            how += " one byte short";
            whole = false;
        }
        if (f.delayMs) how += " late";
        Log(Hex(request) + ": " + outcome.what + ": " + how + " " + Hex(answer));
        if (!WaitUntil(received + std::chrono::milliseconds(f.delayMs))) return;
        if (!SendPaced(answer, Clock::now())) return;
    } else {
        Log(Hex(request) + ": " + outcome.what + ": not answered");
        if (!WaitUntil(received)) return;
    }
    if (!whole) return;
    {
        std::unique_lock<std::mutex> guard;
        if (lock_) guard = std::unique_lock(*lock_);
        outcome.Commit();
    }
    if (outcome.newBaud && fd_ >= 0) {
        ::tcdrain(fd_);
        baud_ = *outcome.newBaud;
        SerialLineSettings s;
        s.Baud = static_cast<uint32_t>(baud_);
        s.Parity = 1;
        ApplySerialLine(fd_, s);
        Log("line now at " + std::to_string(baud_) + " Bd");
    }
}

bool MBusServer::SendPaced(const Bytes& bytes, Clock::time_point start) {
    const Clock::duration ch = CharTime();
    size_t sent = 0;
    while (sent < bytes.size()) {
        // Every character whose time on the line is over goes out now, so
        // that it arrives when its last bit would have.
        const auto due = std::min(bytes.size(), static_cast<size_t>((Clock::now() - start) / ch));
        while (sent < due && fd_ >= 0) {
            const ssize_t n = ::write(fd_, bytes.data() + sent, due - sent);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno == EAGAIN) {
                pollfd p{fd_, POLLOUT, 0};
                ::poll(&p, 1, 100);
                continue;
            }
            if (n <= 0) return false;
            sent += static_cast<size_t>(n);
        }
        if (fd_ < 0) return false;
        if (sent < bytes.size() && !WaitUntil(start + static_cast<int64_t>(sent + 1) * ch)) return false;
    }
    return true;
}

}  // namespace meter
