// No control of the main window that carries a caption is left without one, in
// either language: in the window as the program starts it, and with a device
// connected that brings out every part of the window. Hidden controls count as
// well, since a device or a click can reveal them.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "app/Startup.h"
#include "app/Text.h"
#include "FullDevice.h"
#include "RealDisplay.h"

namespace {

// Controls that show a value, a marker or a status that is empty as long as
// there is nothing to show. Every other label, button, group box and tab has a
// caption. Images (labels with a picture) are left out by their type; shapes,
// edits, lists and grids carry no caption and are not walked.
const std::set<QString> kTextless = {
    QStringLiteral("Label_FreqStat"),        QStringLiteral("Label_FreqStatSync"),
    QStringLiteral("Label_UStatus__L1"),     QStringLiteral("Label_UStatus__L2"),
    QStringLiteral("Label_UStatus__L3"),     QStringLiteral("Label_IStatus__L1"),
    QStringLiteral("Label_IStatus__L2"),     QStringLiteral("Label_IStatus__L3"),
    QStringLiteral("Label_Tarif_HW"),        // "HW" while the hardware input switches the tariff
    QStringLiteral("Label_Setup_Webserver"), // only a device with a web server has a line
    QStringLiteral("Label_suma"),            // the hidden count of ports found
    QStringLiteral("EPoutInterval"),         // the energies of an interval read
    QStringLiteral("EPinInterval"),
};

// The form's TStaticText components are all value fields.
bool IsValueField(const QWidget* w)
{
    return w->objectName().startsWith(QLatin1String("StaticText_")) || kTextless.count(w->objectName()) != 0;
}

// Parts that Qt builds inside its own composite widgets (the tab scroll
// arrows, a grid's corner button) carry no caption of ours.
bool InsideQtComposite(const QWidget* w, const QWidget* window)
{
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QTabBar*>(p) || qobject_cast<const QAbstractScrollArea*>(p) ||
            qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p))
            return true;
    return false;
}

// Shown as a person would find it on its page: the control and its groups are
// not hidden, whichever page is in front.
bool ShownOnItsPage(const QWidget* w, const QWidget* window)
{
    for (const QWidget* p = w; p && p != window; p = p->parentWidget())
        if (p->isHidden() && !qobject_cast<const QStackedWidget*>(p->parentWidget())) return false;
    return true;
}

struct MissingCaption {
    std::string name;
    const char* kind;
    bool shown;
};

// Each control of the main window without its caption. Dialogs the window
// owns are windows of their own and not walked.
std::vector<MissingCaption> EmptyCaptions(TMainForm& f)
{
    std::vector<MissingCaption> out;
    auto consider = [&](QWidget* w) {
        return w->window() == &f && !InsideQtComposite(w, &f) && !IsValueField(w);
    };
    auto report = [&](const QWidget* w, const char* kind) {
        out.push_back({w->objectName().toStdString(), kind, ShownOnItsPage(w, &f)});
    };
    for (QLabel* l : f.findChildren<QLabel*>())
        if (consider(l) && l->pixmap().isNull() && l->text().trimmed().isEmpty()) report(l, "label");
    for (QAbstractButton* b : f.findChildren<QAbstractButton*>())
        if (consider(b) && b->text().trimmed().isEmpty()) report(b, "button");
    for (QGroupBox* g : f.findChildren<QGroupBox*>())
        if (consider(g) && g->title().trimmed().isEmpty()) report(g, "group title");
    for (QTabWidget* t : f.findChildren<QTabWidget*>())
        if (consider(t))
            for (int i = 0; i < t->count(); ++i)
                if (t->tabText(i).trimmed().isEmpty()) report(t->widget(i), "tab");
    return out;
}

std::set<std::string> Names(const std::vector<MissingCaption>& missing)
{
    std::set<std::string> out;
    for (const MissingCaption& m : missing) out.insert(m.name);
    return out;
}

std::string Joined(const std::vector<MissingCaption>& missing)
{
    std::string s;
    for (const MissingCaption& m : missing)
        s += "\n  " + m.name + " (" + m.kind + (m.shown ? ", shown)" : ", hidden)");
    return s;
}

