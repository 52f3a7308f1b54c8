#include "core/MessageTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Expected {
    const LangText* entry;
    const char* name;
    const char* en;
    const char* de;
};

#define ROW(n, en, de) Expected{&n, #n, en, de}

// Texts that callers compare with captions or that meters' users read in
// reports; a changed blank or letter breaks a comparison somewhere else.
const Expected kTellingMessages[] = {
    ROW(TxtDeviceConnected, "The device is connected.", "Gerät verbunden."),
    ROW(TxtDeviceNotAvailable, "The device is not available.", "Gerät nicht verfügbar."),
    ROW(TxtDeviceNotAvailableTcp, "The device is not available.", "Gerät oder nicht verfügbar."),
    ROW(TxtNoDeviceConnected, "No device is connected.", "Kein Gerät verbunden."),
    ROW(TxtNoAnswerFromDevice, "No answer from the device.", "Keine Antwort vom Gerät."),
    ROW(TxtScanSuccessfullyFinished, "The scan is successfully finished.", "Scan erfolgreich beendet."),
    ROW(TxtOperationFinished, "The operation is successfully finished.", "Die Operation wurde erfolgreich beendet."),
    ROW(TxtReconnectionRequired, "The reconnection is required.", "Die erneute Verbindung ist erforderlich."),
    ROW(TxtDeviceLocked, "The device is locked.", "Das Gerät ist gesperrt."),
    ROW(TxtTariffNotChanged, "The tariff was not changed.", "Der Tarif wurde nicht geändert."),
    ROW(TxtNewSettingAccepted, "  The new setting has been accepted.", "  Die neue Einstellung wurde übernommen."),
    ROW(TxtNewTariffActivatedLine1, "  The new tariff will be activated with the",
        "   Der neue Tarif wird zu Beginn der nächsten"),
    ROW(TxtNewTariffActivatedLine2, "         beginning of the next demand logger period.",
        " Zählerstandsgangperiode aktiv."),
    ROW(TxtInvalidIpAddressOrPort, "Invalid IP Address or Port.", "Ungültiges IP-Adress oder Port."),
    ROW(TxtPortValueInRange165535, "Port value must be in range 1-65535 only.", "Port-Wertebereich: 1-65535"),
    ROW(TxtAddressRange1247, "Address range is 1-247 only.", "Adressbereich nur 1-247."),
    ROW(TxtAddressRange0250, "Address range is 0-250 only.", "Adressbereich nur 0-250."),
    ROW(TxtDemandPeriod1255Minutes, "Demand Period is 1-255 minutes only.", "Periode nur 1-255 Minuten."),
    ROW(TxtVtValueInRange11000, "VT value must be in range 1-1000 only.", "VT-Wertebereich: 1-1000"),
    ROW(TxtCtValueInRange110000, "CT value must be in range 1-10000 only", "CT-Wertebereich: 1-10000."),
    ROW(TxtValueVtXCtMax100000, "Value VT x CT must be max 100000", "VT x CT: max 100000"),
    ROW(TxtValueVtXCtMax1000000, "Value VT x CT must be max 1000000", "VT x CT: max 1000000"),
    ROW(TxtAlreadyExistReplace, " already exist.\nDo you want to replace them?",
        " bereits vorhanden. \nMöchten Sie sie ersetzen?"),
    ROW(TxtConnecting, "Connecting...", "Verbinden..."),
    ROW(TxtScanning, "Scanning...", "Scannen..."),
    ROW(TxtDataReading, "Data Reading...", "Daten lesen ..."),
    ROW(TxtSendingToDevice, "Sending To Device...", "Senden an Gerät..."),
    ROW(TxtStatusMeasuringInProgress, "Status: The measuring is in progress.", "Status: Messung läuft."),
    ROW(TxtStatusMeasuringStopped, "Status: The measuring is stopped.", "Status: Messung angehalten."),
    ROW(TxtStatusReadyToReadData, "Status: Ready to read data.", "Status: Bereit zum Lesen von Daten."),
    ROW(TxtStatusDeviceConnected, "Status: Device is connected.", "Status: Gerät verbunden."),
    ROW(TxtConnectDevice, "Connect Device", "Gerät verbinden"),
    ROW(TxtDisconnect, "Disconnect", "Verbindung trennen"),
    ROW(TxtNumberOfDemandItems, "The number of Demand items:", "Anzahl der Zeilen:"),
    ROW(TxtNumberOfItems, "The number of items:", "Anzahl der geladenen Zeilen:"),
    ROW(TxtNoValue, "- -", "- -"),
    ROW(TxtEventsLoggerTitleBrand1, "TORVA ORBICOUNT TOOL - Events Logger", "TORVA ORBICOUNT TOOL - Betriebslogbuch"),
    ROW(TxtSetDateTime, "Set Date[YYYY-MM-DD] Time[HH:MM:SS]", "Datum[YYYY-MM-DD] Zeit[HH:MM:SS] einstellen"),
};

