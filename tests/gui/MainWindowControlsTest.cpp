// The component tree of the main window's frame and of the Measurement,
// Energy and Help pages; the string grid and the shape they are built from.
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <vector>

#include "app/MainForm.h"
#include "app/Shape.h"
#include "app/StringGrid.h"
#include "app/Text.h"

namespace {

enum class Home { Frame, Measurement, Values, Resettable, Freeze, Energy, Help };

struct ControlSpec {
    const char* name;
    const char* type;
    Home home;
    std::function<QObject*(TMainForm&)> member;
};

#define CTRL(name, type, home) ControlSpec{#name, #type, Home::home, [](TMainForm& f) -> QObject* { return f.name; }}

// Every component of these pages that the behaviour refers to, with its kind.
const std::vector<ControlSpec>& Controls()
{
    static const std::vector<ControlSpec> list = {
        // Frame: pages, title line, indicators, device information, monitor, timers.
        CTRL(PageControl_Main, QTabWidget, Frame),
        CTRL(Page_Measurement, QWidget, Frame),
        CTRL(Page_Energy, QWidget, Frame),
        CTRL(Page_Logger, QWidget, Frame),
        CTRL(Page_Setup, QWidget, Frame),
        CTRL(Page_Help, QWidget, Frame),
        CTRL(Label_Main, QLabel, Frame),
        CTRL(Label_Tariff, QLabel, Frame),
        CTRL(Label_Actual_Tariff, QLabel, Frame),
        CTRL(Label_Tarif_HW, QLabel, Frame),
        CTRL(Image_Com_Connected_Device, QLabel, Frame),
        CTRL(Image_Com_in_Progress, QLabel, Frame),
        CTRL(MainShape1, TShape, Frame),
        CTRL(MainShape2, TShape, Frame),
        CTRL(MainShape3, TShape, Frame),
        CTRL(MainShape4, TShape, Frame),
        CTRL(MainShape5, TShape, Frame),
        CTRL(Label_Parameters, QLabel, Frame),
        CTRL(Label_PrimaryAddress, QLabel, Frame),
        CTRL(Label_DeviceAddress, QLabel, Frame),
        CTRL(Label_Device_Type, QLabel, Frame),
        CTRL(Label_DeviceType, QLabel, Frame),
        CTRL(Label_SerNumber, QLabel, Frame),
        CTRL(Label_Device_SerN, QLabel, Frame),
        CTRL(Label_Features, QLabel, Frame),
        CTRL(Label_Device_Options, QLabel, Frame),
        CTRL(Label_ProductInfo, QLabel, Frame),
        CTRL(StaticText_ProductInfo, QLabel, Frame),
        CTRL(Label_SecondaryAddress, QLabel, Frame),
        CTRL(Label_Sec_ID, QLabel, Frame),
        CTRL(Label_Secondary_Address_ID, QLabel, Frame),
        CTRL(Label_Sec_Manufacturer, QLabel, Frame),
        CTRL(Label_Manufacturer, QLabel, Frame),
        CTRL(Label_Sec_Version, QLabel, Frame),
        CTRL(Label_Version, QLabel, Frame),
        CTRL(Label_Sec_Type, QLabel, Frame),
        CTRL(Label_Type, QLabel, Frame),
        CTRL(Label_Demand, QLabel, Frame),
        CTRL(Label_Demand_Period, QLabel, Frame),
        CTRL(Label_VT, QLabel, Frame),
        CTRL(Label__VT, QLabel, Frame),
        CTRL(Label_CT, QLabel, Frame),
        CTRL(Label__CT, QLabel, Frame),
        CTRL(Label_Main_DeviceTime, QLabel, Frame),
        CTRL(Label_MainDeviceTimeDate, QLabel, Frame),
        CTRL(Memo_Com_Win, QPlainTextEdit, Frame),
        CTRL(PopupMenu1, QMenu, Frame),
        CTRL(CopyToClipboard1, QAction, Frame),
        CTRL(PopUpDeleteAll, QAction, Frame),
        CTRL(PopUpSelectAll, QAction, Frame),
        CTRL(Timer_Image_Com_in_Progress, QTimer, Frame),
        CTRL(TimerMainStatusBar, QTimer, Frame),
        CTRL(Timer_Display_Refresh, QTimer, Frame),
        CTRL(Timer_Measurement_Start_Measuring, QTimer, Frame),
        CTRL(Timer_Energy_Values_Start_Measuring, QTimer, Frame),
        CTRL(Timer_Energy_Resettable_Start_Reading, QTimer, Frame),
        CTRL(Timer_Energy_Freeze_Start_Reading, QTimer, Frame),
        CTRL(TimerRefreshMainDeviceTime, QTimer, Frame),
        CTRL(TimerIP_Connect, QTimer, Frame),
        CTRL(TCPIP_receive_timer, QTimer, Frame),
        CTRL(TimerSetup, QTimer, Frame),
        CTRL(TimerDeleteMemoryTime, QTimer, Frame),
        // Measurement page.
        CTRL(Button_Measurement_StartMeasuring, QPushButton, Measurement),
        CTRL(Label_HomeStatus, QLabel, Measurement),
        CTRL(GroupBox_U1, QGroupBox, Measurement),
        CTRL(GroupBox_U2, QGroupBox, Measurement),
        CTRL(GroupBox_U3, QGroupBox, Measurement),
        CTRL(GroupBox_U12, QGroupBox, Measurement),
        CTRL(GroupBox_U13, QGroupBox, Measurement),
        CTRL(GroupBox_U23, QGroupBox, Measurement),
        CTRL(GroupBox_THD_U1, QGroupBox, Measurement),
        CTRL(GroupBox_THD_U2, QGroupBox, Measurement),
        CTRL(GroupBox_THD_U3, QGroupBox, Measurement),
        CTRL(GroupBox_IN, QGroupBox, Measurement),
        CTRL(GroupBox_I2, QGroupBox, Measurement),
        CTRL(GroupBox_I3, QGroupBox, Measurement),
        CTRL(GroupBox_THDI2, QGroupBox, Measurement),
        CTRL(GroupBox_THDI3, QGroupBox, Measurement),
        CTRL(GroupBox_P1, QGroupBox, Measurement),
        CTRL(GroupBox_P2, QGroupBox, Measurement),
        CTRL(GroupBox_P3, QGroupBox, Measurement),
        CTRL(GroupBox_Q1, QGroupBox, Measurement),
        CTRL(GroupBox_Q2, QGroupBox, Measurement),
        CTRL(GroupBox_Q3, QGroupBox, Measurement),
        CTRL(GroupBox_S1, QGroupBox, Measurement),
        CTRL(GroupBox_S2, QGroupBox, Measurement),
        CTRL(GroupBox_S3, QGroupBox, Measurement),
        CTRL(GroupBox_PF1, QGroupBox, Measurement),
        CTRL(GroupBox_PF2, QGroupBox, Measurement),
        CTRL(GroupBox_PF3, QGroupBox, Measurement),
        CTRL(GroupBox_PTotal, QGroupBox, Measurement),
        CTRL(GroupBox_QTotal, QGroupBox, Measurement),
        CTRL(GroupBox_STotal, QGroupBox, Measurement),
        CTRL(GroupBox_PFTotal, QGroupBox, Measurement),
        CTRL(GroupBox_Frequency, QGroupBox, Measurement),
        CTRL(GroupBox_VoltageStatus, QGroupBox, Measurement),
        CTRL(GroupBox_CurrentStatus, QGroupBox, Measurement),
        CTRL(StaticText_U1, QLabel, Measurement),
        CTRL(StaticText_U2, QLabel, Measurement),
        CTRL(StaticText_U3, QLabel, Measurement),
        CTRL(StaticText_U12, QLabel, Measurement),
        CTRL(StaticText_U23, QLabel, Measurement),
        CTRL(StaticText_U13, QLabel, Measurement),
        CTRL(StaticText_THD_U1, QLabel, Measurement),
        CTRL(StaticText_THD_U2, QLabel, Measurement),
        CTRL(StaticText_THD_U3, QLabel, Measurement),
        CTRL(StaticText_I1, QLabel, Measurement),
        CTRL(StaticText_I2, QLabel, Measurement),
        CTRL(StaticText_I3, QLabel, Measurement),
        CTRL(StaticText_IN, QLabel, Measurement),
        CTRL(StaticText_THD_I1, QLabel, Measurement),
        CTRL(StaticText_THD_I2, QLabel, Measurement),
        CTRL(StaticText_THD_I3, QLabel, Measurement),
        CTRL(StaticText_FREQ, QLabel, Measurement),
        CTRL(StaticText_P1, QLabel, Measurement),
        CTRL(StaticText_P2, QLabel, Measurement),
        CTRL(StaticText_P3, QLabel, Measurement),
        CTRL(StaticText_PTOT, QLabel, Measurement),
        CTRL(StaticText_Q1, QLabel, Measurement),
        CTRL(StaticText_Q2, QLabel, Measurement),
        CTRL(StaticText_Q3, QLabel, Measurement),
        CTRL(StaticText_QTOT, QLabel, Measurement),
        CTRL(StaticText_S1, QLabel, Measurement),
        CTRL(StaticText_S2, QLabel, Measurement),
        CTRL(StaticText_S3, QLabel, Measurement),
        CTRL(StaticText_STOT, QLabel, Measurement),
        CTRL(StaticText_PF1, QLabel, Measurement),
        CTRL(StaticText_PF2, QLabel, Measurement),
        CTRL(StaticText_PF3, QLabel, Measurement),
        CTRL(StaticText_PFTOT, QLabel, Measurement),
        CTRL(Label_Freq_Value, QLabel, Measurement),
        CTRL(Label_Freq_Status, QLabel, Measurement),
        CTRL(Label_Freq_Synchronization, QLabel, Measurement),
        CTRL(Label_FreqStat, QLabel, Measurement),
        CTRL(Label_FreqStatSync, QLabel, Measurement),
        CTRL(Label_UStatus_L1, QLabel, Measurement),
        CTRL(Label_UStatus_L2, QLabel, Measurement),
        CTRL(Label_UStatus_L3, QLabel, Measurement),
        CTRL(Label_UStatus__L1, QLabel, Measurement),
        CTRL(Label_UStatus__L2, QLabel, Measurement),
        CTRL(Label_UStatus__L3, QLabel, Measurement),
        CTRL(Label_IStatus_L1, QLabel, Measurement),
        CTRL(Label_IStatus_L2, QLabel, Measurement),
        CTRL(Label_IStatus_L3, QLabel, Measurement),
        CTRL(Label_IStatus__L1, QLabel, Measurement),
        CTRL(Label_IStatus__L2, QLabel, Measurement),
        CTRL(Label_IStatus__L3, QLabel, Measurement),
        CTRL(Label_L1, QLabel, Measurement),
        CTRL(Label_L2, QLabel, Measurement),
        CTRL(Label_L3, QLabel, Measurement),
        CTRL(Label_N, QLabel, Measurement),
        CTRL(Shape_L1, TShape, Measurement),
        CTRL(Shape_L2, TShape, Measurement),
        CTRL(Shape_L3, TShape, Measurement),
        CTRL(Shape_L1N, TShape, Measurement),
        CTRL(Shape_L2N, TShape, Measurement),
        CTRL(Shape_L3N, TShape, Measurement),
        CTRL(Shape_L13, TShape, Measurement),
        CTRL(Shape_N, TShape, Measurement),
        CTRL(Shape_Junction_L1N, TShape, Measurement),
        CTRL(Shape_Junction_N, TShape, Measurement),
        CTRL(Shape_Junction_L1, TShape, Measurement),
        CTRL(Shape_Junction_L1a, TShape, Measurement),
        CTRL(Shape_Junction_L1b, TShape, Measurement),
        CTRL(Shape_Junction_L2a, TShape, Measurement),
        CTRL(Shape_Junction_L2b, TShape, Measurement),
        CTRL(Shape_Junction_L3a, TShape, Measurement),
        CTRL(Shape_Junction_L3b, TShape, Measurement),
        CTRL(Shape_Junction_L2N, TShape, Measurement),
        // Energy page and its sub-pages.
        CTRL(PageControl_Energy, QTabWidget, Energy),
        CTRL(Page_Values, QWidget, Energy),
        CTRL(Page_ResettableCounters, QWidget, Energy),
        CTRL(Page_FreezeCounters, QWidget, Energy),
        CTRL(Shape_Energy, TShape, Energy),
        CTRL(Shape_Energie_Horizontal, TShape, Energy),
        CTRL(Button_Energie_MainCounters_StartMonitoring, QPushButton, Values),
        CTRL(Label_Energy_Values_Status, QLabel, Values),
        CTRL(GroupBox_MainCounters, QGroupBox, Values),
        CTRL(StringGrid_MainCounters, TStringGrid, Values),
        CTRL(Label_Energy_Type1, QLabel, Values),
        CTRL(StaticText_EnergyType_Values, QLabel, Values),
        CTRL(Label_DeviceTime, QLabel, Values),
        CTRL(StaticText_MonitoringTime, QLabel, Values),
        CTRL(Label_DeviceDate, QLabel, Values),
        CTRL(StaticText_MonitoringDate, QLabel, Values),
        CTRL(Label_TotalOpTime, QLabel, Values),
        CTRL(StaticText_TotalOperatingTime, QLabel, Values),
        CTRL(Label_OpTime, QLabel, Values),
        CTRL(StaticText_OperatingTimeSinceReset, QLabel, Values),
        CTRL(Button_ResettableCounters_Read, QPushButton, Resettable),
        CTRL(Label_Energy_Resettable_Status, QLabel, Resettable),
        CTRL(GroupBox_ResettableCounters, QGroupBox, Resettable),
        CTRL(StringGrid_ResettableCounters, TStringGrid, Resettable),
        CTRL(Label_Energy_Type2, QLabel, Resettable),
        CTRL(StaticText_EnergyType_ResetableValues, QLabel, Resettable),
        CTRL(Label_ResetTime, QLabel, Resettable),
        CTRL(StaticText_ResettableTime, QLabel, Resettable),
        CTRL(Label_ResetDate, QLabel, Resettable),
        CTRL(StaticText_ResettableDate, QLabel, Resettable),
        CTRL(GroupBox_Reset_Setup, QGroupBox, Resettable),
        CTRL(GroupBox_Reset_Setup_Time, QGroupBox, Resettable),
        CTRL(GroupBox_Reset_Setup_Date, QGroupBox, Resettable),
        CTRL(MaskEdit_Change_ResettableTime, QLineEdit, Resettable),
        CTRL(MaskEdit_Change_ResettableDate, QLineEdit, Resettable),
        CTRL(Button_Reset_Set_Submit, QPushButton, Resettable),
        CTRL(Button_Resettable_Setup_Read, QPushButton, Resettable),
        CTRL(Button_FreezeCounters_Read, QPushButton, Freeze),
        CTRL(Label_Energy_Freeze_Status, QLabel, Freeze),
        CTRL(GroupBox_FreezeCounters, QGroupBox, Freeze),
        CTRL(StringGrid_FreezeCounters, TStringGrid, Freeze),
        CTRL(Label_Energy_Type3, QLabel, Freeze),
        CTRL(StaticText_EnergyType_FreezeValues, QLabel, Freeze),
        CTRL(Label_FreezeTime, QLabel, Freeze),
        CTRL(StaticText_FreezeTime, QLabel, Freeze),
        CTRL(Label_FreezeDate, QLabel, Freeze),
        CTRL(StaticText_FreezeDate, QLabel, Freeze),
        CTRL(GroupBox_Freeze_Setup, QGroupBox, Freeze),
        CTRL(GroupBox_Freeze_Setup_Time, QGroupBox, Freeze),
        CTRL(GroupBox_Freeze_Setup_Date, QGroupBox, Freeze),
        CTRL(MaskEdit_Change_FreezeTime, QLineEdit, Freeze),
        CTRL(MaskEdit_Change_FreezeDate, QLineEdit, Freeze),
        CTRL(Button_Freeze_Set, QPushButton, Freeze),
        CTRL(Button_Freeze_Setup_Read, QPushButton, Freeze),
        // Help page.
        CTRL(RichEdit_Help, QTextEdit, Help),
        CTRL(Label_Help_customer_left_logo, QLabel, Help),
        CTRL(Label_Help_middle_logo, QLabel, Help),
        CTRL(Label_Help_middle_logo_web, QLabel, Help),
        CTRL(Label_HelpVersion, QLabel, Help),
        CTRL(Tool_Image_Logo_TVK, QLabel, Help),
        CTRL(Tool_Image_Logo_middle_TVK, QLabel, Help),
        CTRL(Tool_Image_Logo_NOLD, QLabel, Help),
        CTRL(Tool_Image_Logo_middle_NOLD, QLabel, Help),
        CTRL(Label4, QLabel, Help),
    };
    return list;
}

QWidget* HomeWidget(TMainForm& f, Home h)
{
    switch (h) {
    case Home::Frame: return &f;
    case Home::Measurement: return f.Page_Measurement;
    case Home::Values: return f.Page_Values;
    case Home::Resettable: return f.Page_ResettableCounters;
    case Home::Freeze: return f.Page_FreezeCounters;
    case Home::Energy: return f.Page_Energy;
    case Home::Help: return f.Page_Help;
    }
    return nullptr;
}

TEST(MainWindowControls, EveryNamedComponentExistsOnceWithItsKindAndPlace)
{
    TMainForm f;
    for (const ControlSpec& c : Controls()) {
        SCOPED_TRACE(c.name);
        QObject* member = c.member(f);
        ASSERT_NE(member, nullptr);
        EXPECT_EQ(member->objectName(), QLatin1String(c.name));
        EXPECT_TRUE(member->inherits(c.type)) << member->metaObject()->className();
        const QList<QObject*> named = f.findChildren<QObject*>(QLatin1String(c.name));
        EXPECT_EQ(named.size(), 1);
        if (auto* w = qobject_cast<QWidget*>(member)) {
            QWidget* home = HomeWidget(f, c.home);
            if (c.home == Home::Frame && !qobject_cast<QWidget*>(w->parent())->inherits("QTabWidget") &&
                !w->parentWidget()->inherits("QStackedWidget"))
                EXPECT_EQ(w->parentWidget(), &f);
            else
                EXPECT_TRUE(home->isAncestorOf(w));
        } else {
            QObject* owner = member->parent();
            while (owner && owner != &f) owner = owner->parent();
            EXPECT_EQ(owner, &f);
        }
    }
}

TEST(MainWindowControls, PagesComeInOrderAndTheWindowOpensOnHelp)
{
    TMainForm f;
    const QWidget* main[] = {f.Page_Measurement, f.Page_Energy, f.Page_Logger, f.Page_Setup, f.Page_Help};
    ASSERT_EQ(f.PageControl_Main->count(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(f.PageControl_Main->widget(i), main[i]) << i;
    EXPECT_EQ(f.PageControl_Main->currentWidget(), f.Page_Help);
    const QWidget* energy[] = {f.Page_Values, f.Page_ResettableCounters, f.Page_FreezeCounters};
    ASSERT_EQ(f.PageControl_Energy->count(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f.PageControl_Energy->widget(i), energy[i]) << i;
    EXPECT_EQ(f.width(), 1125);
    EXPECT_EQ(f.height(), 660);
}

TEST(MainWindowControls, TimersStartWithTheirIntervalsAndOnlyTheEnergyStartTimerRuns)
{
    TMainForm f;
    struct TimerSpec {
        QTimer* timer;
        int interval;
        bool singleShot;
        bool active;
    } const timers[] = {
        {f.Timer_Image_Com_in_Progress, 500, false, false},
        {f.TimerMainStatusBar, 500, false, false},
        {f.Timer_Measurement_Start_Measuring, 20, true, false},
        {f.Timer_Energy_Values_Start_Measuring, 20, true, true},
        {f.Timer_Energy_Resettable_Start_Reading, 20, true, false},
        {f.Timer_Energy_Freeze_Start_Reading, 20, true, false},
        {f.TimerRefreshMainDeviceTime, 60000, false, false},
        {f.TimerIP_Connect, 500, true, false},
        {f.TCPIP_receive_timer, 2000, false, false},
        {f.TimerSetup, 2000, true, false},
    };
    for (const TimerSpec& t : timers) {
        SCOPED_TRACE(t.timer->objectName().toStdString());
        EXPECT_EQ(t.timer->interval(), t.interval);
        EXPECT_EQ(t.timer->isSingleShot(), t.singleShot);
        EXPECT_EQ(t.timer->isActive(), t.active);
    }
    EXPECT_FALSE(f.Timer_Display_Refresh->isActive());
    EXPECT_FALSE(f.TimerDeleteMemoryTime->isActive());
}

TEST(MainWindowControls, StartStateOfIndicatorsAndDeviceInformation)
{
    TMainForm f;
    // Hidden until a device, a page change or the first Setup visit shows them.
    const QWidget* hidden[] = {f.Label_Main, f.Image_Com_Connected_Device, f.Image_Com_in_Progress, f.MainShape1,
                               f.MainShape2, f.MainShape3, f.MainShape4, f.MainShape5, f.Label_Tariff,
                               f.Label_Actual_Tariff, f.Label_DeviceAddress, f.Label_DeviceType,
                               f.StaticText_ProductInfo, f.Label_Secondary_Address_ID, f.Label_Main_DeviceTime,
                               f.Button_Resettable_Setup_Read, f.Button_Freeze_Setup_Read};
    for (const QWidget* w : hidden) EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_FALSE(f.Button_Resettable_Setup_Read->isEnabled());
    EXPECT_FALSE(f.Button_Freeze_Setup_Read->isEnabled());
    EXPECT_FALSE(f.Label_Tarif_HW->isHidden());
    EXPECT_FALSE(f.Label_Parameters->isHidden());
    // The busy bars: widths 5, 10, 15, 9, 9 in the button green.
    const TShape* bars[] = {f.MainShape1, f.MainShape2, f.MainShape3, f.MainShape4, f.MainShape5};
    const int widths[] = {5, 10, 15, 9, 9};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bars[i]->width(), widths[i]);
        EXPECT_EQ(bars[i]->BrushColor(), ClrButtonFace);
    }
    // The indicators of the large layout stand where the layout code puts them.
    EXPECT_EQ(f.Label_Tariff->x(), 932);
    EXPECT_EQ(f.Label_Actual_Tariff->x(), 987);
    EXPECT_EQ(f.Label_Tarif_HW->x(), 1012);
    EXPECT_EQ(f.Image_Com_Connected_Device->geometry(), QRect(1088, f.Image_Com_Connected_Device->y(), 25, 25));
    EXPECT_EQ(f.Image_Com_in_Progress->geometry(), f.Image_Com_Connected_Device->geometry());
    EXPECT_EQ(f.Label_Main->x(), 352);
    EXPECT_EQ(f.Memo_Com_Win->x(), 1464);
    EXPECT_EQ(f.PageControl_Main->width(), 849);
}

TEST(MainWindowControls, BrandTextsLogosAndScreenLine)
{
    TMainForm f;
    EXPECT_EQ(f.Label_Help_customer_left_logo->text(), Txt(TxtToolTitle, 1));
    EXPECT_EQ(f.Label_Help_middle_logo->text(), Txt(TxtRightsLine, 1));
    EXPECT_EQ(f.Label_Help_middle_logo_web->text(), Txt(TxtWebAddress, 1));
    EXPECT_EQ(f.Label_HelpVersion->text(), QStringLiteral("Version 1.27"));
    EXPECT_FALSE(f.Tool_Image_Logo_TVK->isHidden());
    EXPECT_FALSE(f.Tool_Image_Logo_middle_TVK->isHidden());
    EXPECT_TRUE(f.Tool_Image_Logo_NOLD->isHidden());
    EXPECT_TRUE(f.Tool_Image_Logo_middle_NOLD->isHidden());
    // The two brands' logos are different drawings.
    EXPECT_NE(f.Tool_Image_Logo_TVK->pixmap().toImage(), f.Tool_Image_Logo_NOLD->pixmap().toImage());
    EXPECT_NE(f.Tool_Image_Logo_middle_TVK->pixmap().toImage(), f.Tool_Image_Logo_middle_NOLD->pixmap().toImage());

    const QRegularExpression line(QStringLiteral("^dpi: (\\d+), (\\d+)x(\\d+)$"));
    const auto m = line.match(f.Label4->text());
    ASSERT_TRUE(m.hasMatch()) << f.Label4->text().toStdString();
    const QScreen* scr = f.screen();
    ASSERT_NE(scr, nullptr);
    EXPECT_EQ(m.captured(1).toInt(), qRound(scr->logicalDotsPerInchX()));
    EXPECT_EQ(m.captured(2).toInt(), qRound(scr->size().width() * scr->devicePixelRatio()));
    EXPECT_EQ(m.captured(3).toInt(), qRound(scr->size().height() * scr->devicePixelRatio()));
}

// Widgets that lie outside their parent on purpose.
bool OutsideOnPurpose(const QString& name)
{
    return name == QLatin1String("Memo_Com_Win") || name.endsWith(QLatin1String("_Setup_Read"));
}

// A page control sizes a page when it first shows it.
void ShowEveryPageOnce(TMainForm& f)
{
    f.show();
    for (int i = 0; i < f.PageControl_Main->count(); ++i) {
        f.PageControl_Main->setCurrentIndex(i);
        QApplication::processEvents();
    }
    f.PageControl_Main->setCurrentWidget(f.Page_Energy);
    for (int i = 0; i < f.PageControl_Energy->count(); ++i) {
        f.PageControl_Energy->setCurrentIndex(i);
        QApplication::processEvents();
    }
}

TEST(MainWindowLayout, EveryComponentLiesInsideItsParent)
{
    TMainForm f;
    ShowEveryPageOnce(f);
    for (const ControlSpec& c : Controls()) {
        auto* w = qobject_cast<QWidget*>(c.member(f));
        if (!w || w->isWindow() || OutsideOnPurpose(QLatin1String(c.name))) continue;
        const QWidget* parent = w->parentWidget();
        if (parent->inherits("QStackedWidget")) continue; // pages are sized by their page control
        EXPECT_TRUE(parent->rect().contains(w->geometry()))
            << c.name << " at " << w->x() << "," << w->y() << " " << w->width() << "x" << w->height() << " in "
            << parent->objectName().toStdString() << " " << parent->width() << "x" << parent->height();
    }
}

TEST(MainWindowLayout, GroupsOfAPageDoNotOverlap)
{
    TMainForm f;
    for (QWidget* page : {f.Page_Measurement, f.Page_Values, f.Page_ResettableCounters, f.Page_FreezeCounters,
                          f.Page_Help}) {
        std::vector<QWidget*> blocks;
        for (QWidget* w : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!w->inherits("TShape") && !w->isHidden()) blocks.push_back(w);
        for (size_t i = 0; i < blocks.size(); ++i)
            for (size_t j = i + 1; j < blocks.size(); ++j) {
                // The brand logos of the two brands share their place; only one shows.
                EXPECT_FALSE(blocks[i]->geometry().intersects(blocks[j]->geometry()))
                    << blocks[i]->objectName().toStdString() << " / " << blocks[j]->objectName().toStdString();
            }
    }
}

TEST(MainWindowLayout, WideLoggerPageCoversTheDeviceInformationColumn)
{
    TMainForm f;
    f.show();
    for (QLabel* l : {f.Label_DeviceType, f.Label_Device_Type, f.Label_Demand_Period, f.Label_MainDeviceTimeDate})
        l->show();
    const QPoint probe = f.Label_DeviceType->geometry().center();
    EXPECT_EQ(f.childAt(probe), f.Label_DeviceType);
    f.PageControl_Main->resize(1105, f.PageControl_Main->height());
    QWidget* top = f.childAt(probe);
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(top == f.PageControl_Main || f.PageControl_Main->isAncestorOf(top))
        << top->objectName().toStdString();
    // The indicator row stays above the pages in every layout.
    EXPECT_LE(f.Image_Com_Connected_Device->geometry().bottom(), f.PageControl_Main->y());
    EXPECT_LE(f.Label_Main->geometry().bottom(), f.PageControl_Main->y());
}

// Grabs the window on one page.
QImage GrabOn(TMainForm& f, QWidget* page)
{
    f.PageControl_Main->setCurrentWidget(page);
    QApplication::processEvents();
    return f.grab().toImage();
}

bool HasPixelNear(const QImage& img, const QColor& c, int tolerance)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor p = img.pixelColor(x, y);
            if (qAbs(p.red() - c.red()) <= tolerance && qAbs(p.green() - c.green()) <= tolerance &&
                qAbs(p.blue() - c.blue()) <= tolerance)
                return true;
        }
    return false;
}

