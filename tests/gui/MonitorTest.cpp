// The communication monitor: the lines a frame leaves, the cut of the oldest
// lines, frames traced from the worker, the window widths and the popup menu.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "FormTest.h"
#include "WorkerTestSupport.h"
#include "app/MainForm.h"
#include "comm/Monitor.h"

namespace {

const QDateTime FixedTime(QDate(2021, 1, 19), QTime(13, 5, 7, 42));

class MonitorTest : public FormTest {
protected:
    void SetUp() override
    {
        MakeForm();
        form->Monitor.Clock = [] { return FixedTime; };
        form->CheckBoxAdministrator->setChecked(true);
    }

    QStringList Lines() const
    {
        QStringList lines;
        for (QTextBlock b = form->Memo_Com_Win->document()->begin(); b.isValid(); b = b.next())
            lines << b.text();
        return lines;
    }
    // Frames of the transceiver come from the frame buffers.
    void Send(const std::vector<uint8_t>& frame)
    {
        std::copy(frame.begin(), frame.end(), form->TxBuffer);
        TraceFrame(*form, "TX:", form->TxBuffer, static_cast<int>(frame.size()));
    }
    void Receive(const std::vector<uint8_t>& frame, std::string_view prefix = "RX:")
    {
        std::copy(frame.begin(), frame.end(), form->RxBuffer);
        TraceFrame(*form, prefix, form->RxBuffer, static_cast<int>(frame.size()));
    }

};

std::vector<uint8_t> Counting(int n)
{
    std::vector<uint8_t> v;
    for (int i = 0; i < n; ++i) v.push_back(static_cast<uint8_t>(i));
    return v;
}

TEST_F(MonitorTest, SentFrameGivesHeaderAndOneDumpLine)
{
    Send({0x10, 0x40, 0x01, 0x41, 0x16});
    EXPECT_EQ(Lines(), (QStringList{"2021-01-19 13:05:07:042 [TX]", "10 40 01 41 16 "}));
}

TEST_F(MonitorTest, ReceivedFrameIsSplitInTensAndClosedBySeparator)
{
    Receive(Counting(25));
    EXPECT_EQ(Lines(), (QStringList{"2021-01-19 13:05:07:042 [RX]", "00 01 02 03 04 05 06 07 08 09 ",
                                    "0A 0B 0C 0D 0E 0F 10 11 12 13 ", "14 15 16 17 18 ",
                                    "-----------------------------"}));
}

TEST_F(MonitorTest, DumpLineBreaks)
{
    struct Case {
        int count;
        int dumpLines;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{10, 1}, Case{11, 2}, Case{20, 2}, Case{255, 26}}) {
        form->Memo_Com_Win->clear();
        Send(Counting(c.count));
        const QStringList lines = Lines();
        EXPECT_EQ(lines.size(), 1 + c.dumpLines) << c.count;
        for (int i = 1; i < lines.size(); ++i) EXPECT_FALSE(lines[i].isEmpty()) << c.count;
    }
}

TEST_F(MonitorTest, TimeStampPadsEveryField)
{
    EXPECT_EQ(TraceTimeStamp(QDateTime(QDate(987, 2, 3), QTime(4, 5, 6, 7))), "987-02-03 04:05:06:007");
    EXPECT_EQ(TraceTimeStamp(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59, 999))), "2024-12-31 23:59:59:999");
}

TEST_F(MonitorTest, SocketReadIsAReceivedFrame)
{
    Receive({0x00, 0x01}, "RX(TCP):");
    EXPECT_EQ(Lines(), (QStringList{"2021-01-19 13:05:07:042 [RX]", "00 01 ", "-----------------------------"}));
}

TEST_F(MonitorTest, HiddenMonitorWritesNothingButStillCopies)
{
    Send({0x10, 0x5B, 0xFE, 0x59, 0x16});
    form->CheckBoxAdministrator->setChecked(false);
    Send({0x68, 0x03});
    Receive({0xE5});
    form->CopyToClipboard1->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "2021-01-19 13:05:07:042 [TX]\n10 5B FE 59 16 ");
    form->CheckBoxAdministrator->setChecked(true);
    EXPECT_EQ(Lines().size(), 2) << "frames of the hidden time do not appear later";
    // The copies are kept all the same.
    EXPECT_EQ(form->Monitor.TxTraceLength, 2);
    EXPECT_EQ(form->Monitor.TxTrace[0], 0x68);
    EXPECT_EQ(form->Monitor.RxTraceLength, 1);
}

