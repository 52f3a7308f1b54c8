// Switching the language re-captions every page of the main window; the grid
// headers, help panes and the connection state follow.
#include <QAbstractButton>
#include <QCheckBox>
#include <QPushButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "app/MainForm.h"
#include "app/Shape.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "setup/PSWin.h"

// Readable failure output for texts.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TMainForm>();
        psWin = std::make_unique<TPSWinForm>(form.get());
        PSWinForm = psWin.get();
        MainForm = form.get();
        const QObject* used[] = {form->Button_Energie_MainCounters_StartMonitoring,
                                 form->Button_Measurement_StartMeasuring, form->Button_Setup_Device_Connect,
                                 form->Button_Setup_SerialPort_Refresh, form->ComboBox_Demand,
                                 form->ComboBox_Setup_DeviceBaudrate, form->GroupBox_DeviceAddress,
                                 form->GroupBox_EventsLogger, form->GroupBox_Network, form->GroupBox_Setup_Port,
                                 form->GroupBox_Setup_Protocol, form->Label_DeviceAddress, form->Label_HomeStatus,
                                 form->Label_Setup_ConnectStatus, form->Label_Setup_Webserver,
                                 form->PageControl_Logger, form->Page_EventsLogger, form->RichEdit_CertifiedLogger_Help,
                                 form->RichEdit_DemandLogger_Help_In, form->RichEdit_EventsLogger_Help,
                                 form->RichEdit_Help, form->StringGrid_CertifiedLogger, form->StringGrid_DemandLogger,
                                 form->StringGrid_EventsLogger, form->StringGrid_FreezeCounters,
                                 form->StringGrid_MainCounters, form->StringGrid_ResettableCounters};
        for (size_t i = 0; i < std::size(used); ++i) ASSERT_NE(used[i], nullptr) << "control " << i << " not built";
    }
    void TearDown() override
    {
        PSWinForm = nullptr;
        MainForm = nullptr;
        psWin.reset();
        form.reset();
    }

    void Switch(int language)
    {
        if (language == 0)
            form->RadioButton_EnglishClick();
        else
            form->RadioButton_GermanClick();
        ASSERT_EQ(form->Language, language);
    }

    // Every text the window shows: captions, group titles, tab texts, grid
    // header cells and the help panes, by the control's name.
    std::map<QString, QString> Captions() const
    {
        std::map<QString, QString> out;
        auto named = [](const QObject* o, const QString& what) { return o->objectName() + QLatin1Char('/') + what; };
        for (const QLabel* l : form->findChildren<QLabel*>()) out[named(l, "text")] = l->text();
        for (const QAbstractButton* b : form->findChildren<QAbstractButton*>()) out[named(b, "text")] = b->text();
        for (const QGroupBox* g : form->findChildren<QGroupBox*>()) out[named(g, "title")] = g->title();
        for (const QTabWidget* t : form->findChildren<QTabWidget*>())
            for (int i = 0; i < t->count(); ++i) out[named(t, QString::number(i))] = t->tabText(i);
        for (const QTextEdit* e : form->findChildren<QTextEdit*>()) out[named(e, "text")] = e->toPlainText();
        for (const TStringGrid* g : form->findChildren<TStringGrid*>())
            for (int c = 0; c < g->ColCount(); ++c) out[named(g, QString::number(c))] = g->Cell(c, 0);
        for (const QCheckBox* c : psWin->findChildren<QCheckBox*>()) out[named(c, "ps")] = c->text();
        return out;
    }

    static QString TabText(QTabWidget* tabs, QWidget* page) { return tabs->tabText(tabs->indexOf(page)); }

    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TPSWinForm> psWin;
};

struct CaptionSample {
    const char* what;
    QString (*read)(TMainForm&);
    const char* en;
    const char* de;
};

const QString kNoControl = QStringLiteral("<no control>");
QString text(QLabel* l) { return l ? l->text() : kNoControl; }
QString text(QAbstractButton* b) { return b ? b->text() : kNoControl; }
QString text(QGroupBox* g) { return g ? g->title() : kNoControl; }
QString tab(QTabWidget* t, QWidget* p) { return t && p ? t->tabText(t->indexOf(p)) : kNoControl; }

