// The Setup page's command list: the commands each transport and device
// offers, the editor each command shows, the refill on a language switch, and
// the checks that refuse a value before anything is sent.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

#include "FormTest.h"
#include "app/MainForm.h"

namespace {

QStringList Items(const QComboBox* c)
{
    QStringList items;
    for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
    return items;
}

class SetupCommandListTest : public FormTest {
protected:
    void SetUp() override
    {
        MakeForm();
        form->Language = 0;
    }
    void Choose(const QString& text)
    {
        QComboBox* list = form->ComboBox_DeviceSetup_Command;
        const int index = list->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        list->setCurrentIndex(index);
        Q_EMIT list->activated(index);
    }
    QStringList Shown() const
    {
        QStringList shown;
        for (QWidget* w : std::initializer_list<QWidget*>{
                 form->MaskEdit_Set_Address, form->MaskEdit_Setup_SecondaryAddress, form->ComboBox_Change_Baudrate,
                 form->MaskEdit_VT, form->MaskEdit_CT, form->ComboBox_Set_Demand_Period, form->MaskEdit_Change_Time,
                 form->ComboBox_Tariff, form->MaskEdit_Change_Date, form->Button_Setup_DateTime_Read,
                 form->CheckBox_SendPCTimeDate, form->CheckBox_ToAllDevices, form->ComboBox_Set_Webserver})
            if (!w->isHidden()) shown << w->objectName();
        return shown;
    }
};

TEST_F(SetupCommandListTest, EachTransportAndDeviceOffersItsCommands)
{
    struct Case {
        char transport;
        uint8_t demandLogger, variant, ratios, webserver;
        QStringList expected;
    };
    const QStringList dateTariff{"Set Date[YYYY-MM-DD] Time[HH:MM:SS]", "Set Tariff"};
    const Case cases[] = {
        {tcModbusTcp, 1, 1, 1, 1,
         dateTariff + QStringList{"Set Demand Period [Minute]", "Set Voltage Transformer (VT) Ratio",
                                  "Set Current Transformer (CT) Ratio", "Set Webserver"}},
        {tcModbusTcp, 0, 1, 0, 0, dateTariff},
        {tcModbusRtu, 1, 1, 0, 1,
         QStringList{"Set Device Address"} + dateTariff +
             QStringList{"Set Device Baudrate", "Set Demand Period [Minute]"}},
        // Variant 2 sets its demand period otherwise; no web server over a serial line.
        {tcMBus, 1, 2, 1, 1,
         QStringList{"Set Device Primary Address", "Set Device Secondary Address"} + dateTariff +
             QStringList{"Set Device Baudrate", "Set Voltage Transformer (VT) Ratio",
                         "Set Current Transformer (CT) Ratio", "PS-Field Configuration"}},
    };
    for (const Case& c : cases) {
        form->TransportCode = c.transport;
        form->HasDemandLogger = c.demandLogger;
        form->DeviceVariant = c.variant;
        form->TransformerRatiosSettable = c.ratios;
        form->WebserverPresent = c.webserver;
        form->FillSetupCommandList();
        EXPECT_EQ(Items(form->ComboBox_DeviceSetup_Command), c.expected) << c.transport;
        EXPECT_EQ(form->ComboBox_DeviceSetup_Command->currentIndex(), 0);
        const QStringList firstEditor =
            c.transport == tcModbusTcp ? QStringList{"MaskEdit_Change_Time", "MaskEdit_Change_Date",
                                                     "Button_Setup_DateTime_Read", "CheckBox_SendPCTimeDate"}
                                       : QStringList{"MaskEdit_Set_Address"};
        EXPECT_EQ(Shown(), firstEditor) << c.transport;
    }
}

TEST_F(SetupCommandListTest, EachCommandShowsItsEditor)
{
    form->TransportCode = tcMBus;
    form->TransformerRatiosSettable = 1;
    form->HasDemandLogger = 1;
    form->DeviceVariant = 1;
    form->WebserverEnabled = 1;
    form->FillSetupCommandList();
    form->ComboBox_Setup_DeviceBaudrate->setCurrentIndex(3);
    form->MaskEdit_VT->clear();
    struct Case {
        const char* command;
        QStringList shown;
    };
    const Case cases[] = {
        {"Set Device Secondary Address", {"MaskEdit_Setup_SecondaryAddress"}},
        {"Set Device Baudrate", {"ComboBox_Change_Baudrate", "CheckBox_ToAllDevices"}},
        {"Set Voltage Transformer (VT) Ratio", {"MaskEdit_VT"}},
        {"Set Date[YYYY-MM-DD] Time[HH:MM:SS]",
         {"MaskEdit_Change_Time", "MaskEdit_Change_Date", "Button_Setup_DateTime_Read", "CheckBox_SendPCTimeDate",
          "CheckBox_ToAllDevices"}},
        {"PS-Field Configuration", {}},
        {"Set Tariff", {"ComboBox_Tariff"}},
    };
    for (const Case& c : cases) {
        Choose(QString::fromLatin1(c.command));
        EXPECT_EQ(Shown(), c.shown) << c.command;
        const bool configuration = QString::fromLatin1(c.command) == QStringLiteral("PS-Field Configuration");
        EXPECT_EQ(form->Button_SendToDevice->text(),
                  configuration ? QStringLiteral("Configuration") : QStringLiteral("Send To Device"));
        EXPECT_EQ(form->Button_SendToDevice->y(), configuration ? 80 : 120) << c.command;
    }
    // Editors start at the connection's rate and at a ratio of 1.
    Choose(QStringLiteral("Set Device Baudrate"));
    EXPECT_EQ(form->ComboBox_Change_Baudrate->currentIndex(), 3);
    EXPECT_EQ(form->MaskEdit_VT->text(), QStringLiteral("1"));

    form->TransportCode = tcModbusTcp;
    form->WebserverPresent = 1;
    form->FillSetupCommandList();
    Choose(QStringLiteral("Set Webserver"));
    EXPECT_EQ(Items(form->ComboBox_Set_Webserver), (QStringList{"Enable Webserver", "Disable Webserver"}));
    EXPECT_EQ(form->ComboBox_Set_Webserver->currentIndex(), 1);
    Choose(QStringLiteral("Set Date[YYYY-MM-DD] Time[HH:MM:SS]"));
    EXPECT_TRUE(form->CheckBox_ToAllDevices->isHidden());
}

TEST_F(SetupCommandListTest, ARefilledListPutsTheSendButtonBackForItsFirstCommand)
{
    // "Configuration" chosen on M-Bus, then Modbus TCP chosen and connected.
    form->SetProtocolMode(pmMBus);
    Choose(QStringLiteral("PS-Field Configuration"));
    ASSERT_EQ(form->Button_SendToDevice->text(), QStringLiteral("Configuration"));
    form->SetProtocolMode(pmModbusTcp);
    form->FillSetupCommandList();
    EXPECT_EQ(form->ComboBox_DeviceSetup_Command->currentText(), QStringLiteral("Set Date[YYYY-MM-DD] Time[HH:MM:SS]"));
    EXPECT_EQ(form->Button_SendToDevice->text(), QStringLiteral("Send To Device"));
    EXPECT_EQ(form->Button_SendToDevice->y(), 120);
}

TEST_F(SetupCommandListTest, LanguageSwitchRefillsTheListInTheNewLanguage)
{
    form->TransportCode = tcModbusRtu;
    form->FillSetupCommandList();
    form->ComboBox_DeviceSetup_Command->setCurrentIndex(2);
    form->RadioButton_German->setChecked(true);
    EXPECT_EQ(form->ComboBox_DeviceSetup_Command->itemText(0), QStringLiteral("Geräteadresse einstellen"));
    EXPECT_EQ(form->ComboBox_DeviceSetup_Command->currentIndex(), 0);
}

TEST_F(SetupCommandListTest, WithoutAConnectionNothingIsSentAndTheTimerStaysQuiet)
{
    form->TransportCode = tcModbusRtu;
    form->FillSetupCommandList();
    form->MaskEdit_Set_Address->setText(QStringLiteral("5"));
    // No progress window exists here: the refusal reaches no meter and no job.
    form->ExecuteSetupCommand();
    EXPECT_EQ(form->GetJob(), 0);
    form->TimerSetup->start();
    form->TimerSetupTimer();
    EXPECT_FALSE(form->TimerSetup->isActive());
    EXPECT_EQ(form->GetJob(), 0);
}

}  // namespace
