// Loading the settings at the first activation and writing them on close.
#include "app/Settings.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <array>

#include "app/MainForm.h"
#include "app/Shape.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "core/SerialFraming.h"

namespace {

// What this version writes as "VERS"; a file with another text is not trusted.
const char* ThisVersion()
{
    return TxtVersion[1];
}

// Defaults used on a first run and for a file of another version, and in place
// of stored values the window cannot use.
constexpr int DefaultPortIndex = 0;
constexpr int DefaultMbusBaudIndex = 3;   // 2400 baud
constexpr int DefaultModbusBaudIndex = 6; // 19200 baud
constexpr int DefaultSerialMode = 0;      // 8E1
constexpr int DefaultWindowSize = 1;      // large
const std::string DefaultPrimaryAddress = "0";
const std::string DefaultSecondaryAddress = "00000000";
const std::string DefaultModbusAddress = "1";
const std::string DefaultIpAddress = "127.000.000.001";

constexpr int MbusBaudItems = 6;    // 300 to 9600
constexpr int ModbusBaudItems = 10; // 300 to 115200
constexpr int SerialModeItems = 4;

// Column widths a user can have dragged; anything else in the file is damage.
constexpr int MaxStoredColWidth = 2000;
// The grid's own width of a column it has not been told about.
constexpr int GridDefaultColWidth = 64;
constexpr int DemandStoredColumns = 11;
constexpr int CertifiedStoredColumns = 6;

constexpr std::array<const char*, DemandStoredColumns> DemandWidthNames = {
    "SGDL0", "SGDL1", "SGDL2", "SGDL3", "SGDL4", "SGDL5", "SGDL6", "SGDL7", "SGDL8", "SGDL9", "SGDL10"};
constexpr std::array<const char*, CertifiedStoredColumns> CertifiedWidthNames = {"SGCL0", "SGCL1", "SGCL2",
                                                                                 "SGCL3", "SGCL4", "SGCL5"};

// A value missing from the file leaves the member as it is; one that does not
// read fully as a number takes the default, as one out of range does
// (KeepInRange), never the member's blank 0, which for a list is its first item.
void ReadAll(TMainForm& f, const SettingsStore& s)
{
    const char* const cfg = SettingsSection;
    const auto number = [&](const char* name, int member, int fallback) {
        return s.ReadInteger(cfg, name, member, fallback);
    };
    f.VersionSetting = s.ReadString(cfg, "VERS", f.VersionSetting);
    f.MbusPortIndex = number("PNMBUS", f.MbusPortIndex, DefaultPortIndex);
    f.ModbusPortIndex = number("PNMODBUS", f.ModbusPortIndex, DefaultPortIndex);
    f.MbusBaudIndex = number("BDMBUS", f.MbusBaudIndex, DefaultMbusBaudIndex);
    f.ModbusBaudIndex = number("BDMODBUS", f.ModbusBaudIndex, DefaultModbusBaudIndex);
    f.SerialModeIndex = number("SMODEMODBUS", f.SerialModeIndex, DefaultSerialMode);
    f.ProtocolSetting = number("PROT", f.ProtocolSetting, pmModbusTcp);
    f.LanguageSetting = number("LANG", f.LanguageSetting, f.DefaultLanguage + 1);
    f.RefreshSetting = number("REFR", f.RefreshSetting, 0);
    f.PrimaryAddressSetting = s.ReadString(cfg, "ADDRPR", f.PrimaryAddressSetting);
    f.SecondaryAddressSetting = s.ReadString(cfg, "ADDRSEC", f.SecondaryAddressSetting);
    f.ModbusAddressSetting = s.ReadString(cfg, "ADDRMDB", f.ModbusAddressSetting);
    f.IpAddressSetting = s.ReadString(cfg, "ADDRTCP", f.IpAddressSetting);
    f.WindowSizeSetting = number("SIZE", f.WindowSizeSetting, DefaultWindowSize);
    f.DemandWindowSetting = number("DEMWINSZ", f.DemandWindowSetting, 0);
    for (int c = 0; c < DemandStoredColumns; ++c)
        f.DemandColWidthSettings[c] = s.ReadInteger(cfg, DemandWidthNames[c], f.DemandColWidthSettings[c]);
    for (int c = 0; c < CertifiedStoredColumns; ++c)
        f.CertifiedColWidthSettings[c] = s.ReadInteger(cfg, CertifiedWidthNames[c], f.CertifiedColWidthSettings[c]);
}

int ColWidthOr(const TStringGrid* grid, int col, int fallback)
{
    return grid && col < grid->ColCount() ? grid->ColWidth(col) : fallback;
}

// A width missing from the file reads as the column's default, not as 0,
// which would fold the column away.
void PresetWidthSettings(TMainForm& f)
{
    f.SetDemandGridDefaultWidths();
    f.SetCertifiedGridDefaultWidths();
    for (int c = 0; c < DemandStoredColumns; ++c)
        f.DemandColWidthSettings[c] = ColWidthOr(f.StringGrid_DemandLogger, c, GridDefaultColWidth);
    for (int c = 0; c < CertifiedStoredColumns; ++c)
        f.CertifiedColWidthSettings[c] = ColWidthOr(f.StringGrid_CertifiedLogger, c, GridDefaultColWidth);
}

void ResetToDefaults(TMainForm& f)
{
    f.Language = f.DefaultLanguage;
    f.MbusBaudIndex = DefaultMbusBaudIndex;
    f.ModbusBaudIndex = DefaultModbusBaudIndex;
    f.IpAddressSetting = DefaultIpAddress;
    f.MbusPortIndex = DefaultPortIndex;
    f.ModbusPortIndex = DefaultPortIndex;
    f.ProtocolSetting = pmModbusTcp;
    f.ModbusAddressSetting = DefaultModbusAddress;
    f.PrimaryAddressSetting = DefaultPrimaryAddress;
    f.SecondaryAddressSetting = DefaultSecondaryAddress;
    f.WindowSizeSetting = DefaultWindowSize;
    f.DemandWindowSetting = 0;
    f.SerialModeIndex = DefaultSerialMode;
    f.SetDemandGridDefaultWidths();
    f.SetCertifiedGridDefaultWidths();
}

// A width that cannot be one keeps the column's default (set before reading).
void ApplyStoredWidths(TStringGrid* grid, const int* widths, int columns)
{
    if (!grid) return;
    for (int c = 0; c < columns && c < grid->ColCount(); ++c)
        if (widths[c] >= 0 && widths[c] <= MaxStoredColWidth) grid->SetColWidth(c, widths[c]);
}

void ApplyStoredWidths(TMainForm& f)
{
    ApplyStoredWidths(f.StringGrid_DemandLogger, f.DemandColWidthSettings, f.DemandExtraColumn ? 11 : 10);
    ApplyStoredWidths(f.StringGrid_CertifiedLogger, f.CertifiedColWidthSettings, CertifiedStoredColumns);
}

// Values the file holds but the window has no place for become the defaults, so
// that no list, table or message text is ever indexed out of range.
void KeepInRange(TMainForm& f)
{
    f.MbusPortIndex = IntInRange(f.MbusPortIndex, 0, PortNameCount - 1, DefaultPortIndex);
    f.ModbusPortIndex = IntInRange(f.ModbusPortIndex, 0, PortNameCount - 1, DefaultPortIndex);
    f.MbusBaudIndex = IntInRange(f.MbusBaudIndex, 0, MbusBaudItems - 1, DefaultMbusBaudIndex);
    f.ModbusBaudIndex = IntInRange(f.ModbusBaudIndex, 0, ModbusBaudItems - 1, DefaultModbusBaudIndex);
    f.SerialModeIndex = IntInRange(f.SerialModeIndex, 0, SerialModeItems - 1, DefaultSerialMode);
    f.ProtocolSetting = IntInRange(f.ProtocolSetting, pmMBus, pmModbusTcp, pmModbusTcp);
    f.WindowSizeSetting = IntInRange(f.WindowSizeSetting, 0, 2, DefaultWindowSize);
    f.PrimaryAddressSetting = DecimalAddressOr(f.PrimaryAddressSetting, DefaultPrimaryAddress);
    f.ModbusAddressSetting = DecimalAddressOr(f.ModbusAddressSetting, DefaultModbusAddress);
    f.SecondaryAddressSetting = SecondaryAddressOr(f.SecondaryAddressSetting, DefaultSecondaryAddress);
    f.IpAddressSetting = IpAddressOr(f.IpAddressSetting, DefaultIpAddress);
}

void SetEditText(QLineEdit* e, const std::string& text)
{
    e->setText(QString::fromStdString(text));
}

// Checking a radio button runs its click handler only when it was not checked;
// the one in the same group is unchecked by it.
void Check(QRadioButton* b)
{
    b->setChecked(true);
}

void SelectItem(QComboBox* c, int index)
{
    c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
}

void ShowStoredPort(QComboBox* c, int portIndex)
{
    c->clear();
    c->addItem(QStringLiteral("COM") + QString::number(portIndex + 1));
    c->setCurrentIndex(0);
}

void PlaceLoggerPanel(TMainForm& f)
{
    const bool english = f.Language == 0;
    if (f.Shape_Logger) f.Shape_Logger->move(english ? 170 : 160, f.Shape_Logger->y());
    if (f.Shape_Logger_horizontal)
        f.Shape_Logger_horizontal->resize(english ? 308 : 389, f.Shape_Logger_horizontal->height());
}

QString EditText(const QLineEdit* e)
{
    return e ? e->text() : QString();
}

} // namespace

