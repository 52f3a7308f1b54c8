// The Measurement page: start button and status line on top; one row of value
// groups per phase (voltages and currents left, powers right), the totals in
// the fourth row, frequency and limit status below, and the wiring picture at
// the left edge. Positions the device layout later moves to are kept in step
// with this grid: phase rows every 80 pixels, power columns every 105.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "app/MainForm.h"
#include "app/PageBuilders.h"
#include "app/Shape.h"
#include "app/Text.h"
#include "app/WidgetHelpers.h"

namespace {

constexpr int kRowTop[3] = {40, 120, 200}; // phase rows L1, L2, L3
constexpr int kTotalsTop = 280;
constexpr int kGroupHeight = 66;
constexpr int kStatusTop = 364;
constexpr int kStatusHeight = 92;
constexpr int kLineY[3] = {72, 152, 232}; // centre of each phase line
constexpr int kNeutralY = 505;            // reached by the long verticals of the four-wire picture
constexpr uint32_t kWireColour = 0xB0A4A8;

// Left columns: phase voltage, line voltage, voltage THD, current, current THD.
constexpr int kColULeft = 53, kColUWidth = 72;
constexpr int kColULLLeft = 134;
constexpr int kColThdULeft = 215, kColThdWidth = 60;
constexpr int kColILeft = 284;
constexpr int kColThdILeft = 365;
// Right columns: P, Q, S, PF.
constexpr int kPowerLeft[4] = {437, 542, 647, 752};
constexpr int kPowerWidth = 93;

// Groups of the page sit on a slightly lighter ground, which also hides the
// wiring lines that run behind them.
void Card(QGroupBox* g)
{
    QPalette pal = g->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::AlternateBase));
    g->setPalette(pal);
    g->setAutoFillBackground(true);
}

QGroupBox* ValueGroup(QWidget* page, const char* groupName, QLabel** value, const char* valueName, int left,
                      int top, int width)
{
    auto* g = Child<QGroupBox>(page, groupName, left, top, width, kGroupHeight);
    Card(g);
    *value = Child<QLabel>(g, valueName, 4, 24, width - 8, 34);
    (*value)->setAlignment(Qt::AlignCenter);
    QFont font = (*value)->font();
    font.setBold(true);
    (*value)->setFont(font);
    return g;
}

TShape* Wire(QWidget* page, const char* name, int left, int top, int width, int height)
{
    auto* s = Child<TShape>(page, name, left, top, width, height);
    s->SetBrushColor(kWireColour);
    s->SetPenColor(kWireColour);
    return s;
}

TShape* Junction(QWidget* page, const char* name, int centreX, int centreY)
{
    auto* s = Child<TShape>(page, name, centreX - 3, centreY - 3, 7, 7);
    s->SetKind(TShape::Circle);
    s->SetBrushColor(ClrButtonFace);
    s->SetPenColor(ClrButtonFace);
    return s;
}

// Vertical wires at these x positions (their centres).
constexpr int kX13 = 26, kX2N = 34, kX3N = 42, kX1N = 48;

