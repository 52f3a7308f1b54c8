#pragma once
// Connecting to one device and letting it go again, on every transport, and
// the rules behind the connect: the address and IP texts, the TCP port, the
// M-Bus select frames and the key filters of the address edits. The rules are
// plain functions so that they are tested without a window or a meter.
#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

class QLineEdit;
class TMainForm;

// Binds the connect button, the key filters, the addressing and baud-rate
// choices to their controls and registers the result actions of connecting.
// Once, from the main window's constructor.
void ConnectConnectionHandlers(TMainForm& form);
// The result actions of connect, scan, cancel and a lost device
// (ConnectionResults.cpp); part of ConnectConnectionHandlers.
void RegisterConnectionResults(TMainForm& form);

// How many items the progress window paces its bar for while a serial connect
// runs, by the item index of the baud-rate list.
int MbusConnectItemCount(int baudIndex);
int ModbusConnectItemCount(int baudIndex);

// The address typed for a connect: 1 to 3 decimal digits after trimming,
// within [low, high]; nothing for any other text.
std::optional<int> ParseConnectAddress(const QString& text, int low, int high);
// "Address range is " + low + "-" + high in the language.
QString AddressRangeMessage(int language, int low, int high);

// The eight characters of the secondary-address edit, blanks as '0'.
std::string SecondaryAddressFromEdit(const QString& shown);

// The IP edit's shown text (15 characters, four groups of three) with every
// group trimmed and padded to three digits: "172.016.  7.  5" -> "172.016.007.005".
QString NormaliseIpText(const QString& shown);
// Normalises the edit's text in place and returns it.
QString NormaliseIpEdit(QLineEdit& edit);
// The host to connect to: blanks removed and leading zeros of each group
// dropped ('.' and ',' both separate groups). Nothing when a group is empty,
// when there are not four groups, or when a group is above 255.
std::optional<QString> HostFromIpText(const QString& text);

// The port edit's text. Nothing for an empty or non-decimal text. A text
// longer than five characters or a value above 65535 gives 502, replaced set.
struct TcpPortChoice {
    int port = 0;
    bool replaced = false;
};
std::optional<TcpPortChoice> ParseTcpPort(const QString& text);

// Writes the select or deselect frame of SelectFrameKind and AddressingMode
// ('6' secondary, anything else primary) into tx; returns its length, 0 when
// tx is too short.
int BuildMbusSelectFrame(std::span<uint8_t> tx, uint8_t selectFrameKind, char addressingMode, uint8_t address,
                         std::string_view secondaryAddress, uint8_t mbusVersion);

// Key filters: the character the edit takes, changed where the filter changes
// it, or a null QChar for a discarded one. '\b' is backspace.
// Secondary-address edits: '0'-'9' and 'F' ('f' becomes 'F'); nothing else,
// not even backspace.
QChar MaskEdit_Setup_PrimaryAddressKeyPress(QChar key);
// Address, port and ratio edits: '0'-'9', '.' and backspace.
QChar Edit_Set_DemandPeriod1KeyPress(QChar key);
// Puts a key filter on an edit. Keys that type no character (cursor keys,
// delete, tab, shortcuts) pass unfiltered.
void InstallKeyFilter(QLineEdit* edit, QChar (*filter)(QChar));