TEST(MainWindowLook, WindowColoursAndRecolouredLabelsShow)
{
    TMainForm f;
    f.show();
    const QImage img = GrabOn(f, f.Page_Help);
    EXPECT_EQ(img.pixelColor(img.width() - 20, img.height() - 10), ToQColor(ClrBackground));
    // The current page's tab is drawn in the button green.
    const QRect tab = f.PageControl_Main->tabBar()->tabRect(f.PageControl_Main->indexOf(f.Page_Help));
    const QPoint inTab = f.PageControl_Main->tabBar()->mapTo(&f, tab.topLeft() + QPoint(3, tab.height() / 2));
    EXPECT_EQ(img.pixelColor(inTab), ToQColor(ClrButtonFace));
    // Handlers colour status texts through the palette; the window style must not undo that.
    f.PageControl_Main->setCurrentWidget(f.Page_Measurement);
    f.Label_HomeStatus->setText(QStringLiteral("MMMMMMMM"));
    QPalette pal = f.Label_HomeStatus->palette();
    pal.setColor(QPalette::WindowText, ToQColor(0x0000FF));
    f.Label_HomeStatus->setPalette(pal);
    QApplication::processEvents();
    EXPECT_TRUE(HasPixelNear(f.Label_HomeStatus->grab().toImage(), QColor(255, 0, 0), 40));
}

