// What a connect shows: the identity of the device on the Setup page and the
// device-information column, and the window fitted to what the device offers
// (phase groups of its measuring connection, logger tabs and demand columns,
// transformer ratios, web server). Also the emptying of every value display
// that a newly connected device starts from.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>
#include <initializer_list>

#include "app/MainForm.h"
#include "app/Shape.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "app/WidgetHelpers.h"

namespace {

constexpr uint32_t ClrGreen = 0x00FF00;

// Tabs of the Logger page, in their order.
constexpr int DemandTab = 0;
constexpr int CertifiedTab = 2;

QString FromUtf8(const std::string& s) { return QString::fromStdString(s); }

void SetTabShown(QTabWidget* tabs, int index, bool shown)
{
    if (index < tabs->count()) tabs->setTabVisible(index, shown);
}
void SetHeader(TStringGrid* g, int col, const QString& t)
{
    if (col < g->ColCount() && g->RowCount() > 0) g->SetCell(col, 0, t);
}

// Empties columns [firstCol, lastCol] of rows [1, lastRow], as far as the grid has them.
void ClearGridCells(TStringGrid* g, int firstCol, int lastCol, int lastRow)
{
    if (!g) return;
    const int rows = std::min(lastRow, g->RowCount() - 1);
    const int cols = std::min(lastCol, g->ColCount() - 1);
    for (int row = 1; row <= rows; ++row)
        for (int col = firstCol; col <= cols; ++col) g->SetCell(col, row, QString());
}

// The product name field is fixed-size in the answer; what follows its first
// zero byte is padding.
QString ProductName(const std::string& field)
{
    return FromUtf8(field.substr(0, field.find('\0')));
}

// Everything of the phase picture that depends on the measuring connection.
void HidePhasePicture(TMainForm& f)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             f.GroupBox_U1, f.GroupBox_U2, f.GroupBox_U3, f.GroupBox_U12, f.GroupBox_U13, f.GroupBox_U23,
             f.GroupBox_THD_U1, f.GroupBox_THD_U2, f.GroupBox_THD_U3, f.GroupBox_IN, f.GroupBox_I2,
             f.GroupBox_I3, f.GroupBox_THDI2, f.GroupBox_THDI3, f.GroupBox_P1, f.GroupBox_P2, f.GroupBox_P3,
             f.GroupBox_Q1, f.GroupBox_Q2, f.GroupBox_Q3, f.GroupBox_S1, f.GroupBox_S2, f.GroupBox_S3,
             f.GroupBox_PF1, f.GroupBox_PF2, f.GroupBox_PF3, f.GroupBox_QTotal, f.Label_L1, f.Label_L2,
             f.Label_L3, f.Label_N, f.Shape_L1, f.Shape_L2, f.Shape_L3, f.Shape_L1N, f.Shape_L2N, f.Shape_L3N,
             f.Shape_L13, f.Shape_N, f.Shape_Junction_L1N, f.Shape_Junction_N, f.Shape_Junction_L1,
             f.Shape_Junction_L1a, f.Shape_Junction_L1b, f.Shape_Junction_L2a, f.Shape_Junction_L2b,
             f.Shape_Junction_L3a, f.Shape_Junction_L3b, f.Shape_Junction_L2N, f.Label_IStatus_L1,
             f.Label_IStatus_L2, f.Label_IStatus_L3, f.Label_UStatus_L1, f.Label_UStatus_L2,
             f.Label_UStatus_L3, f.Label_IStatus__L1, f.Label_IStatus__L2, f.Label_IStatus__L3,
             f.Label_UStatus__L1, f.Label_UStatus__L2, f.Label_UStatus__L3})
        SetShown(w, false);
}

void ShowAll(std::initializer_list<QWidget*> widgets)
{
    for (QWidget* w : widgets) SetShown(w, true);
}

// Totals, frequency and status groups stand right of the single-phase or
// four-wire picture, or below the three-wire one.
void PlaceTotalsRight(TMainForm& f)
{
    SetLeft(f.GroupBox_PTotal, 437);
    SetLeft(f.GroupBox_QTotal, 542);
    SetLeft(f.GroupBox_PFTotal, 752);
    SetLeft(f.GroupBox_Frequency, 397);
    SetLeft(f.GroupBox_VoltageStatus, f.LayoutOffsets[6] + 560);
    SetLeft(f.GroupBox_CurrentStatus, 2 * f.LayoutOffsets[6] + 696);
}

