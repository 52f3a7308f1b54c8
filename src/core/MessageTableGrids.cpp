// Grid column headers, logger CSV titles and header lines, and the value texts
// and units that the decoders put into the value store. Every grid header
// begins with one blank, which keeps the text off the cell's edge.
#include "core/MessageTable.h"

// CSV header block labels; the device information labels of the window use them too.
const LangText TxtDateAndTime{"Date and Time:", "Datum und Uhrzeit:"};
const LangText TxtDeviceType{"Device Type:", "Gerätetyp:"};
const LangText TxtSerialNumber{"Serial Number:", "Seriennummer:"};
const LangText TxtFeatures{"Features:", "Merkmale:"};
const LangText TxtFileNotSaved{"File was not saved.", "Datei wurde nicht gespeichert."};
const LangText TxtCsvFileFilter{"CSV Files (*.csv)", "CSV-Dateien (*.csv)"};

// First line of each CSV file, by brand.
const LangText TxtDemandLoggerTitleBrand1{"TORVA ORBICOUNT TOOL - Demand Logger",
                                          "TORVA ORBICOUNT TOOL - Zählerstandsgang"};
const LangText TxtDemandLoggerTitleBrand2{"NOLD QSL Setup Tool - Demand Logger", "NOLD QSL Setup Tool - Zählerstandsgang"};
const LangText TxtCertifiedLoggerTitleBrand1{"TORVA ORBICOUNT TOOL - Certified Logger",
                                             "TORVA ORBICOUNT TOOL - Eichtechnisches Logbuch"};
const LangText TxtCertifiedLoggerTitleBrand2{"NOLD QSL Setup Tool - Certified Logger",
                                             "NOLD QSL Setup Tool - Eichtechnisches Logbuch"};

// CSV column lines.
const LangText TxtCsvDemandRecordNo{"Date;Time;Record_No.;Tariff;E(P)out;E(P)in;Unit;Status1;Status2",
                                    "Datum;Uhrzeit;Rekord_Nr.;Tarif;E(P)out;E(P)in;Einheit;Status1;Status2"};
const LangText TxtCsvDemandPeriodUnits{
    "Date;Time;Period[min];Tariff;E(P)out;E(P)in;Unit;E(Q)out;E(Q)in;Unit;Status1;Status2",
    "Datum;Uhrzeit;Periode[min];Tarif;E(P)out;E(P)in;Einheit;E(Q)out;E(Q)in;Einheit;Status1;Status2"};
const LangText TxtCsvDemandPeriod{"Date;Time;Period[min];Tariff;E(P)out;E(P)in;Unit;Status1;Status2",
                                  "Datum;Uhrzeit;Periode[min];Tarif;E(P)out;E(P)in;Einheit;Status1;Status2"};
const LangText TxtCsvCertified{"Entry ID;Old Time;New Time;Event[hex];Checksum[hex]",
                               "Eintrag ID;Alte Zeit;Neue Zeit;Ereignis[hex];Prüfsumme[hex]"};
const LangText TxtCsvEvents{"Date;Time;Event[hex];Parameter[hex]", "Datum;Uhrzeit;Ereignis[hex];Parameter[hex]"};

// Grid headers that change with the language.
const LangText TxtHdrIndex{" Index", " Index"};
const LangText TxtHdrTariff{" Tariff", " Tarif"};
const LangText TxtHdrDate{" Date", " Datum"};
const LangText TxtHdrTime{" Time", " Uhrzeit"};
const LangText TxtHdrTariff2{" Tariff", " Tarif"};
const LangText TxtHdrPeriod{" Period", " Periode"};
const LangText TxtHdrEventHex{" Event[hex]", " Ereignis[hex]"};
const LangText TxtHdrChecksumHex{" Checksum[hex]", " Prüfsumme[hex]"};
const LangText TxtHdrRecordNo{" Record No.", " Eintrag Nr."};
const LangText TxtHdrEntryId{" Entry ID", " Eintrag ID"};
const LangText TxtHdrOldTime{" Old Time", " Alte Zeit"};
const LangText TxtHdrNewTime{" New Time", " Neue Zeit"};

// Grid headers and cells that read the same in both languages.
const LangText TxtHdrEPout{" E(P)out", " E(P)out"};
const LangText TxtHdrEPin{" E(P)in", " E(P)in"};
const LangText TxtHdrEQout{" E(Q)out", " E(Q)out"};
const LangText TxtHdrEQin{" E(Q)in", " E(Q)in"};
const LangText TxtHdrPavgP{" Pavg(P)", " Pavg(P)"};
const LangText TxtHdrStatus12{" Status 1, 2", " Status 1, 2"};
const LangText TxtHdrParameterHex{" Parameter[hex]", " Parameter[hex]"};
const LangText TxtHdrTotal{" Total", " Total"};
const LangText TxtGridMinuteSuffix{" min.", " min."};

// Value texts and units of the decoders.
const LangText TxtUnitMinute{" [Minute]", " [min]"};
const LangText TxtAddressPrimary{"Primary", "Primär"};
const LangText TxtAddressSecondary{"Secondary", "Sekundär"};
const LangText TxtEPoutNoData{"E(P)out: no data", "E(P)out: keine Daten"};
const LangText TxtEPinNoData{"E(P)in: no data", "E(P)in: keine Daten"};
