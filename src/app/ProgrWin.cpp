#include "app/ProgrWin.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "app/ColorButton.h"
#include "app/MainForm.h"
#include "app/Text.h"
#include "core/JobCodes.h"
#include "core/ToolCodes.h"

namespace {

constexpr int kClientWidth = 273;
constexpr int kClientHeight = 91;
constexpr uint32_t kWindowColour = 0xE0E0E0;
constexpr int kIconSize = 32;
// The icon stands in the rows of line 3 and line 1; line 2 starts under it.
constexpr int kIconTop = 6;
constexpr int kLineTop = ProgrWinLineTop;
constexpr int kLineMargin = ProgrWinLineMargin;
constexpr int kLineWidth = kClientWidth - 2 * kLineMargin;
constexpr int kBusyLineTop = 46;
constexpr int kBarTimerDefault = 500;

// The three report icons, drawn here so the window needs no image files.
enum class IconKind { Info, Error, Warning };

QPixmap DrawIcon(IconKind kind)
{
    QPixmap pm(kIconSize, kIconSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(1, 1, kIconSize - 2, kIconSize - 2);
    switch (kind) {
    case IconKind::Info:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1E, 0x64, 0xC8));
        p.drawEllipse(body);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(13.5, 6, 5, 5));
        p.drawRoundedRect(QRectF(13.5, 13, 5, 13), 1.5, 1.5);
        break;
    case IconKind::Error:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xD2, 0x1E, 0x1E));
        p.drawEllipse(body);
        p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
        p.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
        break;
    case IconKind::Warning: {
        QPainterPath triangle;
        triangle.moveTo(16, 1.5);
        triangle.lineTo(30.5, 29.5);
        triangle.lineTo(1.5, 29.5);
        triangle.closeSubpath();
        p.setPen(QPen(QColor(0x80, 0x60, 0x00), 1));
        p.setBrush(QColor(0xF5, 0xC8, 0x1E));
        p.drawPath(triangle);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(14, 9, 4, 12), 1.5, 1.5);
        p.drawEllipse(QRectF(14, 23, 4, 4));
        break;
    }
    }
    return pm;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& geometry, Qt::Alignment align)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(align);
    return label;
}

QLabel* MakeIcon(QWidget* parent, const char* name, IconKind kind)
{
    QLabel* icon = MakeLabel(parent, name, QRect(16, kIconTop, kIconSize, kIconSize), Qt::AlignCenter);
    icon->setPixmap(DrawIcon(kind));
    icon->hide();
    return icon;
}

} // namespace

