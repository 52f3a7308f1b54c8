#include "core/LoggerCsv.h"

#include <algorithm>
#include <cctype>
#include <cstring>

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


// ---- the demand line's cursor writers; each field ends with ';' ----

size_t DemandLineRoom(const CDemandLogger& r)
{
    return r.Date.size() + r.Time.size() + r.Period.size() + r.Tariff.size() + r.EpIn.size() + r.EpOut.size() +
           r.EpUnit.size() + r.EqIn.size() + r.EqOut.size() + r.EqUnit.size() + r.Status.size() + r.RecordNo.size() +
           kDemandFields * kEmptyDemandField.size() + 16;
}

char* Put(char* p, std::string_view text)
{
    if (!text.empty()) std::memcpy(p, text.data(), text.size());
    return p + text.size();
}

char* PutNoBlanks(char* p, std::string_view text)
{
    for (char c : text)
        if (c != ' ') *p++ = c;
    *p++ = ';';
    return p;
}

char* PutNumber(char* p, std::string_view text, char separator)
{
    for (char c : text) {
        if (c >= '0' && c <= '9')
            *p++ = c;
        else if (c == '.' || c == ',')
            *p++ = separator;
    }
    *p++ = ';';
    return p;
}

char* PutHex(char* p, std::string_view digits)
{
    *p++ = '0';
    *p++ = 'x';
    p = Put(p, digits);
    *p++ = ';';
    return p;
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
    // Written through a cursor into room made once: this runs for every one
    // of up to 168,000 records of a file.
    const size_t start = out.size();
    out.resize(start + DemandLineRoom(r));
    char* p = out.data() + start;
    const StatusWords status(r.Status);
    if (layout == DemandCsvLayout::RecordNumbers && status.MarksEmpty()) {
        for (int i = 0; i < kDemandFields; ++i) p = Put(p, kEmptyDemandField);
    } else {
        p = PutNoBlanks(p, r.Date);
        p = PutNoBlanks(p, r.Time);
        if (layout == DemandCsvLayout::RecordNumbers)
            p = PutNumber(p, r.RecordNo, separator);
        else
            p = PutNoBlanks(p, r.Period);
        p = PutNoBlanks(p, r.Tariff);
        p = PutNumber(p, r.EpOut, separator);
        p = PutNumber(p, r.EpIn, separator);
        p = PutNoBlanks(p, r.EpUnit);
        if (layout == DemandCsvLayout::WithReactive) {
            p = PutNumber(p, r.EqOut, separator);
            p = PutNumber(p, r.EqIn, separator);
            p = PutNoBlanks(p, r.EqUnit);
        }
        p = PutHex(p, status.First());
        p = PutHex(p, status.Second());
    }
    p = Put(p, kLineEnd);
    const auto length = static_cast<size_t>(p - (out.data() + start));
    out.resize(length > kEmptyLineLength ? start + length : start);
    return length > kEmptyLineLength;
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
