#pragma once
// The PS-field selection: 83 numbered fields of the meter as an 11-byte bit
// mask (field n is bit (n-1)%8 of byte (n-1)/8), followed on the wire and in a
// ".psf" file by a twelfth byte 0x00.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

inline constexpr int PsFieldCount = 83;
inline constexpr size_t PsFieldFileSize = 12;
using TPsFieldBytes = std::array<uint8_t, PsFieldFileSize>;

// Byte i of the mask from the checked state of fields 1..83 (checked[n-1]);
// 0 for every i above 10.
uint8_t PsFieldMaskByte(std::span<const bool, PsFieldCount> checked, int i);
TPsFieldBytes PsFieldBytes(std::span<const bool, PsFieldCount> checked);
// Whether field n (1..83) is set in the mask; byte 11 and bits 3-7 of byte 10
// name no field.
bool PsFieldSelected(const TPsFieldBytes& bytes, int n);

// The SND_UD record that sends a mask: 0D FD 0B 0C and the twelve bytes.
std::array<uint8_t, 16> PsFieldRecord(const TPsFieldBytes& bytes);

// A ".psf" file's content: its first twelve bytes, or nothing when it holds
// fewer. Longer files are read by their first twelve bytes.
std::optional<TPsFieldBytes> ParsePsFieldFile(std::span<const uint8_t> content);
