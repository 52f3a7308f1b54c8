// The main window driven as a user drives it over M-Bus, against meter-sim
// holding two meters on one socat line: connect by primary and by secondary
// address, the identification with its secondary-address labels, the values
// of a read against the meter's own model, the deselect frame at disconnect,
// a meter that stops answering, and a Modbus TCP connect after all that.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "JobHostRig.h"
#include "WindowTest.h"
#include "WindowUser.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "meter/CivilTime.h"
#include "meter/MeterMeasurements.h"
#include "meter/MeterOptions.h"

namespace {

using namespace std::chrono_literals;
using rig::MeterSim;
using rig::PumpUntil;
using rig::SerialLine;
using rig::User;

constexpr int kComNumber = 8;

// Three meters on the line; the second is a single-phase one, to tell them
// apart, the third has an identification with digits above 9.
std::vector<std::string> MeterArgs(const std::string& device)
{
    return {"--mbus", device, "--mbus-baud", "9600", "--meter", "primary=1,secondary=11112222",
            "--meter", "primary=2,secondary=12345678,type=3,serial=2100054321",
            "--meter", "primary=3,secondary=12AB4CDE,type=4,serial=2100067890"};
}

meter::DeviceOptions MeterOptionsOf(int place)
{
    const meter::ParseOutcome parsed = meter::ParseMeterSimArgs(MeterArgs("/dev/null"));
    EXPECT_TRUE(parsed.error.empty()) << parsed.error;
    return parsed.options.meters.at(static_cast<size_t>(place));
}

// The three letters of an M-Bus manufacturer word (EN 13757-3).
QString Letters(uint16_t word)
{
    QString s;
    for (const int shift : {10, 5, 0}) s += QChar(((word >> shift) & 0x1F) + 64);
    return s;
}

QString IdDigits(uint32_t bcd) { return QStringLiteral("%1").arg(bcd, 8, 16, QLatin1Char('0')); }

// A value text " 231.2 V": its number in the base unit and the size of its
// last digit there.
struct Reading {
    double value = 0, digit = 0;
    bool ok = false;
};
Reading Read(const std::string& text)
{
    const QStringList parts = QString::fromStdString(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    Reading r;
    if (parts.isEmpty()) return r;
    r.value = parts[0].toDouble(&r.ok);
    const QString unit = parts.size() > 1 ? parts[1] : QString();
    const double scale = unit.startsWith(QLatin1Char('k')) ? 1e3 : unit.startsWith(QLatin1Char('M')) ? 1e6 : 1;
    const qsizetype point = parts[0].indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : static_cast<int>(parts[0].size() - point - 1);
    r.value *= scale;
    r.digit = std::pow(10.0, -decimals) * scale;
    return r;
}

class MBusConnectE2ETest : public rig::WindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(line.Ready());
        meterSim = std::make_unique<MeterSim>(MeterArgs(line.MeterEnd()));
        ASSERT_TRUE(meterSim->Ready());
        StartWindow();
        // The expert view shows every frame in the monitor.
        form->CheckBoxAdministrator->setChecked(true);

        form->RadioButton_MBus->setChecked(true);
        ASSERT_EQ(form->TransportCode.load(), tcMBus);
        ChooseLine(form->ComboBox_Setup_Port_MBus, kComNumber, kBaudIndex9600);
        ASSERT_EQ(form->MbusBaudIndex.load(), kBaudIndex9600);
    }

    // The identification labels against the meter's own options.
    void ExpectIdentified(const meter::DeviceOptions& d, const QString& address)
    {
        EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Disconnect"));
        EXPECT_EQ(form->Label_DeviceAddress->text(), address);
        EXPECT_EQ(form->Label_Secondary_Address_ID->text(), QLatin1Char(' ') + IdDigits(d.MBusIdBcd()));
        EXPECT_EQ(form->Label_Manufacturer->text(), QLatin1Char(' ') + Letters(d.MBusManufacturer()));
        EXPECT_EQ(form->Label_Version->text(), QStringLiteral(" %1").arg(d.mbusVersion, 2, 16, QLatin1Char('0')));
        EXPECT_EQ(form->Label_Type->text(), QStringLiteral(" 02"));
        EXPECT_TRUE(form->Label_Device_SerN->text().endsWith(QString::fromStdString(d.serialNumber)))
            << form->Label_Device_SerN->text().toStdString();
        const int connection[6] = {ccSinglePhase, ccThreePhase3Wire, ccThreePhase4Wire,
                                   ccSinglePhase, ccThreePhase3Wire, ccThreePhase4Wire};
        EXPECT_EQ(form->ConnectionCode, connection[d.typeIndex]);
    }

    // Runs the measurement read as the measuring start sets it.
    void ReadValues()
    {
        form->SetJob(jcMBusMeasurement);
        ASSERT_TRUE(PumpUntil([&] { return form->GetJob() == 0 && form->ComThread->Suspended(); }, 30s));
    }

