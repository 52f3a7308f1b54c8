// Connect and disconnect on every transport. The connect opens the serial
// port or the client socket, checks the address typed, and starts the
// identification job with the progress window "Connecting..."; the result
// actions (ConnectionResults.cpp) show the outcome. The same button lets the
// device go again.
#include "comm/Connect.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <array>
#include <optional>

#include "app/ColorButton.h"
#include "app/MainForm.h"
#include "app/Text.h"
#include "comm/GuardedHandler.h"
#include "comm/JobHost.h"
#include "comm/PortList.h"
#include "comm/TcpClient.h"
#include "comm/Transceiver.h"
#include "core/FrameChecks.h"
#include "platform/ComPort.h"

namespace {

constexpr int MbusSecondaryItemCount = 50;
constexpr int TcpConnectItemCount = 20;
constexpr int DefaultTcpPort = 502;
constexpr int MaxTcpPort = 65535;
// Lets a socket that was just let go settle before the next connect.
constexpr int TcpSettleMs = 500;

// Fixed literals of the progress window; the suffix is not shown.
const QString OkButton = QStringLiteral("Ok");
const QString PortNotOpenSuffix = QStringLiteral(" (Error:65)");

bool CaptionIs(const QAbstractButton* b, const LangText& t, int language)
{
    return b && b->text() == Txt(t, language);
}

void ShowError(TMainForm& f, int id, const QString& line1, const QString& suffix)
{
    f.JobHost().ShowProgressWindow(id, 1, 0, 0, 0, 1, Txt(TxtError, f.Language), line1, suffix, QString(), QString(),
                               OkButton, 0);
}

void ShowConnecting(TMainForm& f, int id, const QString& line1, const QString& button, int itemCount)
{
    f.JobHost().ShowProgressWindow(id, 0, 0, 1, 1, 1, Txt(TxtConnecting, f.Language), line1, QString(), QString(),
                               QString(), button, itemCount);
}

void WarnBox(TMainForm& f, const QString& text)
{
    QMessageBox::warning(&f, Txt(TxtError, f.Language), text);
}

int BaudItemIndex(const TMainForm& f)
{
    return f.ComboBox_Setup_DeviceBaudrate ? f.ComboBox_Setup_DeviceBaudrate->currentIndex() : -1;
}

uint8_t HexNibble(char c)
{
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
    return 0;
}

// Digits 2i+1 and 2i+2 of the secondary address as one BCD byte; 'F' stays F.
uint8_t SecondaryPair(std::string_view digits, size_t first)
{
    const char hi = first < digits.size() ? digits[first] : '0';
    const char lo = first + 1 < digits.size() ? digits[first + 1] : '0';
    return static_cast<uint8_t>(HexNibble(hi) << 4 | HexNibble(lo));
}

// The PS-field selection record both select frames carry.
constexpr std::array<uint8_t, 16> PsSelectRecord{0x0D, 0xFD, 0x0B, 0x0C, 0x81, 0xF1, 0x00, 0x00,
                                                 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00};
constexpr uint8_t ManufacturerLow = 0xCB;
constexpr uint8_t ManufacturerHigh = 0x52;
constexpr uint8_t MediumElectricity = 0x02;

// Every connect starts from a clean state: a job left from before it (an
// identification whose window was cancelled or ran out, a parked read) is
// cancelled, and its result handled, before anything of the new connection
// exists, so that its outcome (a failure's disconnect, a cancel's reset)
// never lands on the new one; nor does a cancel that no job took, nor the web
// server of an earlier device (only a Modbus TCP identification reads it).
void EndLeftoverJob(TMainForm& f)
{
    f.PendingJob = 0;
    { const TPortTakeOver cancelled(f.JobHost()); }
    while (f.ComThread && !f.ComThread->Suspended() && !f.ComThread->Stopping())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
    f.ConnectCancelled = 0;
    f.WebserverPresent = 0;
    f.WebserverEnabled = 0;
}

class TKeyFilter : public QObject {
public:
    TKeyFilter(QLineEdit* edit, QChar (*filter)(QChar)) : QObject(edit), filter_(filter) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || replaying_) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() != 1) return false;
        const QChar c = text.at(0);
        // Only typed characters are filtered; backspace types one too.
        if (c.category() == QChar::Other_Control && c != QLatin1Char('\b')) return false;
        if (key->key() == Qt::Key_Delete) return false;
        const QChar kept = filter_(c);
        if (kept.isNull()) return true;
        if (kept == c) return false;
        QKeyEvent changed(QEvent::KeyPress, key->key(), key->modifiers(), QString(kept));
        replaying_ = true;
        QCoreApplication::sendEvent(watched, &changed);
        replaying_ = false;
        return true;
    }

