// Messages, button captions and status lines of operations, the texts of the
// progress and message window, and the setup command names. Leading and
// trailing blanks are part of the texts: callers put text before or after them.
#include "core/MessageTable.h"

// Operations.
const LangText TxtDeviceConnected{"The device is connected.", "Gerät verbunden."};
const LangText TxtCancel{"Cancel", "Abbrechen"};
const LangText TxtError{"Error", "Fehler"};
const LangText TxtDeviceNotAvailable{"The device is not available.", "Gerät nicht verfügbar."};
const LangText TxtAddressRangeIs{"Address range is ", "Adressbereich "};
const LangText TxtNoDeviceConnected{"No device is connected.", "Kein Gerät verbunden."};
const LangText TxtScanning{"Scanning...", "Scannen..."};
const LangText TxtScanSuccessfullyFinished{"The scan is successfully finished.", "Scan erfolgreich beendet."};
const LangText TxtNoAnswerFromDevice{"No answer from the device.", "Keine Antwort vom Gerät."};
// The TCP connect keeps its own German wording.
const LangText TxtDeviceNotAvailableTcp{"The device is not available.", "Gerät oder nicht verfügbar."};
const LangText TxtDataReading{"Data Reading...", "Daten lesen ..."};
const LangText TxtNoValue{"- -", "- -"};
const LangText TxtInvalidIpAddressOrPort{"Invalid IP Address or Port.", "Ungültiges IP-Adress oder Port."};
const LangText TxtAddressRange1247{"Address range is 1-247 only.", "Adressbereich nur 1-247."};
const LangText TxtAddressRange0250{"Address range is 0-250 only.", "Adressbereich nur 0-250."};
const LangText TxtDemandPeriod1255Minutes{"Demand Period is 1-255 minutes only.", "Periode nur 1-255 Minuten."};
const LangText TxtVtValueInRange11000{"VT value must be in range 1-1000 only.", "VT-Wertebereich: 1-1000"};
const LangText TxtValueVtXCtMax100000{"Value VT x CT must be max 100000", "VT x CT: max 100000"};
const LangText TxtValueVtXCtMax1000000{"Value VT x CT must be max 1000000", "VT x CT: max 1000000"};
const LangText TxtCtValueInRange110000{"CT value must be in range 1-10000 only", "CT-Wertebereich: 1-10000."};
const LangText TxtOperationFinished{"The operation is successfully finished.",
                                    "Die Operation wurde erfolgreich beendet."};
const LangText TxtReconnectionRequired{"The reconnection is required.", "Die erneute Verbindung ist erforderlich."};
const LangText TxtOperationFinished2{"The operation is successfully finished.",
                                     "Die Operation wurde erfolgreich beendet."};
const LangText TxtTariffNotChanged{"The tariff was not changed.", "Der Tarif wurde nicht geändert."};
const LangText TxtDeviceLocked{"The device is locked.", "Das Gerät ist gesperrt."};
const LangText TxtNewSettingAccepted{"  The new setting has been accepted.", "  Die neue Einstellung wurde übernommen."};
const LangText TxtNewTariffActivatedLine1{"  The new tariff will be activated with the",
                                          "   Der neue Tarif wird zu Beginn der nächsten"};
const LangText TxtNewTariffActivatedLine2{"         beginning of the next demand logger period.",
                                          " Zählerstandsgangperiode aktiv."};
const LangText TxtOk{"Ok", "Ok"};
const LangText TxtPortValueInRange165535{"Port value must be in range 1-65535 only.", "Port-Wertebereich: 1-65535"};
const LangText TxtWait{"Wait...", "Warten..."};
const LangText TxtSendingToDevice{"Sending To Device...", "Senden an Gerät..."};
// The caller puts the file name in front.
const LangText TxtAlreadyExistReplace{" already exist.\nDo you want to replace them?",
                                      " bereits vorhanden. \nMöchten Sie sie ersetzen?"};
const LangText TxtSaveAs{"Save As", "Speichern unter"};
const LangText TxtEventsLoggerTitleBrand1{"TORVA ORBICOUNT TOOL - Events Logger",
                                          "TORVA ORBICOUNT TOOL - Betriebslogbuch"};
const LangText TxtEventsTitleBrand1{"TORVA ORBICOUNT TOOL - Events", "TORVA ORBICOUNT TOOL - Betriebslogbuch"};
const LangText TxtEventsLoggerTitleBrand2{"NOLD QSL Setup Tool - Events Logger",
                                          "NOLD QSL Setup Tool - Betriebslogbuch"};
