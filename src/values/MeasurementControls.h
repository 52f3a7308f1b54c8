#pragma once
// Components of the Measurement page: start button and status line, the value
// groups of the phases and totals, frequency and limit status, and the wiring
// picture (phase labels, lines and junctions) that shows the device's connection.
class QGroupBox;
class QLabel;
class QPushButton;
class TShape;

struct MeasurementControls {
    QPushButton* Button_Measurement_StartMeasuring = nullptr;
    QLabel* Label_HomeStatus = nullptr;

    // Voltages: phase to neutral, line to line, and their distortion.
    QGroupBox* GroupBox_U1 = nullptr;
    QGroupBox* GroupBox_U2 = nullptr;
    QGroupBox* GroupBox_U3 = nullptr;
    QGroupBox* GroupBox_U12 = nullptr;
    QGroupBox* GroupBox_U23 = nullptr;
    QGroupBox* GroupBox_U13 = nullptr;
    QGroupBox* GroupBox_THD_U1 = nullptr;
    QGroupBox* GroupBox_THD_U2 = nullptr;
    QGroupBox* GroupBox_THD_U3 = nullptr;
    QLabel* StaticText_U1 = nullptr;
    QLabel* StaticText_U2 = nullptr;
    QLabel* StaticText_U3 = nullptr;
    QLabel* StaticText_U12 = nullptr;
    QLabel* StaticText_U23 = nullptr;
    QLabel* StaticText_U13 = nullptr;
    QLabel* StaticText_THD_U1 = nullptr;
    QLabel* StaticText_THD_U2 = nullptr;
    QLabel* StaticText_THD_U3 = nullptr;

    // Currents and their distortion.
    QGroupBox* GroupBox_I1 = nullptr;
    QGroupBox* GroupBox_I2 = nullptr;
    QGroupBox* GroupBox_I3 = nullptr;
    QGroupBox* GroupBox_IN = nullptr;
    QGroupBox* GroupBox_THDI1 = nullptr;
    QGroupBox* GroupBox_THDI2 = nullptr;
    QGroupBox* GroupBox_THDI3 = nullptr;
    QLabel* StaticText_I1 = nullptr;
    QLabel* StaticText_I2 = nullptr;
    QLabel* StaticText_I3 = nullptr;
    QLabel* StaticText_IN = nullptr;
    QLabel* StaticText_THD_I1 = nullptr;
    QLabel* StaticText_THD_I2 = nullptr;
    QLabel* StaticText_THD_I3 = nullptr;

    // Powers and power factors per phase and in total.
    QGroupBox* GroupBox_P1 = nullptr;
    QGroupBox* GroupBox_P2 = nullptr;
    QGroupBox* GroupBox_P3 = nullptr;
    QGroupBox* GroupBox_Q1 = nullptr;
    QGroupBox* GroupBox_Q2 = nullptr;
    QGroupBox* GroupBox_Q3 = nullptr;
    QGroupBox* GroupBox_S1 = nullptr;
    QGroupBox* GroupBox_S2 = nullptr;
    QGroupBox* GroupBox_S3 = nullptr;
    QGroupBox* GroupBox_PF1 = nullptr;
    QGroupBox* GroupBox_PF2 = nullptr;
    QGroupBox* GroupBox_PF3 = nullptr;
    QGroupBox* GroupBox_PTotal = nullptr;
    QGroupBox* GroupBox_QTotal = nullptr;
    QGroupBox* GroupBox_STotal = nullptr;
    QGroupBox* GroupBox_PFTotal = nullptr;
    QLabel* StaticText_P1 = nullptr;
    QLabel* StaticText_P2 = nullptr;
    QLabel* StaticText_P3 = nullptr;
    QLabel* StaticText_PTOT = nullptr;
    QLabel* StaticText_Q1 = nullptr;
    QLabel* StaticText_Q2 = nullptr;
    QLabel* StaticText_Q3 = nullptr;
    QLabel* StaticText_QTOT = nullptr;
    QLabel* StaticText_S1 = nullptr;
    QLabel* StaticText_S2 = nullptr;
    QLabel* StaticText_S3 = nullptr;
    QLabel* StaticText_STOT = nullptr;
    QLabel* StaticText_PF1 = nullptr;
    QLabel* StaticText_PF2 = nullptr;
    QLabel* StaticText_PF3 = nullptr;
    QLabel* StaticText_PFTOT = nullptr;

    // Frequency and its status.
    QGroupBox* GroupBox_Frequency = nullptr;
    QLabel* Label_Freq_Value = nullptr;
    QLabel* StaticText_FREQ = nullptr;
    QLabel* Label_Freq_Status = nullptr;
    QLabel* Label_FreqStat = nullptr;
    QLabel* Label_Freq_Synchronization = nullptr;
    QLabel* Label_FreqStatSync = nullptr;

    // Limit status per phase: caption label (one underscore) and status text (two).
    QGroupBox* GroupBox_VoltageStatus = nullptr;
    QGroupBox* GroupBox_CurrentStatus = nullptr;
    QLabel* Label_UStatus_L1 = nullptr;
    QLabel* Label_UStatus_L2 = nullptr;
    QLabel* Label_UStatus_L3 = nullptr;
    QLabel* Label_UStatus__L1 = nullptr;
    QLabel* Label_UStatus__L2 = nullptr;
    QLabel* Label_UStatus__L3 = nullptr;
    QLabel* Label_IStatus_L1 = nullptr;
    QLabel* Label_IStatus_L2 = nullptr;
    QLabel* Label_IStatus_L3 = nullptr;
    QLabel* Label_IStatus__L1 = nullptr;
    QLabel* Label_IStatus__L2 = nullptr;
    QLabel* Label_IStatus__L3 = nullptr;

    // Wiring picture.
    QLabel* Label_L1 = nullptr;
    QLabel* Label_L2 = nullptr;
    QLabel* Label_L3 = nullptr;
    QLabel* Label_N = nullptr;
    TShape* Shape_L1 = nullptr;
    TShape* Shape_L2 = nullptr;
    TShape* Shape_L3 = nullptr;
    TShape* Shape_N = nullptr;
    TShape* Shape_L1N = nullptr;
    TShape* Shape_L2N = nullptr;
    TShape* Shape_L3N = nullptr;
    TShape* Shape_L13 = nullptr;
    TShape* Shape_Junction_L1 = nullptr;
    TShape* Shape_Junction_N = nullptr;
    TShape* Shape_Junction_L1N = nullptr;
    TShape* Shape_Junction_L2N = nullptr;
    TShape* Shape_Junction_L1a = nullptr;
    TShape* Shape_Junction_L1b = nullptr;
    TShape* Shape_Junction_L2a = nullptr;
    TShape* Shape_Junction_L2b = nullptr;
    TShape* Shape_Junction_L3a = nullptr;
    TShape* Shape_Junction_L3b = nullptr;
};