void TMainForm::LoadSettings()
{
    ReplaceButtonsWithColorButtons();

    SettingsRegistry = std::make_unique<SettingsStore>(SettingsFilePath(Brand));
    PresetWidthSettings(*this);
    ReadAll(*this, *SettingsRegistry);

    if (VersionSetting != ThisVersion()) {
        // The refresh index read stays in force.
        ResetToDefaults(*this);
    } else {
        Language = LanguageSetting == 1 || LanguageSetting == 2 ? static_cast<uint8_t>(LanguageSetting - 1)
                                                                : DefaultLanguage;
        ApplyStoredWidths(*this);
    }
    KeepInRange(*this);

    if (LabelDemandLargeArrow)
        LabelDemandLargeArrow->setText(DemandWindowSetting != 0 ? QStringLiteral("<") : QStringLiteral(">"));

    SerialChoiceShown = 0;
    TcpConnected = 0;
    PortIndex = ProtocolSetting == pmMBus ? MbusPortIndex.load() : ModbusPortIndex.load();

    SetEditText(MaskEdit_IPAddress, IpAddressSetting);
    SetEditText(MaskEdit_Setup_ModBus_Address, ModbusAddressSetting);
    SetEditText(MaskEdit_Setup_Primary_Address, PrimaryAddressSetting);
    SetEditText(MaskEdit_Setup_Sec_Address, SecondaryAddressSetting);

    // Neither language button is checked before this, so the captions are applied here once.
    Check(Language == 0 ? RadioButton_English : RadioButton_German);

    WindowSize = WindowSizeSetting == 0 ? 1 : static_cast<uint8_t>(WindowSizeSetting);
    Check(WindowSize == 2 ? RadioButton_Small : RadioButton_Large);

    TransportCode = static_cast<char>(ProtocolSetting);
    AddressingMode = amPrimary;
    SetProtocolMode(ProtocolSetting);
    Check(ProtocolSetting == pmMBus        ? RadioButton_MBus
          : ProtocolSetting == pmModbusRtu ? RadioButton_Modbus_RTU
                                                 : RadioButton_Modbus_TCPIP);

    // An index beyond the transport's list takes its first choice, as every
    // change of transport does.
    if (ComboBox_DisplayRefresh)
        ComboBox_DisplayRefresh->setCurrentIndex(
            IntInRange(RefreshSetting, 0, ComboBox_DisplayRefresh->count() - 1, 0));

    // The job runners must be in place before the worker exists; this does
    // nothing when the constructor has installed them already.
    CreateJobHost();
    CreateComThread(TransportCode);

    SetGridHeaders();

    // Only the stored port: the full list is probed when the user asks for it.
    ShowStoredPort(ComboBox_Setup_Port_MBus, MbusPortIndex);
    ShowStoredPort(ComboBox_Setup_Port_ModBus, ModbusPortIndex);

    if (ProtocolSetting == pmMBus) {
        SelectItem(ComboBox_Setup_DeviceBaudrate, MbusBaudIndex);
        SelectItem(ComboBox_Setup_DeviceSerialMode, 0);
        SetSerialFraming(*this, 0);
    } else if (ProtocolSetting == pmModbusRtu) {
        SelectItem(ComboBox_Setup_DeviceBaudrate, ModbusBaudIndex);
        SelectItem(ComboBox_Setup_DeviceSerialMode, SerialModeIndex);
        SetSerialFraming(*this, SerialModeIndex);
    }

    PlaceLoggerPanel(*this);
}

