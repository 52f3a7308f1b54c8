// The large and small window layouts, the demand status legend that opens the
// large layout for itself, the demand page widths and the help panes' focus.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>
#include <memory>

#include "ToolWindowsTest.h"
#include "app/MainForm.h"
#include "app/Startup.h"
#include "app/StringGrid.h"

namespace {

class LayoutTest : public ToolWindowsTest {
protected:
    void SetUp() override { StartWindows(); }
};

void SendMouse(QWidget* w, QEvent::Type type)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Click(QWidget* w)
{
    SendMouse(w, QEvent::MouseButtonPress);
    SendMouse(w, QEvent::MouseButtonRelease);
}

struct Lefts {
    int title, tariff, actualTariff, tariffHw, comImage;
};

void ExpectLefts(TMainForm& f, const Lefts& at)
{
    EXPECT_EQ(f.Label_Main->x(), at.title);
    EXPECT_EQ(f.Label_Tariff->x(), at.tariff);
    EXPECT_EQ(f.Label_Actual_Tariff->x(), at.actualTariff);
    EXPECT_EQ(f.Label_Tarif_HW->x(), at.tariffHw);
    EXPECT_EQ(f.Image_Com_Connected_Device->x(), at.comImage);
    EXPECT_EQ(f.Image_Com_in_Progress->x(), at.comImage);
}

bool Shown(const QWidget* w)
{
    return !w->isHidden();
}

TEST_F(LayoutTest, SmallNarrowsTheWindowAndHidesTheDemandArrow)
{
    f().RadioButton_Small->setChecked(true);
    EXPECT_EQ(f().width(), 860);
    EXPECT_EQ(f().height(), 660);
    EXPECT_EQ(f().WindowSize, 2);
    EXPECT_FALSE(Shown(f().LabelDemandLargeArrow));
    EXPECT_FALSE(f().LabelDemandLargeArrow->isEnabled());
    ExpectLefts(f(), {252, 692, 747, 782, 823});
    // The demand page goes narrow with it.
    EXPECT_EQ(f().PageControl_Main->width(), 849);
    EXPECT_EQ(f().LabelDemandLargeArrow->text(), QStringLiteral(">"));
    EXPECT_FALSE(f().RadioButton_Large->isChecked());
}

TEST_F(LayoutTest, LargeRestoresTheWidthAndTheIndicatorRow)
{
    const struct {
        uint8_t alt;
        Lefts lefts;
    } cases[] = {{1, {352, 932, 987, 1012, 1088}}, {0, {352, 1062, 1117, 1142, 1218}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.alt));
        f().AltLayout = c.alt;
        f().RadioButton_Small->setChecked(true);
        f().RadioButton_Large->setChecked(true);
        EXPECT_EQ(f().width(), 1125);
        EXPECT_EQ(f().WindowSize, 1);
        EXPECT_TRUE(Shown(f().LabelDemandLargeArrow));
        EXPECT_TRUE(f().LabelDemandLargeArrow->isEnabled());
        ExpectLefts(f(), c.lefts);
    }
}

TEST_F(LayoutTest, LargeWithTheMonitorShownIsWider)
{
    f().RadioButton_Small->setChecked(true);
    f().CheckBoxAdministrator->setChecked(true);
    f().RadioButton_Large->setChecked(true);
    EXPECT_EQ(f().width(), 1520);
    EXPECT_EQ(f().height(), 660);
    // The small layout does not look at the monitor.
    f().RadioButton_Small->setChecked(true);
    EXPECT_EQ(f().width(), 860);
}

TEST_F(LayoutTest, CheckingTheCheckedLayoutAgainChangesNothing)
{
    f().resize(1000, 660);
    f().RadioButton_Large->setChecked(true);
    EXPECT_EQ(f().width(), 1000);
}

