#pragma once
// The tool's message table: every text the user sees, in English and German,
// the brand texts, the device type names and the shared colours. Built into the
// program as constant data; nothing writes it while the program runs.
//
// Texts are UTF-8 and used exactly as they stand, leading and trailing blanks
// included: callers put file names, numbers or ranges before or after them.
#include <array>
#include <cstdint>
#include <span>

// [0] English, [1] German; indexed by the window's Language.
using LangText = std::array<const char*, 2>;
// [0] empty, [1] brand 1, [2] brand 2; indexed by the window's Brand.
using BrandText = std::array<const char*, 3>;
// Indexed by the device-type digit of the identification answer (0 to 5).
using DeviceTypeNames = std::array<const char*, 6>;

// Colours as 0x00BBGGRR values.
constexpr uint32_t ClrButtonFace = 0x72B148;
constexpr uint32_t ClrText = 0xFEFEFE;
constexpr uint32_t ClrBackground = 0x332629;

// -- Brand texts
extern const BrandText TxtToolTitle;
extern const BrandText TxtRightsLine;
extern const BrandText TxtWebAddress;
extern const BrandText TxtVersion; // also the "VERS" value of the settings store
extern const BrandText TxtCaptionMbus;
extern const BrandText TxtCaptionModbusRtu;
extern const BrandText TxtCaptionModbusTcp;

// -- Device type names; the device's own identification answer picks the table.
extern const DeviceTypeNames TxtDeviceTypesBrand1;
extern const DeviceTypeNames TxtDeviceTypesBrand2;

