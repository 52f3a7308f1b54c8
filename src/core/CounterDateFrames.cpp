#include "core/CounterDateFrames.h"

namespace {

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

uint16_t CounterDateRegister(TCounterDateKind kind) {
    return kind == TCounterDateKind::Freeze ? kFreezeRegister : kResetRegister;
}

std::array<uint8_t, 8> CounterDateRegisterBytes(const TCounterDate& d) {
    return {d.Seconds, d.Minutes, d.Hours, d.Day, d.Month, static_cast<uint8_t>(d.Year & 0xFF),
            static_cast<uint8_t>(d.Year >> 8), 0x00};
}
