#pragma once
// The main window with a worker whose runner only notes the jobs it was given,
// and a watcher that reads and closes the reports, for the value page tests.
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

#include "FormTest.h"
#include "../unit/PtyPair.h"
#include "WorkerTestSupport.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "core/ModbusDecoder.h"
#include "core/RecordCodes.h"
#include "platform/ComPort.h"

namespace {

// Reports of the progress window ("id:caption:line 1") and message boxes
// ("caption:text") while a handler runs; each is closed once read.
class Watcher {
public:
    Watcher()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(10);
    }
    std::vector<QString> seen;

private:
    void Poll()
    {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.push_back(box->windowTitle() + QLatin1Char(':') + box->text());
            box->done(QMessageBox::Ok);
        } else if (ProgrWinForm && ProgrWinForm->isVisible()) {
            seen.push_back(ProgrWinForm->LabelIndex->text() + QLatin1Char(':') + ProgrWinForm->windowTitle() +
                           QLatin1Char(':') + ProgrWinForm->Label_ProgrBar1->text());
            ProgrWinForm->done(0);
        }
    }
    QTimer timer_;
};

class ValuePagesTest : public FormTest {
protected:
    void SetUp() override
    {
        MakeForm(true);
        form->Language = 0;
        form->ApplyLanguage();
        form->SetProtocolMode(52);
        form->ModbusJobStep = [this] {
            std::lock_guard lock(m);
            jobs.push_back(form->GetJob());
            form->SetJob(0);
        };
        form->CreateComThread(form->TransportCode, std::chrono::milliseconds(10));
        // The start-up read of the Energy page would start monitoring once a
        // test has made the window look connected.
        form->Timer_Energy_Values_Start_Measuring->stop();
    }
    std::vector<uint8_t> JobsRun()
    {
        PumpFor(60ms);
        std::lock_guard lock(m);
        return jobs;
    }
    // Connected as far as each check is concerned; the test then takes one away.
    void Connected()
    {
        form->Label_Setup_ConnectStatus->setText(QStringLiteral("Status: Device is connected."));
        form->TcpConnected = 1;
        form->Label_DeviceAddress->setText(QStringLiteral(" 127.0.0.1"));
    }
    void Post(uint8_t code)
    {
        form->UiRequest = code;
        form->HandleUiRequest();
    }

    std::mutex m;
    std::vector<uint8_t> jobs;
    ScopedConfigHome config;
};

enum class Lack { Status, Link, PortFailed, Address, EmptyAddress };

}  // namespace
