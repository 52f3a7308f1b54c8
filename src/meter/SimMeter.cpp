#include "meter/SimMeter.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

namespace meter {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0); }

}  // namespace

std::array<uint8_t, 7> SimMeter::TimeParams(int64_t t) {
    const CivilTime c = FromSeconds(t);
    return {static_cast<uint8_t>(c.second), static_cast<uint8_t>(c.minute), static_cast<uint8_t>(c.hour),
            static_cast<uint8_t>(c.day),    static_cast<uint8_t>(c.month),  static_cast<uint8_t>(c.year % 100),
            0};
}

TimeSource SystemLocalTime() {
    return [] {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        tm local{};
        const time_t s = ts.tv_sec;
        localtime_r(&s, &local);
        return (static_cast<int64_t>(s) + local.tm_gmtoff) * 1000 + ts.tv_nsec / 1000000;
    };
}

EnergySet& EnergySet::operator+=(const EnergySet& o) {
    pIn += o.pIn;
    pOut += o.pOut;
    qIn += o.qIn;
    qOut += o.qOut;
    return *this;
}

EnergySet operator-(EnergySet a, const EnergySet& b) {
    a.pIn -= b.pIn;
    a.pOut -= b.pOut;
    a.qIn -= b.qIn;
    a.qOut -= b.qOut;
    return a;
}

EnergySet operator*(EnergySet a, double f) {
    a.pIn *= f;
    a.pOut *= f;
    a.qIn *= f;
    a.qOut *= f;
    return a;
}

DateSetting DateSettingOf(const CivilTime& t) {
    return {static_cast<uint8_t>(t.second), static_cast<uint8_t>(t.minute), static_cast<uint8_t>(t.hour),
            static_cast<uint8_t>(t.day),    static_cast<uint8_t>(t.month),  static_cast<uint8_t>(t.year & 0xFF),
            static_cast<uint8_t>(t.year >> 8), 0};
}

std::optional<CivilTime> TriggerTimeOf(const DateSetting& s) {
    CivilTime t{s[5] | (s[6] << 8), s[4], s[3], s[2], s[1], s[0]};
    if (t.year < 2000 || t.year > 2099 || !IsValidCivil(t)) return std::nullopt;
    return t;
}

SimMeter::SimMeter(const DeviceOptions& options, TimeSource source)
    : options_(options),
      source_(std::move(source)),
      ct_(options.ctRatio),
      vt_(options.vtRatio),
      unit_(options.unitAddress),
      baudCode_(options.baudCode),
      period_(options.demandPeriod),
      mbusPrimary_(options.mbusPrimary),
      mbusId_(options.MBusIdBcd()),
      tariffSetting_(options.tariffLocked ? 0 : options.tariff),
      effectiveTariff_(tariffSetting_),
      webserverEnabled_(options.webserver == WebserverMode::Enabled),
      demandLog_(static_cast<size_t>(options.DemandCapacity())),
      eventLog_(256),
      certifiedLog_(4000) {
    if (options.clockStart) offsetMs_ = ToSeconds(*options.clockStart) * 1000 - source_();
    last_ = Now();
    FillHistory(last_);
}

int64_t SimMeter::Now() const { return FloorDiv(source_() + offsetMs_, 1000); }

Measurements SimMeter::Values() const { return ComputeMeasurements(options_, ct_, vt_, Now()); }

EnergySet SimMeter::MainTotal() const {
    EnergySet total;
    for (const EnergySet& e : main_) total += e;
    return total;
}

std::array<EnergySet, 8> SimMeter::ResettableCounters() const {
    std::array<EnergySet, 8> out;
    for (size_t t = 0; t < 8; ++t) out[t] = main_[t] - resetBase_[t];
    return out;
}

int SimMeter::TariffAt(int64_t t) const {
    if (effectiveTariff_ != 0) return effectiveTariff_;
    // The hardware tariff input: day tariff from 06:00 to 22:00.
    const int64_t hour = FloorDiv(t, 3600) - FloorDiv(t, 86400) * 24;
    return hour >= 6 && hour < 22 ? 1 : 2;
}

int SimMeter::ActiveTariff() const { return TariffAt(Now()); }

void SimMeter::Update() {
    const int64_t now = Now();
    if (now <= last_) return;
    int64_t t = last_;
    if (options_.HasDemandLogger()) {
        const int64_t periodS = static_cast<int64_t>(period_) * 60;
        // After a long pause only what still fits into the log is recorded.
        const int64_t span = periodS * static_cast<int64_t>(demandLog_.Capacity());
        if (now - t > span) t = now - span;
        for (int64_t next = (FloorDiv(t, periodS) + 1) * periodS; next <= now;
             next = (FloorDiv(t, periodS) + 1) * periodS) {
            Advance(t, next);
            t = next;
            OnPeriodEnd(t);
        }
    }
    Advance(t, now);
    last_ = now;
}

