#pragma once
// The one place where tests start their helper programs: socat pseudo-terminal
// pairs, meter-sim, and a private configuration folder whose ports/comN links
// make a pty a COM port of the tool. Every child is started through
// testsupport::SpawnChild, so it dies with the test process.
//
// A new set-up is a MeterSim with its own options:
//   PtyPair line;                                        // or SerialLine line(7);
//   MeterSim rtu({"--rtu", line.PeerEnd(), "--unit", "3", "--bad-crc-every", "4"});
//   MeterSim tcp({"--tcp", "127.0.0.1:0"});              // tcp.Port() is the port taken
// Several units or transports are several MeterSims, or one with several options.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "../unit/ChildProcess.h"

namespace testsupport {

// Waits up to timeoutMs for the child to end: its exit code (128 + signal when
// killed), or -1 when it still runs.
inline int WaitExit(pid_t pid, int timeoutMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (r < 0 || std::chrono::steady_clock::now() >= until) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// SIGTERM, then SIGKILL when the child has not ended within five seconds.
inline void EndChild(pid_t& pid)
{
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    if (WaitExit(pid, 5000) == -1) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

inline bool WaitForPaths(const std::vector<std::string>& paths, pid_t pid, std::chrono::seconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (pid > 0 && std::chrono::steady_clock::now() < until) {
        struct stat st {};
        if (std::all_of(paths.begin(), paths.end(), [&](const std::string& p) { return ::stat(p.c_str(), &st) == 0; }))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Points XDG_CONFIG_HOME at a fresh folder for the lifetime of the object.
class ScopedConfigHome {
public:
    ScopedConfigHome()
    {
        char tmpl[] = "/tmp/orbicount-test-XXXXXX";
        if (::mkdtemp(tmpl)) root_ = tmpl;
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) saved_ = old;
        ::setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
        std::error_code ec;
        std::filesystem::create_directories(PortsFolder(), ec);
    }
    ~ScopedConfigHome()
    {
        if (saved_)
            ::setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ec;
        if (!root_.empty()) std::filesystem::remove_all(root_, ec);
    }
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

    const std::string& Root() const { return root_; }
    std::string PortsFolder() const { return root_ + "/config/TORVA_ORBICOUNT_TOOL/ports"; }
    // The link that the tool opens as COM<number>.
    std::string PortLink(int number) const { return PortsFolder() + "/com" + std::to_string(number); }

private:
    std::string root_;
    std::optional<std::string> saved_;
};

// socat joining two raw pseudo-terminals: the tool end and the peer end (a
// meter-sim, or the test itself through PeerWrite / PeerRead).
class PtyPair {
public:
    // Both links in a private folder.
    PtyPair()
    {
        char tmpl[] = "/tmp/orbicount-pty-XXXXXX";
        if (!::mkdtemp(tmpl)) return;
        ownDir_ = tmpl;
        Start(ownDir_ + "/tool", ownDir_ + "/meter");
    }
    PtyPair(std::string toolLink, std::string peerLink) { Start(std::move(toolLink), std::move(peerLink)); }
    ~PtyPair()
    {
        Stop();
        std::error_code ec;
        if (!ownDir_.empty()) std::filesystem::remove_all(ownDir_, ec);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ready() const { return ready_; }
    const std::string& ToolEnd() const { return toolLink_; }
    const std::string& PeerEnd() const { return peerLink_; }
    const std::string& MeterEnd() const { return peerLink_; }

    // Ends socat: the tool end hangs up as an unplugged adapter would.
    void Stop()
    {
        if (peer_ >= 0) {
            ::close(peer_);
            peer_ = -1;
        }
        EndChild(pid_);
        ::unlink(toolLink_.c_str());
        ::unlink(peerLink_.c_str());
    }

    // The test as the peer; the peer end is opened on first use, so a pair
    // whose peer is a meter-sim is never read by the test as well.
    bool PeerWrite(const std::vector<uint8_t>& bytes)
    {
        return OpenPeer() && ::write(peer_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // Up to count bytes arriving at the peer end within ms.
    std::vector<uint8_t> PeerRead(size_t count, int ms)
    {
        std::vector<uint8_t> out;
        if (!OpenPeer()) return out;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (out.size() < count) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
            if (left <= 0) break;
            pollfd p{peer_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) break;
            uint8_t buf[256];
            const ssize_t n = ::read(peer_, buf, std::min(sizeof buf, count - out.size()));
            if (n <= 0) break;
            out.insert(out.end(), buf, buf + n);
        }
        return out;
    }
    bool OpenPeer()
    {
        if (peer_ < 0 && ready_) peer_ = ::open(peerLink_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        return peer_ >= 0;
    }

private:
    void Start(std::string toolLink, std::string peerLink)
    {
        toolLink_ = std::move(toolLink);
        peerLink_ = std::move(peerLink);
        pid_ = SpawnChild({"socat", "pty,rawer,echo=0,link=" + toolLink_, "pty,rawer,echo=0,link=" + peerLink_});
        ready_ = WaitForPaths({toolLink_, peerLink_}, pid_, std::chrono::seconds(10));
    }

    std::string ownDir_, toolLink_, peerLink_;
    pid_t pid_ = -1;
    int peer_ = -1;
    bool ready_ = false;
};

// A private configuration folder whose ports/comN is the tool end of a pty
// pair; the peer end is for the meter.
class SerialLine {
public:
    explicit SerialLine(int comNumber) : pty_(config_.PortLink(comNumber), config_.Root() + "/meter") {}
    bool Ready() const { return pty_.Ready(); }
    const std::string& MeterEnd() const { return pty_.PeerEnd(); }
    const ScopedConfigHome& Config() const { return config_; }
    PtyPair& Pty() { return pty_; }

private:
    ScopedConfigHome config_;
    PtyPair pty_;
};

#ifdef METER_SIM_PATH
// meter-sim started with the given options; waits for its ready line. Stopped
// with SIGTERM (SIGKILL if it hangs) when the object goes.
class MeterSim {
public:
    explicit MeterSim(const std::vector<std::string>& args)
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return;
        std::vector<std::string> all{METER_SIM_PATH};
        all.insert(all.end(), args.begin(), args.end());
        pid_ = SpawnChild(all, fds[1]);
        ::close(fds[1]);
        out_ = fds[0];
        if (pid_ <= 0) return;
        ReadUntil("meter-sim: ready\n", 30000);
        ready_ = output_.find("meter-sim: ready\n") != std::string::npos;
        const std::string tag = "listening on ";
        if (const auto at = output_.find(tag); at != std::string::npos) {
            const auto colon = output_.find(':', at + tag.size());
            if (colon != std::string::npos) port_ = std::atoi(output_.c_str() + colon + 1);
        }
    }
    ~MeterSim()
    {
        EndChild(pid_);
        if (out_ >= 0) ::close(out_);
    }
    MeterSim(const MeterSim&) = delete;
    MeterSim& operator=(const MeterSim&) = delete;

    bool Ready() const { return ready_; }
    // The TCP port of --tcp HOST:0, or -1 without --tcp.
    int Port() const { return port_; }
    // What it printed on stdout so far.
    const std::string& Output() const { return output_; }
    // Sends the signal and waits for the exit: the exit code, or -1 when it did
    // not end within ten seconds (the destructor then kills it).
    int Stop(int signal = SIGTERM)
    {
        if (pid_ <= 0) return -1;
        ::kill(pid_, signal);
        const int code = WaitExit(pid_, 10000);
        if (code == -1) return -1;
        pid_ = -1;
        ReadUntil({}, 200);
        return code;
    }

private:
    // Reads stdout until marker (or, with an empty marker, its end) or the time is up.
    void ReadUntil(const std::string& marker, int timeoutMs)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while ((marker.empty() || output_.find(marker) == std::string::npos) &&
               std::chrono::steady_clock::now() < until) {
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char buf[512];
            const ssize_t n = ::read(out_, buf, sizeof buf);
            if (n <= 0) break;
            output_.append(buf, static_cast<size_t>(n));
        }
    }

    pid_t pid_ = -1;
    int out_ = -1;
    bool ready_ = false;
    int port_ = -1;
    std::string output_;
};

// meter-sim run to its end (--help, refused options): exit code and everything
// it printed on stdout and stderr.
struct RunResult {
    int exitCode;
    std::string output;
};
inline RunResult RunMeterSim(const std::vector<std::string>& args)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return {-1, {}};
    std::vector<std::string> all{METER_SIM_PATH};
    all.insert(all.end(), args.begin(), args.end());
    const pid_t pid = SpawnChild(all, fds[1], fds[1]);
    ::close(fds[1]);
    RunResult result{-1, {}};
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) result.output.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    if (pid > 0) result.exitCode = WaitExit(pid, 10000);
    return result;
}
#endif

}  // namespace testsupport
