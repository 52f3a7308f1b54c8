#include "core/MBusDecoder.h"

#include <algorithm>

#include "core/MBusRecords.h"

namespace {

constexpr int kAny = -1;
constexpr uint8_t kVifExtension = 0xFB;
constexpr int kChecksumAndStop = 2;

// One row of the record patterns. Where ExtensionAt is set, a 0xFB byte at that
// position makes the record one byte longer.
struct TPattern {
    uint8_t Dif;
    int Vif;
    int VifeFirst;
    int VifeLast;
    TRecordCode Code;
    int Length;
    int ExtensionAt = 0;
};

constexpr TPattern kPatterns[] = {
    {0x01, 0xFF, 0x23, 0x23, rcTariffSource, 4},
    {0x01, 0xFF, 0x14, 0x14, rcTariffInfo, 4},
    {0x01, 0xFF, 0x1A, 0x1A, rcDemandPeriod, 4},
    {0x02, 0xFF, 0x15, 0x15, rcCtRatio, 5},
    {0x02, 0xFF, 0x16, 0x16, rcVtRatio, 5},
    {0x02, 0xFF, 0x20, 0x20, rcOperatingTimeSinceReset, 5},
    {0x02, 0xFD, 0xC0, 0xCF, rcVoltages, 7},
    {0x02, 0xFD, 0xD0, 0xDF, rcCurrents, 7},
    {0x02, 0xFF, 0x90, 0x90, rcThdVoltage, 7},
    {0x02, 0xFF, 0x91, 0x91, rcThdCurrent, 7},
    {0x02, 0xFF, 0x12, 0x12, rcFrequency, 5},
    {0x02, 0xFF, 0x93, 0x93, rcPowerFactors, 7},
    {0x04, 0xFF, 0x22, 0x22, rcInterfaceVersion, 7},
    {0x04, 0x22, kAny, kAny, rcOperatingTimes, 6},
    {0x04, 0xFD, 0x17, 0x17, rcStatusFlags, 7},
    {0x06, 0x6D, kAny, kAny, rcDeviceDateTime, 8},
    {0x06, 0xFF, 0x1C, 0x1C, rcFreezeTimeSetting, 9},
    {0x06, 0xFF, 0x19, 0x19, rcResetTimeSetting, 9},
    {0x06, 0xFF, 0x1E, 0x1E, rcFreezeStamps, 9},
    {0x06, 0xFF, 0x1D, 0x1D, rcResetStamps, 9},
    {0x0D, 0xFF, 0x1B, 0x1B, rcDeviceInfo, 75},
    {0x82, kAny, kAny, kAny, rcPowers, 8, 3},
    {0x84, kAny, kAny, kAny, rcEnergyCounter, 11, 4},
};

bool Matches(const TPattern& row, std::span<const uint8_t> bytes)
{
    if (bytes.empty() || bytes[0] != row.Dif) return false;
    if (row.Vif != kAny && (bytes.size() < 2 || bytes[1] != row.Vif)) return false;
    if (row.VifeFirst != kAny && (bytes.size() < 3 || bytes[2] < row.VifeFirst || bytes[2] > row.VifeLast))
        return false;
    return true;
}

void DecodeRecord(const TMBusRecord& record, const TMBusRecordBytes& r, TMBusDecodePass& pass)
{
    DecodedValueStore& s = pass.Store;
    switch (record.Code) {
    case rcStatusFlags: DecodeStatusFlags(r, s); break;
    case rcVoltages: DecodeVoltage(r, s); break;
    case rcCurrents: DecodeCurrent(r, s); break;
    case rcThdVoltage: DecodeThd(r, false, s); break;
    case rcThdCurrent: DecodeThd(r, true, s); break;
    case rcFrequency: DecodeFrequency(r, s); break;
    case rcPowerFactors: DecodePowerFactor(r, s); break;
    case rcPowers: DecodePower(r, pass); break;
    case rcEnergyCounter: DecodeEnergyCounter(r, pass); break;
    case rcDeviceDateTime:
    case rcFreezeStamps:
    case rcResetStamps:
    case rcFreezeTimeSetting:
    case rcResetTimeSetting: DecodeDateTime(r, record.Code, s); break;
    case rcTariffInfo: DecodeTariffInfo(r, pass); break;
    case rcInterfaceVersion: DecodeInterfaceVersion(r, pass); break;
    case rcDeviceInfo: DecodeDeviceInfo(r, pass); break;
    default: DecodeSetting(r, record.Code, pass); break;
    }
}

}  // namespace

std::optional<TMBusRecord> ClassifyMBusRecord(std::span<const uint8_t> bytes)
{
    for (const TPattern& row : kPatterns) {
        if (!Matches(row, bytes)) continue;
        int length = row.Length;
        const auto extension = static_cast<size_t>(row.ExtensionAt);
        if (extension != 0 && bytes.size() > extension && bytes[extension] == kVifExtension) ++length;
        // A record cut by the end of the frame ends the walk like an unknown one.
        if (static_cast<size_t>(length) > bytes.size()) return std::nullopt;
        return TMBusRecord{row.Code, length};
    }
    return std::nullopt;
}

std::string DecodeManufacturerCode(uint8_t high, uint8_t low)
{
    const unsigned word = (unsigned{high} << 8) | low;
    std::string letters;
    for (const int shift : {10, 5, 0})
        letters += static_cast<char>(((word >> shift) & 0x1F) + 64);
    return letters;
}

void DecodeMBusAnswer(std::span<const uint8_t> rx, int language, DecodedValueStore& store,
                      DeviceAddressing& addressing)
{
    if (rx.size() < kChecksumAndStop) return;
    const std::span<const uint8_t> frame = rx.first(rx.size() - kChecksumAndStop);
    TMBusDecodePass pass{frame, language, store, addressing};
    size_t at = MBusFirstRecordAt;
    while (at < frame.size()) {
        const std::span<const uint8_t> rest = frame.subspan(at);
        const std::optional<TMBusRecord> record = ClassifyMBusRecord(rest);
        if (!record) break;
        DecodeRecord(*record, TMBusRecordBytes(rest.first(static_cast<size_t>(record->Length))), pass);
        at += static_cast<size_t>(record->Length);
    }
}

void DecodeMBusAnswer(const FrameBuffers& frames, int language, DecodedValueStore& store,
                      DeviceAddressing& addressing)
{
    const int count = std::clamp(frames.RxCount, 0, static_cast<int>(sizeof frames.RxBuffer));
    DecodeMBusAnswer(std::span<const uint8_t>(frames.RxBuffer, static_cast<size_t>(count)), language, store,
                     addressing);
}
