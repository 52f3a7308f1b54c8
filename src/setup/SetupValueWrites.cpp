// The setup commands that write a value: demand period, transformer ratios,
// tariff, date and time, web server. M-Bus sends them directly (the tariff
// through a job); Modbus prepares the write for a job of the worker.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "app/MainForm.h"
#include "app/Text.h"
#include "comm/TcpClient.h"
#include "setup/SetupExecutor.h"

namespace setupcmd {

namespace {

constexpr int kModeModbusTcp = 52;

std::string Std(const QString& s) { return s.toStdString(); }

bool IsMBus(const TMainForm& f) { return f.TransportCode == tcMBus; }

// A job set while the worker is busy is only parked, and a later job (a
// display refresh) can take its place: a write waits, with the events
// flowing, until the worker is free, so it always runs.
void StartWhenWorkerFree(TMainForm& f, uint8_t job)
{
    while (f.ComThread && !f.ComThread->Suspended() && !f.ComThread->Stopping())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
    f.SetJob(job);
}

void SetLabel(QLabel* l, const QString& text)
{
    if (l) l->setText(text);
}

}  // namespace

void StartModbusWriteJob(TMainForm& f, uint8_t job, uint16_t reg, std::span<const uint8_t> data)
{
    {
        // A running job may be reading CustomRequest.
        const TPortUse use(f.JobHost().PortGate());
        setup::PrepareModbusWrite(f.CustomRequest, reg, data);
    }
    StartWhenWorkerFree(f, job);
}

void SetDemandPeriod(TMainForm& f)
{
    const QString typed = f.ComboBox_Set_Demand_Period ? f.ComboBox_Set_Demand_Period->currentText() : QString();
    const setup::TCheckedValue p = setup::CheckDemandPeriod(Std(typed));
    if (p.Check != setup::TValueCheck::Ok) return RefuseTypedValue(f, p.Check);
    if (!IsMBus(f)) {
        StartModbusWriteJob(f, jcModbusSetDemandPeriod, setup::regDemandPeriod,
                            setup::ModbusWord(static_cast<uint16_t>(p.Value)));
        return;
    }
    const TDirectOutcome outcome = SendMBusRecord(f, setup::MBusDemandPeriodRecord(static_cast<uint8_t>(p.Value)), false);
    if (outcome == TDirectOutcome::Answered)
        SetLabel(f.Label_Demand_Period, QLatin1Char(' ') + QString::number(p.Value) + Txt(TxtUnitMinute, f.Language));
    ReportOutcome(f, outcome, pwDemandPeriodSet, pwDemandPeriodFailed);
}

void SetVtRatio(TMainForm& f)
{
    const int shownCt =
        setup::ShownRatio(Std(f.Label__CT ? f.Label__CT->text() : QString()), 5, TxtNoValue[0]);
    const setup::TCheckedValue vt =
        setup::CheckVtRatio(Std(f.MaskEdit_VT ? f.MaskEdit_VT->text() : QString()), shownCt, f.TransformerCode);
    if (vt.Check != setup::TValueCheck::Ok) return RefuseTypedValue(f, vt.Check);
    const auto value = static_cast<uint16_t>(vt.Value);
    if (!IsMBus(f)) {
        StartModbusWriteJob(f, jcModbusSetVtRatio, setup::regVtRatio, setup::ModbusWord(value));
        return;
    }
    const TDirectOutcome outcome = SendMBusRecord(f, setup::MBusVtRecord(value), false);
    if (outcome == TDirectOutcome::Answered) SetLabel(f.Label__VT, QString::number(value));
    ReportOutcome(f, outcome, pwVtSet, pwVtFailed);
}

void SetCtRatio(TMainForm& f)
{
    const int shownVt =
        setup::ShownRatio(Std(f.Label__VT ? f.Label__VT->text() : QString()), 4, TxtNoValue[0]);
    const setup::TCheckedValue ct =
        setup::CheckCtRatio(Std(f.MaskEdit_CT ? f.MaskEdit_CT->text() : QString()), shownVt, f.TransformerCode);
    if (ct.Check != setup::TValueCheck::Ok) return RefuseTypedValue(f, ct.Check);
    const auto value = static_cast<uint16_t>(ct.Value);
    if (!IsMBus(f)) {
        StartModbusWriteJob(f, jcModbusSetCtRatio, setup::regCtRatio, setup::ModbusWord(value));
        return;
    }
    const TDirectOutcome outcome = SendMBusRecord(f, setup::MBusCtRecord(value), false);
    if (outcome == TDirectOutcome::Answered) SetLabel(f.Label__CT, QString::number(value));
    ReportOutcome(f, outcome, pwCtSet, pwCtFailed);
}

void SetTariff(TMainForm& f)
{
    const QString chosen = f.ComboBox_Tariff ? f.ComboBox_Tariff->currentText() : QString();
    const auto tariff = setup::TariffOfText(Std(chosen), TxtTariffHardware[f.Language]);
    if (!tariff) return;
    const auto t = static_cast<uint8_t>(*tariff);
    if (IsMBus(f)) {
        {
            const TPortUse use(f.JobHost().PortGate());
            setup::PrepareMBusTemplate(f.CustomRequest, MBusTargetOf(f, false), setup::MBusTariffRecord(t));
        }
        StartWhenWorkerFree(f, jcMBusSetTariff);
        ShowSending(f, pwTariffSendingMBus);
        return;
    }
    StartModbusWriteJob(f, jcModbusSetTariff, setup::regTariff, setup::ModbusWord(t));
    ShowSending(f, pwTariffSendingModbus);
}

void SetDateTime(TMainForm& f)
{
    std::string time, date;
    if (f.CheckBox_SendPCTimeDate && f.CheckBox_SendPCTimeDate->isChecked()) {
        const QDateTime now = QDateTime::currentDateTime();
        time = Std(now.toString(QStringLiteral("HH:mm:ss")));
        date = Std(now.toString(QStringLiteral("dd-MM-yyyy")));
    } else {
        time = setup::TimeFromEditor(Std(f.MaskEdit_Change_Time ? f.MaskEdit_Change_Time->displayText() : QString()));
        date = setup::DateFromEditor(Std(f.MaskEdit_Change_Date ? f.MaskEdit_Change_Date->displayText() : QString()));
    }
    const auto when = setup::ParseSetupDateTime(time, date);
    if (!when) return RefuseTypedValue(f, setup::TValueCheck::DateTimeInvalid);
    const QString hoursMinutes = QString::fromStdString(time.substr(0, 5));
    const QString editorDate = QString::fromStdString(setup::EditorDate(*when));
    const auto showSent = [&] {
        if (f.MaskEdit_Change_Date) f.MaskEdit_Change_Date->setText(editorDate);
        if (f.MaskEdit_Change_Time) f.MaskEdit_Change_Time->setText(QString::fromStdString(time));
        SetLabel(f.Label_MainDeviceTimeDate, editorDate + QStringLiteral("  ") + hoursMinutes);
    };
    const auto data = setup::ModbusDateTimeData(*when);

    const bool toAll = f.TransportCode != tcModbusTcp && f.CheckBox_ToAllDevices && f.CheckBox_ToAllDevices->isChecked();
    if (toAll) {
        if (IsMBus(f))
            SendMBusRecord(f, setup::MBusDateTimeRecord(*when), true);
        else
            SendDirect(f, [&](std::span<uint8_t> tx) {
                return setup::BuildModbusWriteFrame(tx, setup::ModbusBroadcastUnit, setup::regDateTime, data);
            });
        SetLabel(f.Label_MainDeviceTimeDate, QString::fromStdString(date) + QStringLiteral("  ") + hoursMinutes);
        Inform(f, pwDateTimeBroadcast, Txt(TxtOperationFinished2, f.Language));
        return;
    }
    if (IsMBus(f)) {
        if (ReportOutcome(f, SendMBusRecord(f, setup::MBusDateTimeRecord(*when), false), pwDateTimeSet,
                          pwDateTimeFailed))
            showSent();
        return;
    }
    showSent();
    StartModbusWriteJob(f, jcModbusSetDateTime, setup::regDateTime, data);
}

void SetWebserver(TMainForm& f)
{
    if (f.TransportCode != tcModbusTcp) return;
    const bool enable = f.ComboBox_Set_Webserver &&
                        f.ComboBox_Set_Webserver->currentText() == Txt(TxtEnableWebserver, f.Language);
    StartModbusWriteJob(f, jcModbusSetWebserver, setup::regWebserver, setup::ModbusWord(enable ? 1 : 0));
    ShowSending(f, pwWebserverSending);

    // The meter's web server restarts its network side: the connection ends,
    // answered or not. A job still on the socket is let finish first.
    if (f.GetJob() != 0) f.SetJob(0);
    const TPortUse use(f.JobHost().PortGate());
    if (f.Timer_Display_Refresh) f.Timer_Display_Refresh->stop();
    f.ReconnectPending = 1;
    if (f.TcpClient) f.TcpClient->Deactivate();
    f.ShowConnectionState(1);
    f.TcpConnected = 0;
    if (f.TimerIP_Connect) f.TimerIP_Connect->stop();
    f.SetProtocolMode(kModeModbusTcp);
}

}  // namespace setupcmd