TEST(MainWindowLook, Screenshots)
{
    TMainForm f;
    f.Language = 0;
    f.ApplyLanguage();
    f.show();
    const QString dir = qEnvironmentVariable("SCREENSHOT_OUT", QStringLiteral(SCREENSHOT_DIR));
    ASSERT_TRUE(QDir().mkpath(dir));
    auto save = [&dir](const QImage& img, const char* file) {
        ASSERT_FALSE(img.isNull());
        EXPECT_TRUE(img.save(dir + QLatin1Char('/') + QLatin1String(file))) << file;
    };
    save(GrabOn(f, f.Page_Measurement), "measurement.png");
    save(GrabOn(f, f.Page_Help), "help.png");
    for (QWidget* sub : {f.Page_Values, f.Page_ResettableCounters, f.Page_FreezeCounters}) {
        f.PageControl_Energy->setCurrentWidget(sub);
        const QByteArray file = "energy-" + sub->objectName().toLatin1() + ".png";
        save(GrabOn(f, f.Page_Energy), file.constData());
    }

    f.Language = 1;
    f.ApplyLanguage();
    f.PageControl_Energy->setCurrentWidget(f.Page_ResettableCounters);
    save(GrabOn(f, f.Page_Energy), "energy-german.png");
    f.Language = 0;
    f.ApplyLanguage();

    // The same window with sample readings of a connected four-wire meter, to
    // judge that full-length texts fit their places. The symbol titles are
    // sample data here: the window gets them from the caption code.
    for (QLabel* l : f.Page_Measurement->findChildren<QLabel*>()) {
        const QString name = l->objectName();
        if (name.startsWith(QLatin1String("StaticText_THD")))
            l->setText(QStringLiteral(" 100.0 %"));
        else if (name.startsWith(QLatin1String("StaticText_U")))
            l->setText(QStringLiteral(" 400.12 V"));
        else if (name.startsWith(QLatin1String("StaticText_I")))
            l->setText(QStringLiteral(" 12.345 A"));
        else if (name.startsWith(QLatin1String("StaticText_PF")))
            l->setText(QStringLiteral(" -0.950 "));
        else if (name.startsWith(QLatin1String("StaticText_")))
            l->setText(QStringLiteral(" -12.345 kW"));
    }
    f.StaticText_FREQ->setText(QStringLiteral(" 49.99 Hz"));
    for (QGroupBox* g : f.Page_Measurement->findChildren<QGroupBox*>())
        if (g->title().isEmpty()) g->setTitle(g->objectName().mid(9));
    for (QLabel* l : {f.Label_UStatus__L1, f.Label_UStatus__L2, f.Label_UStatus__L3, f.Label_IStatus__L1,
                      f.Label_IStatus__L2, f.Label_IStatus__L3})
        l->setText(QStringLiteral(" > 120%"));
    f.Label_FreqStat->setText(QStringLiteral(" Ok"));
    f.Label_FreqStatSync->setText(QStringLiteral(" NO"));
    for (QLabel* l : {f.Label_L1, f.Label_L2, f.Label_L3, f.Label_N, f.Label_UStatus_L1, f.Label_UStatus_L2,
                      f.Label_UStatus_L3, f.Label_IStatus_L1, f.Label_IStatus_L2, f.Label_IStatus_L3})
        l->setText(l->objectName().section(QLatin1Char('_'), -1));
    for (QLabel* l : f.findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (l->pixmap().isNull() && l->text().isEmpty()) l->setText(QStringLiteral(" 1234567890"));
        if (l != f.Image_Com_in_Progress && !l->objectName().startsWith(QLatin1String("Label_Sec")) &&
            l != f.Label_Secondary_Address_ID && l != f.Label_Manufacturer && l != f.Label_Version &&
            l != f.Label_Type && l->parent() == &f && l->x() < 1125)
            l->show();
    }
    f.StaticText_ProductInfo->setText(QStringLiteral("DX420 Energy Meter, Interface HW:1.2,FW:3.04, Base FW: 2.10"));
    save(GrabOn(f, f.Page_Measurement), "measurement-sample.png");
}

