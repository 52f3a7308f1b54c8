// The main window connecting over Modbus TCP to peers that misbehave on purpose:
// a gateway with no meter behind it that answers every request with an
// exception, and a peer that floods the connection while the communication
// monitor is on. Neither is a device: both end as a failed identification.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <chrono>

#include "../support/TickGapWatch.h"
#include "../support/ScriptedTcpPeer.h"
#include "WindowTest.h"
#include "WindowUser.h"

namespace {

using namespace std::chrono_literals;
using rig::PumpUntil;
using rig::User;
using testsupport::ScriptedTcpPeer;

// The failed identification's report, restyled at once to the port's end
// report when the connect has let the socket go.
bool SawFailure(const User& user)
{
    return user.Saw(QStringLiteral("No answer from the device.")) ||
           user.Saw(QStringLiteral("The device is not available."));
}

class MisbehavingTcpMeterE2ETest : public rig::WindowTest {
protected:
    // Clicks "Connect Device" towards the peer and waits for the failed
    // identification to be reported and the job to end.
    void ConnectAndFail(int port, User& user)
    {
        form->RadioButton_Modbus_TCPIP->setChecked(true);
        form->Edit_Setup_TCPIP_Port->setText(QString::number(port));
        form->Button_Setup_Device_Connect->click();
        ASSERT_TRUE(PumpUntil([&] { return SawFailure(user) && !ProgrWinForm->isVisible() && form->GetJob() == 0; },
                              30s))
            << user.All();
        EXPECT_FALSE(user.Saw(QStringLiteral("The device is connected."))) << user.All();
        EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Connect Device"));
    }
};

TEST_F(MisbehavingTcpMeterE2ETest, AGatewayThatAnswersOnlyExceptionsIsNoDevice)
{
    ScriptedTcpPeer gateway(ScriptedTcpPeer::Answer(&ScriptedTcpPeer::ExceptionTo));
    ASSERT_GT(gateway.Port(), 0);
    StartWindow();
    User user;
    ConnectAndFail(gateway.Port(), user);
    // The identification's first request and its one retry.
    EXPECT_EQ(gateway.Requests(), 2);
}

TEST_F(MisbehavingTcpMeterE2ETest, AFloodWithTheMonitorOnLeavesTheWindowResponsive)
{
    // Never a whole answer: the header announces more than any answer holds.
    ScriptedTcpPeer flood(ScriptedTcpPeer::Bytes(4096, 0x55));
    ASSERT_GT(flood.Port(), 0);
    StartWindow();
    form->CheckBoxAdministrator->setChecked(true);

    testsupport::TickGapWatch ticks;
    User user;
    ConnectAndFail(flood.Port(), user);
    ticks.Stop();

    // Far more arrived than the monitor shows, and the monitor says so.
    EXPECT_GT(flood.BytesSent(), 1'000'000);
    const QString memo = form->Memo_Com_Win->toPlainText();
    EXPECT_LT(memo.size(), 100'000);
    EXPECT_TRUE(memo.contains(QStringLiteral(" received bytes not shown."))) << memo.right(400).toStdString();
    EXPECT_LT(ticks.Longest(), std::chrono::steady_clock::duration(500ms));
}

}  // namespace