void ShowMeasurementLayout(TMainForm& f)
{
    HidePhasePicture(f);
    for (QWidget* w : {f.GroupBox_PTotal, f.GroupBox_QTotal, f.GroupBox_STotal, f.GroupBox_PFTotal}) SetTop(w, 280);

    const std::initializer_list<QWidget*> statusL1{f.Label_IStatus_L1, f.Label_UStatus_L1, f.Label_IStatus__L1,
                                                   f.Label_UStatus__L1};
    const std::initializer_list<QWidget*> statusAll{
        f.Label_IStatus_L1,  f.Label_IStatus_L2,  f.Label_IStatus_L3,  f.Label_UStatus_L1,
        f.Label_UStatus_L2,  f.Label_UStatus_L3,  f.Label_IStatus__L1, f.Label_IStatus__L2,
        f.Label_IStatus__L3, f.Label_UStatus__L1, f.Label_UStatus__L2, f.Label_UStatus__L3};

    switch (f.ConnectionCode) {
    case ccSinglePhase:
        for (QWidget* w : {f.GroupBox_PTotal, f.GroupBox_QTotal, f.GroupBox_STotal, f.GroupBox_PFTotal})
            SetTop(w, 126);
        PlaceTotalsRight(f);
        ShowAll({f.GroupBox_U1, f.GroupBox_P1, f.GroupBox_Q1, f.GroupBox_S1, f.GroupBox_PF1, f.Label_L1, f.Label_N,
                 f.Shape_L1, f.Shape_L1N, f.Shape_N, f.GroupBox_THD_U1, f.Shape_Junction_N, f.Shape_Junction_L1});
        ShowAll(statusL1);
        break;
    case ccThreePhase3Wire:
        SetLeft(f.GroupBox_PTotal, 7);
        SetLeft(f.GroupBox_QTotal, 112);
        // Without reactive energy the power factor closes up to the active power.
        SetLeft(f.GroupBox_PFTotal, f.HasReactiveEnergy == 0 ? f.LayoutOffsets[6] + 112 : 217);
        SetLeft(f.GroupBox_Frequency, 7);
        SetLeft(f.GroupBox_VoltageStatus, f.LayoutOffsets[6] + 170);
        SetLeft(f.GroupBox_CurrentStatus, 2 * f.LayoutOffsets[6] + 306);
        SetHeight(f.Shape_L2N, 82);
        SetHeight(f.Shape_L3N, 82);
        ShowAll({f.GroupBox_U12, f.GroupBox_U13, f.GroupBox_U23, f.GroupBox_I2, f.GroupBox_I3, f.GroupBox_THDI2,
                 f.GroupBox_THDI3, f.Label_L1, f.Label_L2, f.Label_L3, f.Shape_L1, f.Shape_L2, f.Shape_L3,
                 f.Shape_L2N, f.Shape_L3N, f.Shape_L13, f.Shape_Junction_L1a, f.Shape_Junction_L1b,
                 f.Shape_Junction_L2a, f.Shape_Junction_L2b, f.Shape_Junction_L3a, f.Shape_Junction_L3b});
        ShowAll(statusAll);
        break;
    case ccThreePhase4Wire:
        PlaceTotalsRight(f);
        SetHeight(f.Shape_L2N, 433);
        SetHeight(f.Shape_L3N, 353);
        ShowAll({f.GroupBox_U1,        f.GroupBox_U2,        f.GroupBox_U3,        f.GroupBox_U12,
                 f.GroupBox_U13,       f.GroupBox_U23,       f.GroupBox_THD_U1,    f.GroupBox_THD_U2,
                 f.GroupBox_THD_U3,    f.GroupBox_IN,        f.GroupBox_I2,        f.GroupBox_I3,
                 f.GroupBox_THDI2,     f.GroupBox_THDI3,     f.GroupBox_P1,        f.GroupBox_P2,
                 f.GroupBox_P3,        f.GroupBox_Q1,        f.GroupBox_Q2,        f.GroupBox_Q3,
                 f.GroupBox_S1,        f.GroupBox_S2,        f.GroupBox_S3,        f.GroupBox_PF1,
                 f.GroupBox_PF2,       f.GroupBox_PF3,       f.GroupBox_QTotal,    f.Label_L1,
                 f.Label_L2,           f.Label_L3,           f.Label_N,            f.Shape_L1,
                 f.Shape_L2,           f.Shape_L3,           f.Shape_L1N,          f.Shape_L2N,
                 f.Shape_L3N,          f.Shape_L13,          f.Shape_N,            f.Shape_Junction_L1N,
                 f.Shape_Junction_N,   f.Shape_Junction_L1,  f.Shape_Junction_L1a, f.Shape_Junction_L1b,
                 f.Shape_Junction_L2a, f.Shape_Junction_L2b, f.Shape_Junction_L3a, f.Shape_Junction_L3b,
                 f.Shape_Junction_L2N});
        ShowAll(statusAll);
        break;
    default:
        // Not identified: the picture stays empty.
        break;
    }
}

}  // namespace

