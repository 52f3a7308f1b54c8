// The Energy page: three sub-pages with the same frame (action button and
// status line on top, the counter grid in its group, time stamp and energy type
// below), the resettable and freeze sub-pages also with their date setup group.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "app/MainForm.h"
#include "app/PageBuilders.h"
#include "app/Shape.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "app/WidgetHelpers.h"

namespace {

constexpr int kCounterColWidths[5] = {87, 150, 150, 150, 150};
constexpr int kCounterRowHeight = 20;
constexpr int kGroupTop = 42;
constexpr int kGroupWidth = 833;
constexpr int kGridLeft = 12;
constexpr int kGridTop = 26;
constexpr int kStampTop[2] = {290, 318};
constexpr int kStampCaptionLeft = 320;

// Counter grid: tariff column and four energy columns, one fixed header row,
// sized to show every row without scrolling.
TStringGrid* CounterGrid(QWidget* group, const char* name, int rows)
{
    auto* g = Child<TStringGrid>(group, name, kGridLeft, kGridTop, 10, 10);
    g->SetColCount(5);
    g->SetFixedRows(1);
    g->SetRowCount(rows);
    g->SetDefaultRowHeight(kCounterRowHeight);
    int width = 0;
    for (int c = 0; c < 5; ++c) {
        g->SetColWidth(c, kCounterColWidths[c]);
        width += kCounterColWidths[c];
    }
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int frame = 2 * g->frameWidth();
    g->resize(width + frame, rows * kCounterRowHeight + frame);
    return g;
}

// A framed value field; the texts written into it begin with a blank.
QLabel* ValueField(QWidget* parent, const char* name, int left, int top, int width)
{
    auto* l = Child<QLabel>(parent, name, left, top, width, 24);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QLabel* Caption(QWidget* parent, const char* name, int left, int top, int width)
{
    auto* l = Child<QLabel>(parent, name, left, top, width, 24);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QLabel* StatusLine(QWidget* parent, const char* name)
{
    auto* l = Child<QLabel>(parent, name, 150, 8, 560, 25);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

// Energy type caption and value at the right of a counter grid.
void EnergyType(QGroupBox* group, TStringGrid* grid, QLabel** caption, const char* captionName, QLabel** value,
                const char* valueName)
{
    const int left = grid->x() + grid->width() + 14;
    const int width = group->width() - left - 10;
    *caption = Caption(group, captionName, left, kGridTop, width);
    *value = ValueField(group, valueName, left, kGridTop + 26, width);
}

struct SetupGroupNames {
    const char* group;
    const char* timeGroup;
    const char* dateGroup;
    const char* timeEdit;
    const char* dateEdit;
    const char* setButton;
    const char* readButton;
};

struct SetupGroupParts {
    QGroupBox* group;
    QGroupBox* timeGroup;
    QGroupBox* dateGroup;
    QLineEdit* timeEdit;
    QLineEdit* dateEdit;
    QPushButton* setButton;
    QPushButton* readButton;
};

// Date setup of the resettable or freeze counters: time and date edits, Set
// below them. The Read button sits right of the group's 297-pixel width,
// outside its view.
SetupGroupParts DateSetupGroup(QWidget* page, const SetupGroupNames& n, int top)
{
    SetupGroupParts s{};
    s.group = Child<QGroupBox>(page, n.group, 4, top, 297, 114);
    s.timeGroup = Child<QGroupBox>(s.group, n.timeGroup, 6, 20, 138, 56);
    s.timeEdit = Child<QLineEdit>(s.timeGroup, n.timeEdit, 8, 22, 122, 24);
    // A setting out of range shows the placeholders; the Set handler refuses them.
    SetDateTimeMask(s.timeEdit, QStringLiteral("nn:nn:nn; "), QString::fromLatin1(PlaceholderTime));
    s.timeEdit->setMaxLength(8);
    s.dateGroup = Child<QGroupBox>(s.group, n.dateGroup, 150, 20, 141, 56);
    s.dateEdit = Child<QLineEdit>(s.dateGroup, n.dateEdit, 8, 22, 125, 24);
    SetDateTimeMask(s.dateEdit, QStringLiteral("nnnn-nn-nn; "), QString::fromLatin1(PlaceholderDate));
    s.dateEdit->setMaxLength(10);
    s.setButton = Child<QPushButton>(s.group, n.setButton, 234, 82, 57, 25);
    s.readButton = Child<QPushButton>(s.group, n.readButton, 304, 82, 57, 25);
    s.readButton->setEnabled(false);
    s.readButton->hide();
    return s;
}

QWidget* SubPage(TMainForm& f, const char* name)
{
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(name));
    f.PageControl_Energy->addTab(page, QString());
    return page;
}

void BuildValues(TMainForm& f)
{
    QWidget* p = f.Page_Values;
    f.Button_Energie_MainCounters_StartMonitoring =
        Child<QPushButton>(p, "Button_Energie_MainCounters_StartMonitoring", 8, 8, 130, 25);
    f.Label_Energy_Values_Status = StatusLine(p, "Label_Energy_Values_Status");
    f.GroupBox_MainCounters = Child<QGroupBox>(p, "GroupBox_MainCounters", 4, kGroupTop, kGroupWidth, 240);
    f.StringGrid_MainCounters = CounterGrid(f.GroupBox_MainCounters, "StringGrid_MainCounters", 10);
    EnergyType(f.GroupBox_MainCounters, f.StringGrid_MainCounters, &f.Label_Energy_Type1, "Label_Energy_Type1",
               &f.StaticText_EnergyType_Values, "StaticText_EnergyType_Values");

    f.Label_DeviceTime = Caption(p, "Label_DeviceTime", 16, kStampTop[0], 160);
    f.StaticText_MonitoringTime = ValueField(p, "StaticText_MonitoringTime", 176, kStampTop[0], 120);
    f.Label_DeviceDate = Caption(p, "Label_DeviceDate", 16, kStampTop[1], 160);
    f.StaticText_MonitoringDate = ValueField(p, "StaticText_MonitoringDate", 176, kStampTop[1], 120);
    f.Label_TotalOpTime = Caption(p, "Label_TotalOpTime", kStampCaptionLeft, kStampTop[0], 240);
    f.StaticText_TotalOperatingTime =
        ValueField(p, "StaticText_TotalOperatingTime", kStampCaptionLeft + 244, kStampTop[0], 120);
    f.Label_OpTime = Caption(p, "Label_OpTime", kStampCaptionLeft, kStampTop[1], 240);
    f.StaticText_OperatingTimeSinceReset =
        ValueField(p, "StaticText_OperatingTimeSinceReset", kStampCaptionLeft + 244, kStampTop[1], 120);
}

void BuildResettable(TMainForm& f)
{
    QWidget* p = f.Page_ResettableCounters;
    f.Button_ResettableCounters_Read = Child<QPushButton>(p, "Button_ResettableCounters_Read", 8, 8, 130, 25);
    f.Label_Energy_Resettable_Status = StatusLine(p, "Label_Energy_Resettable_Status");
    f.GroupBox_ResettableCounters =
        Child<QGroupBox>(p, "GroupBox_ResettableCounters", 4, kGroupTop, kGroupWidth, 220);
    f.StringGrid_ResettableCounters = CounterGrid(f.GroupBox_ResettableCounters, "StringGrid_ResettableCounters", 9);
    EnergyType(f.GroupBox_ResettableCounters, f.StringGrid_ResettableCounters, &f.Label_Energy_Type2,
               "Label_Energy_Type2", &f.StaticText_EnergyType_ResetableValues,
               "StaticText_EnergyType_ResetableValues");

    const SetupGroupParts s = DateSetupGroup(
        p,
        {"GroupBox_Reset_Setup", "GroupBox_Reset_Setup_Time", "GroupBox_Reset_Setup_Date",
         "MaskEdit_Change_ResettableTime", "MaskEdit_Change_ResettableDate", "Button_Reset_Set_Submit",
         "Button_Resettable_Setup_Read"},
        276);
    f.GroupBox_Reset_Setup = s.group;
    f.GroupBox_Reset_Setup_Time = s.timeGroup;
    f.GroupBox_Reset_Setup_Date = s.dateGroup;
    f.MaskEdit_Change_ResettableTime = s.timeEdit;
    f.MaskEdit_Change_ResettableDate = s.dateEdit;
    f.Button_Reset_Set_Submit = s.setButton;
    f.Button_Resettable_Setup_Read = s.readButton;

    f.Label_ResetTime = Caption(p, "Label_ResetTime", kStampCaptionLeft, kStampTop[0], 240);
    f.StaticText_ResettableTime = ValueField(p, "StaticText_ResettableTime", kStampCaptionLeft + 244, kStampTop[0], 120);
    f.Label_ResetDate = Caption(p, "Label_ResetDate", kStampCaptionLeft, kStampTop[1], 240);
    f.StaticText_ResettableDate = ValueField(p, "StaticText_ResettableDate", kStampCaptionLeft + 244, kStampTop[1], 120);
}

void BuildFreeze(TMainForm& f)
{
    QWidget* p = f.Page_FreezeCounters;
    f.Button_FreezeCounters_Read = Child<QPushButton>(p, "Button_FreezeCounters_Read", 8, 8, 130, 25);
    f.Label_Energy_Freeze_Status = StatusLine(p, "Label_Energy_Freeze_Status");
    f.GroupBox_FreezeCounters = Child<QGroupBox>(p, "GroupBox_FreezeCounters", 4, kGroupTop, kGroupWidth, 220);
    f.StringGrid_FreezeCounters = CounterGrid(f.GroupBox_FreezeCounters, "StringGrid_FreezeCounters", 9);
    EnergyType(f.GroupBox_FreezeCounters, f.StringGrid_FreezeCounters, &f.Label_Energy_Type3, "Label_Energy_Type3",
               &f.StaticText_EnergyType_FreezeValues, "StaticText_EnergyType_FreezeValues");

    const SetupGroupParts s = DateSetupGroup(
        p,
        {"GroupBox_Freeze_Setup", "GroupBox_Freeze_Setup_Time", "GroupBox_Freeze_Setup_Date",
         "MaskEdit_Change_FreezeTime", "MaskEdit_Change_FreezeDate", "Button_Freeze_Set", "Button_Freeze_Setup_Read"},
        276);
    f.GroupBox_Freeze_Setup = s.group;
    f.GroupBox_Freeze_Setup_Time = s.timeGroup;
    f.GroupBox_Freeze_Setup_Date = s.dateGroup;
    f.MaskEdit_Change_FreezeTime = s.timeEdit;
    f.MaskEdit_Change_FreezeDate = s.dateEdit;
    f.Button_Freeze_Set = s.setButton;
    f.Button_Freeze_Setup_Read = s.readButton;

    f.Label_FreezeTime = Caption(p, "Label_FreezeTime", kStampCaptionLeft, kStampTop[0], 240);
    f.StaticText_FreezeTime = ValueField(p, "StaticText_FreezeTime", kStampCaptionLeft + 244, kStampTop[0], 120);
    f.Label_FreezeDate = Caption(p, "Label_FreezeDate", kStampCaptionLeft, kStampTop[1], 240);
    f.StaticText_FreezeDate = ValueField(p, "StaticText_FreezeDate", kStampCaptionLeft + 244, kStampTop[1], 120);
}

} // namespace

void BuildEnergyPage(TMainForm& f)
{
    QWidget* p = f.Page_Energy;
    // Connector from the page's tab down to the bar over the sub-page tabs;
    // the language switch moves the stem and stretches the bar.
    f.Shape_Energie_Horizontal = Child<TShape>(p, "Shape_Energie_Horizontal", 4, 8, 275, 3);
    f.Shape_Energy = Child<TShape>(p, "Shape_Energy", 116, 0, 3, 11);
    for (TShape* s : {f.Shape_Energie_Horizontal, f.Shape_Energy}) {
        s->SetBrushColor(ClrButtonFace);
        s->SetPenColor(ClrButtonFace);
    }

    f.PageControl_Energy = Child<QTabWidget>(p, "PageControl_Energy", 4, 16, 841, 584);
    StylePageTabs(f.PageControl_Energy);
    f.Page_Values = SubPage(f, "Page_Values");
    f.Page_ResettableCounters = SubPage(f, "Page_ResettableCounters");
    f.Page_FreezeCounters = SubPage(f, "Page_FreezeCounters");

    BuildValues(f);
    BuildResettable(f);
    BuildFreeze(f);
}
