// The main window driven as a user drives it, against meter-sim: connect over
// Modbus TCP on loopback and over Modbus RTU on a socat pseudo-terminal pair,
// the identification and the device information, disconnect; a meter that
// stops answering, a refused connection, and input that starts nothing.
#include <netinet/in.h>
#include <sys/socket.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "JobHostRig.h"
#include "WindowTest.h"
#include "WindowUser.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "comm/TcpClient.h"

namespace {

using namespace std::chrono_literals;
using rig::MeterSim;
using rig::PumpUntil;
using rig::SerialLine;
using rig::User;

constexpr int kComNumber = 7;

// A loopback port that nothing listens on (taken from the system, then let go).
int FreeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = -1;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

class ConnectE2ETest : public rig::WindowTest {
protected:
    void UseTcp(int port)
    {
        form->RadioButton_Modbus_TCPIP->setChecked(true);
        ASSERT_EQ(form->TransportCode.load(), tcModbusTcp);
        EXPECT_EQ(form->MaskEdit_IPAddress->displayText(), QStringLiteral("127.000.000.001"));
        form->Edit_Setup_TCPIP_Port->setText(QString::number(port));
    }

    void UseRtu(const QString& unit)
    {
        form->RadioButton_Modbus_RTU->setChecked(true);
        ASSERT_EQ(form->TransportCode.load(), tcModbusRtu);
        ChooseLine(form->ComboBox_Setup_Port_ModBus, kComNumber, kBaudIndex19200);
        ASSERT_EQ(form->ModbusBaudIndex.load(), 6);
        form->MaskEdit_Setup_ModBus_Address->setText(unit);
    }

    QPushButton* ConnectButton() const { return form->Button_Setup_Device_Connect; }
    // The click returns when the modal progress window has closed.
    void ClickConnect() { ConnectButton()->click(); }

    void ExpectConnected(const User& user)
    {
        EXPECT_TRUE(user.Saw(QStringLiteral("The device is connected."))) << user.All();
        EXPECT_EQ(ConnectButton()->text(), QStringLiteral("Disconnect"));
        EXPECT_EQ(form->Label_Setup_ConnectStatus->text(), QStringLiteral("Status: Device is connected."));
        // meter-sim's default device: four-wire, serial number 2100012345.
        EXPECT_TRUE(form->Label_Device_SerN->text().contains(QStringLiteral("2100012345")))
            << form->Label_Device_SerN->text().toStdString();
        EXPECT_NE(form->Label_DeviceType->text(), QStringLiteral("- -"));
        EXPECT_FALSE(form->StaticText_ProductInfo->text().isEmpty());
        EXPECT_EQ(form->ConnectionCode, ccThreePhase4Wire);
        EXPECT_FALSE(form->GroupBox_U3->isHidden());
        EXPECT_FALSE(form->GroupBox_DeviceSetup->isHidden());
        EXPECT_FALSE(form->GroupBox_Setup_Protocol->isEnabled());
    }

    void ExpectDisconnected()
    {
        EXPECT_EQ(ConnectButton()->text(), QStringLiteral("Connect Device"));
        EXPECT_EQ(form->Label_Setup_ConnectStatus->text(), QStringLiteral("Status: Disconnected."));
        EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral("- -"));
        EXPECT_TRUE(form->GroupBox_Setup_Protocol->isEnabled());
        EXPECT_EQ(form->PortOpen.load(), 0);
        EXPECT_EQ(form->TcpConnected.load(), 0);
    }
};

TEST_F(ConnectE2ETest, ModbusTcpConnectShowsTheDeviceAndDisconnects)
{
    MeterSim meter({"--tcp", "127.0.0.1:0", "--webserver", "enabled"});
    ASSERT_TRUE(meter.Ready());
    StartWindow();
    UseTcp(meter.Port());

    User user;
    ConnectUntil(user, QStringLiteral("The device is connected."));
    ASSERT_FALSE(user.reports.empty());
    EXPECT_EQ(user.reports.front().id, QStringLiteral("16"));
    EXPECT_EQ(user.reports.front().title, QStringLiteral("Connecting..."));
    ExpectConnected(user);
    EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral(" 127.000.000.001"));
    EXPECT_EQ(form->TcpConnected.load(), 1);
    EXPECT_EQ(form->Label_Setup_Webserver->text(), QStringLiteral("Webserver: enabled"));

    ClickConnect();
    ExpectDisconnected();
    EXPECT_FALSE(form->TcpClient->Active());
    // The web server was this device's; the next one tells its own.
    EXPECT_EQ(form->Label_Setup_Webserver->text(), QString());
    EXPECT_EQ(form->WebserverPresent, 0);
}

