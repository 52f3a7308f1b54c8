// The communication indicator at the top right (connected, or flashing while
// frames go out and in) and the busy indicator's shapes. The worker reports
// traffic too; widgets and timers are only touched on the UI thread.
#include <QLabel>
#include <QTimer>

#include "app/MainForm.h"
#include "app/Shape.h"
#include "comm/Monitor.h"
#include "comm/UiThread.h"
#include "app/WidgetHelpers.h"

namespace {

// The first tick comes soon so that a single short exchange is still seen;
// from then on the traffic image holds for about half a second per exchange.
constexpr int TrafficFirstTickMs = 50;
constexpr int TrafficHoldMs = 500;
constexpr int TrafficRenewedMs = 400;

} // namespace

void TMainForm::ShowComActivity(int code)
{
    if (!OnUiThread()) {
        // Every exchange of a long read shows traffic: one waiting call shows it.
        if (code == caTraffic && ComTrafficQueued.exchange(true)) return;
        RunOnUiThread(
            *this,
            [this, code] {
                if (code == caTraffic) ComTrafficQueued = false;
                ShowComActivity(code);
            },
            false);
        return;
    }
    QTimer* timer = Timer_Image_Com_in_Progress;
    switch (code) {
    case caConnected:
        SetShown(Image_Com_Connected_Device, true);
        SetShown(Image_Com_in_Progress, false);
        break;
    case caNone:
        SetShown(Image_Com_Connected_Device, false);
        SetShown(Image_Com_in_Progress, false);
        // A traffic display still running would bring the connected image
        // back after the connection is gone.
        if (timer) timer->stop();
        break;
    case caTraffic:
        if (!timer) break;
        if (!timer->isActive()) {
            SetShown(Image_Com_in_Progress, true);
            SetShown(Image_Com_Connected_Device, false);
            timer->setInterval(TrafficFirstTickMs);
            timer->start();
        }
        if (timer->interval() == TrafficHoldMs) timer->setInterval(TrafficRenewedMs);
        break;
    default:
        break;
    }
}

void TMainForm::Timer_Image_Com_in_ProgressTimer()
{
    QTimer* timer = Timer_Image_Com_in_Progress;
    if (timer->interval() >= TrafficHoldMs) {
        timer->stop();
        SetShown(Image_Com_in_Progress, false);
        SetShown(Image_Com_Connected_Device, true);
    } else {
        timer->setInterval(TrafficHoldMs);
    }
}

void TMainForm::StopBusyIndicator()
{
    if (!OnUiThread()) {
        RunOnUiThread(*this, [this] { StopBusyIndicator(); }, false);
        return;
    }
    for (QWidget* shape : {static_cast<QWidget*>(MainShape1), static_cast<QWidget*>(MainShape2),
                           static_cast<QWidget*>(MainShape3), static_cast<QWidget*>(MainShape4),
                           static_cast<QWidget*>(MainShape5)})
        SetShown(shape, false);
    if (TimerMainStatusBar) TimerMainStatusBar->stop();
}
