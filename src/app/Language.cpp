// Language switching and the captions of the main window: every caption,
// grid header, help text and the connection-state display is written here
// from the message table in the current Language.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>

#include <utility>

#include "app/MainForm.h"
#include "setup/PSWin.h"
#include "app/Shape.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "app/WidgetHelpers.h"

namespace {

constexpr uint32_t ClrDisabledGroup = 0xC0C0C0;
constexpr uint32_t ClrGreen = 0x00FF00;

// The font colour of a control and of the children that take it over, in
// every state: a disabled group keeps the grey it was given.
void SetFontColor(QWidget* w, uint32_t color)
{
    QPalette p = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::WindowText, ToQColor(color));
        p.setColor(group, QPalette::ButtonText, ToQColor(color));
    }
    w->setPalette(p);
}

void SetGroupState(QGroupBox* g, bool enabled)
{
    g->setEnabled(enabled);
    SetFontColor(g, enabled ? ClrText : ClrDisabledGroup);
}

void SetCell(TStringGrid* g, int col, int row, const QString& t)
{
    if (col < g->ColCount() && row < g->RowCount()) g->SetCell(col, row, t);
}

// Row 0 and the tariff column of a counter grid; the main grid also names its
// total row.
void SetCounterGridHeaders(TStringGrid* g, int language, bool totalRow)
{
    SetCell(g, 0, 0, Txt(TxtHdrTariff, language));
    SetCell(g, 1, 0, Txt(TxtHdrEPout, language));
    SetCell(g, 2, 0, Txt(TxtHdrEPin, language));
    SetCell(g, 3, 0, Txt(TxtHdrEQout, language));
    SetCell(g, 4, 0, Txt(TxtHdrEQin, language));
    for (int tariff = 1; tariff <= 8; ++tariff) SetCell(g, 0, tariff, QLatin1Char(' ') + QString::number(tariff));
    if (totalRow) SetCell(g, 0, 9, Txt(TxtHdrTotal, language));
}

// The multi-line texts separate their lines by carriage returns, which the
// text panes take as paragraph ends.
void SetPaneText(QTextEdit* pane, const QString& text)
{
    pane->clear();
    pane->setPlainText(text);
}

} // namespace

void TMainForm::RadioButton_EnglishClick()
{
    Language = 0;
    ApplyLanguage();
}

void TMainForm::RadioButton_GermanClick()
{
    Language = 1;
    ApplyLanguage();
}

