#include "app/ProgrWin.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <set>

#include "app/ColorButton.h"
#include "app/MainForm.h"
#include "app/Text.h"
#include "core/JobCodes.h"

namespace {

struct ProgrWinTest : ::testing::Test {
    TMainForm f;
    TProgrWinForm w{f};

    void SetUp() override { f.Language = 0; }

    // Shows a report modally as the tool does and runs inspect once the window
    // is up; inspect must close it. A watchdog ends a test that would hang.
    int RunModal(const std::function<void()>& showCall, const std::function<void()>& inspect)
    {
        bool inspected = false;
        QTimer::singleShot(0, &w, [&] {
            inspected = true;
            EXPECT_TRUE(w.isVisible());
            EXPECT_EQ(w.Shown, 1);
            inspect();
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, &w, [this] {
            ADD_FAILURE() << "progress window did not close";
            w.done(-1);
        });
        watchdog.start(10000);
        showCall();
        EXPECT_TRUE(inspected);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(w.Shown, 0);
        return w.result();
    }

    // Restyles the window as a call while it is open does, without a modal loop.
    void Restyle(int icon, int counting, int barTimer, int busy, int layout, const QString& caption,
                 const QString& line1, const QString& line2 = {}, const QString& line3 = {},
                 const QString& button = QStringLiteral("Ok"), int itemCount = 0)
    {
        w.Shown = 1;
        w.ShowProgress(7, icon, counting, barTimer, busy, layout, caption, line1, QString(), line2,
                       line3, button, itemCount);
    }

    QString En(const LangText& t) const { return Txt(t, 0); }
};

} // namespace

TEST_F(ProgrWinTest, ComponentsAndWindow)
{
    EXPECT_EQ(w.size(), QSize(273, 91));
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(0xE0, 0xE0, 0xE0));
    const char* names[] = {"Label_ProgrBar0", "Label_ProgrBar1", "Label_ProgrBar2", "Label_ProgrBar3",
                           "Label_ProgrBar_PercentCounter", "ProgrWin_ProgressBar", "ProgrWinIconInfo",
                           "ProgrWinIconError", "ProgrWinIconWarning", "LabelIndex",
                           "Button_ProgrWin_Terminate", "ProgrWin_BarTimer", "ProgrWin_BarTimer_100percent"};
    for (const char* n : names) EXPECT_NE(w.findChild<QObject*>(QString::fromLatin1(n)), nullptr) << n;

    // The button is a colour button in the green, and the only one of its name.
    auto* b = qobject_cast<TColorButton*>(w.Button_ProgrWin_Terminate);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(w.findChildren<QPushButton*>(QStringLiteral("Button_ProgrWin_Terminate")).size(), 1);
    EXPECT_EQ(b->BackColor(), ClrButtonFace);
    EXPECT_EQ(b->HoverColor(), ClrButtonFace);
    EXPECT_EQ(w.ProgrWin_ProgressBar->palette().color(QPalette::Highlight), ToQColor(ClrButtonFace));
    EXPECT_TRUE(w.ProgrWinIconInfo->isHidden());
    EXPECT_TRUE(w.ProgrWinIconError->isHidden());
    EXPECT_TRUE(w.ProgrWinIconWarning->isHidden());
    EXPECT_TRUE(w.LabelIndex->isHidden());
    EXPECT_FALSE(w.ProgrWin_BarTimer->isActive());
    EXPECT_EQ(w.ProgrWin_BarTimer->interval(), 500);
    EXPECT_EQ(w.ProgrWin_BarTimer_100percent->interval(), 500);
    EXPECT_FALSE(w.ProgrWinIconInfo->pixmap().isNull());
}

