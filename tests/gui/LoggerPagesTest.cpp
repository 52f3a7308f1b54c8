// The logger pages after a read: the grids filled from the stores behind the
// result reports, their drawing, default widths and wide page, the CSV files
// and every way a file can fail to be written, and the read commands' checks.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

#include "ToolWindowsTest.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Startup.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "core/JobCodes.h"

namespace {

constexpr uint32_t kGrey = 0x808080;

class LoggerPagesTest : public ToolWindowsTest {
protected:
    void SetUp() override
    {
        StartWindows();
        f().RadioButton_English->setChecked(true);
        f().Label_DeviceAddress->setText(QStringLiteral("1"));
        f().DeviceTypeText = "Meter 3~";
        f().SerialNumberText = "12345678";
    }
    TProgrWinForm& w() { return *ProgrWinForm; }

    // Demand records 0..n-1 of the 32-register layout as the parsers store them.
    void FillDemand(int n)
    {
        for (int k = 0; k < n; ++k) {
            CDemandLogger& r = *f().DemandRecords.ForWrite(static_cast<size_t>(k));
            r = {" 2024-05-" + std::string(k < 9 ? "0" : "") + std::to_string(k + 1), "13:30:00", "15", " 1",
                 " 0.120 ", " " + std::to_string(k) + ".345 ", " kWh", " 0.500 ", " 3.500 ", " kVArh",
                 " 0040, 0001", ""};
        }
        f().DemandItemCount = n;
    }
    void FillCertified(int n)
    {
        for (int k = 0; k < n; ++k)
            *f().CertifiedRecords.ForWrite(static_cast<size_t>(k)) = {std::to_string(k + 1), " 2025-03-01  10:00:00",
                                                                      " 2025-03-01  10:05:30", "05", " 3C"};
        f().RecordCount = n;
    }
    void FillEvents(int n)
    {
        for (int k = 0; k < n; ++k)
            *f().EventRecords.ForWrite(static_cast<size_t>(k)) = {" 2024-05-07", "13:30:05", " 1A",
                                                                  " 01  02  03  04  05  06  07"};
        f().EventItemCount = n;
    }

    // Opens the progress window as a read command does and runs `inside` (a
    // result action, say) while it is up; the window is then closed with its
    // button. Returns the id of its last report.
    QString WithProgressOpen(const std::function<void()>& inside)
    {
        QTimer::singleShot(0, &w(), [&] {
            inside();
            if (w().isVisible()) w().Button_ProgrWin_Terminate->click();
        });
        // The window is the read's own, as a Read gives it to its job.
        f().JobWindow = w().WindowToShow();
        w().ShowProgress(44, 0, 1, 0, 0, 1, QString(), Txt(TxtDataReading, 0), QString(), QString(), QString(),
                         Txt(TxtCancel, 0), 10);
        return w().LabelIndex->text();
    }

    // Runs the result action of a posted code as the result handler does.
    void Result(uint8_t code)
    {
        f().UiRequest = code;
        f().HandleUiRequest();
    }

    // Answers every message box that opens with its default button and keeps their texts.
    void WatchMessageBoxes()
    {
        auto* t = new QTimer(&f());
        QObject::connect(t, &QTimer::timeout, &f(), [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxTexts_ << box->text();
                box->done(box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::Ok);
            }
        });
        t->start(5);
    }

    QTemporaryDir files_;
    QStringList boxTexts_;
};

