#pragma once
// Starting the helper programs of the tests (meter-sim, socat) so that they
// never outlive the test process: a test that aborts (a failed sanitizer
// check, a crash) takes its children with it.
#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

namespace testsupport {

// Starts args[0] (searched on PATH) with stdin from /dev/null and stdout and
// stderr on the given descriptors, or /dev/null where a descriptor is -1.
// Returns the child's pid, or -1.
inline pid_t SpawnChild(const std::vector<std::string>& args, int stdoutFd = -1, int stderrFd = -1)
{
    if (args.empty()) return -1;
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid != 0) return pid;  // parent, or -1 when fork failed

    // Child: only async-signal-safe calls until exec.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);  // the parent died before prctl
    const int devNull = ::open("/dev/null", O_RDWR);
    ::dup2(devNull, 0);
    ::dup2(stdoutFd >= 0 ? stdoutFd : devNull, 1);
    ::dup2(stderrFd >= 0 ? stderrFd : devNull, 2);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

} // namespace testsupport