// -- Captions of the main window, its pages, groups and controls; group box
//    captions carry a blank on each side
extern const LangText TxtWindowSize;
extern const LangText TxtLarge;
extern const LangText TxtSmall;
extern const LangText TxtDeviceDateAndTime;
extern const LangText TxtEnergyMeter;
extern const LangText TxtMeasurement;
extern const LangText TxtEnergy;
extern const LangText TxtLogger;
extern const LangText TxtSetup;
extern const LangText TxtHelp;
extern const LangText TxtTariff;
extern const LangText TxtParameters;
extern const LangText TxtProductInfo;
extern const LangText TxtAddress;
extern const LangText TxtIpAddress;
extern const LangText TxtSecondaryAddress;
extern const LangText TxtSecondaryManufacturer;
extern const LangText TxtSecondaryVersion;
extern const LangText TxtSecondaryType;
extern const LangText TxtPeriod;
extern const LangText TxtDemandLoggerNotActiveNote;
extern const LangText TxtFrequency;
extern const LangText TxtValue;
extern const LangText TxtStatus;
extern const LangText TxtSynchronization;
extern const LangText TxtVoltageStatus;
extern const LangText TxtCurrentStatus;
extern const LangText TxtEnergyType;
extern const LangText TxtValues;
extern const LangText TxtDeviceTime;
extern const LangText TxtDeviceDate;
extern const LangText TxtTotalOperationTimeH;
extern const LangText TxtOperationTimeSinceReset;
extern const LangText TxtResettableValues;
extern const LangText TxtResettableRead;
extern const LangText TxtLastResetTime;
extern const LangText TxtLastResetDate;
extern const LangText TxtResetSetup;
extern const LangText TxtResetTime;
extern const LangText TxtResetDate;
extern const LangText TxtResetSetupRead;
extern const LangText TxtResetSet;
extern const LangText TxtFreezeValues;
extern const LangText TxtFreezeRead;
extern const LangText TxtLastFreezeTime;
extern const LangText TxtLastFreezeDate;
extern const LangText TxtFreezeSetup;
extern const LangText TxtFreezeTime;
extern const LangText TxtFreezeDate;
extern const LangText TxtFreezeSetupRead;
extern const LangText TxtFreezeSet;
extern const LangText TxtLoggerRead;
extern const LangText TxtDemandItems;
extern const LangText TxtDemandSaveToFile;
extern const LangText TxtEventsRead;
extern const LangText TxtEventsItems;
extern const LangText TxtEventsSaveToFile;
extern const LangText TxtDemandLogger;
extern const LangText TxtEventsLogger;
extern const LangText TxtEvents;
extern const LangText TxtCertifiedLogger;
extern const LangText TxtInterval;
extern const LangText TxtFrom;
extern const LangText TxtTill;
extern const LangText TxtDefaultDisplay;
extern const LangText TxtToTable;
extern const LangText TxtCommunicationSetup;
extern const LangText TxtStatusDisconnected;
extern const LangText TxtSetupAddress;
extern const LangText TxtSetupPrimary;
extern const LangText TxtSetupSecondary;
extern const LangText TxtNetwork;
extern const LangText TxtNetworkScan;
extern const LangText TxtDevicesAddress;
extern const LangText TxtWebserverEnabled;
extern const LangText TxtWebserverDisabled;
extern const LangText TxtDisplaySetup;
extern const LangText TxtLanguage;
extern const LangText TxtEnglish;
extern const LangText TxtGerman;
extern const LangText TxtUpdateIntervalMeasurement;
extern const LangText TxtNetworkProtocol;
extern const LangText TxtDeviceAddress;
extern const LangText TxtDeviceAddressScan;
extern const LangText TxtBaudRate;
extern const LangText TxtSetupIpAddress;
extern const LangText TxtCommand;
extern const LangText TxtAllDevicesInNetwork;
extern const LangText TxtPcDateTimeToDevice;
extern const LangText TxtDateTimeRead;
extern const LangText TxtDeviceSetup;
extern const LangText TxtSendToDevice;
extern const LangText TxtSetUserName;
extern const LangText TxtSetAdministratorName;
extern const LangText TxtEraseMemory;
extern const LangText TxtPsFieldConfiguration;
extern const LangText TxtConfiguration;
extern const LangText TxtShowCommunicationForExperts;
extern const LangText TxtDisableWebserver;
extern const LangText TxtSerialMode8E1; // serial framing choices, in the order 8E1, 8O1, 8N2, 8N1 of the list
extern const LangText TxtSerialMode8O1;
extern const LangText TxtSerialMode8N2;
extern const LangText TxtSerialMode8N1;
extern const LangText TxtCopyAllToClipboard; // communication monitor popup menu; English in both languages
extern const LangText TxtDeleteAll;
extern const LangText TxtSelectAll;
extern const LangText TxtReceivedBytesNotShown; // monitor line behind the count of received bytes left out
extern const LangText TxtScreenDpi; // "dpi: " + pixels per inch + ", " + width + "x" + height
extern const LangText TxtFreqAbove70Hz; // shown instead of the frequency on a frequency flag
extern const LangText TxtFreqBelow40Hz;

// Captions of the port and TCP/IP groups, the transport and scan choices, the
// device-information rows of the secondary ID and the ratios, the demand status
// legend's opener and close mark, and the measurement groups and phase labels.
extern const LangText TxtSerialPort;
extern const LangText TxtTcpIpConnection;
extern const LangText TxtScanByAddress;
extern const LangText TxtScanByBaudRate;
extern const LangText TxtSecondaryId;
extern const LangText TxtVtRatio;
extern const LangText TxtCtRatio;
extern const LangText TxtDemandStatusLegendOpen; // opens the legend of the demand status bits
extern const LangText TxtPowerTotal; // totals row: " P Total " and the like
extern const LangText TxtReactivePowerTotal;
extern const LangText TxtApparentPowerTotal;
extern const LangText TxtPowerFactorTotal;
extern const LangText TxtMbus; // this and the following read the same in both languages
extern const LangText TxtModbusRtu;
extern const LangText TxtModbusTcpIp;
extern const LangText TxtCloseMark;
extern const LangText TxtGroupU1; // measurement groups: the quantity's symbol framed by blanks
extern const LangText TxtGroupU2;
extern const LangText TxtGroupU3;
extern const LangText TxtGroupU12;
extern const LangText TxtGroupU23;
extern const LangText TxtGroupU13;
extern const LangText TxtGroupThdU1;
extern const LangText TxtGroupThdU2;
extern const LangText TxtGroupThdU3;
extern const LangText TxtGroupI1;
extern const LangText TxtGroupI2;
extern const LangText TxtGroupI3;
extern const LangText TxtGroupIN;
extern const LangText TxtGroupThdI1;
extern const LangText TxtGroupThdI2;
extern const LangText TxtGroupThdI3;
extern const LangText TxtGroupP1;
extern const LangText TxtGroupP2;
extern const LangText TxtGroupP3;
extern const LangText TxtGroupQ1;
extern const LangText TxtGroupQ2;
extern const LangText TxtGroupQ3;
extern const LangText TxtGroupS1;
extern const LangText TxtGroupS2;
extern const LangText TxtGroupS3;
extern const LangText TxtGroupPF1;
extern const LangText TxtGroupPF2;
extern const LangText TxtGroupPF3;
extern const LangText TxtWireL1; // wiring picture: the line and neutral conductors
extern const LangText TxtWireL2;
extern const LangText TxtWireL3;
extern const LangText TxtWireN;
extern const LangText TxtPhaseL1; // rows of the voltage and current status groups
extern const LangText TxtPhaseL2;
extern const LangText TxtPhaseL3;

