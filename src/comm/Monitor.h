#pragma once
// The communication monitor: every frame sent to or received from the meter,
// time-stamped and dumped in hexadecimal into Memo_Com_Win while the expert
// view is on. Frames are traced from any thread; the memo is written on the
// UI thread only.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>

#include "core/ToolCodes.h"

class TMainForm;

// Copies of the last frames for the monitor, kept in the main window.
struct MonitorState {
    static constexpr int TraceCapacity = 2000;
    uint8_t TxTrace[TraceCapacity]{};
    int TxTraceLength = 0;
    uint8_t RxTrace[TraceCapacity]{};
    int RxTraceLength = 0;
    // The monitor is shown: frames are handed to the UI thread only then.
    std::atomic<bool> Shown{false};
    // Local date and time of a header line; null means the PC's clock.
    std::function<QDateTime()> Clock;
};

// The memo keeps at most this many lines before a frame is added; past it the
// oldest TraceTrimLines go in one cut.
constexpr int TraceMaxLines = 30000;
constexpr int TraceTrimLines = 2000;

// Header line of a frame without its " [TX]" / " [RX]" mark:
// "2021-01-19 13:05:07:042".
QString TraceTimeStamp(const QDateTime& at);
// The lines a frame adds to the memo: header (for a prefix starting with "TX"
// or "RX"), ten bytes per dump line as "10 40 01 " ..., and the separator
// after a received frame.
QStringList TraceLines(std::string_view prefix, const uint8_t* bytes, int count, const QDateTime& at);

// Any thread. prefix "TX..." or "RX..." ("TX:", "RX:", "RX(TCP):"): copies
// count bytes of buffer into TxTrace / RxTrace and has the UI thread append
// them, waiting until it has. Other prefixes are ignored.
void TraceFrame(TMainForm& form, std::string_view prefix, const uint8_t* buffer, int count);
// UI thread. Writes one frame into the memo; nothing while the monitor is off.
void AppendTrace(TMainForm& form, std::string_view prefix, const uint8_t* bytes, int count);
// UI thread. One line telling how many received bytes were left out of the
// memo; nothing while the monitor is off.
void AppendUntracedNote(TMainForm& form, int64_t count);