// ---------------------------------------------------------------- string grid

TEST(StringGrid, HoldsAndFillsAFullDemandLoggerAboutAsFastAsPlainStorage)
{
    constexpr int rows = 171000 + 1;
    constexpr int cols = 11;
    QString texts[cols];
    for (int c = 0; c < cols; ++c) texts[c] = QStringLiteral(" 12345.678 kWh %1").arg(c);

    TStringGrid grid;
    grid.resize(600, 400);
    grid.show();
    grid.SetColCount(cols);
    grid.SetRowCount(rows);
    QApplication::processEvents();

    // Best of three runs each, against the same assignments into plain rows
    // of strings; the shared build machine makes single runs noisy.
    QElapsedTimer clock;
    qint64 referenceNs = 0;
    qint64 gridNs = 0;
    for (int run = 0; run < 3; ++run) {
        std::vector<std::vector<QString>> reference(rows);
        clock.start();
        for (int r = 1; r < rows; ++r) {
            reference[r].resize(cols);
            for (int c = 0; c < cols; ++c) reference[r][c] = texts[c];
        }
        const qint64 ref = std::max<qint64>(clock.nsecsElapsed(), 1);
        referenceNs = run == 0 ? ref : std::min(referenceNs, ref);

        grid.SetRowCount(1);
        grid.SetRowCount(rows);
        clock.restart();
        for (int r = 1; r < rows; ++r)
            for (int c = 0; c < cols; ++c) grid.SetCell(c, r, texts[c]);
        const qint64 fill = clock.nsecsElapsed();
        gridNs = run == 0 ? fill : std::min(gridNs, fill);
        QApplication::processEvents();
    }

    EXPECT_EQ(grid.RowCount(), rows);
    EXPECT_EQ(grid.Cell(10, rows - 1), texts[10]);
    EXPECT_EQ(grid.Cell(0, 85000), texts[0]);
    // No item object and no model signal per cell: a small factor over plain
    // storage (a signal per cell alone costs about four times the storage).
    std::printf("fill of %d x %d cells: grid %lld ms, plain storage %lld ms\n", rows - 1, cols,
                static_cast<long long>(gridNs / 1000000), static_cast<long long>(referenceNs / 1000000));
    EXPECT_LT(gridNs, 3 * referenceNs) << "grid " << gridNs / 1000000 << " ms, reference "
                                       << referenceNs / 1000000 << " ms";
}

