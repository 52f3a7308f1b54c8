// The Logger page driven like a user against meter-sim over Modbus TCP and
// M-Bus: the demand read into the grid and into its CSV file, whose lines are
// computed here from the meter's own records, a saved read after a longer one,
// and the demand interval read with and without "To Table"; and on both Modbus
// transports, how each read's window ends whatever the timing.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <utility>

#include "ValuesE2EFixture.h"
#include "meter/CivilTime.h"
#include "meter/ModbusRegisterMap.h"
#include "meter/ModbusUnits.h"

namespace {

std::string Two2(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

std::string Hex4(unsigned v)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", v & 0xFFFF);
    return text;
}

// A raw energy count as the tool shows it: scale code decimals, the separator.
std::string Scaled(long long raw, const meter::UnitChoice& unit, char separator)
{
    static constexpr int kDecimals[] = {3, 2, 1, 0, 2, 1, 0};
    std::string digits = std::to_string(raw);
    const int d = kDecimals[unit.code];
    if (d > 0) {
        if (static_cast<int>(digits.size()) <= d) digits.insert(0, static_cast<size_t>(d + 1) - digits.size(), '0');
        digits.insert(digits.size() - static_cast<size_t>(d), 1, separator);
    }
    return digits;
}

std::string Energy(double wh, const meter::UnitChoice& unit, char separator)
{
    return Scaled(meter::Raw32(wh, unit.resolution), unit, separator);
}

const char* UnitText(const meter::UnitChoice& unit) { return unit.code <= 3 ? "kWh" : "MWh"; }

class LoggerWindowE2ETest : public ValuesE2ETest {
protected:
    void ConnectLargeLogger(int records)
    {
        StartMeter({"--tcp", "127.0.0.1:0", "--variant", "2", "--demand-records", std::to_string(records)});
        StartWindow();
        form->RadioButton_Modbus_TCPIP->setChecked(true);
        form->Edit_Setup_TCPIP_Port->setText(QString::number(sim->Port()));
        Connect();
        ASSERT_EQ(form->DeviceVariant, 2);
        form->PageControl_Main->setCurrentWidget(form->Page_Logger);
        form->PageControl_Logger->setCurrentWidget(form->Page_DemandLogger);
    }

    // An M-Bus meter with the ordinary demand log on the line, connected.
    void StartMBusLogger(int records)
    {
        StartMeter({"--mbus", line->MeterEnd(), "--mbus-baud", "9600", "--primary", "1", "--demand-records",
                    std::to_string(records)});
    }

    const meter::DemandRecord& Newest(size_t k) const
    {
        const auto& log = model->DemandLog();
        return log.Records()[log.Size() - 1 - k];
    }

    // The data line of the large logger's layout, from the meter's record.
    std::string CsvLine(const meter::DemandRecord& r, char separator) const
    {
        const meter::CivilTime t = meter::FromSeconds(r.time);
        const meter::UnitChoice unit = meter::ModbusRegisterMap(*model).EnergyUnit();
        return std::to_string(t.year) + "-" + Two2(t.month) + "-" + Two2(t.day) + ";" + Two2(t.hour) + ":" +
               Two2(t.minute) + ";" + std::to_string(r.number) + ";" + std::to_string(r.tariff) + ";" +
               Energy(r.epOut, unit, separator) + ";" + Energy(r.epIn, unit, separator) + ";" +
               UnitText(unit) + ";0x" + Hex4(r.status1) + ";0x" + Hex4(r.status2) + ";";
    }

    // The data line of the ordinary logger with reactive energies.
    std::string CsvLineWithReactive(const meter::DemandRecord& r) const
    {
        const meter::CivilTime t = meter::FromSeconds(r.time);
        const meter::UnitChoice unit = meter::ModbusRegisterMap(*model).EnergyUnit();
        return std::to_string(t.year) + "-" + Two2(t.month) + "-" + Two2(t.day) + ";" + Two2(t.hour) + ":" +
               Two2(t.minute) + ":" + Two2(t.second) + ";" + std::to_string(r.period) + ";" +
               std::to_string(r.tariff) + ";" + Energy(r.epOut, unit, '.') + ";" + Energy(r.epIn, unit, '.') + ";" +
               UnitText(unit) + ";" + Energy(r.eqOut, unit, '.') + ";" + Energy(r.eqIn, unit, '.') + ";" +
               (unit.code <= 3 ? "kVArh" : "MVArh") + ";0x" + Hex4(r.status1) + ";0x" + Hex4(r.status2) + ";";
    }