void SimMeter::Advance(int64_t from, int64_t to) {
    if (to <= from) return;
    const int64_t step = std::max<int64_t>(60, (to - from) / 2000);
    const auto freezeAt = TriggerTimeOf(freezeSetting_);
    const auto resetAt = TriggerTimeOf(resetSetting_);
    for (int64_t s = from; s < to; s += step) {
        const int64_t e = std::min(to, s + step);
        const Measurements m = ComputeMeasurements(options_, ct_, vt_, s + (e - s) / 2);
        const double hours = static_cast<double>(e - s) / 3600.0;
        EnergySet& c = main_[static_cast<size_t>(TariffAt(s) - 1)];
        (m.pTotal >= 0 ? c.pIn : c.pOut) += std::abs(m.pTotal) * hours;
        if (HasReactiveEnergy()) (m.qTotal >= 0 ? c.qIn : c.qOut) += std::abs(m.qTotal) * hours;
        operatingSeconds_ += static_cast<double>(e - s);
        sinceResetSeconds_ += static_cast<double>(e - s);
        if (freezeAt && ToSeconds(*freezeAt) > s && ToSeconds(*freezeAt) <= e) Freeze(ToSeconds(*freezeAt));
        if (resetAt && ToSeconds(*resetAt) > s && ToSeconds(*resetAt) <= e) Reset(ToSeconds(*resetAt));
    }
}

void SimMeter::OnPeriodEnd(int64_t t) {
    DemandRecord r;
    r.time = t;
    r.tariff = static_cast<uint8_t>(TariffAt(t - 1));
    r.period = static_cast<uint8_t>(period_);
    const EnergySet total = MainTotal();
    r.epIn = total.pIn;
    r.epOut = total.pOut;
    r.eqIn = total.qIn;
    r.eqOut = total.qOut;
    r.status1 = periodStatus1_;
    r.status2 = periodStatus2_;
    demandLog_.Append(r);
    periodStatus1_ = periodStatus2_ = 0;
    // The large logger's meters switch tariff only at a period's start.
    if (options_.IsLargeLogger()) effectiveTariff_ = tariffSetting_;
}

void SimMeter::Freeze(int64_t t) {
    freeze_ = main_;
    freezeStamp_ = FromSeconds(t);
    LogEvent(t, evFreeze, {});
}

void SimMeter::Reset(int64_t t) {
    resetBase_ = main_;
    resetStamp_ = FromSeconds(t);
    sinceResetSeconds_ = 0;
    LogEvent(t, evReset, {});
}

void SimMeter::LogEvent(int64_t t, uint8_t code, std::array<uint8_t, 7> params) {
    EventRecord e;
    e.time = t;
    e.code = code;
    e.params = params;
    eventLog_.Append(e);
}

SetResult SimMeter::Changed() {
    if (onChange_) onChange_();
    return SetResult::Taken;
}

void SimMeter::LogSettingChange(uint8_t code, int oldValue, int newValue) {
    LogEvent(Now(), code,
             {static_cast<uint8_t>(oldValue & 0xFF), static_cast<uint8_t>(oldValue >> 8),
              static_cast<uint8_t>(newValue & 0xFF), static_cast<uint8_t>(newValue >> 8), 0, 0, 0});
    periodStatus1_ |= dsSettingChanged;
}

IntervalSummary SimMeter::Interval(const CivilTime& from, const CivilTime& till) const {
    IntervalSummary out;
    if (!IsValidCivil(from) || !IsValidCivil(till)) return out;
    const int64_t a = ToSeconds(from);
    const int64_t b = ToSeconds(till);
    // Records follow the clock, which may have been set back: scan, do not
    // assume the times are sorted.
    for (const DemandRecord& r : demandLog_.Records()) {
        if (r.time < a || r.time > b) continue;
        if (!out.hasData) out.first = r;
        out.last = r;
        out.hasData = true;
    }
    return out;
}

