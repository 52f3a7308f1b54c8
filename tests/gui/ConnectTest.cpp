// Connect and disconnect without a meter: the address, IP and port rules, the
// key filters of the address edits, the M-Bus select frames as they reach the
// line (a socat pseudo-terminal pair), the connect click up to the moment the
// identification starts, the result actions and the device information display.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

#include "FormTest.h"
#include "../support/TestPeers.h"
#include "WorkerTestSupport.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Shape.h"
#include "app/StringGrid.h"
#include "comm/Connect.h"
#include "platform/ComPort.h"

using testsupport::PtyPair;
using testsupport::ScopedConfigHome;

namespace {

// ---------------------------------------------------------------- rules

TEST(ConnectRules, AddressTexts)
{
    struct Case {
        const char* text;
        int low, high;
        std::optional<int> address;
    };
    const Case cases[] = {
        {"250", 0, 250, 250}, {"0", 0, 250, 0},          {" 17 ", 0, 250, 17},   {"251", 0, 250, {}},
        {"", 0, 250, {}},     {"   ", 0, 250, {}},       {"1000", 0, 250, {}},   {"0250", 0, 250, {}},
        {"0", 1, 247, {}},    {"247", 1, 247, 247},      {"248", 1, 247, {}},    {"1", 1, 247, 1},
        {"1.", 1, 247, {}},   {"-1", 0, 250, {}},        {"1 2", 0, 250, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseConnectAddress(QString::fromLatin1(c.text), c.low, c.high), c.address) << '"' << c.text << '"';
}

TEST(ConnectRules, AddressRangeMessages)
{
    EXPECT_EQ(AddressRangeMessage(0, 0, 250), QStringLiteral("Address range is 0-250"));
    EXPECT_EQ(AddressRangeMessage(0, 1, 247), QStringLiteral("Address range is 1-247"));
    EXPECT_EQ(AddressRangeMessage(1, 1, 247), QStringLiteral("Adressbereich 1-247"));
}

TEST(ConnectRules, ProgressItemCountsByBaudIndex)
{
    const int mbus[] = {5, 5, 5, 20, 32, 50};
    const int rtu[] = {5, 5, 5, 10, 10, 30, 50, 67, 70, 70};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(MbusConnectItemCount(i), mbus[i]) << i;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(ModbusConnectItemCount(i), rtu[i]) << i;
    EXPECT_EQ(MbusConnectItemCount(6), 0);
    EXPECT_EQ(ModbusConnectItemCount(-1), 0);
}

TEST(ConnectRules, IpTextIsPaddedGroupByGroup)
{
    const std::pair<const char*, const char*> cases[] = {
        {"127.016.  7.  5", "127.016.007.005"}, {"127.000.001.100", "127.000.001.100"},
        {"  1. 22.   .255", "001.022.000.255"}, {"127.000.000.001", "127.000.000.001"},
        {"", "000.000.000.000"},
    };
    for (const auto& [shown, normalised] : cases)
        EXPECT_EQ(NormaliseIpText(QString::fromLatin1(shown)), QString::fromLatin1(normalised)) << shown;
}

TEST(ConnectRules, HostAddressDropsLeadingZeros)
{
    const std::pair<const char*, std::optional<QString>> cases[] = {
        {"127.000.001.100", QStringLiteral("127.0.1.100")},
        {"127.016.007.005", QStringLiteral("127.16.7.5")},
        {"127,000,000,001", QStringLiteral("127.0.0.1")},
        {"127.0 00.000.001", QStringLiteral("127.0.0.1")},
        {".127.000.000", std::nullopt},
        {"127..000.001", std::nullopt},
        {"127.000.000.", std::nullopt},
        {"127.000.001", std::nullopt},
        {"256.000.000.001", std::nullopt},
        {"999.999.999.999", std::nullopt},
        {"127.000.000.0a1", std::nullopt},
    };
    for (const auto& [text, host] : cases) EXPECT_EQ(HostFromIpText(QString::fromLatin1(text)), host) << text;
}

TEST(ConnectRules, TcpPortTexts)
{
    struct Case {
        const char* text;
        bool valid;
        int port;
        bool replaced;
    };
    const Case cases[] = {
        {"502", true, 502, false},    {" 15020 ", true, 15020, false}, {"65535", true, 65535, false},
        {"65536", true, 502, true},   {"99999", true, 502, true},      {"123456", true, 502, true},
        {"0", true, 0, false},        {"", false, 0, false},           {"5.5", false, 0, false},
    };
    for (const Case& c : cases) {
        const auto port = ParseTcpPort(QString::fromLatin1(c.text));
        ASSERT_EQ(port.has_value(), c.valid) << c.text;
        if (!port) continue;
        EXPECT_EQ(port->port, c.port) << c.text;
        EXPECT_EQ(port->replaced, c.replaced) << c.text;
    }
}

TEST(ConnectRules, SecondaryAddressBlanksBecomeZeros)
{
    EXPECT_EQ(SecondaryAddressFromEdit(QStringLiteral("1234  78")), "12340078");
    EXPECT_EQ(SecondaryAddressFromEdit(QStringLiteral("FFFF1234")), "FFFF1234");
    EXPECT_EQ(SecondaryAddressFromEdit(QStringLiteral("12")), "12000000");
}

std::vector<uint8_t> Frame(uint8_t kind, char mode, uint8_t address, std::string_view secondary = "00000000",
                           uint8_t version = 0)
{
    uint8_t tx[200]{};
    const int n = BuildMbusSelectFrame(tx, kind, mode, address, secondary, version);
    return {tx, tx + n};
}

TEST(ConnectRules, MbusSelectFrames)
{
    EXPECT_EQ(Frame(0, amPrimary, 5), (std::vector<uint8_t>{0x10, 0x40, 0x05, 0x45, 0x16}));
    EXPECT_EQ(Frame(0, amPrimary, 250), (std::vector<uint8_t>{0x10, 0x40, 0xFA, 0x3A, 0x16}));
    EXPECT_EQ(Frame(0, amSecondary, 5), (std::vector<uint8_t>{0x10, 0x40, 0xFD, 0x3D, 0x16}));

    const std::vector<uint8_t> primary = Frame(1, amPrimary, 0x07);
    const std::vector<uint8_t> primaryExpected{0x68, 0x13, 0x13, 0x68, 0x73, 0x07, 0x51, 0x0D, 0xFD,
                                               0x0B, 0x0C, 0x81, 0xF1, 0x00, 0x00, 0x00, 0x00, 0x00,
                                               0x00, 0x00, 0x02, 0x00, 0x00, 0x60, 0x16};
    EXPECT_EQ(primary, primaryExpected);

    const std::vector<uint8_t> secondary = Frame(1, amSecondary, 0x07, "12345F78", 0x21);
    const std::vector<uint8_t> secondaryExpected{
        0x68, 0x1B, 0x1B, 0x68, 0x73, 0xFD, 0x51, 0x78, 0x5F, 0x34, 0x12, 0xCB, 0x52, 0x21, 0x02, 0x0D, 0xFD,
        0x0B, 0x0C, 0x81, 0xF1, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0xB3, 0x16};
    EXPECT_EQ(secondary, secondaryExpected);

    uint8_t small[24]{};
    EXPECT_EQ(BuildMbusSelectFrame(small, 1, amPrimary, 1, "", 0), 0);
}

TEST(ConnectRules, KeyFilters)
{
    const QChar none;
    const std::pair<char, QChar> secondary[] = {{'0', '0'}, {'9', '9'}, {'F', 'F'}, {'f', 'F'}, {'a', none},
                                                {'E', none}, {' ', none}, {'.', none}, {'\b', none}};
    for (const auto& [in, out] : secondary)
        EXPECT_EQ(MaskEdit_Setup_PrimaryAddressKeyPress(QLatin1Char(in)), out) << int(in);
    const std::pair<char, QChar> numeric[] = {{'0', '0'}, {'7', '7'}, {'.', '.'}, {'\b', '\b'},
                                              {'-', none}, {',', none}, {'a', none}, {' ', none}};
    for (const auto& [in, out] : numeric) EXPECT_EQ(Edit_Set_DemandPeriod1KeyPress(QLatin1Char(in)), out) << int(in);
}

// ---------------------------------------------------------------- window

// Watches for modal windows while a handler runs its own modal loop: message
// boxes are read and closed; the progress window is read on every change and
// closed once close() says so.
class ModalWatcher {
public:
    struct Seen {
        QString kind;  // "box" or "progress"
        QString id;    // progress window id
        QString title;
        QString text;
        QString button;
    };

    explicit ModalWatcher(std::function<bool(const Seen&)> closeProgress = [](const Seen&) { return true; })
        : closeProgress_(std::move(closeProgress))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(20);
    }

    std::vector<Seen> seen;

    std::vector<Seen> Boxes() const { return Filter(QStringLiteral("box")); }
    std::vector<Seen> Reports() const { return Filter(QStringLiteral("progress")); }

private:
    std::vector<Seen> Filter(const QString& kind) const
    {
        std::vector<Seen> out;
        for (const Seen& s : seen)
            if (s.kind == kind) out.push_back(s);
        return out;
    }

    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.push_back({QStringLiteral("box"), {}, box->windowTitle(), box->text(), {}});
            box->done(QMessageBox::Ok);
            return;
        }
        if (ProgrWinForm && ProgrWinForm->isVisible()) {
            const Seen s{QStringLiteral("progress"), ProgrWinForm->LabelIndex->text(), ProgrWinForm->windowTitle(),
                         ProgrWinForm->Label_ProgrBar1->text(),
                         ProgrWinForm->Button_ProgrWin_Terminate->isHidden()
                             ? QString()
                             : ProgrWinForm->Button_ProgrWin_Terminate->text()};
            if (seen.empty() || seen.back().kind != s.kind || seen.back().id != s.id || seen.back().text != s.text)
                seen.push_back(s);
            if (closeProgress_(s)) ProgrWinForm->done(0);
        }
    }

    std::function<bool(const Seen&)> closeProgress_;
    QTimer timer_;
};