#define SAMPLE(ctrl, en, de) CaptionSample{#ctrl, [](TMainForm& f) { return text(f.ctrl); }, en, de}
#define TAB(tabs, page, en, de) CaptionSample{#page, [](TMainForm& f) { return tab(f.tabs, f.page); }, en, de}

// One or more controls of each page and group, in both languages.
const CaptionSample kSamples[] = {
    // Main frame and device information.
    SAMPLE(Label_Main, "Energy Meter / Help", "Energiezähler / Hilfe"),
    TAB(PageControl_Main, Page_Measurement, "Measurement", "Messwerte"),
    TAB(PageControl_Main, Page_Setup, "Setup", "Einstellungen"),
    TAB(PageControl_Main, Page_Help, "Help", "Hilfe"),
    SAMPLE(Label_Tariff, "Tariff:", "Tarif:"),
    SAMPLE(Label_Device_Type, "Device Type:", "Gerätetyp:"),
    SAMPLE(Label_Main_DeviceTime, "Device Date/Time:", "Gerätedatum/-zeit:"),
    SAMPLE(Label_Sec_ID, "ID Number:", "ID-Nummer:"),
    SAMPLE(Label_VT, "VT Ratio:", "VT-Verhältnis:"),
    SAMPLE(Label_CT, "CT Ratio:", "CT-Verhältnis:"),
    SAMPLE(Label_PrimaryAddress, "IP Address:", "IP-Adresse:"),
    // Measurement.
    SAMPLE(Button_Measurement_StartMeasuring, "Start Measuring", "Messung starten"),
    SAMPLE(Label_HomeStatus, "Status: The measuring is stopped.", "Status: Messung angehalten."),
    SAMPLE(GroupBox_Frequency, " Frequency ", " Frequenz "),
    SAMPLE(GroupBox_VoltageStatus, " Voltage Status ", " Spannungsstatus "),
    SAMPLE(Label_UStatus_L2, "L2:", "L2:"),
    SAMPLE(Label_IStatus_L3, "L3:", "L3:"),
    SAMPLE(Label_L1, "L1", "L1"),
    SAMPLE(Label_N, "N", "N"),
    SAMPLE(GroupBox_U13, " U13 ", " U13 "),
    SAMPLE(GroupBox_THD_U2, " THD U2 ", " THD U2 "),
    SAMPLE(GroupBox_THDI1, " THD I1 ", " THD I1 "),
    SAMPLE(GroupBox_IN, " IN ", " IN "),
    SAMPLE(GroupBox_PF3, " PF3 ", " PF3 "),
    SAMPLE(GroupBox_PTotal, " P Total ", " P gesamt "),
    SAMPLE(GroupBox_PFTotal, " PF Total ", " PF gesamt "),
    // Energy and its sub-pages.
    TAB(PageControl_Energy, Page_Values, "Values", "Zählerstände"),
    SAMPLE(GroupBox_MainCounters, " Values ", " Zählerstände "),
    SAMPLE(GroupBox_ResettableCounters, " Resettable Counters ", " Rückstellbare Zähler "),
    SAMPLE(Button_Energie_MainCounters_StartMonitoring, "Start Measuring", "Messung starten"),
    SAMPLE(Label_Energy_Values_Status, "Status: The Measuring is stopped.", "Status: Messung angehalten."),
    SAMPLE(Label_Energy_Type3, "Energy Type:", "Energieart:"),
    SAMPLE(GroupBox_Reset_Setup, " Reset Setup ", " Rückstellung einstellen "),
    SAMPLE(Button_Freeze_Set, "Set", "Setzen"),
    SAMPLE(Label_Energy_Freeze_Status, "Status: Ready to read data.", "Status: Bereit zum Lesen von Daten."),
    // Logger and its sub-pages.
    TAB(PageControl_Logger, Page_DemandLogger, "Demand Logger", "Zählerstandsgang"),
    TAB(PageControl_Logger, Page_EventsLogger, "Events Logger", "Betriebslogbuch"),
    SAMPLE(GroupBox_CertifiedLogger, " Certified Logger ", " Eichtechnisches Logbuch "),
    SAMPLE(GroupBoxDemandInterval, " Interval ", " Intervall "),
    SAMPLE(Button_Events_Read, "Read", "Lesen"),
    SAMPLE(CheckBox_Demand_SaveToFile, "Save To File", "In Datei speichern"),
    SAMPLE(CheckBoxIntervalToTable, "To Table", "In Tabelle"),
    SAMPLE(LabelDemandStatus, "Legend", "Legende"),
    SAMPLE(Label_DemandLogger_Help_In_X, "×", "×"),
    // Setup.
    SAMPLE(GroupBox_Setup_Protocol, " Network Protocol ", " Netzwerkprotokoll "),
    SAMPLE(RadioButton_MBus, "M-Bus", "M-Bus"),
    SAMPLE(RadioButton_Modbus_RTU, "Modbus RTU", "Modbus RTU"),
    SAMPLE(RadioButton_Modbus_TCPIP, "Modbus TCP/IP", "Modbus TCP/IP"),
    SAMPLE(GroupBox_Setup_Port, " Serial Port ", " Serielle Schnittstelle "),
    SAMPLE(GroupBox_Setup_TCPIP, " TCP/IP Connection ", " TCP/IP-Verbindung "),
    SAMPLE(RadioButton_Scan_Address, "By Address", "Nach Adresse"),
    SAMPLE(RadioButton_Scan_Baudrate, "By Baud Rate", "Nach Baudrate"),
    SAMPLE(RadioButton_German, "German", "Deutsch"),
    SAMPLE(Button_Setup_Device_Connect, "Connect Device", "Gerät verbinden"),
    SAMPLE(Label_Setup_ConnectStatus, "Status: Disconnected.", "Status: Verbindung getrennt."),
    SAMPLE(Label_Devices, "Devices (Address):", "Geräte (Adresse):"),
    SAMPLE(GroupBox_DeviceSetup, " Device Setup ", " Geräteeinstellung "),
    SAMPLE(Button_SendToDevice, "Send To Device", "An Gerät senden"),
    SAMPLE(CheckBoxAdministrator, "Show communication (for experts)", "Kommunikation anzeigen (für Experten)"),
};
#undef SAMPLE
#undef TAB

