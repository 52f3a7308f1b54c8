// Reading the energy counters: monitoring of the main counters (repeated by the
// display refresh timer), the single reads of the resettable and freeze
// counters, the 20 ms starts after a change of sub-page, and the periodic
// re-read of the device clock.
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"
#include "values/ValueReports.h"

namespace {

// Progress window ids of the counter pages.
enum : int {
    pwMonitorNoDevice = 56,
    pwMonitorPortFailed = 57,
    pwMonitorNoLink = 58,
    pwMonitorNotConnected = 59,
    pwResettableNoLink = 60,
    pwResettableNoDevice = 61,
    pwResettableReading = 62,
    pwResettableNotConnected = 63,
    pwFreezeNoLink = 64,
    pwFreezeNoDevice = 65,
    pwFreezeReading = 66,
    pwFreezeNotConnected = 67,
};

constexpr int CounterReadItemCount = 20;

uint8_t ByTransport(const TMainForm& f, uint8_t mbusJob, uint8_t modbusJob)
{
    return f.TransportCode.load() == tcMBus ? mbusJob : modbusJob;
}

struct SingleRead {
    QLabel* EnergyControls::*status;
    uint8_t mbusJob, modbusJob;
    int noLinkId, noDeviceId, progressId;
    const char* noLinkSuffix;
};

constexpr SingleRead ResettableRead{&EnergyControls::Label_Energy_Resettable_Status,
                                    jcMBusResettableCounters,
                                    jcModbusResettableCounters,
                                    pwResettableNoLink,
                                    pwResettableNoDevice,
                                    pwResettableReading,
                                    " (Error:84)"};
constexpr SingleRead FreezeRead{&EnergyControls::Label_Energy_Freeze_Status,
                                jcMBusFreezeCounters,
                                jcModbusFreezeCounters,
                                pwFreezeNoLink,
                                pwFreezeNoDevice,
                                pwFreezeReading,
                                " (Error:85)"};

void ReadCounters(TMainForm& f, const SingleRead& r, bool withProgress)
{
    if (!values::ConnectedByStatus(f)) return;
    if (!values::LinkUp(f)) {
        values::ShowErrorReport(f, r.noLinkId, TxtNoDeviceConnected, QString::fromLatin1(r.noLinkSuffix));
        return;
    }
    if (values::NoDeviceShown(f)) {
        values::ShowErrorReport(f, r.noDeviceId, TxtNoAnswerFromDevice);
        return;
    }
    const int L = f.Language;
    (f.*r.status)->setText(Txt(TxtStatusMonitoringReadingData, L));
    f.SetJob(ByTransport(f, r.mbusJob, r.modbusJob));
    if (withProgress && ProgrWinForm)
        ProgrWinForm->ShowProgress(r.progressId, 0, 0, 1, 1, 1, Txt(TxtDataReading, L), QString(), QString(),
                                   QString(), QString(), Txt(TxtCancel, L), CounterReadItemCount);
}

}  // namespace

void TMainForm::Button_Energie_MainCounters_StartMonitoringClick()
{
    if (values::ConnectedByStatus(*this))
        ToggleMainCountersMonitoring();
    else
        values::ShowErrorReport(*this, pwMonitorNotConnected, TxtNoDeviceConnected, QStringLiteral(" (Error:84)"));
}

void TMainForm::ToggleMainCountersMonitoring()
{
    if (!values::ConnectedByStatus(*this)) return;
    if (!values::LinkUp(*this)) {
        values::ShowErrorReport(*this, pwMonitorNoLink, TxtNoDeviceConnected, QStringLiteral(" (Error:83)"));
        return;
    }
    if (values::PortFailed(*this)) {
        values::ShowErrorReport(*this, pwMonitorPortFailed, TxtDeviceNotAvailable, QStringLiteral(" (Error:74)"));
        return;
    }
    if (values::NoDeviceShown(*this)) {
        values::ShowErrorReport(*this, pwMonitorNoDevice, TxtNoAnswerFromDevice);
        return;
    }
    const int L = Language;
    QPushButton* button = Button_Energie_MainCounters_StartMonitoring;
    if (button->text() == Txt(TxtStartMonitoring, L)) {
        button->setText(Txt(TxtStopMonitoring, L));
        Label_Energy_Values_Status->setText(Txt(TxtStatusMonitoringReadingData, L));
        SetJob(ByTransport(*this, jcMBusMainCounters, jcModbusMainCounters));
        Timer_Display_Refresh->setInterval(values::RefreshIntervalMs(*this));
        Timer_Display_Refresh->start();
    } else {
        button->setText(Txt(TxtStartMonitoring, L));
        Label_Energy_Values_Status->setText(Txt(TxtStatusMonitoringStopped, L));
        StopBusyIndicator();
        SetJob(jcIdle);
        Timer_Display_Refresh->stop();
        StopBusyIndicator();
    }
}

void TMainForm::Button_ResettableCounters_ReadClick()
{
    if (values::ConnectedByStatus(*this))
        ReadResettableCounters(true);
    else
        values::ShowErrorReport(*this, pwResettableNotConnected, TxtNoDeviceConnected, QStringLiteral(" (Error:84)"));
}

void TMainForm::Button_FreezeCounters_ReadClick()
{
    if (values::ConnectedByStatus(*this))
        ReadFreezeCounters(true);
    else
        values::ShowErrorReport(*this, pwFreezeNotConnected, TxtNoDeviceConnected, QStringLiteral(" (Error:84)"));
}

void TMainForm::ReadResettableCounters(bool withProgress) { ReadCounters(*this, ResettableRead, withProgress); }

void TMainForm::ReadFreezeCounters(bool withProgress) { ReadCounters(*this, FreezeRead, withProgress); }

void TMainForm::Page_EnergyShow()
{
    const int L = Language;
    Button_Energie_MainCounters_StartMonitoring->setText(Txt(TxtStartMonitoring, L));
    Label_Energy_Values_Status->setText(Txt(TxtStatusMonitoringStopped, L));
    Label_Energy_Resettable_Status->setText(Txt(TxtStatusReadyToReadData, L));
    Label_Energy_Freeze_Status->setText(Txt(TxtStatusReadyToReadData, L));
}

void TMainForm::Page_ValuesShow() { Page_EnergyShow(); }

void TMainForm::Timer_Energy_Values_Start_MeasuringTimer()
{
    Timer_Energy_Values_Start_Measuring->stop();
    const QWidget* sub = PageControl_Energy->currentWidget();
    if (sub == Page_Values)
        ToggleMainCountersMonitoring();
    else if (sub == Page_ResettableCounters)
        ReadResettableCounters(false);
    else if (sub == Page_FreezeCounters)
        ReadFreezeCounters(false);
}

void TMainForm::Timer_Energy_Resettable_Start_ReadingTimer()
{
    ReadResettableCounters(false);
    Timer_Energy_Resettable_Start_Reading->stop();
}

void TMainForm::Timer_Energy_Freeze_Start_ReadingTimer()
{
    ReadFreezeCounters(false);
    Timer_Energy_Freeze_Start_Reading->stop();
}

void TMainForm::TimerRefreshMainDeviceTimeTimer()
{
    TimerRefreshMainDeviceTime->setInterval(60000);
    if (!Timer_Display_Refresh->isActive() && values::LinkUp(*this))
        SetJob(ByTransport(*this, jcMBusDeviceTime, jcModbusDeviceTime));
}