void TMainForm::ShowDeviceInfo()
{
    SetupLoggerTabs();

    if (ComboBox_Demand && ComboBox_Demand->count() > 0) ComboBox_Demand->setCurrentIndex(0);
    if (ComboBox_Events && ComboBox_Events->count() > 0) ComboBox_Events->setCurrentIndex(0);
    SetShown(GroupBox_DeviceSetup, true);
    if (ComboBox_DeviceSetup_Command) ComboBox_DeviceSetup_Command->setEnabled(true);
    SetTop(GroupBox_Setup_Display, LayoutOffsets[5] + 232);

    for (QPushButton* b : {Button_Resettable_Setup_Read, Button_Freeze_Setup_Read}) {
        if (!b) continue;
        b->setVisible(false);
        b->setEnabled(false);
    }

    if (TransportCode == tcModbusTcp) {
        QString ip = MaskEdit_IPAddress ? MaskEdit_IPAddress->displayText() : QString();
        ip.remove(QLatin1Char(' '));
        SetText(Label_DeviceAddress, QLatin1Char(' ') + ip);
    } else {
        SetText(Label_DeviceAddress, QLatin1Char(' ') + QString::number(DeviceAddress.load()));
    }
    SetText(StaticText_ProductInfo,
            ProductName(ProductNameText) + QStringLiteral(", ") + FromUtf8(FirmwareText) + FromUtf8(BaseFirmwareText));
    // The primary address that a device selected by its secondary address
    // reported. Only M-Bus has secondary addressing; the choice left checked
    // from an M-Bus session must not blank a Modbus device's address, which
    // would make every read refuse as "no device".
    if (TransportCode == tcMBus && RadioButtonSecondaryAddress && RadioButtonSecondaryAddress->isChecked())
        SetText(Label_DeviceAddress, FromUtf8(DeviceAddressText));

    SetText(Label_DeviceType, FromUtf8(DeviceTypeText));
    SetText(Label_Tarif_HW, FromUtf8(TariffHwText));
    SetText(Label_Device_Options, FromUtf8(DeviceOptionsText));
    SetText(Label_Device_SerN, FromUtf8(SerialNumberText));
    SetText(Label_Secondary_Address_ID, FromUtf8(SecondaryAddressIdText));
    SetText(Label_Manufacturer, FromUtf8(ManufacturerText));
    SetText(Label_Version, FromUtf8(VersionText));
    SetText(Label_Type, FromUtf8(TypeText));

    ShowConnectionState(csConnected);
    if (WebserverPresent == 1) {
        const bool enabled = WebserverEnabled == 1;
        SetText(Label_Setup_Webserver, Txt(enabled ? TxtWebserverEnabled : TxtWebserverDisabled, Language));
        SetTextColor(Label_Setup_Webserver, enabled ? ClrGreen : ClrText);
    } else {
        SetText(Label_Setup_Webserver, QString());
    }

    ShowMeasurementLayout(*this);
    FillSetupCommandList();
}

