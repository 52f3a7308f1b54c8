// Changing pages in the main window: what stops, what is armed to start, the
// title line, the one-time reveal of the device labels, the demand interval
// group and the web link of the Help page.
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "app/Shape.h"
#include "app/Startup.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "comm/ThCom.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class PageNavigationTest : public ::testing::Test {
protected:
    void SetUp() override { StartWindow(); }
    void TearDown() override { windows_.reset(); }

    // A window as the program starts it, with a configuration folder of its
    // own: no stored settings.
    void StartWindow()
    {
        windows_.reset();
        config_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(config_->isValid());
        qputenv("XDG_CONFIG_HOME", config_->path().toUtf8());
        windows_ = std::make_unique<TToolWindows>();
        f().show();
        QTest::qWait(100); // the first activation loads the settings and makes the worker
        ASSERT_NE(f().ComThread, nullptr);
        f().ConnectPageNavigationHandlers();
        opened_.clear();
        f().OpenWebPage = [this](const QString& url) { opened_.push_back(url); };
    }

    TMainForm& f() { return windows_->Main(); }
    void Show(QWidget* page) { f().PageControl_Main->setCurrentWidget(page); }
    void ShowEnergy(QWidget* sub) { f().PageControl_Energy->setCurrentWidget(sub); }
    void ShowLogger(QWidget* sub) { f().PageControl_Logger->setCurrentWidget(sub); }
    void SetLanguage(int language)
    {
        (language == 0 ? f().RadioButton_English : f().RadioButton_German)->setChecked(true);
        ASSERT_EQ(f().Language, language);
    }
    // A job the worker would be running; the suspended worker does not take it up.
    void PretendJobRuns(uint8_t job) { f().JobCode = job; }

    std::vector<QLabel*> DeviceLabels()
    {
        TMainForm& w = f();
        return {w.Label_Tariff,           w.Label_Actual_Tariff, w.Label_Device_Type,    w.Label_SerNumber,
                w.Label_PrimaryAddress,   w.Label_Demand,        w.Label_VT,             w.Label_CT,
                w.Label_Main_DeviceTime,  w.Label_ProductInfo,   w.Label_DeviceType,     w.Label_Device_SerN,
                w.Label_DeviceAddress,    w.Label_Demand_Period, w.Label__VT,            w.Label__CT,
                w.Label_MainDeviceTimeDate, w.StaticText_ProductInfo};
    }
    std::vector<QLabel*> SecondaryAddressLabels()
    {
        TMainForm& w = f();
        return {w.Label_SecondaryAddress, w.Label_Sec_ID,  w.Label_Sec_Manufacturer, w.Label_Sec_Version,
                w.Label_Sec_Type,         w.Label_Secondary_Address_ID, w.Label_Manufacturer, w.Label_Version,
                w.Label_Type};
    }

    std::unique_ptr<QTemporaryDir> config_;
    std::unique_ptr<TToolWindows> windows_;
    std::vector<QString> opened_;
};

TEST_F(PageNavigationTest, LeavingMeasurementStopsTheJobAndRefreshAndComingBackArmsTheStart)
{
    Show(f().Page_Measurement);
    EXPECT_TRUE(f().Timer_Measurement_Start_Measuring->isActive());

    // Measuring runs: job set, refresh timer going, a counter job parked behind it.
    f().Button_Measurement_StartMeasuring->setText(Txt(TxtStopMeasuring, f().Language));
    PretendJobRuns(jcModbusMeasurement);
    f().PendingJob = jcModbusMainCounters;
    f().Timer_Display_Refresh->start(15000);
    f().MainShape2->show();

    Show(f().Page_Energy);
    EXPECT_EQ(f().JobCode, jcIdle);
    EXPECT_FALSE(f().Timer_Display_Refresh->isActive());
    EXPECT_EQ(f().PendingJob, jcModbusMainCounters) << "a parked job stays parked";
    EXPECT_TRUE(f().MainShape2->isHidden());
    // Leaving does not touch the caption; only coming back resets it.
    EXPECT_EQ(f().Button_Measurement_StartMeasuring->text(), Txt(TxtStopMeasuring, f().Language));

    f().Timer_Measurement_Start_Measuring->stop();
    f().Label_HomeStatus->setText(QStringLiteral("Status: anything"));
    Show(f().Page_Measurement);
    EXPECT_TRUE(f().Timer_Measurement_Start_Measuring->isActive());
    EXPECT_EQ(f().Timer_Measurement_Start_Measuring->interval(), 20);
    EXPECT_EQ(f().Button_Measurement_StartMeasuring->text(), Txt(TxtStartMeasuring, 1));
    EXPECT_EQ(f().Label_HomeStatus->text(), Txt(TxtStatusMeasuringStopped, 1));
}