class CaptionCoverageTest : public ::testing::Test {
protected:
    // The window as the program starts it, with no stored settings.
    void SetUp() override
    {
        ASSERT_TRUE(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        windows_ = std::make_unique<TToolWindows>();
        f().show();
        QTest::qWait(100); // the first activation loads the settings
    }
    void TearDown() override { windows_.reset(); }

    TMainForm& f() { return windows_->Main(); }

    void SetLanguage(int language)
    {
        (language == 0 ? f().RadioButton_English : f().RadioButton_German)->setChecked(true);
        ASSERT_EQ(f().Language, language);
    }

    void ConnectFullDevice() { testsupport::ConnectFullDevice(f()); }

    // Every page and sub-page, for a person to look at.
    void SaveScreenshots(const char* state)
    {
        const QString dir = qEnvironmentVariable("SCREENSHOT_OUT", testsupport::ScreenshotDir());
        ASSERT_TRUE(QDir().mkpath(dir));
        const QString prefix = dir + QStringLiteral("/captions-%1-%2-").arg(QLatin1String(state),
                                                                            f().Language == 0 ? "en" : "de");
        auto save = [&](QWidget* page, QTabWidget* sub, QWidget* subPage) {
            f().PageControl_Main->setCurrentWidget(page);
            if (sub) sub->setCurrentWidget(subPage);
            QApplication::processEvents();
            const QString file = prefix + (subPage ? subPage : page)->objectName() + QStringLiteral(".png");
            EXPECT_TRUE(f().grab().save(file)) << file.toStdString();
        };
        save(f().Page_Measurement, nullptr, nullptr);
        for (QWidget* s : {f().Page_Values, f().Page_ResettableCounters, f().Page_FreezeCounters})
            save(f().Page_Energy, f().PageControl_Energy, s);
        for (QWidget* s : {f().Page_DemandLogger, f().Page_EventsLogger, f().Page_CertifiedLogger})
            save(f().Page_Logger, f().PageControl_Logger, s);
        save(f().Page_Setup, nullptr, nullptr);
        save(f().Page_Help, nullptr, nullptr);
        // The demand status legend over the device-information column.
        f().PageControl_Main->setCurrentWidget(f().Page_Logger);
        f().PageControl_Logger->setCurrentWidget(f().Page_DemandLogger);
        f().ShowDemandStatusHelp(1);
        QApplication::processEvents();
        EXPECT_TRUE(f().grab().save(prefix + QStringLiteral("legend.png")));
        f().ShowDemandStatusHelp(0);
    }

    QTemporaryDir config_;
    std::unique_ptr<TToolWindows> windows_;
};

TEST_F(CaptionCoverageTest, EveryCaptionIsSetAtStartUpInBothLanguages)
{
    for (int language : {0, 1, 0}) {
        SetLanguage(language);
        const auto empty = EmptyCaptions(f());
        EXPECT_TRUE(empty.empty()) << "language " << language << ", without caption:" << Joined(empty);
    }
    for (int language : {0, 1}) {
        SetLanguage(language);
        SaveScreenshots("startup");
    }
    // The serial transports show the port and scan groups.
    f().RadioButton_MBus->setChecked(true);
    ASSERT_EQ(f().TransportCode, tcMBus);
    for (int language : {0, 1}) {
        SetLanguage(language);
        const auto empty = EmptyCaptions(f());
        EXPECT_TRUE(empty.empty()) << "M-Bus, language " << language << ", without caption:" << Joined(empty);
        SaveScreenshots("mbus");
    }
}

TEST_F(CaptionCoverageTest, EveryCaptionIsSetWithAFullDeviceConnectedInBothLanguages)
{
    ConnectFullDevice();
    for (int language : {1, 0, 1}) {
        SetLanguage(language);
        const auto empty = EmptyCaptions(f());
        EXPECT_TRUE(empty.empty()) << "language " << language << ", without caption:" << Joined(empty);
    }
    f().ShowDemandStatusHelp(0);
    for (int language : {0, 1}) {
        SetLanguage(language);
        SaveScreenshots("device");
    }
}

// The frame line of a group box runs up to its title: a title without its
// blanks touches the line, one with two leaves a gap.
TEST_F(CaptionCoverageTest, GroupTitlesAreFramedByOneBlank)
{
    ConnectFullDevice();
    for (int language : {0, 1}) {
        SetLanguage(language);
        for (QGroupBox* g : f().findChildren<QGroupBox*>()) {
            if (g->window() != &f()) continue;
            const QString t = g->title();
            EXPECT_TRUE(t.size() > 2 && t.startsWith(QLatin1Char(' ')) && t.endsWith(QLatin1Char(' ')) &&
                        t != t.trimmed() && t.mid(1, t.size() - 2) == t.trimmed())
                << g->objectName().toStdString() << ": \"" << t.toStdString() << "\" in language " << language;
        }
    }
}

// The walk reaches hidden controls, every kind of caption and every tab, and
// its list of text-less controls names only controls the window has.
TEST_F(CaptionCoverageTest, WalkFindsEveryKindOfMissingCaption)
{
    SetLanguage(0);
    ASSERT_TRUE(EmptyCaptions(f()).empty());
    for (const QString& name : kTextless)
        EXPECT_NE(f().findChild<QWidget*>(name), nullptr) << name.toStdString() << " is not in the window";

    f().GroupBox_U1->hide();
    f().GroupBox_U1->setTitle(QString());
    f().RadioButton_Scan_Baudrate->setText(QString());
    f().Label_CT->setText(QString());
    f().PageControl_Logger->setTabText(f().PageControl_Logger->indexOf(f().Page_CertifiedLogger), QString());
    const auto empty = EmptyCaptions(f());
    const std::set<std::string> expected = {"Label_CT", "RadioButton_Scan_Baudrate", "GroupBox_U1",
                                            "Page_CertifiedLogger"};
    EXPECT_EQ(Names(empty), expected) << Joined(empty);
}

} // namespace