TEST_F(ConnectE2ETest, ModbusRtuConnectShowsTheDeviceAndDisconnects)
{
    SerialLine line(kComNumber);
    ASSERT_TRUE(line.Ready());
    MeterSim meter({"--rtu", line.MeterEnd(), "--baud", "19200", "--unit", "3"});
    ASSERT_TRUE(meter.Ready());
    StartWindow();
    UseRtu(QStringLiteral("3"));
    // As a Modbus TCP meter with a web server would have left them.
    form->WebserverPresent = 1;
    form->WebserverEnabled = 1;

    User user;
    ConnectUntil(user, QStringLiteral("The device is connected."));
    ASSERT_FALSE(user.reports.empty());
    EXPECT_EQ(user.reports.front().id, QStringLiteral("13"));
    EXPECT_EQ(user.reports.front().text, QStringLiteral("Wait..."));
    ExpectConnected(user);
    EXPECT_EQ(form->Label_Setup_Webserver->text(), QString());
    EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral(" 3"));
    EXPECT_EQ(form->PortOpen.load(), 1);

    ClickConnect();
    ExpectDisconnected();
    EXPECT_EQ(form->SerialPort, nullptr);
}

TEST_F(ConnectE2ETest, MeterThatStopsAnsweringOverTcpIsLetGo)
{
    auto meter = std::make_unique<MeterSim>(std::vector<std::string>{"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(meter->Ready());
    StartWindow();
    UseTcp(meter->Port());
    {
        User user;
        ConnectUntil(user, QStringLiteral("The device is connected."));
        ExpectConnected(user);
    }
    meter.reset();

    // What the measuring start sets; the meter is gone by then.
    User user;
    form->SetJob(jcModbusMeasurement);
    ASSERT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("No answer from the device.")); }, 30s))
        << user.All();
    EXPECT_EQ(user.reports.back().id, QStringLiteral("86"));
    ASSERT_TRUE(PumpUntil([&] { return !ProgrWinForm->isVisible(); }));
    ExpectDisconnected();
    EXPECT_FALSE(form->TcpClient->Active());
}

TEST_F(ConnectE2ETest, MeterThatStopsAnsweringOverRtuClosesThePort)
{
    SerialLine line(kComNumber);
    ASSERT_TRUE(line.Ready());
    auto meter = std::make_unique<MeterSim>(std::vector<std::string>{"--rtu", line.MeterEnd(), "--baud", "19200"});
    ASSERT_TRUE(meter->Ready());
    StartWindow();
    UseRtu(QStringLiteral("1"));
    {
        User user;
        ConnectUntil(user, QStringLiteral("The device is connected."));
        ExpectConnected(user);
    }
    meter.reset();

    User user;
    form->SetJob(jcModbusMeasurement);
    ASSERT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("No answer from the device.")); }, 30s))
        << user.All();
    ASSERT_TRUE(PumpUntil([&] { return !ProgrWinForm->isVisible(); }));
    ExpectDisconnected();
    EXPECT_EQ(form->SerialPort, nullptr);
}

TEST_F(ConnectE2ETest, IdentificationWithoutAnswersEndsDisconnected)
{
    MeterSim meter({"--tcp", "127.0.0.1:0", "--no-answer-every", "1"});
    ASSERT_TRUE(meter.Ready());
    StartWindow();
    UseTcp(meter.Port());

    // The failed identification has let the port go: what stays on screen is
    // the scan's end report that no device is available.
    User user;
    ConnectUntil(user, QStringLiteral("The device is not available."));
    EXPECT_EQ(user.reports.back().id, QStringLiteral("2")) << user.All();
    EXPECT_FALSE(user.Saw(QStringLiteral("The device is connected.")));
    ExpectDisconnected();
}

