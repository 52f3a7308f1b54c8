#pragma once
// Job codes the UI thread hands the worker, result codes the worker posts back,
// and the kinds of progress the worker reports. All travel as single bytes.
#include <cstdint>

// Codes 14-20, 40, 43 and 44 are never set as jobs.
enum TJobCode : uint8_t {
    jcIdle = 0,
    jcMBusScan = 1,
    jcMBusMainCounters = 2,
    jcMBusFreezeCounters = 3,
    jcMBusResettableCounters = 4,
    jcMBusMeasurement = 5,
    jcMBusIdentify = 6,
    jcMBusEventsLogger = 7,
    jcMBusDemandLogger = 8,
    jcMBusDeviceTime = 9,
    jcMBusResettableSetup = 10,
    jcMBusFreezeSetup = 11,
    jcMBusSetTariff = 12,
    jcMBusReadTariffResult = 13,
    jcModbusScan = 21,
    jcModbusMainCounters = 22,
    jcModbusFreezeCounters = 23,
    jcModbusResettableCounters = 24,
    jcModbusMeasurement = 25,
    jcModbusIdentify = 26,
    jcModbusEventsLogger = 27,
    jcModbusDemandLogger = 28,
    jcModbusDeviceTime = 29,
    jcModbusResettableSetup = 30,
    jcModbusFreezeSetup = 31,
    jcModbusSetFreezeTime = 32,
    jcModbusSetResetTime = 33,
    jcModbusSetTariff = 34,
    jcModbusSetDemandPeriod = 35,
    jcModbusSetVtRatio = 36,
    jcModbusSetCtRatio = 37,
    jcModbusSetDateTime = 38,
    jcModbusReadTariffResult = 39,
    jcModbusSetWebserver = 41,
    jcModbusDemandInterval = 42,
    jcModbusCertifiedLogger = 45,
};

// 0 means nothing posted.
enum TUiRequest : uint8_t {
    urNone = 0,
    urDemandIntervalValues = 43,
    urDemandIntervalTable = 44,
    urCancelled = 120,
    urConnected = 121,
    urJobCancelled = 123,
    urNoAnswer = 124,
    urMainCountersRead = 125,
    urMeasurementRead = 126,
    urVtRatioSet = 127,
    urCtRatioSet = 128,
    urScanFinished = 129,
    urPortNotAvailable = 130,
    urIdentifyFailed = 131,
    urDemandLoggerRead = 132,
    urDeviceTimeRead = 133,
    urResettableCountersRead = 134,
    urFreezeCountersRead = 135,
    urResettableSetupRead = 136,
    urFreezeSetupRead = 137,
    urTariffSent = 138,
    urDemandPeriodSet = 139,
    urEventsLoggerRead = 140,
    urTariffResultRead = 141,
    urResetTimeSet = 143,
    urFreezeTimeSet = 144,
    urDateTimeSet = 145,
    urWebserverSet = 146,
    urCertifiedLoggerRead = 148,
    // A setting write answered with a Modbus exception: the meter refused the value.
    urSettingRefused = 150,
    // The M-Bus tariff frame got no acknowledge; the device stays connected.
    urTariffNotAnswered = 151,
};

enum TProgressKind : uint8_t {
    pkAddressScan = 233,
    pkDemandRecord = 235,
    pkEventsRecord = 236,
    pkCertifiedRecord = 245,
};

// The identification after a connect; its failure lets the device go.
constexpr bool IsIdentifyJob(uint8_t code)
{
    return code == jcMBusIdentify || code == jcModbusIdentify;
}

// The device clock reads: never parked behind another job.
constexpr bool IsClockReadJob(uint8_t code)
{
    return code == jcMBusDeviceTime || code == jcModbusDeviceTime;
}
