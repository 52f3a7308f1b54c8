#pragma once
// The decoded value store: value texts, counter block and device features.
// The worker's decoders write it and post their result code afterwards; the UI
// thread reads it only after taking that code, so nothing here is locked.
// Texts are UTF-8; value texts always use '.' as the decimal point.
#include <atomic>
#include <cstdint>
#include <string>

// The meter's measuring connection; single phase changes how power totals are
// built.
enum TConnectionCode : int {
    ccSinglePhase = 200,      // "L1-N"
    ccThreePhase3Wire = 201,  // "L1-L2-L3"
    ccThreePhase4Wire = 202,  // "L1-L2-L3-N"
};

// Texts of the status members.
inline constexpr const char* StatusOk = " Ok";
inline constexpr const char* StatusUnder75 = " < 75%";
inline constexpr const char* StatusOver120 = " > 120%";
inline constexpr const char* StatusCurrentLow = " I LO";
inline constexpr const char* StatusCurrentHigh = " I HI";
inline constexpr const char* StatusFreqLow = " LO";
inline constexpr const char* StatusFreqHigh = " HI";
inline constexpr const char* StatusNoSync = " NO";

// Placeholders of a freeze or reset setting whose year is out of range.
inline constexpr const char* PlaceholderDate = "YYYY-MM-DD";
inline constexpr const char* PlaceholderTime = "HH:MM:SS";

// A feature flag that the window reads outside the result handler too (a
// language switch, a page change) while an identification may be setting it
// on the worker. Relaxed: each flag stands alone, and the handler that shows
// the device reads them after the job's result anyway. Copies and compares
// like the byte it holds, so the store stays a plain value.
class SharedFlag {
public:
    constexpr SharedFlag() = default;
    explicit constexpr SharedFlag(uint8_t value) : value_(value) {}
    SharedFlag(const SharedFlag& other) : value_(uint8_t(other)) {}
    SharedFlag& operator=(const SharedFlag& other) { return *this = uint8_t(other); }
    SharedFlag& operator=(uint8_t value)
    {
        value_.store(value, std::memory_order_relaxed);
        return *this;
    }
    operator uint8_t() const { return value_.load(std::memory_order_relaxed); }
    friend bool operator==(const SharedFlag& a, const SharedFlag& b) { return uint8_t(a) == uint8_t(b); }

private:
    std::atomic<uint8_t> value_{0};
};

struct DecodedValueStore {
    // Instantaneous values.
    std::string TextU1, TextU2, TextU3;
    std::string TextU12, TextU23, TextU13;
    std::string TextThdU1, TextThdU2, TextThdU3;
    std::string TextI1, TextI2, TextI3, TextIN;
    std::string TextThdI1, TextThdI2, TextThdI3;
    std::string TextFreq;
    std::string TextP1, TextP2, TextP3, TextPTot;
    std::string TextQ1, TextQ2, TextQ3, TextQTot;
    std::string TextS1, TextS2, TextS3, TextSTot;
    std::string TextPF1, TextPF2, TextPF3, TextPFTot;
    // Volts and amperes whatever the unit shown; inputs of the apparent power.
    float PhaseVoltages[3]{};
    float PhaseCurrents[3]{};

    // Status texts; exactly " Ok" is shown green, anything else red.
    std::string UStatusL1, UStatusL2, UStatusL3;
    std::string IStatusL1, IStatusL2, IStatusL3;
    std::string FreqStatus, FreqSyncStatus;

    // Counter block, shared by the main, resettable and freeze counter jobs.
    // Columns: 0 E(P)out, 1 E(P)in, 2 E(Q)out, 3 E(Q)in.
    std::string CounterTariffs[8][4];
    std::string CounterTotals[4];
    std::string EnergyTypeText;
    std::string TotalOperatingTimeText;
    std::string OperatingTimeSinceResetText;

    // Device identity.
    std::string DeviceTypeText;
    std::string DeviceOptionsText;
    std::string SerialNumberText;
    std::string ProductNameText;
    std::string FirmwareText;
    std::string BaseFirmwareText;
    std::string DeviceAddressText;
    std::string SecondaryAddressIdText;
    std::string ManufacturerText;
    std::string TypeText;
    std::string VersionText;

    // Settings and clock.
    std::string CtRatioText;
    std::string VtRatioText;
    std::string DemandPeriodText;
    std::string TariffHwText;
    std::string ActualTariffText;
    std::string DeviceDate, DeviceTime;
    std::string DeviceTimeDateText;
    std::string FreezeResetDate, FreezeResetTime;
    std::string EPoutIntervalText, EPinIntervalText;
    std::string IntervalDateFrom, IntervalDateTill;
    std::string IntervalTimeFrom, IntervalTimeTill;
    // The interval's record count is IntervalRecordCount of the logger stores.

    // Feature flags and codes from the device information. ManufacturerIndex
    // and MbusVersion live with the addressing state (DeviceAddressing).
    int ConnectionCode = 0;  // TConnectionCode once identified
    // Read by the language switch and the page changes at any time.
    SharedFlag TransformerCode;
    SharedFlag HasTransformerRatios;
    SharedFlag TransformerRatiosSettable;
    SharedFlag HasDemandLogger;
    SharedFlag DeviceVariant;
    SharedFlag HasReactiveEnergy;
    SharedFlag WebserverPresent;
    SharedFlag WebserverEnabled;

    // Scratch of the value being assembled, least significant byte first.
    uint8_t RawValue[4]{};

    bool operator==(const DecodedValueStore&) const = default;
};
