// The Measurement and Energy pages without a meter: the refusals and what they
// leave unset, the measuring toggle and refresh tick, and the display rules
// (signed apparent power, status colours, frequency flags, limits, counter
// stamps, active-tariff painting, result fields, the scan list).
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

#include "../unit/PtyPair.h"
#include "WorkerTestSupport.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "core/ModbusDecoder.h"
#include "core/RecordCodes.h"
#include "platform/ComPort.h"

namespace {

// Reports of the progress window ("id:caption:line 1") and message boxes
// ("caption:text") while a handler runs; each is closed once read.
class Watcher {
public:
    Watcher()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(10);
    }
    std::vector<QString> seen;

private:
    void Poll()
    {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.push_back(box->windowTitle() + QLatin1Char(':') + box->text());
            box->done(QMessageBox::Ok);
        } else if (ProgrWinForm && ProgrWinForm->isVisible()) {
            seen.push_back(ProgrWinForm->LabelIndex->text() + QLatin1Char(':') + ProgrWinForm->windowTitle() +
                           QLatin1Char(':') + ProgrWinForm->Label_ProgrBar1->text());
            ProgrWinForm->done(0);
        }
    }
    QTimer timer_;
};

class ValuePagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TMainForm>();
        MainForm = form.get();
        progress = std::make_unique<TProgrWinForm>(*form);
        ProgrWinForm = progress.get();
        form->Language = 0;
        form->ApplyLanguage();
        form->SetProtocolMode(52);
        form->ModbusJobStep = [this] {
            std::lock_guard lock(m);
            jobs.push_back(form->GetJob());
            form->SetJob(0);
        };
        form->CreateComThread(form->TransportCode, std::chrono::milliseconds(10));
        // The start-up read of the Energy page would start monitoring once a
        // test has made the window look connected.
        form->Timer_Energy_Values_Start_Measuring->stop();
    }
    void TearDown() override
    {
        form->SetJob(0);
        form->ShutdownWorker();
        CloseComPort(form->SerialPort, *form);
        ProgrWinForm = nullptr;
        progress.reset();
        MainForm = nullptr;
        form.reset();
    }
    std::vector<uint8_t> JobsRun()
    {
        PumpFor(60ms);
        std::lock_guard lock(m);
        return jobs;
    }
    // Connected as far as each check is concerned; the test then takes one away.
    void Connected()
    {
        form->Label_Setup_ConnectStatus->setText(QStringLiteral("Status: Device is connected."));
        form->TcpConnected = 1;
        form->Label_DeviceAddress->setText(QStringLiteral(" 127.0.0.1"));
    }
    void Post(uint8_t code)
    {
        form->UiRequest = code;
        form->HandleUiRequest();
    }

    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TProgrWinForm> progress;
    std::mutex m;
    std::vector<uint8_t> jobs;
    ScopedConfigHome config;
};

enum class Lack { Status, Link, PortFailed, Address };

TEST_F(ValuePagesTest, RefusalsReportAndSetNoJob)
{
    using F = TMainForm;
    struct Case {
        void (F::*click)();
        Lack lack;
        QString report;
    };
    const QString noDevice = QStringLiteral(":Error:No device is connected.");
    const QString notAvailable = QStringLiteral(":Error:The device is not available.");
    const QString noAnswer = QStringLiteral(":Error:No answer from the device.");
    const Case cases[] = {
        {&F::Button_Measurement_StartMeasuringClick, Lack::Status, QStringLiteral("8") + noDevice},
        {&F::Button_Measurement_StartMeasuringClick, Lack::Link, QStringLiteral("7") + notAvailable},
        {&F::Button_Measurement_StartMeasuringClick, Lack::PortFailed, QStringLiteral("6") + notAvailable},
        {&F::Button_Measurement_StartMeasuringClick, Lack::Address, QStringLiteral("5") + noDevice},
        {&F::Button_Energie_MainCounters_StartMonitoringClick, Lack::Status, QStringLiteral("59") + noDevice},
        {&F::Button_Energie_MainCounters_StartMonitoringClick, Lack::Link, QStringLiteral("58") + noDevice},
        {&F::Button_Energie_MainCounters_StartMonitoringClick, Lack::PortFailed, QStringLiteral("57") + notAvailable},
        {&F::Button_Energie_MainCounters_StartMonitoringClick, Lack::Address, QStringLiteral("56") + noAnswer},
        {&F::Button_ResettableCounters_ReadClick, Lack::Status, QStringLiteral("63") + noDevice},
        {&F::Button_ResettableCounters_ReadClick, Lack::Link, QStringLiteral("60") + noDevice},
        {&F::Button_ResettableCounters_ReadClick, Lack::Address, QStringLiteral("61") + noAnswer},
        {&F::Button_FreezeCounters_ReadClick, Lack::Status, QStringLiteral("67") + noDevice},
        {&F::Button_FreezeCounters_ReadClick, Lack::Link, QStringLiteral("64") + noDevice},
        {&F::Button_FreezeCounters_ReadClick, Lack::Address, QStringLiteral("65") + noAnswer},
    };
    for (const Case& c : cases) {
        Connected();
        switch (c.lack) {
        case Lack::Status: form->Label_Setup_ConnectStatus->setText(QStringLiteral("Status: Disconnected.")); break;
        case Lack::Link: form->TcpConnected = 0; break;
        case Lack::PortFailed:
            form->TcpConnected = 0;
            form->PortOpen = 1;
            form->PortOpenError = 1;
            break;
        case Lack::Address: form->Label_DeviceAddress->setText(QStringLiteral("- -")); break;
        }
        Watcher watch;
        (form.get()->*c.click)();
        PumpFor(50ms);
        ASSERT_EQ(watch.seen.size(), 1u) << c.report.toStdString();
        EXPECT_EQ(watch.seen[0], c.report);
        EXPECT_TRUE(JobsRun().empty()) << c.report.toStdString();
        EXPECT_FALSE(form->Timer_Display_Refresh->isActive());
        EXPECT_EQ(form->Button_Measurement_StartMeasuring->text(), QStringLiteral("Start Measuring"));
        form->PortOpen = 0;
        form->PortOpenError = 0;
    }
}