TEST_F(ProgrWinTest, BarTimerPeriodPerItemCountAndBaudIndex)
{
    const struct { int items, baud, period; } cases[] = {
        {3, 2, 55},          // below 5 counts as 5
        {0, 2, 55},
        {5, 0, 180},
        {20, 1, 380},
        {5, 3, 33},          // 32.5 rounds up
        {10, 4, 43},
        {50, 5, 65},
        {999, 6, 699},
        {1000, 6, 980},      // from 1000 on, 1.4 per item
        {2000, 2, 30800},
        {70, 7, 35},
        {70, 9, 35},
        {70, -1, 35},        // no selection: the smallest factor
    };
    for (const auto& c : cases)
        EXPECT_EQ(TProgrWinForm::BarTimerPeriodFor(c.items, c.baud), c.period) << c.items << "@" << c.baud;
}

TEST_F(ProgrWinTest, ShowProgressTakesTheItemCountAtTheChosenBaudRate)
{
    QComboBox* baud = f.ComboBox_Setup_DeviceBaudrate;
    ASSERT_NE(baud, nullptr);
    while (baud->count() < 3) baud->addItem(QString::number(baud->count()));
    baud->setCurrentIndex(2);
    Restyle(0, 0, 1, 1, 1, En(TxtConnecting), QString(), {}, {}, {}, 2000);
    EXPECT_EQ(w.BarTimerPeriod, 30800);
    Restyle(0, 0, 1, 1, 1, En(TxtConnecting), QString(), {}, {}, {}, 3);
    EXPECT_EQ(w.BarTimerPeriod, 55);
    // No item count leaves the period as it was.
    Restyle(0, 0, 0, 0, 1, En(TxtInformation), QStringLiteral("x"));
    EXPECT_EQ(w.BarTimerPeriod, 55);
}

TEST_F(ProgrWinTest, ModalReportWaitsForTheButton)
{
    f.JobCode = 28;
    int result = RunModal(
        [&] {
            w.ShowProgress(89, 0, 0, 0, 0, 1, En(TxtInformation), En(TxtDeviceConnected),
                           QStringLiteral(" (Error:65)"), {}, {}, En(TxtOk), 0);
        },
        [&] {
            EXPECT_EQ(w.windowTitle(), QStringLiteral("Information"));
            EXPECT_EQ(w.Label_ProgrBar1->text(), QStringLiteral("The device is connected."));
            EXPECT_EQ(w.LabelIndex->text(), QStringLiteral("89"));
            EXPECT_FALSE(w.Button_ProgrWin_Terminate->isHidden());
            EXPECT_EQ(w.Button_ProgrWin_Terminate->text(), QStringLiteral("Ok"));
            EXPECT_EQ(w.focusWidget(), w.Button_ProgrWin_Terminate);
            EXPECT_EQ(w.Label_ProgrBar_PercentCounter->text(), QStringLiteral("1%"));
            // The error number is never shown.
            for (QLabel* l : w.findChildren<QLabel*>())
                EXPECT_FALSE(l->text().contains(QStringLiteral("Error:"))) << l->objectName().toStdString();
            w.Button_ProgrWin_Terminate->click();
        });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(f.JobCode, 0);
}

TEST_F(ProgrWinTest, EmptyButtonTextHidesTheButtonAndEscapeDoesNothing)
{
    RunModal(
        [&] {
            w.ShowProgress(11, 0, 0, 1, 1, 1, En(TxtConnecting), En(TxtWait), QString(), {}, {},
                           QString(), 5);
        },
        [&] {
            EXPECT_TRUE(w.Button_ProgrWin_Terminate->isHidden());
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&w, &esc);
            EXPECT_TRUE(w.isVisible()) << "no button: Escape must not close the window";
            w.FinishProgress();
            // With the bar timer running the window lingers at 100% for half a second.
            EXPECT_TRUE(w.isVisible());
            EXPECT_EQ(w.Label_ProgrBar_PercentCounter->text(), QStringLiteral("100%"));
            EXPECT_FALSE(w.ProgrWin_BarTimer->isActive());
            EXPECT_TRUE(w.ProgrWin_BarTimer_100percent->isActive());
            EXPECT_EQ(w.ProgrWin_ProgressBar->value(), w.ProgrWin_ProgressBar->maximum());
        });
    EXPECT_FALSE(w.ProgrWin_BarTimer_100percent->isActive());

    // The next report with a button shows it again, and Escape presses it.
    f.ConnectCancelled = 0;
    RunModal(
        [&] {
            w.ShowProgress(16, 0, 0, 1, 1, 1, En(TxtConnecting), QString(), QString(), {}, {},
                           En(TxtCancel), 20);
        },
        [&] {
            EXPECT_FALSE(w.Button_ProgrWin_Terminate->isHidden());
            EXPECT_EQ(w.Button_ProgrWin_Terminate->text(), QStringLiteral("Cancel"));
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&w, &esc);
        });
    EXPECT_EQ(f.ConnectCancelled, 1);
}