    // What the period's energies read: the growth of each counter from the
    // earliest to the latest of the meter's records within the period.
    using Energies = std::pair<std::string, std::string>;
    Energies IntervalEnergies(const meter::CivilTime& from, const meter::CivilTime& till) const
    {
        const int64_t a = meter::ToSeconds(from), b = meter::ToSeconds(till);
        const meter::DemandRecord *first = nullptr, *last = nullptr;
        for (const meter::DemandRecord& r : model->DemandLog().Records()) {
            if (r.time < a || r.time > b) continue;
            if (!first || r.time < first->time) first = &r;
            if (!last || r.time > last->time) last = &r;
        }
        if (!first) return {};
        const meter::UnitChoice unit = meter::ModbusRegisterMap(*model).EnergyUnit();
        const auto growth = [&](double meter::DemandRecord::*counter) {
            const long long raw = meter::Raw32(last->*counter, unit.resolution) -
                                  meter::Raw32(first->*counter, unit.resolution);
            return " " + Scaled(raw, unit, '.') + " " + UnitText(unit);
        };
        return {"E(P)out: " + growth(&meter::DemandRecord::epOut), "E(P)in: " + growth(&meter::DemandRecord::epIn)};
    }

    Energies ShownEnergies() const
    {
        return {form->EPoutInterval->text().toStdString(), form->EPinInterval->text().toStdString()};
    }

    QTemporaryDir files;
};

TEST_F(LoggerWindowE2ETest, DemandReadFillsTheGridAndItsCsvHoldsTheMetersRecords)
{
    constexpr int kRecords = 120;
    ConnectLargeLogger(kRecords);
    User user;
    form->ComboBox_Demand->setCurrentText(QStringLiteral("100"));
    form->Button_Demand_Read->click();
    ASSERT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("The number of Demand items: 100")) &&
                                       !ProgrWinForm->isVisible(); }, 60s)) << user.All();
    TStringGrid* g = form->StringGrid_DemandLogger;
    ASSERT_EQ(g->RowCount(), 101);
    for (int k : {0, 1, 57, 99}) {
        const meter::DemandRecord& r = Newest(static_cast<size_t>(k));
        EXPECT_EQ(g->Cell(3, k + 1).toStdString(), " " + std::to_string(r.number)) << k;
        EXPECT_EQ(g->Cell(9, k + 1).toStdString(), " " + Hex4(r.status1) + ", " + Hex4(r.status2)) << k;
    }
    Screenshot(form->Page_Logger, QStringLiteral("logger-demand-read-tcp"));

    // The same read into a file, in German: the whole log, 120 lines.
    form->RadioButton_German->setChecked(true);
    const QString path = files.filePath(QStringLiteral("demand"));
    form->ChooseCsvFile = [&] { return path; };
    form->CheckBox_Demand_SaveToFile->setChecked(true);
    form->ComboBox_Demand->setCurrentText(QStringLiteral("500"));
    form->Button_Demand_Read->click();
    ASSERT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("Anzahl der Zeilen: 120")) &&
                                       !ProgrWinForm->isVisible(); }, 60s)) << user.All();
    EXPECT_TRUE(user.boxes.empty());
    QFile file(path + QStringLiteral(".csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 7 + kRecords + 1);
    EXPECT_EQ(lines[6], QByteArray("Datum;Uhrzeit;Rekord_Nr.;Tarif;E(P)out;E(P)in;Einheit;Status1;Status2\r"));
    for (int k = 0; k < kRecords; ++k)
        ASSERT_EQ(lines[7 + k].toStdString(), CsvLine(Newest(static_cast<size_t>(k)), ',') + "\r") << "record " << k;
    EXPECT_TRUE(lines.back().isEmpty());
}

// The meter's log shrinks between two reads over M-Bus; the second read, into
// a file, ends at the log's end long before its count. The store still holds
// the first read's records past it: neither the file nor the grid shows them.
TEST_F(LoggerWindowE2ETest, SavedReadAfterALongerOneHoldsOnlyItsOwnRecords)
{
    ChooseRtuLine();
    StartMBusLogger(30);
    StartWindow();
    form->RadioButton_MBus->setChecked(true);
    ChooseLine(form->ComboBox_Setup_Port_MBus, kComNumber, kBaudIndex9600);
    form->MaskEdit_Setup_Primary_Address->setText(QStringLiteral("1"));
    Connect();
    ASSERT_EQ(form->HasReactiveEnergy, 1);
    form->PageControl_Main->setCurrentWidget(form->Page_Logger);
    form->PageControl_Logger->setCurrentWidget(form->Page_DemandLogger);
    User user;
    form->ComboBox_Demand->setCurrentText(QStringLiteral("30"));
    form->Button_Demand_Read->click();
    ASSERT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("The number of Demand items: 30")) &&
                                       !ProgrWinForm->isVisible(); }, 60s)) << user.All();
    ASSERT_EQ(form->StringGrid_DemandLogger->RowCount(), 31);

    // The same line, now a meter whose log holds 5 records.
    sim.reset();
    StartMBusLogger(5);
    const QString path = files.filePath(QStringLiteral("demand.csv"));
    form->ChooseCsvFile = [&] { return path; };
    form->CheckBox_Demand_SaveToFile->setChecked(true);
    form->ComboBox_Demand->setCurrentText(QStringLiteral("30"));
    form->Button_Demand_Read->click();
    ASSERT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("The number of Demand items: 5")) &&
                                       !ProgrWinForm->isVisible(); }, 60s)) << user.All();
    EXPECT_TRUE(user.boxes.empty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 7 + 5 + 1) << file.fileName().toStdString();
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(lines[7 + k].toStdString(), CsvLineWithReactive(Newest(static_cast<size_t>(k))) + "\r") << k;
    TStringGrid* g = form->StringGrid_DemandLogger;
    ASSERT_EQ(g->RowCount(), 6);
    for (int k = 0; k < 5; ++k) {
        const meter::CivilTime t = meter::FromSeconds(Newest(static_cast<size_t>(k)).time);
        EXPECT_EQ(g->Cell(2, k + 1).toStdString(), Two2(t.hour) + ":" + Two2(t.minute) + ":" + Two2(t.second)) << k;
    }
}