TEST_F(ValuePagesTest, MeasuringTogglesAndTheTickWaitsForTheReadStep)
{
    Connected();
    form->PageControl_Main->setCurrentWidget(form->Page_Measurement);
    // Only the clicks below start or stop measuring here.
    form->Timer_Measurement_Start_Measuring->stop();
    form->ComboBox_DisplayRefresh->setCurrentIndex(1);
    const int seconds = form->ComboBox_DisplayRefresh->currentText().toInt();
    form->Button_Measurement_StartMeasuring->setText(QStringLiteral("Start Measuring"));
    form->Button_Measurement_StartMeasuringClick();
    EXPECT_EQ(form->Button_Measurement_StartMeasuring->text(), QStringLiteral("Stop Measuring"));
    EXPECT_EQ(form->Label_HomeStatus->text(), QStringLiteral("Status: Reading data. Please wait..."));
    EXPECT_TRUE(form->Timer_Display_Refresh->isActive());
    EXPECT_EQ(form->Timer_Display_Refresh->interval(), seconds * 1000);
    EXPECT_EQ(JobsRun(), std::vector<uint8_t>{jcModbusMeasurement});

    // A tick while a read step still exchanges frames warns and sets nothing.
    form->ReadStepBusy = 1;
    {
        Watcher watch;
        form->Timer_Display_RefreshTimer();
        ASSERT_EQ(watch.seen.size(), 1u);
        EXPECT_EQ(watch.seen[0],
                  QStringLiteral("Warning:Timer for refresh display did not wait for packet end of communication."));
    }
    EXPECT_EQ(JobsRun().size(), 1u);
    form->ReadStepBusy = 0;
    form->Timer_Display_RefreshTimer();
    EXPECT_EQ(JobsRun().size(), 2u);

    form->Button_Measurement_StartMeasuringClick();
    EXPECT_EQ(form->Button_Measurement_StartMeasuring->text(), QStringLiteral("Start Measuring"));
    EXPECT_EQ(form->Label_HomeStatus->text(), QStringLiteral("Status: The measuring is stopped."));
    EXPECT_FALSE(form->Timer_Display_Refresh->isActive());
}

