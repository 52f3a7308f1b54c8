#pragma once
// The base of the end-to-end window tests: the main window and its progress
// window as the program makes them, shown in English on the Setup page with
// the worker running, and closed again after each test.
#include <QRadioButton>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <memory>

#include "JobHostRig.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"

namespace rig {

class WindowTest : public ::testing::Test {
protected:
    void StartWindow()
    {
        form = std::make_unique<TMainForm>();
        MainForm = form.get();
        progress = std::make_unique<TProgrWinForm>(*form);
        ProgrWinForm = progress.get();
        form->show();
        ASSERT_TRUE(PumpUntil([&] { return form->ComThread != nullptr; }));
        form->RadioButton_English->setChecked(true);
        form->PageControl_Main->setCurrentWidget(form->Page_Setup);
    }

    void TearDown() override
    {
        if (form) form->close();
        ProgrWinForm = nullptr;
        progress.reset();
        MainForm = nullptr;
        form.reset();
    }

    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TProgrWinForm> progress;
};

}  // namespace rig
