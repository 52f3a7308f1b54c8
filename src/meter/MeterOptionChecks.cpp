// The checks of meter-sim's command line as a whole, once every option is read.
#include "meter/MeterOptionTable.h"

namespace meter::cmdline {

std::string CheckTransports(const ServeOptions& serve) {
    if (!serve.HasTcp() && !serve.HasRtu() && !serve.HasMBus())
        return "nothing to serve: give --tcp HOST:PORT, --rtu DEVICE, --mbus DEVICE or several";
    if (serve.HasRtu() && serve.rtuDevice == serve.mbusDevice) return "--rtu and --mbus need two devices";
    return {};
}

bool RatiosTooLarge(const DeviceOptions& d) {
    return d.digitQ == 1 && static_cast<long long>(d.ctRatio) * d.vtRatio > 100000;
}

std::string CheckDistinct(const MeterSimOptions& o) {
    for (size_t a = 0; a < o.meters.size(); ++a) {
        for (size_t b = a + 1; b < o.meters.size(); ++b) {
            const DeviceOptions& x = o.meters[a];
            const DeviceOptions& y = o.meters[b];
            const std::string pair = "meters " + std::to_string(a + 1) + " and " + std::to_string(b + 1);
            if ((o.serve.HasRtu() || o.serve.HasTcp()) && x.unitAddress == y.unitAddress)
                return pair + " have the same unit address " + std::to_string(x.unitAddress);
            if (o.serve.HasMBus() && x.mbusPrimary == y.mbusPrimary)
                return pair + " have the same primary address " + std::to_string(x.mbusPrimary);
            if (o.serve.HasMBus() && x.MBusIdBcd() == y.MBusIdBcd()) return pair + " have the same secondary address";
        }
    }
    return {};
}

}  // namespace meter::cmdline