class ConnectWindowTest : public FormTest {
protected:
    void SetUp() override
    {
        MakeForm(true);
        form->Language = 0;
        // A worker whose runners only note the jobs they were given.
        form->MBusJobStep = [this] { Ran(); };
        form->ModbusJobStep = [this] { Ran(); };
        form->CreateComThread(form->TransportCode, std::chrono::milliseconds(10));
    }

    void Ran()
    {
        std::lock_guard lock(m);
        jobs.push_back(form->GetJob());
        form->SetJob(0);
    }
    std::vector<uint8_t> JobsRun()
    {
        std::lock_guard lock(m);
        return jobs;
    }

    // M-Bus or Modbus RTU on COM7, which is the tool end of a pty pair.
    void ChooseSerial(int mode, QComboBox* ports)
    {
        form->SetProtocolMode(mode);
        ports->clear();
        ports->addItem(QStringLiteral("COM7"));
        ports->setCurrentIndex(0);
        form->ComboBox_Setup_DeviceBaudrate->setCurrentIndex(5);
        form->MbusBaudIndex = 5;
        form->ModbusBaudIndex = 5;
    }

    void Click() { form->Button_Setup_Device_ConnectClick(); }

    std::mutex m;
    std::vector<uint8_t> jobs;
    ScopedConfigHome config;
};

