// The two window layouts: large with the device-information column right of
// the pages, small without it. Also the demand status label that opens the
// large layout for its legend, and the help panes that give the focus back.
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTextEdit>
#include <functional>

#include "app/MainForm.h"
#include "app/WidgetHelpers.h"

namespace {

constexpr int LargeWidth = 1125;
constexpr int MonitorWidth = 1520;
constexpr int SmallWidth = 860;
constexpr int WindowHeight = 660;

// Left positions of the title line and the indicator row per layout; the large
// layout has a second set for the alternative indicator arrangement.
struct IndicatorLefts {
    int title, tariff, actualTariff, tariffHw, comImages;
};
constexpr IndicatorLefts LargeLefts{352, 932, 987, 1012, 1088};
constexpr IndicatorLefts LargeLeftsAlt0{352, 1062, 1117, 1142, 1218};
constexpr IndicatorLefts SmallLefts{252, 692, 747, 782, 823};

void PlaceIndicators(TMainForm& f, const IndicatorLefts& at, int titleOffset)
{
    SetLeft(f.Label_Main, at.title + titleOffset);
    SetLeft(f.Label_Tariff, at.tariff);
    SetLeft(f.Label_Actual_Tariff, at.actualTariff);
    SetLeft(f.Label_Tarif_HW, at.tariffHw);
    SetLeft(f.Image_Com_Connected_Device, at.comImages);
    SetLeft(f.Image_Com_in_Progress, at.comImages);
}

void ShowArrow(QLabel* arrow, bool shown)
{
    arrow->setEnabled(shown);
    arrow->setVisible(shown);
}

// Runs a handler on a left-button event of one kind that a widget receives.
class MouseHook : public QObject {
public:
    MouseHook(QWidget* target, QEvent::Type kind, std::function<void()> handler)
        : QObject(target), kind_(kind), handler_(std::move(handler))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == kind_ && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
            // A click counts only when the button goes up over the control.
            const bool inside = kind_ != QEvent::MouseButtonRelease ||
                                static_cast<QWidget*>(watched)->rect().contains(
                                    static_cast<QMouseEvent*>(e)->position().toPoint());
            if (inside) handler_();
        }
        return false;
    }

private:
    QEvent::Type kind_;
    std::function<void()> handler_;
};

void OnClick(QWidget* w, std::function<void()> handler)
{
    if (w) new MouseHook(w, QEvent::MouseButtonRelease, std::move(handler));
}

void OnMouseDown(QWidget* w, std::function<void()> handler)
{
    if (w) new MouseHook(w, QEvent::MouseButtonPress, std::move(handler));
}

// The mouse reaches a text pane through its viewport.
void OnPaneMouseDown(QTextEdit* pane, std::function<void()> handler)
{
    if (pane) OnMouseDown(pane->viewport(), std::move(handler));
}

// Checking a radio button, by the user or by the program, runs its handler;
// checking one that is checked already does nothing.
void OnChecked(QRadioButton* b, TMainForm* f, void (TMainForm::*handler)())
{
    if (!b) return;
    QObject::connect(b, &QAbstractButton::toggled, f, [f, handler](bool checked) {
        if (checked) (f->*handler)();
    });
}

} // namespace

void TMainForm::ConnectSettingsHandlers()
{
    OnChecked(RadioButton_English, this, &TMainForm::RadioButton_EnglishClick);
    OnChecked(RadioButton_German, this, &TMainForm::RadioButton_GermanClick);
    OnChecked(RadioButton_Large, this, &TMainForm::RadioButton_LargeClick);
    OnChecked(RadioButton_Small, this, &TMainForm::RadioButton_SmallClick);
    OnClick(LabelDemandStatus, [this] { LabelDemandStatusClick(); });
    OnMouseDown(Label_DemandLogger_Help_In_X, [this] { Label_DemandLogger_Help_In_XMouseDown(); });
    OnPaneMouseDown(RichEdit_Help, [this] { RichEdit_HelpMouseDown(); });
    OnPaneMouseDown(RichEdit_EventsLogger_Help, [this] { RichEdit_EventsLogger_HelpMouseDown(); });
}

void TMainForm::SetLargeLayout()
{
    ShowArrow(LabelDemandLargeArrow, true);
    resize(LargeWidth + LayoutOffsets[0], height());
    PlaceIndicators(*this, AltLayout ? LargeLefts : LargeLeftsAlt0, LayoutOffsets[0]);
    WindowSize = 1;
    // The communication monitor lies right of the large layout.
    if (CheckBoxAdministrator && CheckBoxAdministrator->isChecked())
        resize(MonitorWidth + LayoutOffsets[2], WindowHeight + LayoutOffsets[1]);
}

void TMainForm::SetSmallLayout()
{
    ShowArrow(LabelDemandLargeArrow, false);
    resize(SmallWidth + LayoutOffsets[3], height());
    PlaceIndicators(*this, SmallLefts, 0);
    WindowSize = 2;
    SetDemandLoggerLayout(0);
}

void TMainForm::RadioButton_LargeClick()
{
    SetLargeLayout();
}

void TMainForm::RadioButton_SmallClick()
{
    SetSmallLayout();
}

void TMainForm::LabelDemandStatusClick()
{
    if (Label_DemandLogger_Help_In_X && !Label_DemandLogger_Help_In_X->isHidden()) {
        ShowDemandStatusHelp(0);
        return;
    }
    // The legend needs the large layout; closing it goes back to the small one.
    RestoreSmallLayout = RadioButton_Small && RadioButton_Small->isChecked();
    SetLargeLayout();
    if (RadioButton_Large) RadioButton_Large->setChecked(true);
    // The wide demand page would cover the legend.
    if (RestoreSmallLayout) ShowArrow(LabelDemandLargeArrow, false);
    ShowDemandStatusHelp(1);
}

// The panes are for reading: no caret, no keyboard focus.
void TMainForm::RichEdit_HelpMouseDown()
{
    if (RichEdit_Help) RichEdit_Help->clearFocus();
}

void TMainForm::RichEdit_EventsLogger_HelpMouseDown()
{
    if (RichEdit_EventsLogger_Help) RichEdit_EventsLogger_Help->clearFocus();
}
