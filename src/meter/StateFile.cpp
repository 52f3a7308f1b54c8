#include "meter/StateFile.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace meter {

std::string StateText(const SimMeter& meter)
{
    const char* webserver = meter.Options().webserver == WebserverMode::Absent ? "absent"
                            : meter.WebserverEnabled()                         ? "enabled"
                                                                               : "disabled";
    std::ostringstream out;
    out << "unit=" << meter.UnitAddress() << "\n"
        << "baud=" << BaudOfCode(meter.BaudCode()) << "\n"
        << "ct=" << meter.CtRatio() << "\n"
        << "vt=" << meter.VtRatio() << "\n"
        << "demand-period=" << meter.DemandPeriod() << "\n"
        << "tariff=" << meter.TariffSetting() << "\n"
        << "webserver=" << webserver << "\n"
        << "clock=" << FormatCivil(meter.NowCivil()) << "\n";
    return out.str();
}

bool WriteStateFile(const std::string& path, const SimMeter& meter)
{
    const std::string temporary = path + ".new";
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << StateText(meter);
        file.close();
        if (!file) return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace meter