TProgrWinForm::TProgrWinForm(TMainForm& mainForm)
    : QDialog(&mainForm, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      mainForm_(mainForm)
{
    setObjectName(QStringLiteral("ProgrWinForm"));
    setModal(true);
    BuildComponents();
    FormCreate();
    // The worker's progress reports reach this window through the main window.
    mainForm_.UpdateProgressHook = [this](uint32_t itemIndex, uint32_t itemTotal, uint8_t kind) {
        UpdateProgress(static_cast<int>(itemIndex), static_cast<int>(itemTotal), kind);
    };
}

TProgrWinForm::~TProgrWinForm()
{
    mainForm_.UpdateProgressHook = nullptr;
}

void TProgrWinForm::BuildComponents()
{
    setFixedSize(kClientWidth, kClientHeight);
    setWindowTitle(Txt(TxtScanning, mainForm_.Language));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(kWindowColour));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    // A small dialog font: in it the longest line of either language fits the
    // 273 x 91 window beside the icon.
    QFont small(QStringLiteral("DejaVu Sans Condensed"));
    small.setStyleHint(QFont::SansSerif);
    small.setPointSizeF(kLineFontPoints);
    setFont(small);

    // The bar runs along the top; the item text or line 1 sits under it, line 1
    // of a busy display lower down, and the button at the bottom.
    ProgrWin_ProgressBar = new QProgressBar(this);
    ProgrWin_ProgressBar->setObjectName(QStringLiteral("ProgrWin_ProgressBar"));
    ProgrWin_ProgressBar->setGeometry(ProgrWinBarLeft, 6, ProgrWinBarWidth, 12);
    ProgrWin_ProgressBar->setRange(0, 100);
    ProgrWin_ProgressBar->setValue(1);
    ProgrWin_ProgressBar->setTextVisible(false);

    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignVCenter;
    Label_ProgrBar_PercentCounter = MakeLabel(this, "Label_ProgrBar_PercentCounter",
                                              QRect(222, 4, 48, 16), Qt::AlignLeft | Qt::AlignVCenter);
    Label_ProgrBar3 = MakeLabel(this, "Label_ProgrBar3", QRect(kLineMargin, 4, kLineWidth, 16), centred);
    Label_ProgrBar0 = MakeLabel(this, "Label_ProgrBar0", QRect(kLineMargin, kLineTop, kLineWidth, 16), centred);
    Label_ProgrBar1 = MakeLabel(this, "Label_ProgrBar1", QRect(kLineMargin, kLineTop, kLineWidth, 16), centred);
    Label_ProgrBar2 = MakeLabel(this, "Label_ProgrBar2", QRect(kLineMargin, ProgrWinSecondLineTop, kLineWidth, 16), centred);
    LabelIndex = MakeLabel(this, "LabelIndex", QRect(0, 0, 30, 14), Qt::AlignLeft);
    LabelIndex->hide();

    ProgrWinIconInfo = MakeIcon(this, "ProgrWinIconInfo", IconKind::Info);
    ProgrWinIconError = MakeIcon(this, "ProgrWinIconError", IconKind::Error);
    ProgrWinIconWarning = MakeIcon(this, "ProgrWinIconWarning", IconKind::Warning);

    Button_ProgrWin_Terminate = new QPushButton(this);
    Button_ProgrWin_Terminate->setObjectName(QStringLiteral("Button_ProgrWin_Terminate"));
    Button_ProgrWin_Terminate->setText(Txt(TxtTerminate, mainForm_.Language));
    Button_ProgrWin_Terminate->setGeometry((kClientWidth - 75) / 2, 62, 75, 25);
    ConnectClick(Button_ProgrWin_Terminate, [this] { Button_ProgrWin_TerminateClick(); });

    ProgrWin_BarTimer = new QTimer(this);
    ProgrWin_BarTimer->setObjectName(QStringLiteral("ProgrWin_BarTimer"));
    ProgrWin_BarTimer->setInterval(kBarTimerDefault);
    connect(ProgrWin_BarTimer, &QTimer::timeout, this, &TProgrWinForm::ProgrWin_BarTimerTimer);
    ProgrWin_BarTimer_100percent = new QTimer(this);
    ProgrWin_BarTimer_100percent->setObjectName(QStringLiteral("ProgrWin_BarTimer_100percent"));
    ProgrWin_BarTimer_100percent->setInterval(kBarTimerDefault);
    connect(ProgrWin_BarTimer_100percent, &QTimer::timeout, this,
            &TProgrWinForm::ProgrWin_BarTimer_100percentTimer);
}

void TProgrWinForm::FormCreate()
{
    ReplaceWithColorButton(Button_ProgrWin_Terminate, ClrButtonFace);
    QPalette pal = ProgrWin_ProgressBar->palette();
    pal.setColor(QPalette::Highlight, ToQColor(ClrButtonFace));
    ProgrWin_ProgressBar->setPalette(pal);
}

int TProgrWinForm::BarTimerPeriodFor(int itemCount, int baudIndex)
{
    // Tenths of a millisecond per item for each baud-rate index; the fastest
    // rates and anything unknown take the smallest factor.
    static constexpr int64_t kFactorTenths[] = {360, 190, 110, 65, 43, 13, 7};
    const int64_t factor = (baudIndex >= 0 && baudIndex < 7) ? kFactorTenths[baudIndex] : 5;
    int64_t itemsTenths;
    if (itemCount < 5) itemsTenths = 50;
    else if (itemCount >= 1000) itemsTenths = int64_t{itemCount} * 14;
    else itemsTenths = int64_t{itemCount} * 10;
    return static_cast<int>((itemsTenths * factor + 50) / 100);
}