    // Every value of the read against what the meter's model gives for the
    // moment the read carries in its date-and-time record.
    void ExpectValuesOf(const meter::DeviceOptions& d)
    {
        meter::CivilTime t;
        ASSERT_EQ(std::sscanf(form->DeviceDate.c_str(), "%d-%d-%d", &t.year, &t.month, &t.day), 3) << form->DeviceDate;
        ASSERT_EQ(std::sscanf(form->DeviceTime.c_str(), "%d:%d:%d", &t.hour, &t.minute, &t.second), 3);
        const meter::Measurements m = meter::ComputeMeasurements(d, d.ctRatio, d.vtRatio, meter::ToSeconds(t));
        struct Pair {
            const char* name;
            const std::string* text;
            double model;
        };
        std::vector<Pair> pairs = {
            {"U1", &form->TextU1, m.uLN[0]},     {"I1", &form->TextI1, m.i[0]},
            {"THD U1", &form->TextThdU1, m.thdU[0]}, {"THD I1", &form->TextThdI1, m.thdI[0]},
            {"f", &form->TextFreq, m.frequency}, {"PF1", &form->TextPF1, m.pf[0]},
            {"P1", &form->TextP1, m.p[0]},       {"Q1", &form->TextQ1, m.q[0]},
            {"P total", &form->TextPTot, m.pTotal}, {"Q total", &form->TextQTot, m.qTotal},
            {"PF total", &form->TextPFTot, m.pfTotal},
        };
        if (d.Phases() == 3) {
            pairs.insert(pairs.end(), {{"U2", &form->TextU2, m.uLN[1]}, {"U3", &form->TextU3, m.uLN[2]},
                                       {"U12", &form->TextU12, m.uLL[0]}, {"U23", &form->TextU23, m.uLL[1]},
                                       {"U13", &form->TextU13, m.uLL[2]}, {"I3", &form->TextI3, m.i[2]},
                                       {"P3", &form->TextP3, m.p[2]}, {"Q2", &form->TextQ2, m.q[1]}});
        }
        for (const Pair& p : pairs) {
            SCOPED_TRACE(p.name);
            const Reading r = Read(*p.text);
            ASSERT_TRUE(r.ok) << *p.text;
            EXPECT_LE(std::fabs(r.value - p.model), r.digit) << *p.text << " against " << p.model;
        }
    }

    // The last frame sent, as the monitor shows it.
    QString LastSentFrame() const
    {
        const QStringList lines = form->Memo_Com_Win->toPlainText().split(QLatin1Char('\n'));
        for (qsizetype k = lines.size() - 1; k > 0; --k)
            if (lines[k - 1].endsWith(QStringLiteral("[TX]"))) return lines[k].trimmed();
        return QString();
    }

    SerialLine line{kComNumber};
    std::unique_ptr<MeterSim> meterSim;
};

TEST_F(MBusConnectE2ETest, PrimaryAddressConnectReadsTheMeterAndDeselectsAtDisconnect)
{
    form->RadioButtonPrimaryAddress->setChecked(true);
    Type(form->MaskEdit_Setup_Primary_Address, QStringLiteral("1"));
    {
        User user;
        ConnectUntil(user, QStringLiteral("The device is connected."));
        ASSERT_FALSE(user.reports.empty());
        EXPECT_EQ(user.reports.front().id, QStringLiteral("11"));
    }
    ExpectIdentified(MeterOptionsOf(0), QStringLiteral(" 1"));
    ReadValues();
    ExpectValuesOf(MeterOptionsOf(0));

    form->Button_Setup_Device_Connect->click();
    EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Connect Device"));
    EXPECT_EQ(LastSentFrame(), QStringLiteral("10 40 01 41 16"));
    EXPECT_EQ(form->PortOpen.load(), 0);
}

TEST_F(MBusConnectE2ETest, SecondaryAddressConnectFindsTheMeterOnTheSharedLine)
{
    form->RadioButtonSecondaryAddress->setChecked(true);
    Type(form->MaskEdit_Setup_Sec_Address, QStringLiteral("12345678"));
    {
        User user;
        ConnectUntil(user, QStringLiteral("The device is connected."));
        ASSERT_FALSE(user.reports.empty());
        EXPECT_EQ(user.reports.front().id, QStringLiteral("12"));
    }
    // Selected by its identification, the device shows the primary address it reported.
    ExpectIdentified(MeterOptionsOf(1), QStringLiteral("2"));
    ReadValues();
    ExpectValuesOf(MeterOptionsOf(1));

    form->Button_Setup_Device_Connect->click();
    EXPECT_EQ(LastSentFrame(), QStringLiteral("10 40 FD 3D 16"));
}

TEST_F(MBusConnectE2ETest, SecondaryAddressWithHexDigitsConnectsAndReads)
{
    form->RadioButtonSecondaryAddress->setChecked(true);
    // The edit takes A-E as a stored setting or a scan puts them there.
    form->MaskEdit_Setup_Sec_Address->setText(QStringLiteral("12AB4CDE"));
    {
        User user;
        ConnectUntil(user, QStringLiteral("The device is connected."));
    }
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral("3"));
    ReadValues();
    ExpectValuesOf(MeterOptionsOf(2));
}

TEST_F(MBusConnectE2ETest, MeterThatStopsAnsweringIsLetGoAndModbusTcpConnectsAfter)
{
    form->RadioButtonPrimaryAddress->setChecked(true);
    Type(form->MaskEdit_Setup_Primary_Address, QStringLiteral("1"));
    Connect();
    meterSim.reset();
    {
        User user;
        form->SetJob(jcMBusMeasurement);
        ASSERT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("No answer from the device.")); }, 30s))
            << user.All();
        ASSERT_TRUE(PumpUntil([&] { return !ProgrWinForm->isVisible(); }));
    }
    EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Connect Device"));
    EXPECT_EQ(form->Label_Setup_ConnectStatus->text(), QStringLiteral("Status: Disconnected."));
    EXPECT_EQ(form->PortOpen.load(), 0);

    MeterSim tcp({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(tcp.Ready());
    form->RadioButton_Modbus_TCPIP->setChecked(true);
    ASSERT_EQ(form->TransportCode.load(), tcModbusTcp);
    form->Edit_Setup_TCPIP_Port->setText(QString::number(tcp.Port()));
    User user;
    ConnectUntil(user, QStringLiteral("The device is connected."));
    EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral(" 127.000.000.001"));
    EXPECT_EQ(form->TcpConnected.load(), 1);
}

}  // namespace
