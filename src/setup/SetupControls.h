#pragma once
// Components of the Setup page: communication setup (transport, serial port,
// TCP/IP address, device address, bus scan, connect), the device setup group
// with its command editors, display refresh, language, window size and the
// switch of the communication monitor. Built by BuildSetupPage.
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

struct SetupControls {
    QGroupBox* GroupBox_CommunicationSetup = nullptr;

    QGroupBox* GroupBox_Setup_Protocol = nullptr;
    QRadioButton* RadioButton_MBus = nullptr;
    QRadioButton* RadioButton_Modbus_RTU = nullptr;
    QRadioButton* RadioButton_Modbus_TCPIP = nullptr;

    // Serial port; shown for M-Bus and Modbus RTU.
    QGroupBox* GroupBox_Setup_Port = nullptr;
    QComboBox* ComboBox_Setup_Port_MBus = nullptr;
    QComboBox* ComboBox_Setup_Port_ModBus = nullptr;
    QPushButton* Button_Setup_SerialPort_Refresh = nullptr;
    QLabel* Label_Baudrate = nullptr;
    QComboBox* ComboBox_Setup_DeviceBaudrate = nullptr;
    QComboBox* ComboBox_Setup_DeviceSerialMode = nullptr;
    QLabel* Label_suma = nullptr;

    // TCP/IP; shown for Modbus TCP in place of the serial port.
    QGroupBox* GroupBox_Setup_TCPIP = nullptr;
    QLabel* Label_IP_Address = nullptr;
    QLineEdit* MaskEdit_IPAddress = nullptr;
    QLineEdit* Edit_Setup_TCPIP_Port = nullptr;

    QGroupBox* GroupBox_DeviceAddress = nullptr;
    QRadioButton* RadioButtonPrimaryAddress = nullptr;
    QRadioButton* RadioButtonSecondaryAddress = nullptr;
    QLabel* Label_Setup_Address = nullptr;
    QLineEdit* MaskEdit_Setup_Primary_Address = nullptr;
    QLineEdit* MaskEdit_Setup_Sec_Address = nullptr;
    QLineEdit* MaskEdit_Setup_ModBus_Address = nullptr;

    // Bus scan.
    QGroupBox* GroupBox_Network = nullptr;
    QRadioButton* RadioButton_Scan_Address = nullptr;
    QRadioButton* RadioButton_Scan_Baudrate = nullptr;
    QPushButton* Button_Setup_SearchDevices = nullptr;
    QLabel* Label_Devices = nullptr;
    QLineEdit* Edit_Scan_PrimaryAddress = nullptr;

    QPushButton* Button_Setup_Device_Connect = nullptr;
    QLabel* Label_Setup_ConnectStatus = nullptr;
    QLabel* Label_Setup_Webserver = nullptr;

    // Device setup: one command at a time, with the editor of its value.
    QGroupBox* GroupBox_DeviceSetup = nullptr;
    QLabel* Label_Setup_Command = nullptr;
    QComboBox* ComboBox_DeviceSetup_Command = nullptr;
    QLineEdit* MaskEdit_Set_Address = nullptr;
    QLineEdit* MaskEdit_Setup_SecondaryAddress = nullptr;
    QComboBox* ComboBox_Change_Baudrate = nullptr;
    QComboBox* ComboBox_Set_Demand_Period = nullptr;
    QLineEdit* MaskEdit_VT = nullptr;
    QLineEdit* MaskEdit_CT = nullptr;
    QLineEdit* MaskEdit_Change_Date = nullptr;
    QLineEdit* MaskEdit_Change_Time = nullptr;
    QPushButton* Button_Setup_DateTime_Read = nullptr;
    QCheckBox* CheckBox_SendPCTimeDate = nullptr;
    QCheckBox* CheckBox_ToAllDevices = nullptr;
    QComboBox* ComboBox_Tariff = nullptr;
    QComboBox* ComboBox_Set_Webserver = nullptr;
    QPushButton* Button_SendToDevice = nullptr;

    QGroupBox* GroupBox_Setup_Display = nullptr;
    QLabel* Label_RefreshTime = nullptr;
    QComboBox* ComboBox_DisplayRefresh = nullptr;

    QGroupBox* GroupBox_Setup_Language = nullptr;
    QRadioButton* RadioButton_English = nullptr;
    QRadioButton* RadioButton_German = nullptr;

    QGroupBox* GroupBox_Window = nullptr;
    QRadioButton* RadioButton_Large = nullptr;
    QRadioButton* RadioButton_Small = nullptr;

    QCheckBox* CheckBoxAdministrator = nullptr;
};
