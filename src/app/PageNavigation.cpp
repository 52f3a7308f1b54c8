// Page navigation: what a change of page or sub-page stops and starts, the
// title line above the pages, the one-time reveal of the device-information
// labels, and the link to the brand's web page on the Help page.
#include <QDateEdit>
#include <QDateTime>
#include <QDesktopServices>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "app/MainForm.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "app/WidgetHelpers.h"

namespace {

constexpr int DemandGridHeight = 369;         // the grid alone
constexpr int DemandGridHeightInterval = 298; // with the interval group below it
constexpr uint8_t LargeLoggerVariant = 2;

// Runs a handler for the events of one widget that a predicate picks; the
// widget still gets every event.
class WidgetEventHook : public QObject {
public:
    WidgetEventHook(QWidget* target, std::function<void(QObject*, QEvent*)> handler)
        : QObject(target), handler_(std::move(handler))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        handler_(watched, e);
        return false;
    }

private:
    std::function<void(QObject*, QEvent*)> handler_;
};

// A click counts when the left button goes up over the control.
bool IsClick(QObject* watched, QEvent* e)
{
    if (e->type() != QEvent::MouseButtonRelease) return false;
    const auto* m = static_cast<QMouseEvent*>(e);
    return m->button() == Qt::LeftButton && static_cast<QWidget*>(watched)->rect().contains(m->position().toPoint());
}

QString ShownTabCaption(const QTabWidget* tabs)
{
    return tabs && tabs->currentIndex() >= 0 ? tabs->tabText(tabs->currentIndex()) : QString();
}

// Whatever the worker does for the page that is left ends; a job parked as
// pending stays parked.
void StopPageWork(TMainForm& f)
{
    f.StopBusyIndicator();
    f.SetJob(0);
    f.Timer_Display_Refresh->stop();
    f.StopBusyIndicator();
}

// The demand page's layout when a logger page comes up: the wide page only
// when the user left it wide.
int DemandLayoutForShownLogger(const TMainForm& f)
{
    if (!f.PageControl_Logger || f.PageControl_Logger->currentWidget() != f.Page_DemandLogger) return 2;
    const bool wide = f.LabelDemandLargeArrow && f.LabelDemandLargeArrow->text() == QStringLiteral("<");
    return wide ? 1 : 0;
}

// The interval group exists only for meters with the large demand logger.
// Its edits get the current date and time while they hold no date yet; what
// the user entered stays through later page changes.
void ShowDemandIntervalGroup(TMainForm& f)
{
    const bool large = f.DeviceVariant == LargeLoggerVariant;
    if (f.GroupBoxDemandInterval) {
        f.GroupBoxDemandInterval->setVisible(large);
        f.GroupBoxDemandInterval->setEnabled(large);
    }
    if (f.StringGrid_DemandLogger)
        f.StringGrid_DemandLogger->resize(f.StringGrid_DemandLogger->width(),
                                          large ? DemandGridHeightInterval : DemandGridHeight);
    if (!large || !f.MaskEditIntervalDateFrom) return;

    QString fromDate = f.MaskEditIntervalDateFrom->displayText();
    fromDate.remove(QLatin1Char(' '));
    if (fromDate.size() >= 10) return;

    const QDateTime now = QDateTime::currentDateTime();
    for (QDateEdit* picker : {f.CalenderDateIntervalFrom, f.CalenderDateIntervalTill})
        if (picker) picker->setDate(now.date());
    const QString date = now.date().toString(QStringLiteral("yyyy-MM-dd"));
    const QString time = now.time().toString(QStringLiteral("HH:mm"));
    for (QLineEdit* e : {f.MaskEditIntervalDateFrom, f.MaskEditIntervalDateTill})
        if (e) e->setText(date);
    for (QLineEdit* e : {f.MaskEditIntervalTimeFrom, f.MaskEditIntervalTimeTill})
        if (e) e->setText(time);
}

} // namespace

void TMainForm::ConnectPageNavigationHandlers()
{
    if (PageNavigationBound) return;
    PageNavigationBound = true;

    QObject::connect(PageControl_Main, &QTabWidget::currentChanged, this, [this](int) { PageControl_Change(); });
    QObject::connect(PageControl_Energy, &QTabWidget::currentChanged, this,
                     [this](int) { PageControl_EnergyChange(); });
    QObject::connect(PageControl_Logger, &QTabWidget::currentChanged, this,
                     [this](int) { PageControl_LoggerChange(); });
    // Only the page coming up counts; a window restored from the task bar
    // must not reset a running measurement's caption.
    new WidgetEventHook(Page_Measurement, [this](QObject*, QEvent* e) {
        if (e->type() == QEvent::Show && !e->spontaneous()) Page_MeasurementShow();
    });
    new WidgetEventHook(Label_Help_middle_logo_web, [this](QObject* watched, QEvent* e) {
        if (IsClick(watched, e)) Label_Help_middle_logo_webClick();
    });
}