void TProgrWinForm::ShowProgress(int id, int icon, int counting, int barTimer, int busy, int layout,
                                 const QString& caption, QString line1, const QString& suffix,
                                 const QString& line2, const QString& line3,
                                 const QString& buttonText, int itemCount)
{
    (void)suffix;
    TMainForm& f = mainForm_;
    const int lang = f.Language;

    if (id != pwKeepIndex) LabelIndex->setText(QString::number(id));

    if (caption == Txt(TxtInformation, lang)) {
        ProgrWinIconInfo->move(line1.size() < 26 ? 16 : 8, kIconTop);
        ProgrWinIconInfo->show();
    } else {
        ProgrWinIconInfo->hide();
    }
    if (icon == 1) {
        ProgrWinIconError->move(line1.size() > 29 ? 8 : 16, kIconTop);
        ProgrWinIconError->show();
    } else if (icon == 0) {
        ProgrWinIconError->hide();
    }

    Label_ProgrBar0->setVisible(counting == 1 || busy);
    if (!barTimer) ProgrWin_BarTimer->stop();
    else if (!ProgrWin_BarTimer->isActive()) ProgrWin_BarTimer->start();
    Label_ProgrBar_PercentCounter->setVisible(barTimer);

    if (counting == 1) {
        if (f.HideNextProgressBar == 0) ProgrWin_ProgressBar->show();
        else if (f.DeviceVariant < 2) ProgrWin_ProgressBar->hide();
        f.HideNextProgressBar = 0;
    } else {
        ProgrWin_ProgressBar->setVisible(busy);
    }

    Label_ProgrBar_PercentCounter->clear();

    if (itemCount > 0) {
        BarTimerPeriod = BarTimerPeriodFor(itemCount, f.ComboBox_Setup_DeviceBaudrate->currentIndex());
        barStep_ = 1;
    }

    if (line1 == Txt(TxtNumberOfDemandItems, lang)) {
        const int n = f.DeviceVariant == 2 ? f.RecordCount.load() : f.DemandItemCount.load();
        line1 += QLatin1Char(' ') + QString::number(n);
        f.ComboBox_Demand->setCurrentText(QString::number(n));
        Label_ProgrBar0->hide();
        Label_ProgrBar1->show();
        Tag = 0;
    } else if (line1 == Txt(TxtNumberOfEventsItems, lang)) {
        const int n = f.EventItemCount;
        line1 += QString::number(n);
        f.ComboBox_Events->setCurrentText(QString::number(n));
    } else if (line1 == Txt(TxtNumberOfItems, lang)) {
        const int n = f.RecordCount;
        line1 += QString::number(n);
        f.ComboBox_Certified->setCurrentText(QString::number(n));
    }

    setWindowTitle(caption);
    Label_ProgrBar1->setText(line1);

    if (busy || layout != 2) {
        Label_ProgrBar0->hide();
        Label_ProgrBar2->hide();
    } else {
        Label_ProgrBar2->setText(line2);
        Label_ProgrBar2->show();
    }
    if (busy || layout != 3) {
        if (layout == 1) Label_ProgrBar2->hide();
        Label_ProgrBar3->hide();
    } else {
        Label_ProgrBar2->setText(line2);
        Label_ProgrBar3->setText(line3);
        Label_ProgrBar2->show();
        Label_ProgrBar3->show();
    }

    Label_ProgrBar1->move(Label_ProgrBar1->x(),
                          busy && !line1.isEmpty() && layout < 3 ? kBusyLineTop : kLineTop);

    if (!buttonText.isEmpty()) {
        Button_ProgrWin_Terminate->setText(buttonText);
        Button_ProgrWin_Terminate->show();
        if (Button_ProgrWin_Terminate->isEnabled()) Button_ProgrWin_Terminate->setFocus();
    } else {
        Button_ProgrWin_Terminate->hide();
    }

    if (!Shown) {
        ProgrWin_ProgressBar->setValue(1);
        Shown = 1;
        ++Openings;
        Label_ProgrBar_PercentCounter->setText(QString::number(ProgrWin_ProgressBar->value()) +
                                               QLatin1Char('%'));
        ArrangeLines();
        CentreOnMainWindow();
        exec();
    } else {
        ArrangeLines();
    }
}

void TProgrWinForm::UpdateProgress(int itemIndex, int itemTotal, int kind)
{
    TMainForm& f = mainForm_;
    const int lang = f.Language;
    Label_ProgrBar_PercentCounter->hide();
    Label_ProgrBar0->show();
    SetBarMax(itemTotal);

    bool changed = false;
    switch (kind) {
    case pkAddressScan:
        Label_ProgrBar0->setText(Txt(TxtAddressNo, lang) + QString::number(itemIndex));
        changed = true;
        break;
    case pkEventsRecord:
        f.EventItemCount = itemIndex;
        Label_ProgrBar0->setText(Txt(TxtEventItemNo, lang) + QString::number(itemIndex));
        changed = true;
        break;
    case pkCertifiedRecord: {
        f.CertifiedItemCount = itemIndex;
        const int count = itemIndex;
        Label_ProgrBar0->setText(Txt(TxtEventItemNo2, lang) + QString::number(count));
        if (count == itemTotal - 1) {
            if (f.CheckBox_Certified_SaveToFile->isChecked())
                Label_ProgrBar0->setText(Txt(TxtDataSavingWait, lang));
            else
                Label_ProgrBar0->setText(Txt(TxtEventItemNo2, lang) + QString::number(count) +
                                         Txt(TxtPleaseWaitIndented, lang));
        }
        changed = true;
        break;
    }
    case pkDemandRecord: {
        const int count = itemIndex + 1;
        f.DemandItemCount = count;
        if (f.DeviceVariant < 2 || count < 1000) {
            Label_ProgrBar0->setText(Txt(TxtDemandItemNo, lang) + QString::number(count));
            changed = true;
        } else {
            // Large variant-2 loggers: the label and bar follow whole thousands only,
            // so the window keeps up with the read.
            if (count > 1000) barStep_ = 1000;
            if (count == itemTotal - 1) {
                if (f.CheckBox_Demand_SaveToFile->isChecked())
                    Label_ProgrBar0->setText(Txt(TxtDataSavingWait, lang));
                else
                    Label_ProgrBar0->setText(Txt(TxtDemandItemNo, lang) +
                                             QString::number(f.RecordCount.load()) +
                                             Txt(TxtPleaseWaitIndented, lang));
                changed = true;
            } else if (count % 1000 == 0) {
                Label_ProgrBar0->setText(Txt(TxtDemandItemNo, lang) + QString::number(count) +
                                         QStringLiteral("..."));
                changed = true;
            }
        }
        break;
    }
    default:
        break;
    }
    if (changed) StepBar();
    ArrangeLines();
}

