// The counter grids after a counter read: main counters with their time stamp
// and operating times, resettable and freeze counters with the stamp of their
// last reset or freeze (placeholders when the stamp cannot be a date), and the
// cell painting that marks the header, the total and the active tariff.
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include "app/MainForm.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "core/RecordCodes.h"
#include "core/SetupValues.h"

namespace {

// Windows' 3D-light: Linux has no such system colour.
constexpr uint32_t Clr3DLight = 0xE3E3E3;
constexpr int TariffRows = 8;
constexpr int TotalRow = 9;

QString FromUtf8(const std::string& s) { return QString::fromStdString(s); }

// DeviceTime without its seconds: "14:45:30" -> "14:45".
QString WithoutSeconds(const std::string& time) { return FromUtf8(time).remove(5, 3); }

void FillCounterRows(TMainForm& f, TStringGrid* grid, bool withTotal)
{
    const bool reactive = f.HasReactiveEnergy == 1;
    const auto rowCells = [&](int row, const std::string (&cells)[4]) {
        for (int c = 0; c < 4; ++c) grid->SetCell(c + 1, row, c < 2 || reactive ? FromUtf8(cells[c]) : QString());
    };
    for (int r = 1; r <= TariffRows; ++r) rowCells(r, f.CounterTariffs[r - 1]);
    if (withTotal) rowCells(TotalRow, f.CounterTotals);
}

// The stamp of a resettable or freeze read can be a date: at most ten
// characters, month (characters 6 and 7) a number below 13.
bool PlausibleStamp(const std::string& date)
{
    if (date.empty() || date.size() > 10 || date.size() < 7) return false;
    const char hi = date[5], lo = date[6];
    if (hi < '0' || hi > '9' || lo < '0' || lo > '9') return false;
    return (hi - '0') * 10 + (lo - '0') < 13;
}

struct StampedGrid {
    TStringGrid* grid;
    QLabel* time;
    QLabel* date;
    QLabel* energyType;
};

void ShowStampedCounters(TMainForm& f, const StampedGrid& g)
{
    f.SetupLoggerTabs();
    if (PlausibleStamp(f.DeviceDate)) {
        g.time->setText(QLatin1Char(' ') + FromUtf8(f.DeviceTime));
        g.date->setText(QLatin1Char(' ') + FromUtf8(f.DeviceDate));
        g.energyType->setText(FromUtf8(f.EnergyTypeText));
        FillCounterRows(f, g.grid, false);
        return;
    }
    g.time->setText(QStringLiteral(" 00:00:00"));
    g.date->setText(QStringLiteral(" 0000-00-00"));
    g.energyType->setText(QString());
    for (int r = 1; r <= TariffRows; ++r)
        for (int c = 1; c <= 4; ++c) g.grid->SetCell(c, r, QStringLiteral(" -"));
}

// 0 when the label shows no number.
int ActiveTariff(const TMainForm& f)
{
    const QString shown = f.Label_Actual_Tariff->text();
    if (shown.isEmpty() || shown == Txt(TxtNoValue, f.Language)) return 0;
    bool ok = false;
    const int tariff = shown.trimmed().toInt(&ok);
    return ok ? tariff : 0;
}

}  // namespace

void TMainForm::ShowMainCounters()
{
    SetupLoggerTabs();
    StaticText_MonitoringTime->setText(QLatin1Char(' ') + FromUtf8(DeviceTime));
    StaticText_MonitoringDate->setText(QLatin1Char(' ') + FromUtf8(DeviceDate));
    Label_MainDeviceTimeDate->setText(FromUtf8(DeviceDate) + QStringLiteral("  ") + WithoutSeconds(DeviceTime));
    StaticText_TotalOperatingTime->setText(QLatin1Char(' ') + FromUtf8(TotalOperatingTimeText));
    StaticText_OperatingTimeSinceReset->setText(QLatin1Char(' ') + FromUtf8(OperatingTimeSinceResetText));
    StaticText_EnergyType_Values->setText(FromUtf8(EnergyTypeText));

    TStringGrid* g = StringGrid_MainCounters;
    const int L = Language;
    const LangText* headers[5] = {&TxtHdrTariff, &TxtHdrEPout, &TxtHdrEPin, &TxtHdrEQout, &TxtHdrEQin};
    for (int c = 0; c < 5; ++c) g->SetCell(c, 0, Txt(*headers[c], L));
    for (int r = 1; r <= TariffRows; ++r) g->SetCell(0, r, QLatin1Char(' ') + QString::number(r));
    g->SetCell(0, TotalRow, Txt(TxtHdrTotal, L));
    FillCounterRows(*this, g, true);
}

