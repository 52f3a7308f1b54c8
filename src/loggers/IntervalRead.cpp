// The demand interval read command: the period the user typed, checked and
// cut to the quarter hour, written by the worker (job 42) over Modbus TCP; the
// meter's summary of it shown, and with "To Table" its records in the grid.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/ColorButton.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"
#include "core/DemandInterval.h"
#include "core/JobCodes.h"
#include "loggers/LoggerHandlers.h"

namespace {

constexpr int kNoAnswerReport = 82;
constexpr int kReadingReport = 85;

std::string TextOf(const QLineEdit* edit) { return edit->displayText().toStdString(); }

} // namespace

void TMainForm::Button_Demand_Interval_ReadClick()
{
    const int L = Language;
    if (!IntervalEditsValid(TextOf(MaskEditIntervalDateFrom), TextOf(MaskEditIntervalTimeFrom),
                            TextOf(MaskEditIntervalDateTill), TextOf(MaskEditIntervalTimeTill))) {
        // The request then carries zeros, and the meter answers "no data".
        MaskEditIntervalDateFrom->setText(QStringLiteral("0000-00-00"));
        MaskEditIntervalTimeFrom->setText(QStringLiteral("00:00"));
        MaskEditIntervalDateTill->setText(QStringLiteral("0000-00-00"));
        MaskEditIntervalTimeTill->setText(QStringLiteral("00:00"));
    }
    if (!DeviceIdentified(*this)) {
        ProgrWinForm->ShowProgress(kNoAnswerReport, 1, 0, 0, 0, 1, Txt(TxtError, L), Txt(TxtNoAnswerFromDevice, L),
                                   QString(), QString(), QString(), Txt(TxtOk, L), 0);
        return;
    }
    if (CheckBox_Demand_SaveToFile->isChecked() && !AskCsvFile(*this, CsvLogger::Demand)) return;
    const std::string from = IntervalPeriodText(TextOf(MaskEditIntervalDateFrom), TextOf(MaskEditIntervalTimeFrom));
    const std::string till = IntervalPeriodText(TextOf(MaskEditIntervalDateTill), TextOf(MaskEditIntervalTimeTill));
    // Only the meters on Modbus TCP keep the large logger's interval summary.
    if (TransportCode != tcModbusTcp) return;
    const bool toTable = CheckBoxIntervalToTable->isChecked();
    {
        // A running job may be sending CustomRequest.
        TPortUse use(JobHost().PortGate());
        if (BuildIntervalWrite(from, till, CustomRequest) == 0) return;
        IntervalToTable = toTable ? 1 : 0;
    }
    SetJob(jcModbusDemandInterval, toTable ? ProgrWinForm->WindowToShow() : 0);
    if (toTable)
        ProgrWinForm->ShowProgress(kReadingReport, 0, 1, 0, 0, 1, Txt(TxtDataReading, L), QString(), QString(),
                                   QString(), QString(), Txt(TxtCancel, L), IntervalRecordCount.load());
}

void ConnectIntervalRead(TMainForm& f)
{
    ConnectClick(f.Button_Demand_Interval_Read, [&f] { f.Button_Demand_Interval_ReadClick(); });
}
