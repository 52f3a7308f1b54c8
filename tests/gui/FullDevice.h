#pragma once
// The main window with a device connected that brings out every part of it.
#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "app/Text.h"

namespace testsupport {

// A connected four-wire M-Bus meter with every feature: all phase groups,
// transformer ratios, the large demand logger with the certified logger, a
// web server; the device labels revealed and the demand status legend open.
inline void ConnectFullDevice(TMainForm& f)
{
    f.RadioButton_MBus->setChecked(true);
    ASSERT_EQ(f.TransportCode, tcMBus);
    f.ConnectionCode = 202;
    f.HasTransformerRatios = 1;
    f.HasDemandLogger = 1;
    f.DeviceVariant = 2;
    f.HasReactiveEnergy = 1;
    f.WebserverPresent = 1;
    f.WebserverEnabled = 1;
    f.DeviceAddress = 5;
    // The identity as an identification answer fills it.
    f.DeviceTypeText = " DX420";
    f.DeviceOptionsText = " 1234";
    f.SerialNumberText = " 12345678";
    f.ProductNameText = "DX420 Energy Meter";
    f.FirmwareText = "FW:3.04";
    f.SecondaryAddressIdText = " 12345678";
    f.ManufacturerText = " TOR";
    f.VersionText = " 1";
    f.TypeText = " 2";
    f.CtRatioText = " 5";
    f.VtRatioText = " 1";
    f.DemandPeriodText = " 15 min";
    f.ActualTariffText = " 1";
    f.DeviceTimeDateText = " 2024-05-06 12:34:56";
    f.ShowDeviceInfo();
    f.ShowSetupDeviceLabels();
    f.ShowDemandStatusHelp(1);
    f.Label_Setup_ConnectStatus->setText(Txt(TxtStatusDeviceConnected, f.Language));
    // The connection is only pretended: the page changes of the screenshots
    // must not start reads, whose refusals would wait for the user.
    for (QTimer* t : {f.Timer_Measurement_Start_Measuring, f.Timer_Energy_Values_Start_Measuring,
                      f.Timer_Energy_Resettable_Start_Reading, f.Timer_Energy_Freeze_Start_Reading,
                      f.Timer_Display_Refresh, f.TimerRefreshMainDeviceTime})
        QObject::disconnect(t, &QTimer::timeout, nullptr, nullptr);
    QApplication::processEvents();
}

} // namespace testsupport
