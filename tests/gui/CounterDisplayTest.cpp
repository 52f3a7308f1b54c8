// The counter pages and the result fields without a meter: stamps that are no
// date, the active tariff's row, year completion, status lines, the clock read
// beside an open report, the scan list.
#include <QTest>

#include "ValuePagesFixture.h"

namespace {

class CounterDisplayTest : public ValuePagesTest {};

TEST_F(CounterDisplayTest, CounterStampsThatAreNoDateShowPlaceholders)
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

TEST_F(CounterDisplayTest, ActiveTariffRowIsPaintedLight)
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

TEST_F(CounterDisplayTest, ResultFieldsCompleteTheYearAndCutTheSeconds)
{
    const std::pair<std::string, QString> years[] = {{"5-01-01", QStringLiteral("0005-01-01")},
                                                     {"24-01-01", QStringLiteral("0024-01-01")},
                                                     {"202-01-01", QStringLiteral("0202-01-01")},
                                                     {"2024-01-01", QStringLiteral("2024-01-01")},
                                                     {"YYYY-MM-DD", QStringLiteral("YYYY-MM-DD")}};
    for (const auto& [date, shown] : years) {
        form->FreezeResetDate = date;
        form->FreezeResetTime = date == "YYYY-MM-DD" ? "HH:MM:SS" : "10:20:30";
        const QString time = QString::fromStdString(form->FreezeResetTime);
        form->ShowResultFields(rcResetStamps);
        EXPECT_EQ(form->MaskEdit_Change_ResettableDate->displayText(), shown);
        EXPECT_EQ(form->MaskEdit_Change_ResettableTime->displayText(), time);
        EXPECT_EQ(QString::fromStdString(form->FreezeResetDate), shown);
        form->ShowResultFields(rcFreezeStamps);
        EXPECT_EQ(form->MaskEdit_Change_FreezeDate->displayText(), shown);
        EXPECT_EQ(form->MaskEdit_Change_FreezeTime->displayText(), time);
    }
    // Typed over, the placeholder gives way digit by digit. A placeholder letter
    // is taken in its own place only.
    QLineEdit* freezeDate = form->MaskEdit_Change_FreezeDate;
    QLineEdit* freezeTime = form->MaskEdit_Change_FreezeTime;
    ASSERT_EQ(freezeDate->displayText(), QStringLiteral("YYYY-MM-DD"));
    struct Typed {
        QLineEdit* edit;
        QString before;
        int at;
        QString keys, after;
    };
    const Typed typed[] = {
        {freezeDate, QStringLiteral("YYYY-MM-DD"), 0, QStringLiteral("20280115"), QStringLiteral("2028-01-15")},
        {freezeDate, QStringLiteral("2028-01-15"), 5, QStringLiteral("D2"), QStringLiteral("2028-21-15")},
        {freezeDate, QStringLiteral("2028-01-15"), 8, QStringLiteral("Y3"), QStringLiteral("2028-01-35")},
        {freezeDate, QStringLiteral("2028-01-15"), 0, QStringLiteral("M"), QStringLiteral("2028-01-15")},
        {freezeDate, QStringLiteral("2028-01-15"), 5, QStringLiteral("M"), QStringLiteral("2028-M1-15")},
        {freezeTime, QStringLiteral("12:34:56"), 0, QStringLiteral("M0"), QStringLiteral("02:34:56")},
        {freezeTime, QStringLiteral("12:34:56"), 6, QStringLiteral("H"), QStringLiteral("12:34:56")},
        {freezeTime, QStringLiteral("12:34:56"), 3, QStringLiteral("M"), QStringLiteral("12:M4:56")},
    };
    for (const Typed& t : typed) {
        t.edit->setText(t.before);
        t.edit->setFocus();
        t.edit->setCursorPosition(t.at);
        QTest::keyClicks(t.edit, t.keys);
        EXPECT_EQ(t.edit->displayText().toStdString(), t.after.toStdString())
            << t.before.toStdString() << " + " << t.keys.toStdString();
    }
    // The clock command's editors show a clock they could not send back as the placeholders.
    struct Clock {
        std::string date, time;
        QString editorDate, editorTime, label;
    };
    const Clock clocks[] = {
        {"2021-01-19", "12:34:56", QStringLiteral("2021-01-19"), QStringLiteral("12:34:56"),
         QStringLiteral("2021-01-19  12:34")},
        {"1999-12-31", "23:59:58", QStringLiteral("YYYY-MM-DD"), QStringLiteral("HH:MM:SS"),
         QStringLiteral("1999-12-31  23:59")},
        {"2127-01-01", "00:00:00", QStringLiteral("YYYY-MM-DD"), QStringLiteral("HH:MM:SS"),
         QStringLiteral("2127-01-01  00:00")},
    };
    for (const Clock& c : clocks) {
        form->DeviceDate = c.date;
        form->DeviceTime = c.time;
        form->ShowResultFields(rcDeviceDateTime);
        EXPECT_EQ(form->MaskEdit_Change_Date->displayText(), c.editorDate) << c.date;
        EXPECT_EQ(form->MaskEdit_Change_Time->displayText(), c.editorTime) << c.date;
        EXPECT_EQ(form->Label_MainDeviceTimeDate->text(), c.label);
    }
    form->ShowResultFields(rcTariffWait);
    EXPECT_EQ(form->Label_Actual_Tariff->text(), QStringLiteral(" wait..."));
}

TEST_F(CounterDisplayTest, ReadResultsWriteTheStatusLineWithTheInterval)
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

TEST_F(CounterDisplayTest, ScanResultListsTheAddressesAndLetsThePortGo)
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

TEST_F(CounterDisplayTest, ScanOnAPortThatDoesNotOpenStartsNothing)
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

// A clock read ending ends the window of a single read, a time-bar window (its
// own "Data Reading..." on the Setup page); an information report stays for the
// user, and a logger read set meanwhile waits in its counting window for its
// own result.
TEST_F(CounterDisplayTest, ClockReadEndsOnlyATimeBarWindow)
{
    const struct {
        const char* name;
        int counting, barTimer, busy;
        QString caption, line1, button;
        bool ends;
    } cases[] = {
        {"clock read", 0, 1, 1, QStringLiteral("Data Reading..."), QString(), QStringLiteral("Cancel"), true},
        {"information", 0, 0, 0, QStringLiteral("Information"), QString(), QStringLiteral("Ok"), false},
        {"logger read", 1, 0, 0, QString(), QStringLiteral("Data Reading..."), QStringLiteral("Cancel"), false},
    };
    for (const auto& c : cases) {
        bool ends = false;
        QTimer::singleShot(50, [&] {
            Post(urDeviceTimeRead);
            PumpFor(20ms);
            ends = !ProgrWinForm->isVisible() || ProgrWinForm->ProgrWin_BarTimer_100percent->isActive();
            if (ProgrWinForm->isVisible()) ProgrWinForm->done(0);
        });
        ProgrWinForm->ShowProgress(1, 0, c.counting, c.barTimer, c.busy, 1, c.caption, c.line1, QString(), QString(),
                                   QString(), c.button, 20);
        EXPECT_EQ(ends, c.ends) << c.name;
    }
}

}  // namespace