TEST_F(ConnectWindowTest, MbusPrimaryAddressValidation)
{
    PtyPair pty(config.PortLink(7), config.Root() + "/meter");
    ASSERT_TRUE(pty.Ready());
    ChooseSerial(50, form->ComboBox_Setup_Port_MBus);
    form->RadioButtonSecondaryAddress->setChecked(true);
    form->RadioButtonPrimaryAddress->setChecked(true);
    ASSERT_EQ(form->AddressingMode.load(), amPrimary);
    EXPECT_FALSE(form->MaskEdit_Setup_Primary_Address->isHidden());

    for (const char* bad : {"251", "", "1000"}) {
        ModalWatcher watch;
        form->MaskEdit_Setup_Primary_Address->setText(QString::fromLatin1(bad));
        Click();
        ASSERT_EQ(watch.Boxes().size(), 1u) << bad;
        EXPECT_EQ(watch.Boxes()[0].text, QStringLiteral("Address range is 0-250")) << bad;
        EXPECT_EQ(watch.Boxes()[0].title, QStringLiteral("Error"));
        EXPECT_TRUE(watch.Reports().empty()) << bad;
        // The port stays open for the corrected address.
        EXPECT_EQ(form->PortOpen.load(), 1) << bad;
    }
    PumpFor(100ms);
    EXPECT_TRUE(JobsRun().empty());

    ModalWatcher watch;
    form->MaskEdit_Setup_Primary_Address->setText(QStringLiteral("250"));
    Click();
    EXPECT_TRUE(watch.Boxes().empty());
    ASSERT_FALSE(watch.Reports().empty());
    EXPECT_EQ(watch.Reports()[0].id, QStringLiteral("11"));
    EXPECT_EQ(watch.Reports()[0].title, QStringLiteral("Connecting..."));
    EXPECT_EQ(watch.Reports()[0].text, QStringLiteral("Wait..."));
    EXPECT_EQ(form->DeviceAddress.load(), 250);
    ASSERT_TRUE(PumpUntil([&] { return !JobsRun().empty(); }));
    EXPECT_EQ(JobsRun().front(), jcMBusIdentify);
    EXPECT_EQ(form->FirstExchange.load(), 1);
    EXPECT_EQ(form->ReconnectPending.load(), 1);
    EXPECT_EQ(form->SelectFrameKind.load(), 0);
}

TEST_F(ConnectWindowTest, MbusSecondaryAddressTakesZerosForBlanks)
{
    PtyPair pty(config.PortLink(7), config.Root() + "/meter");
    ASSERT_TRUE(pty.Ready());
    ChooseSerial(50, form->ComboBox_Setup_Port_MBus);
    form->RadioButtonSecondaryAddress->setChecked(true);
    EXPECT_EQ(form->AddressingMode.load(), amSecondary);
    EXPECT_FALSE(form->MaskEdit_Setup_Sec_Address->isHidden());
    EXPECT_TRUE(form->MaskEdit_Setup_Primary_Address->isHidden());
    form->MaskEdit_Setup_Sec_Address->setText(QStringLiteral("1234  78"));

    ModalWatcher watch;
    Click();
    EXPECT_EQ(form->SecondaryAddress, "12340078");
    ASSERT_FALSE(watch.Reports().empty());
    EXPECT_EQ(watch.Reports()[0].id, QStringLiteral("12"));
    ASSERT_TRUE(PumpUntil([&] { return !JobsRun().empty(); }));
    EXPECT_EQ(JobsRun().front(), jcMBusIdentify);

    form->RadioButtonPrimaryAddress->setChecked(true);
    EXPECT_EQ(form->AddressingMode.load(), amPrimary);
    EXPECT_TRUE(form->MaskEdit_Setup_Sec_Address->isHidden());
}

