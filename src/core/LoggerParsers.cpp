#include "core/LoggerParsers.h"

#include <string>

#include "core/LinkState.h"
#include "core/ScaledValue.h"
#include "core/TextHelpers.h"

namespace {

constexpr const char* kNoValue = " ----";

std::string TwoDigits(int value)
{
    return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

int Signed16(std::span<const uint8_t> b, size_t at)
{
    return static_cast<int16_t>(static_cast<uint16_t>(b[at] << 8 | b[at + 1]));
}

struct TScale {
    const char* Active;
    const char* Reactive;
    int Decimals;
};

// Codes above 6 have no unit; their numbers are shown without decimals.
TScale ScaleOf(uint8_t code)
{
    static constexpr TScale kScales[] = {
        {" kWh", " kVArh", 3}, {" kWh", " kVArh", 2}, {" kWh", " kVArh", 1}, {" kWh", " kVArh", 0},
        {" MWh", " MVArh", 2}, {" MWh", " MVArh", 1}, {" MWh", " MVArh", 0},
    };
    return code < std::size(kScales) ? kScales[code] : TScale{"", "", 0};
}

// Four bytes, least significant first.
std::string Energy(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, int decimals)
{
    ScaledValueSpec spec;
    spec.WidthCode = swLittleEndian32;
    spec.Bytes[0] = b0;
    spec.Bytes[1] = b1;
    spec.Bytes[2] = b2;
    spec.Bytes[3] = b3;
    spec.DecimalsCode = decimals;
    uint8_t scratch[4]{};
    return FormatScaledValue(spec, scratch);
}

void ClearDemand(CDemandLogger& r, bool keepPeriod)
{
    const std::string period = keepPeriod ? r.Period : std::string();
    r = CDemandLogger{};
    r.Period = period;
}

}  // namespace

bool IsLogEndMark(std::span<const uint8_t> record)
{
    return record.size() >= 2 && record[0] == 0xFF && record[1] == 0xFF;
}

size_t RecordPayloadBase(char transportCode, char addressingMode)
{
    switch (transportCode) {
    case tcMBus:
        return addressingMode == amSecondary ? 19 : 11;
    case tcModbusRtu:
        return 3;
    default:
        return 9;
    }
}

TParseResult ParseDemandRecord(std::span<const uint8_t> p, CDemandLogger& r)
{
    if (p.size() < DemandRecordBytes) return TParseResult::Short;
    if (p[2] == 0xFF && p[3] == 0xFF) {
        ClearDemand(r, true);
        return TParseResult::Empty;
    }
    r.Tariff = " " + std::to_string(p[2]);
    const TScale scale = ScaleOf(p[3]);
    r.EpUnit = scale.Active;
    r.EqUnit = scale.Reactive;
    r.EpIn = Energy(p[4], p[5], p[6], p[7], scale.Decimals);
    r.EpOut = Energy(p[8], p[9], p[10], p[11], scale.Decimals);
    r.EqIn = Energy(p[12], p[13], p[14], p[15], scale.Decimals);
    r.EqOut = Energy(p[16], p[17], p[18], p[19], scale.Decimals);
    r.Status = " " + ByteToHex(p[25]) + ByteToHex(p[24]) + ", " + ByteToHex(p[27]) + ByteToHex(p[26]);

    const int seconds = p[28], minutes = p[29], hours = p[30], day = p[31], month = p[32];
    const int year = p[33] | p[34] << 8;
    const bool valid = seconds < 60 && minutes < 60 && hours < 24 && day <= 31 && month <= 12 && year >= 2000 &&
                       year <= 2099;
    r.Time = TwoDigits(hours) + ":" + TwoDigits(minutes) + ":" + TwoDigits(seconds);
    r.Date = " " + std::to_string(year) + "-" + TwoDigits(month) + "-" + TwoDigits(day);
    r.Period = std::to_string(p[35]);
    r.RecordNo.clear();
    // Not shown, and its empty date ends the grid and the file here.
    if (!valid) ClearDemand(r, false);
    return TParseResult::Reported;
}

TParseResult ParseVariant2DemandRecord(std::span<const uint8_t> d, CDemandLogger& r)
{
    if (d.size() < Variant2DemandRecordBytes) return TParseResult::Short;
    if (d[0] == 0 && d[1] == 0 && d[2] == 0 && d[3] == 0) {
        const std::string period = r.Period;
        r.Tariff = r.EpIn = r.EpOut = r.EqIn = r.EqOut = r.Time = r.Date = r.RecordNo = kNoValue;
        r.EpUnit.clear();
        r.EqUnit.clear();
        r.Status = " ----, ----";
        r.Period = period;
        return TParseResult::Empty;
    }
    const uint32_t number = static_cast<uint32_t>(d[0]) << 24 | static_cast<uint32_t>(d[1]) << 16 |
                            static_cast<uint32_t>(d[2]) << 8 | d[3];
    r.RecordNo = std::to_string(number);
    r.EqIn.clear();
    r.EqOut.clear();
    r.EqUnit.clear();
    r.Tariff = " " + std::to_string(d[33]);
    const TScale scale = ScaleOf(d[27]);
    r.EpUnit = scale.Active;
    r.EpIn = Energy(d[17], d[16], d[15], d[14], scale.Decimals);
    r.EpOut = Energy(d[23], d[22], d[21], d[20], scale.Decimals);
    r.Status = " " + ByteToHex(d[28]) + ByteToHex(d[29]) + ", " + ByteToHex(d[30]) + ByteToHex(d[31]);
    r.Date = " " + std::to_string(Signed16(d, 4)) + "-" + TwoDigits(Signed16(d, 6)) + "-" + TwoDigits(Signed16(d, 8));
    r.Time = " " + TwoDigits(Signed16(d, 10)) + ":" + TwoDigits(Signed16(d, 12));
    return TParseResult::Reported;
}

TParseResult ParseEventRecord(std::span<const uint8_t> p, EventRecord& r)
{
    if (p.size() < EventRecordBytes) return TParseResult::Short;
    if (p[0] == 0xFF && p[1] == 0xFF) {
        r = EventRecord{};
        return TParseResult::Empty;
    }
    r.Time = TwoDigits(p[16]) + ":" + TwoDigits(p[15]) + ":" + TwoDigits(p[14]);
    r.Date = " " + std::to_string(p[19] | p[20] << 8) + "-" + TwoDigits(p[18]) + "-" + TwoDigits(p[17]);
    r.EventCode = " " + ByteToHex(p[2]);
    r.Parameters = " " + ByteToHex(p[3]);
    for (size_t k = 4; k <= 9; ++k) r.Parameters += "  " + ByteToHex(p[k]);
    return TParseResult::Reported;
}

TParseResult ParseCertifiedRecord(std::span<const uint8_t> d, CCertifiedLogger& r)
{
    if (d.size() < CertifiedRecordBytes) return TParseResult::Short;
    if (d[0] == 0 && d[1] == 0) {
        r.EntryId = r.Event = r.OldTime = r.NewTime = kNoValue;
        return TParseResult::Reported;
    }
    r.EntryId = std::to_string(Signed16(d, 0));
    r.Event = "0" + std::to_string(Signed16(d, 2));
    const auto stamp = [&d](size_t at) {
        return " " + std::to_string(Signed16(d, at)) + "-" + TwoDigits(Signed16(d, at + 2)) + "-" +
               TwoDigits(Signed16(d, at + 4)) + "  " + TwoDigits(Signed16(d, at + 6)) + ":" +
               TwoDigits(Signed16(d, at + 8)) + ":" + TwoDigits(Signed16(d, at + 10));
    };
    r.OldTime = stamp(4);
    r.NewTime = stamp(16);
    r.Checksum = " " + ByteToHex(d[29]);
    return TParseResult::Reported;
}
