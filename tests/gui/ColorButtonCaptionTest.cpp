// The seventeen colour buttons of the main window draw their captions in one
// colour, the button text colour of the window, wherever they sit: the font
// colour of a group box around a button does not reach its caption.
#include <QApplication>
#include <QImage>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "app/ColorButton.h"
#include "app/MainForm.h"
#include "app/Startup.h"
#include "app/Text.h"

namespace {

int Distance(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

// The colour of the caption as drawn: of the pixels inside the frame, the one
// farthest from the face (antialiased edges lie between the two).
QRgb CaptionColour(QWidget* b, QRgb face)
{
    const QImage img = b->grab().toImage();
    QRgb best = face;
    for (int y = 3; y < img.height() - 3; ++y)
        for (int x = 3; x < img.width() - 3; ++x)
            if (Distance(img.pixel(x, y), face) > Distance(best, face)) best = img.pixel(x, y);
    return best;
}

TEST(ColorButtonCaptionTest, AllSeventeenDrawTheirCaptionsInOneColour)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    TToolWindows windows;
    TMainForm& f = windows.Main();
    f.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.SettingsRegistry != nullptr; }, 3000));
    f.RadioButton_MBus->setChecked(true); // brings out the port and scan groups
    QApplication::processEvents();

    QPushButton* const buttons[] = {
        f.Button_Setup_SerialPort_Refresh, f.Button_Setup_Device_Connect, f.Button_Setup_SearchDevices,
        f.Button_SendToDevice, f.Button_Measurement_StartMeasuring, f.Button_Setup_DateTime_Read,
        f.Button_Energie_MainCounters_StartMonitoring, f.Button_Demand_Read, f.Button_Certified_Read,
        f.Button_Events_Read, f.Button_ResettableCounters_Read, f.Button_Resettable_Setup_Read,
        f.Button_Reset_Set_Submit, f.Button_FreezeCounters_Read, f.Button_Freeze_Setup_Read,
        f.Button_Freeze_Set, f.Button_Demand_Interval_Read,
    };
    const QRgb face = ToQColor(ClrButtonFace).rgb();
    const QRgb expected = f.palette().color(QPalette::Active, QPalette::ButtonText).rgb();
    ASSERT_GT(Distance(expected, face), 100) << "the caption colour must stand out from the face";
    int drawn = 0;
    for (QPushButton* plain : buttons) {
        auto* b = qobject_cast<TColorButton*>(plain);
        ASSERT_NE(b, nullptr) << (plain ? plain->objectName().toStdString() : "");
        EXPECT_EQ(b->ForeColor(), clBtnText) << b->objectName().toStdString();
        // A disabled button draws its caption embossed, not in the caption colour.
        if (!b->isEnabled()) continue;
        ++drawn;
        EXPECT_EQ(CaptionColour(b, face), expected)
            << b->objectName().toStdString() << " in " << b->parentWidget()->objectName().toStdString();
    }
    // The Setup groups' buttons among them.
    EXPECT_TRUE(f.Button_Setup_SerialPort_Refresh->isEnabled());
    EXPECT_TRUE(f.Button_Setup_SearchDevices->isEnabled());
    EXPECT_GE(drawn, 10);
}

} // namespace
