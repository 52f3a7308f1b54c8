// The component trees of the Logger and Setup pages and of the PS-Field
// Configuration window: names, kinds, places, edit masks and form defaults.
#include <QCheckBox>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "app/ColorButton.h"
#include "app/MainForm.h"
#include "app/Shape.h"
#include "app/StringGrid.h"
#include "app/Text.h"
#include "setup/PSWin.h"

namespace {

// Key presses as the keyboard sends them, one per character.
void TypeText(QWidget* w, const QString& text)
{
    for (QChar ch : text) {
        const int key = ch.isLetter() ? Qt::Key_A + (ch.toUpper().unicode() - 'A') : ch.unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
}

void PressKey(QWidget* w, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

struct Component {
    const char* name;
    const char* kind;  // class the widget must be (or derive from)
    std::function<QObject*(TMainForm&)> member;
};
#define COMPONENT(n, k) Component{#n, #k, [](TMainForm& f) -> QObject* { return f.n; }}

// Every control that the tool's behaviour names on the Logger page.
const std::vector<Component>& LoggerComponents()
{
    static const std::vector<Component> list{
        COMPONENT(PageControl_Logger, QTabWidget),
        COMPONENT(Shape_Logger, TShape),
        COMPONENT(Shape_Logger_horizontal, TShape),
        COMPONENT(Page_DemandLogger, QWidget),
        COMPONENT(Page_EventsLogger, QWidget),
        COMPONENT(Page_CertifiedLogger, QWidget),
        COMPONENT(GroupBox_DemandLogger, QGroupBox),
        COMPONENT(GroupBox_EventsLogger, QGroupBox),
        COMPONENT(GroupBox_CertifiedLogger, QGroupBox),
        COMPONENT(StringGrid_DemandLogger, TStringGrid),
        COMPONENT(StringGrid_EventsLogger, TStringGrid),
        COMPONENT(StringGrid_CertifiedLogger, TStringGrid),
        COMPONENT(RichEdit_EventsLogger_Help, QTextEdit),
        COMPONENT(RichEdit_CertifiedLogger_Help, QTextEdit),
        COMPONENT(LabelDemandLargeArrow, QLabel),
        COMPONENT(LabelDemandStatus, QLabel),
        COMPONENT(LabelDemandDefault, QLabel),
        COMPONENT(LabelCertifiedDefault, QLabel),
        COMPONENT(Label_Note_Demand_Logger, QLabel),
        COMPONENT(StaticText_EnergyType_Demand, QLabel),
        COMPONENT(Button_Demand_Read, QPushButton),
        COMPONENT(Button_Events_Read, QPushButton),
        COMPONENT(Button_Certified_Read, QPushButton),
        COMPONENT(Button_Demand_Interval_Read, QPushButton),
        COMPONENT(Label_Demand_Items, QLabel),
        COMPONENT(Label_Events_Items, QLabel),
        COMPONENT(CheckBox_Demand_SaveToFile, QCheckBox),
        COMPONENT(CheckBox_Events_SaveToFile, QCheckBox),
        COMPONENT(CheckBox_Certified_SaveToFile, QCheckBox),
        COMPONENT(ComboBox_Demand, QComboBox),
        COMPONENT(ComboBox_Events, QComboBox),
        COMPONENT(ComboBox_Certified, QComboBox),
        COMPONENT(GroupBoxDemandInterval, QGroupBox),
        COMPONENT(CheckBoxDemandInterval, QCheckBox),
        COMPONENT(LabelDemandIntervalFrom, QLabel),
        COMPONENT(LabelDemandIntervalTill, QLabel),
        COMPONENT(MaskEditIntervalDateFrom, QLineEdit),
        COMPONENT(MaskEditIntervalTimeFrom, QLineEdit),
        COMPONENT(MaskEditIntervalDateTill, QLineEdit),
        COMPONENT(MaskEditIntervalTimeTill, QLineEdit),
        COMPONENT(CalenderDateIntervalFrom, QDateEdit),
        COMPONENT(CalenderDateIntervalTill, QDateEdit),
        COMPONENT(CheckBoxIntervalToTable, QCheckBox),
        COMPONENT(EPoutInterval, QLabel),
        COMPONENT(EPinInterval, QLabel),
    };
    return list;
}

// The demand status legend opens over the device-information column.
const std::vector<Component>& LegendComponents()
{
    static const std::vector<Component> list{
        COMPONENT(RichEdit_DemandLogger_Help_In, QTextEdit),
        COMPONENT(Label_DemandLogger_Help_In_X, QLabel),
    };
    return list;
}

const std::vector<Component>& SetupComponents()
{
    static const std::vector<Component> list{
        COMPONENT(GroupBox_CommunicationSetup, QGroupBox),
        COMPONENT(GroupBox_Setup_Protocol, QGroupBox),
        COMPONENT(RadioButton_MBus, QRadioButton),
        COMPONENT(RadioButton_Modbus_RTU, QRadioButton),
        COMPONENT(RadioButton_Modbus_TCPIP, QRadioButton),
        COMPONENT(GroupBox_Setup_Port, QGroupBox),
        COMPONENT(ComboBox_Setup_Port_MBus, QComboBox),
        COMPONENT(ComboBox_Setup_Port_ModBus, QComboBox),
        COMPONENT(Button_Setup_SerialPort_Refresh, QPushButton),
        COMPONENT(Label_Baudrate, QLabel),
        COMPONENT(ComboBox_Setup_DeviceBaudrate, QComboBox),
        COMPONENT(ComboBox_Setup_DeviceSerialMode, QComboBox),
        COMPONENT(Label_suma, QLabel),
        COMPONENT(GroupBox_Setup_TCPIP, QGroupBox),
        COMPONENT(Label_IP_Address, QLabel),
        COMPONENT(MaskEdit_IPAddress, QLineEdit),
        COMPONENT(Edit_Setup_TCPIP_Port, QLineEdit),
        COMPONENT(GroupBox_DeviceAddress, QGroupBox),
        COMPONENT(Label_Setup_Address, QLabel),
        COMPONENT(RadioButtonPrimaryAddress, QRadioButton),
        COMPONENT(RadioButtonSecondaryAddress, QRadioButton),
        COMPONENT(MaskEdit_Setup_Primary_Address, QLineEdit),
        COMPONENT(MaskEdit_Setup_Sec_Address, QLineEdit),
        COMPONENT(MaskEdit_Setup_ModBus_Address, QLineEdit),
        COMPONENT(GroupBox_Network, QGroupBox),
        COMPONENT(Button_Setup_SearchDevices, QPushButton),
        COMPONENT(Label_Devices, QLabel),
        COMPONENT(Edit_Scan_PrimaryAddress, QLineEdit),
        COMPONENT(RadioButton_Scan_Address, QRadioButton),
        COMPONENT(RadioButton_Scan_Baudrate, QRadioButton),
        COMPONENT(Button_Setup_Device_Connect, QPushButton),
        COMPONENT(Label_Setup_ConnectStatus, QLabel),
        COMPONENT(Label_Setup_Webserver, QLabel),
        COMPONENT(GroupBox_DeviceSetup, QGroupBox),
        COMPONENT(Label_Setup_Command, QLabel),
        COMPONENT(ComboBox_DeviceSetup_Command, QComboBox),
        COMPONENT(MaskEdit_Set_Address, QLineEdit),
        COMPONENT(MaskEdit_Setup_SecondaryAddress, QLineEdit),
        COMPONENT(ComboBox_Change_Baudrate, QComboBox),
        COMPONENT(ComboBox_Set_Demand_Period, QComboBox),
        COMPONENT(MaskEdit_VT, QLineEdit),
        COMPONENT(MaskEdit_CT, QLineEdit),
        COMPONENT(MaskEdit_Change_Date, QLineEdit),
        COMPONENT(MaskEdit_Change_Time, QLineEdit),
        COMPONENT(Button_Setup_DateTime_Read, QPushButton),
        COMPONENT(CheckBox_SendPCTimeDate, QCheckBox),
        COMPONENT(CheckBox_ToAllDevices, QCheckBox),
        COMPONENT(ComboBox_Tariff, QComboBox),
        COMPONENT(ComboBox_Set_Webserver, QComboBox),
        COMPONENT(Button_SendToDevice, QPushButton),
        COMPONENT(GroupBox_Setup_Display, QGroupBox),
        COMPONENT(Label_RefreshTime, QLabel),
        COMPONENT(ComboBox_DisplayRefresh, QComboBox),
        COMPONENT(GroupBox_Setup_Language, QGroupBox),
        COMPONENT(RadioButton_English, QRadioButton),
        COMPONENT(RadioButton_German, QRadioButton),
        COMPONENT(GroupBox_Window, QGroupBox),
        COMPONENT(RadioButton_Large, QRadioButton),
        COMPONENT(RadioButton_Small, QRadioButton),
        COMPONENT(CheckBoxAdministrator, QCheckBox),
    };
    return list;
}
#undef COMPONENT

struct SetupLoggerControls : ::testing::Test {
    std::unique_ptr<TMainForm> form = std::make_unique<TMainForm>();
    TMainForm& f = *form;

    void ExpectComponents(const std::vector<Component>& list, QWidget* container)
    {
        for (const Component& c : list) {
            SCOPED_TRACE(c.name);
            QObject* member = c.member(f);
            ASSERT_NE(member, nullptr);
            EXPECT_EQ(member->objectName(), QString::fromLatin1(c.name));
            EXPECT_TRUE(member->inherits(c.kind)) << member->metaObject()->className();
            // Found by its name from the window, exactly once.
            EXPECT_EQ(f.findChildren<QObject*>(QString::fromLatin1(c.name)).size(), 1);
            if (container) {
                auto* w = qobject_cast<QWidget*>(member);
                ASSERT_NE(w, nullptr);
                EXPECT_TRUE(container->isAncestorOf(w));
            }
        }
    }
};

TEST_F(SetupLoggerControls, LoggerPageHoldsEveryNamedControl)
{
    ExpectComponents(LoggerComponents(), f.Page_Logger);
}

TEST_F(SetupLoggerControls, LegendLiesOnTheWindowOutsideThePages)
{
    ExpectComponents(LegendComponents(), nullptr);
    EXPECT_EQ(f.RichEdit_DemandLogger_Help_In->parentWidget(), &f);
    EXPECT_FALSE(f.PageControl_Main->geometry().intersects(f.RichEdit_DemandLogger_Help_In->geometry()))
        << "the legend must not lie under the narrow page control";
    EXPECT_TRUE(f.RichEdit_DemandLogger_Help_In->isHidden());
    EXPECT_TRUE(f.Label_DemandLogger_Help_In_X->isHidden());
    EXPECT_LE(f.RichEdit_DemandLogger_Help_In->geometry().right(), 1125);
}

TEST_F(SetupLoggerControls, SetupPageHoldsEveryNamedControl)
{
    ExpectComponents(SetupComponents(), f.Page_Setup);
}

TEST_F(SetupLoggerControls, LoggerSubPagesInTheirOrder)
{
    ASSERT_EQ(f.PageControl_Logger->count(), 3);
    EXPECT_EQ(f.PageControl_Logger->widget(0), f.Page_DemandLogger);
    EXPECT_EQ(f.PageControl_Logger->widget(1), f.Page_EventsLogger);
    EXPECT_EQ(f.PageControl_Logger->widget(2), f.Page_CertifiedLogger);
}

TEST_F(SetupLoggerControls, GridsHaveTheirColumnsAndOneHeaderRow)
{
    struct Row {
        TStringGrid* grid;
        int cols;
    };
    // The demand grid has ten columns unless the eleventh is switched on.
    for (const Row& r : {Row{f.StringGrid_DemandLogger, 10}, Row{f.StringGrid_EventsLogger, 5},
                         Row{f.StringGrid_CertifiedLogger, 6}}) {
        SCOPED_TRACE(r.grid->objectName().toStdString());
        EXPECT_EQ(r.grid->ColCount(), r.cols);
        EXPECT_EQ(r.grid->FixedRows(), 1);
        EXPECT_EQ(r.grid->DefaultRowHeight(), 20);
    }
}

TEST_F(SetupLoggerControls, CountBoxesAreEditableWithTheirChoices)
{
    struct Row {
        QComboBox* box;
        QStringList items;
    };
    const Row rows[] = {
        {f.ComboBox_Events, {"10", "20", "30", "40", "50", "100", "150", "200", "256"}},
        {f.ComboBox_Certified, {"10", "20", "50", "100", "200", "500", "1000", "2000", "4000"}},
        {f.ComboBox_Demand, {"10", "50", "100", "500", "1000", "5000", "10000", "16000"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.box->objectName().toStdString());
        EXPECT_TRUE(r.box->isEditable());
        QStringList items;
        for (int i = 0; i < r.box->count(); ++i) items << r.box->itemText(i);
        EXPECT_EQ(items, r.items);
        EXPECT_EQ(r.box->currentText(), QStringLiteral("10"));
        // A typed count is not added to the choices.
        r.box->lineEdit()->setText(QStringLiteral("77"));
        PressKey(r.box->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(r.box->count(), r.items.size());
    }
}

TEST_F(SetupLoggerControls, SetupListsCarryTheirFixedItems)
{
    struct Row {
        QComboBox* box;
        QStringList items;
    };
    const Row rows[] = {
        {f.ComboBox_Set_Demand_Period, {"1", "2", "3", "4", "5", "10", "15", "30", "60"}},
        {f.ComboBox_Tariff, {" Hardware", " 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8"}},
        {f.ComboBox_Setup_DeviceSerialMode,
         {" Data Bits: 8  Parity: Even  Stop Bits: 1", " Data Bits: 8  Parity: Odd   Stop Bits: 1",
          " Data Bits: 8  Parity: None  Stop Bits: 2", " Data Bits: 8  Parity: None  Stop Bits: 1"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.box->objectName().toStdString());
        QStringList items;
        for (int i = 0; i < r.box->count(); ++i) items << r.box->itemText(i);
        EXPECT_EQ(items, r.items);
    }
    // Lists whose items come with the language or the connection start empty.
    EXPECT_EQ(f.ComboBox_DeviceSetup_Command->count(), 0);
    EXPECT_EQ(f.ComboBox_Set_Webserver->count(), 0);
    EXPECT_EQ(f.ComboBox_Setup_Port_MBus->count(), 0);
    EXPECT_EQ(f.ComboBox_Setup_Port_ModBus->count(), 0);
}

TEST_F(SetupLoggerControls, HiddenTcpPortEditReads502)
{
    EXPECT_EQ(f.Edit_Setup_TCPIP_Port->text(), QStringLiteral("502"));
    EXPECT_TRUE(f.Edit_Setup_TCPIP_Port->isHidden());
    EXPECT_FALSE(f.Edit_Setup_TCPIP_Port->isEnabled());
    EXPECT_EQ(f.MaskEdit_IPAddress->displayText(), QStringLiteral("127.000.000.001"));
}

TEST_F(SetupLoggerControls, FormStartsWithTheDeviceSetupAndItsEditorsHidden)
{
    EXPECT_TRUE(f.GroupBox_DeviceSetup->isHidden());
    EXPECT_FALSE(f.ComboBox_DeviceSetup_Command->isEnabled());
    EXPECT_FALSE(f.Button_SendToDevice->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{
             f.MaskEdit_Set_Address, f.MaskEdit_Setup_SecondaryAddress, f.ComboBox_Change_Baudrate,
             f.ComboBox_Set_Demand_Period, f.MaskEdit_VT, f.MaskEdit_CT, f.ComboBox_Tariff,
             f.ComboBox_Set_Webserver, f.MaskEdit_Change_Date, f.MaskEdit_Change_Time,
             f.Button_Setup_DateTime_Read, f.CheckBox_SendPCTimeDate, f.CheckBox_ToAllDevices})
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_EQ(f.MaskEdit_Set_Address->text(), QStringLiteral("0"));
    EXPECT_EQ(f.MaskEdit_VT->text(), QStringLiteral("1"));
    EXPECT_EQ(f.MaskEdit_CT->text(), QStringLiteral("1"));
    EXPECT_TRUE(f.GroupBoxDemandInterval->isHidden());
    EXPECT_FALSE(f.GroupBoxDemandInterval->isEnabled());
    EXPECT_TRUE(f.Label_suma->isHidden());
    EXPECT_TRUE(f.RadioButton_Large->isChecked());
    EXPECT_FALSE(f.RadioButton_English->isChecked());
    EXPECT_FALSE(f.RadioButton_German->isChecked());
}

// Masked edits: what the user types, and what the edit then shows.
struct MaskCase {
    const char* edit;
    const char* typed;
    const char* shown;
    bool complete;  // every place filled
    int start = 0;  // where the caret stands when typing begins
};

class MaskedEdits : public SetupLoggerControls, public ::testing::WithParamInterface<MaskCase> {};

QLineEdit* EditByName(TMainForm& f, const char* name)
{
    return f.findChild<QLineEdit*>(QString::fromLatin1(name));
}

TEST_P(MaskedEdits, AcceptDigitsAndRefuseTheRest)
{
    const MaskCase& c = GetParam();
    QLineEdit* e = EditByName(f, c.edit);
    ASSERT_NE(e, nullptr) << c.edit;
    // As for a meter with the large demand logger, whose interval edits take input.
    f.GroupBoxDemandInterval->setEnabled(true);
    e->clear();
    e->setFocus();
    e->setCursorPosition(c.start);
    TypeText(e, QString::fromLatin1(c.typed));
    EXPECT_EQ(e->displayText(), QString::fromLatin1(c.shown));
    // Unfilled places show as blanks.
    EXPECT_EQ(!e->displayText().contains(QLatin1Char(' ')), c.complete);
}

INSTANTIATE_TEST_SUITE_P(
    LoggerAndSetup, MaskedEdits,
    ::testing::Values(
        MaskCase{"MaskEditIntervalDateFrom", "20210503", "2021-05-03", true},
        MaskCase{"MaskEditIntervalDateTill", "20x21a05b04", "2021-05-04", true},
        MaskCase{"MaskEditIntervalDateFrom", "2021", "2021-  -  ", false},
        MaskCase{"MaskEditIntervalTimeFrom", "1052", "10:52", true},
        MaskCase{"MaskEditIntervalTimeTill", "007", "00:7 ", false},
        MaskCase{"MaskEditIntervalTimeTill", "ab12345", "12:34", true},
        // Date and time of the device clock, the year in full; of the
        // placeholder's letters only its own in its place.
        MaskCase{"MaskEdit_Change_Date", "20240307", "2024-03-07", true},
        MaskCase{"MaskEdit_Change_Date", "x2024yM", "2024-M -  ", false},
        MaskCase{"MaskEdit_Change_FreezeDate", "Y027m0101", "Y027-01-01", true},
        MaskCase{"MaskEdit_Change_Time", "090502", "09:05:02", true},
        MaskCase{"MaskEdit_Change_Time", "123", "12:3 :  ", false},
        // New secondary address: eight digits, nothing else.
        MaskCase{"MaskEdit_Setup_SecondaryAddress", "123456789", "12345678", true},
        MaskCase{"MaskEdit_Setup_SecondaryAddress", "12F4", "124     ", false},
        // Secondary address to connect: digits and the wildcard F, in upper case.
        MaskCase{"MaskEdit_Setup_Sec_Address", "1234ffff", "1234FFFF", true},
        MaskCase{"MaskEdit_Setup_Sec_Address", "12g3", "123     ", false},
        MaskCase{"MaskEdit_IPAddress", "172016007005", "172.016.007.005", true},
        MaskCase{"MaskEdit_IPAddress", "10x1", "101.   .   .   ", false}));

// What a person sees in the main states of the two pages: no named control
// overlaps another that is shown at the same time, and each lies inside its
// parent. A picture of each state goes to the screenshot folder.
struct PageStates : SetupLoggerControls {
    void SetUp() override
    {
        // Shown, the window applies its settings as at start-up: on a fresh
        // machine the German captions, the longer ones.
        f.show();
        QApplication::processEvents();
    }
    void TearDown() override { f.hide(); }

    static bool Shown(QWidget* w, QWidget* top)
    {
        for (; w && w != top; w = w->parentWidget())
            if (w->isHidden()) return false;
        return true;
    }

    // Named children only: the parts inside Qt's own composite widgets are theirs.
    static std::vector<QWidget*> NamedChildren(QWidget* parent)
    {
        std::vector<QWidget*> out;
        for (QObject* o : parent->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w && !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")) &&
                !w->isWindow())
                out.push_back(w);
        }
        return out;
    }

    // The date pickers lie under their edits, the logger connector joins its
    // line, and the note sits in the free part of the sub-page tab row.
    bool Deliberate(QWidget* a, QWidget* b) const
    {
        if (qobject_cast<QDateEdit*>(a)) return true;
        if (a == f.Shape_Logger && b == f.Shape_Logger_horizontal) return true;
        if (a == f.Label_Note_Demand_Logger && b == f.PageControl_Logger) {
            const QTabBar* bar = f.PageControl_Logger->tabBar();
            QRect tabs;
            for (int i = 0; i < bar->count(); ++i)
                if (bar->isTabVisible(i)) tabs |= bar->tabRect(i);
            tabs.translate(bar->mapTo(f.Page_Logger, QPoint()));
            return !tabs.intersects(a->geometry()) && a->geometry().bottom() < bar->mapTo(f.Page_Logger, QPoint()).y() + bar->height();
        }
        return false;
    }

    void ExpectOrderly(QWidget* root, const char* state)
    {
        SCOPED_TRACE(state);
        QApplication::processEvents();
        std::vector<QWidget*> containers{root};
        for (QWidget* w : root->findChildren<QWidget*>()) containers.push_back(w);
        for (QWidget* parent : containers) {
            if (!Shown(parent, &f)) continue;
            std::vector<QWidget*> kids;
            for (QWidget* k : NamedChildren(parent))
                if (!k->isHidden()) kids.push_back(k);
            for (size_t i = 0; i < kids.size(); ++i) {
                EXPECT_TRUE(parent->rect().contains(kids[i]->geometry()))
                    << kids[i]->objectName().toStdString() << " leaves "
                    << parent->objectName().toStdString();
                for (size_t j = i + 1; j < kids.size(); ++j) {
                    if (Deliberate(kids[i], kids[j]) || Deliberate(kids[j], kids[i])) continue;
                    EXPECT_FALSE(kids[i]->geometry().intersects(kids[j]->geometry()))
                        << kids[i]->objectName().toStdString() << " overlaps "
                        << kids[j]->objectName().toStdString();
                }
            }
        }
        QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
        f.grab().save(QStringLiteral(SCREENSHOT_DIR "/pages-%1.png").arg(QLatin1String(state)));
    }

    void SetupDisconnected(bool tcp)
    {
        f.PageControl_Main->setCurrentWidget(f.Page_Setup);
        f.GroupBox_Setup_Port->setVisible(!tcp);
        f.GroupBox_Setup_TCPIP->setVisible(tcp);
        f.GroupBox_DeviceAddress->setVisible(!tcp);
        f.GroupBox_Network->setVisible(!tcp);
        f.Button_Setup_SerialPort_Refresh->setVisible(true);
        // M-Bus with primary addressing.
        for (QWidget* w : std::initializer_list<QWidget*>{f.RadioButtonPrimaryAddress, f.RadioButtonSecondaryAddress,
                                                          f.Label_Setup_Address, f.MaskEdit_Setup_Primary_Address})
            w->setVisible(!tcp);
        f.MaskEdit_Setup_Sec_Address->setVisible(false);
        f.MaskEdit_Setup_ModBus_Address->setVisible(false);
        f.GroupBox_DeviceSetup->setVisible(false);
        f.GroupBox_Setup_Display->move(f.GroupBox_Setup_Display->x(), 24);
    }

    void SetupConnected()
    {
        SetupDisconnected(false);
        f.GroupBox_Network->setVisible(false);
        f.Button_Setup_SerialPort_Refresh->setVisible(false);
        f.GroupBox_DeviceSetup->setVisible(true);
        f.GroupBox_Setup_Display->move(f.GroupBox_Setup_Display->x(), 232);
    }

    std::vector<QWidget*> Editors()
    {
        return {f.MaskEdit_Set_Address, f.MaskEdit_Setup_SecondaryAddress, f.ComboBox_Change_Baudrate,
                f.ComboBox_Set_Demand_Period, f.MaskEdit_VT, f.MaskEdit_CT, f.ComboBox_Tariff,
                f.ComboBox_Set_Webserver, f.MaskEdit_Change_Date, f.MaskEdit_Change_Time,
                f.Button_Setup_DateTime_Read, f.CheckBox_SendPCTimeDate, f.CheckBox_ToAllDevices};
    }

    void ShowOnly(std::initializer_list<QWidget*> shown)
    {
        for (QWidget* e : Editors()) e->setVisible(false);
        for (QWidget* e : shown) e->setVisible(true);
    }
};

TEST_F(PageStates, SetupPageOverTheTransportsAndTheConnection)
{
    SetupDisconnected(false);
    ExpectOrderly(f.Page_Setup, "setup-mbus");
    SetupDisconnected(true);
    ExpectOrderly(f.Page_Setup, "setup-tcp");

    SetupConnected();
    ShowOnly({f.Button_Setup_DateTime_Read, f.CheckBox_SendPCTimeDate, f.MaskEdit_Change_Time,
              f.MaskEdit_Change_Date, f.CheckBox_ToAllDevices});
    ExpectOrderly(f.Page_Setup, "setup-connected-datetime");
    for (QWidget* editor : Editors()) {
        ShowOnly({editor});
        ExpectOrderly(f.Page_Setup, "setup-connected-editor");
    }
    ShowOnly({f.CheckBox_ToAllDevices, f.ComboBox_Change_Baudrate});
    ExpectOrderly(f.Page_Setup, "setup-connected-baudrate");
    // A command without an editor raises the send button beside the list.
    ShowOnly({});
    f.Button_SendToDevice->move(f.Button_SendToDevice->x(), 80);
    ExpectOrderly(f.Page_Setup, "setup-connected-psfield");
}

TEST_F(PageStates, CommunicationColumnClosesUpAroundHiddenGroups)
{
    SetupDisconnected(false);
    QApplication::processEvents();
    const int serialTop = f.Button_Setup_Device_Connect->mapTo(f.Page_Setup, QPoint()).y();
    SetupDisconnected(true);
    QApplication::processEvents();
    const int tcpTop = f.Button_Setup_Device_Connect->mapTo(f.Page_Setup, QPoint()).y();
    EXPECT_LT(tcpTop, serialTop);
    EXPECT_LT(f.GroupBox_Setup_TCPIP->geometry().bottom(),
              f.Button_Setup_Device_Connect->mapTo(f.GroupBox_CommunicationSetup, QPoint()).y());
}

TEST_F(PageStates, ConnectButtonKeepsItsPlaceAsAColourButton)
{
    SetupDisconnected(false);
    QApplication::processEvents();
    QWidget* row = f.Button_Setup_Device_Connect->parentWidget();
    const QRect before = f.Button_Setup_Device_Connect->geometry();
    ReplaceWithColorButton(f.Button_Setup_Device_Connect, ClrButtonFace);
    // The row moves with the column; the button stays in the row.
    SetupDisconnected(true);
    QApplication::processEvents();
    EXPECT_EQ(f.Button_Setup_Device_Connect->parentWidget(), row);
    EXPECT_EQ(f.Button_Setup_Device_Connect->geometry().topLeft(), before.topLeft());
    EXPECT_FALSE(f.Button_Setup_Device_Connect->geometry().intersects(f.Label_Setup_ConnectStatus->geometry()));
}

TEST_F(PageStates, LoggerSubPagesWithAndWithoutTheIntervalGroup)
{
    f.PageControl_Main->setCurrentWidget(f.Page_Logger);
    for (QWidget* page : {f.Page_DemandLogger, f.Page_EventsLogger, f.Page_CertifiedLogger}) {
        f.PageControl_Logger->setCurrentWidget(page);
        ExpectOrderly(f.Page_Logger, page->objectName().toLatin1().constData());
    }
    f.PageControl_Logger->setCurrentWidget(f.Page_DemandLogger);
    f.GroupBoxDemandInterval->setVisible(true);
    f.GroupBoxDemandInterval->setEnabled(true);
    f.StringGrid_DemandLogger->resize(f.StringGrid_DemandLogger->width(), 298);
    ExpectOrderly(f.Page_Logger, "demand-interval");
    f.Label_Note_Demand_Logger->setVisible(true);
    f.PageControl_Logger->setTabVisible(0, false);
    f.PageControl_Logger->setTabVisible(2, false);
    ExpectOrderly(f.Page_Logger, "events-only");
}

TEST_F(PageStates, DemandLegendTakesThePlaceOfTheDeviceColumn)
{
    f.PageControl_Main->setCurrentWidget(f.Page_Logger);
    f.RichEdit_DemandLogger_Help_In->setPlainText(Txt(TxtDemandStatusLegendEn));
    f.RichEdit_DemandLogger_Help_In->setVisible(true);
    f.Label_DemandLogger_Help_In_X->setVisible(true);
    f.Label_DemandLogger_Help_In_X->setText(QStringLiteral("X"));
    f.Label_Parameters->setVisible(false);
    QApplication::processEvents();
    const QRect legend = f.RichEdit_DemandLogger_Help_In->geometry();
    EXPECT_TRUE(f.rect().contains(legend));
    EXPECT_FALSE(legend.intersects(f.PageControl_Main->geometry()));
    // The close mark lies on the legend, above it.
    EXPECT_TRUE(legend.contains(f.Label_DemandLogger_Help_In_X->geometry()));
    EXPECT_GT(f.children().indexOf(f.Label_DemandLogger_Help_In_X),
              f.children().indexOf(f.RichEdit_DemandLogger_Help_In));
    // Every line of the legend shows without a horizontal scroll bar.
    const QTextEdit* pane = f.RichEdit_DemandLogger_Help_In;
    EXPECT_LE(pane->document()->idealWidth(), pane->viewport()->width());
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    f.grab().save(QStringLiteral(SCREENSHOT_DIR "/pages-demand-legend.png"));
}

// The PS-Field Configuration window.
struct PSWindow : ::testing::Test {
    TPSWinForm w;
};

TEST_F(PSWindow, HoldsOneCheckBoxPerFieldInFourColumns)
{
    int perColumn[4] = {};
    int lastTop[4] = {0, 0, 0, 0};
    for (int n = 1; n <= TPSWinForm::PSFieldCount; ++n) {
        SCOPED_TRACE(n);
        const QString name = QStringLiteral("CheckBox%1").arg(n);
        auto* byName = w.findChild<QCheckBox*>(name);
        ASSERT_NE(byName, nullptr);
        EXPECT_EQ(w.PSFieldCheckBox(n), byName);
        EXPECT_EQ(byName->parentWidget(), w.GroupBoxPS);
        const int column = (n - 1) / 21;
        ++perColumn[column];
        // Down the column in field order, each box inside the group.
        EXPECT_GT(byName->y(), lastTop[column]);
        lastTop[column] = byName->y();
        EXPECT_TRUE(w.GroupBoxPS->rect().contains(byName->geometry()));
    }
    EXPECT_EQ(perColumn[0], 21);
    EXPECT_EQ(perColumn[1], 21);
    EXPECT_EQ(perColumn[2], 21);
    EXPECT_EQ(perColumn[3], 20);
    EXPECT_EQ(w.PSFieldCheckBox(0), nullptr);
    EXPECT_EQ(w.PSFieldCheckBox(84), nullptr);
    EXPECT_EQ(w.findChildren<QCheckBox*>().size(), 83);
}

TEST_F(PSWindow, ColumnsDoNotOverlap)
{
    for (int n = 1; n <= TPSWinForm::PSFieldCount; ++n)
        for (int m = n + 1; m <= TPSWinForm::PSFieldCount; ++m)
            EXPECT_FALSE(w.PSFieldCheckBox(n)->geometry().intersects(w.PSFieldCheckBox(m)->geometry()))
                << n << " and " << m;
}

TEST_F(PSWindow, FormCreationMakesColourButtonsAndKeepsSaveDisabled)
{
    struct Row {
        QPushButton* button;
        const char* name;
        bool enabled;
    };
    const Row rows[] = {
        {w.Button_PSField_SendToDevice, "Button_PSField_SendToDevice", true},
        {w.Button_PSField_LoadFromFile, "Button_PSField_LoadFromFile", true},
        {w.Button_PSField_SaveToFile, "Button_PSField_SaveToFile", false},
        {w.Button_PSField_SaveAsToFile, "Button_PSField_SaveAsToFile", true},
        {w.Button_PSField_Cancel, "Button_PSField_Cancel", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto* cb = qobject_cast<TColorButton*>(r.button);
        ASSERT_NE(cb, nullptr);
        EXPECT_EQ(cb->objectName(), QString::fromLatin1(r.name));
        EXPECT_EQ(cb->BackColor(), ClrButtonFace);
        EXPECT_EQ(cb->HoverColor(), ClrButtonFace);
        EXPECT_EQ(cb->isEnabled(), r.enabled);
        EXPECT_EQ(cb->parentWidget(), &w);
        EXPECT_EQ(w.findChildren<QPushButton*>(QString::fromLatin1(r.name)).size(), 1);
    }
}

TEST_F(PSWindow, FileDialogsAreMadeOnFirstUseForPsfFiles)
{
    EXPECT_EQ(w.dlg_saveas_psfield, nullptr);
    EXPECT_EQ(w.dlg_open_psfield, nullptr);
    EXPECT_EQ(w.SaveAsDialog()->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(w.OpenDialog()->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(w.OpenDialog()->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(w.SaveAsDialog()->defaultSuffix(), QStringLiteral("psf"));
    EXPECT_EQ(w.SaveAsDialog(), w.dlg_saveas_psfield);
}

TEST_F(PSWindow, EscapeDoesNotCloseTheWindow)
{
    w.show();
    QApplication::processEvents();
    PressKey(&w, Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());
    w.hide();
}

TEST_F(PSWindow, EveryFieldNameFitsItsBoxInBothLanguages)
{
    for (int language : {1, 0}) {
        for (int n = 1; n <= TPSWinForm::PSFieldCount; ++n) {
            QCheckBox* box = w.PSFieldCheckBox(n);
            box->setText(Txt(*TxtPsFields[n - 1], language));
            EXPECT_LE(box->sizeHint().width(), box->width())
                << "field " << n << " in language " << language << ": " << box->text().toStdString();
        }
    }
    // The window as the user sees it, in English.
    w.GroupBoxPS->setTitle(Txt(TxtPsFieldGroup, 0));
    w.setWindowTitle(Txt(TxtPsFieldConfiguration, 0));
    const std::pair<QPushButton*, const LangText*> buttons[] = {
        {w.Button_PSField_SendToDevice, &TxtPsButtonSendToDevice},
        {w.Button_PSField_LoadFromFile, &TxtPsButtonOpen},
        {w.Button_PSField_SaveToFile, &TxtPsButtonSave},
        {w.Button_PSField_SaveAsToFile, &TxtPsButtonSaveAs},
        {w.Button_PSField_Cancel, &TxtPsButtonCancel}};
    for (const auto& [button, text] : buttons) button->setText(Txt(*text, 0));
    for (int n : {1, 2, 5, 7, 13, 14, 16, 35, 36, 78, 83}) w.PSFieldCheckBox(n)->setChecked(true);
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    w.grab().save(QStringLiteral(SCREENSHOT_DIR "/pswin.png"));
}

TEST_F(PSWindow, HasNoCloseBox)
{
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(w.size(), QSize(1269, 594));
}

}  // namespace
