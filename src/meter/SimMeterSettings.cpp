// The meter's settings: what it accepts, and what a change leaves in its logs.
#include "meter/SimMeter.h"

namespace meter {

SetResult SimMeter::CheckCtRatio(int ct) const {
    if (!options_.RatiosSettable()) return SetResult::NotAvailable;
    if (ct < 1 || ct > 10000 || (options_.digitQ == 1 && static_cast<int64_t>(ct) * vt_ > 100000))
        return SetResult::OutOfRange;
    return SetResult::Taken;
}

SetResult SimMeter::CheckVtRatio(int vt) const {
    if (!options_.RatiosSettable()) return SetResult::NotAvailable;
    if (vt < 1 || vt > 1000 || (options_.digitQ == 1 && static_cast<int64_t>(vt) * ct_ > 100000))
        return SetResult::OutOfRange;
    return SetResult::Taken;
}

SetResult SimMeter::CheckDemandPeriod(int minutes) const {
    if (!options_.HasDemandLogger()) return SetResult::NotAvailable;
    if (minutes < 1 || minutes > 255) return SetResult::OutOfRange;
    return SetResult::Taken;
}

SetResult SimMeter::CheckTariff(int tariff) const {
    if (tariff < 0 || tariff > 8) return SetResult::OutOfRange;
    if (options_.tariffLocked) return SetResult::Ignored;
    return SetResult::Taken;
}

SetResult SimMeter::CheckClock(const CivilTime& t) const {
    if (!IsValidCivil(t) || t.year < 2000 || t.year > 2099) return SetResult::OutOfRange;
    return SetResult::Taken;
}

SetResult SimMeter::CheckMBusPrimaryAddress(int address) const {
    return address < 0 || address > 250 ? SetResult::OutOfRange : SetResult::Taken;
}

SetResult SimMeter::CheckMBusId(uint32_t bcd) const {
    for (int k = 0; k < 8; ++k)
        if (((bcd >> (4 * k)) & 0xF) > 9) return SetResult::OutOfRange;
    return SetResult::Taken;
}

SetResult SimMeter::SetCtRatio(int ct) {
    if (const SetResult r = CheckCtRatio(ct); r != SetResult::Taken) return r;
    Update();
    LogSettingChange(evCtRatio, ct_, ct);
    ct_ = ct;
    return Changed();
}

SetResult SimMeter::SetVtRatio(int vt) {
    if (const SetResult r = CheckVtRatio(vt); r != SetResult::Taken) return r;
    Update();
    LogSettingChange(evVtRatio, vt_, vt);
    vt_ = vt;
    return Changed();
}

SetResult SimMeter::SetUnitAddress(int unit) {
    if (unit < 1 || unit > 247) return SetResult::OutOfRange;
    Update();
    LogSettingChange(evUnitAddress, unit_, unit);
    unit_ = unit;
    return Changed();
}

SetResult SimMeter::SetMBusPrimaryAddress(int address) {
    if (const SetResult r = CheckMBusPrimaryAddress(address); r != SetResult::Taken) return r;
    Update();
    LogSettingChange(evUnitAddress, mbusPrimary_, address);
    mbusPrimary_ = address;
    return Changed();
}

SetResult SimMeter::SetMBusId(uint32_t bcd) {
    if (const SetResult r = CheckMBusId(bcd); r != SetResult::Taken) return r;
    Update();
    mbusId_ = bcd;
    return Changed();
}

SetResult SimMeter::SetBaudCode(int code) {
    if (BaudOfCode(code) < 0) return SetResult::OutOfRange;
    Update();
    LogSettingChange(evBaudRate, baudCode_, code);
    baudCode_ = code;
    return Changed();
}

SetResult SimMeter::SetDemandPeriod(int minutes) {
    if (const SetResult r = CheckDemandPeriod(minutes); r != SetResult::Taken) return r;
    Update();
    LogSettingChange(evDemandPeriod, period_, minutes);
    period_ = minutes;
    return Changed();
}

SetResult SimMeter::SetTariff(int tariff) {
    if (const SetResult r = CheckTariff(tariff); r != SetResult::Taken) return r;
    Update();
    LogSettingChange(evTariff, tariffSetting_, tariff);
    tariffSetting_ = tariff;
    if (!options_.IsLargeLogger()) effectiveTariff_ = tariff;
    periodStatus2_ |= dsTariffChanged;
    return Changed();
}

SetResult SimMeter::SetClock(const CivilTime& t) {
    if (const SetResult r = CheckClock(t); r != SetResult::Taken) return r;
    Update();
    const int64_t old = Now();
    const int64_t now = ToSeconds(t);
    offsetMs_ = now * 1000 - source_();
    last_ = now;
    LogEvent(now, evClockSet, TimeParams(old));
    periodStatus1_ |= dsClockSet;
    if (options_.IsLargeLogger()) {
        CertifiedEntry c;
        c.event = ceClockSet;
        c.oldTime = old;
        c.newTime = now;
        certifiedLog_.Append(c);
    }
    return Changed();
}

SetResult SimMeter::SetWebserver(bool enabled) {
    if (options_.webserver == WebserverMode::Absent) return SetResult::NotAvailable;
    Update();
    LogSettingChange(evWebserver, webserverEnabled_ ? 1 : 0, enabled ? 1 : 0);
    webserverEnabled_ = enabled;
    return Changed();
}

SetResult SimMeter::SetFreezeSetting(const DateSetting& s) {
    Update();
    freezeSetting_ = s;
    return Changed();
}

SetResult SimMeter::SetResetSetting(const DateSetting& s) {
    Update();
    resetSetting_ = s;
    return Changed();
}

}  // namespace meter