// -- Messages, button captions, status lines, progress window texts and setup command names
extern const LangText TxtDeviceConnected;
extern const LangText TxtCancel;
extern const LangText TxtError;
extern const LangText TxtDeviceNotAvailable;
extern const LangText TxtAddressRangeIs; // + "0-250" or "1-247"
extern const LangText TxtNoDeviceConnected;
extern const LangText TxtScanning;
extern const LangText TxtScanSuccessfullyFinished;
extern const LangText TxtNoAnswerFromDevice;
extern const LangText TxtDeviceNotAvailableTcp; // the failed TCP connect; German differs from TxtDeviceNotAvailable
extern const LangText TxtDataReading;
extern const LangText TxtNoValue;
extern const LangText TxtInvalidIpAddressOrPort;
extern const LangText TxtAddressRange1247;
extern const LangText TxtAddressRange0250;
extern const LangText TxtDemandPeriod1255Minutes;
extern const LangText TxtVtValueInRange11000;
extern const LangText TxtValueVtXCtMax100000;
extern const LangText TxtValueVtXCtMax1000000;
extern const LangText TxtCtValueInRange110000;
extern const LangText TxtOperationFinished;
extern const LangText TxtReconnectionRequired;
extern const LangText TxtOperationFinished2;
extern const LangText TxtTariffNotChanged;
extern const LangText TxtDeviceLocked;
extern const LangText TxtNewSettingAccepted;
extern const LangText TxtNewTariffActivatedLine1;
extern const LangText TxtNewTariffActivatedLine2;
extern const LangText TxtOk;
extern const LangText TxtPortValueInRange165535;
extern const LangText TxtWait;
extern const LangText TxtSendingToDevice;
extern const LangText TxtAlreadyExistReplace; // file name + this; "\n" breaks the line
extern const LangText TxtSaveAs;
extern const LangText TxtEventsLoggerTitleBrand1;
extern const LangText TxtEventsTitleBrand1;
extern const LangText TxtEventsLoggerTitleBrand2;
extern const LangText TxtStartMeasuring;
extern const LangText TxtStopMeasuring;
extern const LangText TxtStatusMeasuringStopped;
extern const LangText TxtStatusReadingData;
extern const LangText TxtStatusMeasuringInProgress;
extern const LangText TxtStartMonitoring;
extern const LangText TxtStopMonitoring;
extern const LangText TxtStatusMonitoringStopped;
extern const LangText TxtStatusMonitoringReadingData;
extern const LangText TxtStatusMonitoringInProgress;
extern const LangText TxtStatusReadyToReadData;
extern const LangText TxtConnectDevice;
extern const LangText TxtDisconnect;
extern const LangText TxtStatusDeviceConnected;
extern const LangText TxtUpdateInterval;
extern const LangText TxtPsFieldConfigurationCmd;
extern const LangText TxtPsFieldGroup;
extern const LangText TxtEnableWebserver;
extern const LangText TxtConnecting;
extern const LangText TxtDemandItemNo;
extern const LangText TxtEventItemNo;
extern const LangText TxtEventItemNo2; // the certified logger's counter label
extern const LangText TxtAddressNo;
extern const LangText TxtInformation;
extern const LangText TxtNumberOfDemandItems;
extern const LangText TxtNumberOfEventsItems;
extern const LangText TxtNumberOfItems;
extern const LangText TxtPleaseWaitIndented;
extern const LangText TxtDataSavingWait;
extern const LangText TxtTerminate;
extern const LangText TxtUnknownException;
extern const LangText TxtWarning;
extern const LangText TxtRefreshTimerNotWaited; // English in both languages
extern const LangText TxtSetDeviceAddress;
extern const LangText TxtSetDevicePrimaryAddress;
extern const LangText TxtSetDeviceSecondaryAddress;
extern const LangText TxtSetDeviceBaudrate;
extern const LangText TxtSetDemandPeriodMinute;
extern const LangText TxtSetVoltageTransformerVtRatio;
extern const LangText TxtSetCurrentTransformerCtRatio;
extern const LangText TxtSetDateTime;
extern const LangText TxtSetTariff;
extern const LangText TxtSetWebserver;
extern const LangText TxtTariffHardware; // tariff choice 0
extern const LangText TxtTariffWait; // tariff label while a tariff write waits
extern const LangText TxtDeviceRefusedValue; // a setting write answered with an exception
extern const LangText TxtDateTimeInvalid; // the clock command's date or time names no real moment
extern const LangText TxtSettingsNotSaved; // + the settings file path; the file or its folder is not writable

