// A ".psf" file of any content and length, then the frame that would send it
// to a meter addressed by whatever the file's tail claims.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/PsFieldMask.h"
#include "core/SetupFrames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> content(data, size);
    const auto bytes = ParsePsFieldFile(content);
    if (!bytes) {
        if (size >= PsFieldFileSize) __builtin_trap();
        return 0;
    }
    int selected = 0;
    for (int n = 0; n <= PsFieldCount + 1; ++n) selected += PsFieldSelected(*bytes, n) ? 1 : 0;
    if (selected > PsFieldCount) __builtin_trap();

    const std::string_view tail(reinterpret_cast<const char*>(data) + PsFieldFileSize, size - PsFieldFileSize);
    const setup::TMBusTarget target{size % 2 == 0, bytes->at(0), tail, bytes->at(1), bytes->at(2)};
    std::array<uint8_t, 40> tx{};
    const auto record = PsFieldRecord(*bytes);
    const int length = setup::BuildMBusSettingFrame(tx, target, setup::MBusCiDataRecords, record);
    if (length != 0 && length != 25 && length != 33) __builtin_trap();
    return 0;
}