// The device clock timer and the start timer of each page.
TEST_F(PageNavigationTest, EachPageSetsTheClockTimerAndArmsItsOwnStart)
{
    enum Clock { Unchanged, On, Off };
    const struct {
        QWidget* page;
        Clock clock;
        QTimer* start;
    } rows[] = {
        {f().Page_Measurement, Unchanged, f().Timer_Measurement_Start_Measuring},
        {f().Page_Energy, On, f().Timer_Energy_Values_Start_Measuring},
        {f().Page_Logger, On, nullptr},
        {f().Page_Setup, Off, nullptr},
        {f().Page_Help, On, nullptr},
    };
    QTimer* starts[] = {f().Timer_Measurement_Start_Measuring, f().Timer_Energy_Values_Start_Measuring,
                        f().Timer_Energy_Resettable_Start_Reading, f().Timer_Energy_Freeze_Start_Reading};
    for (const auto& row : rows) {
        for (bool clockBefore : {false, true}) {
            SCOPED_TRACE(row.page->objectName().toStdString() + (clockBefore ? ", clock on" : ", clock off"));
            // Come from a page other than the one under test.
            Show(row.page == f().Page_Help ? f().Page_Setup : f().Page_Help);
            for (QTimer* t : starts) t->stop();
            if (clockBefore)
                f().TimerRefreshMainDeviceTime->start();
            else
                f().TimerRefreshMainDeviceTime->stop();

            Show(row.page);
            const bool expectClock = row.clock == Unchanged ? clockBefore : row.clock == On;
            EXPECT_EQ(f().TimerRefreshMainDeviceTime->isActive(), expectClock);
            for (QTimer* t : starts) EXPECT_EQ(t->isActive(), t == row.start) << t->objectName().toStdString();
        }
    }
}

TEST_F(PageNavigationTest, ARunningClockTimerIsNotPostponedByPageChanges)
{
    // Shortened and precise, so that a restart shows in the time left.
    QTimer* clock = f().TimerRefreshMainDeviceTime;
    clock->setTimerType(Qt::PreciseTimer);
    clock->start(1000);
    QTest::qWait(300);
    Show(f().Page_Energy);
    Show(f().Page_Logger);
    Show(f().Page_Help);
    ASSERT_TRUE(clock->isActive());
    EXPECT_LE(clock->remainingTime(), 750);
}

TEST_F(PageNavigationTest, EnergySubPagesStopTheJobAndArmTheirOwnRead)
{
    Show(f().Page_Energy);
    const struct {
        QWidget* from;
        QWidget* to;
        QTimer* start;
    } rows[] = {
        {f().Page_Values, f().Page_ResettableCounters, f().Timer_Energy_Resettable_Start_Reading},
        {f().Page_Values, f().Page_FreezeCounters, f().Timer_Energy_Freeze_Start_Reading},
        {f().Page_FreezeCounters, f().Page_Values, f().Timer_Energy_Values_Start_Measuring},
    };
    QTimer* starts[] = {f().Timer_Energy_Values_Start_Measuring, f().Timer_Energy_Resettable_Start_Reading,
                        f().Timer_Energy_Freeze_Start_Reading};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.to->objectName().toStdString());
        ShowEnergy(row.from);
        for (QTimer* t : starts) t->stop();
        PretendJobRuns(jcModbusMainCounters);
        f().Timer_Display_Refresh->start(5000);

        ShowEnergy(row.to);
        EXPECT_EQ(f().JobCode, jcIdle);
        EXPECT_FALSE(f().Timer_Display_Refresh->isActive());
        for (QTimer* t : starts) EXPECT_EQ(t->isActive(), t == row.start) << t->objectName().toStdString();
    }

    // Away from the Energy page a sub-page change starts no read.
    Show(f().Page_Setup);
    for (QTimer* t : starts) t->stop();
    ShowEnergy(f().Page_ResettableCounters);
    for (QTimer* t : starts) EXPECT_FALSE(t->isActive()) << t->objectName().toStdString();
}

