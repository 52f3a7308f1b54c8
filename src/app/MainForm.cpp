#include "app/MainForm.h"

#include <QCloseEvent>
#include <QShowEvent>
#include <QTimer>

#include "app/PageBuilders.h"

TMainForm* MainForm = nullptr;
TProgrWinForm* ProgrWinForm = nullptr;
TPSWinForm* PSWinForm = nullptr;

TMainForm::TMainForm(QWidget* owner) : QWidget(owner)
{
    setObjectName(QStringLiteral("MainForm"));
    BuildMainFrame(*this);
    BuildMeasurementPage(*this);
    BuildEnergyPage(*this);
    BuildLoggerPage(*this);
    BuildSetupPage(*this);
    BuildHelpPage(*this);

    DefaultLanguage = 1;
    Brand = 1;
    DemandExtraColumn = 0;
    TraceLineCount = 1;
    HideNextProgressBar = 0;
    AltLayout = 1;
    for (int& o : LayoutOffsets) o = 0;
    resize(1125 + LayoutOffsets[0], 660 + LayoutOffsets[1]);
    SetupLabelsPending = 1;
}

TMainForm::~TMainForm() = default;

void TMainForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!activated_) {
        activated_ = true;
        // Run after the show has completed, as the first activation does.
        QTimer::singleShot(0, this, [this] { FormActivate(); });
    }
}

void TMainForm::FormActivate() {}

void TMainForm::closeEvent(QCloseEvent* e)
{
    e->accept();
}
