#pragma once
// The bytes of the logger CSV files: a header block of seven lines, then one
// data line per record, in Latin-1 with CR LF line ends. Numbers carry the
// decimal separator the caller passes in; writing them out is done elsewhere.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/LoggerStores.h"

enum class CsvLogger : uint8_t { Demand, Events, Certified };

enum class DemandCsvLayout : uint8_t {
    RecordNumbers,  // the large demand logger: record numbers, no reactive energies
    WithReactive,   // by demand period, active and reactive energies
    ActiveOnly,     // by demand period, active energies only
};
DemandCsvLayout DemandCsvLayoutFor(int deviceVariant, bool hasReactiveEnergy);

// '.' in English, ',' in German.
char CsvDecimalSeparator(int language);

// The device as the window shows it when the file is written (UTF-8 texts).
struct CsvDeviceInfo {
    std::string_view DateTime;
    std::string_view DeviceType;
    std::string_view SerialNumber;
    std::string_view Features;
};

// Title, four device lines, the dashes and the column line, each with CR LF.
// The layout matters only for the demand file.
std::string CsvHeaderBlock(CsvLogger logger, DemandCsvLayout layout, int brand, int language, int deviceVariant,
                           const CsvDeviceInfo& device);

// Append one record's data line with its CR LF. A demand or certified line of
// 20 characters or fewer comes from an empty record and ends the data: it is
// not appended, and false is returned. Events lines are always appended.
bool AppendDemandCsvLine(std::string& out, const CDemandLogger& r, DemandCsvLayout layout, char separator);
bool AppendCertifiedCsvLine(std::string& out, const CCertifiedLogger& r);
void AppendEventsCsvLine(std::string& out, const EventRecord& r);

// The name the read command keeps of the chosen one: a name with more than one
// '.' loses its last four characters.
std::string CommandCsvFileName(std::string_view chosen);
// The name a writer opens: unchanged when it ends in ".csv" (blanks at either
// end and the letter case aside), otherwise with ".csv" appended.
std::string CsvFileNameWithExtension(std::string_view name);

// UTF-8 as Latin-1; a character Latin-1 lacks, or a broken sequence, becomes '?'.
std::string Utf8ToLatin1(std::string_view utf8);