// Texts that the pages, the progress window and the files compare or show.
const Expected kOtherQuotedTexts[] = {
    ROW(TxtError, "Error", "Fehler"),
    ROW(TxtCancel, "Cancel", "Abbrechen"),
    ROW(TxtOk, "Ok", "Ok"),
    ROW(TxtWait, "Wait...", "Warten..."),
    ROW(TxtInformation, "Information", "Information"),
    ROW(TxtAddressRangeIs, "Address range is ", "Adressbereich "),
    ROW(TxtAddressNo, "Address No.", "Adresse Nr."),
    ROW(TxtEventItemNo, "Event Item No.", "Ereignis Nr."),
    ROW(TxtDemandItemNo, "Demand Item No.", "Zählerstandsgang Nr."),
    ROW(TxtDataSavingWait, "Data are saving, please wait...", "Daten werden gespeichert, bitte warten..."),
    ROW(TxtPleaseWaitIndented, "     Please wait...", "     Bitte warten..."),
    ROW(TxtNumberOfEventsItems, "The number of Events items:", "Anzahl der Ereignis Zeilen:"),
    ROW(TxtStartMeasuring, "Start Measuring", "Messung starten"),
    ROW(TxtStopMeasuring, "Stop Measuring", "Messung stoppen"),
    ROW(TxtStatusReadingData, "Status: Reading data. Please wait...", "Status: Daten lesen. Bitte warten..."),
    ROW(TxtStartMonitoring, "Start Measuring", "Messung starten"),
    ROW(TxtStopMonitoring, "Stop Measuring", "Messung stoppen"),
    ROW(TxtStatusMonitoringStopped, "Status: The Measuring is stopped.", "Status: Messung angehalten."),
    ROW(TxtStatusMonitoringReadingData, "Status: Reading data. Please wait...", "Status: Daten lesen. Bitte warten..."),
    ROW(TxtUpdateInterval, "Update interval: ", "Aktualisierungsintervall: "),
    ROW(TxtStatusDisconnected, "Status: Disconnected.", "Status: Verbindung getrennt."),
    ROW(TxtAddress, "Address:", "Adresse:"),
    ROW(TxtIpAddress, "IP Address:", "IP-Adresse:"),
    ROW(TxtDevicesAddress, "Devices (Address):", "Geräte (Adresse):"),
    ROW(TxtWebserverEnabled, "Webserver: enabled", "Webserver: aktiviert"),
    ROW(TxtWebserverDisabled, "Webserver: disabled", "Webserver: deaktiviert"),
    ROW(TxtEventsLogger, "Events Logger", "Betriebslogbuch"),
    ROW(TxtEvents, "Events", "Betriebslogbuch"),
    ROW(TxtDeviceSetup, " Device Setup ", " Geräteeinstellung "),
    ROW(TxtConfiguration, "Configuration", "Konfiguration"),
    ROW(TxtSendToDevice, "Send To Device", "An Gerät senden"),
    ROW(TxtEnableWebserver, "Enable Webserver", "Webserver aktivieren"),
    ROW(TxtDisableWebserver, "Disable Webserver", "Webserver deaktivieren"),
    ROW(TxtPsFieldGroup, " PS-Field ", " PS-Feld "),
    ROW(TxtPsFieldConfiguration, "PS-Field Configuration", "PS-Feld-Einstellung"),
    ROW(TxtPsFieldConfigurationCmd, "PS-Field Configuration", "PS-Feld einstellen"),
    ROW(TxtShowCommunicationForExperts, "Show communication (for experts)", "Kommunikation anzeigen (für Experten)"),
    ROW(TxtSetDeviceAddress, "Set Device Address", "Geräteadresse einstellen"),
    ROW(TxtSetDevicePrimaryAddress, "Set Device Primary Address", "Geräte-Primäradresse einstellen"),
    ROW(TxtSetDeviceSecondaryAddress, "Set Device Secondary Address", "Geräte-Sekundäradresse einstellen"),
    ROW(TxtSetTariff, "Set Tariff", "Tarif einstellen"),
    ROW(TxtSetDeviceBaudrate, "Set Device Baudrate", "Geräte-Baudrate einstellen"),
    ROW(TxtSetDemandPeriodMinute, "Set Demand Period [Minute]", "Zählerstandsgang-Registrierperiode [min] einstellen"),
    ROW(TxtSetVoltageTransformerVtRatio, "Set Voltage Transformer (VT) Ratio",
        "Spannungswandler-Übersetzungsverhältnis (VT) einstellen"),
    ROW(TxtSetCurrentTransformerCtRatio, "Set Current Transformer (CT) Ratio",
        "Stromwandler-Übersetzungsverhältnis (CT) einstellen"),
    ROW(TxtSetWebserver, "Set Webserver", "Webserver einstellen"),
    ROW(TxtUnitMinute, " [Minute]", " [min]"),
    ROW(TxtAddressPrimary, "Primary", "Primär"),
    ROW(TxtAddressSecondary, "Secondary", "Sekundär"),
    ROW(TxtEPoutNoData, "E(P)out: no data", "E(P)out: keine Daten"),
    ROW(TxtEPinNoData, "E(P)in: no data", "E(P)in: keine Daten"),
    ROW(TxtDateAndTime, "Date and Time:", "Datum und Uhrzeit:"),
    ROW(TxtDeviceType, "Device Type:", "Gerätetyp:"),
    ROW(TxtSerialNumber, "Serial Number:", "Seriennummer:"),
    ROW(TxtFeatures, "Features:", "Merkmale:"),
    ROW(TxtFileNotSaved, "File was not saved.", "Datei wurde nicht gespeichert."),
    ROW(TxtDemandLoggerTitleBrand1, "TORVA ORBICOUNT TOOL - Demand Logger", "TORVA ORBICOUNT TOOL - Zählerstandsgang"),
    ROW(TxtDemandLoggerTitleBrand2, "NOLD QSL Setup Tool - Demand Logger", "NOLD QSL Setup Tool - Zählerstandsgang"),
    ROW(TxtCertifiedLoggerTitleBrand1, "TORVA ORBICOUNT TOOL - Certified Logger",
        "TORVA ORBICOUNT TOOL - Eichtechnisches Logbuch"),
    ROW(TxtCertifiedLoggerTitleBrand2, "NOLD QSL Setup Tool - Certified Logger",
        "NOLD QSL Setup Tool - Eichtechnisches Logbuch"),
    ROW(TxtEventsTitleBrand1, "TORVA ORBICOUNT TOOL - Events", "TORVA ORBICOUNT TOOL - Betriebslogbuch"),
    ROW(TxtEventsLoggerTitleBrand2, "NOLD QSL Setup Tool - Events Logger", "NOLD QSL Setup Tool - Betriebslogbuch"),
    ROW(TxtCsvDemandRecordNo, "Date;Time;Record_No.;Tariff;E(P)out;E(P)in;Unit;Status1;Status2",
        "Datum;Uhrzeit;Rekord_Nr.;Tarif;E(P)out;E(P)in;Einheit;Status1;Status2"),
    ROW(TxtCsvDemandPeriodUnits, "Date;Time;Period[min];Tariff;E(P)out;E(P)in;Unit;E(Q)out;E(Q)in;Unit;Status1;Status2",
        "Datum;Uhrzeit;Periode[min];Tarif;E(P)out;E(P)in;Einheit;E(Q)out;E(Q)in;Einheit;Status1;Status2"),
    ROW(TxtCsvDemandPeriod, "Date;Time;Period[min];Tariff;E(P)out;E(P)in;Unit;Status1;Status2",
        "Datum;Uhrzeit;Periode[min];Tarif;E(P)out;E(P)in;Einheit;Status1;Status2"),
    ROW(TxtCsvCertified, "Entry ID;Old Time;New Time;Event[hex];Checksum[hex]",
        "Eintrag ID;Alte Zeit;Neue Zeit;Ereignis[hex];Prüfsumme[hex]"),
    ROW(TxtCsvEvents, "Date;Time;Event[hex];Parameter[hex]", "Datum;Uhrzeit;Ereignis[hex];Parameter[hex]"),
    ROW(TxtHdrPeriod, " Period", " Periode"),
    ROW(TxtHdrRecordNo, " Record No.", " Eintrag Nr."),
    ROW(TxtHdrDate, " Date", " Datum"),
    ROW(TxtHdrTime, " Time", " Uhrzeit"),
    ROW(TxtHdrTariff, " Tariff", " Tarif"),
    ROW(TxtHdrIndex, " Index", " Index"),
};
#undef ROW

