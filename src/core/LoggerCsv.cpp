#include "core/LoggerCsv.h"

#include <algorithm>
#include <cctype>

#include "core/MessageTable.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kDashes = "--------------------------------";
constexpr std::string_view kEmptyDemandField = "----;";
constexpr int kDemandFields = 9;
// A line this short (CR LF included) holds no record.
constexpr size_t kEmptyLineLength = 20;

const char* Pick(const LangText& t, int language) { return t[language == 1 ? 1 : 0]; }

// The file's line of one text, converted to Latin-1.
void AppendLine(std::string& out, std::string_view utf8)
{
    out += Utf8ToLatin1(utf8);
    out += kLineEnd;
}

void AppendLabelled(std::string& out, const LangText& label, int language, std::string_view value)
{
    out += Utf8ToLatin1(Pick(label, language));
    out += ' ';
    out += Utf8ToLatin1(value);
    out += kLineEnd;
}

const LangText& TitleOf(CsvLogger logger, int brand, int deviceVariant)
{
    const bool second = brand == 2;
    switch (logger) {
    case CsvLogger::Demand: return second ? TxtDemandLoggerTitleBrand2 : TxtDemandLoggerTitleBrand1;
    case CsvLogger::Certified: return second ? TxtCertifiedLoggerTitleBrand2 : TxtCertifiedLoggerTitleBrand1;
    case CsvLogger::Events: break;
    }
    if (second) return TxtEventsLoggerTitleBrand2;
    return deviceVariant == 2 ? TxtEventsTitleBrand1 : TxtEventsLoggerTitleBrand1;
}

const LangText& ColumnsOf(CsvLogger logger, DemandCsvLayout layout)
{
    switch (logger) {
    case CsvLogger::Events: return TxtCsvEvents;
    case CsvLogger::Certified: return TxtCsvCertified;
    case CsvLogger::Demand: break;
    }
    switch (layout) {
    case DemandCsvLayout::RecordNumbers: return TxtCsvDemandRecordNo;
    case DemandCsvLayout::WithReactive: return TxtCsvDemandPeriodUnits;
    case DemandCsvLayout::ActiveOnly: break;
    }
    return TxtCsvDemandPeriod;
}

// The field without its blanks, then ';'.
void NoBlanks(std::string& out, std::string_view text)
{
    for (char c : text)
        if (c != ' ') out.push_back(c);
    out.push_back(';');
}

// Only the digits and the decimal separator of a stored number, then ';'.
void Number(std::string& out, std::string_view text, char separator)
{
    for (char c : text) {
        if (c >= '0' && c <= '9')
            out.push_back(c);
        else if (c == '.' || c == ',')
            out.push_back(separator);
    }
    out.push_back(';');
}

// The two status words of " XXXX, XXXX": characters 1-4 and 6-9 of the text
// without blanks.
class StatusWords {
public:
    explicit StatusWords(std::string_view status)
    {
        for (char c : status)
            if (c != ' ') compact_.push_back(c);
    }
    bool MarksEmpty() const { return !compact_.empty() && compact_[0] == '-'; }
    std::string_view First() const { return std::string_view(compact_).substr(0, 4); }
    std::string_view Second() const
    {
        return compact_.size() > 5 ? std::string_view(compact_).substr(5, 4) : std::string_view();
    }

private:
    std::string compact_;
};

void Hex(std::string& out, std::string_view digits)
{
    out += "0x";
    out += digits;
    out.push_back(';');
}

// "0x" before a code, unless it stands for no entry ("----").
void CodeField(std::string& out, std::string_view text)
{
    const size_t start = out.size();
    NoBlanks(out, text);
    if (out[start] != '-') out.insert(start, "0x");
}

bool EndLine(std::string& out, size_t start)
{
    out += kLineEnd;
    if (out.size() - start > kEmptyLineLength) return true;
    out.resize(start);
    return false;
}

} // namespace

DemandCsvLayout DemandCsvLayoutFor(int deviceVariant, bool hasReactiveEnergy)
{
    if (deviceVariant >= 2) return DemandCsvLayout::RecordNumbers;
    return hasReactiveEnergy ? DemandCsvLayout::WithReactive : DemandCsvLayout::ActiveOnly;
}