TEST_F(LanguageTest, EveryPageFollowsTheLanguage)
{
    form->TransportCode = tcModbusTcp;
    for (int language : {0, 1, 0}) {
        Switch(language);
        for (const CaptionSample& s : kSamples)
            EXPECT_EQ(s.read(*form), QString::fromUtf8(language == 0 ? s.en : s.de))
                << s.what << " in language " << language;
    }
}

TEST_F(LanguageTest, RadioButtonsSwitchOnlyOnARealChange)
{
    form->RadioButton_German->setChecked(true);
    EXPECT_EQ(form->Language, 1);
    EXPECT_EQ(form->Label_Main->text(), QString::fromUtf8("Energiezähler / Hilfe"));
    // Checking the button that is already checked applies nothing.
    form->Label_Main->setText(QStringLiteral("marker"));
    form->RadioButton_German->setChecked(true);
    EXPECT_EQ(form->Label_Main->text(), QStringLiteral("marker"));
    form->RadioButton_English->setChecked(true);
    EXPECT_EQ(form->Language, 0);
    EXPECT_FALSE(form->RadioButton_German->isChecked());
    EXPECT_EQ(form->Label_Main->text(), QStringLiteral("Energy Meter / Help"));
}

TEST_F(LanguageTest, ShapesAndDefaultMarkMoveWithTheLanguage)
{
    struct Row {
        int language, shapeLeft, lineWidth, defaultLeft;
    };
    for (const Row& r : {Row{1, 102, 293, 510}, Row{0, 116, 275, 568}}) {
        Switch(r.language);
        EXPECT_EQ(form->Shape_Energy->x(), r.shapeLeft);
        EXPECT_EQ(form->Shape_Energie_Horizontal->width(), r.lineWidth);
        EXPECT_EQ(form->LabelCertifiedDefault->x(), r.defaultLeft);
    }
}