void TProgrWinForm::StepBar()
{
    // As the native bar does: past the maximum it starts over from the minimum.
    QProgressBar* bar = ProgrWin_ProgressBar;
    int pos = bar->value() + barStep_;
    if (pos > bar->maximum()) pos = bar->minimum() + (pos - bar->maximum());
    if (pos > bar->maximum()) pos = bar->minimum();
    bar->setValue(pos);
}

void TProgrWinForm::SetBarMax(int max)
{
    ProgrWin_ProgressBar->setMaximum(max);
}

void TProgrWinForm::ProgrWin_BarTimerTimer()
{
    if (Tag == 0) {
        Tag = 1;
        ProgrWin_BarTimer->setInterval(BarTimerPeriod + 200);
    }
    StepBar();
    const int pos = ProgrWin_ProgressBar->value();
    if (pos % 2 == 0) Label_ProgrBar_PercentCounter->setText(QString::number(pos) + QLatin1Char('%'));
    if (pos == 100) FinishProgress();
}

void TProgrWinForm::FinishProgress()
{
    if (ProgrWin_BarTimer->isActive()) {
        Label_ProgrBar_PercentCounter->setText(QStringLiteral("100%"));
        ProgrWin_BarTimer_100percent->start();
        ProgrWin_BarTimer->stop();
        ProgrWin_ProgressBar->setValue(ProgrWin_ProgressBar->maximum());
    } else {
        done(QDialog::Rejected);
    }
}

bool TProgrWinForm::ShowsTimeBar() const
{
    return Shown && (ProgrWin_BarTimer->isActive() || ProgrWin_BarTimer_100percent->isActive());
}

void TProgrWinForm::ProgrWin_BarTimer_100percentTimer()
{
    ProgrWin_BarTimer_100percent->stop();
    done(QDialog::Rejected);
}

void TProgrWinForm::Button_ProgrWin_TerminateClick()
{
    TMainForm& f = mainForm_;
    ProgrWinIconError->hide();
    ProgrWin_BarTimer->stop();
    f.ConnectCancelled = windowTitle() == Txt(TxtConnecting, f.Language) ? 1 : 0;
    // This window's read may still be parked behind another job: it goes with
    // its window. A running one is cancelled below.
    if (f.PendingJob.load() != 0 && ShowsWindow(f.PendingJobWindow)) f.PendingJob = 0;
    f.SetJob(0);
    if (f.ConnectCancelled != 0 && f.TransportCode == tcModbusTcp) f.CancelTcpConnect();
    if (f.PageControl_Main->currentWidget() == f.Page_Logger)
        f.TimerRefreshMainDeviceTime->setInterval(100);
    f.TimerDeleteMemoryTime->stop();
    done(2);
}

void TProgrWinForm::FormShow()
{
    Tag = 0;
    // Every run starts with the first tick at the bar timer's own interval,
    // not at the step period of the previous run.
    ProgrWin_BarTimer->setInterval(kBarTimerDefault);
}

void TProgrWinForm::FormClose()
{
    ProgrWin_BarTimer->stop();
    ProgrWin_BarTimer_100percent->stop();
    Shown = 0;
}

void TProgrWinForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormShow();
}

void TProgrWinForm::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TProgrWinForm::reject()
{
    QPushButton* b = Button_ProgrWin_Terminate;
    if (b && !b->isHidden() && b->isEnabled()) b->click();
}

void TProgrWinForm::CentreOnMainWindow()
{
    if (!mainForm_.isVisible()) return;
    const QRect main = mainForm_.frameGeometry();
    move(main.center() - QPoint(width() / 2, height() / 2));
}