void SimMeter::FillHistory(int64_t now) {
    const uint32_t seed = options_.seed;
    const double pn = NominalTotalPower(options_, ct_, vt_);
    const bool reactive = HasReactiveEnergy();

    // Demand records up to the last period end, and the energy they account for.
    const int count = options_.DemandRecordCount();
    const int64_t periodS = static_cast<int64_t>(period_) * 60;
    const int64_t lastEnd = FloorDiv(now, periodS) * periodS;
    std::vector<DemandRecord> records(static_cast<size_t>(count));
    std::vector<EnergySet> increments(static_cast<size_t>(count));
    std::array<EnergySet, 8> history{};
    for (int k = 0; k < count; ++k) {
        const auto ks = static_cast<size_t>(k);
        DemandRecord& r = records[ks];
        r.time = lastEnd - static_cast<int64_t>(count - 1 - k) * periodS;
        r.tariff = static_cast<uint8_t>(TariffAt(r.time - 1));
        r.period = static_cast<uint8_t>(period_);
        if (Ripple(seed, k, 77) > 0.994) r.status1 |= dsPowerFail;
        const Measurements m = ComputeMeasurements(options_, ct_, vt_, r.time - periodS / 2);
        const double hours = static_cast<double>(periodS) / 3600.0;
        increments[ks].pIn = std::max(0.0, m.pTotal) * hours;
        increments[ks].qIn = reactive ? std::max(0.0, m.qTotal) * hours : 0.0;
        history[r.tariff - 1u] += increments[ks];
    }

    // Counters: what the history accounts for on top of the years before it.
    const std::array<double, 8> baseHours = {1500 + 200 * Ripple(seed, 1), 900 + 100 * Ripple(seed, 2), 45, 0, 0, 0, 0, 0};
    for (size_t t = 0; t < 8; ++t) {
        EnergySet& c = main_[t];
        c.pIn = pn * baseHours[t] + history[t].pIn;
        c.pOut = 0.015 * c.pIn;
        c.qIn = reactive ? 0.28 * pn * baseHours[t] + history[t].qIn : 0.0;
        c.qOut = reactive ? 0.02 * c.pIn : 0.0;
    }
    EnergySet running = MainTotal();
    for (int k = count - 1; k >= 0; --k) {
        DemandRecord& r = records[static_cast<size_t>(k)];
        r.epIn = running.pIn;
        r.epOut = running.pOut;
        r.eqIn = running.qIn;
        r.eqOut = running.qOut;
        running = running - increments[static_cast<size_t>(k)];
    }
    for (const DemandRecord& r : records) demandLog_.Append(r);

    // Freeze values from the start of this month, resettable values since the
    // start of the year.
    const CivilTime today = FromSeconds(now);
    freezeStamp_ = CivilTime{today.year, today.month, 1, 0, 0, 0};
    for (size_t t = 0; t < 8; ++t) freeze_[t] = main_[t] * 0.97;
    resetStamp_ = CivilTime{today.year, 1, 1, 0, 0, 0};
    for (size_t t = 0; t < 8; ++t) resetBase_[t] = main_[t] * 0.8;
    sinceResetSeconds_ = static_cast<double>(now - ToSeconds(*resetStamp_));
    operatingSeconds_ = (31000.0 + 500 * Ripple(seed, 3)) * 3600.0 + sinceResetSeconds_;
    const CivilTime nextMonth = today.month == 12 ? CivilTime{today.year + 1, 1, 1, 0, 0, 0}
                                                  : CivilTime{today.year, today.month + 1, 1, 0, 0, 0};
    freezeSetting_ = DateSettingOf(nextMonth);

    // Events: power failures with their return, and now and then a clock set.
    const int events = options_.eventRecords;
    int64_t lastDown = 0;
    for (int j = 0; j < events; ++j) {
        int64_t t = now - static_cast<int64_t>(events - j) * 20 * 3600 + static_cast<int64_t>(3600 * Ripple(seed, j, 5));
        switch (j % 5) {
        case 0:
        case 2:
            lastDown = t;
            LogEvent(t, evPowerDown, {0x07, 0, 0, 0, 0, 0, 0});
            break;
        case 1:
        case 3: {
            const int minutes = 2 + static_cast<int>(44 * (1 + Ripple(seed, j, 6)));
            t = lastDown + minutes * 60;
            LogEvent(t, evPowerUp, {static_cast<uint8_t>(minutes & 0xFF), static_cast<uint8_t>(minutes >> 8), 0, 0, 0, 0, 0});
            break;
        }
        default:
            LogEvent(t, evClockSet, TimeParams(t - 17));
            break;
        }
    }

    // Certified entries: weekly clock corrections, now and then a clock set.
    if (options_.IsLargeLogger()) {
        const int entries = options_.certifiedEntries;
        for (int j = 0; j < entries; ++j) {
            CertifiedEntry c;
            c.newTime = now - static_cast<int64_t>(entries - j) * 7 * 86400 + 3600 * 3;
            c.event = j % 3 == 2 ? ceClockSet : ceClockSync;
            c.oldTime = c.newTime - (c.event == ceClockSet ? 3600 : 2 + static_cast<int64_t>(20 * (1 + Ripple(seed, j, 8))));
            certifiedLog_.Append(c);
        }
    }
}

}  // namespace meter
