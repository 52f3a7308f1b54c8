// The main window's frame: page control and pages, title line, indicator row,
// device-information column, communication monitor, timers and the colours.
#include <QAction>
#include <QFont>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include "app/Logos.h"
#include "app/MainForm.h"
#include "app/PageBuilders.h"
#include "app/Shape.h"
#include "app/Text.h"
#include "app/WidgetHelpers.h"

namespace {

QTimer* MakeTimer(TMainForm& f, const char* name, int intervalMs, bool singleShot)
{
    auto* t = new QTimer(&f);
    t->setObjectName(QLatin1String(name));
    t->setInterval(intervalMs);
    t->setSingleShot(singleShot);
    return t;
}

constexpr uint32_t ClrDisabledText = 0xC0C0C0;

// Colours of the whole window. Text colours stay in the palette (not in the
// style sheet) so that handlers can still recolour single labels and groups.
void ApplyWindowStyle(TMainForm& f)
{
    const QColor background = ToQColor(ClrBackground);
    const QColor text = ToQColor(ClrText);
    const QColor green = ToQColor(ClrButtonFace);
    const QColor grey = ToQColor(ClrDisabledText);
    QPalette pal = f.palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(g, QPalette::Window, background);
        pal.setColor(g, QPalette::Base, background);
        pal.setColor(g, QPalette::AlternateBase, background.lighter(118));
        pal.setColor(g, QPalette::Button, green);
        pal.setColor(g, QPalette::Highlight, green);
        pal.setColor(g, QPalette::HighlightedText, background);
        pal.setColor(g, QPalette::Light, background.lighter(190));
        pal.setColor(g, QPalette::Midlight, background.lighter(150));
        pal.setColor(g, QPalette::Mid, background.lighter(165));
        pal.setColor(g, QPalette::Dark, background.darker(160));
        pal.setColor(g, QPalette::Shadow, background.darker(250));
        pal.setColor(g, QPalette::ToolTipBase, background);
        pal.setColor(g, QPalette::ToolTipText, text);
        pal.setColor(g, QPalette::Link, green);
        pal.setColor(g, QPalette::PlaceholderText, grey);
        const bool disabled = g == QPalette::Disabled;
        pal.setColor(g, QPalette::WindowText, disabled ? grey : text);
        pal.setColor(g, QPalette::Text, disabled ? grey : text);
        pal.setColor(g, QPalette::ButtonText, disabled ? grey : background);
        pal.setColor(g, QPalette::BrightText, text);
    }
    f.setPalette(pal);
    f.setAutoFillBackground(true);

    // A narrow face keeps the dense captions of both languages inside their places.
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(9);
    f.setFont(font);
}

} // namespace

// Only the tab bar gets a style sheet: a sheet on a parent would reset the
// palettes of everything under it.
void StylePageTabs(QTabWidget* pages)
{
    pages->setDocumentMode(true);
    pages->setUsesScrollButtons(false);
    pages->tabBar()->setExpanding(false);
    pages->tabBar()->setDrawBase(false);
    pages->tabBar()->setStyleSheet(QStringLiteral(
        "QTabBar::tab { background: #292633; color: #FEFEFE; border: 1px solid #48B172;"
        "  border-radius: 3px; padding: 4px 7px; margin: 0px 3px 0px 0px; }"
        "QTabBar::tab:selected { background: #48B172; color: #292633; }"
        "QTabBar::tab:hover:!selected { background: #34463D; }"
        "QTabBar::tab:disabled { color: #C0C0C0; }"));
}

