#pragma once
// The communication monitor: every frame sent to or received from the meter,
// time-stamped and dumped in hexadecimal into Memo_Com_Win while the expert
// view is on. Frames are traced from any thread; the memo is written on the
// UI thread only. Also the hand-over of window work from the worker to the UI
// thread that the monitor and the activity indicators share.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>

class TMainForm;

// Codes of ShowComActivity.
enum TComActivity : uint8_t {
    caConnected = 225, // connected image
    caNone = 226,      // no image
    caTraffic = 227,   // traffic image for about half a second
};

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

// Whether the caller runs on the thread of the window (the UI thread).
bool OnUiThread(const TMainForm& form);
// Runs call on the UI thread: at once when already there, otherwise through
// the worker's hand-over (in order with its other calls), waiting for it to
// return when wait is set. Once the worker's shut-down has begun, a call from
// another thread is dropped unrun.
void RunOnUiThread(TMainForm& form, std::function<void()> call, bool wait);