TEST(StringGrid, CellsOutsideTheGridAreEmptyAndIgnored)
{
    TStringGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(4);
    grid.SetCell(2, 3, QStringLiteral("x"));
    struct Probe {
        int col, row;
    } const outside[] = {{-1, 0}, {3, 0}, {0, -1}, {0, 4}, {100, 100}};
    for (const Probe& p : outside) {
        grid.SetCell(p.col, p.row, QStringLiteral("y"));
        EXPECT_TRUE(grid.Cell(p.col, p.row).isEmpty()) << p.col << "," << p.row;
    }
    EXPECT_EQ(grid.Cell(2, 3), QStringLiteral("x"));
    // Shrinking drops what lies outside; growing again does not bring it back.
    grid.SetColCount(2);
    grid.SetRowCount(3);
    grid.SetColCount(3);
    grid.SetRowCount(4);
    EXPECT_TRUE(grid.Cell(2, 3).isEmpty());
}

TEST(StringGrid, FixedRowsStayOutOfTheScrollingBody)
{
    TStringGrid grid;
    grid.SetColCount(4);
    grid.SetDefaultRowHeight(20);
    grid.SetFixedRows(1);
    grid.SetRowCount(10);
    EXPECT_EQ(grid.model()->rowCount(), 9);
    EXPECT_EQ(grid.horizontalHeader()->height(), 20);
    grid.SetCell(1, 0, QStringLiteral(" Date"));
    grid.SetCell(1, 1, QStringLiteral("2024-01-02"));
    EXPECT_EQ(grid.model()->data(grid.model()->index(0, 1)).toString(), QStringLiteral("2024-01-02"));
    grid.SetFixedRows(2);
    EXPECT_EQ(grid.model()->rowCount(), 8);
    EXPECT_EQ(grid.horizontalHeader()->height(), 40);
    grid.SetFixedRows(0);
    EXPECT_TRUE(grid.horizontalHeader()->isHidden());
    EXPECT_EQ(grid.model()->rowCount(), 10);
}