TEST_F(LanguageTest, RoundTripGivesTheSameTexts)
{
    Switch(0);
    const auto english = Captions();
    Switch(1);
    const auto german = Captions();
    Switch(0);
    const auto again = Captions();

    EXPECT_EQ(again, english);
    // Enough of the window changed to show the German pass really ran.
    int changed = 0;
    for (const auto& [name, text] : english)
        if (german.at(name) != text) ++changed;
    EXPECT_GT(changed, 100);
}

TEST_F(LanguageTest, GridHeadersBeginWithOneBlank)
{
    for (int language : {0, 1}) {
        Switch(language);
        for (TStringGrid* g : {form->StringGrid_MainCounters, form->StringGrid_ResettableCounters,
                               form->StringGrid_FreezeCounters, form->StringGrid_DemandLogger,
                               form->StringGrid_EventsLogger, form->StringGrid_CertifiedLogger}) {
            ASSERT_NE(g, nullptr);
            for (int c = 0; c < g->ColCount(); ++c) {
                const QString h = g->Cell(c, 0);
                if (h.isEmpty()) continue; // hidden columns of a smaller logger
                EXPECT_TRUE(h.startsWith(' ') && !h.startsWith(QStringLiteral("  ")))
                    << g->objectName().toStdString() << " column " << c << ": [" << h.toStdString() << "]";
            }
        }
    }
    Switch(1);
    EXPECT_EQ(form->StringGrid_DemandLogger->Cell(1, 0), QStringLiteral(" Datum"));
    EXPECT_EQ(form->StringGrid_DemandLogger->Cell(2, 0), QStringLiteral(" Uhrzeit"));
    EXPECT_EQ(form->StringGrid_MainCounters->Cell(0, 0), QStringLiteral(" Tarif"));
    EXPECT_EQ(form->StringGrid_MainCounters->Cell(0, 9), QStringLiteral(" Total"));
    EXPECT_EQ(form->StringGrid_MainCounters->Cell(0, 3), QStringLiteral(" 3"));
    EXPECT_EQ(form->StringGrid_EventsLogger->Cell(4, 0), QStringLiteral(" Parameter[hex]"));
    EXPECT_EQ(form->StringGrid_CertifiedLogger->Cell(5, 0), QString::fromUtf8(" Prüfsumme[hex]"));
}

TEST_F(LanguageTest, DemandHeadersFollowTheLoggerSize)
{
    form->DeviceVariant = 0;
    Switch(0);
    TStringGrid* d = form->StringGrid_DemandLogger;
    EXPECT_EQ(d->Cell(3, 0), QStringLiteral(" Period"));
    EXPECT_EQ(d->Cell(7, 0), QStringLiteral(" E(Q)out"));
    EXPECT_EQ(d->Cell(9, 0), QStringLiteral(" Status 1, 2"));

    form->DeviceVariant = 2;
    form->SetGridHeaders();
    EXPECT_EQ(d->Cell(3, 0), QStringLiteral(" Record No."));
    EXPECT_EQ(d->Cell(7, 0), QString());
    EXPECT_EQ(d->Cell(8, 0), QString());
    EXPECT_EQ(d->Cell(9, 0), QStringLiteral(" Status 1, 2"));
    // The events tab of the large logger is called "Events".
    Switch(0);
    EXPECT_EQ(TabText(form->PageControl_Logger, form->Page_EventsLogger), QStringLiteral("Events"));
    EXPECT_EQ(form->GroupBox_EventsLogger->title(), QStringLiteral(" Events "));
}