void SendMouse(QWidget* w, QEvent::Type type, QPointF at)
{
    QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Click(QWidget* w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    SendMouse(w, QEvent::MouseButtonPress, at);
    SendMouse(w, QEvent::MouseButtonRelease, at);
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SaveScreenshot(QWidget& w, const char* name)
{
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    w.grab().toImage().save(QStringLiteral(SCREENSHOT_DIR "/") + QString::fromLatin1(name));
}

} // namespace

TEST_F(LoggerPagesTest, ResultsFillTheGridsBehindTheirReports)
{
    f().DeviceVariant = 1;
    f().HasReactiveEnergy = 1;
    f().SetGridHeaders();
    // An earlier, longer read left more records behind; only this read's rows show.
    FillDemand(100);
    FillDemand(12);
    EXPECT_EQ(WithProgressOpen([&] {
                  Result(urDemandLoggerRead);
                  EXPECT_EQ(w().windowTitle(), QStringLiteral("Information"));
                  EXPECT_EQ(w().Label_ProgrBar1->text(), QStringLiteral("The number of Demand items: 12"));
                  EXPECT_EQ(w().Button_ProgrWin_Terminate->text(), QStringLiteral("Ok"));
              }),
              QStringLiteral("91"));
    TStringGrid* g = f().StringGrid_DemandLogger;
    EXPECT_EQ(g->RowCount(), 13);
    EXPECT_EQ(g->Cell(0, 1), QStringLiteral(" 0"));
    EXPECT_EQ(g->Cell(5, 12), QStringLiteral(" 11.345  kWh"));
    EXPECT_EQ(g->Cell(3, 1), QStringLiteral(" 15 min."));
    EXPECT_EQ(g->Cell(1, 0), Txt(TxtHdrDate, 0));
    EXPECT_EQ(f().ComboBox_Demand->currentText(), QStringLiteral("12"));

    FillCertified(4);
    WithProgressOpen([&] { Result(urCertifiedLoggerRead); });
    EXPECT_EQ(f().StringGrid_CertifiedLogger->RowCount(), 5);
    EXPECT_EQ(f().StringGrid_CertifiedLogger->Cell(4, 4), QStringLiteral(" 05"));

    FillEvents(7);
    EXPECT_EQ(WithProgressOpen([&] { Result(urEventsLoggerRead); }), QStringLiteral("99"));
    EXPECT_EQ(f().StringGrid_EventsLogger->RowCount(), 8);
    EXPECT_EQ(f().StringGrid_EventsLogger->Cell(4, 7), QStringLiteral(" 01  02  03  04  05  06  07"));
    EXPECT_EQ(f().ComboBox_Events->currentText(), QStringLiteral("7"));

    // A newly connected device starts with empty grids.
    f().ClearMeasuredValues();
    EXPECT_EQ(f().StringGrid_DemandLogger->Cell(1, 1), QString());
}

TEST_F(LoggerPagesTest, HeaderAndSelectedRowsAreDrawnInTheirColours)
{
    FillDemand(5);
    f().SetGridHeaders();
    f().PageControl_Main->setCurrentWidget(f().Page_Logger);
    WithProgressOpen([&] { Result(urDemandLoggerRead); });
    TStringGrid* g = f().StringGrid_DemandLogger;
    const auto colourAt = [g](int row) {
        const QImage image = g->grab().toImage();
        return QColor(image.pixel(g->ColWidth(0) - 4, row * g->DefaultRowHeight() + 10)).rgb();
    };
    const QRgb light = QGuiApplication::palette().color(QPalette::Midlight).rgb();
    EXPECT_EQ(colourAt(0), ToQColor(ClrButtonFace).rgb());
    // Before any choice the first data row counts as selected.
    EXPECT_EQ(colourAt(1), light);
    EXPECT_EQ(colourAt(2), ToQColor(ClrBackground).rgb());
    g->SetRow(3);
    EXPECT_EQ(f().DemandSelectedRow, 3);
    EXPECT_EQ(colourAt(1), ToQColor(ClrBackground).rgb());
    EXPECT_EQ(colourAt(3), light);
}

TEST_F(LoggerPagesTest, DefaultWidthsAndTheWidePage)
{
    TStringGrid* g = f().StringGrid_DemandLogger;
    QLabel* mark = f().LabelDemandDefault;
    const auto grey = [mark] { return mark->palette().color(QPalette::WindowText) == ToQColor(kGrey); };
    f().SetDemandGridDefaultWidths();
    const int defaultWidth = g->ColWidth(2);
    ASSERT_TRUE(grey());
    Click(mark);
    EXPECT_EQ(g->ColWidth(2), defaultWidth);

    // The user drags a column border in the header row.
    QWidget* header = g->horizontalHeader();
    SendMouse(header, QEvent::MouseButtonPress, QPointF(5, 5));
    g->SetColWidth(2, defaultWidth + 40);
    SendMouse(header, QEvent::MouseButtonRelease, QPointF(5, 5));
    EXPECT_FALSE(grey());
    Click(mark);
    EXPECT_EQ(g->ColWidth(2), defaultWidth);
    EXPECT_TRUE(grey());

    // The arrow widens the demand page in the large window, and narrows it again.
    f().RadioButton_Large->setChecked(true);
    f().SetDemandLoggerLayout(0);
    Click(f().LabelDemandLargeArrow);
    EXPECT_EQ(g->width(), 1060);
    EXPECT_EQ(f().LabelDemandLargeArrow->text(), QStringLiteral("<"));
    Click(f().LabelDemandLargeArrow);
    EXPECT_EQ(g->width(), 805);
    // A drag acts once, not again when the button goes up.
    SendMouse(f().LabelDemandLargeArrow, QEvent::MouseButtonPress, QPointF(2, 2));
    SendMouse(f().LabelDemandLargeArrow, QEvent::MouseMove, QPointF(30, 2));
    SendMouse(f().LabelDemandLargeArrow, QEvent::MouseButtonRelease, QPointF(2, 2));
    EXPECT_EQ(g->width(), 1060);
}

TEST_F(LoggerPagesTest, CsvFilesAreWrittenWholeOrReportedInEveryLayout)
{
    WatchMessageBoxes();
    f().CheckBox_Demand_SaveToFile->setChecked(true);
    f().CheckBox_Certified_SaveToFile->setChecked(true);
    f().CheckBox_Events_SaveToFile->setChecked(true);
    f().TransportCode = tcModbusTcp;
    FillDemand(3);
    FillCertified(3);
    FillEvents(3);
    f().ComboBox_Events->setCurrentText(QStringLiteral("3"));
    f().RecordCount = 3;

    const QString good = files_.filePath(QStringLiteral("log.csv"));
    // A folder that cannot take the file (even for root), a missing folder, a full disk.
    const QString full = files_.filePath(QStringLiteral("full.csv"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), full));
    const QString failing[] = {QStringLiteral("/proc/logger.csv"), files_.filePath(QStringLiteral("none/log.csv")),
                               full};
    struct Writer {
        const char* name;
        uint8_t variant, reactive;
        std::function<bool()> write;
    } writers[] = {
        {"demand A", 2, 0, [this] { return f().WriteDemandLoggerCsv(); }},
        {"demand B", 1, 1, [this] { return f().WriteDemandLoggerCsv(); }},
        {"demand C", 1, 0, [this] { return f().WriteDemandLoggerCsv(); }},
        {"certified", 2, 0, [this] { return f().WriteCertifiedLoggerCsv(); }},
        {"events", 1, 0, [this] { return f().WriteEventsLoggerCsv(3); }},
    };
    for (const Writer& wr : writers) {
        f().DeviceVariant = wr.variant;
        f().HasReactiveEnergy = wr.reactive;
        for (const QString& target : failing) {
            boxTexts_.clear();
            f().CsvDialogFileName = f().CsvFileName = target.toStdString();
            EXPECT_FALSE(wr.write()) << wr.name << " " << target.toStdString();
            EXPECT_EQ(boxTexts_, QStringList{QStringLiteral("File was not saved.")}) << wr.name;
        }
        boxTexts_.clear();
        f().CsvDialogFileName = f().CsvFileName = good.toStdString();
        EXPECT_TRUE(wr.write()) << wr.name;
        EXPECT_TRUE(boxTexts_.isEmpty()) << wr.name;
        const QByteArray bytes = FileBytes(good);
        EXPECT_TRUE(bytes.endsWith(";\r\n")) << wr.name;
        EXPECT_EQ(bytes.count("\r\n"), 7 + 3) << wr.name;
    }
}