void TMainForm::ApplyLanguage()
{
    const int L = Language;
    const QString blank(QLatin1Char(' '));

    SetTabText(PageControl_Main, Page_Measurement, Txt(TxtMeasurement, L));
    SetTabText(PageControl_Main, Page_Energy, Txt(TxtEnergy, L));
    SetTabText(PageControl_Main, Page_Logger, Txt(TxtLogger, L));
    SetTabText(PageControl_Main, Page_Setup, Txt(TxtSetup, L));
    SetTabText(PageControl_Main, Page_Help, Txt(TxtHelp, L));

    // Only a known status is translated; any other text is a message of its own.
    if (Label_Setup_ConnectStatus) {
        const QString status = Label_Setup_ConnectStatus->text();
        if (status == Txt(TxtStatusDisconnected, 0) || status == Txt(TxtStatusDisconnected, 1))
            Label_Setup_ConnectStatus->setText(Txt(TxtStatusDisconnected, L));
        else if (status == Txt(TxtStatusDeviceConnected, 0) || status == Txt(TxtStatusDeviceConnected, 1))
            Label_Setup_ConnectStatus->setText(Txt(TxtStatusDeviceConnected, L));
    }

    // Measurement page. Measuring shows as stopped whatever runs; the job
    // itself goes on until its timer or the user stops it.
    SetText(Button_Measurement_StartMeasuring, Txt(TxtStartMeasuring, L));
    SetText(Label_HomeStatus, Txt(TxtStatusMeasuringStopped, L));
    SetText(GroupBox_Frequency, Txt(TxtFrequency, L));
    SetText(Label_Freq_Value, Txt(TxtValue, L));
    SetText(Label_Freq_Status, Txt(TxtStatus, L));
    SetText(Label_Freq_Synchronization, Txt(TxtSynchronization, L));
    SetText(GroupBox_VoltageStatus, Txt(TxtVoltageStatus, L));
    SetText(GroupBox_CurrentStatus, Txt(TxtCurrentStatus, L));
    // The value groups are titled by their quantity's symbol, the wiring
    // picture and the status rows by the conductor.
    const std::pair<QGroupBox*, const LangText*> valueGroups[] = {
        {GroupBox_U1, &TxtGroupU1},         {GroupBox_U2, &TxtGroupU2},         {GroupBox_U3, &TxtGroupU3},
        {GroupBox_U12, &TxtGroupU12},       {GroupBox_U23, &TxtGroupU23},       {GroupBox_U13, &TxtGroupU13},
        {GroupBox_THD_U1, &TxtGroupThdU1},  {GroupBox_THD_U2, &TxtGroupThdU2},  {GroupBox_THD_U3, &TxtGroupThdU3},
        {GroupBox_I1, &TxtGroupI1},         {GroupBox_I2, &TxtGroupI2},         {GroupBox_I3, &TxtGroupI3},
        {GroupBox_THDI1, &TxtGroupThdI1},   {GroupBox_THDI2, &TxtGroupThdI2},   {GroupBox_THDI3, &TxtGroupThdI3},
        {GroupBox_IN, &TxtGroupIN},
        {GroupBox_P1, &TxtGroupP1},         {GroupBox_P2, &TxtGroupP2},         {GroupBox_P3, &TxtGroupP3},
        {GroupBox_Q1, &TxtGroupQ1},         {GroupBox_Q2, &TxtGroupQ2},         {GroupBox_Q3, &TxtGroupQ3},
        {GroupBox_S1, &TxtGroupS1},         {GroupBox_S2, &TxtGroupS2},         {GroupBox_S3, &TxtGroupS3},
        {GroupBox_PF1, &TxtGroupPF1},       {GroupBox_PF2, &TxtGroupPF2},       {GroupBox_PF3, &TxtGroupPF3},
        {GroupBox_PTotal, &TxtPowerTotal},  {GroupBox_QTotal, &TxtReactivePowerTotal},
        {GroupBox_STotal, &TxtApparentPowerTotal}, {GroupBox_PFTotal, &TxtPowerFactorTotal},
    };
    for (const auto& [group, text] : valueGroups) SetText(group, Txt(*text, L));
    const std::pair<QLabel*, const LangText*> phaseLabels[] = {
        {Label_L1, &TxtWireL1},           {Label_L2, &TxtWireL2},           {Label_L3, &TxtWireL3},
        {Label_N, &TxtWireN},
        {Label_UStatus_L1, &TxtPhaseL1},  {Label_UStatus_L2, &TxtPhaseL2},  {Label_UStatus_L3, &TxtPhaseL3},
        {Label_IStatus_L1, &TxtPhaseL1},  {Label_IStatus_L2, &TxtPhaseL2},  {Label_IStatus_L3, &TxtPhaseL3},
    };
    for (const auto& [label, text] : phaseLabels) SetText(label, Txt(*text, L));

    // Device information beside the pages.
    SetText(Label_Tariff, Txt(TxtTariff, L));
    SetText(Label_Parameters, Txt(TxtParameters, L));
    SetText(Label_Device_Type, Txt(TxtDeviceType, L));
    SetText(Label_SerNumber, Txt(TxtSerialNumber, L));
    SetText(Label_Features, Txt(TxtFeatures, L));
    SetText(Label_ProductInfo, Txt(TxtProductInfo, L));
    SetText(Label_SecondaryAddress, Txt(TxtSecondaryAddress, L));
    SetText(Label_Sec_Manufacturer, Txt(TxtSecondaryManufacturer, L));
    SetText(Label_Sec_Version, Txt(TxtSecondaryVersion, L));
    SetText(Label_Sec_Type, Txt(TxtSecondaryType, L));
    SetText(Label_Sec_ID, Txt(TxtSecondaryId, L));
    SetText(Label_VT, Txt(TxtVtRatio, L));
    SetText(Label_CT, Txt(TxtCtRatio, L));
    SetText(Label_Demand, Txt(TxtPeriod, L));
    SetText(Label_Main_DeviceTime, Txt(TxtDeviceDateAndTime, L));

    // Energy page.
    SetText(Button_Energie_MainCounters_StartMonitoring, Txt(TxtStartMonitoring, L));
    SetText(Label_Energy_Values_Status, Txt(TxtStatusMonitoringStopped, L));
    SetText(Label_DeviceTime, Txt(TxtDeviceTime, L));
    SetText(Label_DeviceDate, Txt(TxtDeviceDate, L));
    SetText(Label_TotalOpTime, Txt(TxtTotalOperationTimeH, L));
    for (QLabel* l : {Label_Energy_Type1, Label_Energy_Type2, Label_Energy_Type3, Label_Energy_Type4})
        SetText(l, Txt(TxtEnergyType, L));
    SetText(Label_OpTime, Txt(TxtOperationTimeSinceReset, L));
    SetText(Label_Energy_Resettable_Status, Txt(TxtStatusReadyToReadData, L));
    SetText(Label_Energy_Freeze_Status, Txt(TxtStatusReadyToReadData, L));
    SetText(Button_ResettableCounters_Read, Txt(TxtResettableRead, L));
    SetText(Label_ResetTime, Txt(TxtLastResetTime, L));
    SetText(Label_ResetDate, Txt(TxtLastResetDate, L));
    SetText(GroupBox_Reset_Setup, Txt(TxtResetSetup, L));
    SetText(GroupBox_Reset_Setup_Time, Txt(TxtResetTime, L));
    SetText(GroupBox_Reset_Setup_Date, Txt(TxtResetDate, L));
    SetText(Button_Resettable_Setup_Read, Txt(TxtResetSetupRead, L));
    SetText(Button_Reset_Set_Submit, Txt(TxtResetSet, L));
    SetText(Button_FreezeCounters_Read, Txt(TxtFreezeRead, L));
    SetText(Label_FreezeTime, Txt(TxtLastFreezeTime, L));
    SetText(Label_FreezeDate, Txt(TxtLastFreezeDate, L));
    SetText(GroupBox_Freeze_Setup, Txt(TxtFreezeSetup, L));
    SetText(GroupBox_Freeze_Setup_Time, Txt(TxtFreezeTime, L));
    SetText(GroupBox_Freeze_Setup_Date, Txt(TxtFreezeDate, L));
    SetText(Button_Freeze_Setup_Read, Txt(TxtFreezeSetupRead, L));
    SetText(Button_Freeze_Set, Txt(TxtFreezeSet, L));

    // Logger page.
    SetText(Label_Note_Demand_Logger, Txt(TxtDemandLoggerNotActiveNote, L));
    SetText(CheckBoxDemandInterval, Txt(TxtInterval, L));
    SetText(LabelDemandDefault, Txt(TxtDefaultDisplay, L));
    SetText(LabelCertifiedDefault, Txt(TxtDefaultDisplay, L));
    SetText(LabelDemandIntervalFrom, Txt(TxtFrom, L));
    SetText(LabelDemandIntervalTill, Txt(TxtTill, L));
    SetText(Button_Demand_Read, Txt(TxtLoggerRead, L));
    SetText(Button_Certified_Read, Txt(TxtLoggerRead, L));
    SetText(Button_Demand_Interval_Read, Txt(TxtLoggerRead, L));
    SetText(Label_Demand_Items, Txt(TxtDemandItems, L));
    SetText(CheckBox_Demand_SaveToFile, Txt(TxtDemandSaveToFile, L));
    SetText(CheckBox_Certified_SaveToFile, Txt(TxtDemandSaveToFile, L));
    SetText(CheckBoxIntervalToTable, Txt(TxtToTable, L));
    SetText(Button_Events_Read, Txt(TxtEventsRead, L));
    SetText(Label_Events_Items, Txt(TxtEventsItems, L));
    SetText(CheckBox_Events_SaveToFile, Txt(TxtEventsSaveToFile, L));
    SetText(LabelDemandStatus, Txt(TxtDemandStatusLegendOpen, L));
    SetText(Label_DemandLogger_Help_In_X, Txt(TxtCloseMark, L));

    // Setup page.
    SetText(Label_IP_Address, Txt(TxtSetupIpAddress, L));
    SetText(Label_Baudrate, Txt(TxtBaudRate, L));
    SetText(GroupBox_CommunicationSetup, Txt(TxtCommunicationSetup, L));
    SetText(GroupBox_Setup_Protocol, Txt(TxtNetworkProtocol, L));
    SetText(RadioButton_MBus, Txt(TxtMbus, L));
    SetText(RadioButton_Modbus_RTU, Txt(TxtModbusRtu, L));
    SetText(RadioButton_Modbus_TCPIP, Txt(TxtModbusTcpIp, L));
    SetText(GroupBox_Setup_Port, Txt(TxtSerialPort, L));
    SetText(GroupBox_Setup_TCPIP, Txt(TxtTcpIpConnection, L));
    SetText(GroupBox_DeviceAddress, Txt(TxtDeviceAddress, L));
    SetText(GroupBox_Setup_Display, Txt(TxtDisplaySetup, L));
    SetText(Label_RefreshTime, Txt(TxtUpdateIntervalMeasurement, L));
    SetText(GroupBox_Setup_Language, Txt(TxtLanguage, L));
    SetText(GroupBox_Window, Txt(TxtWindowSize, L));
    SetText(RadioButton_Large, Txt(TxtLarge, L));
    SetText(RadioButton_Small, Txt(TxtSmall, L));
    SetText(RadioButton_English, Txt(TxtEnglish, L));
    SetText(RadioButton_German, Txt(TxtGerman, L));
    SetText(CheckBoxAdministrator, Txt(TxtShowCommunicationForExperts, L));
    SetText(Button_Setup_SerialPort_Refresh, Txt(TxtDeviceAddressScan, L));
    SetText(GroupBox_Network, Txt(TxtNetwork, L));

    SetText(Label_PrimaryAddress, Txt(TransportCode == tcModbusTcp ? TxtIpAddress : TxtAddress, L));

    // Sub-pages: the tab takes the plain text, the group box on it the text
    // framed by blanks.
    auto subPage = [&](QTabWidget* tabs, QWidget* page, QGroupBox* group, const LangText& text) {
        SetTabText(tabs, page, Txt(text, L));
        SetText(group, blank + Txt(text, L) + blank);
    };
    subPage(PageControl_Energy, Page_Values, GroupBox_MainCounters, TxtValues);
    subPage(PageControl_Energy, Page_ResettableCounters, GroupBox_ResettableCounters, TxtResettableValues);
    subPage(PageControl_Energy, Page_FreezeCounters, GroupBox_FreezeCounters, TxtFreezeValues);
    subPage(PageControl_Logger, Page_DemandLogger, GroupBox_DemandLogger, TxtDemandLogger);
    subPage(PageControl_Logger, Page_CertifiedLogger, GroupBox_CertifiedLogger, TxtCertifiedLogger);
    subPage(PageControl_Logger, Page_EventsLogger, GroupBox_EventsLogger,
            DeviceVariant == 2 ? TxtEvents : TxtEventsLogger);
    SetText(GroupBoxDemandInterval, blank + Txt(TxtInterval, L) + blank);

    // German words are longer: the decorative shapes and the default mark move.
    const bool english = L == 0;
    if (Shape_Energy) Shape_Energy->move(english ? 116 : 102, Shape_Energy->y());
    if (Shape_Energie_Horizontal)
        Shape_Energie_Horizontal->resize(english ? 275 : 293, Shape_Energie_Horizontal->height());
    if (LabelCertifiedDefault) LabelCertifiedDefault->move(english ? 568 : 510, LabelCertifiedDefault->y());
    PlaceLoggerShapes();

    if (Label_Setup_Webserver) {
        if (WebserverPresent) {
            const bool on = WebserverEnabled == 1;
            Label_Setup_Webserver->setText(Txt(on ? TxtWebserverEnabled : TxtWebserverDisabled, L));
            SetFontColor(Label_Setup_Webserver, on ? ClrGreen : ClrText);
        } else {
            Label_Setup_Webserver->setText(QString());
        }
    }

    const QString address = Label_DeviceAddress ? Label_DeviceAddress->text() : QString();
    ShowConnectionState(address.isEmpty() || address == Txt(TxtNoValue, L) ? csDisconnected : csConnected);

    SetText(Label_Setup_Address, Txt(TxtSetupAddress, L));
    SetText(RadioButtonPrimaryAddress, Txt(TxtSetupPrimary, L));
    SetText(RadioButtonSecondaryAddress, Txt(TxtSetupSecondary, L));
    SetText(Button_Setup_SearchDevices, Txt(TxtNetworkScan, L));
    SetText(RadioButton_Scan_Address, Txt(TxtScanByAddress, L));
    SetText(RadioButton_Scan_Baudrate, Txt(TxtScanByBaudRate, L));
    SetText(Label_Devices, Txt(TxtDevicesAddress, L));
    SetText(GroupBox_DeviceSetup, Txt(TxtDeviceSetup, L));
    SetText(Label_Setup_Command, Txt(TxtCommand, L));
    SetText(CheckBox_ToAllDevices, Txt(TxtAllDevicesInNetwork, L));
    SetText(CheckBox_SendPCTimeDate, Txt(TxtPcDateTimeToDevice, L));
    SetText(Button_Setup_DateTime_Read, Txt(TxtDateTimeRead, L));
    SetText(Button_SendToDevice, Txt(TxtSendToDevice, L));

    FillSetupCommandList();
    if (PSWinForm) PSWinForm->LocalizePSFieldDialog(Language);
    SetGridHeaders();
    ShowHelpTexts();

    if (RichEdit_DemandLogger_Help_In && !RichEdit_DemandLogger_Help_In->isHidden()) {
        QString legend = Txt(english ? TxtDemandStatusLegendEn : TxtDemandStatusLegendDe);
        if (DeviceVariant == 2)
            legend += QLatin1Char('\r') + Txt(english ? TxtDemandStatusLegend2En : TxtDemandStatusLegend2De);
        SetPaneText(RichEdit_DemandLogger_Help_In, legend);
    }

    // The title names the page actually shown (the Help page at start-up), in
    // the new language, once every tab carries its new caption.
    ShowPageTitle();
}

