#pragma once
// Components of the main window outside the pages: the page control and its
// five pages, the title line, the activity indicators, the device-information
// column right of the pages, the communication monitor and the window's timers.
class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTabWidget;
class QTimer;
class QWidget;
class TShape;

struct MainFrameControls {
    QTabWidget* PageControl_Main = nullptr;
    QWidget* Page_Measurement = nullptr;
    QWidget* Page_Energy = nullptr;
    QWidget* Page_Logger = nullptr;
    QWidget* Page_Setup = nullptr;
    QWidget* Page_Help = nullptr;

    QLabel* Label_Main = nullptr; // title line above the pages

    // Indicator row at the top right.
    QLabel* Label_Tariff = nullptr;
    QLabel* Label_Actual_Tariff = nullptr;
    QLabel* Label_Tarif_HW = nullptr;
    QLabel* Image_Com_Connected_Device = nullptr;
    QLabel* Image_Com_in_Progress = nullptr;
    TShape* MainShape1 = nullptr;
    TShape* MainShape2 = nullptr;
    TShape* MainShape3 = nullptr;
    TShape* MainShape4 = nullptr;
    TShape* MainShape5 = nullptr;

    // Device-information column (large layout only; lies under the page
    // control, so the wide demand page covers it).
    QLabel* Label_Parameters = nullptr;
    QLabel* Label_PrimaryAddress = nullptr;
    QLabel* Label_DeviceAddress = nullptr;
    QLabel* Label_Device_Type = nullptr;
    QLabel* Label_DeviceType = nullptr;
    QLabel* Label_SerNumber = nullptr;
    QLabel* Label_Device_SerN = nullptr;
    QLabel* Label_Features = nullptr;
    QLabel* Label_Device_Options = nullptr;
    QLabel* Label_ProductInfo = nullptr;
    QLabel* StaticText_ProductInfo = nullptr;
    QLabel* Label_SecondaryAddress = nullptr;
    QLabel* Label_Sec_ID = nullptr;
    QLabel* Label_Secondary_Address_ID = nullptr;
    QLabel* Label_Sec_Manufacturer = nullptr;
    QLabel* Label_Manufacturer = nullptr;
    QLabel* Label_Sec_Version = nullptr;
    QLabel* Label_Version = nullptr;
    QLabel* Label_Sec_Type = nullptr;
    QLabel* Label_Type = nullptr;
    QLabel* Label_Demand = nullptr;
    QLabel* Label_Demand_Period = nullptr;
    QLabel* Label_VT = nullptr;
    QLabel* Label__VT = nullptr;
    QLabel* Label_CT = nullptr;
    QLabel* Label__CT = nullptr;
    QLabel* Label_Main_DeviceTime = nullptr;
    QLabel* Label_MainDeviceTimeDate = nullptr;

    // Communication monitor, right of the normal window width.
    QPlainTextEdit* Memo_Com_Win = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* CopyToClipboard1 = nullptr;
    QAction* PopUpDeleteAll = nullptr;
    QAction* PopUpSelectAll = nullptr;

    // Timers of the window (UI thread only).
    QTimer* Timer_Image_Com_in_Progress = nullptr;
    QTimer* TimerMainStatusBar = nullptr;
    QTimer* Timer_Display_Refresh = nullptr;
    QTimer* Timer_Measurement_Start_Measuring = nullptr;
    QTimer* Timer_Energy_Values_Start_Measuring = nullptr;
    QTimer* Timer_Energy_Resettable_Start_Reading = nullptr;
    QTimer* Timer_Energy_Freeze_Start_Reading = nullptr;
    QTimer* TimerRefreshMainDeviceTime = nullptr;
    QTimer* TimerIP_Connect = nullptr;
    QTimer* TCPIP_receive_timer = nullptr;
    QTimer* TimerSetup = nullptr;
    QTimer* TimerDeleteMemoryTime = nullptr;
};

// Gives a page control the window's look: tabs drawn as buttons, no frame.
// Builders of pages with sub-pages call it for their own page controls.
void StylePageTabs(QTabWidget* pages);
