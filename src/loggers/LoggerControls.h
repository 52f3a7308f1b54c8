#pragma once
// Components of the Logger page: the three logger sub-pages with their grids,
// read commands and help panes, the demand interval group, and the status
// legend of the demand logger, which opens over the device-information column
// of the window. Built by BuildLoggerPage.
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QWidget;
class TShape;
class TStringGrid;

struct LoggerControls {
    QTabWidget* PageControl_Logger = nullptr;
    TShape* Shape_Logger = nullptr;
    TShape* Shape_Logger_horizontal = nullptr;

    // Demand logger.
    QWidget* Page_DemandLogger = nullptr;
    QGroupBox* GroupBox_DemandLogger = nullptr;
    QPushButton* Button_Demand_Read = nullptr;
    QComboBox* ComboBox_Demand = nullptr;
    QLabel* Label_Demand_Items = nullptr;
    QCheckBox* CheckBox_Demand_SaveToFile = nullptr;
    QLabel* Label_Energy_Type4 = nullptr;
    QLabel* StaticText_EnergyType_Demand = nullptr;
    QLabel* LabelDemandStatus = nullptr;
    QLabel* LabelDemandDefault = nullptr;
    QLabel* LabelDemandLargeArrow = nullptr;
    TStringGrid* StringGrid_DemandLogger = nullptr;
    // Beside the sub-page tabs, for a device without a demand logger.
    QLabel* Label_Note_Demand_Logger = nullptr;

    // Demand interval read (meters with the large demand logger).
    QGroupBox* GroupBoxDemandInterval = nullptr;
    QCheckBox* CheckBoxDemandInterval = nullptr;
    QLabel* LabelDemandIntervalFrom = nullptr;
    QLineEdit* MaskEditIntervalDateFrom = nullptr;
    QLineEdit* MaskEditIntervalTimeFrom = nullptr;
    QDateEdit* CalenderDateIntervalFrom = nullptr;
    QLabel* LabelDemandIntervalTill = nullptr;
    QLineEdit* MaskEditIntervalDateTill = nullptr;
    QLineEdit* MaskEditIntervalTimeTill = nullptr;
    QDateEdit* CalenderDateIntervalTill = nullptr;
    QCheckBox* CheckBoxIntervalToTable = nullptr;
    QPushButton* Button_Demand_Interval_Read = nullptr;
    // The period's energies, as the meter sums them up.
    QLabel* EPoutInterval = nullptr;
    QLabel* EPinInterval = nullptr;

    // Status legend of the demand logger and its close mark (window children).
    QTextEdit* RichEdit_DemandLogger_Help_In = nullptr;
    QLabel* Label_DemandLogger_Help_In_X = nullptr;

    // Events logger.
    QWidget* Page_EventsLogger = nullptr;
    QGroupBox* GroupBox_EventsLogger = nullptr;
    QPushButton* Button_Events_Read = nullptr;
    QComboBox* ComboBox_Events = nullptr;
    QLabel* Label_Events_Items = nullptr;
    QCheckBox* CheckBox_Events_SaveToFile = nullptr;
    TStringGrid* StringGrid_EventsLogger = nullptr;
    QTextEdit* RichEdit_EventsLogger_Help = nullptr;

    // Certified logger.
    QWidget* Page_CertifiedLogger = nullptr;
    QGroupBox* GroupBox_CertifiedLogger = nullptr;
    QPushButton* Button_Certified_Read = nullptr;
    QComboBox* ComboBox_Certified = nullptr;
    QCheckBox* CheckBox_Certified_SaveToFile = nullptr;
    QLabel* LabelCertifiedDefault = nullptr;
    TStringGrid* StringGrid_CertifiedLogger = nullptr;
    QTextEdit* RichEdit_CertifiedLogger_Help = nullptr;

    // Save dialog of the logger CSV files; made on first use (CsvSaveDialog),
    // since a file dialog starts Qt's file-information threads.
    QFileDialog* dlg_saveas = nullptr;
};
