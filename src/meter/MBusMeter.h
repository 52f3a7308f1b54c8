#pragma once
// One simulated meter's M-Bus side: its addresses and selection, the
// PS-field selection, the telegram sequence of REQ_UD2 with the FCB, the
// logger record requests and the setting SND_UD frames. Pure: it turns one
// received frame into what the meter would send, and hands its change of
// state over separately, so that the line applies it only once the answer
// went out whole.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "meter/MBusFrame.h"
#include "meter/MBusRecords.h"
#include "meter/SimMeter.h"

namespace meter {

struct MBusOutcome {
    bool addressed = false;       // the frame was meant for this meter
    std::optional<Bytes> answer;  // what the meter sends back
    // The meter's change of state; to be made once the answer has gone out
    // whole, or at once when there is no answer.
    std::function<void()> commit;
    std::optional<int> newBaud;   // the line's rate after the answer
    std::string what;             // the request, for the log
};

class MBusMeter {
public:
    explicit MBusMeter(SimMeter& meter) : meter_(meter) {}

    MBusOutcome Handle(const MBusFrame& frame);

    SimMeter& Meter() { return meter_; }
    bool Selected() const { return link_.selected; }
    const PsFieldMask& Mask() const { return link_.mask; }

private:
    struct Link {
        bool selected = false;
        PsFieldMask mask = AllPsFields();
        std::vector<Bytes> telegrams;  // the read in progress, taken at its first telegram
        size_t position = 0;
        std::optional<bool> lastFcb;
        uint8_t access = 0;
    };

    MBusOutcome HandleShort(const MBusFrame& f);
    MBusOutcome HandleLong(const MBusFrame& f);
    MBusOutcome Selection(const MBusFrame& f);
    MBusOutcome DataRecord(const uint8_t* record, size_t size, bool broadcast, bool viaSecondary);
    MBusOutcome LoggerRecord(uint8_t logger, uint8_t selector, bool viaSecondary);
    MBusOutcome Setting(SetResult check, std::function<void()> apply, bool broadcast, std::string what);
    bool HeaderMatches(const uint8_t* header) const;
    Bytes Header(uint8_t access) const;
    void Commit(Link next);

    SimMeter& meter_;
    Link link_;
};

}  // namespace meter