void BuildWiring(TMainForm& f)
{
    QWidget* p = f.Page_Measurement;
    f.Label_L1 = Child<QLabel>(p, "Label_L1", 2, kLineY[0] - 9, 18, 18);
    f.Label_L2 = Child<QLabel>(p, "Label_L2", 2, kLineY[1] - 9, 18, 18);
    f.Label_L3 = Child<QLabel>(p, "Label_L3", 2, kLineY[2] - 9, 18, 18);
    f.Label_N = Child<QLabel>(p, "Label_N", 2, kNeutralY - 9, 18, 18);

    f.Shape_L1 = Wire(p, "Shape_L1", 20, kLineY[0] - 1, kColULeft - 20, 3);
    f.Shape_L2 = Wire(p, "Shape_L2", 20, kLineY[1] - 1, kColULeft - 20, 3);
    f.Shape_L3 = Wire(p, "Shape_L3", 20, kLineY[2] - 1, kColULeft - 20, 3);
    f.Shape_N = Wire(p, "Shape_N", 20, kNeutralY - 1, kColILeft - 20, 3);

    // Three-wire picture: L13 joins L1 and L3, L2N (from L1) and L3N (from L2)
    // are cut to one row pitch; the four-wire picture lengthens them to N.
    f.Shape_L13 = Wire(p, "Shape_L13", kX13 - 1, kLineY[0], 3, kLineY[2] - kLineY[0] + 2);
    f.Shape_L2N = Wire(p, "Shape_L2N", kX2N - 1, kLineY[0], 3, kNeutralY - kLineY[0]);
    f.Shape_L3N = Wire(p, "Shape_L3N", kX3N - 1, kLineY[1], 3, kNeutralY - kLineY[1]);
    f.Shape_L1N = Wire(p, "Shape_L1N", kX1N - 1, kLineY[0], 3, kNeutralY - kLineY[0]);

    f.Shape_Junction_L1a = Junction(p, "Shape_Junction_L1a", kX13, kLineY[0]);
    f.Shape_Junction_L3a = Junction(p, "Shape_Junction_L3a", kX13, kLineY[2]);
    f.Shape_Junction_L1b = Junction(p, "Shape_Junction_L1b", kX2N, kLineY[0]);
    f.Shape_Junction_L2a = Junction(p, "Shape_Junction_L2a", kX2N, kLineY[1]);
    f.Shape_Junction_L2b = Junction(p, "Shape_Junction_L2b", kX3N, kLineY[1]);
    f.Shape_Junction_L3b = Junction(p, "Shape_Junction_L3b", kX3N, kLineY[2]);
    f.Shape_Junction_L1 = Junction(p, "Shape_Junction_L1", kX1N, kLineY[0]);
    f.Shape_Junction_N = Junction(p, "Shape_Junction_N", kX1N, kNeutralY);
    f.Shape_Junction_L2N = Junction(p, "Shape_Junction_L2N", kX2N, kNeutralY);
    f.Shape_Junction_L1N = Junction(p, "Shape_Junction_L1N", kX3N, kNeutralY);
}

struct ValueGroupSpec {
    QGroupBox* MeasurementControls::*group;
    const char* groupName;
    QLabel* MeasurementControls::*value;
    const char* valueName;
    int left;
    int top;
    int width;
};