private:
    QChar (*filter_)(QChar);
    bool replaying_ = false;
};

}  // namespace

int MbusConnectItemCount(int baudIndex)
{
    static constexpr int counts[6]{5, 5, 5, 20, 32, 50};
    return baudIndex >= 0 && baudIndex < 6 ? counts[baudIndex] : 0;
}

int ModbusConnectItemCount(int baudIndex)
{
    static constexpr int counts[10]{5, 5, 5, 10, 10, 30, 50, 67, 70, 70};
    return baudIndex >= 0 && baudIndex < 10 ? counts[baudIndex] : 0;
}

std::optional<int> ParseConnectAddress(const QString& text, int low, int high)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 3) return std::nullopt;
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    const int value = t.toInt();
    if (value < low || value > high) return std::nullopt;
    return value;
}

QString AddressRangeMessage(int language, int low, int high)
{
    return Txt(TxtAddressRangeIs, language) + QString::number(low) + QLatin1Char('-') + QString::number(high);
}

std::string SecondaryAddressFromEdit(const QString& shown)
{
    std::string digits = shown.left(8).toStdString();
    digits.resize(8, ' ');
    for (char& c : digits)
        if (c == ' ') c = '0';
    return digits;
}

QString NormaliseIpText(const QString& shown)
{
    QStringList groups;
    for (int start : {0, 4, 8, 12}) {
        QString g = shown.mid(start, 3).trimmed();
        while (g.size() < 3) g.prepend(QLatin1Char('0'));
        groups << g;
    }
    return groups.join(QLatin1Char('.'));
}

QString NormaliseIpEdit(QLineEdit& edit)
{
    const QString normalised = NormaliseIpText(edit.displayText());
    edit.setText(normalised);
    return normalised;
}

std::optional<QString> HostFromIpText(const QString& text)
{
    QString compact = text;
    compact.remove(QLatin1Char(' '));
    QStringList groups;
    QString current;
    for (QChar c : compact) {
        if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
            if (current.isEmpty()) return std::nullopt;
            groups << current;
            current.clear();
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            current += c;
        } else {
            return std::nullopt;
        }
    }
    if (current.isEmpty()) return std::nullopt;
    groups << current;
    // Anything but four groups of 0-255 is no IPv4 address; the socket would
    // take it for a host name and look it up.
    if (groups.size() != 4) return std::nullopt;
    QStringList host;
    for (const QString& g : groups) {
        const int value = g.toInt();
        if (g.size() > 3 || value > 255) return std::nullopt;
        host << QString::number(value);
    }
    return host.join(QLatin1Char('.'));
}

std::optional<TcpPortChoice> ParseTcpPort(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    if (t.size() > 5) return TcpPortChoice{DefaultTcpPort, true};
    bool ok = false;
    const int value = t.toInt(&ok);
    if (!ok || value < 0) return std::nullopt;
    if (value > MaxTcpPort) return TcpPortChoice{DefaultTcpPort, true};
    return TcpPortChoice{value, false};
}

int BuildMbusSelectFrame(std::span<uint8_t> tx, uint8_t selectFrameKind, char addressingMode, uint8_t address,
                         std::string_view secondaryAddress, uint8_t mbusVersion)
{
    const bool secondary = addressingMode == amSecondary;
    const uint8_t target = secondary ? 0xFD : address;
    if (selectFrameKind == 0) {
        if (tx.size() < 5) return 0;
        tx[0] = 0x10;
        tx[1] = 0x40;
        tx[2] = target;
        tx[3] = MBusChecksum(tx.data(), 3);
        tx[4] = 0x16;
        return 5;
    }
    const int length = secondary ? 33 : 25;
    if (static_cast<int>(tx.size()) < length) return 0;
    int i = 0;
    const auto put = [&](uint8_t b) { tx[static_cast<size_t>(i++)] = b; };
    const uint8_t l = static_cast<uint8_t>(length - 6);
    for (uint8_t b : {uint8_t{0x68}, l, l, uint8_t{0x68}, uint8_t{0x73}, target, uint8_t{0x51}}) put(b);
    if (secondary) {
        // Least significant digit pair first.
        for (size_t pair : {6u, 4u, 2u, 0u}) put(SecondaryPair(secondaryAddress, pair));
        for (uint8_t b : {ManufacturerLow, ManufacturerHigh, mbusVersion, MediumElectricity}) put(b);
    }
    for (uint8_t b : PsSelectRecord) put(b);
    put(MBusChecksum(tx.data(), i));
    put(0x16);
    return i;
}