TEST(StringGrid, ProviderServesTheRowsBelowTheFixedOnes)
{
    TStringGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(171001);
    grid.SetCell(0, 0, QStringLiteral(" Index"));
    grid.SetCell(0, 5, QStringLiteral("stored"));
    int calls = 0;
    grid.SetCellProvider([&calls](int col, int row) {
        ++calls;
        return QStringLiteral("r%1c%2").arg(row).arg(col);
    });
    EXPECT_EQ(grid.Cell(0, 0), QStringLiteral(" Index")); // header stays stored
    EXPECT_EQ(grid.Cell(0, 5), QStringLiteral("r5c0"));
    EXPECT_EQ(grid.Cell(2, 171000), QStringLiteral("r171000c2"));
    EXPECT_EQ(grid.model()->data(grid.model()->index(99, 1)).toString(), QStringLiteral("r100c1"));
    EXPECT_TRUE(grid.Cell(3, 10).isEmpty()); // outside the columns the provider is not asked
    EXPECT_EQ(calls, 3);
    grid.SetCellProvider(nullptr);
    EXPECT_EQ(grid.Cell(0, 5), QStringLiteral("stored"));
}

TEST(StringGrid, RowSelectionCountsTheFixedRowsAndReportsTheCell)
{
    TStringGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(6);
    std::vector<std::pair<int, int>> selected;
    grid.SetSelectCellHook([&selected](int col, int row) { selected.emplace_back(col, row); });
    grid.SetRow(3);
    EXPECT_EQ(grid.Row(), 3);
    grid.SetRow(0); // a fixed row cannot be selected
    grid.SetRow(6);
    EXPECT_EQ(grid.Row(), 3);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0], std::make_pair(0, 3));
}

