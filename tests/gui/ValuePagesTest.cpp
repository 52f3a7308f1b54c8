// The Measurement page without a meter: the refusals of every read and what
// they leave unset, the measuring toggle and refresh tick, and the display
// rules (signed apparent power, status colours, frequency flags, limits).
#include "ValuePagesFixture.h"

namespace {

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
        {&F::Button_Measurement_StartMeasuringClick, Lack::EmptyAddress, QStringLiteral("5") + noDevice},
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
        case Lack::EmptyAddress: form->Label_DeviceAddress->clear(); break;
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

}  // namespace
