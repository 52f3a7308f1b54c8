// Binds the measuring and counter pages' controls, timers and cell painting
// to their handlers, and the device scan button; registers the result actions
// of values and counters. Once, from the main window's constructor.
#include <QComboBox>
#include <QEvent>
#include <QPushButton>
#include <QTimer>

#include "app/ColorButton.h"
#include "app/MainForm.h"
#include "app/StringGrid.h"
#include "comm/GuardedHandler.h"

void RegisterValueResults(TMainForm& f);

namespace {

// Runs a handler when the page comes up by the program's doing; a window
// restored from the task bar must not reset a running read's caption.
class PageShowHook : public QObject {
public:
    PageShowHook(QWidget* page, std::function<void()> handler) : QObject(page), handler_(std::move(handler))
    {
        page->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Show && !e->spontaneous()) handler_();
        return false;
    }

private:
    std::function<void()> handler_;
};

void OnTimeout(TMainForm& f, QTimer* t, void (TMainForm::*handler)())
{
    QObject::connect(t, &QTimer::timeout, &f, [&f, handler] { (f.*handler)(); });
}

}  // namespace

void TMainForm::ConnectValueHandlers()
{
    if (ValueHandlersBound) return;
    ValueHandlersBound = true;

    ConnectClick(Button_Measurement_StartMeasuring, [this] { Button_Measurement_StartMeasuringClick(); });
    ConnectClick(Button_Energie_MainCounters_StartMonitoring,
                 [this] { Button_Energie_MainCounters_StartMonitoringClick(); });
    ConnectClick(Button_ResettableCounters_Read, [this] { Button_ResettableCounters_ReadClick(); });
    ConnectClick(Button_FreezeCounters_Read, [this] { Button_FreezeCounters_ReadClick(); });
    // The scan opens and sets up the port, which can throw.
    ConnectClick(Button_Setup_SearchDevices, Guarded([this] { Button_Setup_SearchDevicesClick(); }));
    // The user's choice only; the transport selection refills the list itself.
    QObject::connect(ComboBox_DisplayRefresh, &QComboBox::activated, this, [this] { ComboBox_DisplayRefreshChange(); });

    OnTimeout(*this, Timer_Display_Refresh, &TMainForm::Timer_Display_RefreshTimer);
    OnTimeout(*this, Timer_Measurement_Start_Measuring, &TMainForm::Timer_Measurement_Start_MeasuringTimer);
    OnTimeout(*this, Timer_Energy_Values_Start_Measuring, &TMainForm::Timer_Energy_Values_Start_MeasuringTimer);
    OnTimeout(*this, Timer_Energy_Resettable_Start_Reading, &TMainForm::Timer_Energy_Resettable_Start_ReadingTimer);
    OnTimeout(*this, Timer_Energy_Freeze_Start_Reading, &TMainForm::Timer_Energy_Freeze_Start_ReadingTimer);
    OnTimeout(*this, TimerRefreshMainDeviceTime, &TMainForm::TimerRefreshMainDeviceTimeTimer);

    new PageShowHook(Page_Energy, [this] { Page_EnergyShow(); });
    new PageShowHook(Page_Values, [this] { Page_ValuesShow(); });

    for (TStringGrid* g : {StringGrid_MainCounters, StringGrid_ResettableCounters, StringGrid_FreezeCounters})
        g->SetDrawCellHook([this, g](QPainter& p, const QRect& rect, int col, int row, bool, bool) {
            return DrawCounterCell(*g, p, rect, col, row);
        });

    RegisterValueResults(*this);
}
