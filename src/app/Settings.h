#pragma once
// The settings kept between runs: one INI file per brand in the user's
// configuration folder, section "Cfg", read once at the first activation of
// the main window and written once when it closes. The file is the user's to
// edit, so everything read from it is checked before it reaches a control.
#include <QSettings>
#include <QString>
#include <string>

// Section of every value.
inline constexpr const char* SettingsSection = "Cfg";

// File name of a brand's settings without ".ini"; any brand but 2 uses brand 1's.
const char* SettingsKeyOfBrand(int brand);
// <user configuration folder>/<key>.ini
QString SettingsFilePath(int brand);

// Named values of the settings file. A value that is missing, or that does not
// read as its kind, gives the default passed in.
class SettingsStore {
public:
    explicit SettingsStore(const QString& filePath);

    std::string ReadString(const char* section, const char* name, const std::string& fallback) const;
    int ReadInteger(const char* section, const char* name, int fallback) const;
    // missing when the file has no such value, unreadable when its text is not
    // wholly a decimal number of int range ("1e9", "3x", "").
    int ReadInteger(const char* section, const char* name, int missing, int unreadable) const;
    void WriteString(const char* section, const char* name, const std::string& value);
    void WriteInteger(const char* section, const char* name, int value);

    // Puts what was written into the file; false when it could not be written.
    bool Flush();
    QString FileName() const { return settings_.fileName(); }

private:
    mutable QSettings settings_;
};

// Checks of stored values, each giving a value the window can use.

// value when lo <= value <= hi, else fallback.
int IntInRange(int value, int lo, int hi, int fallback);
// 1 to 3 decimal digits, as the address edits take them ("0" to "250" for
// M-Bus, "1" to "247" for Modbus; the connect checks the value); else fallback.
std::string DecimalAddressOr(const std::string& stored, const std::string& fallback);
// Exactly eight hexadecimal digits (the secondary address edit's mask), upper
// case; else fallback.
std::string SecondaryAddressOr(const std::string& stored, const std::string& fallback);
// Four dot-separated groups of up to three digits or blanks, at least one
// digit, as the IP address edit's mask holds them; else fallback.
std::string IpAddressOr(const std::string& stored, const std::string& fallback);
// The stored form of the secondary address edit: its first eight places, a
// blank (unfilled) place as "0", missing places as "0".
std::string SecondaryAddressForStore(const QString& shownText);
