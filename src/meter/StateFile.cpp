#include "meter/StateFile.h"

#include <cstdio>
#include <fstream>
#include <iomanip>
#include <sstream>

namespace meter {

namespace {

// A date setting as written, each field as its number, "YYYY-MM-DD HH:MM:SS":
// an impossible one shows as what it is.
std::string SettingText(const DateSetting& d)
{
    char text[40];
    const auto year = static_cast<unsigned>(d[5] | d[6] << 8);
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", year, unsigned{d[4]}, unsigned{d[3]},
                  unsigned{d[2]}, unsigned{d[1]}, unsigned{d[0]});
    return text;
}

}  // namespace

std::string StateText(const std::vector<SimMeter*>& meters)
{
    std::ostringstream out;
    for (size_t k = 0; k < meters.size(); ++k) {
        const SimMeter& m = *meters[k];
        const char* webserver = m.Options().webserver == WebserverMode::Absent ? "absent"
                                : m.WebserverEnabled()                         ? "enabled"
                                                                               : "disabled";
        out << "[meter " << k + 1 << "]\n"
            << "unit=" << m.UnitAddress() << "\n"
            << "baud=" << BaudOfCode(m.BaudCode()) << "\n"
            << "primary=" << m.MBusPrimaryAddress() << "\n"
            << "secondary=" << std::hex << std::setw(8) << std::setfill('0') << m.MBusIdBcd() << std::dec << "\n"
            << "ct=" << m.CtRatio() << "\n"
            << "vt=" << m.VtRatio() << "\n"
            << "demand-period=" << m.DemandPeriod() << "\n"
            << "tariff=" << m.TariffSetting() << "\n"
            << "webserver=" << webserver << "\n"
            << "clock=" << FormatCivil(m.NowCivil()) << "\n"
            << "freeze=" << SettingText(m.FreezeSetting()) << "\n"
            << "reset=" << SettingText(m.ResetSetting()) << "\n";
    }
    return out.str();
}

bool WriteStateFile(const std::string& path, const std::vector<SimMeter*>& meters)
{
    const std::string temporary = path + ".new";
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << StateText(meters);
        file.close();
        if (!file) return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace meter