TEST_F(LoggerPagesTest, ASavedReadShowsItsRecordsWhetherTheFileIsWrittenOrNot)
{
    WatchMessageBoxes();
    FillDemand(6);
    f().CheckBox_Demand_SaveToFile->setChecked(true);
    const QString full = files_.filePath(QStringLiteral("full.csv"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), full));
    f().CsvDialogFileName = full.toStdString();
    WithProgressOpen([&] { Result(urDemandLoggerRead); });
    EXPECT_EQ(boxTexts_, QStringList{QStringLiteral("File was not saved.")});
    EXPECT_EQ(f().StringGrid_DemandLogger->RowCount(), 7);
    EXPECT_EQ(f().StringGrid_DemandLogger->Cell(1, 6), QStringLiteral(" 2024-05-06"));

    // Written whole: the report of the file, over the entries read.
    FillCertified(100);
    FillCertified(3);
    f().CheckBox_Certified_SaveToFile->setChecked(true);
    f().CsvDialogFileName = files_.filePath(QStringLiteral("certified.csv")).toStdString();
    EXPECT_EQ(WithProgressOpen([&] { Result(urCertifiedLoggerRead); }), QStringLiteral("192"));
    EXPECT_EQ(f().StringGrid_CertifiedLogger->RowCount(), 4);
    EXPECT_EQ(f().StringGrid_CertifiedLogger->Cell(1, 3), QStringLiteral(" 3"));

    // The large logger counts its records apart from the items walked: the
    // file holds the rows of its grid.
    f().DeviceVariant = 2;
    FillDemand(4);
    f().DemandItemCount = 3;
    f().RecordCount = 4;
    const QString large = files_.filePath(QStringLiteral("large.csv"));
    f().CsvDialogFileName = large.toStdString();
    EXPECT_EQ(WithProgressOpen([&] { Result(urDemandLoggerRead); }), QStringLiteral("92"));
    EXPECT_EQ(f().StringGrid_DemandLogger->RowCount(), 1 + 4);
    EXPECT_EQ(FileBytes(large).count("\r\n"), 7 + 4);
}