TEST_F(ConnectE2ETest, RefusedConnectionThenTheNextClickConnects)
{
    const int port = FreeLoopbackPort();
    ASSERT_GT(port, 0);
    StartWindow();
    UseTcp(port);
    {
        User user;
        ConnectUntil(user, QStringLiteral("The device is not available."));
        ASSERT_FALSE(user.reports.empty());
        EXPECT_EQ(user.reports.back().id, QStringLiteral("18")) << user.All();
        EXPECT_EQ(user.reports.back().text, QStringLiteral("The device is not available."));
        EXPECT_TRUE(user.boxes.empty());
        EXPECT_EQ(ConnectButton()->text(), QStringLiteral("Connect Device"));
        // The failed attempt leaves the socket active.
        EXPECT_TRUE(form->TcpClient->Active());
    }

    // The button says "Connect Device": one click lets the old socket go and connects.
    MeterSim meter({"--tcp", "127.0.0.1:" + std::to_string(port)});
    ASSERT_TRUE(meter.Ready());
    User user;
    ConnectUntil(user, QStringLiteral("The device is connected."));
    ExpectConnected(user);
}

// "Cancel" on "Connecting..." at every moment of a connect: before the
// identification began (the socket just connected), while it runs, at its last
// answers, and once its result waits for the handler; and "Disconnect" at that
// last moment, the window's time bar having run out first. The window settles
// at the click itself, before any event, and stays so once the result has
// come: a connect that was ended is disconnected with the socket closed, one
// that was not is connected over a live socket, never "connected" over a
// closed one. A click then connects (or disconnects), with no failure
// reported. Each meter speed is one row; the moments are taken from the time
// the window offers "Cancel", and the last two from the job having posted its
// result.
class ConnectCancelE2ETest : public ConnectE2ETest, public ::testing::WithParamInterface<int> {};