// -- Grid headers, CSV titles and column lines, value texts of the decoders
extern const LangText TxtDateAndTime;
extern const LangText TxtDeviceType;
extern const LangText TxtSerialNumber;
extern const LangText TxtFeatures;
extern const LangText TxtFileNotSaved;
extern const LangText TxtCsvFileFilter; // file dialog filter
extern const LangText TxtDemandLoggerTitleBrand1;
extern const LangText TxtDemandLoggerTitleBrand2;
extern const LangText TxtCertifiedLoggerTitleBrand1;
extern const LangText TxtCertifiedLoggerTitleBrand2;
extern const LangText TxtCsvDemandRecordNo; // demand, large demand logger (record numbers)
extern const LangText TxtCsvDemandPeriodUnits; // demand by period, with reactive energies
extern const LangText TxtCsvDemandPeriod; // demand by period, active energies only
extern const LangText TxtCsvCertified;
extern const LangText TxtCsvEvents;
extern const LangText TxtHdrIndex;
extern const LangText TxtHdrTariff; // counter grids, column 0
extern const LangText TxtHdrDate;
extern const LangText TxtHdrTime;
extern const LangText TxtHdrTariff2; // demand grid, column 4
extern const LangText TxtHdrPeriod;
extern const LangText TxtHdrEventHex;
extern const LangText TxtHdrChecksumHex;
extern const LangText TxtHdrRecordNo;
extern const LangText TxtHdrEntryId;
extern const LangText TxtHdrOldTime;
extern const LangText TxtHdrNewTime;
extern const LangText TxtHdrEPout; // this and the following up to TxtHdrTotal read the same in both languages
extern const LangText TxtHdrEPin;
extern const LangText TxtHdrEQout;
extern const LangText TxtHdrEQin;
extern const LangText TxtHdrPavgP;
extern const LangText TxtHdrStatus12;
extern const LangText TxtHdrParameterHex;
extern const LangText TxtHdrTotal;
extern const LangText TxtGridMinuteSuffix; // demand grid: " " + period + this
extern const LangText TxtUnitMinute; // demand period: " " + minutes + this
extern const LangText TxtAddressPrimary;
extern const LangText TxtAddressSecondary;
extern const LangText TxtEPoutNoData;
extern const LangText TxtEPinNoData;