TEST_F(LanguageTest, DemandItemCountsByLoggerSize)
{
    auto items = [&] {
        QStringList out;
        for (int i = 0; i < form->ComboBox_Demand->count(); ++i) out << form->ComboBox_Demand->itemText(i);
        return out;
    };
    form->DeviceVariant = 1;
    form->FillDemandItemCounts();
    EXPECT_EQ(items(), QStringList({"10", "50", "100", "500", "1000", "5000", "10000", "16000"}));
    form->DeviceVariant = 2;
    form->FillDemandItemCounts();
    EXPECT_EQ(items(), QStringList({"10", "50", "100", "500", "1000", "5000", "10000", "20000", "50000", "100000",
                                    "150000", "168000"}));
    // Filling twice does not pile the items up, and the count shown stays.
    form->ComboBox_Demand->setCurrentIndex(form->ComboBox_Demand->findText("500"));
    form->FillDemandItemCounts();
    EXPECT_EQ(form->ComboBox_Demand->count(), 12);
    EXPECT_EQ(form->ComboBox_Demand->currentText(), QStringLiteral("500"));
}

TEST_F(LanguageTest, ConnectedStatusIsTranslatedAndGroupsStayDisabled)
{
    form->TransportCode = tcModbusRtu;
    Switch(0);
    // What the result handler shows after a successful connect.
    form->Label_DeviceAddress->setText(QStringLiteral(" 17"));
    form->ShowConnectionState(2);
    form->Label_Setup_ConnectStatus->setText(Txt(TxtStatusDeviceConnected, 0));

    Switch(1);
    EXPECT_EQ(form->Label_Setup_ConnectStatus->text(), QString::fromUtf8("Status: Gerät verbunden."));
    EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Verbindung trennen"));
    for (QGroupBox* g : {form->GroupBox_Setup_Protocol, form->GroupBox_DeviceAddress, form->GroupBox_Setup_Port}) {
        EXPECT_FALSE(g->isEnabled()) << g->objectName().toStdString();
        EXPECT_EQ(g->palette().color(QPalette::Disabled, QPalette::WindowText), QColor(0xC0, 0xC0, 0xC0));
    }
    EXPECT_FALSE(form->ComboBox_Setup_DeviceBaudrate->isEnabled());
    EXPECT_TRUE(form->Button_Setup_SerialPort_Refresh->isHidden());
    EXPECT_TRUE(form->GroupBox_Network->isHidden());

    // Back to the disconnected state: groups open again.
    form->Label_DeviceAddress->setText(Txt(TxtNoValue, 1));
    Switch(0);
    EXPECT_EQ(form->Label_Setup_ConnectStatus->text(), QStringLiteral("Status: Disconnected."));
    EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Connect Device"));
    EXPECT_TRUE(form->GroupBox_Setup_Protocol->isEnabled());
    EXPECT_EQ(form->GroupBox_Setup_Protocol->palette().color(QPalette::Active, QPalette::WindowText),
              QColor(0xFE, 0xFE, 0xFE));
    EXPECT_TRUE(form->ComboBox_Setup_DeviceBaudrate->isEnabled());
    EXPECT_FALSE(form->GroupBox_Network->isHidden());
}

TEST_F(LanguageTest, UnknownStatusTextStaysWhileConnected)
{
    Switch(0);
    form->Label_DeviceAddress->setText(QStringLiteral(" 5"));
    form->Label_Setup_ConnectStatus->setText(QStringLiteral("Status: something else."));
    Switch(1);
    EXPECT_EQ(form->Label_Setup_ConnectStatus->text(), QStringLiteral("Status: something else."));
}

TEST_F(LanguageTest, ScanGroupStaysHiddenForModbusTcp)
{
    form->TransportCode = tcModbusTcp;
    form->GroupBox_Network->hide();
    Switch(1);
    EXPECT_TRUE(form->GroupBox_Network->isHidden());
    form->TransportCode = tcMBus;
    form->ShowConnectionState(1);
    EXPECT_FALSE(form->GroupBox_Network->isHidden());
}

