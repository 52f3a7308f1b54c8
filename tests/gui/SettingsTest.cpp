// The settings file: written on close, read at the next start, and a file that
// is missing, from another version or damaged still gives a working window.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <memory>

#include "SettingsFixture.h"
#include "app/MainForm.h"
#include "app/Settings.h"
#include "app/Shape.h"
#include "app/Startup.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "comm/ThCom.h"

namespace {

using settingsrig::SettingsTest;

int CheckedTransports(const TMainForm& f)
{
    return int(f.RadioButton_MBus->isChecked()) + int(f.RadioButton_Modbus_RTU->isChecked()) +
           int(f.RadioButton_Modbus_TCPIP->isChecked());
}

// What every start must give, whatever the file held.
void ExpectSoundWindow(const TMainForm& f)
{
    ASSERT_TRUE(f.Language == 0 || f.Language == 1);
    EXPECT_TRUE(f.Language == 0 ? f.RadioButton_English->isChecked() : f.RadioButton_German->isChecked());
    EXPECT_EQ(f.PageControl_Main->tabText(f.PageControl_Main->indexOf(f.Page_Setup)), Txt(TxtSetup, f.Language));

    const char t = f.TransportCode;
    ASSERT_TRUE(t == tcMBus || t == tcModbusRtu || t == tcModbusTcp) << int(t);
    EXPECT_EQ(CheckedTransports(f), 1);
    const QRadioButton* expected = t == tcMBus        ? f.RadioButton_MBus
                                   : t == tcModbusRtu ? f.RadioButton_Modbus_RTU
                                                      : f.RadioButton_Modbus_TCPIP;
    EXPECT_TRUE(expected->isChecked());

    const int refresh = f.ComboBox_DisplayRefresh->currentIndex();
    EXPECT_GE(refresh, 0);
    EXPECT_LT(refresh, f.ComboBox_DisplayRefresh->count());

    EXPECT_GE(f.MbusPortIndex, 0);
    EXPECT_LE(f.MbusPortIndex, 255);
    EXPECT_GE(f.ModbusPortIndex, 0);
    EXPECT_LE(f.ModbusPortIndex, 255);
    EXPECT_EQ(f.ComboBox_Setup_Port_MBus->currentText(), QStringLiteral("COM%1").arg(f.MbusPortIndex + 1));
    EXPECT_EQ(f.ComboBox_Setup_Port_ModBus->currentText(), QStringLiteral("COM%1").arg(f.ModbusPortIndex + 1));
    EXPECT_GE(f.MbusBaudIndex, 0);
    EXPECT_LE(f.MbusBaudIndex, 5);
    EXPECT_GE(f.ModbusBaudIndex, 0);
    EXPECT_LE(f.ModbusBaudIndex, 9);
    EXPECT_GE(f.SerialModeIndex, 0);
    EXPECT_LE(f.SerialModeIndex, 3);
    if (t != tcModbusTcp) {
        const int baud = f.ComboBox_Setup_DeviceBaudrate->currentIndex();
        EXPECT_GE(baud, 0);
        EXPECT_LT(baud, f.ComboBox_Setup_DeviceBaudrate->count());
    }

    EXPECT_TRUE(f.WindowSize == 1 || f.WindowSize == 2);
    EXPECT_EQ(f.width(), f.WindowSize == 1 ? 1125 : 860);

    EXPECT_EQ(f.MaskEdit_Setup_Sec_Address->displayText().size(), 8);
    EXPECT_EQ(IpAddressOr(f.MaskEdit_IPAddress->displayText().toStdString(), "bad"),
              f.MaskEdit_IPAddress->displayText().toStdString());
    for (int c = 0; c < f.StringGrid_DemandLogger->ColCount(); ++c) {
        EXPECT_GE(f.StringGrid_DemandLogger->ColWidth(c), 0);
        EXPECT_LE(f.StringGrid_DemandLogger->ColWidth(c), 2000);
    }

    ASSERT_NE(f.ComThread, nullptr);
    EXPECT_TRUE(f.ComThread->Suspended());
}

void ExpectDefaultWidths(const TMainForm& f)
{
    // Nothing is known of the device yet: no reactive energies, so 7 and 8 are hidden.
    const int demand[10] = {55, 80, 65, 55, 40, 95, 95, 0, 0, 95};
    for (int c = 0; c < 10; ++c) EXPECT_EQ(f.StringGrid_DemandLogger->ColWidth(c), demand[c]) << "demand " << c;
    const int certified[6] = {42, 67, 135, 135, 85, 104};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(f.StringGrid_CertifiedLogger->ColWidth(c), certified[c]) << "certified " << c;
}

// The defaults of a first run, and of a file written by another version.
void ExpectResetValues(const TMainForm& f)
{
    EXPECT_EQ(f.Language, 1);
    EXPECT_TRUE(f.RadioButton_German->isChecked());
    EXPECT_EQ(f.Button_Setup_Device_Connect->text(), Txt(TxtConnectDevice, 1));
    EXPECT_EQ(f.TransportCode, tcModbusTcp);
    EXPECT_TRUE(f.RadioButton_Modbus_TCPIP->isChecked());
    EXPECT_EQ(f.MbusBaudIndex, 3);
    EXPECT_EQ(f.ModbusBaudIndex, 6);
    EXPECT_EQ(f.SerialModeIndex, 0);
    EXPECT_EQ(f.MbusPortIndex, 0);
    EXPECT_EQ(f.ModbusPortIndex, 0);
    EXPECT_EQ(f.MaskEdit_Setup_Primary_Address->text(), QStringLiteral("0"));
    EXPECT_EQ(f.MaskEdit_Setup_ModBus_Address->text(), QStringLiteral("1"));
    EXPECT_EQ(f.MaskEdit_Setup_Sec_Address->text(), QStringLiteral("00000000"));
    EXPECT_EQ(f.MaskEdit_IPAddress->displayText(), QStringLiteral("127.000.000.001"));
    EXPECT_EQ(f.WindowSize, 1);
    EXPECT_TRUE(f.RadioButton_Large->isChecked());
    EXPECT_EQ(f.width(), 1125);
    EXPECT_EQ(f.LabelDemandLargeArrow->text(), QStringLiteral(">"));
    ExpectDefaultWidths(f);
}

TEST_F(SettingsTest, FirstRunWithoutFileStartsWithTheDefaults)
{
    ASSERT_FALSE(QFile::exists(IniPath()));
    auto windows = Start();
    TMainForm& f = windows->Main();
    ExpectResetValues(f);
    EXPECT_EQ(f.ComboBox_DisplayRefresh->currentIndex(), 0);
    EXPECT_EQ(f.AddressingMode, amPrimary);
    // The worker found its job runner in place when it was created.
    EXPECT_TRUE(static_cast<bool>(f.ModbusJobStep));
    ExpectSoundWindow(f);
    // Nothing is written before the window closes.
    EXPECT_FALSE(QFile::exists(IniPath()));
    Stop(windows);
    EXPECT_EQ(Stored("VERS"), QStringLiteral("Version 1.27"));
    EXPECT_EQ(Stored("PROT"), QStringLiteral("52"));
    EXPECT_EQ(Stored("LANG"), QStringLiteral("2"));
    EXPECT_EQ(Stored("ADDRTCP"), QStringLiteral("127.000.000.001"));
}

TEST_F(SettingsTest, ChoicesSurviveCloseAndStart)
{
    auto windows = Start();
    {
        TMainForm& f = windows->Main();
        f.RadioButton_English->setChecked(true);
        f.RadioButton_Modbus_RTU->setChecked(true);
        f.ComboBox_Setup_DeviceBaudrate->setCurrentIndex(9);
        f.ComboBox_Setup_DeviceSerialMode->setCurrentIndex(2);
        f.ComboBox_Setup_DeviceSerialModeChange();
        f.ModbusPortIndex = 4;
        f.MbusPortIndex = 11;
        f.MbusBaudIndex = 5;
        f.ComboBox_DisplayRefresh->setCurrentIndex(2);
        f.RadioButton_Small->setChecked(true);
        f.MaskEdit_Setup_Primary_Address->setText(QStringLiteral("17"));
        f.MaskEdit_Setup_ModBus_Address->setText(QStringLiteral("200"));
        f.MaskEdit_Setup_Sec_Address->setText(QStringLiteral("1234ABCD"));
        f.MaskEdit_IPAddress->setText(QStringLiteral("127.000.001.020"));
        f.StringGrid_DemandLogger->SetColWidth(1, 120);
        f.StringGrid_DemandLogger->SetColWidth(7, 30);
        f.StringGrid_CertifiedLogger->SetColWidth(2, 150);
        Stop(windows);
    }

    windows = Start();
    TMainForm& f = windows->Main();
    ExpectSoundWindow(f);
    EXPECT_EQ(f.Language, 0);
    EXPECT_TRUE(f.RadioButton_English->isChecked());
    EXPECT_EQ(f.Button_Setup_Device_Connect->text(), Txt(TxtConnectDevice, 0));
    EXPECT_EQ(f.TransportCode, tcModbusRtu);
    EXPECT_TRUE(f.RadioButton_Modbus_RTU->isChecked());
    EXPECT_EQ(f.ComboBox_Setup_DeviceBaudrate->currentIndex(), 9);
    EXPECT_EQ(f.ComboBox_Setup_DeviceSerialMode->currentIndex(), 2);
    // 8N2 is the framing of the next port.
    EXPECT_EQ(f.PortStopBits, 2);
    EXPECT_EQ(f.PortParity, 0);
    EXPECT_EQ(f.MbusBaudIndex, 5);
    EXPECT_EQ(f.ComboBox_Setup_Port_ModBus->currentText(), QStringLiteral("COM5"));
    EXPECT_EQ(f.ComboBox_Setup_Port_MBus->currentText(), QStringLiteral("COM12"));
    EXPECT_EQ(f.PortIndex, 4);
    EXPECT_EQ(f.ComboBox_DisplayRefresh->currentIndex(), 2);
    EXPECT_EQ(f.ComboBox_DisplayRefresh->currentText(), QStringLiteral("45"));
    EXPECT_EQ(f.WindowSize, 2);
    EXPECT_TRUE(f.RadioButton_Small->isChecked());
    EXPECT_EQ(f.width(), 860);
    EXPECT_EQ(f.MaskEdit_Setup_Primary_Address->text(), QStringLiteral("17"));
    EXPECT_EQ(f.MaskEdit_Setup_ModBus_Address->text(), QStringLiteral("200"));
    EXPECT_EQ(f.MaskEdit_Setup_Sec_Address->text(), QStringLiteral("1234ABCD"));
    EXPECT_EQ(f.MaskEdit_IPAddress->displayText(), QStringLiteral("127.000.001.020"));
    EXPECT_EQ(f.StringGrid_DemandLogger->ColWidth(1), 120);
    EXPECT_EQ(f.StringGrid_DemandLogger->ColWidth(7), 30);
    EXPECT_EQ(f.StringGrid_DemandLogger->ColWidth(0), 55);
    EXPECT_EQ(f.StringGrid_CertifiedLogger->ColWidth(2), 150);
}

TEST_F(SettingsTest, FileOfAnotherVersionGivesDefaultsButKeepsTheRefreshIndex)
{
    WriteIni("[Cfg]\nVERS=Version 1.26\nPNMBUS=7\nPNMODBUS=9\nBDMBUS=1\nBDMODBUS=2\nSMODEMODBUS=3\nPROT=50\n"
             "LANG=1\nREFR=2\nADDRPR=12\nADDRSEC=11112222\nADDRMDB=33\nADDRTCP=127.010.000.001\nSIZE=2\n"
             "DEMWINSZ=1\nSGDL0=200\nSGCL0=300\n");
    auto windows = Start();
    TMainForm& f = windows->Main();
    ExpectResetValues(f);
    EXPECT_EQ(f.ComboBox_DisplayRefresh->currentIndex(), 2);
    ExpectSoundWindow(f);
    Stop(windows);
    EXPECT_EQ(Stored("VERS"), QStringLiteral("Version 1.27"));
}

TEST_F(SettingsTest, StoredLanguageChoosesTheCaptions)
{
    const struct {
        const char* lang;
        int language;
    } cases[] = {{"1", 0}, {"2", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lang);
        WriteIni(QByteArray("[Cfg]\nVERS=Version 1.27\nLANG=") + c.lang + "\n");
        auto windows = Start();
        TMainForm& f = windows->Main();
        EXPECT_EQ(f.Language, c.language);
        EXPECT_EQ(f.RadioButton_English->isChecked(), c.language == 0);
        EXPECT_EQ(f.RadioButton_German->isChecked(), c.language == 1);
        EXPECT_EQ(f.RadioButton_Large->text(), Txt(TxtLarge, c.language));
        EXPECT_EQ(f.Label_Setup_ConnectStatus->text(), Txt(TxtStatusDisconnected, c.language));
        // The logger panel's marks are placed for the language's tab captions.
        EXPECT_EQ(f.Shape_Logger->x(), c.language == 0 ? 170 : 160);
        EXPECT_EQ(f.Shape_Logger_horizontal->width(), c.language == 0 ? 308 : 389);
        Stop(windows);
        EXPECT_EQ(Stored("LANG"), QString::number(c.language + 1));
    }
}

TEST_F(SettingsTest, DemandPanelStateSurvivesCloseAndStart)
{
    for (const char* arrow : {"<", ">"}) {
        SCOPED_TRACE(arrow);
        auto windows = Start();
        windows->Main().LabelDemandLargeArrow->setText(QString::fromLatin1(arrow));
        Stop(windows);
        EXPECT_EQ(Stored("DEMWINSZ"), QString::fromLatin1(arrow[0] == '<' ? "1" : "0"));
        windows = Start();
        EXPECT_EQ(windows->Main().LabelDemandLargeArrow->text(), QString::fromLatin1(arrow));
        Stop(windows);
    }
}

TEST_F(SettingsTest, SecondaryAddressIsStoredAsEightCharactersWithBlanksAsZero)
{
    const struct {
        const char* shown;
        const char* stored;
    } cases[] = {
        {"12345678", "12345678"}, {"12 4567 ", "12045670"}, {"        ", "00000000"},
        {"FFFFFFFF", "FFFFFFFF"}, {"1234", "12340000"},     {"", "00000000"},
        {"123456789A", "12345678"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SecondaryAddressForStore(QString::fromLatin1(c.shown)), c.stored) << '"' << c.shown << '"';

    // The same through the edit: an address typed only in part.
    auto windows = Start();
    TMainForm& f = windows->Main();
    f.MaskEdit_Setup_Sec_Address->clear();
    f.MaskEdit_Setup_Sec_Address->setCursorPosition(0);
    f.MaskEdit_Setup_Sec_Address->insert(QStringLiteral("12"));
    f.MaskEdit_Setup_Sec_Address->setCursorPosition(3);
    f.MaskEdit_Setup_Sec_Address->insert(QStringLiteral("4"));
    Stop(windows);
    EXPECT_EQ(Stored("ADDRSEC"), QStringLiteral("12040000"));
}

TEST_F(SettingsTest, StoredTextsAreCheckedBeforeTheyReachTheEdits)
{
    const struct {
        const char* stored;
        bool decimal, secondary, ip;
    } cases[] = {
        {"0", true, false, false},
        {"250", true, false, false},
        {" 17 ", true, false, false},
        {"1234", false, false, false},
        {"-1", false, false, false},
        {"abc", false, false, false},
        {"", false, false, false},
        {"1234abcd", false, true, false},
        {"0000000G", false, false, false},
        {"1234567", false, false, false},
        {"127.000.000.001", false, false, true},
        {"127.168.1  .5  ", false, false, true},
        {"127.0.0.1", false, false, true},
        {"1.2.3", false, false, false},
        {"1.2.3.4.5", false, false, false},
        {"1000.0.0.1", false, false, false},
        {"a.b.c.d", false, false, false},
        {"   .   .   .   ", false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        const std::string s = c.stored;
        EXPECT_EQ(DecimalAddressOr(s, "x") != "x", c.decimal);
        EXPECT_EQ(SecondaryAddressOr(s, "x") != "x", c.secondary);
        EXPECT_EQ(IpAddressOr(s, "x") == s, c.ip);
    }
    EXPECT_EQ(DecimalAddressOr(" 17 ", "x"), "17");
    EXPECT_EQ(SecondaryAddressOr("1234abcd", "x"), "1234ABCD");
}

// Files as a crash, an editor or a person may leave them. Whatever they hold,
// the tool starts with values it can use and writes a sound file on close.
TEST_F(SettingsTest, DamagedFilesStartWithSoundValues)
{
    static const char Binary[] = "\x00\xff\xfe[Cfg\x01\n=\n\x7f\x80VERS\x00=\xc3\x28\n";
    const struct {
        const char* name;
        QByteArray content;
    } cases[] = {
        {"text for numbers",
         "[Cfg]\nVERS=Version 1.27\nPNMBUS=abc\nPNMODBUS=COM3\nBDMBUS=fast\nBDMODBUS=x\nSMODEMODBUS=8N1\n"
         "PROT=tcp\nLANG=de\nREFR=often\nSIZE=big\nDEMWINSZ=open\nSGDL0=wide\nSGCL1=1,2\n"},
        {"negatives",
         "[Cfg]\nVERS=Version 1.27\nPNMBUS=-5\nPNMODBUS=-1\nBDMBUS=-1\nBDMODBUS=-7\nSMODEMODBUS=-1\nPROT=-52\n"
         "LANG=-1\nREFR=-3\nSIZE=-2\nDEMWINSZ=-1\nSGDL0=-100\nSGCL0=-1\n"},
        {"huge",
         "[Cfg]\nVERS=Version 1.27\nPNMBUS=256\nPNMODBUS=99999999999\nBDMBUS=6\nBDMODBUS=2147483647\n"
         "SMODEMODBUS=4\nPROT=4294967348\nLANG=257\nREFR=1000\nSIZE=258\nSGDL1=100000\nSGCL2=2147483647\n"},
        {"out of range per transport", "[Cfg]\nVERS=Version 1.27\nPROT=50\nREFR=4\nBDMBUS=9\nLANG=3\nSIZE=3\n"},
        {"garbage texts",
         "[Cfg]\nVERS=Version 1.27\nPROT=52\nLANG=1\nADDRPR=abc\nADDRSEC=XYZ12345\nADDRMDB=-1\nADDRTCP=999.1.2\n"},
        {"missing values", "[Cfg]\nVERS=Version 1.27\n"},
        {"truncated", "[Cfg]\nVERS=Version 1.27\nPNMBUS=3\nPROT=51\nLANG=1\nBDMO"},
        {"no section", "VERS=Version 1.27\nPROT=50\n"},
        {"binary", QByteArray(Binary, sizeof Binary - 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteIni(c.content);
        auto windows = Start();
        ExpectSoundWindow(windows->Main());
        Stop(windows);

        // What was written reads back within every range.
        QSettings ini(IniPath(), QSettings::IniFormat);
        EXPECT_EQ(ini.value(QStringLiteral("Cfg/VERS")).toString(), QStringLiteral("Version 1.27"));
        const int prot = ini.value(QStringLiteral("Cfg/PROT")).toInt();
        EXPECT_TRUE(prot >= 50 && prot <= 52) << prot;
        const int lang = ini.value(QStringLiteral("Cfg/LANG")).toInt();
        EXPECT_TRUE(lang == 1 || lang == 2) << lang;
        const int size = ini.value(QStringLiteral("Cfg/SIZE")).toInt();
        EXPECT_TRUE(size == 1 || size == 2) << size;
    }
}

TEST_F(SettingsTest, DamagedValuesKeepTheirDefaultsNotAWrappedValue)
{
    // 257 - 1 would be English in a byte; 4294967348 would be 52 in 32 bits.
    WriteIni("[Cfg]\nVERS=Version 1.27\nLANG=257\nPROT=4294967348\nPNMBUS=256\nBDMODBUS=10\nSGDL1=100000\n");
    auto windows = Start();
    TMainForm& f = windows->Main();
    EXPECT_EQ(f.Language, 1);
    EXPECT_EQ(f.TransportCode, tcModbusTcp);
    EXPECT_EQ(f.MbusPortIndex, 0);
    EXPECT_EQ(f.ModbusBaudIndex, 6);
    EXPECT_EQ(f.StringGrid_DemandLogger->ColWidth(1), 80);
}

// Every number of the file: a text that is not wholly a decimal, and a value
// beyond the key's list, give the key's default; a sound value is taken.
TEST_F(SettingsTest, NumbersThatDoNotReadFullyOrFitTheListGiveTheDefault)
{
    const struct {
        const char* key;
        const char* sound;
        const char* beyond; // nullptr: a flag, every number is one of its states
        int taken, fallback;
        int (*shown)(const TMainForm&);
    } keys[] = {
        {"PNMBUS", "11", "256", 11, 0, [](const TMainForm& f) { return f.MbusPortIndex.load(); }},
        {"PNMODBUS", "4", "-1", 4, 0, [](const TMainForm& f) { return f.ModbusPortIndex.load(); }},
        {"BDMBUS", "5", "6", 5, 3, [](const TMainForm& f) { return f.MbusBaudIndex.load(); }},
        {"BDMODBUS", "9", "10", 9, 6, [](const TMainForm& f) { return f.ModbusBaudIndex.load(); }},
        {"SMODEMODBUS", "2", "4", 2, 0, [](const TMainForm& f) { return f.SerialModeIndex.load(); }},
        {"PROT", "51", "53", 51, 52, [](const TMainForm& f) { return int(f.TransportCode.load()); }},
        {"LANG", "1", "3", 0, 1, [](const TMainForm& f) { return int(f.Language); }},
        {"REFR", "2", "5", 2, 0, [](const TMainForm& f) { return f.ComboBox_DisplayRefresh->currentIndex(); }},
        {"SIZE", "2", "3", 2, 1, [](const TMainForm& f) { return int(f.WindowSize); }},
        {"DEMWINSZ", "1", nullptr, 1, 0, [](const TMainForm& f) { return f.DemandWindowSetting; }},
        {"SGDL1", "120", "2001", 120, 80, [](const TMainForm& f) { return f.StringGrid_DemandLogger->ColWidth(1); }},
        {"SGCL2", "150", "-1", 150, 135,
         [](const TMainForm& f) { return f.StringGrid_CertifiedLogger->ColWidth(2); }},
    };
    // "sound" and "beyond" write each key's own value; the others write the text to every key.
    for (const char* value : {"sound", "beyond", "1e9", "7x", "", "0x3", "2.0", "99999999999"}) {
        SCOPED_TRACE(value);
        const std::string v = value;
        QByteArray ini = "[Cfg]\nVERS=Version 1.27\n";
        for (const auto& k : keys) {
            const char* text = v == "sound" ? k.sound : v == "beyond" ? k.beyond : value;
            if (text) ini += QByteArray(k.key) + '=' + text + '\n';
        }
        WriteIni(ini);
        auto windows = Start();
        for (const auto& k : keys) {
            if (v == "beyond" && !k.beyond) continue;
            EXPECT_EQ(k.shown(windows->Main()), v == "sound" ? k.taken : k.fallback) << k.key;
        }
        Stop(windows);
    }
}

TEST_F(SettingsTest, RefreshIndexBeyondTheTransportsListTakesTheFirstChoice)
{
    // M-Bus offers three intervals, Modbus TCP five.
    WriteIni("[Cfg]\nVERS=Version 1.27\nPROT=50\nLANG=1\nREFR=4\nBDMBUS=2\n");
    auto windows = Start();
    TMainForm& f = windows->Main();
    EXPECT_EQ(f.TransportCode, tcMBus);
    EXPECT_EQ(f.ComboBox_DisplayRefresh->count(), 3);
    EXPECT_EQ(f.ComboBox_DisplayRefresh->currentIndex(), 0);
    EXPECT_EQ(f.ComboBox_Setup_DeviceBaudrate->currentIndex(), 2);
    // M-Bus always runs 8E1.
    EXPECT_EQ(f.ComboBox_Setup_DeviceSerialMode->currentIndex(), 0);
    EXPECT_EQ(f.PortParity, 1);
}

TEST_F(SettingsTest, ClosingBeforeTheFirstActivationLeavesTheFileAlone)
{
    const QByteArray content = "[Cfg]\nVERS=Version 1.27\nPROT=50\nLANG=1\n";
    WriteIni(content);
    {
        TToolWindows windows;
        windows.Main().close();
    }
    QFile file(IniPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), content);
}

TEST_F(SettingsTest, EachBrandHasItsOwnFile)
{
    EXPECT_EQ(SettingsFilePath(1), config_.path() + QStringLiteral("/TORVA_ORBICOUNT_TOOL.ini"));
    EXPECT_EQ(SettingsFilePath(2), config_.path() + QStringLiteral("/NOLD_QSL_Setup_Tool.ini"));
    EXPECT_EQ(SettingsFilePath(0), SettingsFilePath(1));
}

TEST_F(SettingsTest, StoreReadsDefaultsForMissingOrUnreadableValues)
{
    WriteIni("[Cfg]\nN=42\nNEG=-3\nT=abc\nBIG=99999999999\nS=text\nCOMMA=a,b\n[Other]\nN=7\n");
    SettingsStore store(IniPath());
    EXPECT_EQ(store.ReadInteger("Cfg", "N", 1), 42);
    EXPECT_EQ(store.ReadInteger("Cfg", "NEG", 1), -3);
    EXPECT_EQ(store.ReadInteger("Cfg", "T", 1), 1);
    EXPECT_EQ(store.ReadInteger("Cfg", "BIG", 1), 1);
    EXPECT_EQ(store.ReadInteger("Cfg", "MISSING", 5), 5);
    EXPECT_EQ(store.ReadInteger("Other", "N", 0), 7);
    EXPECT_EQ(store.ReadString("Cfg", "S", "d"), "text");
    EXPECT_EQ(store.ReadString("Cfg", "COMMA", "d"), "a,b");
    EXPECT_EQ(store.ReadString("Cfg", "MISSING", "d"), "d");

    store.WriteString("Cfg", "S", " blanks kept ");
    store.WriteInteger("Cfg", "N", -12);
    ASSERT_TRUE(store.Flush());
    SettingsStore again(IniPath());
    EXPECT_EQ(again.ReadString("Cfg", "S", "d"), " blanks kept ");
    EXPECT_EQ(again.ReadInteger("Cfg", "N", 0), -12);
}

TEST_F(SettingsTest, StoreReportsAFileThatCannotBeWritten)
{
    // A plain file where the folder should be: nothing can be written below it.
    const QString blocker = config_.path() + QStringLiteral("/blocker");
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    SettingsStore store(blocker + QStringLiteral("/TORVA_ORBICOUNT_TOOL.ini"));
    store.WriteInteger("Cfg", "PROT", 52);
    EXPECT_FALSE(store.Flush());
}

} // namespace