void TMainForm::SetGridHeaders()
{
    const int L = Language;

    SetCounterGridHeaders(StringGrid_MainCounters, L, true);
    SetCounterGridHeaders(StringGrid_ResettableCounters, L, false);
    SetCounterGridHeaders(StringGrid_FreezeCounters, L, false);

    TStringGrid* d = StringGrid_DemandLogger;
    const bool largeLogger = DeviceVariant == 2;
    SetCell(d, 0, 0, Txt(TxtHdrIndex, L));
    SetCell(d, 1, 0, Txt(TxtHdrDate, L));
    SetCell(d, 2, 0, Txt(TxtHdrTime, L));
    SetCell(d, 3, 0, largeLogger ? QString() : Txt(TxtHdrPeriod, L));
    SetCell(d, 4, 0, Txt(TxtHdrTariff2, L));
    SetCell(d, 5, 0, Txt(TxtHdrEPout, L));
    SetCell(d, 6, 0, Txt(TxtHdrEPin, L));
    if (DemandExtraColumn) {
        SetCell(d, 7, 0, Txt(TxtHdrPavgP, L));
        SetCell(d, 8, 0, Txt(TxtHdrEQout, L));
        SetCell(d, 9, 0, Txt(TxtHdrEQin, L));
        SetCell(d, 10, 0, Txt(TxtHdrStatus12, L));
    } else if (!largeLogger) {
        SetCell(d, 7, 0, Txt(TxtHdrEQout, L));
        SetCell(d, 8, 0, Txt(TxtHdrEQin, L));
        SetCell(d, 9, 0, Txt(TxtHdrStatus12, L));
    } else {
        // The large demand logger numbers its records and keeps no reactive energies.
        SetCell(d, 3, 0, Txt(TxtHdrRecordNo, L));
        SetCell(d, 7, 0, QString());
        SetCell(d, 8, 0, QString());
        SetCell(d, 9, 0, Txt(TxtHdrStatus12, L));
    }

    TStringGrid* c = StringGrid_CertifiedLogger;
    SetCell(c, 0, 0, Txt(TxtHdrIndex, L));
    SetCell(c, 1, 0, Txt(TxtHdrEntryId, L));
    SetCell(c, 2, 0, Txt(TxtHdrOldTime, L));
    SetCell(c, 3, 0, Txt(TxtHdrNewTime, L));
    SetCell(c, 4, 0, Txt(TxtHdrEventHex, L));
    SetCell(c, 5, 0, Txt(TxtHdrChecksumHex, L));

    TStringGrid* e = StringGrid_EventsLogger;
    SetCell(e, 0, 0, Txt(TxtHdrIndex, L));
    SetCell(e, 1, 0, Txt(TxtHdrDate, L));
    SetCell(e, 2, 0, Txt(TxtHdrTime, L));
    SetCell(e, 3, 0, Txt(TxtHdrEventHex, L));
    SetCell(e, 4, 0, Txt(TxtHdrParameterHex, L));

    FillDemandItemCounts();
}

