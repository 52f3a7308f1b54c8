#pragma once
// The main window against meter-sim for the value pages and the scan: the
// meter with its model, the transports.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "JobHostRig.h"
#include "ValuesOracle.h"
#include "WindowTest.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/StringGrid.h"
#include "meter/MeterOptions.h"

namespace {

using namespace std::chrono_literals;
using rig::MeterSim;
using rig::PumpUntil;
using rig::SerialLine;
using rig::User;

constexpr int kComNumber = 7;
const std::string kClock = "2024-05-07 10:20:30";

class ValuesE2ETest : public rig::WindowTest {
protected:
    // meter-sim with a clock that stands still, and the same meter as a model.
    void StartMeter(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--clock", kClock, "--clock-stopped"});
        const meter::ParseOutcome parsed = meter::ParseMeterSimArgs(args);
        ASSERT_TRUE(parsed.error.empty()) << parsed.error;
        model = std::make_unique<meter::SimMeter>(parsed.options.device, [] { return int64_t{0}; });
        sim = std::make_unique<MeterSim>(args);
        ASSERT_TRUE(sim->Ready());
    }

    void ConnectTcp()
    {
        StartMeter({"--tcp", "127.0.0.1:0"});
        StartWindow();
        form->RadioButton_Modbus_TCPIP->setChecked(true);
        form->Edit_Setup_TCPIP_Port->setText(QString::number(sim->Port()));
        Connect();
    }

    void ChooseRtuLine()
    {
        line = std::make_unique<SerialLine>(kComNumber);
        ASSERT_TRUE(line->Ready());
    }
    void UseRtu(const QString& unit)
    {
        form->RadioButton_Modbus_RTU->setChecked(true);
        ChooseLine(form->ComboBox_Setup_Port_ModBus, kComNumber, kBaudIndex19200);
        form->MaskEdit_Setup_ModBus_Address->setText(unit);
    }
    void ConnectRtu()
    {
        ChooseRtuLine();
        StartMeter({"--rtu", line->MeterEnd(), "--baud", "19200", "--unit", "4"});
        StartWindow();
        UseRtu(QStringLiteral("4"));
        Connect();
    }

    void ConnectMBus()
    {
        ChooseRtuLine();
        StartMeter({"--mbus", line->MeterEnd(), "--mbus-baud", "9600", "--primary", "1"});
        StartWindow();
        form->RadioButton_MBus->setChecked(true);
        ChooseLine(form->ComboBox_Setup_Port_MBus, kComNumber, kBaudIndex9600);
        form->MaskEdit_Setup_Primary_Address->setText(QStringLiteral("1"));
        Connect();
    }

    QString Text(const std::string& name) const
    {
        auto* l = form->findChild<QLabel*>(QString::fromStdString(name));
        return l ? l->text() : QStringLiteral("<no control>");
    }

    void ExpectMeasurementPage()
    {
        const char* thdUnit = form->TransportCode.load() == tcMBus ? " %" : "%";
        for (const oracle::Shown& s : oracle::MeasurementPage(*model, thdUnit))
            EXPECT_EQ(Text(s.control).toStdString(), s.text) << s.control;
        // The model's load stays within every limit, so each status reads Ok in green.
        for (const char* status : {"Label_UStatus__L1", "Label_UStatus__L2", "Label_UStatus__L3", "Label_IStatus__L1",
                                   "Label_IStatus__L2", "Label_IStatus__L3", "Label_FreqStat", "Label_FreqStatSync"}) {
            EXPECT_EQ(Text(status), QStringLiteral(" Ok")) << status;
            EXPECT_EQ(form->findChild<QLabel*>(status)->palette().color(QPalette::WindowText), QColor(0, 255, 0));
        }
    }

    void ExpectCounterGrid(TStringGrid* grid, const std::array<meter::EnergySet, 8>& rows)
    {
        for (int r = 1; r <= 8; ++r) {
            const std::vector<std::string> want = oracle::CounterRow(*model, rows[static_cast<size_t>(r - 1)]);
            for (int c = 1; c <= 4; ++c)
                EXPECT_EQ(grid->Cell(c, r).toStdString(), want[static_cast<size_t>(c - 1)]) << "row " << r << " col " << c;
        }
    }

    void Screenshot(QWidget* page, const QString& name)
    {
        QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
        form->PageControl_Main->setCurrentWidget(page);
        EXPECT_TRUE(form->grab().save(QStringLiteral(SCREENSHOT_DIR "/") + name + QStringLiteral(".png")));
    }