void TMainForm::ShowPageTitle()
{
    if (!Label_Main || !PageControl_Main) return;
    const int L = Language;
    const QString separator = QStringLiteral(" / ");
    QString title = Txt(TxtEnergyMeter, L) + separator + ShownTabCaption(PageControl_Main);
    const QWidget* page = PageControl_Main->currentWidget();
    if (page == Page_Energy) title += separator + ShownTabCaption(PageControl_Energy);
    if (page == Page_Logger) title += separator + ShownTabCaption(PageControl_Logger);
    Label_Main->setText(title);
}

void TMainForm::PageControl_Change()
{
    if (RadioButton_Large && RadioButton_Large->isChecked() && LabelDemandLargeArrow) {
        LabelDemandLargeArrow->setEnabled(true);
        LabelDemandLargeArrow->setVisible(true);
    }

    ShowDemandStatusHelp(0);
    SetShown(Label_Main, true);
    ShowPageTitle();

    StopPageWork(*this);

    const QWidget* page = PageControl_Main->currentWidget();
    if (page == Page_Measurement) {
        SetDemandLoggerLayout(2);
        EnableTimer(Timer_Measurement_Start_Measuring);
    } else if (page == Page_Energy) {
        EnableTimer(TimerRefreshMainDeviceTime);
        SetDemandLoggerLayout(2);
        // Its handler reads whichever sub-page is shown.
        EnableTimer(Timer_Energy_Values_Start_Measuring);
    } else if (page == Page_Logger) {
        EnableTimer(TimerRefreshMainDeviceTime);
        SetDemandLoggerLayout(DemandLayoutForShownLogger(*this));
    } else if (page == Page_Setup) {
        TimerRefreshMainDeviceTime->stop();
        SetDemandLoggerLayout(2);
        ShowSetupDeviceLabels();
    } else if (page == Page_Help) {
        EnableTimer(TimerRefreshMainDeviceTime);
        SetDemandLoggerLayout(2);
    }

    ShowDemandIntervalGroup(*this);
}

void TMainForm::PageControl_EnergyChange()
{
    ShowPageTitle();
    StopPageWork(*this);
    if (PageControl_Main->currentWidget() != Page_Energy) return;
    const QWidget* sub = PageControl_Energy->currentWidget();
    if (sub == Page_Values)
        EnableTimer(Timer_Energy_Values_Start_Measuring);
    else if (sub == Page_ResettableCounters)
        EnableTimer(Timer_Energy_Resettable_Start_Reading);
    else if (sub == Page_FreezeCounters)
        EnableTimer(Timer_Energy_Freeze_Start_Reading);
}

// A logger read goes on through a change of logger sub-page.
void TMainForm::PageControl_LoggerChange()
{
    ShowPageTitle();
    // The logger tabs also change while another page is shown, when a device
    // without some logger is identified; the demand page must not widen then.
    if (PageControl_Main->currentWidget() != Page_Logger) return;
    SetDemandLoggerLayout(DemandLayoutForShownLogger(*this));
    ShowDemandStatusHelp(0);
}

void TMainForm::Page_MeasurementShow()
{
    if (Button_Measurement_StartMeasuring) Button_Measurement_StartMeasuring->setText(Txt(TxtStartMeasuring, Language));
    if (Label_HomeStatus) Label_HomeStatus->setText(Txt(TxtStatusMeasuringStopped, Language));
}

void TMainForm::ShowSetupDeviceLabels()
{
    if (!SetupLabelsPending) return;
    SetupLabelsPending = 0;

    for (QWidget* w : {Label_Tariff, Label_Actual_Tariff, Label_Device_Type, Label_SerNumber, Label_PrimaryAddress,
                       Label_Demand, Label_VT, Label_CT, Label_Main_DeviceTime, Label_ProductInfo, Label_DeviceType,
                       Label_Device_SerN, Label_DeviceAddress, Label_Demand_Period, Label__VT, Label__CT,
                       Label_MainDeviceTimeDate, StaticText_ProductInfo})
        SetShown(w, true);
    const bool brand1 = Brand == 1;
    SetShown(Label_Features, brand1);
    SetShown(Label_Device_Options, brand1);
    if (TransportCode == tcMBus)
        for (QWidget* w : {Label_SecondaryAddress, Label_Sec_ID, Label_Sec_Manufacturer, Label_Sec_Version, Label_Sec_Type,
                           Label_Secondary_Address_ID, Label_Manufacturer, Label_Version, Label_Type})
            SetShown(w, true);
}

// The brand's own address, whatever the label shows. A page that does not
// open leaves nothing to report: the address stands on the label.
void TMainForm::Label_Help_middle_logo_webClick()
{
    const QString address = Txt(TxtWebAddress, Brand);
    if (address.isEmpty()) return;
    const QString url = QStringLiteral("https://") + address;
    if (OpenWebPage)
        OpenWebPage(url);
    else
        QDesktopServices::openUrl(QUrl(url));
}
