#include "core/SettingFrames.h"

#include "core/FrameChecks.h"
#include "core/RequestTemplates.h"
#include "core/TextHelpers.h"

namespace {

constexpr uint8_t kMediumElectricity = 0x02;
constexpr uint8_t kFreezeVife = 0x1C;
constexpr uint8_t kResetVife = 0x19;
constexpr uint16_t kFreezeRegister = 10800;
constexpr uint16_t kResetRegister = 10700;

char DigitOrZero(std::string_view text, size_t i) {
    return i < text.size() && text[i] >= '0' && text[i] <= '9' ? text[i] : '0';
}

std::string DigitsOrZeros(std::string_view text, size_t count) {
    std::string out(count, '0');
    for (size_t i = 0; i < count; ++i) out[i] = DigitOrZero(text, i);
    return out;
}

int Number(std::string_view digits) {
    int v = 0;
    for (char c : digits) v = v * 10 + (c >= '0' && c <= '9' ? c - '0' : 0);
    return v;
}

}  // namespace

int BuildMBusSndUd(const TMBusSendTarget& target, std::span<const uint8_t> record, std::span<uint8_t> tx) {
    const bool secondary = target.AddressingMode == '6';
    if (!secondary && target.AddressingMode != '5') return 0;
    const size_t header = secondary ? 15 : 7;
    const size_t length = header + record.size() + 2;
    if (length > tx.size() || length - 6 > 0xFF) return 0;
    size_t i = 0;
    const auto put = [&](uint8_t b) { tx[i++] = b; };
    const auto l = static_cast<uint8_t>(length - 6);
    for (uint8_t b : {uint8_t{0x68}, l, l, uint8_t{0x68}, uint8_t{0x73}}) put(b);
    put(secondary ? uint8_t{0xFD} : target.Address);
    put(0x51);
    if (secondary) {
        // Least significant digit pair first: eight decimal digits become packed BCD.
        const std::string_view id = target.SecondaryAddress;
        for (size_t first : {6u, 4u, 2u, 0u}) put(HexToByte(first < id.size() ? id.substr(first) : ""));
        const uint8_t m = target.ManufacturerIndex < 3 ? target.ManufacturerIndex : 0;
        put(ManufacturerCodeLow[m]);
        put(ManufacturerCodeHigh[m]);
        put(target.MbusVersion);
        put(kMediumElectricity);
    }
    for (uint8_t b : record) put(b);
    put(MBusChecksum(tx.data(), static_cast<int>(i)));
    put(0x16);
    return static_cast<int>(i);
}

std::string NormalizeTimeText(std::string_view time) {
    const std::string d = DigitsOrZeros(time, 8);
    return d.substr(0, 2) + ':' + d.substr(3, 2) + ':' + d.substr(6, 2);
}

std::string NormalizeDateText(std::string_view date) {
    const std::string d = DigitsOrZeros(date, 10);
    return d.substr(0, 4) + '-' + d.substr(5, 2) + '-' + d.substr(8, 2);
}

TCounterDate ParseCounterDate(std::string_view t, std::string_view d) {
    TCounterDate c;
    c.Hours = static_cast<uint8_t>(Number(t.substr(0, 2)));
    c.Minutes = static_cast<uint8_t>(Number(t.substr(3, 2)));
    c.Seconds = static_cast<uint8_t>(Number(t.substr(6, 2)));
    c.Year = static_cast<uint16_t>(Number(d.substr(0, 4)));
    c.ShortYear = static_cast<uint8_t>(Number(d.substr(2, 2)));
    c.Month = static_cast<uint8_t>(Number(d.substr(5, 2)));
    c.Day = static_cast<uint8_t>(Number(d.substr(8, 2)));
    return c;
}

std::array<uint8_t, 9> CounterDateRecord(TCounterDateKind kind, const TCounterDate& d) {
    // Date type G: the short year's bits 0-2 ride in the day byte, bits 3-6 in the month byte.
    const auto day = static_cast<uint8_t>(d.Day + ((d.ShortYear & 0x07) << 5));
    const auto month = static_cast<uint8_t>(d.Month + (d.ShortYear & 0x78) * 2);
    return {0x06, 0xFF, kind == TCounterDateKind::Freeze ? kFreezeVife : kResetVife,
            d.Seconds, d.Minutes, d.Hours, day, month, 0x00};
}

void BuildCounterDateRequest(TCounterDateKind kind, const TCounterDate& d, std::span<uint8_t> req) {
    if (req.size() < 19) return;
    const uint16_t start = kind == TCounterDateKind::Freeze ? kFreezeRegister : kResetRegister;
    const uint8_t bytes[19] = {17,
                               0,
                               0x01,
                               0x10,
                               static_cast<uint8_t>(start >> 8),
                               static_cast<uint8_t>(start & 0xFF),
                               0x00,
                               0x04,
                               0x08,
                               d.Seconds,
                               d.Minutes,
                               d.Hours,
                               d.Day,
                               d.Month,
                               static_cast<uint8_t>(d.Year & 0xFF),
                               static_cast<uint8_t>(d.Year >> 8),
                               0x00,
                               0x00,
                               0x00};
    for (size_t i = 0; i < sizeof bytes; ++i) req[i] = bytes[i];
}
