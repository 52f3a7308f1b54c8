#pragma once
// The base of the end-to-end window tests: the main window and its progress
// window as the program makes them, shown in English on the Setup page with
// the worker running, and closed again after each test; and what a user does
// on the Setup page to reach a meter.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "JobHostRig.h"
#include "WindowUser.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"

namespace rig {

class WindowTest : public ::testing::Test {
protected:
    // Called by each test once its meter (and with it any line and the
    // configuration folder) is ready, as on a machine whose adapter is
    // plugged in before the tool starts.
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
        ASSERT_EQ(form->Language.load(), 0);
    }

    void TearDown() override
    {
        if (form) form->close();
        ProgrWinForm = nullptr;
        progress.reset();
        MainForm = nullptr;
        form.reset();
    }

    // Places of the rates in the Setup page's baud rate list.
    static constexpr int kBaudIndex9600 = 5;
    static constexpr int kBaudIndex19200 = 6;

    // The user picks the line COM<com> in the given port list and a baud rate.
    void ChooseLine(QComboBox* ports, int com, int baudIndex)
    {
        ports->addItem(QStringLiteral("COM%1").arg(com));
        ports->setCurrentIndex(ports->count() - 1);
        QComboBox* baud = form->ComboBox_Setup_DeviceBaudrate;
        baud->setCurrentIndex(baudIndex);
        Q_EMIT baud->activated(baudIndex);
    }

    // Keys the text in as a user does, over what the edit held.
    static void Type(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        edit->setCursorPosition(0);
        QTest::keyClicks(edit, text);
    }

    // A connect whose outcome the user waits for: the progress window may
    // close on its own when its time bar runs out before the device answered,
    // and the outcome then opens it anew.
    void ConnectUntil(User& user, const QString& outcome)
    {
        form->Button_Setup_Device_Connect->click();
        ASSERT_TRUE(PumpUntil(
            [&] { return user.Saw(outcome) && !ProgrWinForm->isVisible() && form->GetJob() == 0; },
            std::chrono::seconds(40)))
            << user.All();
    }
    void Connect()
    {
        User user;
        ConnectUntil(user, QStringLiteral("The device is connected."));
    }

    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TProgrWinForm> progress;
};

}  // namespace rig
