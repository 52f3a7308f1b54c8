// The titles the X server is given for the tool's windows: each caption exactly
// as the tool sets it, with nothing the platform adds. Needs a real X display;
// on the offscreen platform there is no window manager title to read.
#include <QApplication>
#include <QDialog>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

#include "ToolWindowsTest.h"
#include "app/Application.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Startup.h"
#include "app/Text.h"
#include "RealDisplay.h"
#include "setup/PSWin.h"

namespace {

using testsupport::XWindowTitle;

class WindowTitleTest : public ToolWindowsTest {
protected:
    void SetUp() override
    {
        if (!testsupport::OnX11()) GTEST_SKIP() << "needs a real X display (QT_QPA_PLATFORM=xcb)";
        SetUpApplication();
        StartWindows();
    }

    // The X title of the modal window that open() brings up.
    static QString TitleOfModal(const std::function<void()>& open)
    {
        QString title;
        EXPECT_TRUE(testsupport::InspectModal(open, [&](QDialog* d) { title = XWindowTitle(d); }));
        return title;
    }
};

TEST_F(WindowTitleTest, MainWindowShowsTheTransportCaptionAlone)
{
    const struct {
        QRadioButton* TMainForm::*transport;
        const char* title;
    } cases[] = {
        {&TMainForm::RadioButton_MBus, "TORVA ORBICOUNT TOOL - M-Bus"},
        {&TMainForm::RadioButton_Modbus_RTU, "TORVA ORBICOUNT TOOL - Modbus RTU"},
        {&TMainForm::RadioButton_Modbus_TCPIP, "TORVA ORBICOUNT TOOL - Modbus TCP/IP"},
    };
    for (const auto& c : cases) {
        (f().*c.transport)->setChecked(true);
        QApplication::processEvents();
        EXPECT_EQ(XWindowTitle(&f()).toStdString(), c.title);
    }
}

TEST_F(WindowTitleTest, ModalWindowsShowTheirCaptionAlone)
{
    for (int language : {0, 1}) {
        (language == 0 ? f().RadioButton_English : f().RadioButton_German)->setChecked(true);
        const QString connecting = Txt(TxtConnecting, language);
        EXPECT_EQ(TitleOfModal([&] {
                      ProgrWinForm->ShowProgress(2, 0, 0, 1, 1, 1, connecting, Txt(TxtWait, language), {}, {},
                                                 {}, Txt(TxtCancel, language), 0);
                  }).toStdString(),
                  connecting.toStdString());
        const QString error = Txt(TxtError, language);
        EXPECT_EQ(TitleOfModal([&] {
                      ProgrWinForm->ShowProgress(5, 1, 0, 0, 0, 1, error, Txt(TxtNoAnswerFromDevice, language),
                                                 {}, {}, {}, Txt(TxtOk, language), 0);
                  }).toStdString(),
                  error.toStdString());
    }
    // An escaped exception's box is titled with the tool title.
    EXPECT_EQ(TitleOfModal([] { TApplication::ShowException(QStringLiteral("Port COM3 is not open")); }).toStdString(),
              "TORVA ORBICOUNT TOOL");
    // The PS-Field window, with whatever caption it carries.
    const QString ps = TitleOfModal([] { PSWinForm->exec(); });
    if (!PSWinForm->windowTitle().isEmpty()) {
        EXPECT_EQ(ps.toStdString(), PSWinForm->windowTitle().toStdString());
    }
}

} // namespace