void TMainForm::FormClose()
{
    // Before the first activation nothing was loaded: writing now would replace
    // the user's file with the window's blanks.
    if (!SettingsRegistry) return;
    SettingsStore& s = *SettingsRegistry;
    const char* const cfg = SettingsSection;

    s.WriteString(cfg, "VERS", ThisVersion());
    s.WriteInteger(cfg, "PNMBUS", MbusPortIndex);
    s.WriteInteger(cfg, "PNMODBUS", ModbusPortIndex);
    s.WriteInteger(cfg, "BDMBUS", MbusBaudIndex);
    s.WriteInteger(cfg, "BDMODBUS", ModbusBaudIndex);
    s.WriteInteger(cfg, "SMODEMODBUS", SerialModeIndex);
    s.WriteInteger(cfg, "PROT", static_cast<int>(TransportCode.load()));
    s.WriteInteger(cfg, "LANG", Language + 1);
    s.WriteInteger(cfg, "REFR", ComboBox_DisplayRefresh ? ComboBox_DisplayRefresh->currentIndex() : 0);
    s.WriteString(cfg, "ADDRPR", EditText(MaskEdit_Setup_Primary_Address).toStdString());
    s.WriteString(cfg, "ADDRSEC",
                  SecondaryAddressForStore(MaskEdit_Setup_Sec_Address ? MaskEdit_Setup_Sec_Address->displayText()
                                                                      : QString()));
    s.WriteString(cfg, "ADDRMDB", EditText(MaskEdit_Setup_ModBus_Address).toStdString());
    // As the edit shows it, unfilled places included, so it reads back in place.
    s.WriteString(cfg, "ADDRTCP",
                  (MaskEdit_IPAddress ? MaskEdit_IPAddress->displayText() : QString()).toStdString());
    s.WriteInteger(cfg, "SIZE", WindowSize);
    s.WriteInteger(cfg, "DEMWINSZ",
                   LabelDemandLargeArrow && LabelDemandLargeArrow->text() == QStringLiteral(">") ? 0 : 1);
    for (int c = 0; c < DemandStoredColumns; ++c) {
        const bool stored = c < 10 || DemandExtraColumn;
        s.WriteInteger(cfg, DemandWidthNames[c],
                       stored ? ColWidthOr(StringGrid_DemandLogger, c, GridDefaultColWidth) : GridDefaultColWidth);
    }
    for (int c = 0; c < CertifiedStoredColumns; ++c)
        s.WriteInteger(cfg, CertifiedWidthNames[c], ColWidthOr(StringGrid_CertifiedLogger, c, GridDefaultColWidth));

    if (s.Flush()) return;
    // The choices of this run are lost; the user is told while the window still stands.
    qWarning("Settings could not be written to %s", qPrintable(s.FileName()));
    QMessageBox::warning(this, Txt(TxtError, Language), Txt(TxtSettingsNotSaved, Language) + s.FileName());
}