TEST_F(PageNavigationTest, SwitchingLoggerSubPagesLeavesARunningReadAlone)
{
    Show(f().Page_Logger);
    ShowLogger(f().Page_DemandLogger);
    PretendJobRuns(jcModbusDemandLogger);
    f().PendingJob = jcModbusDeviceTime;
    f().MainShape3->show();
    for (QWidget* sub : {f().Page_EventsLogger, f().Page_CertifiedLogger, f().Page_DemandLogger}) {
        ShowLogger(sub);
        EXPECT_EQ(f().JobCode, jcModbusDemandLogger) << sub->objectName().toStdString();
        EXPECT_EQ(f().PendingJob, jcModbusDeviceTime);
        EXPECT_FALSE(f().MainShape3->isHidden());
    }
}

TEST_F(PageNavigationTest, SetupPageRevealsTheDeviceLabelsOnlyTheFirstTime)
{
    for (QLabel* l : DeviceLabels()) ASSERT_TRUE(l->isHidden()) << l->objectName().toStdString();
    Show(f().Page_Measurement);
    // The product line also comes and goes with the demand page's width.
    for (QLabel* l : DeviceLabels()) {
        if (l != f().StaticText_ProductInfo) {
            EXPECT_TRUE(l->isHidden()) << l->objectName().toStdString();
        }
    }
    EXPECT_EQ(f().SetupLabelsPending, 1);

    Show(f().Page_Setup);
    for (QLabel* l : DeviceLabels()) EXPECT_FALSE(l->isHidden()) << l->objectName().toStdString();
    EXPECT_EQ(f().SetupLabelsPending, 0);

    // Whoever hides a label afterwards keeps it hidden.
    f().Label_VT->hide();
    f().Label_Device_Options->hide();
    Show(f().Page_Help);
    Show(f().Page_Setup);
    EXPECT_TRUE(f().Label_VT->isHidden());
    EXPECT_TRUE(f().Label_Device_Options->isHidden());
    EXPECT_FALSE(f().Label_DeviceType->isHidden());
}

TEST_F(PageNavigationTest, FeatureLabelsAppearForBrandOneOnly)
{
    for (int brand : {1, 2}) {
        SCOPED_TRACE(brand);
        StartWindow();
        f().Brand = brand;
        // Shown beforehand, so that brand 2 must hide them.
        f().Label_Features->show();
        f().Label_Device_Options->show();
        Show(f().Page_Setup);
        EXPECT_EQ(f().Label_Features->isHidden(), brand != 1);
        EXPECT_EQ(f().Label_Device_Options->isHidden(), brand != 1);
    }
}

TEST_F(PageNavigationTest, SecondaryAddressLabelsAreRevealedForMBusOnly)
{
    const struct {
        QRadioButton* TMainForm::*transport;
        bool shown;
    } rows[] = {
        {&TMainForm::RadioButton_MBus, true},
        {&TMainForm::RadioButton_Modbus_RTU, false},
        {&TMainForm::RadioButton_Modbus_TCPIP, false},
    };
    for (const auto& row : rows) {
        StartWindow();
        QRadioButton* button = f().*row.transport;
        SCOPED_TRACE(button->objectName().toStdString());
        // The stored transport is Modbus TCP; choose another one before the first visit.
        if (button->isChecked()) f().RadioButton_MBus->setChecked(true);
        button->setChecked(true);
        for (QLabel* l : SecondaryAddressLabels()) ASSERT_TRUE(l->isHidden());
        Show(f().Page_Setup);
        for (QLabel* l : SecondaryAddressLabels()) EXPECT_EQ(!l->isHidden(), row.shown) << l->objectName().toStdString();
    }
}