TEST_F(LoggerPagesTest, ReadCommandsCheckTheDeviceAndTheFile)
{
    WatchMessageBoxes();
    // No device identified: an error, no job, no file asked for.
    f().Label_DeviceAddress->setText(Txt(TxtNoValue, 0));
    int asked = 0;
    f().ChooseCsvFile = [&] {
        ++asked;
        return files_.filePath(QStringLiteral("demand.2024.csv"));
    };
    f().CheckBox_Demand_SaveToFile->setChecked(true);
    f().ComboBox_Demand->setCurrentText(QStringLiteral("1234567"));
    QTimer::singleShot(0, &w(), [&] { w().Button_ProgrWin_Terminate->click(); });
    f().Button_Demand_Read->click();
    EXPECT_EQ(w().LabelIndex->text(), QStringLiteral("42"));
    EXPECT_EQ(w().Label_ProgrBar1->text(), QStringLiteral("No device is connected."));
    EXPECT_EQ(f().ComboBox_Demand->currentText(), QStringLiteral("16000"));
    EXPECT_EQ(asked, 0);

    // Identified but neither port nor socket open.
    f().Label_DeviceAddress->setText(QStringLiteral("1"));
    QTimer::singleShot(0, &w(), [&] { w().Button_ProgrWin_Terminate->click(); });
    f().Button_Demand_Read->click();
    EXPECT_EQ(w().LabelIndex->text(), QStringLiteral("46"));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(f().CsvFileName, files_.filePath(QStringLiteral("demand.2024")).toStdString());

    // The file exists: the question names the file that would be replaced, and No ends the command.
    f().Label_DeviceAddress->setText(QStringLiteral("1"));
    QFile existing(files_.filePath(QStringLiteral("demand.2024.csv")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    w().LabelIndex->clear();
    f().Button_Demand_Read->click();
    ASSERT_EQ(boxTexts_.size(), 1);
    EXPECT_TRUE(boxTexts_[0].startsWith(existing.fileName() + QStringLiteral(" already exist.")));
    EXPECT_EQ(w().LabelIndex->text(), QString());

    // A cancelled dialog starts nothing either.
    f().ChooseCsvFile = [] { return QString(); };
    f().CheckBox_Events_SaveToFile->setChecked(true);
    f().Button_Events_Read->click();
    EXPECT_EQ(w().LabelIndex->text(), QString());
}

TEST_F(LoggerPagesTest, ScreenshotsOfTheLoggerPages)
{
    f().DeviceVariant = 1;
    f().HasReactiveEnergy = 1;
    f().EnergyTypeText = " Active and reactive energy";
    f().SetGridHeaders();
    f().SetDemandGridDefaultWidths();
    FillDemand(30);
    FillEvents(12);
    FillCertified(9);
    f().ComboBox_Events->setCurrentText(QStringLiteral("12"));
    f().PageControl_Main->setCurrentWidget(f().Page_Logger);
    WithProgressOpen([&] { Result(urDemandLoggerRead); });
    WithProgressOpen([&] { Result(urEventsLoggerRead); });
    WithProgressOpen([&] { Result(urCertifiedLoggerRead); });
    const char* names[] = {"logger-demand-filled.png", "logger-events-filled.png", "logger-certified-filled.png"};
    for (int page = 0; page < 3; ++page) {
        f().PageControl_Logger->setCurrentIndex(page);
        QApplication::processEvents();
        SaveScreenshot(f(), names[page]);
    }
    EXPECT_TRUE(QFile::exists(QStringLiteral(SCREENSHOT_DIR "/logger-demand-filled.png")));
}
