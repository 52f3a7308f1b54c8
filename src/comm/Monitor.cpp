#include "comm/Monitor.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstring>

#include "app/MainForm.h"
#include "app/Text.h"
#include "comm/UiThread.h"
#include "core/TextHelpers.h"

namespace {

constexpr int TraceBytesPerLine = 10;
const QLatin1String TraceSeparator("-----------------------------");

bool StartsWith(std::string_view text, std::string_view head)
{
    return text.substr(0, head.size()) == head;
}

// Widths of the window with and without the monitor, and where the monitor
// lies when it is shown or parked right of the window.
constexpr int WindowWidthPlain = 1125;
constexpr int WindowWidthMonitor = 1520;
constexpr int WindowHeight = 660;
constexpr int MonitorLeftShown = 1128;
constexpr int MonitorLeftParked = 1464;
constexpr int MonitorRightMargin = 10;

void CountLines(TMainForm& f)
{
    f.TraceLineCount = f.Memo_Com_Win->document()->blockCount();
}

} // namespace

QString TraceTimeStamp(const QDateTime& at)
{
    const QDate d = at.date();
    const QTime t = at.time();
    const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return QString::number(d.year()) + QLatin1Char('-') + two(d.month()) + QLatin1Char('-') + two(d.day()) +
           QLatin1Char(' ') + two(t.hour()) + QLatin1Char(':') + two(t.minute()) + QLatin1Char(':') +
           two(t.second()) + QLatin1Char(':') + QStringLiteral("%1").arg(t.msec(), 3, 10, QLatin1Char('0'));
}

QStringList TraceLines(std::string_view prefix, const uint8_t* bytes, int count, const QDateTime& at)
{
    QStringList lines;
    const bool tx = StartsWith(prefix, "TX");
    const bool rx = StartsWith(prefix, "RX");
    if (tx) lines << TraceTimeStamp(at) + QStringLiteral(" [TX]");
    if (rx) lines << TraceTimeStamp(at) + QStringLiteral(" [RX]");
    QString line;
    for (int i = 0; i < count; ++i) {
        line += QString::fromLatin1(ByteToHex(bytes[i])) + QLatin1Char(' ');
        if ((i + 1) % TraceBytesPerLine == 0 || i + 1 == count) {
            lines << line;
            line.clear();
        }
    }
    if (rx) lines << TraceSeparator;
    return lines;
}

namespace {

bool MonitorOn(const TMainForm& f)
{
    return f.CheckBoxAdministrator && f.CheckBoxAdministrator->isChecked() && f.Memo_Com_Win;
}

void AppendLines(TMainForm& f, const QStringList& lines)
{
    QTextDocument* doc = f.Memo_Com_Win->document();
    // One cut for the oldest lines: deleting them one by one would redraw and
    // re-layout the memo thousands of times.
    if (doc->blockCount() > TraceMaxLines) {
        QTextCursor cut(doc);
        cut.setPosition(0);
        cut.setPosition(doc->findBlockByNumber(TraceTrimLines).position(), QTextCursor::KeepAnchor);
        cut.removeSelectedText();
    }
    // The whole frame in one insertion, so it is laid out and drawn once.
    if (!lines.isEmpty()) f.Memo_Com_Win->appendPlainText(lines.join(QLatin1Char('\n')));
    CountLines(f);
}

QDateTime Now(const TMainForm& f)
{
    return f.Monitor.Clock ? f.Monitor.Clock() : QDateTime::currentDateTime();
}

} // namespace

void AppendTrace(TMainForm& f, std::string_view prefix, const uint8_t* bytes, int count)
{
    if (!MonitorOn(f)) return;
    AppendLines(f, TraceLines(prefix, bytes, std::max(count, 0), Now(f)));
}

void AppendUntracedNote(TMainForm& f, int64_t count)
{
    if (!MonitorOn(f) || count <= 0) return;
    AppendLines(f, {TraceTimeStamp(Now(f)) + QStringLiteral(" [RX]"),
                    QString::number(count) + Txt(TxtReceivedBytesNotShown, f.Language), TraceSeparator});
}

void TraceFrame(TMainForm& f, std::string_view prefix, const uint8_t* buffer, int count)
{
    const bool tx = StartsWith(prefix, "TX");
    if (!tx && !StartsWith(prefix, "RX")) return;
    // A count beyond the copy (or a negative one) must not write past it.
    const int n = buffer ? std::clamp(count, 0, MonitorState::TraceCapacity) : 0;
    uint8_t* copy = tx ? f.Monitor.TxTrace : f.Monitor.RxTrace;
    if (n > 0) std::memmove(copy, buffer, static_cast<size_t>(n));
    (tx ? f.Monitor.TxTraceLength : f.Monitor.RxTraceLength) = n;
    // A hidden monitor shows nothing: no hand-over per frame of a long read.
    if (!f.Monitor.Shown.load()) return;
    // Waits for the UI thread: the copy is overwritten by the next exchange.
    RunOnUiThread(
        f,
        [&f, tx] {
            if (tx)
                AppendTrace(f, "TX:", f.Monitor.TxTrace, f.Monitor.TxTraceLength);
            else
                AppendTrace(f, "RX:", f.Monitor.RxTrace, f.Monitor.RxTraceLength);
        },
        true);
}

void TMainForm::CheckBoxAdministratorClick()
{
    const bool shown = CheckBoxAdministrator && CheckBoxAdministrator->isChecked();
    Monitor.Shown = shown;
    if (shown) {
        resize(WindowWidthMonitor + LayoutOffsets[2], WindowHeight + LayoutOffsets[1]);
        if (Memo_Com_Win)
            Memo_Com_Win->setGeometry(MonitorLeftShown, Memo_Com_Win->y(),
                                      width() - MonitorLeftShown - MonitorRightMargin, Memo_Com_Win->height());
    } else {
        resize(WindowWidthPlain + LayoutOffsets[0], WindowHeight + LayoutOffsets[1]);
    }
    // The monitor needs the large layout's device column out of its way.
    if (RadioButton_Large) RadioButton_Large->setChecked(true);
    if (RadioButton_Small) RadioButton_Small->setChecked(false);
    if (!shown && Memo_Com_Win) Memo_Com_Win->move(MonitorLeftParked, Memo_Com_Win->y());
}

void TMainForm::CopyToClipboard1Click()
{
    if (!Memo_Com_Win) return;
    Memo_Com_Win->selectAll();
    Memo_Com_Win->copy();
}

void TMainForm::PopUpDeleteAllClick()
{
    if (!CheckBoxAdministrator || !CheckBoxAdministrator->isChecked() || !Memo_Com_Win) return;
    Memo_Com_Win->clear();
    CountLines(*this);
}

void TMainForm::PopUpSelectAllClick()
{
    if (!CheckBoxAdministrator || !CheckBoxAdministrator->isChecked() || !Memo_Com_Win) return;
    Memo_Com_Win->selectAll();
}