void BuildValueGroups(TMainForm& f)
{
    using M = MeasurementControls;
    const ValueGroupSpec specs[] = {
        // Phase L1 row.
        {&M::GroupBox_U1, "GroupBox_U1", &M::StaticText_U1, "StaticText_U1", kColULeft, kRowTop[0], kColUWidth},
        {&M::GroupBox_U12, "GroupBox_U12", &M::StaticText_U12, "StaticText_U12", kColULLLeft, kRowTop[0], kColUWidth},
        {&M::GroupBox_THD_U1, "GroupBox_THD_U1", &M::StaticText_THD_U1, "StaticText_THD_U1", kColThdULeft,
         kRowTop[0], kColThdWidth},
        {&M::GroupBox_I1, "GroupBox_I1", &M::StaticText_I1, "StaticText_I1", kColILeft, kRowTop[0], kColUWidth},
        {&M::GroupBox_THDI1, "GroupBox_THDI1", &M::StaticText_THD_I1, "StaticText_THD_I1", kColThdILeft,
         kRowTop[0], kColThdWidth},
        {&M::GroupBox_P1, "GroupBox_P1", &M::StaticText_P1, "StaticText_P1", kPowerLeft[0], kRowTop[0], kPowerWidth},
        {&M::GroupBox_Q1, "GroupBox_Q1", &M::StaticText_Q1, "StaticText_Q1", kPowerLeft[1], kRowTop[0], kPowerWidth},
        {&M::GroupBox_S1, "GroupBox_S1", &M::StaticText_S1, "StaticText_S1", kPowerLeft[2], kRowTop[0], kPowerWidth},
        {&M::GroupBox_PF1, "GroupBox_PF1", &M::StaticText_PF1, "StaticText_PF1", kPowerLeft[3], kRowTop[0],
         kPowerWidth},
        // Phase L2 row.
        {&M::GroupBox_U2, "GroupBox_U2", &M::StaticText_U2, "StaticText_U2", kColULeft, kRowTop[1], kColUWidth},
        {&M::GroupBox_U23, "GroupBox_U23", &M::StaticText_U23, "StaticText_U23", kColULLLeft, kRowTop[1], kColUWidth},
        {&M::GroupBox_THD_U2, "GroupBox_THD_U2", &M::StaticText_THD_U2, "StaticText_THD_U2", kColThdULeft,
         kRowTop[1], kColThdWidth},
        {&M::GroupBox_I2, "GroupBox_I2", &M::StaticText_I2, "StaticText_I2", kColILeft, kRowTop[1], kColUWidth},
        {&M::GroupBox_THDI2, "GroupBox_THDI2", &M::StaticText_THD_I2, "StaticText_THD_I2", kColThdILeft,
         kRowTop[1], kColThdWidth},
        {&M::GroupBox_P2, "GroupBox_P2", &M::StaticText_P2, "StaticText_P2", kPowerLeft[0], kRowTop[1], kPowerWidth},
        {&M::GroupBox_Q2, "GroupBox_Q2", &M::StaticText_Q2, "StaticText_Q2", kPowerLeft[1], kRowTop[1], kPowerWidth},
        {&M::GroupBox_S2, "GroupBox_S2", &M::StaticText_S2, "StaticText_S2", kPowerLeft[2], kRowTop[1], kPowerWidth},
        {&M::GroupBox_PF2, "GroupBox_PF2", &M::StaticText_PF2, "StaticText_PF2", kPowerLeft[3], kRowTop[1],
         kPowerWidth},
        // Phase L3 row.
        {&M::GroupBox_U3, "GroupBox_U3", &M::StaticText_U3, "StaticText_U3", kColULeft, kRowTop[2], kColUWidth},
        {&M::GroupBox_U13, "GroupBox_U13", &M::StaticText_U13, "StaticText_U13", kColULLLeft, kRowTop[2], kColUWidth},
        {&M::GroupBox_THD_U3, "GroupBox_THD_U3", &M::StaticText_THD_U3, "StaticText_THD_U3", kColThdULeft,
         kRowTop[2], kColThdWidth},
        {&M::GroupBox_I3, "GroupBox_I3", &M::StaticText_I3, "StaticText_I3", kColILeft, kRowTop[2], kColUWidth},
        {&M::GroupBox_THDI3, "GroupBox_THDI3", &M::StaticText_THD_I3, "StaticText_THD_I3", kColThdILeft,
         kRowTop[2], kColThdWidth},
        {&M::GroupBox_P3, "GroupBox_P3", &M::StaticText_P3, "StaticText_P3", kPowerLeft[0], kRowTop[2], kPowerWidth},
        {&M::GroupBox_Q3, "GroupBox_Q3", &M::StaticText_Q3, "StaticText_Q3", kPowerLeft[1], kRowTop[2], kPowerWidth},
        {&M::GroupBox_S3, "GroupBox_S3", &M::StaticText_S3, "StaticText_S3", kPowerLeft[2], kRowTop[2], kPowerWidth},
        {&M::GroupBox_PF3, "GroupBox_PF3", &M::StaticText_PF3, "StaticText_PF3", kPowerLeft[3], kRowTop[2],
         kPowerWidth},
        // Totals row, and the neutral current on the N wire.
        {&M::GroupBox_PTotal, "GroupBox_PTotal", &M::StaticText_PTOT, "StaticText_PTOT", kPowerLeft[0], kTotalsTop,
         kPowerWidth},
        {&M::GroupBox_QTotal, "GroupBox_QTotal", &M::StaticText_QTOT, "StaticText_QTOT", kPowerLeft[1], kTotalsTop,
         kPowerWidth},
        {&M::GroupBox_STotal, "GroupBox_STotal", &M::StaticText_STOT, "StaticText_STOT", kPowerLeft[2], kTotalsTop,
         kPowerWidth},
        {&M::GroupBox_PFTotal, "GroupBox_PFTotal", &M::StaticText_PFTOT, "StaticText_PFTOT", kPowerLeft[3],
         kTotalsTop, kPowerWidth},
        {&M::GroupBox_IN, "GroupBox_IN", &M::StaticText_IN, "StaticText_IN", kColILeft, kNeutralY - kGroupHeight / 2,
         kColUWidth},
    };
    MeasurementControls& m = f;
    for (const ValueGroupSpec& s : specs)
        m.*s.group = ValueGroup(f.Page_Measurement, s.groupName, &(m.*s.value), s.valueName, s.left, s.top, s.width);
}

