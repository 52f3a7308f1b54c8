#include "meter/StateFile.h"

#include <cstdio>
#include <fstream>
#include <iomanip>
#include <sstream>

namespace meter {

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
            << "clock=" << FormatCivil(m.NowCivil()) << "\n";
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