class QuotedText : public ::testing::TestWithParam<Expected> {};

TEST_P(QuotedText, EnglishAndGermanExact)
{
    const Expected& e = GetParam();
    EXPECT_STREQ((*e.entry)[0], e.en) << e.name;
    EXPECT_STREQ((*e.entry)[1], e.de) << e.name;
}

std::string RowName(const ::testing::TestParamInfo<Expected>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(TellingMessages, QuotedText, ::testing::ValuesIn(kTellingMessages), RowName);
INSTANTIATE_TEST_SUITE_P(PagesAndFiles, QuotedText, ::testing::ValuesIn(kOtherQuotedTexts), RowName);

// A well-formed UTF-8 sequence with no overlong forms, surrogates or stray
// continuation bytes; text from a Latin-1 editor fails here.
bool IsValidUtf8(const char* s)
{
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    while (*p) {
        unsigned c = *p++;
        int more = 0;
        unsigned min = 0;
        if (c < 0x80) continue;
        if ((c & 0xE0) == 0xC0) { more = 1; min = 0x80; c &= 0x1F; }
        else if ((c & 0xF0) == 0xE0) { more = 2; min = 0x800; c &= 0x0F; }
        else if ((c & 0xF8) == 0xF0) { more = 3; min = 0x10000; c &= 0x07; }
        else return false;
        for (int i = 0; i < more; ++i) {
            if ((*p & 0xC0) != 0x80) return false;
            c = (c << 6) | (*p++ & 0x3F);
        }
        if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    }
    return true;
}

TEST(Utf8, ValidatorRejectsBrokenSequences)
{
    EXPECT_TRUE(IsValidUtf8("Ger\xC3\xA4t"));
    EXPECT_FALSE(IsValidUtf8("Ger\xE4t"));        // Latin-1 ä
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));        // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xC3"));            // cut short
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));    // surrogate
}

