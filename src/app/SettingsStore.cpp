// The settings file, over a QSettings INI file in place of the per-user
// registry key, and the checks of the values read from it.
#include "app/Settings.h"

#include <QStringList>
#include <cctype>

#include "platform/PortPaths.h"

// ---------------------------------------------------------------------------
// The store

const char* SettingsKeyOfBrand(int brand)
{
    return brand == 2 ? "NOLD_QSL_Setup_Tool" : "TORVA_ORBICOUNT_TOOL";
}

QString SettingsFilePath(int brand)
{
    const QString folder = QString::fromStdString(UserConfigFolder());
    const QString file = QString::fromLatin1(SettingsKeyOfBrand(brand)) + QStringLiteral(".ini");
    return folder.isEmpty() ? file : folder + QLatin1Char('/') + file;
}

namespace {

QString Key(const char* section, const char* name)
{
    return QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(name);
}

// The INI reader turns an unquoted text with commas into a list; such a text
// is taken back as it stood in the file.
QString AsText(const QVariant& v)
{
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

} // namespace

SettingsStore::SettingsStore(const QString& filePath) : settings_(filePath, QSettings::IniFormat) {}

std::string SettingsStore::ReadString(const char* section, const char* name, const std::string& fallback) const
{
    const QVariant v = settings_.value(Key(section, name));
    if (!v.isValid()) return fallback;
    return AsText(v).toStdString();
}

int SettingsStore::ReadInteger(const char* section, const char* name, int fallback) const
{
    return ReadInteger(section, name, fallback, fallback);
}

int SettingsStore::ReadInteger(const char* section, const char* name, int missing, int unreadable) const
{
    const QVariant v = settings_.value(Key(section, name));
    if (!v.isValid()) return missing;
    bool ok = false;
    const int value = AsText(v).trimmed().toInt(&ok, 10);
    return ok ? value : unreadable;
}

void SettingsStore::WriteString(const char* section, const char* name, const std::string& value)
{
    settings_.setValue(Key(section, name), QString::fromStdString(value));
}

void SettingsStore::WriteInteger(const char* section, const char* name, int value)
{
    settings_.setValue(Key(section, name), value);
}

bool SettingsStore::Flush()
{
    settings_.sync();
    // A format error is left over from reading a damaged file, which the
    // write has just replaced.
    return settings_.status() != QSettings::AccessError;
}

// ---------------------------------------------------------------------------
// Checks of stored values

int IntInRange(int value, int lo, int hi, int fallback)
{
    return value >= lo && value <= hi ? value : fallback;
}

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string TrimBlanks(const std::string& s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string DecimalAddressOr(const std::string& stored, const std::string& fallback)
{
    const std::string t = TrimBlanks(stored);
    if (t.empty() || t.size() > 3) return fallback;
    for (char c : t)
        if (!IsDigit(c)) return fallback;
    return t;
}

std::string SecondaryAddressOr(const std::string& stored, const std::string& fallback)
{
    if (stored.size() != 8) return fallback;
    std::string upper = stored;
    for (char& c : upper) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return fallback;
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper;
}

std::string IpAddressOr(const std::string& stored, const std::string& fallback)
{
    int groups = 1;
    int groupLength = 0;
    bool anyDigit = false;
    for (char c : stored) {
        if (c == '.') {
            if (++groups > 4) return fallback;
            groupLength = 0;
            continue;
        }
        if (!IsDigit(c) && c != ' ') return fallback;
        if (++groupLength > 3) return fallback;
        anyDigit = anyDigit || IsDigit(c);
    }
    return groups == 4 && anyDigit ? stored : fallback;
}

std::string SecondaryAddressForStore(const QString& shownText)
{
    std::string stored(8, '0');
    const QString places = shownText.left(8);
    for (int i = 0; i < places.size(); ++i) {
        const QChar c = places.at(i);
        if (c != QLatin1Char(' ')) stored[static_cast<size_t>(i)] = c.toLatin1();
    }
    return stored;
}
