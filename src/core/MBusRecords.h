#pragma once
// The per-record decoders of the M-Bus answer decoder (MBusDecoder.h). Each
// gets exactly the bytes of its record, whose length the walk has checked
// against the frame, and one decoding pass's state.
#include <cstdint>
#include <span>

#include "core/DecodedValues.h"
#include "core/LinkState.h"
#include "core/RecordCodes.h"

// One record's bytes; a position beyond them reads 0 (the classification rules
// that out, so it is a guard only).
class TMBusRecordBytes {
public:
    explicit TMBusRecordBytes(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint8_t operator[](int k) const
    {
        return k >= 0 && static_cast<size_t>(k) < bytes_.size() ? bytes_[static_cast<size_t>(k)] : 0;
    }
    int Size() const { return static_cast<int>(bytes_.size()); }

private:
    std::span<const uint8_t> bytes_;
};

struct TMBusDecodePass {
    std::span<const uint8_t> Frame;  // up to, not including, the checksum
    int Language = 0;
    DecodedValueStore& Store;
    DeviceAddressing& Addressing;
    // Apparent powers of phases 1 and 2 decoded in this pass, for the total.
    double S1 = 0;
    double S2 = 0;
    // The frame byte at position k; 0 beyond the view (a guard only).
    uint8_t FrameByte(int k) const
    {
        return k >= 0 && static_cast<size_t>(k) < Frame.size() ? Frame[static_cast<size_t>(k)] : 0;
    }
};

void DecodeStatusFlags(const TMBusRecordBytes& r, DecodedValueStore& s);
void DecodeVoltage(const TMBusRecordBytes& r, DecodedValueStore& s);
void DecodeCurrent(const TMBusRecordBytes& r, DecodedValueStore& s);
void DecodeThd(const TMBusRecordBytes& r, bool current, DecodedValueStore& s);
void DecodeFrequency(const TMBusRecordBytes& r, DecodedValueStore& s);
void DecodePowerFactor(const TMBusRecordBytes& r, DecodedValueStore& s);
void DecodePower(const TMBusRecordBytes& r, TMBusDecodePass& pass);
void DecodeEnergyCounter(const TMBusRecordBytes& r, TMBusDecodePass& pass);
// Codes 86 to 90.
void DecodeDateTime(const TMBusRecordBytes& r, uint8_t code, DecodedValueStore& s);

// Identity and settings (MBusIdentity.cpp).
void DecodeTariffInfo(const TMBusRecordBytes& r, TMBusDecodePass& pass);
void DecodeInterfaceVersion(const TMBusRecordBytes& r, TMBusDecodePass& pass);
void DecodeDeviceInfo(const TMBusRecordBytes& r, TMBusDecodePass& pass);
void DecodeSetting(const TMBusRecordBytes& r, uint8_t code, TMBusDecodePass& pass);