TEST(MessageTable, EveryLanguageEntryHasNonEmptyEnglishAndGerman)
{
    ASSERT_GE(AllLangTexts().size(), 289u);
    for (const LangTextEntry& e : AllLangTexts()) {
        ASSERT_NE(e.text, nullptr) << e.name;
        for (int lang = 0; lang < 2; ++lang) {
            const char* t = (*e.text)[lang];
            ASSERT_NE(t, nullptr) << e.name << " language " << lang;
            EXPECT_GT(std::strlen(t), 0u) << e.name << " language " << lang;
            EXPECT_TRUE(IsValidUtf8(t)) << e.name << " language " << lang;
        }
    }
}

TEST(MessageTable, EverySingleTextIsNonEmptyUtf8WithCarriageReturnLines)
{
    ASSERT_EQ(AllSingleTexts().size(), 14u);
    for (const SingleTextEntry& e : AllSingleTexts()) {
        const char* t = *e.text;
        ASSERT_NE(t, nullptr) << e.name;
        EXPECT_GT(std::strlen(t), 0u) << e.name;
        EXPECT_TRUE(IsValidUtf8(t)) << e.name;
        EXPECT_EQ(std::strchr(t, '\n'), nullptr) << e.name << " mixes line separators";
    }
}

TEST(MessageTable, RegistryNamesAndEntriesAreUnique)
{
    std::set<std::string> names;
    std::set<const void*> entries;
    for (const LangTextEntry& e : AllLangTexts()) {
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
        EXPECT_TRUE(entries.insert(e.text).second) << e.name;
    }
    for (const SingleTextEntry& e : AllSingleTexts()) {
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
        EXPECT_TRUE(entries.insert(e.text).second) << e.name;
    }
    for (const BrandTextEntry& e : AllBrandTexts()) {
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
        EXPECT_TRUE(entries.insert(e.text).second) << e.name;
    }
}

