// The close: the device is let go once, the settings are written on every way
// out, and a settings file that cannot be written is reported in the window.
#include <QDir>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <unistd.h>

#include <limits>
#include <memory>

#include "SettingsFixture.h"
#include "app/MainForm.h"
#include "app/Text.h"
#include "comm/ThCom.h"
#include "platform/ComPort.h"

namespace {

using settingsrig::BoxReader;
using settingsrig::PseudoPort;
using settingsrig::SettingsTest;

TEST_F(SettingsTest, ClosingEndsTheWorkerAndLetsTheConnectedPortGoOnce)
{
    WriteIni("[Cfg]\nVERS=Version 1.27\nPROT=51\nLANG=1\nPNMODBUS=0\n");
    PseudoPort port(config_.path());
    ASSERT_TRUE(port.Valid());
    auto windows = Start();
    TMainForm& f = windows->Main();
    ASSERT_EQ(f.TransportCode, tcModbusRtu);
    ASSERT_TRUE(OpenComPort(f.SerialPort, f, f.ModbusBaudIndex));
    ASSERT_EQ(port.OpenByProcess(), 1);
    f.ShowConnectionState(2);

    f.close();
    // No job can run any more; the device was let go before the settings were written.
    ASSERT_NE(f.ComThread, nullptr);
    EXPECT_TRUE(f.ComThread->Stopping());
    EXPECT_EQ(f.PortOpen, 0);
    EXPECT_EQ(f.SerialPort, nullptr);
    EXPECT_EQ(port.OpenByProcess(), 0);
    EXPECT_EQ(Stored("PROT"), QStringLiteral("51"));
    windows.reset();
    EXPECT_EQ(port.OpenByProcess(), 0);
}

TEST_F(SettingsTest, DestructorClosesAPortLeftOpen)
{
    WriteIni("[Cfg]\nVERS=Version 1.27\nPROT=51\nLANG=1\nPNMODBUS=0\n");
    PseudoPort port(config_.path());
    ASSERT_TRUE(port.Valid());
    auto windows = Start();
    TMainForm& f = windows->Main();
    ASSERT_TRUE(OpenComPort(f.SerialPort, f, f.ModbusBaudIndex));
    ASSERT_EQ(port.OpenByProcess(), 1);
    // Destroyed without a close event, as when the process ends.
    windows.reset();
    EXPECT_EQ(port.OpenByProcess(), 0);
}

TEST_F(SettingsTest, ClosingWritesTheSettingsWhenThePortCannotBeLetGo)
{
    WriteIni("[Cfg]\nVERS=Version 1.27\nPROT=51\nLANG=2\nPNMODBUS=0\n");
    PseudoPort port(config_.path());
    ASSERT_TRUE(port.Valid());
    auto windows = Start();
    TMainForm& f = windows->Main();
    ASSERT_TRUE(OpenComPort(f.SerialPort, f, f.ModbusBaudIndex));
    f.RadioButton_English->setChecked(true);
    f.ShowConnectionState(2);
    // The adapter is pulled out: the port's descriptor is gone, so its close fails.
    const int descriptor = f.SerialPort->Handle;
    f.SerialPort->Handle = std::numeric_limits<int>::max();
    ::close(descriptor);

    BoxReader boxes;
    f.close();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(Stored("LANG"), QStringLiteral("1"));
    EXPECT_EQ(Stored("PROT"), QStringLiteral("51"));
    // The close error is still shown, and nothing else.
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_TRUE(boxes.seen[0].text.startsWith(QStringLiteral("Cannot close "))) << boxes.seen[0].text.toStdString();
    windows.reset();
    EXPECT_EQ(port.OpenByProcess(), 0);
}

TEST_F(SettingsTest, SettingsThatCannotBeWrittenAreReportedAtClose)
{
    const struct {
        const char* name;
        int language;
        bool folderIsAFile; // else the file is a folder
    } cases[] = {{"folder is a file", 0, true}, {"file is a folder", 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString home = config_.path() + QLatin1Char('/') + QString::fromLatin1(c.name);
        const QString ini = home + QStringLiteral("/TORVA_ORBICOUNT_TOOL.ini");
        ASSERT_TRUE(QDir().mkpath(home));
        qputenv("XDG_CONFIG_HOME", home.toUtf8());
        auto windows = Start();
        TMainForm& f = windows->Main();
        (c.language == 0 ? f.RadioButton_English : f.RadioButton_German)->setChecked(true);
        if (c.folderIsAFile) {
            ASSERT_TRUE(QDir(home).removeRecursively());
            QFile blocker(home);
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        } else {
            ASSERT_TRUE(QDir().mkpath(ini));
        }

        BoxReader boxes;
        f.close();
        EXPECT_FALSE(f.isVisible());
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_EQ(boxes.seen[0].title, Txt(TxtError, c.language));
        EXPECT_EQ(boxes.seen[0].text, Txt(TxtSettingsNotSaved, c.language) + ini);
        EXPECT_EQ(boxes.seen[0].buttons, QMessageBox::Ok);
    }
}

} // namespace