TEST_F(ProgrWinTest, TerminateCancelsAndTellsAConnectFromOtherJobs)
{
    const struct { int language; const LangText* caption; uint8_t cancelled; } cases[] = {
        {0, &TxtConnecting, 1},
        {1, &TxtConnecting, 1},
        {0, &TxtScanning, 0},
        {1, &TxtDataReading, 0},
    };
    for (const auto& c : cases) {
        f.Language = c.language;
        f.ConnectCancelled = c.cancelled ? 0 : 1;
        f.JobCode = 8;
        Restyle(1, 0, 1, 1, 1, Txt(*c.caption, c.language), QString(), {}, {}, Txt(TxtCancel, c.language), 5);
        ASSERT_TRUE(w.ProgrWin_BarTimer->isActive());
        w.Button_ProgrWin_Terminate->click();
        EXPECT_EQ(f.ConnectCancelled, c.cancelled) << Txt(*c.caption, c.language).toStdString();
        EXPECT_EQ(f.JobCode, 0);
        EXPECT_EQ(w.Shown, 0);
        EXPECT_FALSE(w.ProgrWin_BarTimer->isActive());
        EXPECT_TRUE(w.ProgrWinIconError->isHidden());
    }
}

TEST_F(ProgrWinTest, TerminateOnTheLoggerPageHurriesTheClockRead)
{
    ASSERT_NE(f.PageControl_Main, nullptr);
    ASSERT_NE(f.Page_Logger, nullptr);
    f.TimerRefreshMainDeviceTime->setInterval(60000);
    f.TimerDeleteMemoryTime->start(100000);
    f.PageControl_Main->setCurrentWidget(f.Page_Logger);
    Restyle(0, 1, 0, 0, 1, En(TxtDataReading), QString(), {}, {}, En(TxtCancel), 10);
    w.Button_ProgrWin_Terminate->click();
    EXPECT_EQ(f.TimerRefreshMainDeviceTime->interval(), 100);
    EXPECT_FALSE(f.TimerDeleteMemoryTime->isActive());

    // On another page the clock timer keeps its interval.
    f.TimerRefreshMainDeviceTime->setInterval(60000);
    f.PageControl_Main->setCurrentIndex(f.PageControl_Main->indexOf(f.Page_Logger) == 0 ? 1 : 0);
    Restyle(0, 1, 0, 0, 1, En(TxtDataReading), QString(), {}, {}, En(TxtCancel), 10);
    w.Button_ProgrWin_Terminate->click();
    EXPECT_EQ(f.TimerRefreshMainDeviceTime->interval(), 60000);
}