// The registry is written by hand beside the declarations; an entry declared
// but left out of it would escape every check above.
TEST(MessageTable, RegistryHoldsEveryDeclaredEntry)
{
    const auto header = std::filesystem::path(__FILE__).parent_path() / "../../src/core/MessageTable.h";
    std::ifstream in(header);
    ASSERT_TRUE(in) << header;
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string src = ss.str();

    auto declared = [&](const std::string& type) {
        std::set<std::string> out;
        const std::regex re("extern const " + type + " (\\w+);");
        for (auto it = std::sregex_iterator(src.begin(), src.end(), re); it != std::sregex_iterator(); ++it)
            out.insert((*it)[1]);
        return out;
    };
    std::set<std::string> lang, single, brand;
    for (const auto& e : AllLangTexts()) lang.insert(e.name);
    for (const auto& e : AllSingleTexts()) single.insert(e.name);
    for (const auto& e : AllBrandTexts()) brand.insert(e.name);

    auto expectSame = [](const std::set<std::string>& inHeader, const std::set<std::string>& inRegistry) {
        ASSERT_FALSE(inHeader.empty());
        for (const auto& n : inHeader) EXPECT_TRUE(inRegistry.count(n)) << n << " is missing from the registry";
        for (const auto& n : inRegistry) EXPECT_TRUE(inHeader.count(n)) << n << " is not declared";
    };
    expectSame(declared("LangText"), lang);
    expectSame(declared("char\\* const"), single);
    expectSame(declared("BrandText"), brand);
}

TEST(MessageTable, GermanUmlautsAreEncodedAsUtf8)
{
    // ä, ü, ö, Ü and ß as two-byte sequences, compared byte by byte.
    EXPECT_STREQ(TxtDeviceNotAvailable[1], "Ger\xC3\xA4t nicht verf\xC3\xBC" "gbar.");
    EXPECT_STREQ(TxtAlreadyExistReplace[1], " bereits vorhanden. \nM\xC3\xB6" "chten Sie sie ersetzen?");
    EXPECT_STREQ(TxtSetVoltageTransformerVtRatio[1],
                 "Spannungswandler-\xC3\x9C" "bersetzungsverh\xC3\xA4ltnis (VT) einstellen");
    EXPECT_STREQ(TxtWindowSize[1], " Fenstergr\xC3\xB6\xC3\x9F" "e ");
}

