#include "core/SerialFraming.h"

#include <algorithm>
#include <array>

int BaudCodeOfItemIndex(int itemIndex)
{
    // Items "300" ... "115200"; the list skips the codes of 110, 14400 and 56000.
    static constexpr std::array<int, 10> codes{1, 2, 3, 4, 5, 6, 8, 9, 11, 12};
    if (itemIndex < 0 || itemIndex >= static_cast<int>(codes.size()))
        return 4;
    return codes[static_cast<size_t>(itemIndex)];
}

uint32_t BaudRateOfCode(int baudCode)
{
    static constexpr std::array<uint32_t, 13> rates{110,   300,   600,   1200,  2400,  4800,  9600,
                                                    14400, 19200, 38400, 56000, 57600, 115200};
    if (baudCode < 0 || baudCode >= static_cast<int>(rates.size()))
        return 9600;
    return rates[static_cast<size_t>(baudCode)];
}

SerialFramingCodes SerialFramingOfMode(int modeIndex)
{
    switch (modeIndex) {
    case 1: return {3, 0, 2};
    case 2: return {3, 2, 0};
    case 3: return {3, 0, 0};
    default: return {3, 0, 1};
    }
}

void SetSerialFraming(TransportState& link, int modeIndex)
{
    const SerialFramingCodes f = SerialFramingOfMode(modeIndex);
    link.PortDataBits = f.DataBits;
    link.PortStopBits = f.StopBits;
    link.PortParity = f.Parity;
}

SerialTimeouts ReadTimeoutsFor(char transportCode, int baudCode, bool shortMode)
{
    SerialTimeouts t;
    if (transportCode == tcMBus) {
        // Slow M-Bus lines need long gaps between bytes; the scan only waits
        // long enough for a single acknowledge.
        switch (baudCode) {
        case 1: t.ReadIntervalTimeout = 3000; t.ReadTotalTimeoutConstant = 8000; break;
        case 2: t.ReadIntervalTimeout = 1400; t.ReadTotalTimeoutConstant = 8000; break;
        case 3: t.ReadIntervalTimeout = 800; t.ReadTotalTimeoutConstant = 4000; break;
        case 4: t.ReadIntervalTimeout = 400; t.ReadTotalTimeoutConstant = 4000; break;
        case 5: t.ReadIntervalTimeout = 300; t.ReadTotalTimeoutConstant = 2000; break;
        case 6: t.ReadIntervalTimeout = 300; t.ReadTotalTimeoutConstant = 1000; break;
        default: t.ReadIntervalTimeout = 300; t.ReadTotalTimeoutConstant = 4000; break;
        }
        if (shortMode)
            t.ReadTotalTimeoutConstant = 300;
        return t;
    }
    t.ReadIntervalTimeout = 200;
    switch (baudCode) {
    case 1: t.ReadTotalTimeoutConstant = shortMode ? 800 : 5000; break;
    case 2: t.ReadTotalTimeoutConstant = shortMode ? 600 : 2000; break;
    case 3: t.ReadTotalTimeoutConstant = shortMode ? 400 : 1000; break;
    case 4: t.ReadTotalTimeoutConstant = shortMode ? 200 : 1000; break;
    default: t.ReadTotalTimeoutConstant = shortMode ? 100 : 1000; break;
    }
    return t;
}

std::optional<int> PortNumberOfName(std::string_view name)
{
    if (name.size() < 4 || name.size() > 6 || name.substr(0, 3) != "COM")
        return std::nullopt;
    int number = 0;
    for (char c : name.substr(3)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > PortNameCount)
        return std::nullopt;
    return number;
}

std::optional<int> PortIndexOfName(std::string_view name)
{
    if (auto number = PortNumberOfName(name))
        return *number - 1;
    return std::nullopt;
}

int PortListSelection(const std::vector<int>& foundPortIndexes, int storedPortIndex)
{
    if (foundPortIndexes.empty())
        return -1;
    auto it = std::find(foundPortIndexes.begin(), foundPortIndexes.end(), storedPortIndex);
    return it == foundPortIndexes.end() ? 0 : static_cast<int>(it - foundPortIndexes.begin());
}
