#pragma once
// The simulated meter, apart from any protocol: its clock, measured values,
// energy counters per tariff (main, freeze and resettable), settings and the
// three logs. Counters, log records and freeze or reset events advance in
// Update(), which integrates the load up to the meter clock's present. Pure:
// the present comes from a time source, and nothing here does I/O.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include "meter/CivilTime.h"
#include "meter/MeterLoggers.h"
#include "meter/MeterMeasurements.h"
#include "meter/MeterOptions.h"

namespace meter {

// The PC's local time as civil milliseconds (see CivilTime.h).
using TimeSource = std::function<int64_t()>;
TimeSource SystemLocalTime();

struct EnergySet {
    double pIn = 0, pOut = 0, qIn = 0, qOut = 0;  // Wh and varh
    EnergySet& operator+=(const EnergySet& o);
    friend EnergySet operator-(EnergySet a, const EnergySet& b);
    friend EnergySet operator*(EnergySet a, double f);
};

// The eight bytes of a freeze or reset date setting as written: seconds,
// minutes, hours, day, month, year low byte, year high byte, 0. Kept as
// written; only a valid date in 2000-2099 ever triggers.
using DateSetting = std::array<uint8_t, 8>;
DateSetting DateSettingOf(const CivilTime& t);
std::optional<CivilTime> TriggerTimeOf(const DateSetting& s);

enum class SetResult {
    Taken,
    Ignored,       // answered, but the meter keeps its value (locked tariff)
    OutOfRange,    // a value the meter does not accept
    NotAvailable,  // the device has no such setting
};

struct IntervalSummary {
    bool hasData = false;
    DemandRecord first, last;
};

class SimMeter {
public:
    SimMeter(const DeviceOptions& options, TimeSource source);

    const DeviceOptions& Options() const { return options_; }

    // Brings counters, logs and freeze or reset events up to the present.
    void Update();
    int64_t Now() const;  // meter clock, civil seconds
    CivilTime NowCivil() const { return FromSeconds(Now()); }
    Measurements Values() const;

    const std::array<EnergySet, 8>& MainCounters() const { return main_; }
    EnergySet MainTotal() const;
    const std::array<EnergySet, 8>& FreezeCounters() const { return freeze_; }
    std::array<EnergySet, 8> ResettableCounters() const;
    std::optional<CivilTime> FreezeStamp() const { return freezeStamp_; }
    std::optional<CivilTime> ResetStamp() const { return resetStamp_; }
    double OperatingHours() const { return operatingSeconds_ / 3600.0; }
    double HoursSinceReset() const { return sinceResetSeconds_ / 3600.0; }
    bool HasReactiveEnergy() const { return options_.digitM >= 2; }

    int CtRatio() const { return ct_; }
    int VtRatio() const { return vt_; }
    int UnitAddress() const { return unit_; }
    int MBusPrimaryAddress() const { return mbusPrimary_; }
    uint32_t MBusIdBcd() const { return mbusId_; }
    int BaudCode() const { return baudCode_; }
    int DemandPeriod() const { return period_; }
    int TariffSetting() const { return tariffSetting_; }
    int ActiveTariff() const;
    bool WebserverEnabled() const { return webserverEnabled_; }
    const DateSetting& FreezeSetting() const { return freezeSetting_; }
    const DateSetting& ResetSetting() const { return resetSetting_; }

    // What the setter of the same name would answer, without changing anything.
    SetResult CheckCtRatio(int ct) const;
    SetResult CheckVtRatio(int vt) const;
    SetResult CheckDemandPeriod(int minutes) const;
    SetResult CheckTariff(int tariff) const;
    SetResult CheckClock(const CivilTime& t) const;
    SetResult CheckMBusPrimaryAddress(int address) const;
    SetResult CheckMBusId(uint32_t bcd) const;

    SetResult SetCtRatio(int ct);
    SetResult SetVtRatio(int vt);
    SetResult SetUnitAddress(int unit);
    SetResult SetMBusPrimaryAddress(int address);
    // Eight BCD digits; a nibble above 9 is refused.
    SetResult SetMBusId(uint32_t bcd);
    SetResult SetBaudCode(int code);
    SetResult SetDemandPeriod(int minutes);
    SetResult SetTariff(int tariff);
    SetResult SetClock(const CivilTime& t);
    SetResult SetWebserver(bool enabled);
    SetResult SetFreezeSetting(const DateSetting& s);
    SetResult SetResetSetting(const DateSetting& s);
    // Called after every setting the meter took, whoever wrote it.
    void SetChangeHook(std::function<void()> hook) { onChange_ = std::move(hook); }

    const NumberedLog<DemandRecord>& DemandLog() const { return demandLog_; }
    const NumberedLog<EventRecord>& EventLog() const { return eventLog_; }
    const NumberedLog<CertifiedEntry>& CertifiedLog() const { return certifiedLog_; }
    // One reading place per log, shared by every port of the meter.
    LogCursor& DemandCursor() { return demandCursor_; }
    LogCursor& EventCursor() { return eventCursor_; }
    LogCursor& CertifiedCursor() { return certifiedCursor_; }
    // Every request the meter notices, on any port, before it is carried out.
    void NoteRequest() {
        demandCursor_.NoteRequest();
        eventCursor_.NoteRequest();
        certifiedCursor_.NoteRequest();
    }

    // The demand records whose time lies within [from, till]: the first and
    // the last of them.
    IntervalSummary Interval(const CivilTime& from, const CivilTime& till) const;

private:
    SetResult Changed();
    // The clock-set event's parameters: the time before the set.
    static std::array<uint8_t, 7> TimeParams(int64_t t);
    int TariffAt(int64_t t) const;
    void Advance(int64_t from, int64_t to);
    void OnPeriodEnd(int64_t t);
    void Freeze(int64_t t);
    void Reset(int64_t t);
    void LogEvent(int64_t t, uint8_t code, std::array<uint8_t, 7> params);
    void LogSettingChange(uint8_t code, int oldValue, int newValue);
    void FillHistory(int64_t now);

    DeviceOptions options_;
    TimeSource source_;
    std::function<void()> onChange_;
    int64_t offsetMs_ = 0;
    int64_t last_ = 0;  // meter time up to which everything is integrated

    int ct_, vt_, unit_, baudCode_, period_;
    int mbusPrimary_;
    uint32_t mbusId_;
    int tariffSetting_;
    int effectiveTariff_;  // variant 2 takes a new tariff at the next period
    bool webserverEnabled_;
    DateSetting freezeSetting_{};
    DateSetting resetSetting_{};

    std::array<EnergySet, 8> main_{};
    std::array<EnergySet, 8> freeze_{};
    std::array<EnergySet, 8> resetBase_{};
    std::optional<CivilTime> freezeStamp_, resetStamp_;
    double operatingSeconds_ = 0;
    double sinceResetSeconds_ = 0;
    uint16_t periodStatus1_ = 0, periodStatus2_ = 0;

    NumberedLog<DemandRecord> demandLog_;
    NumberedLog<EventRecord> eventLog_;
    NumberedLog<CertifiedEntry> certifiedLog_;
    LogCursor demandCursor_, eventCursor_, certifiedCursor_;
};

}  // namespace meter