TEST_F(ConnectWindowTest, ModbusRtuAddressValidation)
{
    PtyPair pty(config.PortLink(7), config.Root() + "/meter");
    ASSERT_TRUE(pty.Ready());
    ChooseSerial(51, form->ComboBox_Setup_Port_ModBus);
    {
        ModalWatcher watch;
        form->MaskEdit_Setup_ModBus_Address->setText(QStringLiteral("0"));
        Click();
        ASSERT_EQ(watch.Boxes().size(), 1u);
        EXPECT_EQ(watch.Boxes()[0].text, QStringLiteral("Address range is 1-247"));
        EXPECT_TRUE(watch.Reports().empty());
    }
    EXPECT_EQ(form->ModbusPortIndex.load(), 6);
    ModalWatcher watch;
    form->MaskEdit_Setup_ModBus_Address->setText(QStringLiteral("247"));
    Click();
    EXPECT_TRUE(watch.Boxes().empty());
    ASSERT_FALSE(watch.Reports().empty());
    EXPECT_EQ(watch.Reports()[0].id, QStringLiteral("13"));
    ASSERT_TRUE(PumpUntil([&] { return !JobsRun().empty(); }));
    EXPECT_EQ(JobsRun().front(), jcModbusIdentify);
    EXPECT_EQ(form->DeviceAddress.load(), 247);
}

