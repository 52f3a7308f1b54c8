#pragma once
// The base of the window tests that build the main window themselves, unshown
// and without settings: the window and, where a test asks, its progress
// window; after each test a worker it started is ended and the port closed
// before the windows go.
#include <gtest/gtest.h>

#include <memory>

#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "platform/ComPort.h"

class FormTest : public ::testing::Test {
protected:
    void MakeForm(bool withProgressWindow = false)
    {
        form = std::make_unique<TMainForm>();
        MainForm = form.get();
        if (!withProgressWindow) return;
        progress = std::make_unique<TProgrWinForm>(*form);
        ProgrWinForm = progress.get();
    }

    void TearDown() override
    {
        if (form) {
            form->ShutdownWorker();
            CloseComPort(form->SerialPort, *form);
        }
        ProgrWinForm = nullptr;
        progress.reset();
        MainForm = nullptr;
        form.reset();
    }

    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TProgrWinForm> progress;
};
