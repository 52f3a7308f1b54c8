#pragma once
// The tool's message table: every text the user sees, in English and German,
// the brand texts, the device type names and the shared colours. Built into the
// program as constant data; nothing writes it while the program runs.
#include <array>
#include <cstdint>

// [0] English, [1] German; indexed by the window's Language.
using LangText = std::array<const char*, 2>;
// [0] empty, [1] brand 1, [2] brand 2; indexed by the window's Brand.
using BrandText = std::array<const char*, 3>;
// Indexed by the device-type digit of the identification answer (0 to 5).
using DeviceTypeNames = std::array<const char*, 6>;

// Colours as 0x00BBGGRR values.
constexpr uint32_t ClrButtonFace = 0x72B148;
constexpr uint32_t ClrText = 0xFEFEFE;
constexpr uint32_t ClrBackground = 0x332629;
extern const BrandText TxtToolTitle;
