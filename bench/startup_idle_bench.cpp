// Start-up and idle cost of the tool against a bare Qt window of the same size
// (1125 x 660), both started in this run as child processes of this program, on
// the platform QT_QPA_PLATFORM names (offscreen when no display is set).
// Prints the medians and the ratios of the time to the first shown window and
// of the resident memory at idle, and the threads each holds at idle.
// Targets: memory <= 1.4 times, start-up <= 2 times, one thread more (the
// worker); the exit code is 1 when a target is missed.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/Startup.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

long StatusField(const char* name)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').first().toLong();
    return -1;
}

void WaitUntilExposed(QWidget& w)
{
    while (!w.windowHandle() || !w.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Child side: "shown" as soon as the window is up, then, after the window has
// settled at idle, its resident memory (KiB) and its threads.
int RunChild(int argc, char** argv, bool tool)
{
    TApplication app(argc, argv);
    auto report = [&](QWidget& window) {
        WaitUntilExposed(window);
        std::printf("shown\n");
        std::fflush(stdout);
        const auto settle = Clock::now() + std::chrono::milliseconds(1500);
        while (Clock::now() < settle) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::printf("%ld %ld\n", StatusField("VmRSS"), StatusField("Threads"));
        std::fflush(stdout);
    };
    if (tool) {
        SetUpApplication();
        TToolWindows windows;
        windows.Main().show();
        report(windows.Main());
    } else {
        QWidget window;
        window.resize(1125, 660);
        window.show();
        report(window);
    }
    return 0;
}

struct Sample {
    double shownMs = 0;
    long rssKiB = 0;
    long threads = 0;
};

bool RunOnce(const char* self, bool tool, Sample& out)
{
    int pipeFd[2];
    if (pipe(pipeFd) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFd[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFd[0]);
    std::string mode = tool ? "--child-tool" : "--child-bare";
    char* args[] = {const_cast<char*>(self), mode.data(), nullptr};
    const auto start = Clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, self, &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFd[1]);
    if (rc != 0) {
        close(pipeFd[0]);
        return false;
    }
    FILE* in = fdopen(pipeFd[0], "r");
    char line[128];
    bool ok = false;
    if (std::fgets(line, sizeof line, in) && std::strncmp(line, "shown", 5) == 0) {
        out.shownMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        ok = std::fgets(line, sizeof line, in) && std::sscanf(line, "%ld %ld", &out.rssKiB, &out.threads) == 2;
    }
    std::fclose(in);
    int status = 0;
    waitpid(pid, &status, 0);
    return ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

template <class F>
double Median(const std::vector<Sample>& s, F field)
{
    std::vector<double> v;
    for (const Sample& x : s) v.push_back(double(field(x)));
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && std::strcmp(argv[1], "--child-tool") == 0) return RunChild(argc, argv, true);
    if (argc > 1 && std::strcmp(argv[1], "--child-bare") == 0) return RunChild(argc, argv, false);

    // The tool's settings go to a folder of this run, never the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const int rounds = 5;
    std::vector<Sample> bare, tool;
    for (int i = 0; i < rounds; ++i) {
        for (bool isTool : {false, true}) {
            Sample s;
            if (!RunOnce("/proc/self/exe", isTool, s)) {
                std::fprintf(stderr, "the %s child failed\n", isTool ? "tool" : "bare window");
                return 2;
            }
            (isTool ? tool : bare).push_back(s);
        }
    }
    auto ms = [](const Sample& s) { return s.shownMs; };
    auto rss = [](const Sample& s) { return s.rssKiB; };
    auto threads = [](const Sample& s) { return s.threads; };
    const double startRatio = Median(tool, ms) / Median(bare, ms);
    const double memRatio = Median(tool, rss) / Median(bare, rss);
    const long extraThreads = long(Median(tool, threads) - Median(bare, threads));
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    std::printf("platform %s, %d rounds, medians\n", platform.isEmpty() ? "xcb" : platform.constData(), rounds);
    std::printf("bare window  start-up %7.1f ms  resident %7.1f MiB  threads %ld\n", Median(bare, ms),
                Median(bare, rss) / 1024.0, long(Median(bare, threads)));
    std::printf("tool         start-up %7.1f ms  resident %7.1f MiB  threads %ld\n", Median(tool, ms),
                Median(tool, rss) / 1024.0, long(Median(tool, threads)));
    std::printf("ratio        start-up %.2f (target <= 2.0)  memory %.2f (target <= 1.4)  "
                "extra threads %ld (target 1, the worker)\n",
                startRatio, memRatio, extraThreads);
    return (startRatio <= 2.0 && memRatio <= 1.4 && extraThreads <= 1) ? 0 : 1;
}
