#pragma once
// TMainForm: the main window. It owns every component (grouped by page in the
// *Controls bases, so each member keeps its component name) and the shared
// members (grouped by what they serve in the state bases).
#include <QWidget>

#include "app/HelpControls.h"
#include "app/MainFrameControls.h"
#include "app/WindowState.h"
#include "comm/JobControl.h"
#include "comm/Monitor.h"
#include "core/DecodedValues.h"
#include "core/FrameBuffers.h"
#include "core/LinkState.h"
#include "core/LoggerStores.h"
#include "loggers/LoggerControls.h"
#include "setup/SetupControls.h"
#include "values/EnergyControls.h"
#include "values/MeasurementControls.h"

class TMainForm : public QWidget,
                  public MainFrameControls,
                  public MeasurementControls,
                  public EnergyControls,
                  public LoggerControls,
                  public SetupControls,
                  public HelpControls,
                  public WindowState,
                  public JobControl,
                  public FrameBuffers,
                  public DeviceAddressing,
                  public TransportState,
                  public DecodedValueStore,
                  public LoggerStores {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* owner = nullptr);
    ~TMainForm() override;

    void FormActivate();

    // Each group below is added to by the unit named in its heading; keep
    // edits inside your own group.
    // -- worker thread, job control and result handler (comm/)

    // -- progress window, colour buttons, owner-drawn lists (app/ProgrWin, app/ColorButton)
    // Once, at the first activation: the seventeen plain buttons become colour
    // buttons, then the owner-drawn lists get their item painter. The page
    // builders connect those buttons' clicks with ConnectClick (app/ColorButton.h),
    // which is what lets the replacement keep each handler.
    void ReplaceButtonsWithColorButtons();
    // The ten owner-drawn lists: selected entry on the button green. Safe to repeat.
    void SetOwnerDrawnLists();

    // -- language, captions and grid headers (app/Language)
    // Language 0 or 1, then the whole window re-captioned.
    void RadioButton_EnglishClick();
    void RadioButton_GermanClick();
    // Every caption, grid header, help text and the connection state in Language.
    void ApplyLanguage();
    // Header cells of the three counter and three logger grids, then the item counts.
    void SetGridHeaders();
    // The item-count choices of the demand logger, by the device's logger size.
    void FillDemandItemCounts();
    // 1 disconnected, 2 connected; any other value changes nothing.
    void ShowConnectionState(int state);
    // About text and help of the brand, and the code tables of the logger panes.
    void ShowHelpTexts();

    // -- settings and layout (app/Settings, app/Layout, loggers/LoggerLayout)
    // Binds the language and layout radio buttons, the demand status label and
    // its close mark, and the help panes; once, from the constructor.
    void ConnectSettingsHandlers();
    // First activation: reads the settings file and applies it, creates the worker.
    void LoadSettings();
    // Writes every setting back; nothing before the settings were loaded.
    void FormClose();
    // The settings file, from the first activation to the destructor.
    std::unique_ptr<class SettingsStore> SettingsRegistry;
    void SetLargeLayout();
    void SetSmallLayout();
    void RadioButton_LargeClick();
    void RadioButton_SmallClick();
    // Shows the demand status legend, opening the large layout for it, or hides it.
    void LabelDemandStatusClick();
    void RichEdit_HelpMouseDown();
    void RichEdit_EventsLogger_HelpMouseDown();
    // Default column widths of the demand grid (by the device) and the certified grid.
    void SetDemandGridDefaultWidths();
    void SetCertifiedGridDefaultWidths();
    // 1 wide demand page, 0 narrow, 2 narrow widths only.
    void SetDemandLoggerLayout(int mode);
    // 1 shows the demand status legend, any other value hides it.
    void ShowDemandStatusHelp(int show);
    // The legend's close mark: back to the small layout when the legend opened the large one.
    void Label_DemandLogger_Help_In_XMouseDown();

    // -- pages (values/, loggers/, setup/, app/HelpPage)
    // Help page screen line: dpi and size of the window's screen.
    void ShowScreenLine();

    // transport selection, port list, monitor, activity indicators
    // (comm/TransportSelection, comm/PortList, comm/Monitor, app/ActivityIndicators)
    // Binds those handlers to their controls; once, from the constructor.
    void ConnectTransportHandlers();
    // 50 M-Bus, 51 Modbus RTU, 52 Modbus TCP: the whole window to that transport,
    // disconnected. Any other mode only resets the device information. Any thread.
    void SetProtocolMode(int mode);
    void RadioButton_MBusClick();
    void RadioButton_Modbus_RTUClick();
    void RadioButton_Modbus_TCPIPClick();
    // Baud-rate lists and refresh choices of the current serial transport.
    void FillBaudrateLists();
    // Mode 233 lists the ports that open; any other mode only empties the list.
    void RefreshSerialPorts(int mode);
    void Button_Setup_SerialPort_RefreshClick();
    void ComboBox_Setup_Port_MBusChange();
    void ComboBox_Setup_Port_ModBusChange();
    void ComboBox_Setup_DeviceSerialModeChange();
    // Widens the window for the communication monitor, or narrows it again.
    void CheckBoxAdministratorClick();
    void CopyToClipboard1Click();
    void PopUpDeleteAllClick();
    void PopUpSelectAllClick();
    // TComActivity code; any thread.
    void ShowComActivity(int code);
    void Timer_Image_Com_in_ProgressTimer();
    // Any thread.
    void StopBusyIndicator();
    MonitorState Monitor;


protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    bool activated_ = false;
};

// The three windows of the process, created by the program main in this order.
extern TMainForm* MainForm;
class TProgrWinForm;
class TPSWinForm;
extern TProgrWinForm* ProgrWinForm;
extern TPSWinForm* PSWinForm;