namespace {

QLabel* InfoLabel(QWidget* parent, const char* name, int left, int top, int width)
{
    auto* l = Child<QLabel>(parent, name, left, top, width, 20);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    l->hide(); // revealed once, when the Setup page is first shown
    return l;
}

// Device-information column in the large layout: captions at the left edge,
// values beside them. Tops are those of the Modbus layout; the M-Bus layout
// moves the lower rows down to make room for the secondary address.
void BuildDeviceInfoColumn(TMainForm& f)
{
    constexpr int capLeft = 866;
    constexpr int capWidth = 112;
    constexpr int valLeft = 980;
    constexpr int valWidth = 137;
    constexpr int fullWidth = valLeft + valWidth - capLeft;

    f.Label_Parameters = Child<QLabel>(&f, "Label_Parameters", capLeft, 34, fullWidth, 22);
    QFont heading = f.Label_Parameters->font();
    heading.setBold(true);
    heading.setPointSize(10);
    f.Label_Parameters->setFont(heading);

    f.Label_PrimaryAddress = InfoLabel(&f, "Label_PrimaryAddress", capLeft, 62, capWidth);
    f.Label_DeviceAddress = InfoLabel(&f, "Label_DeviceAddress", valLeft, 62, valWidth);
    f.Label_Device_Type = InfoLabel(&f, "Label_Device_Type", capLeft, 86, capWidth);
    f.Label_DeviceType = InfoLabel(&f, "Label_DeviceType", valLeft, 86, valWidth);
    f.Label_SerNumber = InfoLabel(&f, "Label_SerNumber", capLeft, 110, capWidth);
    f.Label_Device_SerN = InfoLabel(&f, "Label_Device_SerN", valLeft, 110, valWidth);
    f.Label_Features = InfoLabel(&f, "Label_Features", capLeft, 134, capWidth);
    f.Label_Device_Options = InfoLabel(&f, "Label_Device_Options", valLeft, 134, valWidth);
    f.Label_ProductInfo = InfoLabel(&f, "Label_ProductInfo", capLeft, 158, fullWidth);
    f.StaticText_ProductInfo = Child<QLabel>(&f, "StaticText_ProductInfo", capLeft, 176, fullWidth, 30);
    f.StaticText_ProductInfo->setWordWrap(true);
    f.StaticText_ProductInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    f.StaticText_ProductInfo->hide();

    f.Label_SecondaryAddress = InfoLabel(&f, "Label_SecondaryAddress", capLeft, 208, fullWidth);
    f.Label_Sec_ID = InfoLabel(&f, "Label_Sec_ID", capLeft, 232, capWidth);
    f.Label_Secondary_Address_ID = InfoLabel(&f, "Label_Secondary_Address_ID", valLeft, 232, valWidth);
    f.Label_Sec_Manufacturer = InfoLabel(&f, "Label_Sec_Manufacturer", capLeft, 256, capWidth);
    f.Label_Manufacturer = InfoLabel(&f, "Label_Manufacturer", valLeft, 256, valWidth);
    f.Label_Sec_Version = InfoLabel(&f, "Label_Sec_Version", capLeft, 280, capWidth);
    f.Label_Version = InfoLabel(&f, "Label_Version", valLeft, 280, valWidth);
    f.Label_Sec_Type = InfoLabel(&f, "Label_Sec_Type", capLeft, 304, capWidth);
    f.Label_Type = InfoLabel(&f, "Label_Type", valLeft, 304, valWidth);

    f.Label_Demand = InfoLabel(&f, "Label_Demand", capLeft, 208, capWidth);
    f.Label_Demand_Period = InfoLabel(&f, "Label_Demand_Period", valLeft, 208, valWidth);
    f.Label_VT = InfoLabel(&f, "Label_VT", capLeft, 233, capWidth);
    f.Label__VT = InfoLabel(&f, "Label__VT", valLeft, 233, valWidth);
    f.Label_CT = InfoLabel(&f, "Label_CT", capLeft, 256, capWidth);
    f.Label__CT = InfoLabel(&f, "Label__CT", valLeft, 256, valWidth);
    f.Label_Main_DeviceTime = InfoLabel(&f, "Label_Main_DeviceTime", capLeft, 280, fullWidth);
    f.Label_MainDeviceTimeDate = InfoLabel(&f, "Label_MainDeviceTimeDate", capLeft, 300, fullWidth);
}

// Title line and indicators above the pages.
void BuildTopRow(TMainForm& f)
{
    f.Label_Main = Child<QLabel>(&f, "Label_Main", 352, 3, 500, 22);
    QFont title = f.Label_Main->font();
    title.setBold(true);
    title.setPointSize(10);
    f.Label_Main->setFont(title);
    f.Label_Main->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    f.Label_Main->hide(); // shown from the first page change on

    // Busy indicator: five small bars, never animated, only ever hidden.
    const int barWidths[5] = {5, 10, 15, 9, 9};
    TShape** bars[5] = {&f.MainShape1, &f.MainShape2, &f.MainShape3, &f.MainShape4, &f.MainShape5};
    const char* barNames[5] = {"MainShape1", "MainShape2", "MainShape3", "MainShape4", "MainShape5"};
    int x = 866;
    for (int i = 0; i < 5; ++i) {
        *bars[i] = Child<TShape>(&f, barNames[i], x, 10, barWidths[i], 9);
        (*bars[i])->SetBrushColor(ClrButtonFace);
        (*bars[i])->SetPenColor(ClrButtonFace);
        (*bars[i])->hide();
        x += barWidths[i] + 3;
    }

    f.Label_Tariff = Child<QLabel>(&f, "Label_Tariff", 932, 4, 55, 20);
    f.Label_Tariff->hide();
    f.Label_Actual_Tariff = Child<QLabel>(&f, "Label_Actual_Tariff", 987, 4, 25, 20);
    f.Label_Actual_Tariff->hide();
    QFont bold = f.Label_Actual_Tariff->font();
    bold.setBold(true);
    f.Label_Actual_Tariff->setFont(bold);
    f.Label_Tarif_HW = Child<QLabel>(&f, "Label_Tarif_HW", 1012, 4, 40, 20);
    f.Label_Tarif_HW->setFont(bold);

    f.Image_Com_Connected_Device = Child<QLabel>(&f, "Image_Com_Connected_Device", 1088, 2, 25, 25);
    f.Image_Com_Connected_Device->setPixmap(DrawComConnectedImage());
    f.Image_Com_Connected_Device->hide();
    f.Image_Com_in_Progress = Child<QLabel>(&f, "Image_Com_in_Progress", 1088, 2, 25, 25);
    f.Image_Com_in_Progress->setPixmap(DrawComInProgressImage());
    f.Image_Com_in_Progress->hide();
}

void BuildPages(TMainForm& f)
{
    f.PageControl_Main = Child<QTabWidget>(&f, "PageControl_Main", 4, 28, 849, 628);
    StylePageTabs(f.PageControl_Main);
    QWidget** pages[5] = {&f.Page_Measurement, &f.Page_Energy, &f.Page_Logger, &f.Page_Setup, &f.Page_Help};
    const char* names[5] = {"Page_Measurement", "Page_Energy", "Page_Logger", "Page_Setup", "Page_Help"};
    for (int i = 0; i < 5; ++i) {
        *pages[i] = new QWidget;
        (*pages[i])->setObjectName(QLatin1String(names[i]));
        f.PageControl_Main->addTab(*pages[i], QString());
    }
    f.PageControl_Main->setCurrentWidget(f.Page_Help); // the window opens on the Help page
}

// The monitor lies right of the normal width until the expert check box widens the window.
void BuildMonitor(TMainForm& f)
{
    f.Memo_Com_Win = Child<QPlainTextEdit>(&f, "Memo_Com_Win", 1464, 28, 382, 624);
    f.Memo_Com_Win->setReadOnly(true);
    f.Memo_Com_Win->setLineWrapMode(QPlainTextEdit::NoWrap);
    f.Memo_Com_Win->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    f.Memo_Com_Win->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(9);
    f.Memo_Com_Win->setFont(mono);

    f.PopupMenu1 = new QMenu(&f);
    f.PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto addItem = [&f](const char* name) {
        auto* a = new QAction(f.PopupMenu1);
        a->setObjectName(QLatin1String(name));
        f.PopupMenu1->addAction(a);
        return a;
    };
    f.CopyToClipboard1 = addItem("CopyToClipboard1");
    f.PopUpDeleteAll = addItem("PopUpDeleteAll");
    f.PopUpSelectAll = addItem("PopUpSelectAll");
    f.Memo_Com_Win->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(f.Memo_Com_Win, &QWidget::customContextMenuRequested, f.Memo_Com_Win,
                     [&f](const QPoint& pos) { f.PopupMenu1->popup(f.Memo_Com_Win->mapToGlobal(pos)); });
}

void BuildTimers(TMainForm& f)
{
    // Intervals and one-shot kinds as the handlers expect them; only the
    // start-up read timer of the Energy page runs from the beginning.
    f.Timer_Image_Com_in_Progress = MakeTimer(f, "Timer_Image_Com_in_Progress", 500, false);
    f.TimerMainStatusBar = MakeTimer(f, "TimerMainStatusBar", 500, false);
    f.Timer_Display_Refresh = MakeTimer(f, "Timer_Display_Refresh", 5000, false);
    f.Timer_Measurement_Start_Measuring = MakeTimer(f, "Timer_Measurement_Start_Measuring", 20, true);
    f.Timer_Energy_Values_Start_Measuring = MakeTimer(f, "Timer_Energy_Values_Start_Measuring", 20, true);
    f.Timer_Energy_Resettable_Start_Reading = MakeTimer(f, "Timer_Energy_Resettable_Start_Reading", 20, true);
    f.Timer_Energy_Freeze_Start_Reading = MakeTimer(f, "Timer_Energy_Freeze_Start_Reading", 20, true);
    f.TimerRefreshMainDeviceTime = MakeTimer(f, "TimerRefreshMainDeviceTime", 60000, false);
    f.TimerIP_Connect = MakeTimer(f, "TimerIP_Connect", 500, true);
    f.TCPIP_receive_timer = MakeTimer(f, "TCPIP_receive_timer", 2000, false);
    f.TimerSetup = MakeTimer(f, "TimerSetup", 2000, true);
    f.TimerDeleteMemoryTime = MakeTimer(f, "TimerDeleteMemoryTime", 1000, false);
    f.Timer_Energy_Values_Start_Measuring->start();
}

} // namespace

void BuildMainFrame(TMainForm& f)
{
    ApplyWindowStyle(f);
    // Created before the page control so that a widened page covers them.
    BuildDeviceInfoColumn(f);
    BuildPages(f);
    BuildTopRow(f);
    BuildMonitor(f);
    BuildTimers(f);
}