TEST_F(ValuePagesTest, MeasuredValuesFollowTheDisplayRules)
{
    struct Case {
        std::string p, s, shownS;
    };
    const Case signs[] = {
        {" -1.50 kW", " 2.00 kVA ", " - 2.00 kVA"},
        {"", " 2.00 kVA", "- - -"},
        {" 1.50 kW", " 2.00 kVA", " 2.00 kVA"},
    };
    for (const Case& c : signs) {
        form->TextP2 = c.p;
        form->TextS2 = c.s;
        form->FreqStatus = StatusOk;
        form->UStatusL1 = StatusUnder75;
        form->IStatusL3 = StatusOk;
        form->TextFreq = " 50.01 Hz";
        form->ShowMeasuredValues();
        EXPECT_EQ(form->StaticText_S2->text().toStdString(), c.shownS);
        EXPECT_EQ(form->TextS2, c.shownS);
    }
    EXPECT_EQ(form->Label_UStatus__L1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(form->Label_IStatus__L3->palette().color(QPalette::WindowText), QColor(0, 255, 0));

    const std::pair<const char*, QString> flags[] = {
        {StatusFreqHigh, QStringLiteral("> 70 Hz")}, {StatusFreqLow, QStringLiteral("< 40 Hz")},
        {StatusOk, QStringLiteral(" 50.01 Hz")}};
    for (const auto& [status, shown] : flags) {
        form->FreqStatus = status;
        form->ShowMeasuredValues();
        EXPECT_EQ(form->StaticText_FREQ->text(), shown);
    }
}

// A voltage answer whose distortion is above its limit on L1 and negative
// (not measured) on L2 shows the overload and dash texts, not the old values.
TEST_F(ValuePagesTest, OutOfRangeValuesShowOverloadAndDash)
{
    form->TextThdU1 = " 2.0 %";
    form->TextThdU2 = " 2.0 %";
    uint16_t regs[15] = {400, 400, 400, 400, 2300, 2300, 2300, 2300, 10001, 0xFFFF, 25, 5000, 0xFFFF, 0, 0};
    uint8_t* rx = form->RxBuffer;
    const uint8_t head[9] = {0, 1, 0, 0, 0, 33, 1, 4, 30};
    std::copy(std::begin(head), std::end(head), rx);
    for (int k = 0; k < 15; ++k) {
        rx[9 + 2 * k] = static_cast<uint8_t>(regs[k] >> 8);
        rx[10 + 2 * k] = static_cast<uint8_t>(regs[k] & 0xFF);
    }
    form->RxCount = 39;
    uint8_t manufacturer = 0;
    DecodeModbusAnswer(*form, tcModbusTcp, rcVoltages, 0, *form, manufacturer, form->IntervalRecordCount);
    form->ShowMeasuredValues();
    EXPECT_EQ(form->StaticText_THD_U1->text(), QStringLiteral(" OL"));
    EXPECT_EQ(form->StaticText_THD_U2->text(), QStringLiteral(" - - -"));
    EXPECT_EQ(form->StaticText_THD_U3->text(), QStringLiteral(" 2.5 %"));
    EXPECT_EQ(form->StaticText_U1->text(), QStringLiteral(" 230.0 V"));
}

TEST_F(ValuePagesTest, CounterStampsThatAreNoDateShowPlaceholders)
{
    struct Case {
        std::string date;
        bool plausible;
    };
    const Case cases[] = {{"2024-05-01", true}, {"2024-12-31", true}, {"2024-13-01", false},
                          {"", false},          {"2024-1x-01", false}, {"02024-05-011", false}};
    form->HasReactiveEnergy = 0;
    form->DeviceTime = "10:11:12";
    form->EnergyTypeText = "Primary";
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 4; ++c) form->CounterTariffs[r][c] = " " + std::to_string(r * 4 + c) + " kWh";
    form->SetGridHeaders();
    for (const Case& c : cases) {
        form->DeviceDate = c.date;
        form->ShowResettableCounters();
        form->ShowFreezeCounters();
        for (TStringGrid* g : {form->StringGrid_ResettableCounters, form->StringGrid_FreezeCounters}) {
            EXPECT_EQ(g->Cell(1, 3), c.plausible ? QStringLiteral(" 8 kWh") : QStringLiteral(" -")) << c.date;
            EXPECT_EQ(g->Cell(4, 8), c.plausible ? QString() : QStringLiteral(" -")) << c.date;
            EXPECT_FALSE(g->Cell(3, 0).isEmpty());
        }
        EXPECT_EQ(form->StaticText_FreezeDate->text().toStdString(), c.plausible ? " " + c.date : " 0000-00-00");
        EXPECT_EQ(form->StaticText_ResettableTime->text(), c.plausible ? QStringLiteral(" 10:11:12")
                                                                        : QStringLiteral(" 00:00:00"));
        EXPECT_EQ(form->StaticText_EnergyType_FreezeValues->text(),
                  c.plausible ? QStringLiteral("Primary") : QString());
    }
}

TEST_F(ValuePagesTest, ActiveTariffRowIsPaintedLight)
{
    const QColor header = ToQColor(ClrButtonFace), plain = ToQColor(ClrBackground), light(0xE3, 0xE3, 0xE3);
    struct Case {
        QString tariff;
        int row;
        QColor brush;
    };
    const Case cases[] = {{QStringLiteral(" 3"), 3, light}, {QStringLiteral(" 3"), 2, plain},
                          {QStringLiteral(" 3"), 0, header}, {QStringLiteral(" 3"), 9, header},
                          {QStringLiteral("- -"), 3, plain}, {QString(), 1, plain},
                          {QStringLiteral(" x"), 1, plain},  {QStringLiteral(" 1"), 1, light}};
    TStringGrid* g = form->StringGrid_MainCounters;
    for (const Case& c : cases) {
        form->Label_Actual_Tariff->setText(c.tariff);
        const QImage image = g->grab().toImage();
        // A point of column 4 right of any text, in the middle of the row.
        const QPoint at(g->width() - 10, g->frameWidth() + c.row * 20 + 10);
        EXPECT_EQ(image.pixelColor(at), c.brush) << c.tariff.toStdString() << " row " << c.row;
    }
}