TEST_P(ConnectCancelE2ETest, CancelAtAnyMomentSettlesInOneTrueStateAndTheNextClickWorks)
{
    const int delayMs = GetParam();
    MeterSim meter({"--tcp", "127.0.0.1:0", "--delay-ms", std::to_string(delayMs)});
    ASSERT_TRUE(meter.Ready());
    StartWindow();
    UseTcp(meter.Port());
    // The identification starts with the connect timer's tick and exchanges
    // nine requests; its result then waits the result delay.
    const auto identification = 500ms + 9 * std::chrono::milliseconds(delayMs + 5);
    struct Moment {
        std::optional<std::chrono::milliseconds> after;  // none: once the job has posted its result
        bool disconnect = false;
    };
    std::vector<Moment> moments{{0ms}, {300ms}};
    for (int k = 1; k <= 4; ++k) moments.push_back({500ms + (identification - 500ms) * k / 4});
    moments.push_back({std::nullopt});
    moments.push_back({std::nullopt, true});

    const auto expectOneTrueState = [&](const User& user) {
        const bool connected = ConnectButton()->text() == QStringLiteral("Disconnect");
        if (connected) {
            ExpectConnected(user);
            EXPECT_EQ(form->ClientSocket->state(), QAbstractSocket::ConnectedState);
        } else {
            ExpectDisconnected();
            EXPECT_TRUE(form->GroupBox_Setup_TCPIP->isEnabled());
            EXPECT_FALSE(form->TcpClient->Active());
            EXPECT_EQ(form->ClientSocket->state(), QAbstractSocket::UnconnectedState);
            EXPECT_FALSE(form->TimerIP_Connect->isActive());
            EXPECT_FALSE(user.Saw(QStringLiteral("The device is connected."))) << user.All();
        }
        for (const User::Seen& seen : user.reports) EXPECT_NE(seen.title, QStringLiteral("Error")) << user.All();
        return connected;
    };

    for (const Moment& moment : moments) {
        SCOPED_TRACE(std::string(moment.disconnect ? "disconnect" : "cancel") +
                     (moment.after ? " after " + std::to_string(moment.after->count()) + " ms" : " at the result"));
        bool connected = false;
        {
            User user;
            std::optional<std::chrono::steady_clock::time_point> offered;
            bool ended = false;
            QTimer cancel;
            QObject::connect(&cancel, &QTimer::timeout, [&] {
                QPushButton* button = ProgrWinForm->Button_ProgrWin_Terminate;
                if (ended || !ProgrWinForm->isVisible() || button->text() != QStringLiteral("Cancel")) return;
                const auto now = std::chrono::steady_clock::now();
                if (!offered) offered = now;
                if (moment.after ? now - *offered < *moment.after : form->GetUiRequest() != urConnected) return;
                ended = true;
                if (!moment.disconnect) {
                    button->click();
                    return;
                }
                // The time bar runs out; the socket is up, so the button offers to disconnect.
                ProgrWinForm->done(QDialog::Rejected);
                EXPECT_EQ(ConnectButton()->text(), QStringLiteral("Disconnect"));
                ConnectButton()->click();
            });
            cancel.start(1);
            ClickConnect();
            cancel.stop();
            EXPECT_TRUE(offered.has_value());
            EXPECT_FALSE(ProgrWinForm->isVisible());
            // At once: no event is let through before these checks.
            connected = expectOneTrueState(user);
            // A connect that was ended stays ended. Only a middle moment may come
            // after the device was shown (no "Cancel" left to press): the
            // identification was quicker than reckoned. The others always end it.
            EXPECT_EQ(connected, !ended);
            if (!moment.after || *moment.after < 500ms) {
                EXPECT_TRUE(ended);
            }
            // And once whatever the identification left has been handled.
            ASSERT_TRUE(PumpUntil([&] { return form->GetJob() == 0 && form->ComThread->Parked(); }, 10s));
            PumpUntil([] { return false; }, 300ms);
            EXPECT_EQ(expectOneTrueState(user), connected);
        }
        if (!connected) {
            // A cancel that came after the identification's last look stays
            // behind; it is no part of the next connect.
            form->ConnectCancelled = 1;
            User user;
            ConnectUntil(user, QStringLiteral("The device is connected."));
            EXPECT_TRUE(expectOneTrueState(user));
        }
        ASSERT_EQ(ConnectButton()->text(), QStringLiteral("Disconnect"));
        User user;
        ClickConnect();
        ExpectDisconnected();
    }
}

INSTANTIATE_TEST_SUITE_P(MeterSpeeds, ConnectCancelE2ETest, ::testing::Values(0, 150),
                         [](const ::testing::TestParamInfo<int>& row) {
                             return row.param ? std::string("SlowMeter") : std::string("QuickMeter");
                         });

// A job left running when the user connects over Modbus TCP (here a read that
// waits on the socket not yet connected) is cancelled first; it neither
// completes on the new connection nor reports a failure on it.
TEST_F(ConnectE2ETest, ModbusTcpConnectCancelsALeftoverJob)
{
    MeterSim meter({"--tcp", "127.0.0.1:0", "--delay-ms", "50"});
    ASSERT_TRUE(meter.Ready());
    StartWindow();
    UseTcp(meter.Port());
    std::mutex m;
    std::vector<std::pair<uint8_t, uint8_t>> ended;  // job, result posted
    const auto runner = form->ModbusJobStep;
    form->ModbusJobStep = [&, runner] {
        const uint8_t job = form->GetJob();
        runner();
        std::lock_guard lock(m);
        ended.emplace_back(job, form->GetUiRequest());
    };

    User user;
    form->SetJob(jcModbusMeasurement);
    ASSERT_TRUE(PumpUntil([&] { return form->ReadStepBusy.load() != 0; }));
    ConnectUntil(user, QStringLiteral("The device is connected."));
    ExpectConnected(user);
    EXPECT_FALSE(user.Saw(QStringLiteral("No answer from the device."))) << user.All();
    std::lock_guard lock(m);
    ASSERT_GE(ended.size(), 2u);
    EXPECT_EQ(ended.front(), std::make_pair(uint8_t{jcModbusMeasurement}, uint8_t{urJobCancelled}));
    EXPECT_EQ(ended.back(), std::make_pair(uint8_t{jcModbusIdentify}, uint8_t{urConnected}));
}

