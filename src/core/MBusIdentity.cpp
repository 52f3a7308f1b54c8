// The identity and setting records of the M-Bus answer: tariff with the frame
// header's identification, interface version, device information, and the
// single-value settings.
#include <string>

#include "core/MBusDecoder.h"
#include "core/MBusRecords.h"
#include "core/MessageTable.h"
#include "core/ScaledValue.h"
#include "core/TextHelpers.h"
#include "core/ValueText.h"

namespace {

// Fixed data header of the RSP_UD.
constexpr int kAddressField = 5;
constexpr int kIdentification = 7;  // 4 BCD bytes, least significant first
constexpr int kManufacturerLow = 11;
constexpr int kManufacturerHigh = 12;
constexpr int kVersion = 13;
constexpr int kMedium = 14;

constexpr int kTypeCount = 6;

uint16_t Le16(const TMBusRecordBytes& r, int at) { return static_cast<uint16_t>(r[at] | (r[at + 1] << 8)); }

}  // namespace

void DecodeTariffInfo(const TMBusRecordBytes& r, TMBusDecodePass& pass)
{
    DecodedValueStore& s = pass.Store;
    s.ActualTariffText = " " + std::to_string(r[3]);

    std::string id = " ";
    std::string address;
    for (int k = kIdentification + 3; k >= kIdentification; --k) {
        const uint8_t b = pass.FrameByte(k);
        id += std::to_string(b >> 4) + std::to_string(b & 0x0F);
        address += ByteToHex(b);
    }
    s.SecondaryAddressIdText = id;
    // The same digits for a BCD number; a nibble beyond 9 stays one hex digit,
    // so the address always turns back into the bytes the device sent.
    pass.Addressing.SecondaryAddress = address;
    s.ManufacturerText =
        " " + DecodeManufacturerCode(pass.FrameByte(kManufacturerHigh), pass.FrameByte(kManufacturerLow));
    const uint8_t version = pass.FrameByte(kVersion);
    s.VersionText = " " + ByteToHex(version);
    pass.Addressing.MbusVersion = version;
    s.TypeText = " " + ByteToHex(pass.FrameByte(kMedium));
}

void DecodeInterfaceVersion(const TMBusRecordBytes& r, TMBusDecodePass& pass)
{
    std::string text = "Interface HW:";
    AppendLatin1(text, static_cast<uint8_t>('0' + r[4]));
    text += ".";
    AppendLatin1(text, static_cast<uint8_t>('0' + r[3]));
    text += ",FW:" + std::to_string(r[6]) + "." + Pad2(r[5]);
    pass.Store.FirmwareText = text;
    pass.Store.DeviceAddressText = std::to_string(pass.FrameByte(kAddressField));
}

void DecodeDeviceInfo(const TMBusRecordBytes& r, TMBusDecodePass& pass)
{
    DecodedValueStore& s = pass.Store;
    const int lang = LanguageIndex(pass.Language);
    const uint8_t type = r[4];
    const uint8_t d = r[5], m = r[7], p = r[8], q = r[9], u = r[10], v = r[11], w = r[12], z = r[13];
    const bool knownType = type < kTypeCount;

    // A type beyond the name tables is shown as "no value" and measured as
    // three-phase four-wire, which shows every phase (as over Modbus).
    const auto typeName = [&](const DeviceTypeNames& names) -> std::string {
        return knownType ? names[type] : TxtNoValue[lang];
    };
    if (d == 2) {
        pass.Addressing.ManufacturerIndex = 2;
        s.DeviceTypeText = " " + typeName(TxtDeviceTypesBrand2) + " M-BUS";
    } else {
        pass.Addressing.ManufacturerIndex = 1;
        s.DeviceTypeText = " " + typeName(TxtDeviceTypesBrand1);
    }
    static constexpr int kConnection[kTypeCount] = {ccSinglePhase, ccThreePhase3Wire, ccThreePhase4Wire,
                                                    ccSinglePhase, ccThreePhase3Wire, ccThreePhase4Wire};
    s.ConnectionCode = knownType ? kConnection[type] : ccThreePhase4Wire;

    const auto digit = [](const char* letter, uint8_t value) { return letter + std::to_string(value); };
    const std::string head = " " + digit("D", d) + digit("M", m) + digit("P", p);
    const std::string tail = digit("U", u) + digit("V", v) + digit("W", w) + digit("Z", z);
    if (type != 0 && type != 2) {
        s.HasTransformerRatios = 1;
        s.DeviceOptionsText = head + digit("Q", q) + tail;
        s.TransformerRatiosSettable = (q == 0 || q == 9) ? 0 : 1;
        s.TransformerCode = q;
    } else {
        s.HasTransformerRatios = 0;
        s.DeviceOptionsText = head + tail;
        s.TransformerRatiosSettable = 0;
    }
    s.HasDemandLogger = z == 1 ? 1 : 0;
    s.DeviceVariant = z;
    s.HasReactiveEnergy = m >= 2 ? 1 : 0;

    std::string serial = " ";
    for (int k = 15; k <= 16; ++k)
        if (r[k] >= '*') AppendLatin1(serial, r[k]);
    for (int k = 17; k <= 21; ++k) {
        AppendLatin1(serial, static_cast<uint8_t>('0' + (r[k] >> 4)));
        AppendLatin1(serial, static_cast<uint8_t>('0' + (r[k] & 0x0F)));
    }
    s.SerialNumberText = serial;

    ScaledValueSpec version;
    version.WidthCode = swLittleEndian16;
    version.Bytes[0] = r[29];
    version.Bytes[1] = r[30];
    version.DecimalsCode = sdVersion;
    uint8_t scratch[4]{};
    s.BaseFirmwareText = ", Base FW:" + FormatScaledValue(version, scratch);

    // The field is padded with NUL bytes; the name ends at the first one.
    std::string name;
    for (int k = 36; k <= 67 && r[k] != 0; ++k)
        AppendLatin1(name, r[k]);
    s.ProductNameText = name;
}

void DecodeSetting(const TMBusRecordBytes& r, uint8_t code, TMBusDecodePass& pass)
{
    DecodedValueStore& s = pass.Store;
    switch (code) {
    case rcTariffSource:
        s.TariffHwText = r[3] == 0 ? "HW" : "";
        break;
    case rcDemandPeriod:
        s.DemandPeriodText = " " + std::to_string(r[3]) + TxtUnitMinute[LanguageIndex(pass.Language)];
        break;
    case rcCtRatio:
        s.CtRatioText = std::to_string(Le16(r, 3));
        break;
    case rcVtRatio:
        s.VtRatioText = std::to_string(static_cast<int16_t>(Le16(r, 3)));
        break;
    case rcOperatingTimeSinceReset:
        s.OperatingTimeSinceResetText = std::to_string(Le16(r, 3));
        break;
    case rcOperatingTimes: {
        const uint32_t hours = uint32_t{r[2]} | (uint32_t{r[3]} << 8) | (uint32_t{r[4]} << 16) | (uint32_t{r[5]} << 24);
        s.TotalOperatingTimeText = std::to_string(static_cast<int32_t>(hours));
        break;
    }
    default:
        break;
    }
}
