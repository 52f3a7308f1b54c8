// The Setup page's command list: which commands the transport and the
// connected device offer, the editor each command shows, the send button, and
// the timer that reads the tariff state back after a tariff write.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <array>

#include "app/ColorButton.h"
#include "app/MainForm.h"
#include "app/Text.h"
#include "comm/GuardedHandler.h"
#include "setup/SetupExecutor.h"

namespace {

constexpr int kSendButtonTop = 120;
constexpr int kConfigurationButtonTop = 80;

std::array<QWidget*, 13> Editors(TMainForm& f)
{
    return {f.MaskEdit_Set_Address,   f.MaskEdit_Setup_SecondaryAddress, f.ComboBox_Change_Baudrate,
            f.MaskEdit_VT,            f.MaskEdit_CT,                     f.ComboBox_Set_Demand_Period,
            f.MaskEdit_Change_Time,   f.ComboBox_Tariff,                 f.MaskEdit_Change_Date,
            f.Button_Setup_DateTime_Read, f.CheckBox_SendPCTimeDate,     f.CheckBox_ToAllDevices,
            f.ComboBox_Set_Webserver};
}

void HideEditors(TMainForm& f)
{
    for (QWidget* w : Editors(f))
        if (w) w->setVisible(false);
}

void Show(std::initializer_list<QWidget*> widgets)
{
    for (QWidget* w : widgets)
        if (w) w->setVisible(true);
}

void ShowDateTimeEditors(TMainForm& f)
{
    Show({f.Button_Setup_DateTime_Read, f.CheckBox_SendPCTimeDate, f.MaskEdit_Change_Time, f.MaskEdit_Change_Date});
}

bool Is(const QString& chosen, const LangText& command, int language) { return chosen == Txt(command, language); }

// The send button's caption and place follow the chosen command.
void PlaceSendButton(TMainForm& f)
{
    // The button is looked up each time: the colour-button replacement swaps it.
    QPushButton* send = f.Button_SendToDevice;
    if (!send || !f.ComboBox_DeviceSetup_Command) return;
    const int L = f.Language;
    const bool configuration = Is(f.ComboBox_DeviceSetup_Command->currentText(), TxtPsFieldConfigurationCmd, L);
    send->setText(Txt(configuration ? TxtConfiguration : TxtSendToDevice, L));
    send->move(send->x(), configuration ? kConfigurationButtonTop : kSendButtonTop);
}

}  // namespace

void TMainForm::FillSetupCommandList()
{
    QComboBox* list = ComboBox_DeviceSetup_Command;
    if (!list) return;
    const int L = Language;
    const char transport = TransportCode;
    struct Offer {
        const LangText& command;
        bool offered;
    };
    const Offer offers[] = {
        {TxtSetDeviceAddress, transport == tcModbusRtu},
        {TxtSetDevicePrimaryAddress, transport == tcMBus},
        {TxtSetDeviceSecondaryAddress, transport == tcMBus},
        {TxtSetDateTime, true},
        {TxtSetTariff, true},
        {TxtSetDeviceBaudrate, transport == tcMBus || transport == tcModbusRtu},
        {TxtSetDemandPeriodMinute, HasDemandLogger != 0 && DeviceVariant != 2},
        {TxtSetVoltageTransformerVtRatio, TransformerRatiosSettable != 0},
        {TxtSetCurrentTransformerCtRatio, TransformerRatiosSettable != 0},
        {TxtPsFieldConfigurationCmd, transport == tcMBus},
        {TxtSetWebserver, transport == tcModbusTcp && WebserverPresent != 0},
    };
    list->clear();
    for (const Offer& o : offers)
        if (o.offered) list->addItem(Txt(o.command, L));
    list->setCurrentIndex(0);
    PlaceSendButton(*this);

    HideEditors(*this);
    if (transport == tcModbusTcp)
        ShowDateTimeEditors(*this);
    else
        Show({MaskEdit_Set_Address});
}