char CsvDecimalSeparator(int language) { return language == 1 ? ',' : '.'; }

std::string CsvHeaderBlock(CsvLogger logger, DemandCsvLayout layout, int brand, int language, int deviceVariant,
                           const CsvDeviceInfo& device)
{
    std::string out;
    AppendLine(out, Pick(TitleOf(logger, brand, deviceVariant), language));
    AppendLabelled(out, TxtDateAndTime, language, device.DateTime);
    AppendLabelled(out, TxtDeviceType, language, device.DeviceType);
    AppendLabelled(out, TxtSerialNumber, language, device.SerialNumber);
    AppendLabelled(out, TxtFeatures, language, device.Features);
    AppendLine(out, kDashes);
    AppendLine(out, Pick(ColumnsOf(logger, layout), language));
    return out;
}

bool AppendDemandCsvLine(std::string& out, const CDemandLogger& r, DemandCsvLayout layout, char separator)
{
    const size_t start = out.size();
    const StatusWords status(r.Status);
    if (layout == DemandCsvLayout::RecordNumbers) {
        if (status.MarksEmpty()) {
            for (int i = 0; i < kDemandFields; ++i) out += kEmptyDemandField;
            return EndLine(out, start);
        }
        NoBlanks(out, r.Date);
        NoBlanks(out, r.Time);
        Number(out, r.RecordNo, separator);
        NoBlanks(out, r.Tariff);
    } else {
        NoBlanks(out, r.Date);
        NoBlanks(out, r.Time);
        NoBlanks(out, r.Period);
        NoBlanks(out, r.Tariff);
    }
    Number(out, r.EpOut, separator);
    Number(out, r.EpIn, separator);
    NoBlanks(out, r.EpUnit);
    if (layout == DemandCsvLayout::WithReactive) {
        Number(out, r.EqOut, separator);
        Number(out, r.EqIn, separator);
        NoBlanks(out, r.EqUnit);
    }
    Hex(out, status.First());
    Hex(out, status.Second());
    return EndLine(out, start);
}

bool AppendCertifiedCsvLine(std::string& out, const CCertifiedLogger& r)
{
    const size_t start = out.size();
    NoBlanks(out, r.EntryId);
    out += r.OldTime;
    out.push_back(';');
    out += r.NewTime;
    out.push_back(';');
    CodeField(out, r.Event);
    CodeField(out, r.Checksum);
    return EndLine(out, start);
}

void AppendEventsCsvLine(std::string& out, const EventRecord& r)
{
    NoBlanks(out, r.Date);
    NoBlanks(out, r.Time);
    out += "0x";
    NoBlanks(out, r.EventCode);
    // The parameter bytes as hexadecimal pairs separated by commas.
    int digits = 0;
    for (char c : r.Parameters) {
        if (c == ' ') continue;
        if (digits > 0 && digits % 2 == 0) out.push_back(',');
        out.push_back(c);
        ++digits;
    }
    out.push_back(';');
    out += kLineEnd;
}

std::string CommandCsvFileName(std::string_view chosen)
{
    std::string name(chosen);
    if (std::count(name.begin(), name.end(), '.') > 1) name.resize(name.size() >= 4 ? name.size() - 4 : 0);
    return name;
}

std::string CsvFileNameWithExtension(std::string_view name)
{
    std::string_view trimmed = name;
    while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
    std::string tail(trimmed.substr(trimmed.size() >= 4 ? trimmed.size() - 4 : 0));
    for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (tail == ".CSV") return std::string(name);
    return std::string(name) + ".csv";
}

std::string Utf8ToLatin1(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        bool whole = i + length <= utf8.size() && length > 1;
        for (size_t k = 1; whole && k < length; ++k)
            whole = (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
        if (!whole) {
            out.push_back('?');
            ++i;
            continue;
        }
        if (length == 2 && lead <= 0xC3)
            out.push_back(static_cast<char>(((lead & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F)));
        else
            out.push_back('?');
        i += length;
    }
    return out;
}