TEST_F(ConnectWindowTest, PortThatDoesNotOpenIsReported)
{
    // COM7 points nowhere.
    std::filesystem::create_symlink(config.Root() + "/gone", config.PortLink(7));
    ChooseSerial(51, form->ComboBox_Setup_Port_ModBus);
    form->MaskEdit_Setup_ModBus_Address->setText(QStringLiteral("1"));
    ModalWatcher watch;
    Click();
    ASSERT_EQ(watch.Reports().size(), 1u);
    EXPECT_EQ(watch.Reports()[0].id, QStringLiteral("14"));
    EXPECT_EQ(watch.Reports()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(watch.Reports()[0].text, QStringLiteral("The device is not available."));
    EXPECT_EQ(watch.Reports()[0].button, QStringLiteral("Ok"));
    EXPECT_EQ(form->PortOpen.load(), 0);
    EXPECT_EQ(form->PortOpenError.load(), 1);
    EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Connect Device"));
    PumpFor(50ms);
    EXPECT_TRUE(JobsRun().empty());
}

TEST_F(ConnectWindowTest, IpEditIsNormalisedInPlace)
{
    // Only the texts are checked: nothing is connected to.
    QLineEdit& ip = *form->MaskEdit_IPAddress;
    ip.setText(QStringLiteral("127.016.  7.  5"));
    EXPECT_EQ(NormaliseIpEdit(ip), QStringLiteral("127.016.007.005"));
    EXPECT_EQ(ip.displayText(), QStringLiteral("127.016.007.005"));
    EXPECT_EQ(HostFromIpText(ip.displayText()), QStringLiteral("127.16.7.5"));
    ip.setText(QStringLiteral("127.000.001.100"));
    EXPECT_EQ(HostFromIpText(NormaliseIpEdit(ip)), QStringLiteral("127.0.1.100"));
}

TEST_F(ConnectWindowTest, PortAbove65535BecomesTheModbusPort)
{
    form->SetProtocolMode(52);
    ASSERT_EQ(form->TransportCode.load(), tcModbusTcp);
    form->Edit_Setup_TCPIP_Port->setText(QStringLiteral("70000"));
    // Nothing listens there; the connect is cut short once the port was read.
    QString portWhenAsked;
    ModalWatcher watch([&](const ModalWatcher::Seen&) {
        if (form->TcpClient) form->TcpClient->Deactivate();
        return true;
    });
    QTimer peek;
    QObject::connect(&peek, &QTimer::timeout, [&] {
        if (qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            portWhenAsked = form->Edit_Setup_TCPIP_Port->text();
    });
    peek.start(5);
    Click();
    ASSERT_EQ(watch.Boxes().size(), 1u);
    EXPECT_EQ(watch.Boxes()[0].text, QStringLiteral("Port value must be in range 1-65535 only."));
    EXPECT_EQ(portWhenAsked, QStringLiteral("502"));
    EXPECT_EQ(form->Edit_Setup_TCPIP_Port->text(), QStringLiteral("502"));
    ASSERT_FALSE(watch.Reports().empty());
    EXPECT_EQ(watch.Reports()[0].id, QStringLiteral("16"));
    EXPECT_EQ(watch.Reports()[0].button, QStringLiteral("Cancel"));
    if (form->TimerIP_Connect) form->TimerIP_Connect->stop();
}

TEST_F(ConnectWindowTest, InvalidIpStartsNothing)
{
    form->SetProtocolMode(52);
    form->Edit_Setup_TCPIP_Port->setText(QString());
    ModalWatcher watch;
    Click();
    ASSERT_EQ(watch.Reports().size(), 1u);
    EXPECT_EQ(watch.Reports()[0].id, QStringLiteral("17"));
    EXPECT_EQ(watch.Reports()[0].text, QStringLiteral("Invalid IP Address or Port."));
    EXPECT_FALSE(form->TcpClient->Active());
    EXPECT_FALSE(form->TimerIP_Connect->isActive());
}

TEST_F(ConnectWindowTest, KeyFiltersOnTheEdits)
{
    QLineEdit* sec = form->MaskEdit_Setup_Sec_Address;
    sec->setVisible(true);
    sec->setText(QString());
    sec->setCursorPosition(0);
    QTest::keyClicks(sec, QStringLiteral("12ab f9"));
    EXPECT_EQ(sec->displayText().trimmed(), QStringLiteral("12F9"));
    QTest::keyClick(sec, Qt::Key_Backspace);
    EXPECT_EQ(sec->displayText().trimmed(), QStringLiteral("12F9"));

    for (QLineEdit* e : {form->MaskEdit_Setup_Primary_Address, form->MaskEdit_Setup_ModBus_Address,
                         form->Edit_Setup_TCPIP_Port, form->MaskEdit_Set_Address, form->MaskEdit_VT,
                         form->MaskEdit_CT}) {
        e->setEnabled(true);
        e->setText(QString());
        QTest::keyClicks(e, QStringLiteral("1a2.3-,x "));
        EXPECT_EQ(e->text(), QStringLiteral("12.3")) << e->objectName().toStdString();
        QTest::keyClick(e, Qt::Key_Backspace);
        EXPECT_EQ(e->text(), QStringLiteral("12.")) << e->objectName().toStdString();
    }
}

TEST_F(ConnectWindowTest, BaudRateChangeLetsThePortGo)
{
    PtyPair pty(config.PortLink(7), config.Root() + "/meter");
    ASSERT_TRUE(pty.Ready());
    ChooseSerial(51, form->ComboBox_Setup_Port_ModBus);
    form->PortIndex = 6;
    ASSERT_TRUE(OpenComPort(form->SerialPort, *form, 5));
    form->ComboBox_Setup_DeviceBaudrate->setCurrentIndex(7);
    form->ComboBox_Setup_DeviceBaudrateChange();
    EXPECT_EQ(form->PortOpen.load(), 0);
    EXPECT_EQ(form->SerialPort, nullptr);
    EXPECT_EQ(form->ModbusBaudIndex.load(), 7);

    form->SetProtocolMode(52);
    const int rtu = form->ModbusBaudIndex;
    form->ComboBox_Setup_DeviceBaudrateChange();
    EXPECT_EQ(form->ModbusBaudIndex.load(), rtu);
}

// The M-Bus goodbye frames as they reach the line; the far end acknowledges.
class MbusDisconnectTest : public ConnectWindowTest {
protected:
    void SetUp() override
    {
        ConnectWindowTest::SetUp();
        pty = std::make_unique<PtyPair>(config.PortLink(7), config.Root() + "/meter");
        ASSERT_TRUE(pty->Ready());
        ChooseSerial(50, form->ComboBox_Setup_Port_MBus);
        form->PortIndex = 6;
        ASSERT_TRUE(OpenComPort(form->SerialPort, *form, 5));
        form->ShowConnectionState(2);
        form->FirstExchange = 0;
    }

    // Runs call while the far end reads one frame of length bytes and answers E5.
    std::vector<uint8_t> FrameSentBy(const std::function<void()>& call, size_t length)
    {
        std::vector<uint8_t> got;
        std::thread peer([&] {
            got = pty->PeerRead(length, 5000);
            pty->PeerWrite({0xE5});
        });
        call();
        peer.join();
        return got;
    }

    std::unique_ptr<PtyPair> pty;
};

TEST_F(MbusDisconnectTest, SecondaryDeselectFrame)
{
    form->AddressingMode = amSecondary;
    form->SelectFrameKind = 0;
    form->DeviceAddress = 5;
    const auto sent = FrameSentBy([&] { form->DisconnectDevice(); }, 5);
    EXPECT_EQ(sent, (std::vector<uint8_t>{0x10, 0x40, 0xFD, 0x3D, 0x16}));
    EXPECT_EQ(form->PortOpen.load(), 0);
    EXPECT_EQ(form->SerialPort, nullptr);
    EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Connect Device"));
    EXPECT_EQ(form->Label_Setup_ConnectStatus->text(), QStringLiteral("Status: Disconnected."));
}

TEST_F(MbusDisconnectTest, PrimarySelectFrameAfterTheStoredFormWasUsed)
{
    form->AddressingMode = amPrimary;
    form->SelectFrameKind = 1;
    form->DeviceAddress = 7;
    const auto sent = FrameSentBy([&] { form->DisconnectDevice(); }, 25);
    ASSERT_EQ(sent.size(), 25u);
    EXPECT_EQ(sent, Frame(1, amPrimary, 7));
}

TEST_F(MbusDisconnectTest, ClosingTheWindowSendsTheDeselectBeforeThePortCloses)
{
    form->AddressingMode = amPrimary;
    form->SelectFrameKind = 0;
    form->DeviceAddress = 42;
    const auto sent = FrameSentBy([&] { form->FormCloseQuery(); }, 5);
    EXPECT_EQ(sent, (std::vector<uint8_t>{0x10, 0x40, 0x2A, 0x6A, 0x16}));
    EXPECT_EQ(form->PortOpen.load(), 0);
}

TEST_F(MbusDisconnectTest, ClosingWhileNotConnectedSendsNothing)
{
    form->ShowConnectionState(1);
    form->FormCloseQuery();
    EXPECT_TRUE(pty->PeerRead(5, 300).empty());
    // Not connected: an open port (a connect refused by its address) stays.
    EXPECT_EQ(form->PortOpen.load(), 1);
}

// ---------------------------------------------------------------- result actions

class ResultActionTest : public ConnectWindowTest {
protected:
    // Posts a result code as a runner does and runs the handler.
    void Post(uint8_t code)
    {
        form->UiRequest = code;
        form->HandleUiRequest();
    }
};

TEST_F(ResultActionTest, ConnectedShowsTheDevice)
{
    form->SetProtocolMode(51);
    form->DeviceAddress = 17;
    form->ConnectionCode = ccThreePhase4Wire;
    form->DeviceTypeText = "Type X";
    form->SerialNumberText = "TQ2100012345";
    ModalWatcher watch;
    Post(urConnected);
    ASSERT_EQ(watch.Reports().size(), 1u);
    EXPECT_EQ(watch.Reports()[0].id, QStringLiteral("89"));
    EXPECT_EQ(watch.Reports()[0].title, QStringLiteral("Information"));
    EXPECT_EQ(watch.Reports()[0].text, QStringLiteral("The device is connected."));
    EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Disconnect"));
    EXPECT_EQ(form->Label_Setup_ConnectStatus->text(), QStringLiteral("Status: Device is connected."));
    EXPECT_EQ(form->Label_Setup_ConnectStatus->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    EXPECT_FALSE(form->GroupBox_Setup_Protocol->isEnabled());
    EXPECT_FALSE(form->ComboBox_Setup_DeviceBaudrate->isEnabled());
    EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral(" 17"));
    EXPECT_EQ(form->Label_DeviceType->text(), QStringLiteral("Type X"));
    EXPECT_EQ(form->Label_Device_SerN->text(), QStringLiteral("TQ2100012345"));
    EXPECT_FALSE(form->GroupBox_DeviceSetup->isHidden());
}

TEST_F(ResultActionTest, NoAnswerLetsTheDeviceGo)
{
    PtyPair pty(config.PortLink(7), config.Root() + "/meter");
    ASSERT_TRUE(pty.Ready());
    ChooseSerial(51, form->ComboBox_Setup_Port_ModBus);
    form->PortIndex = 6;
    ASSERT_TRUE(OpenComPort(form->SerialPort, *form, 5));
    form->ShowConnectionState(2);
    form->Button_Measurement_StartMeasuring->setText(QStringLiteral("Stop Measuring"));
    form->Label_DeviceAddress->setText(QStringLiteral(" 1"));

    ModalWatcher watch;
    Post(urNoAnswer);
    ASSERT_EQ(watch.Reports().size(), 1u);
    EXPECT_EQ(watch.Reports()[0].id, QStringLiteral("86"));
    EXPECT_EQ(watch.Reports()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(watch.Reports()[0].text, QStringLiteral("No answer from the device."));
    EXPECT_EQ(form->PortOpen.load(), 0);
    EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Connect Device"));
    EXPECT_EQ(form->Button_Measurement_StartMeasuring->text(), QStringLiteral("Start Measuring"));
    EXPECT_EQ(form->Label_HomeStatus->text(), QStringLiteral("Status: The measuring is stopped."));
    EXPECT_EQ(form->Label_Energy_Values_Status->text(), QStringLiteral("Status: The Measuring is stopped."));
    EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral("- -"));
}

TEST_F(ResultActionTest, ScanPortMissingShowsItsNumber)
{
    ModalWatcher watch;
    Post(urPortNotAvailable);
    ASSERT_EQ(watch.Reports().size(), 1u);
    EXPECT_EQ(watch.Reports()[0].id, QStringLiteral("88"));
    EXPECT_EQ(watch.Reports()[0].text, QStringLiteral("The device is not available. (Error:70)"));
}

TEST_F(ResultActionTest, ScanFinishedIsReported)
{
    form->Language = 1;
    ModalWatcher watch;
    Post(urScanFinished);
    // The scan's port was found closed already: reported before the result.
    ASSERT_EQ(watch.Reports().size(), 2u);
    EXPECT_EQ(watch.Reports()[0].id, QStringLiteral("2"));
    EXPECT_EQ(watch.Reports()[0].text, QStringLiteral("Gerät nicht verfügbar."));
    EXPECT_EQ(watch.Reports()[1].id, QStringLiteral("87"));
    EXPECT_EQ(watch.Reports()[1].title, QStringLiteral("Scannen..."));
    EXPECT_EQ(watch.Reports()[1].text, QStringLiteral("Scan erfolgreich beendet."));
}

// ---------------------------------------------------------------- device information

class DeviceInfoTest : public ConnectWindowTest {
protected:
    bool TabShown(QWidget* page) const
    {
        return form->PageControl_Logger->isTabVisible(form->PageControl_Logger->indexOf(page));
    }
};

TEST_F(DeviceInfoTest, SinglePhaseShowsOnlyTheFirstPhase)
{
    form->ConnectionCode = ccSinglePhase;
    form->ShowDeviceInfo();
    for (QWidget* w : std::initializer_list<QWidget*>{form->GroupBox_U1, form->GroupBox_P1, form->GroupBox_PF1,
                                                      form->Shape_L1, form->Label_N, form->Label_UStatus__L1})
        EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();
    for (QWidget* w : std::initializer_list<QWidget*>{form->GroupBox_U2, form->GroupBox_U12, form->GroupBox_QTotal,
                                                      form->Shape_L2, form->Label_UStatus__L2,
                                                      form->Shape_Junction_L2N})
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_EQ(form->GroupBox_PTotal->y(), 126);
    EXPECT_EQ(form->GroupBox_STotal->y(), 126);
    EXPECT_EQ(form->GroupBox_PTotal->x(), 437);
}

TEST_F(DeviceInfoTest, ThreeWirePowerFactorFollowsReactiveEnergy)
{
    form->ConnectionCode = ccThreePhase3Wire;
    form->HasReactiveEnergy = 0;
    form->ShowDeviceInfo();
    EXPECT_EQ(form->GroupBox_PFTotal->x(), 112);
    EXPECT_EQ(form->GroupBox_PTotal->y(), 280);
    EXPECT_EQ(form->Shape_L2N->height(), 82);
    EXPECT_TRUE(form->GroupBox_U1->isHidden());
    EXPECT_FALSE(form->GroupBox_U12->isHidden());
    form->HasReactiveEnergy = 1;
    form->ShowDeviceInfo();
    EXPECT_EQ(form->GroupBox_PFTotal->x(), 217);

    form->ConnectionCode = ccThreePhase4Wire;
    form->ShowDeviceInfo();
    EXPECT_EQ(form->Shape_L2N->height(), 433);
    EXPECT_EQ(form->Shape_L3N->height(), 353);
    EXPECT_FALSE(form->GroupBox_QTotal->isHidden());
    EXPECT_FALSE(form->GroupBox_U1->isHidden());
}

TEST_F(DeviceInfoTest, IdentityLabels)
{
    form->SetProtocolMode(52);
    form->MaskEdit_IPAddress->setText(QStringLiteral("127.000.000.001"));
    form->ProductNameText = std::string("ABC\0junk", 8);
    form->FirmwareText = "FW 1.2";
    form->BaseFirmwareText = "/1.23";
    form->WebserverPresent = 0;
    form->WebserverEnabled = 1;
    form->ShowDeviceInfo();
    EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral(" 127.000.000.001"));
    EXPECT_EQ(form->StaticText_ProductInfo->text(), QStringLiteral("ABC, FW 1.2/1.23"));
    EXPECT_TRUE(form->Label_Setup_Webserver->text().isEmpty());
    EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Disconnect"));
    EXPECT_TRUE(form->Button_Freeze_Setup_Read->isHidden());
    EXPECT_FALSE(form->Button_Freeze_Setup_Read->isEnabled());

    form->WebserverPresent = 1;
    form->ShowDeviceInfo();
    EXPECT_EQ(form->Label_Setup_Webserver->text(), QStringLiteral("Webserver: enabled"));
    form->WebserverEnabled = 0;
    form->ShowDeviceInfo();
    EXPECT_EQ(form->Label_Setup_Webserver->text(), QStringLiteral("Webserver: disabled"));
}

TEST_F(DeviceInfoTest, SecondaryAddressedDeviceShowsTheAddressItReported)
{
    form->SetProtocolMode(50);
    form->RadioButtonSecondaryAddress->setChecked(true);
    form->DeviceAddress = 0;
    form->DeviceAddressText = "33";
    form->ShowDeviceInfo();
    EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral("33"));

    // Left checked from M-Bus, it does not blank a Modbus device's address.
    form->SetProtocolMode(51);
    form->DeviceAddress = 9;
    form->DeviceAddressText.clear();
    form->ShowDeviceInfo();
    EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral(" 9"));
}

