// The setup command executor: the connection test, the dispatch by the chosen
// command's text, and what all commands share: the reports, the refusal of a
// typed value, and the direct exchange of the UI thread.
#include <QComboBox>
#include <QMessageBox>

#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"
#include "comm/Transceiver.h"
#include "core/SetupFrames.h"
#include "setup/PSWin.h"
#include "setup/SetupExecutor.h"

namespace setupcmd {

namespace {

constexpr int kSendingItemEstimate = 20;
const QString kNotConnectedSuffix = QStringLiteral(" (Error:67)");

const LangText& MessageOf(setup::TValueCheck check)
{
    switch (check) {
    case setup::TValueCheck::AddressRange1247: return TxtAddressRange1247;
    case setup::TValueCheck::AddressRange0250: return TxtAddressRange0250;
    case setup::TValueCheck::DemandPeriodRange: return TxtDemandPeriod1255Minutes;
    case setup::TValueCheck::VtRange: return TxtVtValueInRange11000;
    case setup::TValueCheck::CtRange: return TxtCtValueInRange110000;
    case setup::TValueCheck::VtTimesCtTooLarge: return TxtValueVtXCtMax100000;
    case setup::TValueCheck::DateTimeInvalid:
    case setup::TValueCheck::Ok: break;
    }
    return TxtDateTimeInvalid;
}

}  // namespace

void Inform(TMainForm& f, int id, const QString& line1)
{
    if (!ProgrWinForm) return;
    const int L = f.Language;
    ProgrWinForm->ShowProgress(id, 0, 0, 0, 0, 1, Txt(TxtInformation, L), line1, QString(), QString(), QString(),
                               Txt(TxtOk, L), 0);
}

void Fail(TMainForm& f, int id, const QString& line1, const QString& suffix)
{
    if (!ProgrWinForm) return;
    const int L = f.Language;
    ProgrWinForm->ShowProgress(id, 1, 0, 0, 0, 1, Txt(TxtError, L), line1, suffix, QString(), QString(), Txt(TxtOk, L),
                               0);
}

void ShowSending(TMainForm& f, int id)
{
    if (!ProgrWinForm) return;
    const int L = f.Language;
    ProgrWinForm->ShowProgress(id, 0, 0, 1, 1, 1, Txt(TxtSendingToDevice, L), QString(), QString(), QString(),
                               QString(), Txt(TxtCancel, L), kSendingItemEstimate);
}

void RefuseTypedValue(TMainForm& f, setup::TValueCheck check)
{
    QMessageBox::warning(&f, Txt(TxtError, f.Language), Txt(MessageOf(check), f.Language));
}

TDirectOutcome SendDirect(TMainForm& f, const std::function<int(std::span<uint8_t> tx)>& build)
{
    // Waits, with the events flowing, until a running job lets go of the port;
    // TxBuffer is ours from the first byte built.
    const TPortUse use(f.JobHost().PortGate());
    const int length = build(std::span<uint8_t>(f.TxBuffer));
    if (length == 0) return TDirectOutcome::NoAnswer;
    const TExchangeResult result = TransceiveFrame(f.JobHost(), f.TxBuffer, length);
    if (setup::IsModbusExceptionAnswer(f.TransportCode, f.RxBuffer, f.RxCount, setup::ModbusWriteMultiple))
        return TDirectOutcome::Refused;
    return result == erValidAnswer ? TDirectOutcome::Answered : TDirectOutcome::NoAnswer;
}

bool ReportOutcome(TMainForm& f, TDirectOutcome outcome, int okId, int failedId)
{
    const int L = f.Language;
    switch (outcome) {
    case TDirectOutcome::Answered:
        Inform(f, okId, Txt(TxtOperationFinished2, L));
        return true;
    case TDirectOutcome::Refused:
        Fail(f, failedId, Txt(TxtDeviceRefusedValue, L));
        return false;
    case TDirectOutcome::NoAnswer:
        break;
    }
    Fail(f, failedId, Txt(TxtNoAnswerFromDevice, L));
    return false;
}

void OpenPsFieldConfiguration(TMainForm& f)
{
    // The window sends the selection itself.
    if (!PSWinForm) return;
    PSWinForm->ResetPSFieldDialog(f.Language);
    PSWinForm->exec();
}

}  // namespace setupcmd

void TMainForm::ExecuteSetupCommand()
{
    using namespace setupcmd;
    const int L = Language;
    if (!PortOpen && !TcpConnected) {
        Fail(*this, pwNotConnected, Txt(TxtDeviceNotAvailable, L), kNotConnectedSuffix);
        ResetTcpConnection();
        return;
    }
    const QString c = ComboBox_DeviceSetup_Command ? ComboBox_DeviceSetup_Command->currentText() : QString();
    struct Command {
        const LangText& text;
        void (*run)(TMainForm&);
    };
    // In this order; the first whose text matches runs.
    static const Command commands[] = {
        {TxtSetDeviceAddress, SetModbusUnitAddress},
        {TxtSetDevicePrimaryAddress, SetMBusPrimaryAddress},
        {TxtSetDeviceSecondaryAddress, SetMBusSecondaryAddress},
        {TxtSetDeviceBaudrate, SetDeviceBaudrate},
        {TxtSetDemandPeriodMinute, SetDemandPeriod},
        {TxtSetVoltageTransformerVtRatio, SetVtRatio},
        {TxtSetCurrentTransformerCtRatio, SetCtRatio},
        {TxtSetTariff, SetTariff},
        {TxtPsFieldConfigurationCmd, OpenPsFieldConfiguration},
        {TxtSetDateTime, SetDateTime},
        {TxtSetWebserver, SetWebserver},
    };
    for (const Command& command : commands) {
        if (c == Txt(command.text, L)) {
            command.run(*this);
            return;
        }
    }
}
