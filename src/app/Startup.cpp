#include "app/Startup.h"

#include <QApplication>
#include <QThreadPool>

#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "setup/PSFieldSend.h"
#include "setup/PSWin.h"

namespace {
constexpr int kDrawingThreadExpiryMs = 1000;
}

void SetUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("orbicount-tool"));
    // Qt fills large gradient areas (the scroll bars of grids and lists) on
    // pooled threads, one per core. They are needed for a moment while the
    // window paints; an idle tool need not keep them for the default 30 s.
    QThreadPool::globalInstance()->setExpiryTimeout(kDrawingThreadExpiryMs);
}

TToolWindows::TToolWindows()
{
    main_ = std::make_unique<TMainForm>();
    MainForm = main_.get();
    progr_ = std::make_unique<TProgrWinForm>(*main_);
    ProgrWinForm = progr_.get();
    ps_ = std::make_unique<TPSWinForm>(main_.get());
    PSWinForm = ps_.get();
    TMainForm* mainForm = main_.get();
    ps_->SendToDevice = [mainForm] { SendPSFieldConfiguration(*mainForm); };
    ps_->LocalizePSFieldDialog(mainForm->Language);
}

TToolWindows::~TToolWindows()
{
    // The worker may still wait for the progress window; end it before any
    // window it could reach is destroyed.
    main_->ShutdownWorker();
    PSWinForm = nullptr;
    ps_.reset();
    ProgrWinForm = nullptr;
    progr_.reset();
    MainForm = nullptr;
    main_.reset();
}