    // The monitor counts the requests sent.
    void WatchTraffic() { form->CheckBoxAdministrator->setChecked(true); }
    int SentFrames() const { return static_cast<int>(form->Memo_Com_Win->toPlainText().count(QStringLiteral("[TX]"))); }

    void ReadAllPages(const QString& transport)
    {
        // The page change arms the measuring start.
        form->PageControl_Main->setCurrentWidget(form->Page_Measurement);
        ASSERT_TRUE(PumpUntil([&] { return form->Label_HomeStatus->text().startsWith(
                                               QStringLiteral("Status: The measuring is in progress.")); }, 20s));
        EXPECT_EQ(form->Button_Measurement_StartMeasuring->text(), QStringLiteral("Stop Measuring"));
        ExpectMeasurementPage();
        Screenshot(form->Page_Measurement, QStringLiteral("measurement-en-") + transport);

        form->PageControl_Main->setCurrentWidget(form->Page_Energy);
        form->PageControl_Energy->setCurrentWidget(form->Page_Values);
        ASSERT_TRUE(PumpUntil([&] { return form->Label_Energy_Values_Status->text().startsWith(
                                               QStringLiteral("Status: The measuring is in progress.")); }, 20s));
        std::array<meter::EnergySet, 8> main = model->MainCounters();
        ExpectCounterGrid(form->StringGrid_MainCounters, main);
        const std::vector<std::string> total = oracle::CounterRow(*model, model->MainTotal());
        for (int c = 1; c <= 4; ++c)
            EXPECT_EQ(form->StringGrid_MainCounters->Cell(c, 9).toStdString(), total[static_cast<size_t>(c - 1)]);
        const meter::CivilTime now = model->NowCivil();
        EXPECT_EQ(form->StaticText_MonitoringDate->text().toStdString(), " " + oracle::DateText(now));
        EXPECT_EQ(form->StaticText_MonitoringTime->text().toStdString(), " " + oracle::TimeText(now));
        EXPECT_EQ(form->StaticText_TotalOperatingTime->text().toStdString(),
                  " " + std::to_string(static_cast<uint32_t>(model->OperatingHours())));
        EXPECT_EQ(form->StaticText_EnergyType_Values->text(), QStringLiteral("Primary"));
        Screenshot(form->Page_Energy, QStringLiteral("energy-en-") + transport);

        form->PageControl_Energy->setCurrentWidget(form->Page_ResettableCounters);
        ASSERT_TRUE(PumpUntil([&] { return !form->StringGrid_ResettableCounters->Cell(1, 1).isEmpty() &&
                                           form->GetJob() == 0; }, 20s));
        ExpectCounterGrid(form->StringGrid_ResettableCounters, model->ResettableCounters());
        EXPECT_EQ(form->StaticText_ResettableDate->text().toStdString(), " " + oracle::DateText(*model->ResetStamp()));
        EXPECT_EQ(form->Label_Energy_Resettable_Status->text(), QStringLiteral("Status: Ready to read data."));

        form->PageControl_Energy->setCurrentWidget(form->Page_FreezeCounters);
        ASSERT_TRUE(PumpUntil([&] { return !form->StringGrid_FreezeCounters->Cell(1, 1).isEmpty() &&
                                           form->GetJob() == 0; }, 20s));
        ExpectCounterGrid(form->StringGrid_FreezeCounters, model->FreezeCounters());
        EXPECT_EQ(form->StaticText_FreezeDate->text().toStdString(), " " + oracle::DateText(*model->FreezeStamp()));

        // The same pages in German.
        form->RadioButton_German->setChecked(true);
        form->PageControl_Energy->setCurrentWidget(form->Page_Values);
        ASSERT_TRUE(PumpUntil([&] { return form->Label_Energy_Values_Status->text().startsWith(
                                               QStringLiteral("Status: Messung läuft.")); }, 20s));
        EXPECT_EQ(form->StaticText_EnergyType_Values->text(), QStringLiteral("Primär"));
        Screenshot(form->Page_Energy, QStringLiteral("energy-de-") + transport);
        form->PageControl_Main->setCurrentWidget(form->Page_Measurement);
        ASSERT_TRUE(PumpUntil([&] { return form->Label_HomeStatus->text().startsWith(
                                               QStringLiteral("Status: Messung läuft.")); }, 20s));
        ExpectMeasurementPage();
        Screenshot(form->Page_Measurement, QStringLiteral("measurement-de-") + transport);
    }

    std::unique_ptr<SerialLine> line;
    std::unique_ptr<MeterSim> sim;
    std::unique_ptr<meter::SimMeter> model;
};

}  // namespace