const LangText TxtStartMeasuring{"Start Measuring", "Messung starten"};
const LangText TxtStopMeasuring{"Stop Measuring", "Messung stoppen"};
const LangText TxtStatusMeasuringStopped{"Status: The measuring is stopped.", "Status: Messung angehalten."};
const LangText TxtStatusReadingData{"Status: Reading data. Please wait...", "Status: Daten lesen. Bitte warten..."};
const LangText TxtStatusMeasuringInProgress{"Status: The measuring is in progress.", "Status: Messung läuft."};
const LangText TxtStartMonitoring{"Start Measuring", "Messung starten"};
const LangText TxtStopMonitoring{"Stop Measuring", "Messung stoppen"};
const LangText TxtStatusMonitoringStopped{"Status: The Measuring is stopped.", "Status: Messung angehalten."};
const LangText TxtStatusMonitoringReadingData{"Status: Reading data. Please wait...",
                                              "Status: Daten lesen. Bitte warten..."};
const LangText TxtStatusMonitoringInProgress{"Status: The measuring is in progress.", "Status: Messung läuft."};
const LangText TxtStatusReadyToReadData{"Status: Ready to read data.", "Status: Bereit zum Lesen von Daten."};
const LangText TxtConnectDevice{"Connect Device", "Gerät verbinden"};
const LangText TxtDisconnect{"Disconnect", "Verbindung trennen"};
const LangText TxtStatusDeviceConnected{"Status: Device is connected.", "Status: Gerät verbunden."};
const LangText TxtUpdateInterval{"Update interval: ", "Aktualisierungsintervall: "};
const LangText TxtPsFieldConfigurationCmd{"PS-Field Configuration", "PS-Feld einstellen"};
const LangText TxtPsFieldGroup{" PS-Field ", " PS-Feld "};
const LangText TxtEnableWebserver{"Enable Webserver", "Webserver aktivieren"};

// Progress and message window.
const LangText TxtConnecting{"Connecting...", "Verbinden..."};
const LangText TxtDemandItemNo{"Demand Item No.", "Zählerstandsgang Nr."};
const LangText TxtEventItemNo{"Event Item No.", "Ereignis Nr."};
// The certified logger counts its entries under the same label.
const LangText TxtEventItemNo2{"Event Item No.", "Ereignis Nr."};
const LangText TxtAddressNo{"Address No.", "Adresse Nr."};
const LangText TxtInformation{"Information", "Information"};
const LangText TxtNumberOfDemandItems{"The number of Demand items:", "Anzahl der Zeilen:"};
const LangText TxtNumberOfEventsItems{"The number of Events items:", "Anzahl der Ereignis Zeilen:"};
const LangText TxtNumberOfItems{"The number of items:", "Anzahl der geladenen Zeilen:"};
const LangText TxtPleaseWaitIndented{"     Please wait...", "     Bitte warten..."};
const LangText TxtDataSavingWait{"Data are saving, please wait...", "Daten werden gespeichert, bitte warten..."};
const LangText TxtTerminate{"Terminate", "Beenden"};
const LangText TxtUnknownException{"An unknown error occurred.", "Ein unbekannter Fehler ist aufgetreten."};
const LangText TxtWarning{"Warning", "Warnung"};
const LangText TxtRefreshTimerNotWaited{"Timer for refresh display did not wait for packet end of communication.",
                                        "Timer for refresh display did not wait for packet end of communication."};

// Setup command names; the executor compares the chosen item with them.
const LangText TxtSetDeviceAddress{"Set Device Address", "Geräteadresse einstellen"};
const LangText TxtSetDevicePrimaryAddress{"Set Device Primary Address", "Geräte-Primäradresse einstellen"};
const LangText TxtSetDeviceSecondaryAddress{"Set Device Secondary Address", "Geräte-Sekundäradresse einstellen"};
const LangText TxtSetDeviceBaudrate{"Set Device Baudrate", "Geräte-Baudrate einstellen"};
const LangText TxtSetDemandPeriodMinute{"Set Demand Period [Minute]",
                                        "Zählerstandsgang-Registrierperiode [min] einstellen"};
const LangText TxtSetVoltageTransformerVtRatio{"Set Voltage Transformer (VT) Ratio",
                                               "Spannungswandler-Übersetzungsverhältnis (VT) einstellen"};
const LangText TxtSetCurrentTransformerCtRatio{"Set Current Transformer (CT) Ratio",
                                               "Stromwandler-Übersetzungsverhältnis (CT) einstellen"};
const LangText TxtSetDateTime{"Set Date[YYYY-MM-DD] Time[HH:MM:SS]", "Datum[YYYY-MM-DD] Zeit[HH:MM:SS] einstellen"};
const LangText TxtSetTariff{"Set Tariff", "Tarif einstellen"};
const LangText TxtSetWebserver{"Set Webserver", "Webserver einstellen"};
const LangText TxtTariffHardware{" Hardware", " Hardware"};
const LangText TxtTariffWait{" wait...", " wait..."};
const LangText TxtDeviceRefusedValue{"The device did not accept the value.", "Das Gerät hat den Wert nicht übernommen."};
const LangText TxtDateTimeInvalid{"Date or time is not valid.", "Datum oder Zeit ungültig."};
// The caller puts the settings file's path after it.
const LangText TxtSettingsNotSaved{"The settings could not be saved:\n",
                                   "Die Einstellungen konnten nicht gespeichert werden:\n"};