TEST(StringGrid, DrawHookPaintsCellsAndFallsBackToTheDefault)
{
    TStringGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(4);
    grid.SetDefaultRowHeight(20);
    for (int c = 0; c < 3; ++c) grid.SetColWidth(c, 60);
    grid.resize(3 * 60 + 2 * grid.frameWidth(), 4 * 20 + 2 * grid.frameWidth());
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.SetRow(2);
    std::set<std::tuple<int, int, bool, bool>> seen;
    grid.SetDrawCellHook([&seen](QPainter& p, const QRect& rect, int col, int row, bool fixed, bool selected) {
        seen.emplace(col, row, fixed, selected);
        if (col != 1) return false;
        p.fillRect(rect, QColor(255, 0, 0));
        return true;
    });
    grid.show();
    const QImage img = grid.grab().toImage();
    EXPECT_TRUE(seen.count({0, 0, true, false}));
    EXPECT_TRUE(seen.count({1, 1, false, false}));
    EXPECT_TRUE(seen.count({1, 2, false, true}));
    EXPECT_FALSE(seen.count({1, 1, true, false}));
    const int fw = grid.frameWidth();
    // Column 1 painted by the hook in the body and in the fixed row.
    EXPECT_EQ(img.pixelColor(fw + 60 + 30, fw + 10), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(fw + 60 + 30, fw + 20 + 10), QColor(255, 0, 0));
    // Column 2 kept the default: fixed row in the button green.
    EXPECT_EQ(img.pixelColor(fw + 120 + 50, fw + 12), ToQColor(ClrButtonFace));
}