TEST(MessageTable, BrandArraysKeepIndexZeroEmpty)
{
    for (const BrandTextEntry& e : AllBrandTexts()) {
        ASSERT_NE((*e.text)[0], nullptr) << e.name;
        EXPECT_STREQ((*e.text)[0], "") << e.name;
        for (int brand = 1; brand <= 2; ++brand) {
            ASSERT_NE((*e.text)[brand], nullptr) << e.name;
            EXPECT_GT(std::strlen((*e.text)[brand]), 0u) << e.name << " brand " << brand;
            EXPECT_TRUE(IsValidUtf8((*e.text)[brand])) << e.name;
        }
    }
}

TEST(MessageTable, BrandTextsPerBrand)
{
    struct Row {
        const BrandText* t;
        const char* b1;
        const char* b2;
    };
    const Row rows[] = {
        {&TxtToolTitle, "TORVA ORBICOUNT TOOL", "NOLD QSL Setup Tool"},
        {&TxtVersion, "Version 1.27", "Version 1.27"},
        {&TxtCaptionMbus, "TORVA ORBICOUNT TOOL - M-Bus", "NOLD QSL Setup Tool - M-Bus"},
        {&TxtCaptionModbusRtu, "TORVA ORBICOUNT TOOL - Modbus RTU", "NOLD QSL Setup Tool - Modbus RTU"},
        {&TxtCaptionModbusTcp, "TORVA ORBICOUNT TOOL - Modbus TCP/IP", "NOLD QSL Setup Tool - Modbus TCP/IP"},
    };
    for (const Row& r : rows) {
        EXPECT_STREQ((*r.t)[1], r.b1);
        EXPECT_STREQ((*r.t)[2], r.b2);
    }
    // Web addresses stay under the reserved example domain.
    for (int brand = 1; brand <= 2; ++brand) {
        const std::string web = TxtWebAddress[brand];
        ASSERT_GE(web.size(), 8u);
        EXPECT_EQ(web.substr(web.size() - 8), ".example") << web;
    }
}

TEST(MessageTable, DeviceTypeTables)
{
    const char* brand1[] = {"DX310", "DX315", "DX320", "DX410", "DX415", "DX420"};
    const char* brand2[] = {"-----", "-----", "QSL810", "-----", "-----", "QSL820"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_STREQ(TxtDeviceTypesBrand1[i], brand1[i]) << i;
        EXPECT_STREQ(TxtDeviceTypesBrand2[i], brand2[i]) << i;
    }
}

TEST(MessageTable, ColoursAsBgrValues)
{
    EXPECT_EQ(ClrButtonFace, 0x72B148u);
    EXPECT_EQ(ClrText, 0xFEFEFEu);
    EXPECT_EQ(ClrBackground, 0x332629u);
}

TEST(MessageTable, GridHeadersBeginWithExactlyOneBlank)
{
    int headers = 0;
    for (const LangTextEntry& e : AllLangTexts()) {
        if (std::strncmp(e.name, "TxtHdr", 6) != 0) continue;
        ++headers;
        for (int lang = 0; lang < 2; ++lang) {
            const char* t = (*e.text)[lang];
            EXPECT_EQ(t[0], ' ') << e.name;
            EXPECT_NE(t[1], ' ') << e.name;
        }
    }
    EXPECT_EQ(headers, 20);
}

