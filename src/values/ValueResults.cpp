// What the result handler does on the UI thread when a measuring, counter,
// device clock or date-setting read ends: the values shown, the status lines,
// and the progress window of a single read closed.
#include <QLabel>

#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"
#include "core/RecordCodes.h"
#include "values/ValueReports.h"

namespace {

// A single read waits in a time-bar window, and only such a window is ended
// here. A logger read set while this read ran waits for its own result in its
// counting window, and a report is the user's to close.
void Finish()
{
    if (ProgrWinForm && ProgrWinForm->ShowsTimeBar()) ProgrWinForm->FinishProgress();
}

}  // namespace

void RegisterValueResults(TMainForm& f)
{
    f.SetUiAction(urMainCountersRead, [&f] {
        f.Label_Energy_Values_Status->setText(values::InProgressStatus(f, TxtStatusMonitoringInProgress));
        f.ShowMainCounters();
    });
    f.SetUiAction(urMeasurementRead, [&f] {
        f.Label_HomeStatus->setText(values::InProgressStatus(f, TxtStatusMeasuringInProgress));
        f.ShowMeasuredValues();
    });
    f.SetUiAction(urDeviceTimeRead, [&f] {
        Finish();
        f.ShowResultFields(rcDeviceDateTime);
        f.ShowResultFields(rcActualTariff);
        f.ShowResultFields(rcCounterGridRepaint);
    });
    f.SetUiAction(urResettableCountersRead, [&f] {
        Finish();
        f.ShowResettableCounters();
        f.Label_Energy_Resettable_Status->setText(Txt(TxtStatusReadyToReadData, f.Language));
        f.ShowResultFields(rcResetStamps);
    });
    f.SetUiAction(urFreezeCountersRead, [&f] {
        Finish();
        f.ShowFreezeCounters();
        f.Label_Energy_Freeze_Status->setText(Txt(TxtStatusReadyToReadData, f.Language));
        f.ShowResultFields(rcFreezeStamps);
    });
    f.SetUiAction(urResettableSetupRead, [&f] {
        Finish();
        f.ShowResultFields(rcResetStamps);
    });
    f.SetUiAction(urFreezeSetupRead, [&f] {
        Finish();
        f.ShowResultFields(rcFreezeStamps);
    });
}