// A caption and its status text, one row of a status group.
void StatusRow(QGroupBox* g, QLabel** caption, const char* captionName, int captionWidth, QLabel** status,
               const char* statusName, int row)
{
    const int top = 22 + row * 22;
    *caption = Child<QLabel>(g, captionName, 8, top, captionWidth, 20);
    *status = Child<QLabel>(g, statusName, 8 + captionWidth, top, g->width() - 14 - captionWidth, 20);
    QFont bold = (*status)->font();
    bold.setBold(true);
    (*status)->setFont(bold);
}

void BuildStatusGroups(TMainForm& f)
{
    QWidget* p = f.Page_Measurement;
    f.GroupBox_Frequency = Child<QGroupBox>(p, "GroupBox_Frequency", 397, kStatusTop, 155, kStatusHeight);
    Card(f.GroupBox_Frequency);
    StatusRow(f.GroupBox_Frequency, &f.Label_Freq_Value, "Label_Freq_Value", 52, &f.StaticText_FREQ,
              "StaticText_FREQ", 0);
    StatusRow(f.GroupBox_Frequency, &f.Label_Freq_Status, "Label_Freq_Status", 100, &f.Label_FreqStat,
              "Label_FreqStat", 1);
    StatusRow(f.GroupBox_Frequency, &f.Label_Freq_Synchronization, "Label_Freq_Synchronization", 100,
              &f.Label_FreqStatSync, "Label_FreqStatSync", 2);

    f.GroupBox_VoltageStatus = Child<QGroupBox>(p, "GroupBox_VoltageStatus", 560, kStatusTop, 128, kStatusHeight);
    Card(f.GroupBox_VoltageStatus);
    StatusRow(f.GroupBox_VoltageStatus, &f.Label_UStatus_L1, "Label_UStatus_L1", 30, &f.Label_UStatus__L1,
              "Label_UStatus__L1", 0);
    StatusRow(f.GroupBox_VoltageStatus, &f.Label_UStatus_L2, "Label_UStatus_L2", 30, &f.Label_UStatus__L2,
              "Label_UStatus__L2", 1);
    StatusRow(f.GroupBox_VoltageStatus, &f.Label_UStatus_L3, "Label_UStatus_L3", 30, &f.Label_UStatus__L3,
              "Label_UStatus__L3", 2);

    f.GroupBox_CurrentStatus = Child<QGroupBox>(p, "GroupBox_CurrentStatus", 696, kStatusTop, 128, kStatusHeight);
    Card(f.GroupBox_CurrentStatus);
    StatusRow(f.GroupBox_CurrentStatus, &f.Label_IStatus_L1, "Label_IStatus_L1", 30, &f.Label_IStatus__L1,
              "Label_IStatus__L1", 0);
    StatusRow(f.GroupBox_CurrentStatus, &f.Label_IStatus_L2, "Label_IStatus_L2", 30, &f.Label_IStatus__L2,
              "Label_IStatus__L2", 1);
    StatusRow(f.GroupBox_CurrentStatus, &f.Label_IStatus_L3, "Label_IStatus_L3", 30, &f.Label_IStatus__L3,
              "Label_IStatus__L3", 2);
}

} // namespace

void BuildMeasurementPage(TMainForm& f)
{
    QWidget* p = f.Page_Measurement;
    f.Button_Measurement_StartMeasuring = Child<QPushButton>(p, "Button_Measurement_StartMeasuring", 8, 8, 130, 25);
    f.Label_HomeStatus = Child<QLabel>(p, "Label_HomeStatus", 150, 8, 560, 25);
    f.Label_HomeStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The wiring goes first so that the value groups lie above its lines.
    BuildWiring(f);
    BuildValueGroups(f);
    BuildStatusGroups(f);
}