// -- PS-Field Configuration window: the 83 field captions ("n. name") and the
//    window's own texts, which are English in both languages
extern const LangText TxtPs01ErrorStatusFlags;
extern const LangText TxtPs02VoltagePhaseN;
extern const LangText TxtPs03Voltage;
extern const LangText TxtPs04THDVoltages;
extern const LangText TxtPs05Currents;
extern const LangText TxtPs06THDCurrents;
extern const LangText TxtPs07Frequency;
extern const LangText TxtPs08PrimaryInstantaneousPower;
extern const LangText TxtPs09PrimaryReactivePower;
extern const LangText TxtPs10PerformanceFactors;
extern const LangText TxtPs11SecondaryInstantaneousPower;
extern const LangText TxtPs12DemandPeriod;
extern const LangText TxtPs13DateTime;
extern const LangText TxtPs14TotalActiveEnergy;
extern const LangText TxtPs15TotalReactiveEnergy;
extern const LangText TxtPs16DisplaysActiveTariff;
extern const LangText TxtPs17ActiveEnergyActiveTariff;
extern const LangText TxtPs18ReactiveEnergyActiveTariff;
extern const LangText TxtPs19ActiveEnergyTariff1;
extern const LangText TxtPs20ReactiveEnergyTariff1;
extern const LangText TxtPs21ActiveEnergyTariff2;
extern const LangText TxtPs22ReactiveEnergyTariff2;
extern const LangText TxtPs23ActiveEnergyTariff3;
extern const LangText TxtPs24ReactiveEnergyTariff3;
extern const LangText TxtPs25ActiveEnergyTariff4;
extern const LangText TxtPs26ReactiveEnergyTariff4;
extern const LangText TxtPs27ActiveEnergyTariff5;
extern const LangText TxtPs28ReactiveEnergyTariff5;
extern const LangText TxtPs29ActiveEnergyTariff6;
extern const LangText TxtPs30ReactiveEnergyTariff6;
extern const LangText TxtPs31ActiveEnergyTariff7;
extern const LangText TxtPs32ReactiveEnergyTariff7;
extern const LangText TxtPs33ActiveEnergyTariff8;
extern const LangText TxtPs34ReactiveEnergyTariff8;
extern const LangText TxtPs35CTValue;
extern const LangText TxtPs36VTValue;
extern const LangText TxtPs37ResetableActiveEnergyTariff1;
extern const LangText TxtPs38ResetableReactiveEnergyTariff1;
extern const LangText TxtPs39ResetableActiveEnergyTariff2;
extern const LangText TxtPs40ResetableReactiveEnergyTariff2;
extern const LangText TxtPs41ResetableActiveEnergyTariff3;
extern const LangText TxtPs42ResetableReactiveEnergyTariff3;
extern const LangText TxtPs43ResetableActiveEnergyTariff4;
extern const LangText TxtPs44ResetableReactiveEnergyTariff4;
extern const LangText TxtPs45ResetableActiveEnergyTariff5;
extern const LangText TxtPs46ResetableReactiveEnergyTariff5;
extern const LangText TxtPs47ResetableActiveEnergyTariff6;
extern const LangText TxtPs48ResetableReactiveEnergyTariff6;
extern const LangText TxtPs49ResetableActiveEnergyTariff7;
extern const LangText TxtPs50ResetableReactiveEnergyTariff7;
extern const LangText TxtPs51ResetableActiveEnergyTariff8;
extern const LangText TxtPs52ResetableReactiveEnergyTariff8;
extern const LangText TxtPs53FreezableActiveEnergyTariff1;
extern const LangText TxtPs54FreezableReactiveEnergyTariff1;
extern const LangText TxtPs55FreezableActiveEnergyTariff2;
extern const LangText TxtPs56FreezableReactiveEnergyTariff2;
extern const LangText TxtPs57FreezableActiveEnergyTariff3;
extern const LangText TxtPs58FreezableReactiveEnergyTariff3;
extern const LangText TxtPs59FreezableActiveEnergyTariff4;
extern const LangText TxtPs60FreezableReactiveEnergyTariff4;
extern const LangText TxtPs61FreezableActiveEnergyTariff5;
extern const LangText TxtPs62FreezableReactiveEnergyTariff5;
extern const LangText TxtPs63FreezableActiveEnergyTariff6;
extern const LangText TxtPs64FreezableReactiveEnergyTariff6;
extern const LangText TxtPs65FreezableActiveEnergyTariff7;
extern const LangText TxtPs66FreezableReactiveEnergyTariff7;
extern const LangText TxtPs67FreezableActiveEnergyTariff8;
extern const LangText TxtPs68FreezableReactiveEnergyTariff8;
extern const LangText TxtPs69Features;
extern const LangText TxtPs70PresettedTimeFreezeFreezableCounters;
extern const LangText TxtPs71PresettedTimeResetResetableCounters;
extern const LangText TxtPs72ActualTimeFreezeFreezableCounters;
extern const LangText TxtPs73ActualTimeResetResetableCounters;
extern const LangText TxtPs74TotalOperatingHours;
extern const LangText TxtPs75OperatingHoursSinceLastReset;
extern const LangText TxtPs76Version;
extern const LangText TxtPs77RequestedTariff;
extern const LangText TxtPs78PrimaryInstanteneousPowerP1;
extern const LangText TxtPs79PrimaryInstanteneousPowerP2;
extern const LangText TxtPs80PrimaryInstanteneousPowerP3;
extern const LangText TxtPs81PrimaryReactivePowerQ1;
extern const LangText TxtPs82PrimaryReactivePowerQ2;
extern const LangText TxtPs83PrimaryReactivePowerQ3;
extern const LangText TxtPsButtonSendToDevice;
extern const LangText TxtPsButtonOpen;
extern const LangText TxtPsButtonSave;
extern const LangText TxtPsButtonSaveAs;
extern const LangText TxtPsButtonCancel;
extern const LangText TxtPsFileFilter; // Qt filter form
extern const LangText TxtPsRequestedFile; // this + file name + TxtPsCannotBeOpened
extern const LangText TxtPsCannotBeOpened;
extern const LangText TxtPsCannotBeSaved; // TxtPsRequestedFile + file name + this
extern const LangText TxtPsSaveQuestion;
extern const LangText TxtPsAlreadyExistReplace;
extern const LangText TxtPsCaptionOpen;
extern const LangText TxtPsCaptionSaveAs;
extern const LangText TxtPsCaptionInformation;