TEST_F(LayoutTest, DemandStatusInTheSmallLayoutOpensTheLargeOneUntilTheLegendCloses)
{
    f().PageControl_Main->setCurrentWidget(f().Page_Logger);
    f().RadioButton_Small->setChecked(true);
    ASSERT_EQ(f().width(), 860);

    Click(f().LabelDemandStatus);
    EXPECT_EQ(f().width(), 1125);
    EXPECT_TRUE(f().RadioButton_Large->isChecked());
    EXPECT_FALSE(f().RadioButton_Small->isChecked());
    EXPECT_EQ(f().RestoreSmallLayout, 1);
    EXPECT_TRUE(Shown(f().RichEdit_DemandLogger_Help_In));
    EXPECT_TRUE(Shown(f().Label_DemandLogger_Help_In_X));
    EXPECT_FALSE(Shown(f().Label_Parameters));
    EXPECT_FALSE(Shown(f().LabelDemandLargeArrow));
    EXPECT_TRUE(f().RichEdit_DemandLogger_Help_In->toPlainText().contains(QStringLiteral("0008")));
    // For looking at: the legend over the device-information column.
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    f().grab().toImage().save(QStringLiteral(SCREENSHOT_DIR "/layout-demand-legend.png"));

    SendMouse(f().Label_DemandLogger_Help_In_X, QEvent::MouseButtonPress);
    EXPECT_EQ(f().width(), 860);
    EXPECT_TRUE(f().RadioButton_Small->isChecked());
    EXPECT_EQ(f().WindowSize, 2);
    EXPECT_FALSE(Shown(f().RichEdit_DemandLogger_Help_In));
    EXPECT_FALSE(Shown(f().Label_DemandLogger_Help_In_X));
    EXPECT_TRUE(Shown(f().Label_Parameters));
}

TEST_F(LayoutTest, DemandStatusInTheLargeLayoutStaysLarge)
{
    Click(f().LabelDemandStatus);
    EXPECT_EQ(f().RestoreSmallLayout, 0);
    EXPECT_TRUE(Shown(f().RichEdit_DemandLogger_Help_In));
    // The arrow stays: the large layout was the user's own.
    EXPECT_TRUE(Shown(f().LabelDemandLargeArrow));
    SendMouse(f().Label_DemandLogger_Help_In_X, QEvent::MouseButtonPress);
    EXPECT_EQ(f().width(), 1125);
    EXPECT_TRUE(f().RadioButton_Large->isChecked());
    EXPECT_FALSE(Shown(f().RichEdit_DemandLogger_Help_In));
}

TEST_F(LayoutTest, DemandStatusWhileTheLegendIsShownOnlyHidesIt)
{
    f().RadioButton_Small->setChecked(true);
    Click(f().LabelDemandStatus);
    ASSERT_TRUE(Shown(f().RichEdit_DemandLogger_Help_In));
    Click(f().LabelDemandStatus);
    EXPECT_FALSE(Shown(f().RichEdit_DemandLogger_Help_In));
    EXPECT_FALSE(Shown(f().Label_DemandLogger_Help_In_X));
    EXPECT_EQ(f().width(), 1125);
    EXPECT_TRUE(f().RadioButton_Large->isChecked());
}

