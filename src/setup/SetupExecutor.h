#pragma once
// The parts of the setup command executor, shared by its files: the reports
// it shows, the direct exchange of the UI thread, and one function per kind
// of write (direct M-Bus frames, direct Modbus RTU writes, writes prepared for
// a job).
#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "core/MessageTable.h"
#include "core/SetupFrames.h"
#include "core/SetupValues.h"

class TMainForm;

namespace setupcmd {

// Progress window ids of the setup reports. A refusal uses the id of the
// command's no-answer report.
enum : int {
    pwUnitAddressSet = 19,
    pwUnitAddressFailed = 20,
    pwPrimaryAddressSet = 21,
    pwPrimaryAddressFailed = 22,
    pwSecondaryAddressSet = 23,
    pwSecondaryAddressFailed = 24,
    pwBaudRateSet = 25,
    pwBaudRateFailed = 26,
    pwDemandPeriodSet = 27,
    pwDemandPeriodFailed = 28,
    pwVtSet = 29,
    pwVtFailed = 30,
    pwCtSet = 31,
    pwCtFailed = 32,
    pwTariffSendingMBus = 33,
    pwTariffSendingModbus = 34,
    pwDateTimeBroadcast = 36,
    pwDateTimeFailed = 37,
    pwWebserverSending = 39,
    pwNotConnected = 41,
    pwDateTimeSet = 106,
};

// Information report with the "Ok" button.
void Inform(TMainForm& f, int id, const QString& line1);
// Error report with the "Ok" button; the suffix is the error number.
void Fail(TMainForm& f, int id, const QString& line1, const QString& suffix = QString());
// The "Sending To Device..." window, modal until the job's outcome was shown
// in it and closed, or the user cancelled.
void ShowSending(TMainForm& f, int id);
// A typed value that is refused before anything is sent.
void RefuseTypedValue(TMainForm& f, setup::TValueCheck check);

enum class TDirectOutcome { Answered, NoAnswer, Refused };

// One exchange of the UI thread on the serial port: waits until no job uses
// the port, builds the frame into TxBuffer with build (its length; 0 sends
// nothing) and exchanges it. A Modbus exception answer is a refusal.
TDirectOutcome SendDirect(TMainForm& f, const std::function<int(std::span<uint8_t> tx)>& build);

// The report of a direct write: success, or the no-answer or refusal error.
// Returns whether it was a success.
bool ReportOutcome(TMainForm& f, TDirectOutcome outcome, int okId, int failedId);

// The connected device as an M-Bus setting frame addresses it, or every
// device on the line.
setup::TMBusTarget MBusTargetOf(const TMainForm& f, bool toAll);
// One M-Bus setting frame carrying record, sent directly.
TDirectOutcome SendMBusRecord(TMainForm& f, const std::vector<uint8_t>& record, bool toAll);

// ---- the commands ----
void SetModbusUnitAddress(TMainForm& f);
void SetMBusPrimaryAddress(TMainForm& f);
void SetMBusSecondaryAddress(TMainForm& f);
void SetDeviceBaudrate(TMainForm& f);
void SetDemandPeriod(TMainForm& f);
void SetVtRatio(TMainForm& f);
void SetCtRatio(TMainForm& f);
void SetTariff(TMainForm& f);
void SetDateTime(TMainForm& f);
void SetWebserver(TMainForm& f);
// Opens the PS-Field Configuration window; nothing is sent here.
void OpenPsFieldConfiguration(TMainForm& f);

// Prepared writes: CustomRequest filled under the port gate, then the job.
void StartModbusWriteJob(TMainForm& f, uint8_t job, uint16_t reg, std::span<const uint8_t> data);

// The result actions of the setting write jobs.
void RegisterSetupResults(TMainForm& f);

}  // namespace setupcmd
