// Builds the Logger page: the sub-pages of the demand, events and certified
// loggers inside PageControl_Logger, and the demand status legend, which opens
// over the device-information column at the right of the window.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>

#include <algorithm>

#include "app/MainForm.h"
#include "app/PageBuilders.h"
#include "app/Shape.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "app/WidgetHelpers.h"

namespace {

// Above the sub-page tabs a connector runs from the main Logger tab down to a
// line over the sub-page tabs; their place and length follow the tabs shown.
constexpr int kShapeBar = 3;
constexpr int kLineTop = 8;
constexpr int kTabsTop = 16;

// The sub-pages, narrow demand layout; the wide one only widens these.
constexpr int kLoggerLeft = 4;
constexpr int kLoggerWidth = 841;   // PageControl_Logger
constexpr int kLoggerHeight = 584;
constexpr int kGroupLeft = 4;
constexpr int kGroupWidth = 833;    // the group box of each sub-page
constexpr int kRow1 = 26;           // read command
constexpr int kRow2 = 62;           // energy type, legend and width controls
constexpr int kGridLeft = 10;
constexpr int kGridTop = 92;
constexpr int kGridHeight = 369;          // without the interval group
constexpr int kGridHeightInterval = 298;  // with it, below the grid
constexpr int kDemandGridWidth = 805;
// The interval group: the period and its commands, and below them the
// period's energies, so the group reaches below the grid's full height.
constexpr int kIntervalTop = kGridTop + kGridHeightInterval + 6;
constexpr int kIntervalRow = 26;
constexpr int kIntervalEnergyRow = kIntervalRow + 30;
constexpr int kIntervalHeight = kIntervalEnergyRow + 17 + 12;
// All three sub-pages' groups alike, so the frame stays when the page changes.
constexpr int kGroupHeight = std::max(kGridTop + kGridHeight, kIntervalTop + kIntervalHeight) + 12;
// The events and certified grids and their help panes fill their group.
constexpr int kPaneHeight = kGroupHeight - 12 - kGridTop;

// Read, the item count with its label, "Save To File"; the certified page has
// no count label, so its row closes up.
constexpr int kReadLeft = 10;
constexpr int kItemsLeft = 110;
constexpr int kCountLeft = 164;
constexpr int kSaveLeft = 270;
constexpr int kCountWidth = 88;
constexpr int kCertifiedCountLeft = kItemsLeft;
constexpr int kCertifiedSaveLeft = kSaveLeft - (kCountLeft - kItemsLeft);

// Column widths as designed; the read and layout commands set their own.
constexpr int kDemandColWidths[11] = {55, 80, 65, 55, 40, 95, 95, 95, 95, 95, 64};
constexpr int kEventsColWidths[5] = {55, 85, 70, 80, 230};
constexpr int kCertifiedColWidths[6] = {42, 67, 135, 135, 85, 104};
constexpr int kGridFontPoints = 7;

// Grey: the columns have their default widths, nothing to reset.
constexpr uint32_t kGreyText = 0x808080;

TStringGrid* MakeGrid(QWidget* parent, const char* name, int width, int height, const int* widths, int cols)
{
    auto* g = Child<TStringGrid>(parent, name, kGridLeft, kGridTop, width, height);
    g->SetColCount(cols);
    g->SetFixedRows(1);
    g->SetRowCount(2);
    g->SetDefaultRowHeight(20);
    for (int c = 0; c < cols; ++c) g->SetColWidth(c, widths[c]);
    // Small enough that the widest value of every column fits its default
    // width: a 32-bit energy with ten digits, its sign and " MVArh".
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(kGridFontPoints);
    g->setFont(font);
    QPalette pal = g->palette();
    pal.setColor(QPalette::Base, ToQColor(ClrBackground));
    pal.setColor(QPalette::Window, ToQColor(ClrBackground));
    g->setPalette(pal);
    return g;
}

// Read-only help texts; they never keep the focus or show a caret.
QTextEdit* MakeHelpPane(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* t = Child<QTextEdit>(parent, name, left, top, width, height);
    t->setReadOnly(true);
    t->setTextInteractionFlags(Qt::NoTextInteraction);
    t->setFocusPolicy(Qt::NoFocus);
    t->setLineWrapMode(QTextEdit::WidgetWidth);
    return t;
}

// A label the user clicks (arrow, status legend, default widths, close mark).
QLabel* MakeClickLabel(QWidget* parent, const char* name, int left, int top, int width)
{
    auto* l = Child<QLabel>(parent, name, left, top, width, 17);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

QComboBox* MakeCountBox(QWidget* parent, const char* name, int left,
                        std::initializer_list<const char*> items)
{
    auto* c = Child<QComboBox>(parent, name, left, kRow1 + 1, kCountWidth, 23);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    for (const char* item : items) c->addItem(QString::fromLatin1(item));
    c->setCurrentIndex(0);
    return c;
}

QGroupBox* MakeLoggerGroup(QWidget* page, const char* name)
{
    return Child<QGroupBox>(page, name, kGroupLeft, 4, kGroupWidth, kGroupHeight);
}

QWidget* AddSubPage(QTabWidget* tabs, const char* name)
{
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    // Tab captions come with the language; the tabs exist from the start.
    tabs->addTab(page, QString());
    return page;
}

void BuildIntervalGroup(TMainForm& f, QWidget* parent)
{
    auto* iv = f.GroupBoxDemandInterval = Child<QGroupBox>(
        parent, "GroupBoxDemandInterval", kGridLeft, kIntervalTop, kDemandGridWidth, kIntervalHeight);
    constexpr int r = kIntervalRow;
    f.CheckBoxDemandInterval = Child<QCheckBox>(iv, "CheckBoxDemandInterval", 12, r + 1, 104, 20);
    f.LabelDemandIntervalFrom = Child<QLabel>(iv, "LabelDemandIntervalFrom", 122, r + 3, 42, 17);
    f.CalenderDateIntervalFrom = Child<QDateEdit>(iv, "CalenderDateIntervalFrom", 166, r, 108, 23);
    f.MaskEditIntervalDateFrom = Child<QLineEdit>(iv, "MaskEditIntervalDateFrom", 166, r, 86, 23);
    f.MaskEditIntervalTimeFrom = Child<QLineEdit>(iv, "MaskEditIntervalTimeFrom", 280, r, 52, 23);
    f.LabelDemandIntervalTill = Child<QLabel>(iv, "LabelDemandIntervalTill", 352, r + 3, 42, 17);
    f.CalenderDateIntervalTill = Child<QDateEdit>(iv, "CalenderDateIntervalTill", 396, r, 108, 23);
    f.MaskEditIntervalDateTill = Child<QLineEdit>(iv, "MaskEditIntervalDateTill", 396, r, 86, 23);
    f.MaskEditIntervalTimeTill = Child<QLineEdit>(iv, "MaskEditIntervalTimeTill", 510, r, 52, 23);
    f.CheckBoxIntervalToTable = Child<QCheckBox>(iv, "CheckBoxIntervalToTable", 584, r + 1, 110, 20);
    f.Button_Demand_Interval_Read =
        Child<QPushButton>(iv, "Button_Demand_Interval_Read", kDemandGridWidth - 12 - 90, r - 1, 90, 25);
    // Under "From" and "Till"; empty until the meter has summed up a period.
    f.EPoutInterval = Child<QLabel>(iv, "EPoutInterval", 122, kIntervalEnergyRow, 220, 17);
    f.EPinInterval = Child<QLabel>(iv, "EPinInterval", 352, kIntervalEnergyRow, 220, 17);

    for (QLineEdit* e : {f.MaskEditIntervalDateFrom, f.MaskEditIntervalDateTill})
        e->setInputMask(QStringLiteral("0000-00-00; "));
    for (QLineEdit* e : {f.MaskEditIntervalTimeFrom, f.MaskEditIntervalTimeTill})
        e->setInputMask(QStringLiteral("00:00; "));
    // The date pickers lie under the date edits, so only their calendar button
    // shows; the edit keeps what the user types.
    for (QDateEdit* d : {f.CalenderDateIntervalFrom, f.CalenderDateIntervalTill}) {
        d->setCalendarPopup(true);
        d->setDate(QDate::currentDate());
        d->lower();
    }
    // Shown only for meters with the large demand logger.
    iv->setVisible(false);
    iv->setEnabled(false);
}

void BuildDemandPage(TMainForm& f)
{
    auto* g = f.GroupBox_DemandLogger = MakeLoggerGroup(f.Page_DemandLogger, "GroupBox_DemandLogger");

    f.Button_Demand_Read = Child<QPushButton>(g, "Button_Demand_Read", kReadLeft, kRow1, 90, 25);
    f.ComboBox_Demand =
        MakeCountBox(g, "ComboBox_Demand", kCountLeft, {"10", "50", "100", "500", "1000", "5000", "10000", "16000"});
    f.Label_Demand_Items = Child<QLabel>(g, "Label_Demand_Items", kItemsLeft, kRow1 + 4, kCountLeft - kItemsLeft - 4, 17);
    f.CheckBox_Demand_SaveToFile =
        Child<QCheckBox>(g, "CheckBox_Demand_SaveToFile", kSaveLeft, kRow1 + 3, 190, 20);

    f.Label_Energy_Type4 = Child<QLabel>(g, "Label_Energy_Type4", kReadLeft, kRow2, 96, 17);
    f.StaticText_EnergyType_Demand =
        Child<QLabel>(g, "StaticText_EnergyType_Demand", kCountLeft, kRow2, 200, 17);
    f.LabelDemandStatus = MakeClickLabel(g, "LabelDemandStatus", 720, kRow2, 52);
    f.LabelDemandDefault = MakeClickLabel(g, "LabelDemandDefault", 776, kRow2, 56);
    SetTextColor(f.LabelDemandDefault, kGreyText);
    // Beside the grid's header: the handle that widens and narrows the grid.
    f.LabelDemandLargeArrow = MakeClickLabel(g, "LabelDemandLargeArrow", 816, kGridTop + 1, 14);
    f.LabelDemandLargeArrow->setAlignment(Qt::AlignCenter);

    f.StringGrid_DemandLogger =
        MakeGrid(g, "StringGrid_DemandLogger", kDemandGridWidth, kGridHeight, kDemandColWidths, 11);
    BuildIntervalGroup(f, g);
}

void BuildEventsPage(TMainForm& f)
{
    auto* g = f.GroupBox_EventsLogger = MakeLoggerGroup(f.Page_EventsLogger, "GroupBox_EventsLogger");

    f.Button_Events_Read = Child<QPushButton>(g, "Button_Events_Read", kReadLeft, kRow1, 90, 25);
    f.ComboBox_Events =
        MakeCountBox(g, "ComboBox_Events", kCountLeft, {"10", "20", "30", "40", "50", "100", "150", "200", "256"});
    f.Label_Events_Items = Child<QLabel>(g, "Label_Events_Items", kItemsLeft, kRow1 + 4, kCountLeft - kItemsLeft - 4, 17);
    f.CheckBox_Events_SaveToFile =
        Child<QCheckBox>(g, "CheckBox_Events_SaveToFile", kSaveLeft, kRow1 + 3, 190, 20);

    constexpr int gridWidth = 542;
    f.StringGrid_EventsLogger = MakeGrid(g, "StringGrid_EventsLogger", gridWidth, kPaneHeight, kEventsColWidths, 5);
    constexpr int helpLeft = kGridLeft + gridWidth + 8;
    f.RichEdit_EventsLogger_Help = MakeHelpPane(g, "RichEdit_EventsLogger_Help", helpLeft, kGridTop,
                                                kGroupWidth - helpLeft - kGridLeft, kPaneHeight);
}

void BuildCertifiedPage(TMainForm& f)
{
    auto* g = f.GroupBox_CertifiedLogger =
        MakeLoggerGroup(f.Page_CertifiedLogger, "GroupBox_CertifiedLogger");

    f.Button_Certified_Read = Child<QPushButton>(g, "Button_Certified_Read", kReadLeft, kRow1, 90, 25);
    f.ComboBox_Certified = MakeCountBox(
        g, "ComboBox_Certified", kCertifiedCountLeft, {"10", "20", "50", "100", "200", "500", "1000", "2000", "4000"});
    f.CheckBox_Certified_SaveToFile =
        Child<QCheckBox>(g, "CheckBox_Certified_SaveToFile", kCertifiedSaveLeft, kRow1 + 3, 190, 20);

    // The default widths and the vertical scroll bar.
    constexpr int gridWidth = 592;
    f.LabelCertifiedDefault = MakeClickLabel(g, "LabelCertifiedDefault", 568, kRow2, 60);
    SetTextColor(f.LabelCertifiedDefault, kGreyText);
    f.StringGrid_CertifiedLogger =
        MakeGrid(g, "StringGrid_CertifiedLogger", gridWidth, kPaneHeight, kCertifiedColWidths, 6);
    constexpr int helpLeft = kGridLeft + gridWidth + 8;
    f.RichEdit_CertifiedLogger_Help = MakeHelpPane(g, "RichEdit_CertifiedLogger_Help", helpLeft, kGridTop,
                                                   kGroupWidth - helpLeft - kGridLeft, kPaneHeight);
}

// The legend takes the place of the device-information column, whose heading
// it hides while shown; the close mark sits in its top right corner.
void BuildDemandLegend(TMainForm& f)
{
    constexpr int left = 862, top = 34, width = 257, height = 622;
    f.RichEdit_DemandLogger_Help_In =
        MakeHelpPane(&f, "RichEdit_DemandLogger_Help_In", left, top, width, height);
    f.RichEdit_DemandLogger_Help_In->setLineWrapMode(QTextEdit::NoWrap);
    f.Label_DemandLogger_Help_In_X =
        MakeClickLabel(&f, "Label_DemandLogger_Help_In_X", left + width - 20, top + 4, 14);
    f.Label_DemandLogger_Help_In_X->setAlignment(Qt::AlignCenter);
    f.RichEdit_DemandLogger_Help_In->setVisible(false);
    f.Label_DemandLogger_Help_In_X->setVisible(false);
}

}  // namespace

void BuildLoggerPage(TMainForm& f)
{
    QWidget* page = f.Page_Logger;

    f.Shape_Logger = Child<TShape>(page, "Shape_Logger", 170, 0, kShapeBar, kLineTop + kShapeBar);
    f.Shape_Logger_horizontal =
        Child<TShape>(page, "Shape_Logger_horizontal", kLoggerLeft, kLineTop, 308, kShapeBar);
    for (TShape* s : {f.Shape_Logger, f.Shape_Logger_horizontal}) {
        s->SetBrushColor(ClrButtonFace);
        s->SetPenColor(ClrButtonFace);
    }

    f.PageControl_Logger =
        Child<QTabWidget>(page, "PageControl_Logger", kLoggerLeft, kTabsTop, kLoggerWidth, kLoggerHeight);
    StylePageTabs(f.PageControl_Logger);
    f.Page_DemandLogger = AddSubPage(f.PageControl_Logger, "Page_DemandLogger");
    f.Page_EventsLogger = AddSubPage(f.PageControl_Logger, "Page_EventsLogger");
    f.Page_CertifiedLogger = AddSubPage(f.PageControl_Logger, "Page_CertifiedLogger");

    // Right of the sub-page tabs, where a device without a demand logger has none.
    f.Label_Note_Demand_Logger =
        Child<QLabel>(page, "Label_Note_Demand_Logger", 420, kTabsTop + 5,
                     kLoggerLeft + kGroupLeft + kGroupWidth - 420, 17);
    f.Label_Note_Demand_Logger->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    f.Label_Note_Demand_Logger->setVisible(false);

    BuildDemandPage(f);
    BuildEventsPage(f);
    BuildCertifiedPage(f);
    BuildDemandLegend(f);

    // dlg_saveas is made on first use (CsvSaveDialog).
}
