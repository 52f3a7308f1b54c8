#pragma once
// TProgrWinForm: the one modal window for progress (scan, logger reads, connect,
// long operations) and for the information and error reports of operations.
// Callers open it with ShowProgress; the worker advances it through
// UpdateProgress; FinishProgress completes and closes it; its one button
// cancels the running job or dismisses the report.
#include <QDialog>
#include <QString>
#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class TMainForm;

// Room kept free at either side of a line, and between an icon and its line.
constexpr int ProgrWinLineMargin = 4;
constexpr int ProgrWinIconGap = 6;
// Tops of line 1 and of the row under it (line 2, or the item text of a
// counting display whose line 1 has text).
constexpr int ProgrWinLineTop = 20;
constexpr int ProgrWinSecondLineTop = 38;
// Left end and width of the bar along the top, where no icon stands.
constexpr int ProgrWinBarLeft = 16;
constexpr int ProgrWinBarWidth = 200;

class TProgrWinForm : public QDialog {
    Q_OBJECT
public:
    explicit TProgrWinForm(TMainForm& mainForm);
    ~TProgrWinForm() override;

    // Components; object names are the member names.
    QLabel* Label_ProgrBar0 = nullptr;               // item text of a counting display
    QLabel* Label_ProgrBar1 = nullptr;               // line 1
    QLabel* Label_ProgrBar2 = nullptr;               // line 2
    QLabel* Label_ProgrBar3 = nullptr;               // line 3, at the top
    QLabel* Label_ProgrBar_PercentCounter = nullptr;
    QProgressBar* ProgrWin_ProgressBar = nullptr;
    QLabel* ProgrWinIconInfo = nullptr;
    QLabel* ProgrWinIconError = nullptr;
    QLabel* ProgrWinIconWarning = nullptr;
    QLabel* LabelIndex = nullptr;                    // the window id of the last report, hidden
    QPushButton* Button_ProgrWin_Terminate = nullptr;
    QTimer* ProgrWin_BarTimer = nullptr;
    QTimer* ProgrWin_BarTimer_100percent = nullptr;

    uint8_t Shown = 0;          // the window is open
    uint32_t Openings = 0;      // how often it has opened: the number of the open window
    int BarTimerPeriod = 0;     // milliseconds per step of the time-driven bar
    int Tag = 0;                // the bar timer has had its first tick

    // Opens the window modally and returns when it closes; while it is open, a
    // further call only restyles it. The suffix (an error number) is not shown.
    void ShowProgress(int id, int icon, int counting, int barTimer, int busy, int layout,
                      const QString& caption, QString line1, const QString& suffix,
                      const QString& line2, const QString& line3, const QString& buttonText,
                      int itemCount);
    // A progress report of the worker; kind is a TProgressKind.
    void UpdateProgress(int itemIndex, int itemTotal, int kind);
    void FinishProgress();
    // The number of the window that ShowProgress called now would show: the
    // open one, or the next one to open.
    uint32_t WindowToShow() const { return Shown ? Openings : Openings + 1; }
    // The window open now is the one with that number.
    bool ShowsWindow(uint32_t window) const { return Shown && window != 0 && Openings == window; }
    // The window shows a time bar (its bar timer or the closing 100% running).
    bool ShowsTimeBar() const;
    void SetBarMax(int max);
    int BarStep() const { return barStep_; }

    // The point size of the window's lines and button.
    static constexpr double kLineFontPoints = 7.5;

    // Milliseconds per bar step for an operation of itemCount items at the baud
    // rate of the given index of the device baud-rate list.
    static int BarTimerPeriodFor(int itemCount, int baudIndex);

    void FormCreate();
    void FormShow();
    void FormClose();
    void Button_ProgrWin_TerminateClick();
    void ProgrWin_BarTimerTimer();
    void ProgrWin_BarTimer_100percentTimer();

    // Escape acts as the button, when there is one to press.
    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void BuildComponents();
    void StepBar();
    void CentreOnMainWindow();
    // Keeps the text lines and the bar clear of a shown icon: a line in the
    // icon's rows is centred in the room right of it, a line under it in the
    // whole width; the bar starts right of it and keeps its right end.
    void ArrangeLines();

    TMainForm& mainForm_;
    int barStep_ = 1;
};