QChar MaskEdit_Setup_PrimaryAddressKeyPress(QChar key)
{
    if (key >= QLatin1Char('0') && key <= QLatin1Char('9')) return key;
    if (key == QLatin1Char('F') || key == QLatin1Char('f')) return QLatin1Char('F');
    return QChar();
}

QChar Edit_Set_DemandPeriod1KeyPress(QChar key)
{
    if ((key >= QLatin1Char('0') && key <= QLatin1Char('9')) || key == QLatin1Char('.') || key == QLatin1Char('\b'))
        return key;
    return QChar();
}

void InstallKeyFilter(QLineEdit* edit, QChar (*filter)(QChar))
{
    if (edit) edit->installEventFilter(new TKeyFilter(edit, filter));
}

// ---- the window's handlers ----

void TMainForm::Button_Setup_Device_ConnectClick()
{
    HideNextProgressBar = 0;
    JobHost().SetProgressBarMax(100);
    FirstExchange = 1;
    ReconnectPending = 1;

    const char transport = TransportCode;
    const int L = Language;
    if (transport == tcMBus || transport == tcModbusRtu) {
        const bool mbus = transport == tcMBus;
        if (TCPIP_receive_timer) TCPIP_receive_timer->stop();
        if (!CaptionIs(Button_Setup_Device_Connect, TxtConnectDevice, L)) {
            DisconnectDevice();
            return;
        }

        // A job may still be exchanging frames on the port: a connect whose
        // window ran out before the device answered. It ends before the port
        // and the addressing change under it; the gate goes before any modal
        // window.
        EndLeftoverJob(*this);
        std::optional<TPortTakeOver> portUse(std::in_place, JobHost());
        ManufacturerIndex = 0;
        SelectFrameKind = 0;
        OpenChosenPort(*this, mbus, false);
        if (!PortOpen) {
            portUse.reset();
            ShowError(*this, pwPortNotOpen, Txt(TxtDeviceNotAvailable, L), PortNotOpenSuffix);
            return;
        }

        if (mbus && AddressingMode == amPrimary) {
            const auto address =
                ParseConnectAddress(MaskEdit_Setup_Primary_Address ? MaskEdit_Setup_Primary_Address->text() : QString(),
                                    0, 250);
            if (!address) {
                portUse.reset();
                // The port stays open for the corrected address.
                WarnBox(*this, AddressRangeMessage(L, 0, 250));
                return;
            }
            DeviceAddress = static_cast<uint8_t>(*address);
            portUse.reset();
            SetJob(jcMBusIdentify);
            ShowConnecting(*this, pwMbusPrimaryConnect, Txt(TxtWait, L), QString(), MbusConnectItemCount(MbusBaudIndex));
        } else if (mbus && AddressingMode == amSecondary) {
            SecondaryAddress =
                SecondaryAddressFromEdit(MaskEdit_Setup_Sec_Address ? MaskEdit_Setup_Sec_Address->displayText() : QString());
            portUse.reset();
            SetJob(jcMBusIdentify);
            ShowConnecting(*this, pwMbusSecondaryConnect, Txt(TxtWait, L), QString(), MbusSecondaryItemCount);
        } else if (!mbus) {
            const auto address =
                ParseConnectAddress(MaskEdit_Setup_ModBus_Address ? MaskEdit_Setup_ModBus_Address->text() : QString(),
                                    1, 247);
            if (!address) {
                portUse.reset();
                WarnBox(*this, AddressRangeMessage(L, 1, 247));
                return;
            }
            DeviceAddress = static_cast<uint8_t>(*address);
            portUse.reset();
            SetJob(jcModbusIdentify);
            ShowConnecting(*this, pwModbusRtuConnect, Txt(TxtWait, L), QString(),
                           ModbusConnectItemCount(ModbusBaudIndex));
        }
        return;
    }

    if (transport != tcModbusTcp) return;
    TModbusTcpClient* tcp = TcpClient;
    const QString ipText = MaskEdit_IPAddress ? NormaliseIpEdit(*MaskEdit_IPAddress) : QString();

    // "Disconnect": the device is let go as on the serial transports, also
    // when the meter has closed the connection meanwhile.
    if (!CaptionIs(Button_Setup_Device_Connect, TxtConnectDevice, L)) {
        DisconnectDevice();
        TcpConnected = 0;
        return;
    }

    EndLeftoverJob(*this);
    {
        // A socket that a failed attempt left active is let go, and this same
        // click connects.
        const TPortTakeOver portUse(JobHost());
        if (tcp && tcp->Active()) {
            tcp->Deactivate();
            TcpConnected = 0;
        }
        if (TimerIP_Connect) TimerIP_Connect->stop();
    }
    {
        QEventLoop settle;
        QTimer::singleShot(TcpSettleMs, &settle, &QEventLoop::quit);
        settle.exec(QEventLoop::ExcludeUserInputEvents);
    }

    const std::optional<QString> host = HostFromIpText(ipText);
    const std::optional<TcpPortChoice> port =
        ParseTcpPort(Edit_Setup_TCPIP_Port ? Edit_Setup_TCPIP_Port->text() : QString());
    if (!host || !port) {
        ShowError(*this, pwInvalidIp, Txt(TxtInvalidIpAddressOrPort, Language), QString());
        return;
    }
    if (port->replaced) {
        if (Edit_Setup_TCPIP_Port) Edit_Setup_TCPIP_Port->setText(QString::number(DefaultTcpPort));
        WarnBox(*this, Txt(TxtPortValueInRange165535, Language));
    }

    if (!tcp) return;
    tcp->Activate(*host, static_cast<quint16>(port->port));
    if (TimerIP_Connect) TimerIP_Connect->start();
    ShowConnecting(*this, pwTcpConnect, QString(), Txt(TxtCancel, Language), TcpConnectItemCount);
}