void TMainForm::ComboBox_DeviceSetup_CommandChange()
{
    const int L = Language;
    if (GroupBox_DeviceSetup) GroupBox_DeviceSetup->setVisible(true);
    if (GroupBox_Setup_Display) GroupBox_Setup_Display->move(GroupBox_Setup_Display->x(), LayoutOffsets[5] + 232);
    if (ComboBox_DeviceSetup_Command) ComboBox_DeviceSetup_Command->setEnabled(true);
    HideEditors(*this);

    const QString c = ComboBox_DeviceSetup_Command ? ComboBox_DeviceSetup_Command->currentText() : QString();
    PlaceSendButton(*this);

    if (Is(c, TxtSetDeviceAddress, L) || Is(c, TxtSetDevicePrimaryAddress, L)) {
        Show({MaskEdit_Set_Address});
    } else if (Is(c, TxtSetDeviceSecondaryAddress, L)) {
        Show({MaskEdit_Setup_SecondaryAddress});
    } else if (Is(c, TxtSetDeviceBaudrate, L)) {
        Show({CheckBox_ToAllDevices, ComboBox_Change_Baudrate});
        if (ComboBox_Change_Baudrate && ComboBox_Setup_DeviceBaudrate)
            ComboBox_Change_Baudrate->setCurrentIndex(ComboBox_Setup_DeviceBaudrate->currentIndex());
    } else if (Is(c, TxtSetDemandPeriodMinute, L)) {
        Show({ComboBox_Set_Demand_Period});
        if (ComboBox_Set_Demand_Period && ComboBox_Set_Demand_Period->currentText().isEmpty())
            ComboBox_Set_Demand_Period->setCurrentIndex(0);
    } else if (Is(c, TxtSetVoltageTransformerVtRatio, L)) {
        Show({MaskEdit_VT});
        if (MaskEdit_VT && MaskEdit_VT->text().isEmpty()) MaskEdit_VT->setText(QStringLiteral("1"));
    } else if (Is(c, TxtSetCurrentTransformerCtRatio, L)) {
        Show({MaskEdit_CT});
        if (MaskEdit_CT && MaskEdit_CT->text().isEmpty()) MaskEdit_CT->setText(QStringLiteral("1"));
    } else if (Is(c, TxtSetWebserver, L)) {
        Show({ComboBox_Set_Webserver});
        if (QComboBox* web = ComboBox_Set_Webserver) {
            web->clear();
            web->addItem(Txt(TxtEnableWebserver, L));
            web->addItem(Txt(TxtDisableWebserver, L));
            // A meter whose web server is on starts at "Disable Webserver".
            web->setCurrentIndex(WebserverEnabled != 0 ? 1 : 0);
        }
    } else if (Is(c, TxtSetDateTime, L)) {
        ShowDateTimeEditors(*this);
        if (TransportCode != tcModbusTcp) Show({CheckBox_ToAllDevices});
    } else if (Is(c, TxtSetTariff, L)) {
        Show({ComboBox_Tariff});
        if (ComboBox_Tariff && ComboBox_Tariff->currentText().isEmpty()) ComboBox_Tariff->setCurrentIndex(0);
    }
}

void TMainForm::Button_SendToDeviceClick()
{
    ExecuteSetupCommand();
}

void TMainForm::TimerSetupTimer()
{
    if (TimerSetup) TimerSetup->stop();
    if (!PortOpen && !TcpConnected) return;
    SetJob(TransportCode == tcMBus ? jcMBusReadTariffResult : jcModbusReadTariffResult);
}

void TMainForm::ConnectSetupHandlers()
{
    static const char* const bound = "setupHandlersBound";
    if (property(bound).toBool()) return;
    setProperty(bound, true);

    // The user's choice only; the fill selects its first item itself.
    if (ComboBox_DeviceSetup_Command)
        QObject::connect(ComboBox_DeviceSetup_Command, &QComboBox::activated, this,
                         [this] { ComboBox_DeviceSetup_CommandChange(); });
    if (Button_SendToDevice) ConnectClick(Button_SendToDevice, Guarded([this] { Button_SendToDeviceClick(); }));
    if (Button_Setup_DateTime_Read)
        ConnectClick(Button_Setup_DateTime_Read, Guarded([this] { Button_Setup_DateTime_ReadClick(); }));
    if (TimerSetup) QObject::connect(TimerSetup, &QTimer::timeout, this, [this] { TimerSetupTimer(); });
    setupcmd::RegisterSetupResults(*this);
}
