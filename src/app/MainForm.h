#pragma once
// TMainForm: the main window. It owns every component (grouped by page in the
// *Controls bases, so each member keeps its component name) and the shared
// members (grouped by what they serve in the state bases).
#include <QWidget>

#include "app/HelpControls.h"
#include "app/MainFrameControls.h"
#include "comm/JobControl.h"
#include "comm/JobHost.h"
#include "comm/Monitor.h"
#include "comm/TcpClient.h"
#include "core/DecodedValues.h"
#include "core/FrameBuffers.h"
#include "core/LinkState.h"
#include "core/LoggerGridRows.h"
#include "core/LoggerStores.h"
#include "core/WindowState.h"
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
                  public LoggerStores,
                  public IJobHost,
                  public ITcpClientHost {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* owner = nullptr);
    ~TMainForm() override;

    void FormActivate();

    // Each group below is added to by the unit named in its heading; keep
    // edits inside your own group.
    // -- worker thread, job control and result handler (comm/)
    // The window as the job runners, the transceiver and the TCP client see it
    // (IJobHost, ITcpClientHost; comm/JobHost.cpp). Once, from the constructor,
    // after the frame's timers exist: makes TcpClient with ClientSocket and
    // installs the Modbus job runner (before the worker is created). Direct
    // exchanges of the UI thread go through JobHost() as well.
    void CreateJobHost();
    IJobHost& JobHost() { return *this; }
    JobControl& Jobs() override { return *this; }
    FrameBuffers& Frames() override { return *this; }
    DeviceAddressing& Addressing() override { return *this; }
    TransportState& Link() override { return *this; }
    DecodedValueStore& Values() override { return *this; }
    LoggerStores& Loggers() override { return *this; }
    WindowState& Window() override { return *this; }
    std::atomic<uint8_t>& ReadStepBusyFlag() override { return ReadStepBusy; }
    std::string& FoundAddressesText() override { return FoundAddresses; }
    TPortGate& PortGate() override { return PortGate_; }
    // Modbus TCP client (comm/TcpClient): ClientSocket, its events, the connect
    // supervision (TimerIP_Connect) and the answer wait (TCPIP_receive_timer).
    TModbusTcpClient* ModbusTcpClient() override { return TcpClient; }
    TModbusTcpClient* TcpClient = nullptr;
    class QTcpSocket* ClientSocket = nullptr;
    void ReportProgress(uint32_t itemIndex, uint32_t itemTotal, uint8_t kind) override;
    void TraceComFrame(const char* prefix, const uint8_t* bytes, int count) override;
    void TraceUntracedBytes(int64_t count) override;
    void StopDisplayRefresh() override;
    void StartTimerSetup() override;
    bool ConnectInProgress() override;
    void SendOverTcp(const uint8_t* frame, int length) override;
    void ShowProgressWindow(int id, int icon, int counting, int barTimer, int busy, int layout,
                            const QString& caption, const QString& line1, const QString& suffix,
                            const QString& line2, const QString& line3, const QString& buttonText,
                            int itemCount) override;
    void FinishProgressWindow() override;
    void SetProgressBarMax(int max) override;
    int LoggerReadCount(uint8_t job) override;
    // The failed TCP connect: error window 18 "The device is not available.".
    void ShowDeviceNotAvailable() override;
    void ShowSocketError(const QString& text) override;
    // Only on Modbus TCP: socket off, disconnected state, Modbus TCP layout.
    void ResetTcpConnection();
    // Set while a read sequence exchanges frames; the display refresh timer
    // restarts a read only while it is clear.
    std::atomic<uint8_t> ReadStepBusy{0};
    // Written by the scan: a blank, then "address," per device found.
    std::string FoundAddresses;
    TPortGate PortGate_;

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
    // TConnectionState; any other value changes nothing.
    void ShowConnectionState(int state) override;
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

    // -- freeze and reset dates (setup/CounterDates)
    // Set writes the edits' date and time (M-Bus at once, Modbus as a job);
    // Read asks the meter for them.
    void Button_Freeze_SetClick();
    void Button_Reset_Set_SubmitClick();
    void Button_Freeze_Setup_ReadClick();
    void Button_Resettable_Setup_ReadClick();

    // -- page navigation (app/PageNavigation)
    // Binds the three page controls' changes, the Measurement page's show and
    // the web-address click; once, from the constructor (a repeat binds nothing).
    void ConnectPageNavigationHandlers();
    bool PageNavigationBound = false;
    // Stops the work of the page left and arms the start of the page shown.
    void PageControl_Change();
    void PageControl_EnergyChange();
    // Never stops a logger read.
    void PageControl_LoggerChange();
    void Page_MeasurementShow();
    // Reveals the device-information labels, the first time only.
    void ShowSetupDeviceLabels();
    void Label_Help_middle_logo_webClick();
    // Label_Main: "Energy Meter / page[ / sub-page]" as the tabs are captioned.
    void ShowPageTitle();
    // Opens a web address; unset, the desktop's browser does. Tests put their own here.
    std::function<void(const QString& url)> OpenWebPage;

    // connect and disconnect, their results, device information
    // (comm/Connect, comm/ConnectionResults, values/DeviceInfoDisplay)
    // Binds the connect button, the address key filters, the addressing and
    // baud-rate choices, and registers the result actions of connecting;
    // once, from the constructor (declared again in comm/Connect.h).
    friend void ConnectConnectionHandlers(TMainForm& form);
    // Connect Device / Disconnect toggle on every transport.
    void Button_Setup_Device_ConnectClick();
    // Ends the connection on the current transport; also after a lost device.
    void DisconnectDevice();
    // Cancel on the Modbus TCP "Connecting..." window: the socket goes and the
    // window shows disconnected at once.
    void CancelTcpConnect();
    // One M-Bus select or deselect frame by SelectFrameKind and AddressingMode;
    // the answer is not evaluated.
    void SendMbusSelect();
    // The window is about to close: a connected device is let go. Never refuses.
    void FormCloseQuery();
    void RadioButtonPrimaryAddressClick();
    void RadioButtonSecondaryAddressClick();
    void ComboBox_Setup_DeviceBaudrateChange();
    // The identified device's identity, and the window fitted to its features.
    void ShowDeviceInfo();
    // Logger tabs, demand columns, ratios and demand period by the features.
    void SetupLoggerTabs();
    // The logger page's frame line by variant and language.
    void PlaceLoggerShapes();
    // Every value display and grid empty, as a newly connected device starts.
    void ClearMeasuredValues();

    // -- logger reads, grids and CSV files (loggers/)
    // Binds the read commands, the grids and their width marks, the wide-page
    // arrow, and registers the logger result actions; once, from the
    // constructor (declared again in loggers/LoggerHandlers.h).
    friend void ConnectLoggerHandlers(TMainForm& form);
    void Button_Demand_ReadClick();
    void Button_Events_ReadClick();
    void Button_Certified_ReadClick();
    // The demand interval read (job 42, Modbus TCP only).
    void Button_Demand_Interval_ReadClick();
    // Fill the grids from the record stores and turn the counting report into
    // the closing information; the events filler writes its CSV first and
    // leaves the progress window be.
    void ShowDemandLogger();
    void ShowEventsLogger();
    void ShowCertifiedLogger();
    // Only the grid, after a read whose file was written: the grid then shows
    // that read, never an earlier one.
    void FillDemandLoggerGrid();
    void FillCertifiedLoggerGrid();
    // Write the CSV file of the last read; false, after telling the user, when
    // the file could not be made whole.
    bool WriteDemandLoggerCsv();
    bool WriteCertifiedLoggerCsv();
    bool WriteEventsLoggerCsv(size_t count);
    void LabelDemandDefaultClick();
    void DefaultCertifiedClick();
    void LabelDemandLargeArrowClick();
    // The grids show nothing more; their row texts are freed.
    void ClearLoggerGridRows();
    // The grids' rows, copied from the stores when a read has finished.
    GridRowTexts DemandGridRows;
    GridRowTexts EventsGridRows;
    GridRowTexts CertifiedGridRows;
    int SavedColWidths[10]{};
    uint8_t DemandArrowDragging = 0;
    uint8_t DemandArrowDragged = 0;
    // The name chosen in the save dialog; CsvFileName is the command's form of it.
    std::string CsvDialogFileName;
    // Asks for the CSV file; empty when the user cancels. Unset, dlg_saveas
    // does (made on first use). Tests put their own here.
    std::function<QString()> ChooseCsvFile;

    // -- measured values: measuring, counter pages, result fields, device scan
    // (values/MeasuringControl, values/EnergyCounters, values/CounterDisplay,
    // values/ValueResults, values/ValueHandlers, comm/DeviceScan)
    // Binds those pages' buttons, timers and grid painting, the Scan button,
    // and registers the result actions of values and counters; once, from the
    // constructor.
    void ConnectValueHandlers();
    bool ValueHandlersBound = false;
    void Button_Measurement_StartMeasuringClick();
    // Starts or stops measuring, after the connection checks and their reports.
    void ToggleMeasuring();
    // Sets the read job again for the page shown; never while a read step runs.
    void Timer_Display_RefreshTimer();
    bool RefreshWarningOpen = false;
    void ComboBox_DisplayRefreshChange();
    void Timer_Measurement_Start_MeasuringTimer();
    // The instantaneous values and limit status; also signs the S members.
    void ShowMeasuredValues();
    void Button_Energie_MainCounters_StartMonitoringClick();
    void ToggleMainCountersMonitoring();
    void Button_ResettableCounters_ReadClick();
    void Button_FreezeCounters_ReadClick();
    // One read; withProgress opens the modal "Data Reading..." window.
    void ReadResettableCounters(bool withProgress);
    void ReadFreezeCounters(bool withProgress);
    void ShowMainCounters();
    // Placeholders and " -" cells when the stamp is no date.
    void ShowResettableCounters();
    void ShowFreezeCounters();
    // Header and total row in the button colour, the active tariff's row light.
    bool DrawCounterCell(class TStringGrid& grid, class QPainter& p, const QRect& rect, int col, int row);
    void Page_EnergyShow();
    void Page_ValuesShow();
    void Timer_Energy_Values_Start_MeasuringTimer();
    void Timer_Energy_Resettable_Start_ReadingTimer();
    void Timer_Energy_Freeze_Start_ReadingTimer();
    void TimerRefreshMainDeviceTimeTimer();
    // One group of decoded texts into its controls, by TRecordCode.
    void ShowResultFields(uint8_t code);
    // Opens the port with the scan's short wait and starts the scan job.
    void Button_Setup_SearchDevicesClick();

    // transport selection, port list, monitor, activity indicators
    // (comm/TransportSelection, comm/PortList, comm/Monitor, app/ActivityIndicators)
    // Binds those handlers to their controls; once, from the constructor.
    void ConnectTransportHandlers();
    // TProtocolMode: the whole window to that transport,
    // disconnected. Any other mode only resets the device information. Any thread.
    void SetProtocolMode(int mode) override;
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
    void ShowComActivity(int code) override;
    void Timer_Image_Com_in_ProgressTimer();
    // Any thread.
    void StopBusyIndicator() override;
    MonitorState Monitor;
    // A traffic display handed to the UI thread and not yet shown there.
    std::atomic<bool> ComTrafficQueued{false};

    // -- device setup commands, their results and the device clock read
    // (setup/SetupCommandList, setup/SetupExecutor*, setup/SetupResults, setup/DeviceClockRead)
    // Binds the command list, the send and clock-read buttons and TimerSetup,
    // and registers the result actions of the setting writes; once, from the
    // constructor.
    void ConnectSetupHandlers();
    // The commands of the transport, the device's features and the language.
    void FillSetupCommandList();
    void ComboBox_DeviceSetup_CommandChange();
    void Button_SendToDeviceClick();
    void ExecuteSetupCommand();
    // 2 s after a tariff write: the tariff state is read back.
    void TimerSetupTimer();
    void Button_Setup_DateTime_ReadClick();


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
