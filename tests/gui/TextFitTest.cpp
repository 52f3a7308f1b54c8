// Every caption a person can see fits its control, in both languages, on the
// platform the test runs on: the main window in the states that bring out its
// parts, the progress window in the reports it shows, and the PS-Field window.
// Screenshots of what was checked go to the platform's screenshot folder.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <array>
#include <functional>
#include <memory>
#include <set>

#include "ToolWindowsTest.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Startup.h"
#include "app/Text.h"
#include "core/JobCodes.h"
#include "core/LoggerParsers.h"
#include "core/RecordCodes.h"
#include "FullDevice.h"
#include "RealDisplay.h"
#include "TextFit.h"
#include "setup/PSWin.h"

namespace {

using testsupport::Describe;
using testsupport::TextOverflows;

// What a person sees of a window: on a real display the screen's own pixels.
QImage Picture(QWidget* w)
{
    if (testsupport::OnX11() && w->isVisible()) return w->screen()->grabWindow(w->winId()).toImage();
    return w->grab().toImage();
}

void Save(QWidget* w, const QString& name)
{
    const QString dir = testsupport::ScreenshotDir();
    ASSERT_TRUE(QDir().mkpath(dir));
    EXPECT_TRUE(Picture(w).save(dir + QLatin1Char('/') + name + QStringLiteral(".png"))) << name.toStdString();
}

class TextFitTest : public ToolWindowsTest {
protected:
    void SetUp() override
    {
        SetUpApplication();
        StartWindows();
    }
    void SetLanguage(int language)
    {
        (language == 0 ? f().RadioButton_English : f().RadioButton_German)->setChecked(true);
        QApplication::processEvents();
    }
    static const char* Lang(int language) { return language == 0 ? "en" : "de"; }
};

// The fonts the windows ask for are the fonts the platform draws with.
TEST_F(TextFitTest, WindowsDrawWithTheFontsTheyAskFor)
{
    for (QWidget* w : {static_cast<QWidget*>(&f()), static_cast<QWidget*>(ProgrWinForm)}) {
        const QFontInfo used(w->font());
        EXPECT_EQ(used.family().toStdString(), w->font().family().toStdString()) << w->objectName().toStdString();
        EXPECT_EQ(used.pointSizeF(), w->font().pointSizeF()) << w->objectName().toStdString();
    }
}

TEST_F(TextFitTest, MainWindowCaptionsFitInBothLanguages)
{
    const struct {
        const char* state;
        std::function<void(TMainForm&)> enter;
    } states[] = {
        {"tcp", [](TMainForm& m) { m.RadioButton_Modbus_TCPIP->setChecked(true); }},
        {"rtu", [](TMainForm& m) { m.RadioButton_Modbus_RTU->setChecked(true); }},
        {"mbus", [](TMainForm& m) { m.RadioButton_MBus->setChecked(true); }},
        {"device", [](TMainForm& m) { testsupport::ConnectFullDevice(m); }},
        // The widest energies an interval read can show: both counters' full range.
        {"interval", [](TMainForm& m) {
             m.EPoutIntervalText = "E(P)out:  -4294967.295 MWh";
             m.EPinIntervalText = "E(P)in:  -4294967.295 MWh";
             m.ShowResultFields(rcDemandInterval);
         }},
    };
    for (const auto& s : states) {
        s.enter(f());
        for (int language : {0, 1}) {
            SetLanguage(language);
            const auto over = TextOverflows(&f());
            EXPECT_TRUE(over.empty()) << s.state << ", " << Lang(language) << ":" << Describe(over);
        }
    }
    for (int language : {0, 1}) {
        SetLanguage(language);
        for (QWidget* page : {f().Page_Measurement, f().Page_Energy, f().Page_Logger, f().Page_Setup, f().Page_Help}) {
            f().PageControl_Main->setCurrentWidget(page);
            QTest::qWait(30);
            Save(&f(), QStringLiteral("fit-%1-%2").arg(page->objectName(), QLatin1String(Lang(language))));
        }
    }
}

// Record bytes whose texts are the widest each field can show: the largest
// byte values, the last date and time of the century, and over the rows k
// every hexadecimal digit, every energy unit and both ends of the 32-bit and
// 16-bit ranges.
uint32_t WidestEnergy(int k) { return k % 2 ? 0x7FFFFFFFu : 0x80000000u; }
uint8_t HexDigits(int k) { return static_cast<uint8_t>(0x11 * (k % 16)); }

void PutLittle(uint8_t* at, uint32_t v, int bytes)
{
    for (int b = 0; b < bytes; ++b) at[b] = static_cast<uint8_t>(v >> (8 * b));
}
void PutBig(uint8_t* at, uint32_t v, int bytes)
{
    for (int b = 0; b < bytes; ++b) at[b] = static_cast<uint8_t>(v >> (8 * (bytes - 1 - b)));
}

CDemandLogger WidestDemand(int k, bool recordNumbers)
{
    CDemandLogger r;
    if (recordNumbers) {
        std::array<uint8_t, Variant2DemandRecordBytes> d{};
        PutBig(&d[0], 0xFFFFFFFFu, 4);
        for (auto [at, v] : {std::pair{4, 2099}, {6, 12}, {8, 31}, {10, 23}, {12, 59}}) PutBig(&d[at], v, 2);
        PutBig(&d[14], WidestEnergy(k), 4);
        PutBig(&d[20], WidestEnergy(k), 4);
        d[27] = static_cast<uint8_t>(k % 7);
        for (int b = 28; b < 32; ++b) d[b] = HexDigits(k);
        d[33] = 0xFF;
        EXPECT_EQ(ParseVariant2DemandRecord(d, r), TParseResult::Reported);
    } else {
        std::array<uint8_t, DemandRecordBytes> p{};
        p[2] = 0xFF;
        p[3] = static_cast<uint8_t>(k % 7);
        for (int at = 4; at < 20; at += 4) PutLittle(&p[at], WidestEnergy(k), 4);
        for (int b = 24; b < 28; ++b) p[b] = HexDigits(k);
        p[28] = p[29] = 59;
        p[30] = 23;
        p[31] = 31;
        p[32] = 12;
        PutLittle(&p[33], 2099, 2);
        p[35] = 0xFF;
        EXPECT_EQ(ParseDemandRecord(p, r), TParseResult::Reported);
    }
    return r;
}

EventRecord WidestEvent(int k)
{
    std::array<uint8_t, EventRecordBytes> p{};
    for (int b = 2; b < 10; ++b) p[b] = HexDigits(k);
    p[14] = p[15] = 59;
    p[16] = 23;
    p[17] = 31;
    p[18] = 12;
    PutLittle(&p[19], 2099, 2);
    EventRecord r;
    EXPECT_EQ(ParseEventRecord(p, r), TParseResult::Reported);
    return r;
}

CCertifiedLogger WidestCertified(int k)
{
    std::array<uint8_t, CertifiedRecordBytes> d{};
    const uint32_t end16 = k % 2 ? 0x7FFF : 0x8000;
    PutBig(&d[0], end16, 2);
    PutBig(&d[2], end16, 2);
    for (int stamp : {4, 16})
        for (auto [at, v] : {std::pair{0, 2099}, {2, 12}, {4, 31}, {6, 23}, {8, 59}, {10, 59}})
            PutBig(&d[static_cast<size_t>(stamp + at)], static_cast<uint32_t>(v), 2);
    d[29] = HexDigits(k);
    CCertifiedLogger r;
    EXPECT_EQ(ParseCertifiedRecord(d, r), TParseResult::Reported);
    return r;
}

// Every record of the largest read, and the rows to check: the header and the
// last sixteen, which hold the widest index and every variation of the records.
template <typename Store, typename Make>
std::vector<int> FillLargestRead(Store& store, size_t count, Make make)
{
    for (size_t k = 0; k < count; ++k) *store.ForWrite(k) = make(static_cast<int>(k % 16));
    std::vector<int> rows = {0};
    for (size_t k = count - 16; k < count; ++k) rows.push_back(static_cast<int>(k) + 1);
    return rows;
}

// The widest value of every column fits it at the default widths, in both
// languages and both demand layouts.
TEST_F(TextFitTest, LoggerGridCellsFitTheirColumnsAtTheDefaultWidths)
{
    TMainForm& m = f();
    m.PageControl_Main->setCurrentWidget(m.Page_Logger);
    struct Demand {
        const char* name;
        uint8_t variant;
        size_t count;  // the largest read
    } demands[] = {{"period", 1, 16000}, {"record-numbers", 2, 168000}};
    for (const Demand& d : demands) {
        m.DeviceVariant = d.variant;
        m.HasReactiveEnergy = 1;
        m.SetDemandGridDefaultWidths();
        const std::vector<int> rows =
            FillLargestRead(m.DemandRecords, d.count, [&](int k) { return WidestDemand(k, d.variant == 2); });
        m.DemandItemCount = m.RecordCount = static_cast<int>(d.count);
        m.FillDemandLoggerGrid();
        m.StringGrid_DemandLogger->scrollToBottom();
        for (int language : {0, 1}) {
            SetLanguage(language);
            const auto over = testsupport::GridCellOverflows(*m.StringGrid_DemandLogger, rows);
            EXPECT_TRUE(over.empty()) << d.name << ", " << Lang(language) << ":" << Describe(over);
            m.PageControl_Logger->setCurrentWidget(m.Page_DemandLogger);
            QTest::qWait(30);
            Save(&m, QStringLiteral("fit-grid-demand-%1-%2").arg(QLatin1String(d.name), QLatin1String(Lang(language))));
        }
    }

    const std::vector<int> eventRows = FillLargestRead(m.EventRecords, 256, WidestEvent);
    m.EventItemCount = 256;
    m.ShowEventsLogger();
    const std::vector<int> certifiedRows = FillLargestRead(m.CertifiedRecords, 4001, WidestCertified);
    m.RecordCount = 4001;
    m.SetCertifiedGridDefaultWidths();
    m.FillCertifiedLoggerGrid();
    for (int language : {0, 1}) {
        SetLanguage(language);
        for (auto [grid, rows, page] : {std::tuple{m.StringGrid_EventsLogger, eventRows, m.Page_EventsLogger},
                                        std::tuple{m.StringGrid_CertifiedLogger, certifiedRows, m.Page_CertifiedLogger}}) {
            const auto over = testsupport::GridCellOverflows(*grid, rows);
            EXPECT_TRUE(over.empty()) << Lang(language) << ":" << Describe(over);
            grid->scrollToBottom();
            m.PageControl_Logger->setCurrentWidget(page);
            QTest::qWait(30);
            Save(&m, QStringLiteral("fit-grid-%1-%2").arg(page->objectName(), QLatin1String(Lang(language))));
        }
    }
}

// Line texts of a report, and its bar, that lie under a shown icon.
std::vector<std::string> LinesUnderIcons(TProgrWinForm& w)
{
    std::vector<std::string> out;
    for (QLabel* icon : {w.ProgrWinIconInfo, w.ProgrWinIconError, w.ProgrWinIconWarning})
        if (!icon->isHidden() && !w.ProgrWin_ProgressBar->isHidden() &&
            w.ProgrWin_ProgressBar->geometry().intersects(icon->geometry()))
            out.push_back("bar under " + icon->objectName().toStdString());
    for (QLabel* line : {w.Label_ProgrBar0, w.Label_ProgrBar1, w.Label_ProgrBar2, w.Label_ProgrBar3}) {
        if (line->isHidden() || line->text().isEmpty()) continue;
        const QSize size(QFontMetrics(line->font()).horizontalAdvance(line->text()), line->height());
        const QRect text = QStyle::alignedRect(Qt::LeftToRight, line->alignment(), size, line->geometry());
        for (QLabel* icon : {w.ProgrWinIconInfo, w.ProgrWinIconError, w.ProgrWinIconWarning})
            if (!icon->isHidden() && text.intersects(icon->geometry()))
                out.push_back(line->text().toStdString() + " under " + icon->objectName().toStdString());
    }
    return out;
}

// The reports with the longest lines, as their callers make them.
TEST_F(TextFitTest, ProgressWindowLinesFitBesideTheIconInBothLanguages)
{
    struct Report {
        const char* name;
        int icon, barTimer, busy, layout;
        const LangText* caption;
        const LangText *line1, *line2, *line3, *button;
        int progressKind;  // a worker report made while the window is up, or 0
        bool counting = false;  // with the bar, as after a read into a file
    };
    const Report reports[] = {
        {"finished", 0, 0, 0, 1, &TxtInformation, &TxtOperationFinished, nullptr, nullptr, &TxtOk, 0},
        {"reconnect", 0, 0, 0, 1, &TxtInformation, &TxtReconnectionRequired, nullptr, nullptr, &TxtOk, 0},
        {"locked", 0, 0, 0, 2, &TxtInformation, &TxtTariffNotChanged, &TxtDeviceLocked, nullptr, &TxtOk, 0},
        {"tariff", 0, 0, 0, 3, &TxtInformation, &TxtNewTariffActivatedLine1, &TxtNewTariffActivatedLine2,
         &TxtNewSettingAccepted, &TxtOk, 0},
        {"accepted", 0, 0, 0, 1, &TxtInformation, &TxtNewSettingAccepted, nullptr, nullptr, &TxtOk, 0},
        {"not-available", 1, 0, 0, 1, &TxtError, &TxtDeviceNotAvailableTcp, nullptr, nullptr, &TxtOk, 0},
        {"port-range", 1, 0, 0, 1, &TxtError, &TxtPortValueInRange165535, nullptr, nullptr, &TxtOk, 0},
        {"connecting", 0, 1, 1, 1, &TxtConnecting, &TxtWait, nullptr, nullptr, &TxtCancel, 0},
        {"scan", 0, 0, 1, 1, &TxtScanning, nullptr, nullptr, nullptr, &TxtCancel, pkAddressScan},
        {"demand-saving", 0, 0, 1, 1, &TxtDataReading, nullptr, nullptr, nullptr, &TxtCancel, pkDemandRecord},
        {"demand-saved", 0, 0, 0, 1, &TxtInformation, &TxtNumberOfDemandItems, nullptr, nullptr, &TxtOk, 0, true},
        {"certified-saved", 0, 0, 0, 1, &TxtInformation, &TxtNumberOfItems, nullptr, nullptr, &TxtOk, 0, true},
    };
    f().CheckBox_Demand_SaveToFile->setChecked(true);
    f().DeviceVariant = 2;
    f().RecordCount = 168000;  // the longest count a report appends
    for (int language : {0, 1}) {
        SetLanguage(language);
        for (const Report& r : reports) {
            auto text = [language](const LangText* t) { return t ? Txt(*t, language) : QString(); };
            const bool seen = testsupport::InspectModal(
                [&] {
                    const int counting = r.progressKind || r.counting ? 1 : 0;
                    ProgrWinForm->ShowProgress(7, r.icon, counting, r.barTimer, r.busy, r.layout, text(r.caption),
                                               text(r.line1), {}, text(r.line2), text(r.line3), text(r.button), 0);
                },
                [&](QDialog*) {
                    // The last item of a large read: the longest item line.
                    if (r.progressKind) ProgrWinForm->UpdateProgress(1999, 2001, r.progressKind);
                    QApplication::processEvents();
                    const auto over = TextOverflows(ProgrWinForm);
                    EXPECT_TRUE(over.empty()) << r.name << ", " << Lang(language) << ":" << Describe(over);
                    const auto under = LinesUnderIcons(*ProgrWinForm);
                    EXPECT_TRUE(under.empty()) << r.name << ", " << Lang(language) << ": " << ::testing::PrintToString(under);
                    // Beside the icon of a counting report the bar starts right of it and
                    // ends where it ends without an icon.
                    const QProgressBar* bar = ProgrWinForm->ProgrWin_ProgressBar;
                    EXPECT_TRUE(!r.counting || bar->isVisible()) << r.name;
                    if (bar->isVisible()) {
                        const int iconRight = ProgrWinForm->ProgrWinIconInfo->geometry().right();
                        const int left = r.counting ? iconRight + 1 + ProgrWinIconGap : ProgrWinBarLeft;
                        EXPECT_EQ(bar->x(), left) << r.name;
                        EXPECT_EQ(bar->x() + bar->width(), ProgrWinBarLeft + ProgrWinBarWidth) << r.name;
                    }
                    Save(ProgrWinForm, QStringLiteral("progress-%1-%2").arg(QLatin1String(r.name),
                                                                           QLatin1String(Lang(language))));
                });
            EXPECT_TRUE(seen) << r.name;
        }
    }
}

TEST_F(TextFitTest, PsFieldWindowCaptionsFitInBothLanguages)
{
    for (int language : {0, 1}) {
        SetLanguage(language);
        testsupport::InspectModal([] { PSWinForm->exec(); }, [&](QDialog*) {
            // Field names the window does not set itself yet are those of the table.
            for (int n = 1; n <= TPSWinForm::PSFieldCount; ++n)
                if (PSWinForm->PSFieldCheckBox(n)->text().isEmpty())
                    PSWinForm->PSFieldCheckBox(n)->setText(Txt(*TxtPsFields[n - 1], language));
            QApplication::processEvents();
            const auto over = TextOverflows(PSWinForm);
            EXPECT_TRUE(over.empty()) << Lang(language) << ":" << Describe(over);
            Save(PSWinForm, QStringLiteral("fit-pswin-%1").arg(QLatin1String(Lang(language))));
        });
    }
}

// The check finds a caption that is too long for its control, in each kind
// of control, and lets a wrapping label be.
TEST_F(TextFitTest, CheckFindsCaptionsTooLongForTheirControls)
{
    SetLanguage(0);
    f().RadioButton_MBus->setChecked(true);
    ASSERT_TRUE(TextOverflows(&f()).empty());
    const QString longText = QStringLiteral("A caption far too long for any control of this window");
    f().Label_Setup_Address->setText(longText);
    f().RadioButton_Scan_Baudrate->setText(longText);
    f().Button_Setup_Device_Connect->setText(longText);
    f().CheckBox_Demand_SaveToFile->setText(longText);
    f().Label_CT->setText(longText);
    f().Label_CT->setWordWrap(true);
    std::set<std::string> names;
    for (const auto& o : TextOverflows(&f())) names.insert(o.name);
    const std::set<std::string> expected = {"Label_Setup_Address", "RadioButton_Scan_Baudrate",
                                            "Button_Setup_Device_Connect", "CheckBox_Demand_SaveToFile"};
    EXPECT_EQ(names, expected);
}

} // namespace