TEST_F(PageNavigationTest, TitleLineNamesThePageAndSubPageInTheLanguage)
{
    EXPECT_TRUE(f().Label_Main->isHidden()) << "hidden until the first page change";
    struct Row {
        int language;
        QWidget* page;
        QWidget* sub;
        const char* title;
    };
    const Row rows[] = {
        {0, f().Page_Measurement, nullptr, "Energy Meter / Measurement"},
        {0, f().Page_Energy, f().Page_Values, "Energy Meter / Energy / Values"},
        {0, f().Page_Energy, f().Page_FreezeCounters, "Energy Meter / Energy / Freeze Counters"},
        {0, f().Page_Logger, f().Page_DemandLogger, "Energy Meter / Logger / Demand Logger"},
        {0, f().Page_Logger, f().Page_EventsLogger, "Energy Meter / Logger / Events Logger"},
        {0, f().Page_Setup, nullptr, "Energy Meter / Setup"},
        {0, f().Page_Help, nullptr, "Energy Meter / Help"},
        {1, f().Page_Measurement, nullptr, "Energiezähler / Messwerte"},
        {1, f().Page_Energy, f().Page_ResettableCounters, "Energiezähler / Energie / Rückstellbare Zähler"},
        {1, f().Page_Logger, f().Page_CertifiedLogger, "Energiezähler / Logbücher / Eichtechnisches Logbuch"},
        {1, f().Page_Setup, nullptr, "Energiezähler / Einstellungen"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.title);
        SetLanguage(row.language);
        QWidget* elsewhere = row.page == f().Page_Help ? f().Page_Setup : f().Page_Help;
        QTabWidget* subPages = row.page == f().Page_Energy   ? f().PageControl_Energy
                               : row.page == f().Page_Logger ? f().PageControl_Logger
                                                             : nullptr;
        Show(elsewhere);
        if (subPages) subPages->setCurrentWidget(row.sub);
        Show(row.page);
        EXPECT_FALSE(f().Label_Main->isHidden());
        EXPECT_EQ(f().Label_Main->text(), QString::fromUtf8(row.title)) << "after the page change";
        if (!subPages) continue;

        // The sub-page change on its own writes the title as well.
        subPages->setCurrentIndex(subPages->indexOf(row.sub) == 0 ? 1 : 0);
        Show(elsewhere);
        Show(row.page);
        subPages->setCurrentWidget(row.sub);
        EXPECT_EQ(f().Label_Main->text(), QString::fromUtf8(row.title)) << "after the sub-page change";
    }
}

// A language switch on a page other than Help keeps naming the page shown.
TEST_F(PageNavigationTest, LanguageSwitchKeepsTheTitleOfTheShownPage)
{
    SetLanguage(0);
    f().PageControl_Energy->setCurrentWidget(f().Page_FreezeCounters);
    Show(f().Page_Energy);
    ASSERT_EQ(f().Label_Main->text(), QStringLiteral("Energy Meter / Energy / Freeze Counters"));
    SetLanguage(1);
    EXPECT_EQ(f().Label_Main->text(), QStringLiteral("Energiezähler / Energie / Stichtagszähler"));
    SetLanguage(0);
    EXPECT_EQ(f().Label_Main->text(), QStringLiteral("Energy Meter / Energy / Freeze Counters"));
}

