// Measuring on the Measurement page: start and stop, the display refresh timer
// that sets the read job again for the page shown, and the values shown after
// each read.
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "app/ColorButton.h"
#include "app/MainForm.h"
#include "app/Text.h"
#include "values/ValueReports.h"

namespace {

constexpr uint32_t ClrStatusOk = 0x00FF00;
constexpr uint32_t ClrStatusAlarm = 0x0000FF;

// Progress window ids of the measuring refusals.
enum : int { pwNoDeviceAddress = 5, pwPortFailed = 6, pwNoLink = 7, pwNotConnected = 8 };

QString FromUtf8(const std::string& s) { return QString::fromStdString(s); }

void SetFontColor(QLabel* l, uint32_t color)
{
    QPalette p = l->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::WindowText, ToQColor(color));
    l->setPalette(p);
}

void ShowStatus(QLabel* l, const std::string& status)
{
    l->setText(FromUtf8(status));
    SetFontColor(l, status == StatusOk ? ClrStatusOk : ClrStatusAlarm);
}

std::string Trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// An apparent power has no sign of its own: a phase that feeds back (negative
// active power) shows it with a minus, a phase without active power shows none.
void SignApparentPower(const std::string& p, std::string& s)
{
    if (p.empty())
        s = "- - -";
    else if (p.size() > 1 && p[1] == '-')
        s = " - " + Trimmed(s);
}

uint8_t MeasuringJob(const TMainForm& f)
{
    return f.TransportCode.load() == tcMBus ? jcMBusMeasurement : jcModbusMeasurement;
}

uint8_t MainCountersJob(const TMainForm& f)
{
    return f.TransportCode.load() == tcMBus ? jcMBusMainCounters : jcModbusMainCounters;
}

}  // namespace

void TMainForm::Button_Measurement_StartMeasuringClick()
{
    if (!values::ConnectedByStatus(*this)) {
        values::ShowErrorReport(*this, pwNotConnected, TxtNoDeviceConnected, QStringLiteral(" (Error:84)"));
        return;
    }
    ToggleMeasuring();
}

void TMainForm::ToggleMeasuring()
{
    if (!values::ConnectedByStatus(*this)) return;
    if (!values::LinkUp(*this)) {
        values::ShowErrorReport(*this, pwNoLink, TxtDeviceNotAvailable, QStringLiteral(" (Error:63)"));
        ResetTcpConnection();
        return;
    }
    if (values::PortFailed(*this)) {
        values::ShowErrorReport(*this, pwPortFailed, TxtDeviceNotAvailable, QStringLiteral(" (Error:62)"));
        return;
    }
    if (values::NoDeviceShown(*this)) {
        values::ShowErrorReport(*this, pwNoDeviceAddress, TxtNoDeviceConnected, QStringLiteral(" (Error:80)"));
        return;
    }
    const int L = Language;
    if (Button_Measurement_StartMeasuring->text() == Txt(TxtStartMeasuring, L)) {
        Button_Measurement_StartMeasuring->setText(Txt(TxtStopMeasuring, L));
        Label_HomeStatus->setText(Txt(TxtStatusReadingData, L));
        SetJob(MeasuringJob(*this));
        Timer_Display_Refresh->setInterval(values::RefreshIntervalMs(*this));
        Timer_Display_Refresh->start();
    } else {
        Button_Measurement_StartMeasuring->setText(Txt(TxtStartMeasuring, L));
        Label_HomeStatus->setText(Txt(TxtStatusMeasuringStopped, L));
        StopBusyIndicator();
        SetJob(jcIdle);
        Timer_Display_Refresh->stop();
        StopBusyIndicator();
    }
}

