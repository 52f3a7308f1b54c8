// Layout of the logger grids: default column widths, the wide and narrow demand
// page, and the status-bit legend of the demand logger, which takes the place
// of the device-information column.
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>

#include "app/MainForm.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "app/WidgetHelpers.h"

namespace {

// -1: the column is hidden.
constexpr int HiddenColumn = -1;

// Sizes of the demand page: wide covers the device-information column.
struct DemandPageWidths {
    int mainPages, loggerPages, group, grid, arrowLeft;
    int statusLeftEnglish, statusLeftGerman, defaultLeftEnglish, defaultLeftGerman;
};
constexpr DemandPageWidths WideDemandPage{1105, 1097, 1089, 1060, 1076, 970, 910, 1026, 966};
constexpr DemandPageWidths NarrowDemandPage{849, 841, 833, 805, 816, 720, 660, 776, 716};

} // namespace

void TMainForm::SetDemandGridDefaultWidths()
{
    TStringGrid* g = StringGrid_DemandLogger;
    if (!g) return;
    const bool largeLogger = DeviceVariant >= 2;
    const int reactive = DeviceVariant == 2 || !HasReactiveEnergy ? HiddenColumn : 95;
    const int widths[10] = {55, 80, 65, largeLogger ? 75 : 55, 40, 95, 95, reactive, reactive, 95};
    for (int c = 0; c < 10; ++c) g->SetColWidth(c, widths[c]);
}

void TMainForm::SetCertifiedGridDefaultWidths()
{
    TStringGrid* g = StringGrid_CertifiedLogger;
    if (!g) return;
    const int widths[6] = {42, 67, 135, 135, 85, 104};
    for (int c = 0; c < 6; ++c) g->SetColWidth(c, widths[c]);
}

void TMainForm::SetDemandLoggerLayout(int mode)
{
    const DemandPageWidths& w = mode == 1 ? WideDemandPage : NarrowDemandPage;
    SetWidth(PageControl_Main, w.mainPages);
    SetWidth(PageControl_Logger, w.loggerPages);
    SetWidth(GroupBox_DemandLogger, w.group);
    SetWidth(StringGrid_DemandLogger, w.grid);
    SetWidth(GroupBoxDemandInterval, w.grid);
    SetLeft(LabelDemandLargeArrow, w.arrowLeft);
    if (LabelDemandLargeArrow) {
        if (mode == 1) {
            LabelDemandLargeArrow->setVisible(true);
            LabelDemandLargeArrow->setText(QStringLiteral("<"));
        } else if (mode == 0) {
            LabelDemandLargeArrow->setText(QStringLiteral(">"));
        }
    }
    if (StaticText_ProductInfo) StaticText_ProductInfo->setVisible(mode != 1);
    if (mode == 2) return;
    const bool english = RadioButton_English && RadioButton_English->isChecked();
    SetLeft(LabelDemandStatus, english ? w.statusLeftEnglish : w.statusLeftGerman);
    SetLeft(LabelDemandDefault, english ? w.defaultLeftEnglish : w.defaultLeftGerman);
}

void TMainForm::ShowDemandStatusHelp(int show)
{
    QTextEdit* pane = RichEdit_DemandLogger_Help_In;
    if (show == 1) {
        SetDemandLoggerLayout(0);
        if (pane) {
            const bool english = Language == 0;
            QString legend = Txt(english ? TxtDemandStatusLegendEn : TxtDemandStatusLegendDe);
            if (DeviceVariant == 2)
                legend += QLatin1Char('\r') + Txt(english ? TxtDemandStatusLegend2En : TxtDemandStatusLegend2De);
            pane->clear();
            pane->setPlainText(legend);
            pane->clearFocus();
            pane->setVisible(true);
            pane->raise();
        }
        if (Label_DemandLogger_Help_In_X) {
            Label_DemandLogger_Help_In_X->setVisible(true);
            Label_DemandLogger_Help_In_X->raise();
        }
        if (Label_Parameters) Label_Parameters->setVisible(false);
        return;
    }
    if (pane) pane->setVisible(false);
    if (Label_DemandLogger_Help_In_X) Label_DemandLogger_Help_In_X->setVisible(false);
    if (Label_Parameters) Label_Parameters->setVisible(true);
}

void TMainForm::Label_DemandLogger_Help_In_XMouseDown()
{
    // The legend opened the large layout over a small one: go back to it.
    if (RestoreSmallLayout) {
        if (RadioButton_Small) RadioButton_Small->setChecked(true);
        SetSmallLayout();
    }
    ShowDemandStatusHelp(0);
}
