#include "MeterSimHarness.h"

#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>


namespace metersim_test {

namespace {

using Clock = std::chrono::steady_clock;

pid_t Spawn(const std::vector<std::string>& args, int stdoutFd, int stderrFd) {
    return testsupport::SpawnChild(args, stdoutFd, stderrFd);
}

// Waits for the child for up to timeoutMs; its exit code, or -1.
int WaitExit(pid_t pid, int timeoutMs) {
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < until) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (r < 0) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

void Reap(pid_t pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    if (WaitExit(pid, 5000) == -1) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

}  // namespace

MeterSimProcess::MeterSimProcess(const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    std::vector<std::string> all{METER_SIM_PATH};
    all.insert(all.end(), args.begin(), args.end());
    pid_ = Spawn(all, fds[1], devNull);
    ::close(fds[1]);
    ::close(devNull);
    out_ = fds[0];
    if (pid_ <= 0) return;
    ReadUntil("meter-sim: ready\n", 30000);
    ready_ = output_.find("meter-sim: ready\n") != std::string::npos;
    const std::string tag = "listening on ";
    if (const auto at = output_.find(tag); at != std::string::npos) {
        const auto colon = output_.find(':', at + tag.size());
        port_ = std::atoi(output_.c_str() + colon + 1);
    }
}

MeterSimProcess::~MeterSimProcess() {
    Reap(pid_);
    if (out_ >= 0) ::close(out_);
}

void MeterSimProcess::ReadUntil(const std::string& marker, int timeoutMs) {
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (output_.find(marker) == std::string::npos && Clock::now() < until) {
        pollfd p{out_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        char buf[512];
        const ssize_t n = ::read(out_, buf, sizeof buf);
        if (n <= 0) break;
        output_.append(buf, static_cast<size_t>(n));
    }
}

int MeterSimProcess::Stop(int signal) {
    if (pid_ <= 0) return -1;
    ::kill(pid_, signal);
    const int code = WaitExit(pid_, 10000);
    if (code == -1) return -1;
    pid_ = -1;
    ReadUntil("\x01never\x01", 200);
    return code;
}

RunResult RunMeterSim(const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return {-1, {}};
    std::vector<std::string> all{METER_SIM_PATH};
    all.insert(all.end(), args.begin(), args.end());
    const pid_t pid = Spawn(all, fds[1], fds[1]);
    ::close(fds[1]);
    RunResult result{-1, {}};
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) result.output.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    if (pid > 0) result.exitCode = WaitExit(pid, 10000);
    return result;
}

SocatPair::SocatPair() {
    char tmpl[] = "/tmp/metersim-pty-XXXXXX";
    if (!::mkdtemp(tmpl)) return;
    dir_ = tmpl;
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    pid_ = Spawn({"socat", "pty,raw,echo=0,link=" + MeterEnd(), "pty,raw,echo=0,link=" + ToolEnd()}, devNull, devNull);
    ::close(devNull);
    const auto until = Clock::now() + std::chrono::seconds(10);
    while (pid_ > 0 && Clock::now() < until) {
        struct stat st {};
        if (::stat(MeterEnd().c_str(), &st) == 0 && ::stat(ToolEnd().c_str(), &st) == 0) {
            ready_ = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

SocatPair::~SocatPair() {
    Reap(pid_);
    if (!dir_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
}

ModbusClient::ModbusClient(modbus_t* ctx) : ctx_(ctx) {
    if (!ctx_) return;
    connected_ = modbus_connect(ctx_) == 0;
    SetTimeoutMs(2000);
}

ModbusClient ModbusClient::Tcp(int port) { return ModbusClient(modbus_new_tcp("127.0.0.1", port)); }

ModbusClient ModbusClient::Rtu(const std::string& device, int unit, int baud) {
    ModbusClient c(modbus_new_rtu(device.c_str(), baud, 'E', 8, 1));
    if (c.ctx_) modbus_set_slave(c.ctx_, unit);
    return c;
}

ModbusClient::~ModbusClient() {
    if (!ctx_) return;
    modbus_close(ctx_);
    modbus_free(ctx_);
}

void ModbusClient::SetTimeoutMs(int ms) {
    if (ctx_) modbus_set_response_timeout(ctx_, static_cast<uint32_t>(ms / 1000), static_cast<uint32_t>(ms % 1000) * 1000);
}

}  // namespace metersim_test
