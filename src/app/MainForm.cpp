#include "app/MainForm.h"

#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <exception>
#include <optional>

#include "app/Application.h"
#include "app/PageBuilders.h"
#include "comm/Connect.h"
#include "loggers/LoggerHandlers.h"
#include "setup/CounterDates.h"
#include "app/Settings.h"
#include "app/Text.h"
#include "app/StringGrid.h"
#include "platform/ComPort.h"

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
    ConnectTransportHandlers();
    CreateJobHost();
    ConnectConnectionHandlers(*this);
    ConnectLoggerHandlers(*this);
    ConnectSetupHandlers();
    ConnectCounterDateHandlers(*this);
    // A fault that escapes a job runner is shown like any escaped exception.
    WorkerFaultHook = [](std::exception_ptr fault) {
        try {
            std::rethrow_exception(fault);
        } catch (const std::exception& e) {
            TApplication::ShowException(QString::fromUtf8(e.what()));
        } catch (...) {
            TApplication::ShowUnknownException();
        }
    };

    DefaultLanguage = 1;
    Brand = 1;
    DemandExtraColumn = 0;
    TraceLineCount = 1;
    HideNextProgressBar = 0;
    AltLayout = 1;
    for (int& o : LayoutOffsets) o = 0;
    resize(1125 + LayoutOffsets[0], 660 + LayoutOffsets[1]);
    Label_Help_customer_left_logo->setText(Txt(TxtToolTitle, Brand));
    Label_Help_middle_logo->setText(Txt(TxtRightsLine, Brand));
    Label_Help_middle_logo_web->setText(Txt(TxtWebAddress, Brand));
    Label_HelpVersion->setText(Txt(TxtVersion, Brand));
    const bool brand2 = Brand == 2;
    Tool_Image_Logo_TVK->setVisible(!brand2);
    Tool_Image_Logo_middle_TVK->setVisible(!brand2);
    Tool_Image_Logo_NOLD->setVisible(brand2);
    Tool_Image_Logo_middle_NOLD->setVisible(brand2);
    ShowScreenLine();
    StringGrid_DemandLogger->SetColCount(DemandExtraColumn ? 11 : 10);
    SetupLabelsPending = 1;
    ConnectSettingsHandlers();
    ConnectPageNavigationHandlers();
    ConnectValueHandlers();
}

TMainForm::~TMainForm()
{
    // No job may touch the port or a window from here on.
    ShutdownWorker();
    if (PortOpen || SerialPort) {
        try {
            CloseComPort(SerialPort, *this);
        } catch (...) {
            // A device that vanished cannot be closed any further; the object is gone either way.
            DeleteComPort(SerialPort);
            PortOpen = 0;
        }
    }
    if (TcpClient && TcpClient->Active()) TcpClient->Deactivate();
    SettingsRegistry.reset();
}

// Read once here: the line keeps the values of the screen the window started on.
void TMainForm::ShowScreenLine()
{
    const QScreen* scr = screen();
    if (!scr) return;
    const qreal ratio = scr->devicePixelRatio();
    const int width = qRound(scr->size().width() * ratio);
    const int height = qRound(scr->size().height() * ratio);
    Label4->setText(Txt(TxtScreenDpi, Language) + QString::number(qRound(scr->logicalDotsPerInchX())) +
                    QStringLiteral(", ") + QString::number(width) + QStringLiteral("x") + QString::number(height));
}

void TMainForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!activated_) {
        activated_ = true;
        // Run after the show has completed, as the first activation does.
        QTimer::singleShot(0, this, [this] { FormActivate(); });
    }
}

void TMainForm::FormActivate()
{
    // Later activations change nothing.
    if (SettingsRegistry) return;
    LoadSettings();
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    // The worker is ended first, so that no job uses the port while the
    // device is let go and the settings are written.
    ShutdownWorker();
    // A device that cannot be let go (an adapter pulled out) must not cost the
    // user the choices of this run: the settings are written first, the error
    // shown after.
    std::optional<QString> releaseError;
    try {
        FormCloseQuery();
    } catch (const std::exception& x) {
        releaseError = QString::fromUtf8(x.what());
    } catch (...) {
        releaseError = Txt(TxtUnknownException, Language);
    }
    FormClose();
    e->accept();
    if (releaseError) TApplication::ShowException(*releaseError);
}
