// The whole tool started as the program main starts it, looked at, and closed.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Startup.h"
#include "app/Text.h"
#include "comm/ThCom.h"
#include "RealDisplay.h"
#include "setup/PSWin.h"

namespace {

// Each start gets a configuration folder of its own, so no settings carry over.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", config_.path().toUtf8()); }
    // Lets the first activation (queued after the show) run.
    static void Settle() { QTest::qWait(100); }
    QTemporaryDir config_;
};

TEST_F(StartupTest, CreatesTheThreeWindowsInOrderAndShowsTheBrand)
{
    TToolWindows windows;
    ASSERT_EQ(MainForm, &windows.Main());
    ASSERT_NE(ProgrWinForm, nullptr);
    ASSERT_NE(PSWinForm, nullptr);
    EXPECT_FALSE(ProgrWinForm->isVisible());
    EXPECT_FALSE(PSWinForm->isVisible());

    TMainForm& f = windows.Main();
    f.show();
    Settle();
    EXPECT_EQ(f.width(), 1125);
    EXPECT_EQ(f.height(), 660);
    EXPECT_EQ(f.Label_Help_customer_left_logo->text(), QStringLiteral("TORVA ORBICOUNT TOOL"));
    EXPECT_EQ(f.Label_HelpVersion->text(), QStringLiteral("Version 1.27"));
    EXPECT_TRUE(f.Label4->text().startsWith(QStringLiteral("dpi: ")));
    EXPECT_FALSE(f.Tool_Image_Logo_TVK->isHidden());
    EXPECT_TRUE(f.Tool_Image_Logo_NOLD->isHidden());
    // The window starts on the Help page, in German when nothing is stored.
    EXPECT_EQ(f.PageControl_Main->currentWidget(), f.Page_Help);
    EXPECT_EQ(f.Language, 1);
    EXPECT_EQ(f.PageControl_Main->tabText(f.PageControl_Main->indexOf(f.Page_Measurement)),
              Txt(TxtMeasurement, 1));
    // The worker exists after the first activation and sleeps until a job comes.
    ASSERT_NE(f.ComThread, nullptr);
    EXPECT_TRUE(f.ComThread->Suspended());
}

TEST_F(StartupTest, ClosingWithNothingConnectedEndsCleanly)
{
    TToolWindows windows;
    TMainForm& f = windows.Main();
    f.show();
    Settle();
    EXPECT_TRUE(f.close());
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.PortOpen, 0);
    // The settings were written on close.
    EXPECT_TRUE(QDir(config_.path()).exists(QStringLiteral("TORVA_ORBICOUNT_TOOL.ini")));
}

// Saves what a person sees, one picture per main page, for looking at.
TEST_F(StartupTest, SavesScreenshotsOfTheMainWindow)
{
    TToolWindows windows;
    TMainForm& f = windows.Main();
    f.show();
    Settle();
    const QString dir = testsupport::ScreenshotDir();
    ASSERT_TRUE(QDir().mkpath(dir));
    const QImage help = f.grab().toImage();
    ASSERT_FALSE(help.isNull());
    EXPECT_TRUE(help.save(dir + QStringLiteral("/main-window.png")));
    const struct {
        QWidget* page;
        const char* name;
    } pages[] = {{f.Page_Measurement, "measurement"}, {f.Page_Energy, "energy"},
                 {f.Page_Logger, "logger"},           {f.Page_Setup, "setup"}};
    for (const auto& p : pages) {
        f.PageControl_Main->setCurrentWidget(p.page);
        QTest::qWait(50);
        EXPECT_TRUE(f.grab().toImage().save(dir + QStringLiteral("/main-window-%1.png").arg(QLatin1String(p.name))));
    }
    // The picture is not one flat colour: the window really drew its controls.
    int distinct = 0;
    const QRgb first = help.pixel(0, 0);
    for (int y = 0; y < help.height() && distinct < 50; y += 7)
        for (int x = 0; x < help.width() && distinct < 50; x += 7)
            if (help.pixel(x, y) != first) ++distinct;
    EXPECT_GE(distinct, 50);
}

} // namespace