void TMainForm::DisconnectDevice()
{
    // A job may be exchanging frames on the port right now (a disconnect while
    // measuring): cancel it and let it finish its exchange before the port goes.
    // A read parked behind it would only find the device gone and report so.
    PendingJob = 0;
    const TPortTakeOver portUse(JobHost());
    // An identification that ended before the click (its window may have run
    // out first) left "connected" waiting for the result handler, which runs
    // after this: it would show a connection that this disconnect closes. The
    // disconnect takes its place, before anything here lets events through;
    // the job posts only while it holds the gate.
    if (GetUiRequest() == urConnected) SetUiRequest(urJobCancelled);
    const char transport = TransportCode;
    if (transport == tcMBus) {
        SendMbusSelect();
        SetProtocolMode(pmMBus);
    } else if (transport == tcModbusRtu) {
        SetProtocolMode(pmModbusRtu);
    } else if (transport == tcModbusTcp) {
        SetProtocolMode(pmModbusTcp);
    }

    if ((transport == tcMBus || transport == tcModbusRtu) && PortOpen) CloseComPort(SerialPort, *this);

    if (transport == tcModbusTcp) {
        TModbusTcpClient* tcp = TcpClient;
        if (tcp && tcp->Active()) tcp->Deactivate();
        if (TimerIP_Connect) TimerIP_Connect->stop();
    }
    ShowConnectionState(csDisconnected);
}

void TMainForm::CancelTcpConnect()
{
    // Settled at the cancel itself, not at the connect timer's next tick or the
    // identification's end: until then the socket's connect would leave
    // "Disconnect" on the button, and a click right after the cancel must
    // connect. An identification under way finishes its exchange first.
    {
        const TPortTakeOver portUse(JobHost());
        ResetTcpConnection();
        // One that has already ended left its result ("connected", or a
        // failure) for the result handler, which runs after this: it would
        // show a connection that is gone. The cancel takes its place. Both
        // run on this thread, and the job posts only while it holds the gate.
        if (GetUiRequest() != urNone) SetUiRequest(urJobCancelled);
    }
    // Taken here; neither the timer nor the job is left to take it.
    ConnectCancelled = 0;
}