void TMainForm::ShowResettableCounters()
{
    ShowStampedCounters(*this, {StringGrid_ResettableCounters, StaticText_ResettableTime, StaticText_ResettableDate,
                                StaticText_EnergyType_ResetableValues});
}

void TMainForm::ShowFreezeCounters()
{
    ShowStampedCounters(*this, {StringGrid_FreezeCounters, StaticText_FreezeTime, StaticText_FreezeDate,
                                StaticText_EnergyType_FreezeValues});
}

bool TMainForm::DrawCounterCell(TStringGrid& grid, QPainter& p, const QRect& rect, int col, int row)
{
    const int active = ActiveTariff(*this);
    uint32_t font = ClrText, brush = ClrBackground;
    if (row == 0 || row == TotalRow) {
        font = ClrBackground;
        brush = ClrButtonFace;
    } else if (active != 0 && row == active) {
        font = ClrBackground;
        brush = Clr3DLight;
    }
    TStringGrid::DrawCellText(p, rect, grid.Cell(col, row), ToQColor(font), ToQColor(brush));
    return true;
}

void TMainForm::ShowResultFields(uint8_t code)
{
    // A freeze or reset setting's year written with fewer than four digits.
    const auto completeYear = [this] {
        static constexpr const char* pads[3] = {"000", "00", "0"};
        const size_t n = FreezeResetDate.size();
        if (n >= 7 && n <= 9) FreezeResetDate.insert(0, pads[n - 7]);
    };
    switch (code) {
    case rcCounterGridRepaint:
        StringGrid_ResettableCounters->Refresh();
        StringGrid_FreezeCounters->Refresh();
        break;
    case rcDeviceDateTime: {
        // The editors send back what they show: a clock they cannot take shows the placeholders.
        const setup::TClockTexts editors = setup::ClockEditorTexts(DeviceDate, DeviceTime);
        MaskEdit_Change_Date->setText(FromUtf8(editors.Date));
        MaskEdit_Change_Time->setText(FromUtf8(editors.Time));
        Label_MainDeviceTimeDate->setText(FromUtf8(DeviceDate) + QStringLiteral("  ") + WithoutSeconds(DeviceTime));
        break;
    }
    case rcFreezeStamps:
        completeYear();
        MaskEdit_Change_FreezeDate->setText(FromUtf8(FreezeResetDate));
        MaskEdit_Change_FreezeTime->setText(FromUtf8(FreezeResetTime));
        break;
    case rcResetStamps:
        completeYear();
        MaskEdit_Change_ResettableDate->setText(FromUtf8(FreezeResetDate));
        MaskEdit_Change_ResettableTime->setText(FromUtf8(FreezeResetTime));
        break;
    case rcActualTariff:
        Label_Actual_Tariff->setText(FromUtf8(ActualTariffText));
        Label_Tarif_HW->setText(FromUtf8(TariffHwText));
        break;
    case rcTariffWait:
        Label_Actual_Tariff->setText(Txt(TxtTariffWait, Language));
        break;
    case rcDemandInterval:
        EPoutInterval->setText(FromUtf8(EPoutIntervalText));
        EPinInterval->setText(FromUtf8(EPinIntervalText));
        if (!IntervalDateFrom.empty()) {
            MaskEditIntervalDateFrom->setText(FromUtf8(IntervalDateFrom));
            MaskEditIntervalDateTill->setText(FromUtf8(IntervalDateTill));
            MaskEditIntervalTimeFrom->setText(FromUtf8(IntervalTimeFrom));
            MaskEditIntervalTimeTill->setText(FromUtf8(IntervalTimeTill));
        }
        break;
    default:
        break;
    }
}