// The window's check boxes and the file's bits are numbered by field, so the
// captions must stand in field order.
TEST(MessageTable, PsFieldCaptionsInFieldOrder)
{
    std::vector<const LangTextEntry*> named;
    for (const LangTextEntry& e : AllLangTexts())
        if (std::strncmp(e.name, "TxtPs", 5) == 0 && e.name[5] >= '0' && e.name[5] <= '9') named.push_back(&e);
    ASSERT_EQ(named.size(), 83u);
    ASSERT_EQ(TxtPsFields.size(), 83u);
    for (int n = 1; n <= 83; ++n) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "TxtPs%02d", n);
        const LangTextEntry& e = *named[n - 1];
        EXPECT_EQ(std::strncmp(e.name, prefix, 7), 0) << e.name << " stands at " << n;
        EXPECT_EQ(TxtPsFields[n - 1], e.text) << "TxtPsFields[" << n - 1 << "] is not " << e.name;
        const std::string number = std::to_string(n) + ". ";
        for (int lang = 0; lang < 2; ++lang) {
            const std::string caption = (*TxtPsFields[n - 1])[lang];
            EXPECT_EQ(caption.rfind(number, 0), 0u) << caption;
            EXPECT_GT(caption.size(), number.size()) << caption;
            // Only the German caption of field 38 ends with a blank.
            EXPECT_EQ(caption.back() == ' ', n == 38 && lang == 1) << caption;
        }
    }
    EXPECT_STREQ(TxtPs01ErrorStatusFlags[0], "1. Error - Status flags");
    EXPECT_STREQ(TxtPs01ErrorStatusFlags[1], "1. Fehler-Statusflags");
    EXPECT_STREQ(TxtPs08PrimaryInstantaneousPower[1], "8. Primäre Wirkleistung – Summe");
    EXPECT_STREQ(TxtPs38ResetableReactiveEnergyTariff1[0], "38. Resetable reactive energy of all pfases of tariff No.1");
    EXPECT_STREQ(TxtPs38ResetableReactiveEnergyTariff1[1], "38. Rückstellbare Blindenergie von Tarif 1 ");
    EXPECT_STREQ(TxtPs71PresettedTimeResetResetableCounters[0], "71. Presetted time of reset for resetable counters");
    EXPECT_STREQ(TxtPs83PrimaryReactivePowerQ3[0], "83. Primary reactive power Q3");
    EXPECT_STREQ(TxtPs83PrimaryReactivePowerQ3[1], "83. Primäre Blindleistung _Q3");
}

std::vector<std::string> Lines(const char* text)
{
    std::vector<std::string> out;
    std::string line;
    for (const char* p = text; *p; ++p) {
        if (*p == '\r') {
            out.push_back(line);
            line.clear();
        } else {
            line += *p;
        }
    }
    out.push_back(line);
    return out;
}

TEST(MessageTable, AboutTextsOpenWithTitleAndRule)
{
    struct Row {
        const char* text;
        int brand;
    };
    const Row rows[] = {{TxtAboutBrand1En, 1}, {TxtAboutBrand1De, 1}, {TxtAboutBrand2En, 2}, {TxtAboutBrand2De, 2}};
    for (const Row& r : rows) {
        const auto lines = Lines(r.text);
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[0], TxtToolTitle[r.brand]);
        EXPECT_EQ(lines[1], std::string(25, '_'));
        const std::string all = r.text;
        EXPECT_NE(all.find("M-Bus, ModBus RTU, ModBus TCP/IP."), std::string::npos);
        EXPECT_EQ(all.find("1920x1080") != std::string::npos, r.brand == 1);
        if (r.brand == 1) {
            for (const char* type : {"DX310", "DX320", "DX410", "DX415", "DX420"})
                EXPECT_NE(all.find(type), std::string::npos) << type;
        } else {
            EXPECT_NE(all.find("QSL 810/820"), std::string::npos);
        }
    }
}

TEST(MessageTable, HelpContentsHaveAllSectionsAndRecommendations)
{
    for (const char* help : {TxtHelpContentsEn, TxtHelpContentsDe}) {
        const auto lines = Lines(help);
        std::vector<std::string> sections;
        for (const auto& l : lines)
            if (!l.empty() && l[0] >= '1' && l[0] <= '3' && (l[1] == '.' || l[1] == ' ')) sections.push_back(l);
        const char* numbers[] = {"1. ", "2. ", "2.1 ", "2.2 ", "2.3 ", "2.4 ", "2.5 ", "3. "};
        ASSERT_EQ(sections.size(), 8u) << help;
        for (int i = 0; i < 8; ++i) EXPECT_EQ(sections[i].rfind(numbers[i], 0), 0u) << sections[i];
        const std::string all = help;
        EXPECT_NE(all.find("5 s "), std::string::npos);
        EXPECT_NE(all.find("15 s "), std::string::npos);
        for (const char* stamp : {"YYYY-MM-DD hh:mm:ss", "0000-MM-DD hh:mm:ss", "0000-00-DD hh:mm:ss",
                                  "0000-00-00 hh:mm:ss"})
            EXPECT_NE(all.find(stamp), std::string::npos) << stamp;
    }
}