TEST_F(DeviceInfoTest, LoggerTabsByFeatures)
{
    form->HasDemandLogger = 0;
    form->DeviceVariant = 1;
    form->SetupLoggerTabs();
    EXPECT_FALSE(TabShown(form->Page_DemandLogger));
    EXPECT_TRUE(TabShown(form->Page_EventsLogger));
    EXPECT_FALSE(TabShown(form->Page_CertifiedLogger));
    EXPECT_EQ(form->GroupBox_EventsLogger->title(), QStringLiteral(" Events Logger "));
    EXPECT_TRUE(form->Label_Demand->isHidden());

    form->HasDemandLogger = 1;
    form->HasReactiveEnergy = 0;
    form->DemandPeriodText = " 15 min";
    form->SetupLoggerTabs();
    EXPECT_TRUE(TabShown(form->Page_DemandLogger));
    EXPECT_FALSE(TabShown(form->Page_CertifiedLogger));
    EXPECT_EQ(form->StringGrid_DemandLogger->ColWidth(7), 0);
    EXPECT_EQ(form->StringGrid_DemandLogger->Cell(3, 0), QStringLiteral(" Period"));
    EXPECT_EQ(form->Label_Demand_Period->text(), QStringLiteral(" 15 min"));
    form->HasReactiveEnergy = 1;
    form->SetupLoggerTabs();
    EXPECT_EQ(form->StringGrid_DemandLogger->ColWidth(8), 95);

    form->DeviceVariant = 2;
    form->Language = 1;
    form->SetupLoggerTabs();
    EXPECT_TRUE(TabShown(form->Page_CertifiedLogger));
    EXPECT_EQ(form->PageControl_Logger->tabText(form->PageControl_Logger->indexOf(form->Page_EventsLogger)),
              QStringLiteral("Betriebslogbuch"));
    EXPECT_EQ(form->GroupBox_EventsLogger->title(), QStringLiteral(" Betriebslogbuch "));
    EXPECT_GE(form->StringGrid_DemandLogger->ColWidth(3), 75);
    EXPECT_EQ(form->StringGrid_DemandLogger->ColWidth(7), 0);
    EXPECT_EQ(form->ComboBox_Demand->itemText(form->ComboBox_Demand->count() - 1), QStringLiteral("168000"));
    form->Language = 0;
    form->SetupLoggerTabs();
    EXPECT_EQ(form->GroupBox_EventsLogger->title(), QStringLiteral(" Events "));
}