TEST_F(ProgrWinTest, IconsByCaptionIconAndLineLength)
{
    const QString info = En(TxtInformation);
    const QString error = En(TxtError);
    const struct { QString caption; int icon; int len; bool infoShown; int infoX; bool errShown; int errX; } cases[] = {
        {info, 0, 25, true, 16, false, 0},
        {info, 0, 26, true, 8, false, 0},
        {error, 1, 29, false, 0, true, 16},
        {error, 1, 30, false, 0, true, 8},
        {error, 0, 10, false, 0, false, 0},
    };
    for (const auto& c : cases) {
        Restyle(c.icon, 0, 0, 0, 1, c.caption, QString(c.len, QLatin1Char('x')));
        EXPECT_EQ(!w.ProgrWinIconInfo->isHidden(), c.infoShown) << c.len;
        if (c.infoShown) {
            EXPECT_EQ(w.ProgrWinIconInfo->x(), c.infoX) << c.len;
        }
        EXPECT_EQ(!w.ProgrWinIconError->isHidden(), c.errShown) << c.len;
        if (c.errShown) {
            EXPECT_EQ(w.ProgrWinIconError->x(), c.errX) << c.len;
        }
    }
    // The German caption counts as well; the warning icon is never shown by a report.
    f.Language = 1;
    Restyle(0, 0, 0, 0, 1, Txt(TxtInformation, 1), QStringLiteral("kurz"));
    EXPECT_FALSE(w.ProgrWinIconInfo->isHidden());
    EXPECT_TRUE(w.ProgrWinIconWarning->isHidden());
}

TEST_F(ProgrWinTest, LineLayouts)
{
    const QString a = QStringLiteral("line one"), b = QStringLiteral("line two"), c = QStringLiteral("line three");
    const struct { int busy, layout; bool two, three; int top1; QString line1; } cases[] = {
        {0, 1, false, false, 20, a},
        {0, 2, true, false, 20, a},
        {0, 3, true, true, 20, a},
        {1, 1, false, false, 46, a},
        {1, 2, false, false, 46, a},
        {1, 3, false, false, 20, a},
        {1, 1, false, false, 20, QString()},
    };
    for (const auto& k : cases) {
        Restyle(0, 0, 0, k.busy, k.layout, En(TxtInformation), k.line1, b, c);
        const std::string tag = "busy " + std::to_string(k.busy) + " layout " + std::to_string(k.layout);
        EXPECT_EQ(w.Label_ProgrBar1->text(), k.line1) << tag;
        EXPECT_EQ(!w.Label_ProgrBar2->isHidden(), k.two) << tag;
        EXPECT_EQ(!w.Label_ProgrBar3->isHidden(), k.three) << tag;
        if (k.two) {
            EXPECT_EQ(w.Label_ProgrBar2->text(), b) << tag;
        }
        if (k.three) {
            EXPECT_EQ(w.Label_ProgrBar3->text(), c) << tag;
        }
        EXPECT_EQ(w.Label_ProgrBar1->y(), k.top1) << tag;
        EXPECT_EQ(!w.ProgrWin_ProgressBar->isHidden(), k.busy == 1) << tag;
    }
    // The three lines of a layout-3 report do not overlap one another.
    Restyle(0, 0, 0, 0, 3, En(TxtInformation), a, b, c);
    EXPECT_LE(w.Label_ProgrBar3->geometry().bottom(), w.Label_ProgrBar1->y());
    EXPECT_LE(w.Label_ProgrBar1->geometry().bottom(), w.Label_ProgrBar2->y());
    EXPECT_LE(w.Label_ProgrBar2->geometry().bottom(), w.Button_ProgrWin_Terminate->y());
}