TEST_F(LoggerWindowE2ETest, IntervalReadShowsTheSummaryAndWithToTableThePeriodsRecords)
{
    ConnectLargeLogger(300);
    User user;
    const auto setPeriod = [&](const char* fromDate) {
        form->MaskEditIntervalDateFrom->setText(QString::fromLatin1(fromDate));
        form->MaskEditIntervalTimeFrom->setText(QStringLiteral("02:07"));
        form->MaskEditIntervalDateTill->setText(QStringLiteral("2024-05-07"));
        form->MaskEditIntervalTimeTill->setText(QStringLiteral("08:00"));
    };
    // The meter keeps its records by the quarter hour: 02:07 reads from 02:00.
    const auto energies = IntervalEnergies({2024, 5, 7, 2, 0, 0}, {2024, 5, 7, 8, 0, 0});
    ASSERT_FALSE(energies.first.empty());
    const auto read = [&] {
        form->EPoutInterval->clear();
        form->EPinInterval->clear();
        form->IntervalRecordCount = -1;
        form->Button_Demand_Interval_Read->click();
    };
    // The result reaches the window after the worker has finished.
    const auto shown = [&] { return !form->EPinInterval->text().isEmpty() && form->GetJob() == 0; };

    // Summary only: no progress window; the period's energies, and the edits
    // show the period's first and last records.
    setPeriod("2024-05-07");
    read();
    ASSERT_TRUE(PumpUntil(shown, 30s));
    const int records = form->IntervalRecordCount;
    EXPECT_GT(records, 10);
    EXPECT_EQ(ShownEnergies(), energies);
    EXPECT_EQ(form->MaskEditIntervalTimeFrom->text(), QStringLiteral("02:00"));
    EXPECT_TRUE(user.reports.empty()) << user.All();
    EXPECT_EQ(form->StringGrid_DemandLogger->RowCount(), 2);
    Screenshot(form->Page_Logger, QStringLiteral("logger-demand-interval-tcp-en"));

    // A period the log does not reach: no data, and the edits keep the period.
    form->RadioButton_German->setChecked(true);
    setPeriod("2015-01-01");
    form->MaskEditIntervalDateTill->setText(QStringLiteral("2015-01-02"));
    read();
    ASSERT_TRUE(PumpUntil(shown, 30s));
    EXPECT_EQ(form->IntervalRecordCount, 0);
    EXPECT_EQ(ShownEnergies(), Energies("E(P)out: keine Daten", "E(P)in: keine Daten"));
    EXPECT_EQ(form->MaskEditIntervalDateFrom->text(), QStringLiteral("2015-01-01"));

    // To Table, in German: the same energies and the period's records, newest first, in the grid.
    setPeriod("2024-05-07");
    form->CheckBoxIntervalToTable->setChecked(true);
    read();
    ASSERT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("Anzahl der Zeilen: ") + QString::number(records)) &&
                                       !ProgrWinForm->isVisible(); }, 60s)) << user.All();
    EXPECT_EQ(ShownEnergies(), energies);
    TStringGrid* g = form->StringGrid_DemandLogger;
    ASSERT_EQ(g->RowCount(), records + 1);
    const long long newest = g->Cell(3, 1).trimmed().toLongLong();
    for (int k = 0; k < records; ++k) {
        ASSERT_EQ(g->Cell(3, k + 1).trimmed().toLongLong(), newest - k) << k;
        const meter::DemandRecord* r = nullptr;
        for (const meter::DemandRecord& m : model->DemandLog().Records())
            if (m.number == newest - k) r = &m;
        ASSERT_NE(r, nullptr);
        const meter::CivilTime t = meter::FromSeconds(r->time);
        EXPECT_EQ(g->Cell(2, k + 1).toStdString(), " " + Two2(t.hour) + ":" + Two2(t.minute)) << k;
    }
    // The period lies within 02:00 and 08:00 as the meter keeps its records.
    EXPECT_EQ(g->Cell(1, 1), QStringLiteral(" 2024-05-07"));
    Screenshot(form->Page_Logger, QStringLiteral("logger-demand-interval-tcp-de"));
}