TEST_F(DeviceInfoTest, TransformerRatiosShownOnlyWhenTheDeviceHasThem)
{
    form->HasTransformerRatios = 1;
    form->CtRatioText = "100";
    form->SetupLoggerTabs();
    EXPECT_FALSE(form->Label__CT->isHidden());
    EXPECT_EQ(form->Label__CT->text(), QStringLiteral("100"));
    form->HasTransformerRatios = 0;
    form->SetupLoggerTabs();
    EXPECT_TRUE(form->Label__CT->isHidden());
    EXPECT_TRUE(form->Label_VT->isHidden());
}

TEST_F(DeviceInfoTest, LoggerShapesByVariantAndLanguage)
{
    struct Case {
        int variant, language, left, width;
    };
    for (const Case& c : {Case{0, 0, 170, 175}, Case{1, 0, 170, 202}, Case{2, 0, 170, 265}, Case{0, 1, 160, 165},
                          Case{1, 1, 160, 225}, Case{2, 1, 160, 389}}) {
        form->DeviceVariant = static_cast<uint8_t>(c.variant);
        form->Language = static_cast<uint8_t>(c.language);
        form->PlaceLoggerShapes();
        EXPECT_EQ(form->Shape_Logger->x(), c.left) << c.variant << '/' << c.language;
        EXPECT_EQ(form->Shape_Logger_horizontal->width(), c.width) << c.variant << '/' << c.language;
    }
    form->DeviceVariant = 3;
    form->PlaceLoggerShapes();
    EXPECT_EQ(form->Shape_Logger_horizontal->width(), 389);
}