TEST_F(ProgrWinTest, ResultCountsAreAppendedAndPutIntoTheCountLists)
{
    f.DemandItemCount = 480;
    f.RecordCount = 512;
    f.EventItemCount = 37;
    f.DeviceVariant = 1;
    Restyle(0, 1, 0, 0, 1, En(TxtInformation), En(TxtNumberOfDemandItems));
    EXPECT_EQ(w.Label_ProgrBar1->text(), QStringLiteral("The number of Demand items: 480"));
    EXPECT_EQ(f.ComboBox_Demand->currentText(), QStringLiteral("480"));
    EXPECT_TRUE(w.Label_ProgrBar0->isHidden());
    EXPECT_FALSE(w.Label_ProgrBar1->isHidden());

    f.DeviceVariant = 2;
    Restyle(0, 1, 0, 0, 1, En(TxtInformation), En(TxtNumberOfDemandItems));
    EXPECT_EQ(w.Label_ProgrBar1->text(), QStringLiteral("The number of Demand items: 512"));
    EXPECT_EQ(f.ComboBox_Demand->currentText(), QStringLiteral("512"));

    Restyle(0, 0, 0, 0, 1, En(TxtInformation), En(TxtNumberOfEventsItems));
    EXPECT_EQ(w.Label_ProgrBar1->text(), QStringLiteral("The number of Events items:37"));
    EXPECT_EQ(f.ComboBox_Events->currentText(), QStringLiteral("37"));

    f.Language = 1;
    Restyle(0, 1, 0, 0, 1, Txt(TxtInformation, 1), Txt(TxtNumberOfItems, 1));
    EXPECT_EQ(w.Label_ProgrBar1->text(), Txt(TxtNumberOfItems, 1) + QStringLiteral("512"));
    EXPECT_EQ(f.ComboBox_Certified->currentText(), QStringLiteral("512"));

    // Another language's text is not recognised.
    Restyle(0, 0, 0, 0, 1, Txt(TxtInformation, 1), En(TxtNumberOfItems));
    EXPECT_EQ(w.Label_ProgrBar1->text(), En(TxtNumberOfItems));
}

TEST_F(ProgrWinTest, HiddenNextBarOnlyForSmallDevices)
{
    const struct { uint8_t variant; bool barShownAfter; } cases[] = {{0, false}, {1, false}, {2, true}};
    for (const auto& c : cases) {
        f.DeviceVariant = c.variant;
        w.ProgrWin_ProgressBar->show();
        f.HideNextProgressBar = 1;
        Restyle(0, 1, 0, 0, 1, En(TxtInformation), En(TxtNumberOfDemandItems));
        EXPECT_EQ(!w.ProgrWin_ProgressBar->isHidden(), c.barShownAfter) << int(c.variant);
        EXPECT_EQ(f.HideNextProgressBar, 0);
        // Without the flag a counting report shows the bar.
        w.ProgrWin_ProgressBar->hide();
        Restyle(0, 1, 0, 0, 1, En(TxtInformation), En(TxtNumberOfDemandItems));
        EXPECT_FALSE(w.ProgrWin_ProgressBar->isHidden());
    }
}

TEST_F(ProgrWinTest, ScanEventAndCertifiedProgress)
{
    w.UpdateProgress(17, 500, pkAddressScan);
    EXPECT_EQ(w.Label_ProgrBar0->text(), QStringLiteral("Address No.17"));
    EXPECT_FALSE(w.Label_ProgrBar0->isHidden());
    EXPECT_TRUE(w.Label_ProgrBar_PercentCounter->isHidden());
    EXPECT_EQ(w.ProgrWin_ProgressBar->maximum(), 500);

    w.UpdateProgress(12, 101, pkEventsRecord);
    EXPECT_EQ(f.EventItemCount, 12);
    EXPECT_EQ(w.Label_ProgrBar0->text(), QStringLiteral("Event Item No.12"));

    f.CheckBox_Certified_SaveToFile->setChecked(false);
    w.UpdateProgress(40, 51, pkCertifiedRecord);
    EXPECT_EQ(f.CertifiedItemCount, 40);
    EXPECT_EQ(w.Label_ProgrBar0->text(), QStringLiteral("Event Item No.40"));
    w.UpdateProgress(50, 51, pkCertifiedRecord);
    EXPECT_EQ(w.Label_ProgrBar0->text(), QStringLiteral("Event Item No.50     Please wait..."));
    f.CheckBox_Certified_SaveToFile->setChecked(true);
    w.UpdateProgress(50, 51, pkCertifiedRecord);
    EXPECT_EQ(w.Label_ProgrBar0->text(), En(TxtDataSavingWait));

    // Each report steps the bar by one.
    w.SetBarMax(100);
    w.ProgrWin_ProgressBar->setValue(1);
    w.UpdateProgress(3, 100, pkAddressScan);
    w.UpdateProgress(4, 100, pkAddressScan);
    EXPECT_EQ(w.ProgrWin_ProgressBar->value(), 3);
}

