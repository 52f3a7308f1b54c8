// The logger grids: filled from the record stores when a read has finished,
// their header and selected rows drawn, the default-width marks, and the arrow
// that widens the demand page.
#include <QCheckBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <algorithm>

#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "core/LoggerGridRows.h"
#include "loggers/LoggerHandlers.h"

namespace {

constexpr uint32_t kGreyText = 0x808080;
constexpr int kDemandMarkedColumns = 10;
constexpr int kCertifiedMarkedColumns = 6;
constexpr int kWideLayout = 1;
constexpr int kNarrowLayout = 0;

size_t Bounded(int count, size_t capacity) { return std::min(static_cast<size_t>(std::max(0, count)), capacity); }

// Shows the rows made by a filler: the header row stays the grid's own.
void ShowRows(TStringGrid* grid, size_t rows)
{
    grid->SetRowCount(static_cast<int>(rows) + 1);
    grid->Refresh();
}

// The progress window's counting display becomes the closing information.
void CloseProgressAsInformation(TMainForm& f)
{
    if (ProgrWinForm) {
        ProgrWinForm->ProgrWin_ProgressBar->hide();
        ProgrWinForm->Button_ProgrWin_Terminate->setText(Txt(TxtOk, f.Language));
        ProgrWinForm->setWindowTitle(Txt(TxtInformation, f.Language));
        ProgrWinForm->ProgrWinIconInfo->show();
    }
    f.HideNextProgressBar = 1;
}

// The header row green, the selected row in the light 3D colour; the others
// as the grid draws them. The first data row counts as selected at first.
bool DrawLoggerCell(const TStringGrid& grid, int& selectedRow, QPainter& p, const QRect& rect, int col, int row,
                    bool fixed)
{
    if (fixed) {
        TStringGrid::DrawCellText(p, rect, grid.Cell(col, row), ToQColor(ClrBackground), ToQColor(ClrButtonFace));
        return true;
    }
    if (selectedRow == 0) selectedRow = 1;
    if (row != selectedRow) return false;
    // The system's light 3D colour, not the grid's own: that follows its dark cells.
    TStringGrid::DrawCellText(p, rect, grid.Cell(col, row), ToQColor(ClrBackground),
                              QGuiApplication::palette().color(QPalette::Midlight));
    return true;
}

void SetLabelColor(QLabel* label, uint32_t bbggrr)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, ToQColor(bbggrr));
    label->setPalette(pal);
}

bool IsGrey(const QLabel* label) { return label->palette().color(QPalette::WindowText) == ToQColor(kGreyText); }

// Default-width mark: the widths when the mouse went down, compared when it goes up.
void HookWidthMark(TStringGrid* grid, int columns, int* saved, QLabel* mark)
{
    const auto down = [grid, columns, saved] {
        for (int c = 0; c < columns; ++c) saved[c] = grid->ColWidth(c);
    };
    const auto up = [grid, columns, saved, mark] {
        bool same = true;
        for (int c = 0; c < columns; ++c) same = same && saved[c] == grid->ColWidth(c);
        SetLabelColor(mark, same ? kGreyText : ClrText);
    };
    // The widths change by dragging the header row, which lies in the header.
    for (QWidget* w : {static_cast<QWidget*>(grid->horizontalHeader()), grid->viewport()}) {
        OnMouseEvent(w, QEvent::MouseButtonPress, down);
        OnMouseEvent(w, QEvent::MouseButtonRelease, up);
    }
}

void HookGrid(TMainForm& f, TStringGrid* grid, int& selectedRow, const GridRowTexts& rows)
{
    // Rows past the header come from the texts made when the read finished.
    grid->SetCellProvider([&rows](int col, int row) {
        const std::string_view cell = rows.Cell(static_cast<size_t>(row - 1), col);
        return QString::fromLatin1(cell.data(), static_cast<qsizetype>(cell.size()));
    });
    grid->SetDrawCellHook([grid, &selectedRow](QPainter& p, const QRect& rect, int col, int row, bool fixed, bool) {
        return DrawLoggerCell(*grid, selectedRow, p, rect, col, row, fixed);
    });
    grid->SetSelectCellHook([grid, &selectedRow](int, int row) {
        selectedRow = row;
        grid->Refresh();
    });
    // Near-white text on the dark cells, as in the counter grids.
    QPalette pal = grid->palette();
    pal.setColor(QPalette::Text, ToQColor(ClrText));
    grid->setPalette(pal);
    (void)f;
}

} // namespace

