// What the result handler does on the UI thread when a logger read or a
// demand interval read ends: the grid filled behind the counting report, or
// the CSV file written and the number of records read reported.
#include <QCheckBox>
#include <QLabel>

#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"
#include "core/JobCodes.h"
#include "core/RecordCodes.h"
#include "loggers/LoggerHandlers.h"

namespace {

// Progress window ids of these reports.
enum : int {
    pwDemandCounting = 91,
    pwDemandSaved = 92,
    pwIntervalSaved = 95,
    pwEventsRead = 99,
    pwCertifiedCounting = 191,
    pwCertifiedSaved = 192,
};

// The counting report that the grid is filled behind.
void Counting(TMainForm& f, int id, const LangText& line)
{
    ProgrWinForm->ShowProgress(id, 0, 1, 0, 0, 1, Txt(TxtDataReading, f.Language), Txt(line, f.Language), QString(),
                               QString(), QString(), Txt(TxtCancel, f.Language), 0);
}

void Information(TMainForm& f, int id, int counting, const LangText& line)
{
    ProgrWinForm->ShowProgress(id, 0, counting, 0, 0, 1, Txt(TxtInformation, f.Language), Txt(line, f.Language),
                               QString(), QString(), QString(), Txt(TxtOk, f.Language), 0);
}

// Another window is open than the read's own: the read was cancelled after its
// last record, and the user has started a read since, whose window it is. The
// result fills its grid and leaves that window alone.
bool AnotherWindowOpen(const TMainForm& f)
{
    return ProgrWinForm->Shown && !ProgrWinForm->ShowsWindow(f.JobWindow);
}

// The read's own window, still open, turns into the closing information as the
// grid fills. Closed already (cancelled after the last record), a report would
// open a new modal window and hold the fill back until the user closes it: the
// grid is filled first then, and the report opens as the closing information.
void FillBehindReport(TMainForm& f, int id, const LangText& line, void (TMainForm::*show)(),
                      void (TMainForm::*fill)())
{
    if (AnotherWindowOpen(f)) {
        (f.*fill)();
        return;
    }
    if (!ProgrWinForm->Shown) {
        (f.*show)();
        Information(f, id, 1, line);
        return;
    }
    Counting(f, id, line);
    (f.*show)();
}

// A saved read's closing information; none in another read's window.
void SavedReport(TMainForm& f, int id, const LangText& line)
{
    if (!AnotherWindowOpen(f)) Information(f, id, 1, line);
}

void ShowDemandGrid(TMainForm& f)
{
    FillBehindReport(f, pwDemandCounting, TxtNumberOfDemandItems, &TMainForm::ShowDemandLogger,
                     &TMainForm::FillDemandLoggerGrid);
}

// The grid shows this read's records whether or not their file is written.
void DemandRead(TMainForm& f, int savedId)
{
    if (!f.CheckBox_Demand_SaveToFile->isChecked() || !f.WriteDemandLoggerCsv()) {
        ShowDemandGrid(f);
    } else {
        f.FillDemandLoggerGrid();
        SavedReport(f, savedId, TxtNumberOfDemandItems);
    }
}

void CertifiedRead(TMainForm& f)
{
    if (!f.CheckBox_Certified_SaveToFile->isChecked() || !f.WriteCertifiedLoggerCsv()) {
        FillBehindReport(f, pwCertifiedCounting, TxtNumberOfItems, &TMainForm::ShowCertifiedLogger,
                         &TMainForm::FillCertifiedLoggerGrid);
    } else {
        f.FillCertifiedLoggerGrid();
        SavedReport(f, pwCertifiedSaved, TxtNumberOfItems);
    }
}

void IntervalTable(TMainForm& f)
{
    f.ShowResultFields(rcDemandInterval);
    // A period without records empties the grid.
    if (f.IntervalRecordCount == 0) {
        f.RecordCount = 0;
        f.DemandItemCount = 0;
    }
    DemandRead(f, pwIntervalSaved);
}

} // namespace

void RegisterLoggerResults(TMainForm& f)
{
    f.SetUiAction(urDemandLoggerRead, [&f] { DemandRead(f, pwDemandSaved); });
    f.SetUiAction(urEventsLoggerRead, [&f] {
        // As FillBehindReport: with the read's window gone, the grid is filled
        // before the report opens; in another read's window there is none.
        const bool own = ProgrWinForm->ShowsWindow(f.JobWindow);
        const bool none = !ProgrWinForm->Shown;
        if (own) Information(f, pwEventsRead, 0, TxtNumberOfEventsItems);
        f.ShowEventsLogger();
        if (none) Information(f, pwEventsRead, 0, TxtNumberOfEventsItems);
    });
    f.SetUiAction(urCertifiedLoggerRead, [&f] { CertifiedRead(f); });
    f.SetUiAction(urDemandIntervalValues, [&f] { f.ShowResultFields(rcDemandInterval); });
    f.SetUiAction(urDemandIntervalTable, [&f] { IntervalTable(f); });
}