void TMainForm::SetupLoggerTabs()
{
    const int L = Language;

    const bool ratios = HasTransformerRatios == 1;
    for (QLabel* l : {Label_CT, Label_VT, Label__CT, Label__VT}) SetShown(l, ratios);
    if (ratios) {
        SetText(Label__CT, FromUtf8(CtRatioText));
        SetText(Label__VT, FromUtf8(VtRatioText));
    }

    auto captionEventsTab = [&](const LangText& caption) {
        if (GroupBox_EventsLogger) GroupBox_EventsLogger->setTitle(QLatin1Char(' ') + Txt(caption, L) + QLatin1Char(' '));
        if (PageControl_Logger && Page_EventsLogger)
            PageControl_Logger->setTabText(PageControl_Logger->indexOf(Page_EventsLogger), Txt(caption, L));
    };

    if (HasDemandLogger != 1) {
        captionEventsTab(TxtEventsLogger);
        SetShown(Label_Demand, false);
        SetShown(Label_Demand_Period, false);
        SetTabShown(PageControl_Logger, DemandTab, false);
        SetTabShown(PageControl_Logger, CertifiedTab, false);
    } else {
        SetShown(Label_Demand, true);
        SetShown(Label_Demand_Period, true);
        SetText(Label_Demand_Period, FromUtf8(DemandPeriodText));
        SetTabShown(PageControl_Logger, DemandTab, true);
        TStringGrid* grid = StringGrid_DemandLogger;
        if (DeviceVariant != 2) {
            SetTabShown(PageControl_Logger, CertifiedTab, false);
            captionEventsTab(TxtEventsLogger);
            SetHeader(grid, 3, Txt(TxtHdrPeriod, L));
            SetHeader(grid, 7, Txt(TxtHdrEQout, L));
            SetHeader(grid, 8, Txt(TxtHdrEQin, L));
            const int reactiveWidth = HasReactiveEnergy == 1 ? 95 : 0;
            if (grid) {
                grid->SetColWidth(7, reactiveWidth);
                grid->SetColWidth(8, reactiveWidth);
            }
        } else {
            captionEventsTab(TxtEvents);
            SetTabShown(PageControl_Logger, CertifiedTab, true);
            if (grid) {
                if (grid->ColWidth(3) < 75) grid->SetColWidth(3, 75);
                grid->SetColWidth(7, 0);
                grid->SetColWidth(8, 0);
            }
            SetHeader(grid, 3, Txt(TxtHdrRecordNo, L));
        }
        FillDemandItemCounts();
    }

    SetText(Label_Actual_Tariff, FromUtf8(ActualTariffText));
    SetText(Label_MainDeviceTimeDate, FromUtf8(DeviceTimeDateText));
    PlaceLoggerShapes();
}

void TMainForm::PlaceLoggerShapes()
{
    // The frame line under the logger tabs ends at the last tab shown, whose
    // place depends on the tabs and on the language's captions.
    struct Placement {
        int left, width;
    };
    static constexpr Placement English[3]{{170, 175}, {170, 202}, {170, 265}};
    static constexpr Placement German[3]{{160, 165}, {160, 225}, {160, 389}};
    if (DeviceVariant > 2) return;
    const Placement& p = (Language == 0 ? English : German)[DeviceVariant];
    SetLeft(Shape_Logger, p.left);
    if (Shape_Logger_horizontal) Shape_Logger_horizontal->resize(p.width, Shape_Logger_horizontal->height());
}

void TMainForm::ClearMeasuredValues()
{
    for (QLabel* l : std::initializer_list<QLabel*>{
             StaticText_U1,      StaticText_U2,      StaticText_U3,      StaticText_U12,     StaticText_U23,
             StaticText_U13,     StaticText_I1,      StaticText_I2,      StaticText_I3,      StaticText_IN,
             StaticText_THD_U1,  StaticText_THD_U2,  StaticText_THD_U3,  StaticText_THD_I1,  StaticText_THD_I2,
             StaticText_THD_I3,  StaticText_FREQ,    StaticText_P1,      StaticText_P2,      StaticText_P3,
             StaticText_PTOT,    StaticText_Q1,      StaticText_Q2,      StaticText_Q3,      StaticText_QTOT,
             StaticText_S1,      StaticText_S2,      StaticText_S3,      StaticText_STOT,    StaticText_PF1,
             StaticText_PF2,     StaticText_PF3,     StaticText_PFTOT,   Label_UStatus__L1,  Label_UStatus__L2,
             Label_UStatus__L3,  Label_IStatus__L1,  Label_IStatus__L2,  Label_IStatus__L3,  Label_FreqStat,
             Label_FreqStatSync})
        SetText(l, QString());

    ClearGridCells(StringGrid_FreezeCounters, 1, 4, 8);
    ClearGridCells(StringGrid_ResettableCounters, 1, 4, 8);
    ClearGridCells(StringGrid_MainCounters, 1, 4, 9);

    ClearGridCells(StringGrid_DemandLogger, 0, 10, 1099);
    ClearGridCells(StringGrid_EventsLogger, 0, 4, 299);
    ClearGridCells(StringGrid_CertifiedLogger, 0, 4, 3999);
    ClearLoggerGridRows();
    for (TStringGrid* g : {StringGrid_DemandLogger, StringGrid_EventsLogger, StringGrid_CertifiedLogger})
        if (g) g->SetRowCount(2);
}
