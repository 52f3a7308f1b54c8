// The bytes of the logger CSV files: data lines per layout and language, the
// end of the data at an empty record, the header block in Latin-1, and the
// file names the read command and the writers use.
#include <gtest/gtest.h>

#include "core/LoggerCsv.h"

namespace {

CDemandLogger PeriodRecord()
{
    CDemandLogger r;
    r.Date = " 2024-05-07";
    r.Time = "13:30:00";
    r.Period = "15";
    r.Tariff = " 1";
    r.EpOut = " 12.345 ";
    r.EpIn = " 0.120 ";
    r.EpUnit = " kWh";
    r.EqOut = " 3.500 ";
    r.EqIn = " 0.000 ";
    r.EqUnit = " kVArh";
    r.Status = " 0040, 0001";
    return r;
}

CDemandLogger LargeLoggerRecord()
{
    CDemandLogger r;
    r.Date = " 2026-12-07";
    r.Time = " 10:15";
    r.Tariff = " 2";
    r.EpOut = " 1234.5 ";
    r.EpIn = " 98765.4 ";
    r.EpUnit = " MWh";
    r.Status = " 8000, 0011";
    r.RecordNo = "123456";
    return r;
}

CDemandLogger EmptyLargeLoggerRecord()
{
    CDemandLogger r;
    r.Date = r.Time = r.Tariff = r.EpIn = r.EpOut = r.EqIn = r.EqOut = r.RecordNo = " ----";
    r.Status = " ----, ----";
    return r;
}

// Every layout in both languages: each number takes the language's separator.
TEST(LoggerCsv, DemandLinesByLayoutAndLanguage)
{
    constexpr int en = 0, de = 1;
    struct Case {
        CDemandLogger record;
        DemandCsvLayout layout;
        int language;
        const char* line;  // nullptr: the record ends the data
    } cases[] = {
        {PeriodRecord(), DemandCsvLayout::ActiveOnly, de, "2024-05-07;13:30:00;15;1;12,345;0,120;kWh;0x0040;0x0001;\r\n"},
        {PeriodRecord(), DemandCsvLayout::ActiveOnly, en, "2024-05-07;13:30:00;15;1;12.345;0.120;kWh;0x0040;0x0001;\r\n"},
        {PeriodRecord(), DemandCsvLayout::WithReactive, de,
         "2024-05-07;13:30:00;15;1;12,345;0,120;kWh;3,500;0,000;kVArh;0x0040;0x0001;\r\n"},
        {PeriodRecord(), DemandCsvLayout::WithReactive, en,
         "2024-05-07;13:30:00;15;1;12.345;0.120;kWh;3.500;0.000;kVArh;0x0040;0x0001;\r\n"},
        {LargeLoggerRecord(), DemandCsvLayout::RecordNumbers, de,
         "2026-12-07;10:15;123456;2;1234,5;98765,4;MWh;0x8000;0x0011;\r\n"},
        {LargeLoggerRecord(), DemandCsvLayout::RecordNumbers, en,
         "2026-12-07;10:15;123456;2;1234.5;98765.4;MWh;0x8000;0x0011;\r\n"},
        {EmptyLargeLoggerRecord(), DemandCsvLayout::RecordNumbers, en,
         "----;----;----;----;----;----;----;----;----;\r\n"},
        // Empty texts: the parsers leave them for a record the meter does not hold.
        {CDemandLogger{}, DemandCsvLayout::ActiveOnly, en, nullptr},
        {CDemandLogger{}, DemandCsvLayout::WithReactive, de, nullptr},
        {CDemandLogger{}, DemandCsvLayout::RecordNumbers, en, nullptr},
    };
    for (const Case& c : cases) {
        std::string out = "before\r\n";
        const bool appended = AppendDemandCsvLine(out, c.record, c.layout, CsvDecimalSeparator(c.language));
        EXPECT_EQ(appended, c.line != nullptr) << c.record.Date;
        EXPECT_EQ(out, std::string("before\r\n") + (c.line ? c.line : "")) << c.record.Date;
    }
}

TEST(LoggerCsv, CertifiedAndEventsLines)
{
    CCertifiedLogger entry{"17", " 2025-03-01  10:00:00", " 2025-03-01  10:05:30", "05", " 3C"};
    CCertifiedLogger noEntry{" ----", " ----", " ----", " ----", " 3C"};
    std::string out;
    EXPECT_TRUE(AppendCertifiedCsvLine(out, entry));
    EXPECT_TRUE(AppendCertifiedCsvLine(out, noEntry));
    EXPECT_FALSE(AppendCertifiedCsvLine(out, CCertifiedLogger{}));
    EXPECT_EQ(out,
              "17; 2025-03-01  10:00:00; 2025-03-01  10:05:30;0x05;0x3C;\r\n"
              "----; ----; ----;----;0x3C;\r\n");

    EventRecord event{" 2024-05-07", "13:30:05", " 1A", " 01  02  03  04  05  06  07"};
    out.clear();
    AppendEventsCsvLine(out, event);
    // Events lines are written whatever they hold.
    AppendEventsCsvLine(out, EventRecord{});
    EXPECT_EQ(out, "2024-05-07;13:30:05;0x1A;01,02,03,04,05,06,07;\r\n;;0x;;\r\n");
}

TEST(LoggerCsv, HeaderBlockIsLatin1WithTheColumnsOfTheLayout)
{
    const CsvDeviceInfo device{"2026-12-07 10:15", "Zähler 3~", "12345678", "Option 1"};
    const std::string german = CsvHeaderBlock(CsvLogger::Demand, DemandCsvLayout::WithReactive, 1, 1, 1, device);
    EXPECT_EQ(german,
              "TORVA ORBICOUNT TOOL - Z\xE4hlerstandsgang\r\n"
              "Datum und Uhrzeit: 2026-12-07 10:15\r\n"
              "Ger\xE4tetyp: Z\xE4hler 3~\r\n"
              "Seriennummer: 12345678\r\n"
              "Merkmale: Option 1\r\n"
              "--------------------------------\r\n"
              "Datum;Uhrzeit;Periode[min];Tarif;E(P)out;E(P)in;Einheit;E(Q)out;E(Q)in;Einheit;Status1;Status2\r\n");

    struct Case {
        CsvLogger logger;
        DemandCsvLayout layout;
        int brand, variant;
        const char* title;
        const char* columns;
    } cases[] = {
        {CsvLogger::Demand, DemandCsvLayout::RecordNumbers, 2, 2, "NOLD QSL Setup Tool - Demand Logger",
         "Date;Time;Record_No.;Tariff;E(P)out;E(P)in;Unit;Status1;Status2"},
        {CsvLogger::Demand, DemandCsvLayout::ActiveOnly, 1, 0, "TORVA ORBICOUNT TOOL - Demand Logger",
         "Date;Time;Period[min];Tariff;E(P)out;E(P)in;Unit;Status1;Status2"},
        {CsvLogger::Events, DemandCsvLayout::ActiveOnly, 1, 2, "TORVA ORBICOUNT TOOL - Events",
         "Date;Time;Event[hex];Parameter[hex]"},
        {CsvLogger::Events, DemandCsvLayout::ActiveOnly, 1, 1, "TORVA ORBICOUNT TOOL - Events Logger",
         "Date;Time;Event[hex];Parameter[hex]"},
        {CsvLogger::Certified, DemandCsvLayout::ActiveOnly, 1, 2, "TORVA ORBICOUNT TOOL - Certified Logger",
         "Entry ID;Old Time;New Time;Event[hex];Checksum[hex]"},
    };
    for (const Case& c : cases) {
        const std::string block = CsvHeaderBlock(c.logger, c.layout, c.brand, 0, c.variant, device);
        EXPECT_EQ(block.substr(0, block.find("\r\n")), c.title);
        const size_t last = block.rfind("\r\n", block.size() - 3) + 2;
        EXPECT_EQ(block.substr(last), std::string(c.columns) + "\r\n");
    }
}

TEST(LoggerCsv, FileNames)
{
    struct Case {
        const char* chosen;
        const char* command;  // what the read command keeps
        const char* written;  // what a writer opens for that text
    } cases[] = {
        {"log.csv", "log.csv", "log.csv"},
        {"log", "log", "log.csv"},
        {"log.2024.csv", "log.2024", "log.2024.csv"},
        {"a.b.csv", "a.b", "a.b.csv"},
        {"LOG.CSV ", "LOG.CSV ", "LOG.CSV "},
        {"x.y", "x.y", "x.y.csv"},
        {"", "", ".csv"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CommandCsvFileName(c.chosen), c.command) << c.chosen;
        EXPECT_EQ(CsvFileNameWithExtension(c.chosen), c.written) << c.chosen;
    }
    EXPECT_EQ(CsvFileNameWithExtension(CommandCsvFileName("log.2024.csv")), "log.2024.csv");
}

TEST(LoggerCsv, Latin1OfUtf8)
{
    EXPECT_EQ(Utf8ToLatin1("Prüfsumme"), "Pr\xFC" "fsumme");
    EXPECT_EQ(Utf8ToLatin1("\xC3\x9F"), "\xDF");
    // No Latin-1 letter, a cut sequence, a stray continuation byte.
    EXPECT_EQ(Utf8ToLatin1("a\xE2\x82\xAC" "b"), "a?b");
    EXPECT_EQ(Utf8ToLatin1("a\xC3"), "a?");
    EXPECT_EQ(Utf8ToLatin1("\x80z"), "?z");
}

} // namespace