// Wide only for the demand sub-page left wide; "narrow widths only" elsewhere
// keeps the arrow's caption, so the wide page comes back with the Logger page.
TEST_F(PageNavigationTest, DemandPageWidthFollowsTheShownLoggerSubPage)
{
    ASSERT_TRUE(f().RadioButton_Large->isChecked());
    Show(f().Page_Logger);
    ShowLogger(f().Page_DemandLogger);
    f().LabelDemandLargeArrow->setText(QStringLiteral("<"));
    ShowLogger(f().Page_EventsLogger);
    EXPECT_EQ(f().PageControl_Main->width(), 849);
    ShowLogger(f().Page_DemandLogger);
    EXPECT_EQ(f().PageControl_Main->width(), 1105);

    Show(f().Page_Setup);
    EXPECT_EQ(f().PageControl_Main->width(), 849);
    EXPECT_EQ(f().LabelDemandLargeArrow->text(), QStringLiteral("<"));
    // A tab change the program makes while another page is shown widens nothing.
    ShowLogger(f().Page_EventsLogger);
    ShowLogger(f().Page_DemandLogger);
    EXPECT_EQ(f().PageControl_Main->width(), 849);

    Show(f().Page_Logger);
    EXPECT_EQ(f().PageControl_Main->width(), 1105);

    f().LabelDemandLargeArrow->setText(QStringLiteral(">"));
    Show(f().Page_Help);
    Show(f().Page_Logger);
    EXPECT_EQ(f().PageControl_Main->width(), 849);
}

TEST_F(PageNavigationTest, PageChangeHidesTheDemandLegendAndRestoresTheArrowInTheLargeLayout)
{
    Show(f().Page_Logger);
    f().ShowDemandStatusHelp(1);
    ASSERT_FALSE(f().RichEdit_DemandLogger_Help_In->isHidden());
    f().LabelDemandLargeArrow->setEnabled(false);
    f().LabelDemandLargeArrow->hide();
    Show(f().Page_Help);
    EXPECT_TRUE(f().RichEdit_DemandLogger_Help_In->isHidden());
    EXPECT_FALSE(f().LabelDemandLargeArrow->isHidden());
    EXPECT_TRUE(f().LabelDemandLargeArrow->isEnabled());

    // The small layout keeps the arrow away.
    f().RadioButton_Small->setChecked(true);
    ASSERT_TRUE(f().LabelDemandLargeArrow->isHidden());
    Show(f().Page_Setup);
    EXPECT_TRUE(f().LabelDemandLargeArrow->isHidden());
}

TEST_F(PageNavigationTest, DemandIntervalGroupOnlyForTheLargeDemandLogger)
{
    for (uint8_t variant : {0, 1, 2, 3}) {
        SCOPED_TRACE(static_cast<int>(variant));
        f().DeviceVariant = variant;
        Show(f().PageControl_Main->currentWidget() == f().Page_Help ? f().Page_Logger : f().Page_Help);
        const bool large = variant == 2;
        EXPECT_EQ(!f().GroupBoxDemandInterval->isHidden(), large);
        EXPECT_EQ(f().GroupBoxDemandInterval->isEnabled(), large);
        EXPECT_EQ(f().StringGrid_DemandLogger->height(), large ? 298 : 369);
    }
}

TEST_F(PageNavigationTest, EmptyIntervalEditsGetNowAndTypedPeriodsStay)
{
    f().DeviceVariant = 1;
    Show(f().Page_Logger);
    EXPECT_EQ(f().MaskEditIntervalDateFrom->displayText().trimmed(), QStringLiteral("-  -"))
        << "nothing is filled in for a meter without the interval read";

    f().DeviceVariant = 2;
    f().CalenderDateIntervalFrom->setDate(QDate(2019, 1, 1));
    f().CalenderDateIntervalTill->setDate(QDate(2019, 1, 2));
    const QDateTime before = QDateTime::currentDateTime();
    Show(f().Page_Help);
    const QDateTime after = QDateTime::currentDateTime();

    const QDate today = before.date();
    EXPECT_EQ(f().CalenderDateIntervalFrom->date(), today);
    EXPECT_EQ(f().CalenderDateIntervalTill->date(), today);
    for (QLineEdit* e : {f().MaskEditIntervalDateFrom, f().MaskEditIntervalDateTill})
        EXPECT_EQ(e->text(), today.toString(QStringLiteral("yyyy-MM-dd"))) << e->objectName().toStdString();
    const QString timeBefore = before.time().toString(QStringLiteral("HH:mm"));
    const QString timeAfter = after.time().toString(QStringLiteral("HH:mm"));
    for (QLineEdit* e : {f().MaskEditIntervalTimeFrom, f().MaskEditIntervalTimeTill}) {
        EXPECT_TRUE(e->text() == timeBefore || e->text() == timeAfter) << e->text().toStdString();
        EXPECT_TRUE(e->hasAcceptableInput());
    }

    f().MaskEditIntervalDateFrom->setText(QStringLiteral("2021-05-03"));
    f().MaskEditIntervalTimeFrom->setText(QStringLiteral("10:52"));
    Show(f().Page_Logger);
    EXPECT_EQ(f().MaskEditIntervalDateFrom->text(), QStringLiteral("2021-05-03"));
    EXPECT_EQ(f().MaskEditIntervalTimeFrom->text(), QStringLiteral("10:52"));
}