TEST_F(LayoutTest, ReleaseOutsideTheStatusLabelIsNoClick)
{
    QWidget* label = f().LabelDemandStatus;
    SendMouse(label, QEvent::MouseButtonPress);
    const QPointF outside(label->width() + 20.0, label->height() + 20.0);
    QMouseEvent release(QEvent::MouseButtonRelease, outside, label->mapToGlobal(outside), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(label, &release);
    EXPECT_FALSE(Shown(f().RichEdit_DemandLogger_Help_In));
}

TEST_F(LayoutTest, LegendFollowsTheLanguageAndTheDevice)
{
    const struct {
        bool english;
        uint8_t variant;
        const char* expected;
        bool hasClockBits;
    } cases[] = {
        {true, 1, "Demand Logger Status 1", false},
        {false, 1, "Zählerstandsgang Status 1", false},
        {true, 2, "Demand Logger Status 2", true},
        {false, 2, "Zählerstandsgang Status 2", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        (c.english ? f().RadioButton_English : f().RadioButton_German)->setChecked(true);
        f().DeviceVariant = c.variant;
        f().ShowDemandStatusHelp(1);
        const QString legend = f().RichEdit_DemandLogger_Help_In->toPlainText();
        EXPECT_TRUE(legend.contains(QString::fromUtf8(c.expected)));
        // Only meters with the large logger have the clock bits of status word 2.
        EXPECT_EQ(legend.contains(QStringLiteral("18 ")), c.hasClockBits);
        EXPECT_FALSE(f().RichEdit_DemandLogger_Help_In->hasFocus());
        f().ShowDemandStatusHelp(0);
    }
}

TEST_F(LayoutTest, DemandPageWidthsPerLayout)
{
    const struct {
        int mode;
        bool english;
        int mainPages, loggerPages, group, grid, arrowLeft;
        const char* arrow;
        bool productInfo;
        int statusLeft, defaultLeft;
    } cases[] = {
        {1, true, 1105, 1097, 1089, 1060, 1076, "<", false, 970, 1026},
        {1, false, 1105, 1097, 1089, 1060, 1076, "<", false, 910, 966},
        {0, true, 849, 841, 833, 805, 816, ">", true, 720, 776},
        {0, false, 849, 841, 833, 805, 816, ">", true, 660, 716},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode * 10 + c.english);
        (c.english ? f().RadioButton_English : f().RadioButton_German)->setChecked(true);
        f().SetDemandLoggerLayout(c.mode);
        EXPECT_EQ(f().PageControl_Main->width(), c.mainPages);
        EXPECT_EQ(f().PageControl_Logger->width(), c.loggerPages);
        EXPECT_EQ(f().GroupBox_DemandLogger->width(), c.group);
        EXPECT_EQ(f().StringGrid_DemandLogger->width(), c.grid);
        EXPECT_EQ(f().GroupBoxDemandInterval->width(), c.grid);
        EXPECT_EQ(f().LabelDemandLargeArrow->x(), c.arrowLeft);
        EXPECT_EQ(f().LabelDemandLargeArrow->text(), QString::fromLatin1(c.arrow));
        EXPECT_EQ(Shown(f().StaticText_ProductInfo), c.productInfo);
        EXPECT_EQ(f().LabelDemandStatus->x(), c.statusLeft);
        EXPECT_EQ(f().LabelDemandDefault->x(), c.defaultLeft);
    }

    // Narrow widths only: the caption and the label places stay.
    f().SetDemandLoggerLayout(1);
    const int statusLeft = f().LabelDemandStatus->x();
    f().SetDemandLoggerLayout(2);
    EXPECT_EQ(f().PageControl_Main->width(), 849);
    EXPECT_EQ(f().LabelDemandLargeArrow->x(), 816);
    EXPECT_EQ(f().LabelDemandLargeArrow->text(), QStringLiteral("<"));
    EXPECT_EQ(f().LabelDemandStatus->x(), statusLeft);
}

TEST_F(LayoutTest, DemandDefaultWidthsFollowTheDevice)
{
    const struct {
        uint8_t variant, reactive;
        int col3, col7;
    } cases[] = {{0, 0, 55, 0}, {1, 1, 55, 95}, {2, 1, 75, 0}, {3, 1, 75, 95}, {3, 0, 75, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant * 10 + c.reactive);
        f().DeviceVariant = c.variant;
        f().HasReactiveEnergy = c.reactive;
        f().SetDemandGridDefaultWidths();
        TStringGrid* g = f().StringGrid_DemandLogger;
        EXPECT_EQ(g->ColWidth(0), 55);
        EXPECT_EQ(g->ColWidth(3), c.col3);
        EXPECT_EQ(g->ColWidth(7), c.col7);
        EXPECT_EQ(g->ColWidth(8), c.col7);
        EXPECT_EQ(g->ColWidth(9), 95);
    }
}

TEST_F(LayoutTest, HelpPanesGiveTheFocusBackOnMouseDown)
{
    QApplication::setActiveWindow(&f());
    for (QTextEdit* pane : {f().RichEdit_Help, f().RichEdit_EventsLogger_Help}) {
        SCOPED_TRACE(pane->objectName().toStdString());
        f().PageControl_Main->setCurrentWidget(pane == f().RichEdit_Help ? f().Page_Help : f().Page_Logger);
        if (pane == f().RichEdit_EventsLogger_Help) f().PageControl_Logger->setCurrentWidget(f().Page_EventsLogger);
        pane->setFocusPolicy(Qt::StrongFocus);
        pane->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(pane->hasFocus());
        SendMouse(pane->viewport(), QEvent::MouseButtonPress);
        EXPECT_FALSE(pane->hasFocus());
    }
}

} // namespace