// Every read ends with its own window turned into the closing information
// over the filled grid, whatever the timing: the Read clicked while the clock
// refresh that the last "Ok" started still runs (the read waits for it);
// "Abbrechen" pressed after the last record, before the result; and then, before
// that result, Read on the next logger page, at once (before the clock refresh
// that "Abbrechen" arms) or after it. The cancelled read's result fills its
// grid and leaves the next read's window alone, and the next read runs; unless
// "Abbrechen" on the next read's window at once ends it while it is still
// parked, and then it never runs. Each read on both Modbus transports, against
// a quick and a slow meter.
enum class Timing { DuringClockRead, CancelAfterLast, NextReadAtOnce, NextReadAfterClockTick, NextReadCancelled };

struct ClosingCase {
    bool rtu;
    int delayMs;
};

class LoggerReadClosingE2ETest : public LoggerWindowE2ETest, public ::testing::WithParamInterface<ClosingCase> {};

TEST_P(LoggerReadClosingE2ETest, EveryReadEndsInItsClosingInformationOverTheFilledGrid)
{
    const ClosingCase c = GetParam();
    std::vector<std::string> args{"--variant", "2", "--demand-records", "12", "--event-records", "12",
                                  "--certified-entries", "12", "--delay-ms", std::to_string(c.delayMs)};
    if (c.rtu) {
        ChooseRtuLine();
        args.insert(args.end(), {"--rtu", line->MeterEnd(), "--baud", "19200", "--unit", "4"});
    } else {
        args.insert(args.end(), {"--tcp", "127.0.0.1:0"});
    }
    StartMeter(args);
    StartWindow();
    if (c.rtu) {
        UseRtu(QStringLiteral("4"));
    } else {
        form->RadioButton_Modbus_TCPIP->setChecked(true);
        form->Edit_Setup_TCPIP_Port->setText(QString::number(sim->Port()));
    }
    Connect();
    form->RadioButton_German->setChecked(true);
    form->PageControl_Main->setCurrentWidget(form->Page_Logger);
    form->CheckBoxIntervalToTable->setChecked(true);
    form->MaskEditIntervalDateFrom->setText(QStringLiteral("2024-05-07"));
    form->MaskEditIntervalTimeFrom->setText(QStringLiteral("08:30"));
    form->MaskEditIntervalDateTill->setText(QStringLiteral("2024-05-07"));
    form->MaskEditIntervalTimeTill->setText(QStringLiteral("10:00"));

    struct Read {
        QWidget* page;
        QComboBox* count;  // none: the interval read, whose period gives the count
        QPushButton* button;
        TStringGrid* grid;
        uint8_t result;
        QString report;
    };
    std::vector<Read> reads{
        {form->Page_DemandLogger, form->ComboBox_Demand, form->Button_Demand_Read, form->StringGrid_DemandLogger,
         urDemandLoggerRead, QStringLiteral("Anzahl der Zeilen: ")},
        {form->Page_EventsLogger, form->ComboBox_Events, form->Button_Events_Read, form->StringGrid_EventsLogger,
         urEventsLoggerRead, QStringLiteral("Anzahl der Ereignis Zeilen:")},
        {form->Page_CertifiedLogger, form->ComboBox_Certified, form->Button_Certified_Read,
         form->StringGrid_CertifiedLogger, urCertifiedLoggerRead, QStringLiteral("Anzahl der geladenen Zeilen:")}};
    // Only Modbus TCP carries the interval read.
    if (!c.rtu)
        reads.push_back({form->Page_DemandLogger, nullptr, form->Button_Demand_Interval_Read,
                         form->StringGrid_DemandLogger, urDemandIntervalTable, QStringLiteral("Anzahl der Zeilen: ")});

    const auto clockRead = [&] { return form->TimerRefreshMainDeviceTime->interval() == 60000; };
    for (size_t i = 0; i < reads.size(); ++i) {
        const Read& r = reads[i];
        const Read& next = reads[(i + 1) % reads.size()];
        for (const Timing timing : {Timing::CancelAfterLast, Timing::DuringClockRead, Timing::NextReadAtOnce,
                                    Timing::NextReadAfterClockTick, Timing::NextReadCancelled}) {
            static const char* const kTimingNames[] = {"clicked during the clock read",
                                                       "cancelled after the last record", "next read at once",
                                                       "next read after the clock tick", "next read cancelled"};
            SCOPED_TRACE(r.button->objectName().toStdString() + ", " + kTimingNames[static_cast<int>(timing)]);
            const bool cancelAfterLast = timing != Timing::DuringClockRead;
            const bool nextRead = timing == Timing::NextReadAtOnce || timing == Timing::NextReadAfterClockTick ||
                                  timing == Timing::NextReadCancelled;
            const bool nextRuns = nextRead && timing != Timing::NextReadCancelled;
            form->PageControl_Logger->setCurrentWidget(r.page);
            if (r.count) r.count->setCurrentText(QStringLiteral("4"));
            r.grid->SetRowCount(1);
            // Each "Ok" on this page has the device clock read 100 ms later (the
            // timer then goes back to its minute): the Read comes while the worker
            // is busy with it, or once it is done.
            ASSERT_TRUE(PumpUntil([&] { return clockRead() && form->ComThread->Parked() == cancelAfterLast; }));

            User user;
            bool cancelled = false;
            // The next read's "Abbrechen": asked for, pressed, and whether its read was parked then.
            bool cancelNext = false, nextCancelled = false, parkedAtCancel = false;
            std::optional<std::chrono::steady_clock::time_point> offered;
            QTimer cancel;
            QObject::connect(&cancel, &QTimer::timeout, [&] {
                QPushButton* button = ProgrWinForm->Button_ProgrWin_Terminate;
                const bool offers = ProgrWinForm->isVisible() && button->text() == QStringLiteral("Abbrechen");
                if (cancelAfterLast && !cancelled && offers && form->GetUiRequest() == r.result) {
                    cancelled = true;
                    button->click();
                }
                if (cancelNext && !nextCancelled && offers) {
                    nextCancelled = true;
                    parkedAtCancel = form->PendingJob.load() != 0 && ProgrWinForm->ShowsWindow(form->PendingJobWindow);
                    button->click();
                }
                // A window that still offers to cancel long after any read would
                // have ended is the fault itself: the user gives up on it.
                const auto now = std::chrono::steady_clock::now();
                if (!offers) offered.reset();
                else if (!offered) offered = now;
                else if (now - *offered > 10s) button->click();
            });
            cancel.start(1);
            // The read whose closing information the last window shows.
            const Read& shown = nextRuns ? next : r;
            int rowsAtOk = -1;
            QObject::connect(ProgrWinForm->Button_ProgrWin_Terminate, &QPushButton::clicked, &cancel, [&] {
                if (ProgrWinForm->Button_ProgrWin_Terminate->text() == QStringLiteral("Ok"))
                    rowsAtOk = shown.grid->RowCount();
            });
            const auto lastSeen = [&] {
                if (user.reports.empty()) return QString();
                const User::Seen& last = user.reports.back();
                return last.title + QLatin1Char('|') + last.text + QLatin1Char('|') + last.button;
            };
            // Returns when the window that the Read opened has closed.
            r.button->click();
            QString closedOn = lastSeen();
            if (nextRead) {
                // The cancelled read's result is still to come.
                ASSERT_EQ(form->GetUiRequest(), r.result);
                if (timing == Timing::NextReadAfterClockTick) {
                    PumpUntil([] { return false; }, 200ms);
                    ASSERT_EQ(form->GetUiRequest(), r.result);
                }
                form->PageControl_Logger->setCurrentWidget(next.page);
                if (next.count) next.count->setCurrentText(QStringLiteral("3"));
                if (next.grid != r.grid) next.grid->SetRowCount(1);
                cancelNext = timing == Timing::NextReadCancelled;
                next.button->click();
                EXPECT_EQ(nextCancelled, cancelNext);
                EXPECT_EQ(parkedAtCancel, cancelNext);
                closedOn = lastSeen();
            }
            ASSERT_TRUE(PumpUntil([&] { return !ProgrWinForm->isVisible() && form->GetUiRequest() == 0 &&
                                               form->GetJob() == 0 && form->ComThread->Parked(); }, 40s));
            EXPECT_EQ(cancelled, cancelAfterLast);

            const int n = shown.count ? (nextRuns ? 3 : 4) : form->RecordCount.load();
            ASSERT_GT(n, 0);
            const QString closing =
                QStringLiteral("Information|") + shown.report + QString::number(n) + QStringLiteral("|Ok");
            if (timing != Timing::CancelAfterLast && timing != Timing::NextReadCancelled) {
                EXPECT_EQ(closedOn.toStdString(), closing.toStdString()) << user.All();
            }
            EXPECT_EQ(lastSeen().toStdString(), closing.toStdString()) << user.All();
            EXPECT_FALSE(ProgrWinForm->ProgrWinIconInfo->isHidden());
            EXPECT_EQ(rowsAtOk, n + 1);
            EXPECT_FALSE(shown.grid->Cell(1, n).trimmed().isEmpty());
            // The cancelled read's records are in its own grid, without a report.
            if (nextRead && r.count && r.grid != next.grid) {
                EXPECT_EQ(r.grid->RowCount(), 5);
                EXPECT_FALSE(r.grid->Cell(1, 4).trimmed().isEmpty());
            }
            // A read ended while parked never runs: no records, no closing information.
            if (timing == Timing::NextReadCancelled) {
                if (next.grid != r.grid) {
                    EXPECT_EQ(next.grid->RowCount(), 1);
                }
                int closings = 0;
                for (const User::Seen& seen : user.reports) closings += seen.button == QStringLiteral("Ok");
                EXPECT_EQ(closings, 1) << user.All();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Transports, LoggerReadClosingE2ETest,
                         ::testing::Values(ClosingCase{false, 0}, ClosingCase{false, 60}, ClosingCase{true, 0},
                                           ClosingCase{true, 60}),
                         [](const ::testing::TestParamInfo<ClosingCase>& row) {
                             return std::string(row.param.rtu ? "Rtu" : "Tcp") +
                                    (row.param.delayMs ? "SlowMeter" : "QuickMeter");
                         });

} // namespace