TEST_F(LanguageTest, SwitchPutsRunningMeasurementCaptionsBackToStart)
{
    Switch(0);
    form->Button_Measurement_StartMeasuring->setText(Txt(TxtStopMeasuring, 0));
    form->Label_HomeStatus->setText(Txt(TxtStatusMeasuringInProgress, 0));
    form->Button_Energie_MainCounters_StartMonitoring->setText(Txt(TxtStopMonitoring, 0));
    Switch(1);
    EXPECT_EQ(form->Button_Measurement_StartMeasuring->text(), QStringLiteral("Messung starten"));
    EXPECT_EQ(form->Label_HomeStatus->text(), QStringLiteral("Status: Messung angehalten."));
    EXPECT_EQ(form->Button_Energie_MainCounters_StartMonitoring->text(), QStringLiteral("Messung starten"));
}

TEST_F(LanguageTest, WebserverLineByDeviceState)
{
    form->WebserverPresent = 1;
    form->WebserverEnabled = 1;
    Switch(1);
    EXPECT_EQ(form->Label_Setup_Webserver->text(), QStringLiteral("Webserver: aktiviert"));
    EXPECT_EQ(form->Label_Setup_Webserver->palette().color(QPalette::WindowText), QColor(0, 0xFF, 0));
    form->WebserverEnabled = 0;
    Switch(0);
    EXPECT_EQ(form->Label_Setup_Webserver->text(), QStringLiteral("Webserver: disabled"));
    EXPECT_EQ(form->Label_Setup_Webserver->palette().color(QPalette::WindowText), QColor(0xFE, 0xFE, 0xFE));
    form->WebserverPresent = 0;
    Switch(1);
    EXPECT_TRUE(form->Label_Setup_Webserver->text().isEmpty());
}

TEST_F(LanguageTest, HelpPanesInLanguageAndBrand)
{
    Switch(0);
    const QString help = form->RichEdit_Help->toPlainText();
    EXPECT_TRUE(help.startsWith(QStringLiteral("TORVA ORBICOUNT TOOL\n_________________________\n")));
    EXPECT_TRUE(help.contains(QStringLiteral("2.5 Help")));
    EXPECT_TRUE(form->RichEdit_EventsLogger_Help->toPlainText().startsWith(QStringLiteral("Diagnostic Event codes")));
    EXPECT_TRUE(form->RichEdit_CertifiedLogger_Help->toPlainText().startsWith(QStringLiteral("Event codes [hex]:")));
    // Each carriage return of the text is a line of its own in the pane.
    EXPECT_EQ(form->RichEdit_EventsLogger_Help->document()->blockCount(),
              QString::fromUtf8(TxtDiagnosticEventCodesEn).count('\r') + 1);

    Switch(1);
    EXPECT_TRUE(form->RichEdit_Help->toPlainText().contains(QString::fromUtf8("Empfohlene Bildschirmauflösung")));
    EXPECT_TRUE(form->RichEdit_EventsLogger_Help->toPlainText().startsWith(QStringLiteral("Codes zur Ereignisdiagnose")));

    form->Brand = 2;
    form->ShowHelpTexts();
    EXPECT_TRUE(form->RichEdit_Help->toPlainText().startsWith(QStringLiteral("NOLD QSL Setup Tool\n")));
}

TEST_F(LanguageTest, OpenDemandLegendIsRefilledInTheNewLanguage)
{
    form->DeviceVariant = 2;
    form->RichEdit_DemandLogger_Help_In->show();
    Switch(1);
    const QString legend = form->RichEdit_DemandLogger_Help_In->toPlainText();
    EXPECT_TRUE(legend.startsWith(QString::fromUtf8(" Zählerstandsgang Status 1 [hex]: ")));
    EXPECT_TRUE(legend.contains(QString::fromUtf8("Abrechnung verwendet werden")));

    form->DeviceVariant = 1;
    Switch(0);
    const QString english = form->RichEdit_DemandLogger_Help_In->toPlainText();
    EXPECT_TRUE(english.startsWith(QStringLiteral(" Demand Logger Status 1 [hex]: ")));
    EXPECT_FALSE(english.contains(QStringLiteral("for billing")));
}

} // namespace
