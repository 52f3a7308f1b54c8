// The demand logger of 168,000 records on screen and on disk, each against a
// reference measured in the same run:
//  - filling the grid (ShowDemandLogger and its first paint) against building
//    the same rows' texts into plain strings: at most 2 times;
//  - one scroll step of the full grid against one of a grid of 100 rows: the
//    step must not grow with the rows (at most 1.5 times);
//  - writing the CSV file against one plain buffered write of the same bytes:
//    at most 3 times.
// Prints the figures and exits with 1 when a limit is passed.
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "app/Startup.h"
#include "app/StringGrid.h"
#include "core/LoggerCsv.h"
#include "Median.h"
#include "loggers/LoggerCsvWriter.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRecords = 168000;
constexpr int kSmallGrid = 100;
constexpr int kRounds = 5;
constexpr int kScrollSteps = 60;

double Seconds(const std::function<void()>& work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Two(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

// The texts the 17-register parser stores, varied like a real log.
void FillStore(TMainForm& f)
{
    for (int k = 0; k < kRecords; ++k) {
        CDemandLogger& r = *f.DemandRecords.ForWrite(static_cast<size_t>(k));
        const int minutes = (kRecords - k) * 15;
        r.Date = " 20" + Two(21 + minutes / 525600) + "-" + Two(1 + minutes / 43800 % 12) + "-" +
                 Two(1 + minutes / 1440 % 28);
        r.Time = " " + Two(minutes / 60 % 24) + ":" + Two(minutes % 60);
        r.Tariff = " " + std::to_string(1 + k % 4);
        r.EpIn = " " + std::to_string(1000000 - k) + "." + std::to_string(k % 1000) + " ";
        r.EpOut = " " + std::to_string(k / 3) + "." + std::to_string(k % 10) + " ";
        r.EpUnit = " kWh";
        r.Status = k % 97 == 0 ? " 0001, 8000" : " 0000, 8000";
        r.RecordNo = std::to_string(1000000 + kRecords - k);
    }
    f.RecordCount = kRecords;
    f.DeviceVariant = 2;
    f.HasReactiveEnergy = 0;
}

// The reference of the fill: the same cells as plain strings.
double BuildPlainRows(const TMainForm& f)
{
    std::vector<std::string> cells(static_cast<size_t>(kRecords) * 10);
    return Seconds([&] {
        size_t i = 0;
        for (int k = 0; k < kRecords; ++k) {
            const CDemandLogger& r = f.DemandRecords[static_cast<size_t>(k)];
            cells[i++] = " " + std::to_string(k);
            cells[i++] = r.Date;
            cells[i++] = r.Time;
            cells[i++] = " " + r.RecordNo;
            cells[i++] = r.Tariff;
            cells[i++] = r.EpOut + r.EpUnit;
            cells[i++] = r.EpIn + r.EpUnit;
            cells[i++].clear();
            cells[i++].clear();
            cells[i++] = r.Status;
        }
    });
}

double FillGrid(TMainForm& f)
{
    TStringGrid* g = f.StringGrid_DemandLogger;
    g->SetRowCount(2);
    QApplication::processEvents();
    return Seconds([&] {
        f.ShowDemandLogger();
        g->viewport()->repaint();
    });
}

// Mean time of one scroll step with its repaint, over steps across the grid.
double ScrollStep(TStringGrid* g)
{
    QScrollBar* bar = g->verticalScrollBar();
    const int range = bar->maximum();
    return Seconds([&] {
               for (int s = 0; s < kScrollSteps; ++s) {
                   bar->setValue(static_cast<int>(static_cast<long long>(range) * ((s * 37) % kScrollSteps) /
                                                  (kScrollSteps - 1)));
                   g->viewport()->repaint();
               }
           }) /
           kScrollSteps;
}

double WriteOurs(TMainForm& f, const QString& path, const std::string& header)
{
    return Seconds([&] {
        WriteCsvFile(path, [&](QIODevice& out) {
            return WriteDemandCsv(out, header, f.DemandRecords, kRecords, DemandCsvLayout::RecordNumbers, ',');
        });
    });
}

double WritePlain(const QString& path, const QByteArray& bytes)
{
    return Seconds([&] {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
        file.close();
    });
}

bool Check(const char* what, double ratio, double limit)
{
    const bool ok = ratio <= limit;
    std::printf("  %-46s %6.2f (limit %.1f) %s\n", what, ratio, limit, ok ? "ok" : "TOO SLOW");
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    TToolWindows windows;
    TMainForm& f = windows.Main();
    f.show();
    f.PageControl_Main->setCurrentWidget(f.Page_Logger);
    QApplication::processEvents();
    FillStore(f);

    std::vector<double> plain, fill;
    for (int round = 0; round < kRounds; ++round) {
        plain.push_back(BuildPlainRows(f));
        fill.push_back(FillGrid(f));
    }

    TStringGrid* g = f.StringGrid_DemandLogger;
    std::vector<double> fullStep, smallStep;
    for (int round = 0; round < kRounds; ++round) {
        f.RecordCount = kRecords;
        f.ShowDemandLogger();
        fullStep.push_back(ScrollStep(g));
        f.RecordCount = kSmallGrid;
        f.ShowDemandLogger();
        smallStep.push_back(ScrollStep(g));
    }

    QTemporaryDir out;
    const QString ours = out.filePath(QStringLiteral("demand.csv"));
    const QString reference = out.filePath(QStringLiteral("plain.csv"));
    const std::string header =
        CsvHeaderBlock(CsvLogger::Demand, DemandCsvLayout::RecordNumbers, 1, 1, 2, CsvDeviceInfo{});
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteDemandCsv(buffer, header, f.DemandRecords, kRecords, DemandCsvLayout::RecordNumbers, ',');
    const QByteArray bytes = buffer.data();
    std::vector<double> csv, write;
    for (int round = 0; round < kRounds; ++round) {
        csv.push_back(WriteOurs(f, ours, header));
        write.push_back(WritePlain(reference, bytes));
    }
    const bool same = QFile(ours).size() == bytes.size();

    const double p = Median(plain), fl = Median(fill), fs = Median(fullStep), ss = Median(smallStep);
    const double c = Median(csv), w = Median(write);
    std::printf("Demand logger of %d records (median of %d rounds)\n", kRecords, kRounds);
    std::printf("  plain row texts %.1f ms, grid fill with first paint %.1f ms\n", p * 1e3, fl * 1e3);
    std::printf("  scroll step: %d rows %.2f ms, %d rows %.2f ms\n", kRecords, fs * 1e3, kSmallGrid, ss * 1e3);
    std::printf("  CSV of %lld bytes %.1f ms, one plain write %.1f ms\n", static_cast<long long>(bytes.size()),
                c * 1e3, w * 1e3);
    bool ok = Check("grid fill / plain row texts", fl / p, 2.0);
    ok = Check("scroll step full grid / 100-row grid", fs / ss, 1.5) && ok;
    ok = Check("CSV file / one plain buffered write", c / w, 3.0) && ok;
    if (!same) std::printf("  the CSV file is not the size of its bytes\n");
    return ok && same ? 0 : 1;
}