TEST_F(DeviceInfoTest, ClearMeasuredValuesEmptiesDisplaysNotMembers)
{
    form->StaticText_U1->setText(QStringLiteral(" 230.0 V"));
    form->Label_FreqStatSync->setText(QStringLiteral(" Ok"));
    form->TextU1 = " 230.0 V";
    form->StringGrid_MainCounters->SetCell(0, 9, QStringLiteral(" Total"));
    form->StringGrid_MainCounters->SetCell(2, 9, QStringLiteral(" 1.0 kWh"));
    form->StringGrid_DemandLogger->SetRowCount(50);
    form->StringGrid_DemandLogger->SetCell(0, 1, QStringLiteral(" 1"));
    form->StringGrid_EventsLogger->SetRowCount(7);
    form->ClearMeasuredValues();
    EXPECT_TRUE(form->StaticText_U1->text().isEmpty());
    EXPECT_TRUE(form->Label_FreqStatSync->text().isEmpty());
    EXPECT_EQ(form->TextU1, " 230.0 V");
    EXPECT_TRUE(form->StringGrid_MainCounters->Cell(2, 9).isEmpty());
    EXPECT_FALSE(form->StringGrid_MainCounters->Cell(0, 9).isEmpty());
    for (TStringGrid* g : {form->StringGrid_DemandLogger, form->StringGrid_EventsLogger,
                           form->StringGrid_CertifiedLogger})
        EXPECT_EQ(g->RowCount(), 2) << g->objectName().toStdString();
    EXPECT_TRUE(form->StringGrid_DemandLogger->Cell(0, 1).isEmpty());
}

}  // namespace