TEST_F(ConnectE2ETest, InvalidInputStartsNothing)
{
    SerialLine line(kComNumber);
    ASSERT_TRUE(line.Ready());
    MeterSim meter({"--rtu", line.MeterEnd(), "--baud", "19200"});
    ASSERT_TRUE(meter.Ready());
    StartWindow();
    UseRtu(QStringLiteral("0"));
    {
        User user;
        ClickConnect();
        ASSERT_EQ(user.boxes.size(), 1u);
        EXPECT_EQ(user.boxes[0], QStringLiteral("Address range is 1-247"));
        EXPECT_TRUE(user.reports.empty());
        EXPECT_EQ(form->GetJob(), 0);
        EXPECT_EQ(ConnectButton()->text(), QStringLiteral("Connect Device"));
    }
    // The port stays open for the corrected address.
    EXPECT_EQ(form->PortOpen.load(), 1);

    form->RadioButton_Modbus_TCPIP->setChecked(true);
    form->MaskEdit_IPAddress->setText(QStringLiteral("999.000.000.001"));
    User user;
    ClickConnect();
    ASSERT_EQ(user.reports.size(), 1u);
    EXPECT_EQ(user.reports[0].id, QStringLiteral("17"));
    EXPECT_EQ(user.reports[0].text, QStringLiteral("Invalid IP Address or Port."));
    EXPECT_FALSE(form->TcpClient->Active());
    EXPECT_EQ(form->GetJob(), 0);
}

// The user disconnects while a measuring job is in the middle of an exchange:
// the job is cancelled and the port or socket goes only after the job has let
// go of it. A deliberate disconnect reports no failure and does not repeat.
class DisconnectE2ETest : public ConnectE2ETest, public ::testing::WithParamInterface<char> {};

TEST_P(DisconnectE2ETest, WhileAJobExchangesTheJobIsCancelledFirst)
{
    const bool tcp = GetParam() == tcModbusTcp;
    std::unique_ptr<SerialLine> line;
    std::unique_ptr<MeterSim> meter;
    if (tcp) {
        meter = std::make_unique<MeterSim>(std::vector<std::string>{"--tcp", "127.0.0.1:0", "--delay-ms", "150"});
    } else {
        line = std::make_unique<SerialLine>(kComNumber);
        ASSERT_TRUE(line->Ready());
        meter = std::make_unique<MeterSim>(
            std::vector<std::string>{"--rtu", line->MeterEnd(), "--baud", "19200", "--delay-ms", "150"});
    }
    ASSERT_TRUE(meter->Ready());
    StartWindow();
    if (tcp)
        UseTcp(meter->Port());
    else
        UseRtu(QStringLiteral("1"));
    {
        User user;
        ConnectUntil(user, QStringLiteral("The device is connected."));
        ExpectConnected(user);
    }

    User user;
    form->SetJob(jcModbusMeasurement);
    ASSERT_TRUE(PumpUntil([&] { return form->ReadStepBusy.load() != 0; }));
    ClickConnect();
    ExpectDisconnected();
    EXPECT_EQ(form->SerialPort, nullptr);
    EXPECT_FALSE(form->TcpClient->Active());
    EXPECT_EQ(form->GetJob(), 0);
    // The cancelled job reports nothing of its own.
    ASSERT_TRUE(PumpUntil([&] { return form->ComThread->Suspended(); }, 10s));
    PumpUntil([] { return false; }, 800ms);
    EXPECT_TRUE(user.reports.empty()) << user.All();
    ExpectDisconnected();
}

INSTANTIATE_TEST_SUITE_P(Transports, DisconnectE2ETest, ::testing::Values(tcModbusRtu, tcModbusTcp),
                         [](const ::testing::TestParamInfo<char>& p) {
                             return std::string(p.param == tcModbusTcp ? "ModbusTcp" : "ModbusRtu");
                         });

}  // namespace