// Each code line is "<code> - <meaning>", a wrapped meaning continues on an
// indented line; returns the codes in order.
std::vector<std::string> CodesOf(const char* text)
{
    std::vector<std::string> codes;
    for (const auto& l : Lines(text)) {
        const auto dash = l.find(" - ");
        if (dash == std::string::npos || l[0] == ' ') continue;
        codes.push_back(l.substr(0, dash));
    }
    return codes;
}

TEST(MessageTable, DiagnosticEventCodesListEveryCode)
{
    const std::vector<std::string> expected = {"00",    "01/81", "02/82", "03/83", "04/84", "05/85", "06/86",
                                               "07/87", "08/88", "09/89", "0A/8A", "0B/8B", "0C/8C", "0D/8D",
                                               "40",    "41",    "48",    "49",    "60",    "68"};
    EXPECT_EQ(CodesOf(TxtDiagnosticEventCodesEn), expected);
    EXPECT_EQ(CodesOf(TxtDiagnosticEventCodesDe), expected);
    EXPECT_EQ(Lines(TxtDiagnosticEventCodesEn)[0], "Diagnostic Event codes [hex]:");
    EXPECT_EQ(Lines(TxtDiagnosticEventCodesDe)[0], "Codes zur Ereignisdiagnose [hex]:");
    EXPECT_NE(std::string(TxtDiagnosticEventCodesDe).find("49 - Spannungverhältnis geändert"), std::string::npos);
}

TEST(MessageTable, CertifiedEventCodesListEveryCode)
{
    const std::vector<std::string> expected = {"01", "02", "03", "04", "05"};
    EXPECT_EQ(CodesOf(TxtEventCodesEn), expected);
    EXPECT_EQ(CodesOf(TxtEventCodesDe), expected);
    EXPECT_EQ(Lines(TxtEventCodesEn)[0], "Event codes [hex]:");
}

// Legend lines: " XXXX - text", continued lines indented by eleven blanks.
std::vector<std::string> LegendBits(const char* text, bool& wellFormed)
{
    std::vector<std::string> bits;
    wellFormed = true;
    for (const auto& l : Lines(text)) {
        if (l.empty() || l.find("[hex]:") != std::string::npos) continue;
        if (l.rfind(std::string(11, ' '), 0) == 0 && l[11] != ' ') continue;
        if (l.size() > 8 && l[0] == ' ' && l.substr(5, 3) == " - ") {
            bits.push_back(l.substr(1, 4));
            continue;
        }
        wellFormed = false;
    }
    return bits;
}

TEST(MessageTable, DemandStatusLegends)
{
    const std::vector<std::string> words = {"0001", "0002", "0004", "0008", "0010", "0020", "0040", "0080", "0100",
                                            "0200", "0400", "0800", "1000", "2000", "4000", "8000", "0001", "0002",
                                            "0004", "0008"};
    const std::vector<std::string> extra = {"0010", "0020", "0040", "0080", "8000"};
    for (const char* legend : {TxtDemandStatusLegendEn, TxtDemandStatusLegendDe}) {
        bool ok = false;
        EXPECT_EQ(LegendBits(legend, ok), words);
        EXPECT_TRUE(ok) << legend;
    }
    for (const char* legend : {TxtDemandStatusLegend2En, TxtDemandStatusLegend2De}) {
        bool ok = false;
        EXPECT_EQ(LegendBits(legend, ok), extra);
        EXPECT_TRUE(ok) << legend;
    }
    EXPECT_EQ(Lines(TxtDemandStatusLegendEn)[0], " Demand Logger Status 1 [hex]: ");
    EXPECT_EQ(Lines(TxtDemandStatusLegendDe)[0], " Zählerstandsgang Status 1 [hex]: ");
}

} // namespace