// -- Long texts of the help panes, one per language; lines end in "\r"
extern const char* const TxtAboutBrand1En;
extern const char* const TxtAboutBrand1De;
extern const char* const TxtAboutBrand2En;
extern const char* const TxtAboutBrand2De;
extern const char* const TxtHelpContentsEn;
extern const char* const TxtHelpContentsDe;
extern const char* const TxtDiagnosticEventCodesEn;
extern const char* const TxtDiagnosticEventCodesDe;
extern const char* const TxtEventCodesEn;
extern const char* const TxtEventCodesDe;
extern const char* const TxtDemandStatusLegendEn;
extern const char* const TxtDemandStatusLegendDe;
extern const char* const TxtDemandStatusLegend2En;
extern const char* const TxtDemandStatusLegend2De;

// The 83 PS-field captions in field order: TxtPsFields[n - 1] is field n.
extern const std::array<const LangText*, 83> TxtPsFields;

// Every entry by name, for checks that must reach all of them.
struct LangTextEntry {
    const char* name;
    const LangText* text;
};
struct SingleTextEntry {
    const char* name;
    const char* const* text;
};
struct BrandTextEntry {
    const char* name;
    const BrandText* text;
};
std::span<const LangTextEntry> AllLangTexts();
std::span<const SingleTextEntry> AllSingleTexts();
std::span<const BrandTextEntry> AllBrandTexts();