void TMainForm::SendMbusSelect()
{
    // TxBuffer is the gate holder's from the first byte built, not only from
    // the exchange on; the callers hold it already or have ended the worker.
    const TPortUse portUse(JobHost().PortGate());
    const int length = BuildMbusSelectFrame(TxBuffer, SelectFrameKind, AddressingMode, DeviceAddress,
                                            SecondaryAddress, MbusVersion);
    // Nothing to say goodbye to when the port is already gone.
    if (length == 0 || !PortOpen || !SerialPort) return;
    TransceiveFrame(JobHost(), TxBuffer, length);
}

void TMainForm::FormCloseQuery()
{
    const char transport = TransportCode;
    if (transport == tcMBus || transport == tcModbusRtu) {
        if (CaptionIs(Button_Setup_Device_Connect, TxtDisconnect, Language)) {
            if (transport == tcMBus) {
                // A failing port must not keep the window from closing.
                try {
                    SendMbusSelect();
                } catch (const ECOMPort&) {
                }
            }
            if (PortOpen) CloseComPort(SerialPort, *this);
        }
    } else if (transport == tcModbusTcp) {
        TModbusTcpClient* tcp = TcpClient;
        if (tcp && tcp->Active()) tcp->Deactivate();
    }
}

void TMainForm::RadioButtonPrimaryAddressClick()
{
    ShowConnectionState(csDisconnected);
    if (MaskEdit_Setup_Primary_Address) MaskEdit_Setup_Primary_Address->setVisible(true);
    if (MaskEdit_Setup_Sec_Address) MaskEdit_Setup_Sec_Address->setVisible(false);
    AddressingMode = amPrimary;
}

void TMainForm::RadioButtonSecondaryAddressClick()
{
    ShowConnectionState(csDisconnected);
    if (MaskEdit_Setup_Primary_Address) MaskEdit_Setup_Primary_Address->setVisible(false);
    if (MaskEdit_Setup_Sec_Address) MaskEdit_Setup_Sec_Address->setVisible(true);
    AddressingMode = amSecondary;
}

void TMainForm::ComboBox_Setup_DeviceBaudrateChange()
{
    // A port open at the old rate is let go; the next connect opens it anew.
    // A job still exchanging on it is cancelled and let finish first.
    if (PortOpen) {
        const TPortTakeOver portUse(JobHost());
        if (!PortOpenError) CloseComPort(SerialPort, *this);
        PortOpen = 0;
    }
    const int index = BaudItemIndex(*this);
    if (TransportCode == tcMBus) MbusBaudIndex = index;
    else if (TransportCode == tcModbusRtu) ModbusBaudIndex = index;
}

void ConnectConnectionHandlers(TMainForm& f)
{
    // Twice would run every handler twice.
    static const char* const bound = "connectionHandlersBound";
    if (f.property(bound).toBool()) return;
    f.setProperty(bound, true);

    // The connect opens and sets up the port, the disconnect says goodbye on it:
    // either can throw.
    ConnectClick(f.Button_Setup_Device_Connect, Guarded([&f] { f.Button_Setup_Device_ConnectClick(); }));
    if (f.RadioButtonPrimaryAddress)
        QObject::connect(f.RadioButtonPrimaryAddress, &QAbstractButton::toggled, &f, [&f](bool on) {
            if (on) f.RadioButtonPrimaryAddressClick();
        });
    if (f.RadioButtonSecondaryAddress)
        QObject::connect(f.RadioButtonSecondaryAddress, &QAbstractButton::toggled, &f, [&f](bool on) {
            if (on) f.RadioButtonSecondaryAddressClick();
        });
    // The user's choice only: the transport selection refills and selects the
    // list itself, which must not close the port.
    if (f.ComboBox_Setup_DeviceBaudrate)
        QObject::connect(f.ComboBox_Setup_DeviceBaudrate, &QComboBox::activated, &f,
                         [&f] { f.ComboBox_Setup_DeviceBaudrateChange(); });

    for (QLineEdit* e : {f.MaskEdit_Setup_Sec_Address, f.MaskEdit_Setup_SecondaryAddress})
        InstallKeyFilter(e, &MaskEdit_Setup_PrimaryAddressKeyPress);
    for (QLineEdit* e : {f.MaskEdit_Setup_Primary_Address, f.MaskEdit_Setup_ModBus_Address, f.Edit_Setup_TCPIP_Port,
                         f.MaskEdit_Set_Address, f.MaskEdit_VT, f.MaskEdit_CT})
        InstallKeyFilter(e, &Edit_Set_DemandPeriod1KeyPress);

    RegisterConnectionResults(f);
}
