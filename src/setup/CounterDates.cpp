#include "setup/CounterDates.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/ColorButton.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"
#include "comm/GuardedHandler.h"
#include "core/JobCodes.h"
#include "core/CounterDateFrames.h"
#include "core/SetupFrames.h"
#include "setup/SetupExecutor.h"

namespace {

// What differs between the freeze and the reset date.
struct TCounterDateSide {
    TCounterDateKind Kind;
    QLineEdit* EnergyControls::*Date;
    QLineEdit* EnergyControls::*Time;
    uint8_t ModbusSetJob;
    uint8_t MBusReadJob;
    uint8_t ModbusReadJob;
    int SetNotConnectedId;
    int SetNoAnswerId;
    int ReadNoAnswerId;
    int ReadingId;
    int ReadNotAvailableId;
};

constexpr TCounterDateSide kFreeze{TCounterDateKind::Freeze,
                                   &EnergyControls::MaskEdit_Change_FreezeDate,
                                   &EnergyControls::MaskEdit_Change_FreezeTime,
                                   jcModbusSetFreezeTime,
                                   jcMBusFreezeSetup,
                                   jcModbusFreezeSetup,
                                   68, 69, 75, 76, 77};
constexpr TCounterDateSide kReset{TCounterDateKind::Reset,
                                  &EnergyControls::MaskEdit_Change_ResettableDate,
                                  &EnergyControls::MaskEdit_Change_ResettableTime,
                                  jcModbusSetResetTime,
                                  jcMBusResettableSetup,
                                  jcModbusResettableSetup,
                                  70, 71, 72, 73, 74};

void ShowError(TMainForm& f, int id, const LangText& line, const QString& suffix = QString())
{
    if (!ProgrWinForm) return;
    ProgrWinForm->ShowProgress(id, 1, 0, 0, 0, 1, Txt(TxtError, f.Language), Txt(line, f.Language), suffix,
                               QString(), QString(), Txt(TxtOk, f.Language), 0);
}

// The device address label is blank or "- -" while nothing is connected.
bool DeviceShown(const TMainForm& f)
{
    const QString caption = f.Label_DeviceAddress->text();
    return !caption.isEmpty() && caption != Txt(TxtNoValue, f.Language);
}

void SetCounterDate(TMainForm& f, const TCounterDateSide& side)
{
    if (!DeviceShown(f)) {
        ShowError(f, side.SetNotConnectedId, TxtNoAnswerFromDevice);
        return;
    }
    QLineEdit* dateEdit = f.*side.Date;
    QLineEdit* timeEdit = f.*side.Time;
    if (!setup::IsCounterDateText(timeEdit->displayText().toStdString(), dateEdit->displayText().toStdString()))
        return setupcmd::RefuseTypedValue(f, setup::TValueCheck::DateTimeInvalid);
    const std::string time = NormalizeTimeText(timeEdit->displayText().toStdString());
    const std::string date = NormalizeDateText(dateEdit->displayText().toStdString());
    // The user sees what goes out.
    timeEdit->setText(QString::fromStdString(time));
    dateEdit->setText(QString::fromStdString(date));
    const TCounterDate value = ParseCounterDate(time, date);

    if (f.TransportCode == tcMBus) {
        const auto record = CounterDateRecord(side.Kind, value);
        const setupcmd::TDirectOutcome outcome = setupcmd::SendDirect(f, [&](std::span<uint8_t> tx) {
            return setup::BuildMBusSettingFrame(tx, setupcmd::MBusTargetOf(f, false), setup::MBusCiDataRecords,
                                                record);
        });
        if (outcome != setupcmd::TDirectOutcome::Answered) ShowError(f, side.SetNoAnswerId, TxtNoAnswerFromDevice);
        return;
    }
    if (f.TransportCode == tcModbusRtu || f.TransportCode == tcModbusTcp)
        setupcmd::StartModbusWriteJob(f, side.ModbusSetJob, CounterDateRegister(side.Kind),
                                      CounterDateRegisterBytes(value));
}

void ReadCounterDate(TMainForm& f, const TCounterDateSide& side)
{
    if (!f.PortOpen && !f.TcpConnected) {
        ShowError(f, side.ReadNotAvailableId, TxtDeviceNotAvailable, QStringLiteral(" (Error:76)"));
        f.ResetTcpConnection();
        return;
    }
    if (!DeviceShown(f)) {
        ShowError(f, side.ReadNoAnswerId, TxtNoAnswerFromDevice);
        return;
    }
    f.SetJob(f.TransportCode == tcMBus ? side.MBusReadJob : side.ModbusReadJob);
    if (ProgrWinForm)
        ProgrWinForm->ShowProgress(side.ReadingId, 0, 0, 1, 1, 1, Txt(TxtDataReading, f.Language), QString(),
                                   QString(), QString(), QString(), Txt(TxtCancel, f.Language), 20);
}

}  // namespace

void TMainForm::Button_Freeze_SetClick() { SetCounterDate(*this, kFreeze); }
void TMainForm::Button_Reset_Set_SubmitClick() { SetCounterDate(*this, kReset); }
void TMainForm::Button_Freeze_Setup_ReadClick() { ReadCounterDate(*this, kFreeze); }
void TMainForm::Button_Resettable_Setup_ReadClick() { ReadCounterDate(*this, kReset); }

void ConnectCounterDateHandlers(TMainForm& f)
{
    ConnectClick(f.Button_Freeze_Set, Guarded([&f] { f.Button_Freeze_SetClick(); }));
    ConnectClick(f.Button_Reset_Set_Submit, Guarded([&f] { f.Button_Reset_Set_SubmitClick(); }));
    ConnectClick(f.Button_Freeze_Setup_Read, Guarded([&f] { f.Button_Freeze_Setup_ReadClick(); }));
    ConnectClick(f.Button_Resettable_Setup_Read, Guarded([&f] { f.Button_Resettable_Setup_ReadClick(); }));
}