void TMainForm::FillDemandLoggerGrid()
{
    StaticText_EnergyType_Demand->setText(QString::fromUtf8(EnergyTypeText));
    const int n = DeviceVariant != 2 ? DemandItemCount.load() : RecordCount.load();
    const size_t rows = FillDemandGridRows(DemandGridRows, DemandRecords, Bounded(n, DemandRecordCapacity),
                                           DeviceVariant >= 2, HasReactiveEnergy != 0);
    ShowRows(StringGrid_DemandLogger, rows);
}

void TMainForm::ShowDemandLogger()
{
    FillDemandLoggerGrid();
    CloseProgressAsInformation(*this);
}

void TMainForm::FillCertifiedLoggerGrid()
{
    const size_t rows =
        FillCertifiedGridRows(CertifiedGridRows, CertifiedRecords, Bounded(RecordCount, CertifiedRecordCapacity));
    ShowRows(StringGrid_CertifiedLogger, rows);
}

void TMainForm::ShowCertifiedLogger()
{
    FillCertifiedLoggerGrid();
    CloseProgressAsInformation(*this);
}

void TMainForm::ShowEventsLogger()
{
    // The records of this read (the result message shows the same number in
    // the box); the store keeps an earlier, longer read's records past them.
    const size_t count = Bounded(EventItemCount, EventRecordCapacity);
    if (CheckBox_Events_SaveToFile->isChecked()) WriteEventsLoggerCsv(count);
    ShowRows(StringGrid_EventsLogger, FillEventsGridRows(EventsGridRows, EventRecords, count));
}

void TMainForm::LabelDemandDefaultClick()
{
    if (IsGrey(LabelDemandDefault)) return;
    SetDemandGridDefaultWidths();
    SetDemandLoggerLayout(kNarrowLayout);
    SetLabelColor(LabelDemandDefault, kGreyText);
}

void TMainForm::DefaultCertifiedClick()
{
    if (IsGrey(LabelCertifiedDefault)) return;
    SetCertifiedGridDefaultWidths();
    SetLabelColor(LabelCertifiedDefault, kGreyText);
}

void TMainForm::LabelDemandLargeArrowClick()
{
    if (LabelDemandLargeArrow->text() == QStringLiteral(">") && WindowSize == 1) {
        RichEdit_DemandLogger_Help_In->setVisible(false);
        Label_DemandLogger_Help_In_X->setVisible(false);
        Label_Parameters->setVisible(true);
        SetDemandLoggerLayout(kWideLayout);
    } else {
        SetDemandLoggerLayout(kNarrowLayout);
    }
}

void TMainForm::ClearLoggerGridRows()
{
    DemandGridRows.Clear();
    EventsGridRows.Clear();
    CertifiedGridRows.Clear();
}

void ConnectLoggerGrids(TMainForm& f)
{
    HookGrid(f, f.StringGrid_DemandLogger, f.DemandSelectedRow, f.DemandGridRows);
    HookGrid(f, f.StringGrid_EventsLogger, f.EventsSelectedRow, f.EventsGridRows);
    HookGrid(f, f.StringGrid_CertifiedLogger, f.CertifiedSelectedRow, f.CertifiedGridRows);
    HookWidthMark(f.StringGrid_DemandLogger, kDemandMarkedColumns, f.SavedColWidths, f.LabelDemandDefault);
    HookWidthMark(f.StringGrid_CertifiedLogger, kCertifiedMarkedColumns, f.SavedColWidths, f.LabelCertifiedDefault);
    OnMouseEvent(f.LabelDemandDefault, QEvent::MouseButtonRelease, [&f] { f.LabelDemandDefaultClick(); });
    OnMouseEvent(f.LabelCertifiedDefault, QEvent::MouseButtonRelease, [&f] { f.DefaultCertifiedClick(); });

    // Dragging the arrow acts at once; the release after a drag is no second click.
    QLabel* arrow = f.LabelDemandLargeArrow;
    arrow->setMouseTracking(false);
    OnMouseEvent(arrow, QEvent::MouseButtonPress, [&f] { f.DemandArrowDragging = 1; });
    OnMouseEvent(arrow, QEvent::MouseMove, [&f] {
        if (!f.DemandArrowDragging) return;
        f.DemandArrowDragging = 0;
        f.DemandArrowDragged = 1;
        f.LabelDemandLargeArrowClick();
    });
    OnMouseEvent(arrow, QEvent::MouseButtonRelease, [&f] {
        f.DemandArrowDragging = 0;
        if (!f.DemandArrowDragged) f.LabelDemandLargeArrowClick();
        f.DemandArrowDragged = 0;
    });
}