void TMainForm::FillDemandItemCounts()
{
    if (!ComboBox_Demand) return;
    static constexpr int common[] = {10, 50, 100, 500, 1000, 5000, 10000};
    static constexpr int largeLogger[] = {20000, 50000, 100000, 150000, 168000};
    // The count typed or chosen so far stays; only the choices change.
    const QString count = ComboBox_Demand->currentText();
    ComboBox_Demand->clear();
    for (int n : common) ComboBox_Demand->addItem(QString::number(n));
    if (DeviceVariant == 2) {
        for (int n : largeLogger) ComboBox_Demand->addItem(QString::number(n));
    } else {
        ComboBox_Demand->addItem(QString::number(16000));
    }
    if (ComboBox_Demand->isEditable())
        ComboBox_Demand->setEditText(count);
    else
        ComboBox_Demand->setCurrentIndex(ComboBox_Demand->findText(count));
}

void TMainForm::ShowConnectionState(int state)
{
    if (state != csDisconnected && state != csConnected) return;
    const int L = Language;
    const bool disconnected = state == csDisconnected;

    SetText(Button_Setup_Device_Connect, Txt(disconnected ? TxtConnectDevice : TxtDisconnect, L));
    if (disconnected) {
        if (Label_Setup_ConnectStatus) {
            Label_Setup_ConnectStatus->setText(Txt(TxtStatusDisconnected, L));
            SetFontColor(Label_Setup_ConnectStatus, ClrText);
        }
        ShowComActivity(caNone);
        SetText(Label_Tarif_HW, QString());
    }

    // While connected, transport, port, baud rate, framing and address stay as they are.
    for (QGroupBox* g :
         {GroupBox_Setup_Protocol, GroupBox_DeviceAddress, GroupBox_Network, GroupBox_Setup_TCPIP, GroupBox_Setup_Port})
        SetGroupState(g, disconnected);
    for (QComboBox* c : {ComboBox_Setup_Port_MBus, ComboBox_Setup_Port_ModBus, ComboBox_Setup_DeviceBaudrate})
        if (c) c->setEnabled(disconnected);
    // Only the transport selection enables the framing choice, for Modbus RTU.
    if (!disconnected && ComboBox_Setup_DeviceSerialMode) ComboBox_Setup_DeviceSerialMode->setEnabled(false);

    if (Button_Setup_SerialPort_Refresh) Button_Setup_SerialPort_Refresh->setVisible(disconnected);
    // Modbus TCP has no bus to scan: its scan group stays hidden when the
    // connection ends or the language changes.
    if (GroupBox_Network) GroupBox_Network->setVisible(disconnected && TransportCode != tcModbusTcp);
}

void TMainForm::ShowHelpTexts()
{
    const bool english = Language == 0;
    const char* about = Brand == 2 ? (english ? TxtAboutBrand2En : TxtAboutBrand2De)
                                   : (english ? TxtAboutBrand1En : TxtAboutBrand1De);
    SetPaneText(RichEdit_Help, Txt(about) + QLatin1Char('\r') + Txt(english ? TxtHelpContentsEn : TxtHelpContentsDe));
    SetPaneText(RichEdit_EventsLogger_Help, Txt(english ? TxtDiagnosticEventCodesEn : TxtDiagnosticEventCodesDe));
    SetPaneText(RichEdit_CertifiedLogger_Help, Txt(english ? TxtEventCodesEn : TxtEventCodesDe));
}
