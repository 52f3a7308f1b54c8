// The simulator's state file: rewritten after every setting the meter takes,
// through any register, and left alone by a refused one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MeterSimHarness.h"
#include "meter/ModbusRegisterMap.h"
#include "meter/StateFile.h"

using namespace meter;

namespace {

TEST(MeterStateFile, EveryTakenSettingAndOnlyThoseAreReported)
{
    metersim_test::FakeClock clock({2024, 5, 7, 10, 0, 0});
    DeviceOptions device;
    device.webserver = WebserverMode::Enabled;
    SimMeter meter(device, clock.Source());
    ModbusRegisterMap map(meter);
    std::vector<std::string> seen;
    meter.SetChangeHook([&] { seen.push_back(StateText({&meter})); });

    struct Write {
        int reg;
        std::vector<uint16_t> values;
        const char* expectedLine;  // null: refused, nothing reported
    };
    const Write writes[] = {
        {10000, {1500}, "ct=1500\n"},
        {10100, {100}, nullptr},  // 100 x 1500 is above the product limit
        {10100, {60}, "vt=60\n"},
        {10200, {9}, "unit=9\n"},
        {10300, {5}, "baud=9600\n"},
        {10300, {10}, nullptr},
        {10400, {30}, "demand-period=30\n"},
        {10500, {4}, "tariff=4\n"},
        {10600, {0x0908, 0x0701, 0x0CE8, 0x0700}, "clock=2024-12-01 07:08:09\n"},
        {11000, {0}, "webserver=disabled\n"},
        // Date settings are kept as written, impossible ones too.
        {10800, {0x6363, 0x632D, 0x0DEB, 0x0700}, "freeze=2027-13-45 99:99:99\n"},
        {10700, {0x0000, 0x0A0F, 0x01EE, 0x0700}, "reset=2030-01-15 10:00:00\n"},
    };
    for (const Write& w : writes) {
        const size_t before = seen.size();
        map.Write(w.reg, w.values);
        if (!w.expectedLine) {
            EXPECT_EQ(seen.size(), before) << w.reg;
            continue;
        }
        ASSERT_EQ(seen.size(), before + 1) << w.reg;
        EXPECT_NE(seen.back().find(w.expectedLine), std::string::npos) << seen.back();
    }
}

}  // namespace