// ---------------------------------------------------------------- shape

TEST(Shape, PaintsItsBrushColourInItsFigure)
{
    struct Case {
        TShape::Kind kind;
        QSize size;
        QPoint inside;
        QPoint outside; // (-1,-1): the figure fills the corner
    } const cases[] = {
        {TShape::Rectangle, {20, 10}, {1, 1}, {-1, -1}},
        {TShape::RoundRect, {20, 20}, {10, 10}, {0, 0}},
        {TShape::Circle, {40, 20}, {20, 10}, {5, 10}},
        {TShape::Ellipse, {40, 20}, {5, 10}, {1, 1}},
    };
    QWidget host;
    host.setAutoFillBackground(true);
    QPalette pal = host.palette();
    pal.setColor(QPalette::Window, Qt::white);
    host.setPalette(pal);
    for (const Case& c : cases) {
        TShape shape(&host);
        shape.resize(c.size);
        shape.SetKind(c.kind);
        shape.SetBrushColor(0x0000FF); // red in the 0x00BBGGRR order
        shape.SetPenColor(0x0000FF);
        EXPECT_EQ(shape.BrushColor(), 0x0000FFu);
        const QImage img = host.grab(shape.geometry()).toImage();
        EXPECT_EQ(img.pixelColor(c.inside), QColor(255, 0, 0)) << int(c.kind);
        if (c.outside.x() >= 0) {
            EXPECT_NE(img.pixelColor(c.outside), QColor(255, 0, 0)) << int(c.kind);
        }
    }
}

} // namespace