TEST_F(MonitorTest, OversizedCountIsCutToTheCopy)
{
    std::vector<uint8_t> big(3000, 0xAB);
    TraceFrame(*form, "RX:", big.data(), static_cast<int>(big.size()));
    EXPECT_EQ(form->Monitor.RxTraceLength, MonitorState::TraceCapacity);
    TraceFrame(*form, "TX:", big.data(), -5);
    EXPECT_EQ(form->Monitor.TxTraceLength, 0);
    EXPECT_EQ(Lines().size(), 1 + 200 + 1 + 1);
}

TEST_F(MonitorTest, UnknownPrefixIsIgnored)
{
    Send({0x01});
    TraceFrame(*form, "XX:", form->TxBuffer, 1);
    EXPECT_EQ(Lines().size(), 2);
}

TEST_F(MonitorTest, OldestLinesGoInOneCutPastTheLimit)
{
    QStringList filler;
    for (int i = 1; i <= TraceMaxLines; ++i) filler << QString::number(i);
    form->Memo_Com_Win->setPlainText(filler.join('\n'));
    ASSERT_EQ(Lines().size(), 30000);

    Send({0x01}); // at 30000 lines nothing is cut
    QStringList lines = Lines();
    ASSERT_EQ(lines.size(), 30002);
    EXPECT_EQ(lines.first(), "1");

    form->Memo_Com_Win->setPlainText(filler.join('\n') + "\n30001");
    Send({0x02});
    lines = Lines();
    EXPECT_EQ(lines.size(), 30001 - 2000 + 2);
    EXPECT_EQ(lines.first(), "2001");
    EXPECT_EQ(lines.last(), "02 ");
    EXPECT_EQ(form->TraceLineCount, lines.size());
}

TEST_F(MonitorTest, WorkerFramesAreWrittenBeforeTheWorkerGoesOn)
{
    form->CreateComThread(form->TransportCode);
    std::atomic<int> step{0};
    std::thread worker([&] {
        for (uint8_t b = 0; b < 4; ++b) {
            form->TxBuffer[0] = b;
            TraceFrame(*form, "TX:", form->TxBuffer, 1);
            // The next frame reuses the buffer and the copy: the line must be out already.
            form->RxBuffer[0] = static_cast<uint8_t>(0xF0 + b);
            TraceFrame(*form, "RX:", form->RxBuffer, 1);
            ++step;
        }
    });
    EXPECT_TRUE(PumpUntil([&] { return step.load() == 4; }));
    worker.join();
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), 4 * 5);
    for (int b = 0; b < 4; ++b) {
        EXPECT_EQ(lines[b * 5 + 1], QStringLiteral("0%1 ").arg(b));
        EXPECT_EQ(lines[b * 5 + 3], QStringLiteral("F%1 ").arg(b));
    }
    EXPECT_TRUE(form->ShutdownWorker());
}

TEST_F(MonitorTest, ExpertViewWidensTheWindow)
{
    form->RadioButton_Small->setChecked(true);
    form->CheckBoxAdministrator->setChecked(false);
    form->CheckBoxAdministrator->setChecked(true);
    EXPECT_EQ(form->size(), QSize(1520, 660));
    EXPECT_EQ(form->Memo_Com_Win->x(), 1128);
    EXPECT_EQ(form->Memo_Com_Win->width(), 1520 - 1128 - 10);
    EXPECT_TRUE(form->RadioButton_Large->isChecked());
    EXPECT_FALSE(form->RadioButton_Small->isChecked());

    form->CheckBoxAdministrator->setChecked(false);
    EXPECT_EQ(form->size(), QSize(1125, 660));
    EXPECT_EQ(form->Memo_Com_Win->x(), 1464) << "parked right of the window";
    EXPECT_TRUE(form->RadioButton_Large->isChecked());
}

TEST_F(MonitorTest, PopupMenuActsOnlyOnAShownMonitor)
{
    EXPECT_EQ(form->CopyToClipboard1->text(), "Copy All To Clipboard");
    EXPECT_EQ(form->PopUpDeleteAll->text(), "Delete All");
    EXPECT_EQ(form->PopUpSelectAll->text(), "Select All");
    Send({0x01, 0x02});

    form->CheckBoxAdministrator->setChecked(false);
    form->PopUpSelectAll->trigger();
    EXPECT_FALSE(form->Memo_Com_Win->textCursor().hasSelection());
    form->PopUpDeleteAll->trigger();
    EXPECT_EQ(Lines().size(), 2);

    form->CheckBoxAdministrator->setChecked(true);
    form->PopUpSelectAll->trigger();
    EXPECT_EQ(form->Memo_Com_Win->textCursor().selectedText().size(),
              form->Memo_Com_Win->toPlainText().size());
    form->PopUpDeleteAll->trigger();
    EXPECT_EQ(form->Memo_Com_Win->toPlainText(), "");
    Send({0x03});
    EXPECT_EQ(Lines(), (QStringList{"2021-01-19 13:05:07:042 [TX]", "03 "}));
}

} // namespace