void TMainForm::Timer_Display_RefreshTimer()
{
    Timer_Display_Refresh->setInterval(values::RefreshIntervalMs(*this));
    if (ReadStepBusy.load() != 0) {
        // One warning at a time: the timer goes on ticking while the box waits
        // for the user, and every tick would stack another box on it.
        if (RefreshWarningOpen) return;
        RefreshWarningOpen = true;
        QMessageBox::warning(this, Txt(TxtWarning, Language), Txt(TxtRefreshTimerNotWaited, Language));
        RefreshWarningOpen = false;
        return;
    }
    const QWidget* page = PageControl_Main->currentWidget();
    if (page == Page_Measurement)
        SetJob(MeasuringJob(*this));
    else if (page == Page_Energy && PageControl_Energy->currentWidget() == Page_Values)
        SetJob(MainCountersJob(*this));
}

void TMainForm::ComboBox_DisplayRefreshChange()
{
    Timer_Display_Refresh->setInterval(values::RefreshIntervalMs(*this));
}

void TMainForm::Timer_Measurement_Start_MeasuringTimer()
{
    ToggleMeasuring();
    Timer_Measurement_Start_Measuring->stop();
}

void TMainForm::ShowMeasuredValues()
{
    SetupLoggerTabs();

    const std::pair<QLabel*, const std::string*> statuses[] = {
        {Label_UStatus__L1, &UStatusL1}, {Label_UStatus__L2, &UStatusL2}, {Label_UStatus__L3, &UStatusL3},
        {Label_IStatus__L1, &IStatusL1}, {Label_IStatus__L2, &IStatusL2}, {Label_IStatus__L3, &IStatusL3},
        {Label_FreqStat, &FreqStatus},   {Label_FreqStatSync, &FreqSyncStatus},
    };
    for (const auto& [label, status] : statuses) ShowStatus(label, *status);

    const std::pair<QLabel*, const std::string*> voltagesAndCurrents[] = {
        {StaticText_U1, &TextU1},         {StaticText_U2, &TextU2},         {StaticText_U3, &TextU3},
        {StaticText_U12, &TextU12},       {StaticText_U23, &TextU23},       {StaticText_U13, &TextU13},
        {StaticText_I1, &TextI1},         {StaticText_I2, &TextI2},         {StaticText_I3, &TextI3},
        {StaticText_IN, &TextIN},         {StaticText_THD_U1, &TextThdU1},  {StaticText_THD_U2, &TextThdU2},
        {StaticText_THD_U3, &TextThdU3},  {StaticText_THD_I1, &TextThdI1},  {StaticText_THD_I2, &TextThdI2},
        {StaticText_THD_I3, &TextThdI3},
    };
    for (const auto& [label, text] : voltagesAndCurrents) label->setText(FromUtf8(*text));

    if (FreqStatus == StatusFreqHigh)
        StaticText_FREQ->setText(Txt(TxtFreqAbove70Hz, Language));
    else if (FreqStatus == StatusFreqLow)
        StaticText_FREQ->setText(Txt(TxtFreqBelow40Hz, Language));
    else
        StaticText_FREQ->setText(FromUtf8(TextFreq));

    SignApparentPower(TextP1, TextS1);
    SignApparentPower(TextP2, TextS2);
    SignApparentPower(TextP3, TextS3);

    const std::pair<QLabel*, const std::string*> powers[] = {
        {StaticText_P1, &TextP1},   {StaticText_P2, &TextP2},   {StaticText_P3, &TextP3},
        {StaticText_PTOT, &TextPTot}, {StaticText_Q1, &TextQ1},   {StaticText_Q2, &TextQ2},
        {StaticText_Q3, &TextQ3},   {StaticText_QTOT, &TextQTot}, {StaticText_S1, &TextS1},
        {StaticText_S2, &TextS2},   {StaticText_S3, &TextS3},   {StaticText_STOT, &TextSTot},
        {StaticText_PF1, &TextPF1}, {StaticText_PF2, &TextPF2}, {StaticText_PF3, &TextPF3},
        {StaticText_PFTOT, &TextPFTot},
    };
    for (const auto& [label, text] : powers) label->setText(FromUtf8(*text));
}
