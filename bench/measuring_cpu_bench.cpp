// CPU time of the tool while it measures a meter-sim over loopback Modbus TCP
// at the shortest refresh interval, window painting included, as a share of
// one core; beside it the CPU time that libmodbus's client spends on the same
// requests, measured in the same run. The difference between the two is what
// the window and the thread hand-overs cost on top of the protocol.
//
// measuring_cpu_bench [seconds]   (default 30; the offscreen platform unless
// QT_QPA_PLATFORM says otherwise)
#include <modbus/modbus.h>
#include <time.h>

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "../tests/e2e/JobHostRig.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"

namespace {

using namespace std::chrono_literals;

double CpuSeconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The reads of one measuring cycle of a meter with a demand logger:
// function, start register, count.
struct Read {
    bool input;
    int start, count;
};
constexpr Read kCycle[] = {{true, 0, 15},       {true, 100, 11},     {true, 200, 17},  {false, 10000, 1},
                           {false, 10100, 1},   {false, 10400, 1},   {true, 412, 1},   {false, 10600, 4}};

// libmodbus's client doing `cycles` measuring cycles on its own thread; its
// thread CPU time in seconds, or a negative value when it could not run.
double LibmodbusCpuSeconds(int port, int cycles)
{
    double spent = -1;
    std::thread client([&] {
        modbus_t* ctx = modbus_new_tcp("127.0.0.1", port);
        if (!ctx) return;
        if (modbus_connect(ctx) == 0) {
            modbus_set_slave(ctx, 1);
            uint16_t regs[32];
            int failed = 0;
            const double start = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            for (int c = 0; c < cycles; ++c)
                for (const Read& r : kCycle)
                    failed += (r.input ? modbus_read_input_registers(ctx, r.start, r.count, regs)
                                       : modbus_read_registers(ctx, r.start, r.count, regs)) != r.count;
            spent = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start;
            if (failed) std::fprintf(stderr, "measuring_cpu_bench: %d libmodbus reads failed\n", failed);
            modbus_close(ctx);
        }
        modbus_free(ctx);
    });
    client.join();
    return spent;
}

// Closes the information and error reports as a user would.
void AcknowledgeReports()
{
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->done(QMessageBox::Ok);
    if (ProgrWinForm && ProgrWinForm->isVisible() &&
        ProgrWinForm->Button_ProgrWin_Terminate->text() == QStringLiteral("Ok"))
        ProgrWinForm->Button_ProgrWin_Terminate->click();
}

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int seconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 30;
    QApplication app(argc, argv);
    rig::MeterSim meter({"--tcp", "127.0.0.1:0"});
    if (!meter.Ready()) {
        std::fprintf(stderr, "measuring_cpu_bench: meter-sim did not start\n");
        return 1;
    }

    TMainForm form;
    MainForm = &form;
    TProgrWinForm progress(form);
    ProgrWinForm = &progress;
    std::atomic<int> cycles{0};
    const auto runner = form.ModbusJobStep;
    form.ModbusJobStep = [&] {
        if (form.GetJob() == jcModbusMeasurement) ++cycles;
        runner();
    };
    QTimer acknowledge;
    QObject::connect(&acknowledge, &QTimer::timeout, &AcknowledgeReports);
    acknowledge.start(50);
    form.show();
    if (!rig::PumpUntil([&] { return form.ComThread != nullptr; })) return 1;
    form.RadioButton_English->setChecked(true);
    form.PageControl_Main->setCurrentWidget(form.Page_Setup);
    form.RadioButton_Modbus_TCPIP->setChecked(true);
    form.Edit_Setup_TCPIP_Port->setText(QString::number(meter.Port()));
    form.Button_Setup_Device_Connect->click();
    if (!rig::PumpUntil([&] { return form.Label_Setup_ConnectStatus->text() == QStringLiteral("Status: Device is connected.") &&
                                     !ProgrWinForm->isVisible(); },
                        30s)) {
        std::fprintf(stderr, "measuring_cpu_bench: no connection\n");
        return 1;
    }
    const QString interval = form.ComboBox_DisplayRefresh->itemText(0);
    form.ComboBox_DisplayRefresh->setCurrentIndex(0);
    form.PageControl_Main->setCurrentWidget(form.Page_Measurement);
    if (!rig::PumpUntil([&] { return cycles.load() > 0 && form.GetJob() == 0; }, 20s)) return 1;

    // The measured span: the window runs as it does for a user.
    const int before = cycles.load();
    const double cpu0 = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const auto wall0 = std::chrono::steady_clock::now();
    QTimer::singleShot(seconds * 1000, &app, [&app] { app.exit(0); });
    app.exec();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    const double toolCpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    const int measured = cycles.load() - before;

    form.PageControl_Main->setCurrentWidget(form.Page_Setup);
    rig::PumpUntil([&] { return form.GetJob() == 0; });
    const double libCpu = LibmodbusCpuSeconds(meter.Port(), measured);
    form.close();

    std::printf("Measuring over loopback Modbus TCP, refresh every %s s, %.1f s, %d cycles of %zu reads\n",
                interval.toUtf8().constData(), wall, measured, std::size(kCycle));
    std::printf("  tool CPU:      %8.1f ms  = %5.2f %% of one core (target <= 2 %%)\n", toolCpu * 1e3,
                100.0 * toolCpu / wall);
    if (libCpu >= 0) {
        std::printf("  libmodbus CPU: %8.1f ms  = %5.2f %% of one core, same requests\n", libCpu * 1e3,
                    100.0 * libCpu / wall);
        std::printf("  ratio tool / libmodbus: %.1f\n", libCpu > 0 ? toolCpu / libCpu : 0.0);
    }
    return 0;
}