TEST_F(PageNavigationTest, WebLabelOpensTheBrandsAddressOnALeftClick)
{
    QLabel* web = f().Label_Help_middle_logo_web;
    // The label's own text does not matter.
    web->setText(QStringLiteral("somewhere.example"));
    QTest::mouseClick(web, Qt::RightButton);
    ASSERT_TRUE(opened_.empty());
    // Pressed over the label but let go elsewhere: no click.
    QTest::mousePress(web, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(web, Qt::LeftButton, {}, QPoint(web->width() + 40, 5));
    ASSERT_TRUE(opened_.empty());

    QTest::mouseClick(web, Qt::LeftButton);
    f().Brand = 2;
    QTest::mouseClick(web, Qt::LeftButton);
    ASSERT_EQ(opened_.size(), 2u);
    EXPECT_EQ(opened_[0], QStringLiteral("https://www.torva-orbicount.example"));
    EXPECT_EQ(opened_[1], QStringLiteral("https://www.nold-qsl.example"));
}

TEST_F(PageNavigationTest, BindingTwiceRunsEachHandlerOnce)
{
    f().ConnectPageNavigationHandlers();
    QTest::mouseClick(f().Label_Help_middle_logo_web, Qt::LeftButton);
    EXPECT_EQ(opened_.size(), 1u);
}

// A picture of the Setup page as a person sees it after a connect over M-Bus.
TEST_F(PageNavigationTest, SavesAScreenshotOfTheSetupPageWithTheDeviceInformation)
{
    f().RadioButton_English->setChecked(true);
    f().RadioButton_MBus->setChecked(true);
    Show(f().Page_Setup);

    const struct {
        QLabel* label;
        const char* text;
    } sample[] = {
        {f().Label_DeviceAddress, " 12"},
        {f().Label_DeviceType, " 3-phase, 4-wire, 65 A"},
        {f().Label_Device_SerN, " 21004711"},
        {f().Label_Device_Options, " MID, 4 tariffs"},
        {f().StaticText_ProductInfo, " ORBICOUNT 3D, FW 1.09, Base 2.03"},
        {f().Label_Secondary_Address_ID, " 21004711"},
        {f().Label_Manufacturer, " TVK"},
        {f().Label_Version, " 0x20"},
        {f().Label_Type, " 0x02"},
        {f().Label_Demand_Period, " 15 min."},
        {f().Label__VT, " 1"},
        {f().Label__CT, " 1"},
        {f().Label_MainDeviceTimeDate, " 2024-05-03 10:52"},
        {f().Label_Actual_Tariff, "1"},
    };
    for (const auto& s : sample) s.label->setText(QString::fromUtf8(s.text));
    QTest::qWait(50);

    const QImage shot = f().grab().toImage();
    const QString dir = QStringLiteral(SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(dir));
    EXPECT_TRUE(shot.save(dir + QStringLiteral("/page-navigation-setup.png")));
    for (QLabel* l : DeviceLabels()) EXPECT_TRUE(l->isVisible()) << l->objectName().toStdString();
    for (QLabel* l : SecondaryAddressLabels()) EXPECT_TRUE(l->isVisible()) << l->objectName().toStdString();
}

} // namespace
