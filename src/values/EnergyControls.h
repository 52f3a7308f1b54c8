#pragma once
// Components of the Energy page: the sub-page control with the main,
// resettable and freeze counters, each with its grid, read button, status
// line and time stamp; the reset and freeze date setup groups.
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;
class TShape;
class TStringGrid;

struct EnergyControls {
    QTabWidget* PageControl_Energy = nullptr;
    QWidget* Page_Values = nullptr;
    QWidget* Page_ResettableCounters = nullptr;
    QWidget* Page_FreezeCounters = nullptr;
    // Connector from the page's tab to its sub-page tabs; placed by language.
    TShape* Shape_Energy = nullptr;
    TShape* Shape_Energie_Horizontal = nullptr;

    // Values (main counters, monitored).
    QPushButton* Button_Energie_MainCounters_StartMonitoring = nullptr;
    QLabel* Label_Energy_Values_Status = nullptr;
    QGroupBox* GroupBox_MainCounters = nullptr;
    TStringGrid* StringGrid_MainCounters = nullptr;
    QLabel* Label_Energy_Type1 = nullptr;
    QLabel* StaticText_EnergyType_Values = nullptr;
    QLabel* Label_DeviceTime = nullptr;
    QLabel* StaticText_MonitoringTime = nullptr;
    QLabel* Label_DeviceDate = nullptr;
    QLabel* StaticText_MonitoringDate = nullptr;
    QLabel* Label_TotalOpTime = nullptr;
    QLabel* StaticText_TotalOperatingTime = nullptr;
    QLabel* Label_OpTime = nullptr;
    QLabel* StaticText_OperatingTimeSinceReset = nullptr;

    // Resettable counters and the reset date setup.
    QPushButton* Button_ResettableCounters_Read = nullptr;
    QLabel* Label_Energy_Resettable_Status = nullptr;
    QGroupBox* GroupBox_ResettableCounters = nullptr;
    TStringGrid* StringGrid_ResettableCounters = nullptr;
    QLabel* Label_Energy_Type2 = nullptr;
    QLabel* StaticText_EnergyType_ResetableValues = nullptr;
    QLabel* Label_ResetTime = nullptr;
    QLabel* StaticText_ResettableTime = nullptr;
    QLabel* Label_ResetDate = nullptr;
    QLabel* StaticText_ResettableDate = nullptr;
    QGroupBox* GroupBox_Reset_Setup = nullptr;
    QGroupBox* GroupBox_Reset_Setup_Time = nullptr;
    QGroupBox* GroupBox_Reset_Setup_Date = nullptr;
    QLineEdit* MaskEdit_Change_ResettableTime = nullptr;
    QLineEdit* MaskEdit_Change_ResettableDate = nullptr;
    QPushButton* Button_Reset_Set_Submit = nullptr;
    QPushButton* Button_Resettable_Setup_Read = nullptr;

    // Freeze counters and the freeze date setup.
    QPushButton* Button_FreezeCounters_Read = nullptr;
    QLabel* Label_Energy_Freeze_Status = nullptr;
    QGroupBox* GroupBox_FreezeCounters = nullptr;
    TStringGrid* StringGrid_FreezeCounters = nullptr;
    QLabel* Label_Energy_Type3 = nullptr;
    QLabel* StaticText_EnergyType_FreezeValues = nullptr;
    QLabel* Label_FreezeTime = nullptr;
    QLabel* StaticText_FreezeTime = nullptr;
    QLabel* Label_FreezeDate = nullptr;
    QLabel* StaticText_FreezeDate = nullptr;
    QGroupBox* GroupBox_Freeze_Setup = nullptr;
    QGroupBox* GroupBox_Freeze_Setup_Time = nullptr;
    QGroupBox* GroupBox_Freeze_Setup_Date = nullptr;
    QLineEdit* MaskEdit_Change_FreezeTime = nullptr;
    QLineEdit* MaskEdit_Change_FreezeDate = nullptr;
    QPushButton* Button_Freeze_Set = nullptr;
    QPushButton* Button_Freeze_Setup_Read = nullptr;
};
