#pragma once
// Test helpers for serial ports: a private configuration folder and a socat
// pseudo-terminal pair whose tool end is linked in as ports/comN.
#include "ChildProcess.h"
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
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


// Points XDG_CONFIG_HOME at a fresh folder for the lifetime of the object.
class ScopedConfigHome {
public:
    ScopedConfigHome()
    {
        char tmpl[] = "/tmp/orbicount-test-XXXXXX";
        root_ = ::mkdtemp(tmpl);
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            saved_ = old;
        ::setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
        std::filesystem::create_directories(PortsFolder());
    }
    ~ScopedConfigHome()
    {
        if (saved_)
            ::setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

    const std::string& Root() const { return root_; }
    std::string PortsFolder() const { return root_ + "/config/TORVA_ORBICOUNT_TOOL/ports"; }
    std::string PortLink(int number) const { return PortsFolder() + "/com" + std::to_string(number); }

private:
    std::string root_;
    std::optional<std::string> saved_;
};

// A socat process joining two pseudo-terminals: the tool end at toolLink, the
// far end (the "meter") at peerLink.
class PtyPair {
public:
    PtyPair(std::string toolLink, std::string peerLink)
        : toolLink_(std::move(toolLink)), peerLink_(std::move(peerLink))
    {
        const std::string a = "pty,rawer,echo=0,link=" + toolLink_;
        const std::string b = "pty,rawer,echo=0,link=" + peerLink_;
        pid_ = testsupport::SpawnChild({"socat", a, b});
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (pid_ > 0 && std::chrono::steady_clock::now() < until) {
            struct stat st {};
            if (::stat(toolLink_.c_str(), &st) == 0 && ::stat(peerLink_.c_str(), &st) == 0) {
                ready_ = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (ready_) {
            peer_ = ::open(peerLink_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
            ready_ = peer_ >= 0;
        }
    }
    ~PtyPair() { Stop(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ready() const { return ready_; }

    // Ends socat: the tool end hangs up as an unplugged adapter would.
    void Stop()
    {
        if (peer_ >= 0) {
            ::close(peer_);
            peer_ = -1;
        }
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
        ::unlink(toolLink_.c_str());
        ::unlink(peerLink_.c_str());
    }

    bool PeerWrite(const std::vector<uint8_t>& bytes)
    {
        return ::write(peer_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // Reads up to `count` bytes arriving at the far end within `ms`.
    std::vector<uint8_t> PeerRead(size_t count, int ms)
    {
        std::vector<uint8_t> out;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (out.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now()).count();
            if (left <= 0)
                break;
            pollfd p{peer_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0)
                break;
            uint8_t buf[256];
            const ssize_t n = ::read(peer_, buf, std::min(sizeof buf, count - out.size()));
            if (n <= 0)
                break;
            out.insert(out.end(), buf, buf + n);
        }
        return out;
    }

private:
    std::string toolLink_;
    std::string peerLink_;
    pid_t pid_ = -1;
    int peer_ = -1;
    bool ready_ = false;
};