TEST_F(ProgrWinTest, ItemTextNeverPrintsOverLineOne)
{
    // A logger read says "Data Reading..." in line 1 and counts records in
    // the item text; a scan has no line 1 and counts addresses in its place.
    const struct { int counting, busy; QString caption, line1; uint8_t kind; } cases[] = {
        {1, 0, QString(), En(TxtDataReading), pkDemandRecord},
        {1, 0, En(TxtDataReading), QString(), pkEventsRecord},
        {0, 1, En(TxtScanning), QString(), pkAddressScan},
    };
    for (const auto& c : cases) {
        Restyle(0, c.counting, 0, c.busy, 1, c.caption, c.line1, {}, {}, En(TxtCancel));
        w.UpdateProgress(5, 100, c.kind);
        const std::string tag = c.line1.toStdString() + " kind " + std::to_string(c.kind);
        ASSERT_FALSE(w.Label_ProgrBar0->isHidden()) << tag;
        EXPECT_FALSE(w.Label_ProgrBar0->text().isEmpty()) << tag;
        if (!w.Label_ProgrBar1->text().isEmpty())
            EXPECT_FALSE(w.Label_ProgrBar0->geometry().intersects(w.Label_ProgrBar1->geometry())) << tag;
        else
            EXPECT_EQ(w.Label_ProgrBar0->y(), w.Label_ProgrBar1->y()) << tag;
        EXPECT_LE(w.Label_ProgrBar0->geometry().bottom(), w.Button_ProgrWin_Terminate->y()) << tag;
    }
}

TEST_F(ProgrWinTest, LargeVariant2DemandReadShowsOnlyWholeThousands)
{
    f.DeviceVariant = 2;
    f.RecordCount = 5000;
    f.CheckBox_Demand_SaveToFile->setChecked(false);
    Restyle(0, 1, 0, 0, 1, En(TxtDataReading), QString(), {}, {}, En(TxtCancel), 5000);
    w.ProgrWin_ProgressBar->setValue(0);
    const int total = 5001;
    std::set<int> labelled;
    int steps = 0;
    for (int index = 0; index < 5000; ++index) {
        const QString before = w.Label_ProgrBar0->text();
        const int barBefore = w.ProgrWin_ProgressBar->value();
        w.UpdateProgress(index, total, pkDemandRecord);
        if (w.Label_ProgrBar0->text() != before) labelled.insert(index + 1);
        if (w.ProgrWin_ProgressBar->value() != barBefore) ++steps;
        EXPECT_EQ(f.DemandItemCount, index + 1);
    }
    std::set<int> expected;
    for (int n = 1; n <= 999; ++n) expected.insert(n);
    for (int n : {1000, 2000, 3000, 4000, 5000}) expected.insert(n);
    EXPECT_EQ(labelled, expected);
    EXPECT_EQ(steps, 999 + 5);
    EXPECT_EQ(w.BarStep(), 1000);
    EXPECT_EQ(w.Label_ProgrBar0->text(), QStringLiteral("Demand Item No.5000     Please wait..."));

    w.UpdateProgress(2999, total, pkDemandRecord);
    EXPECT_EQ(w.Label_ProgrBar0->text(), QStringLiteral("Demand Item No.3000..."));
    f.CheckBox_Demand_SaveToFile->setChecked(true);
    w.UpdateProgress(4999, total, pkDemandRecord);
    EXPECT_EQ(w.Label_ProgrBar0->text(), En(TxtDataSavingWait));

    // A new read with an item count starts again with single steps.
    Restyle(0, 1, 0, 0, 1, En(TxtDataReading), QString(), {}, {}, En(TxtCancel), 10);
    EXPECT_EQ(w.BarStep(), 1);
}

