// What the result handler shows when a setting write job of the worker has
// ended: the new setting in the device-information column and the outcome
// report, or, for the tariff, the outcome read back from the meter.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"
#include "core/RecordCodes.h"
#include "setup/SetupExecutor.h"

namespace setupcmd {

namespace {

enum : int {
    pwTariffLocked = 100,
    pwTariffAccepted = 101,
    pwWebserverSet = 102,
    pwVtRatioSet = 103,
    pwCtRatioSet = 104,
    pwSettingRefused = 150,
};

void Report(TMainForm& f, int id, int layout, const LangText& line1, const LangText* line2 = nullptr,
            const LangText* line3 = nullptr)
{
    if (!ProgrWinForm) return;
    const int L = f.Language;
    ProgrWinForm->ShowProgress(id, 0, 0, 0, 0, layout, Txt(TxtInformation, L), Txt(line1, L), QString(),
                               line2 ? Txt(*line2, L) : QString(), line3 ? Txt(*line3, L) : QString(), Txt(TxtOk, L),
                               0);
}

QString EditorText(const QLineEdit* e) { return e ? e->text() : QString(); }

void SetLabel(QLabel* l, const QString& text)
{
    if (l) l->setText(text);
}

void TariffOutcome(TMainForm& f)
{
    f.ShowResultFields(rcActualTariff);
    const bool locked = f.Label_Tarif_HW && !f.Label_Tarif_HW->text().isEmpty() && f.ComboBox_Tariff &&
                        f.ComboBox_Tariff->currentIndex() != 0;
    if (locked)
        Report(f, pwTariffLocked, 2, TxtTariffNotChanged, &TxtDeviceLocked);
    else if (f.DeviceVariant < 2)
        Report(f, pwTariffAccepted, 1, TxtNewSettingAccepted);
    else
        Report(f, pwTariffAccepted, 3, TxtNewTariffActivatedLine1, &TxtNewTariffActivatedLine2, &TxtNewSettingAccepted);
}

}  // namespace

void RegisterSetupResults(TMainForm& f)
{
    f.SetUiAction(urVtRatioSet, [&f] {
        SetLabel(f.Label__VT, QLatin1Char(' ') + EditorText(f.MaskEdit_VT));
        Report(f, pwVtRatioSet, 1, TxtOperationFinished2);
    });
    f.SetUiAction(urCtRatioSet, [&f] {
        SetLabel(f.Label__CT, QLatin1Char(' ') + EditorText(f.MaskEdit_CT));
        Report(f, pwCtRatioSet, 1, TxtOperationFinished2);
    });
    // urTariffSent: the sending window stays open until the read-back.
    f.SetUiAction(urDemandPeriodSet, [&f] {
        const QString period = f.ComboBox_Set_Demand_Period ? f.ComboBox_Set_Demand_Period->currentText() : QString();
        SetLabel(f.Label_Demand_Period, QLatin1Char(' ') + period + Txt(TxtUnitMinute, f.Language));
    });
    f.SetUiAction(urTariffResultRead, [&f] { TariffOutcome(f); });
    f.SetUiAction(urDateTimeSet, [&f] { Report(f, pwDateTimeSet, 1, TxtOperationFinished2); });
    f.SetUiAction(urWebserverSet, [&f] {
        Report(f, pwWebserverSet, 2, TxtOperationFinished2, &TxtReconnectionRequired);
        SetLabel(f.Label_Setup_Webserver, QString());
    });
    f.SetUiAction(urTariffNotAnswered, [&f] {
        Fail(f, pwTariffSendingMBus, Txt(TxtNoAnswerFromDevice, f.Language));
    });
    f.SetUiAction(urSettingRefused, [&f] {
        Fail(f, pwSettingRefused, Txt(TxtDeviceRefusedValue, f.Language));
    });
}

}  // namespace setupcmd