TEST_F(ValuePagesTest, ResultFieldsCompleteTheYearAndCutTheSeconds)
{
    const std::pair<std::string, QString> years[] = {{"5-01-01", QStringLiteral("0005-01-01")},
                                                     {"24-01-01", QStringLiteral("0024-01-01")},
                                                     {"202-01-01", QStringLiteral("0202-01-01")},
                                                     {"2024-01-01", QStringLiteral("2024-01-01")}};
    for (const auto& [date, shown] : years) {
        form->FreezeResetDate = date;
        form->ShowResultFields(rcResetStamps);
        EXPECT_EQ(form->MaskEdit_Change_ResettableDate->displayText(), shown);
        EXPECT_EQ(QString::fromStdString(form->FreezeResetDate), shown);
    }
    form->DeviceDate = "2021-01-19";
    form->DeviceTime = "12:34:56";
    form->ShowResultFields(rcDeviceDateTime);
    EXPECT_EQ(form->Label_MainDeviceTimeDate->text(), QStringLiteral("2021-01-19  12:34"));
    form->ShowResultFields(rcTariffWait);
    EXPECT_EQ(form->Label_Actual_Tariff->text(), QStringLiteral(" wait..."));
}

TEST_F(ValuePagesTest, ReadResultsWriteTheStatusLineWithTheInterval)
{
    form->ComboBox_DisplayRefresh->setCurrentIndex(1);
    const QString interval = form->ComboBox_DisplayRefresh->currentText();
    Post(urMeasurementRead);
    EXPECT_EQ(form->Label_HomeStatus->text(),
              QStringLiteral("Status: The measuring is in progress. (Update interval: ") + interval + QStringLiteral(" [s])"));
    form->Language = 1;
    Post(urMainCountersRead);
    EXPECT_EQ(form->Label_Energy_Values_Status->text(),
              QStringLiteral("Status: Messung läuft. (Aktualisierungsintervall: ") + interval + QStringLiteral(" [s])"));
    EXPECT_EQ(form->StringGrid_MainCounters->Cell(0, 9), QStringLiteral(" Total"));
}

TEST_F(ValuePagesTest, ScanResultListsTheAddressesAndLetsThePortGo)
{
    PtyPair pty(config.PortLink(7), config.Root() + "/meter");
    ASSERT_TRUE(pty.Ready());
    form->SetProtocolMode(51);
    struct Case {
        uint8_t code;
        std::string found;
        QString shown;
        std::vector<QString> reports;
    };
    const Case cases[] = {
        {urScanFinished, " 3,250,", QStringLiteral(" 3,250"),
         {QStringLiteral("87:Scanning...:The scan is successfully finished.")}},
        {urScanFinished, "", QString(), {QStringLiteral("87:Scanning...:The scan is successfully finished.")}},
        {urCancelled, " 1,2,", QStringLiteral(" 1,2"), {}},
    };
    for (const Case& c : cases) {
        form->PortIndex = 6;
        ASSERT_TRUE(OpenComPort(form->SerialPort, *form, 5, true));
        form->FoundAddresses = c.found;
        Watcher watch;
        Post(c.code);
        PumpFor(30ms);
        EXPECT_EQ(form->Edit_Scan_PrimaryAddress->text(), c.shown);
        EXPECT_EQ(watch.seen, c.reports);
        EXPECT_EQ(form->PortOpen.load(), 0);
        EXPECT_EQ(form->SerialPort, nullptr);
    }
    // A port already closed when the scan ends is reported.
    Watcher watch;
    Post(urScanFinished);
    PumpFor(30ms);
    ASSERT_FALSE(watch.seen.empty());
    EXPECT_EQ(watch.seen[0], QStringLiteral("2:Error:The device is not available."));
}

TEST_F(ValuePagesTest, ScanOnAPortThatDoesNotOpenStartsNothing)
{
    form->SetProtocolMode(51);
    form->ComboBox_Setup_Port_ModBus->addItem(QStringLiteral("COM250"));
    form->ComboBox_Setup_Port_ModBus->setCurrentIndex(form->ComboBox_Setup_Port_ModBus->count() - 1);
    Watcher watch;
    form->Button_Setup_SearchDevicesClick();
    PumpFor(30ms);
    ASSERT_EQ(watch.seen.size(), 1u);
    EXPECT_EQ(watch.seen[0], QStringLiteral("4:Error:The device is not available."));
    EXPECT_EQ(form->PortOpenError.load(), 1);
    EXPECT_TRUE(JobsRun().empty());
}

}  // namespace