TEST_F(ProgrWinTest, SmallDevicesCountEveryDemandRecord)
{
    f.DeviceVariant = 1;
    int changes = 0;
    for (int index = 0; index < 2500; ++index) {
        const QString before = w.Label_ProgrBar0->text();
        w.UpdateProgress(index, 2501, pkDemandRecord);
        changes += w.Label_ProgrBar0->text() != before;
    }
    EXPECT_EQ(changes, 2500);
    EXPECT_EQ(w.Label_ProgrBar0->text(), QStringLiteral("Demand Item No.2500"));
    EXPECT_EQ(w.BarStep(), 1);
}

TEST_F(ProgrWinTest, TimeDrivenBarRunsToHundredAndCloses)
{
    RunModal(
        [&] {
            w.ShowProgress(13, 0, 0, 1, 1, 1, En(TxtConnecting), En(TxtWait), QString(), {}, {},
                           QString(), 3);
        },
        [&] {
            EXPECT_TRUE(w.ProgrWin_BarTimer->isActive());
            EXPECT_FALSE(w.Label_ProgrBar_PercentCounter->isHidden());
            EXPECT_EQ(w.Tag, 0);
            EXPECT_EQ(w.ProgrWin_BarTimer->interval(), 500);
            w.ProgrWin_BarTimerTimer();
            EXPECT_EQ(w.Tag, 1);
            EXPECT_EQ(w.ProgrWin_BarTimer->interval(), w.BarTimerPeriod + 200);
            EXPECT_EQ(w.ProgrWin_ProgressBar->value(), 2);
            EXPECT_EQ(w.Label_ProgrBar_PercentCounter->text(), QStringLiteral("2%"));
            w.ProgrWin_BarTimerTimer();
            EXPECT_EQ(w.Label_ProgrBar_PercentCounter->text(), QStringLiteral("2%"));  // odd: unchanged
            while (w.ProgrWin_ProgressBar->value() < 100) w.ProgrWin_BarTimerTimer();
            EXPECT_EQ(w.Label_ProgrBar_PercentCounter->text(), QStringLiteral("100%"));
            EXPECT_FALSE(w.ProgrWin_BarTimer->isActive());
            EXPECT_TRUE(w.ProgrWin_BarTimer_100percent->isActive());
        });
    // The next run starts its bar timer at the default interval again.
    RunModal(
        [&] {
            w.ShowProgress(13, 0, 0, 1, 1, 1, En(TxtConnecting), En(TxtWait), QString(), {}, {},
                           QString(), 3);
        },
        [&] {
            EXPECT_EQ(w.ProgrWin_BarTimer->interval(), 500);
            EXPECT_EQ(w.ProgrWin_ProgressBar->value(), 1);
            w.ProgrWin_BarTimer->stop();
            w.FinishProgress();
        });
}

TEST_F(ProgrWinTest, ReportsWhileOpenOnlyRestyle)
{
    int nested = 0;
    RunModal(
        [&] {
            w.ShowProgress(3, 0, 0, 0, 1, 1, En(TxtScanning), QString(), QString(), {}, {},
                           En(TxtCancel), 0);
        },
        [&] {
            // A result report while the window is open returns at once.
            w.ShowProgress(87, 0, 0, 0, 0, 1, En(TxtScanning), En(TxtScanSuccessfullyFinished),
                           QString(), {}, {}, En(TxtOk), 0);
            ++nested;
            EXPECT_EQ(w.LabelIndex->text(), QStringLiteral("87"));
            // Window id 90 keeps the previous one.
            w.ShowProgress(90, 0, 0, 0, 0, 1, En(TxtScanning), En(TxtScanSuccessfullyFinished),
                           QString(), {}, {}, En(TxtOk), 0);
            EXPECT_EQ(w.LabelIndex->text(), QStringLiteral("87"));
            EXPECT_EQ(w.Button_ProgrWin_Terminate->text(), QStringLiteral("Ok"));
            EXPECT_TRUE(w.ProgrWin_ProgressBar->isHidden());
            w.FinishProgress();   // no bar timer: closes at once
        });
    EXPECT_EQ(nested, 1);
}
