// Cost of writing frames into the communication monitor when it already holds
// its full 30,000 lines (so the oldest lines are cut now and then), against
// writing the same frames into an empty monitor in the same run. A ratio near
// 1 means the cut keeps the cost flat however long the tool has been running.
#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/MainForm.h"
#include "comm/Monitor.h"

namespace {

using Clock = std::chrono::steady_clock;

// A request and a 25-byte answer: seven lines per exchange.
double SecondsPerExchange(TMainForm& form, int exchanges)
{
    std::vector<uint8_t> request{0x10, 0x5B, 0x01, 0x5C, 0x16};
    std::vector<uint8_t> answer(25);
    for (size_t i = 0; i < answer.size(); ++i) answer[i] = static_cast<uint8_t>(i * 7);
    const auto start = Clock::now();
    for (int i = 0; i < exchanges; ++i) {
        answer[3] = static_cast<uint8_t>(i);
        TraceFrame(form, "TX:", request.data(), static_cast<int>(request.size()));
        TraceFrame(form, "RX:", answer.data(), static_cast<int>(answer.size()));
        // The window repaints between exchanges now and then, as it does while a job runs.
        if (i % 10 == 0) QCoreApplication::processEvents();
    }
    return std::chrono::duration<double>(Clock::now() - start).count() / exchanges;
}

void Fill(TMainForm& form, int lines)
{
    QStringList text;
    for (int i = 0; i < lines; ++i) text << QStringLiteral("00 11 22 33 44 55 66 77 88 %1 ").arg(i % 100, 2, 10, QLatin1Char('0'));
    form.Memo_Com_Win->setPlainText(text.join(QLatin1Char('\n')));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TMainForm form;
    form.ConnectTransportHandlers();
    form.CheckBoxAdministrator->setChecked(true);
    form.show();
    QCoreApplication::processEvents();

    // 2,000 exchanges pass the 30,000-line limit several times.
    constexpr int exchanges = 2000;
    constexpr int rounds = 3;
    double empty = 0;
    double full = 0;
    for (int r = 0; r < rounds; ++r) {
        form.Memo_Com_Win->clear();
        empty += SecondsPerExchange(form, exchanges);
        Fill(form, TraceMaxLines);
        full += SecondsPerExchange(form, exchanges);
    }
    const int lines = form.Memo_Com_Win->document()->blockCount();
    std::printf("monitor_trim: empty monitor %.1f us/exchange, full monitor %.1f us/exchange, "
                "ratio %.2f (monitor ends at %d lines)\n",
                empty / rounds * 1e6, full / rounds * 1e6, full / empty, lines);
    return lines <= TraceMaxLines + 8 ? 0 : 1;
}
