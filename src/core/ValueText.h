#pragma once
// Small text pieces shared by the answer decoders: two-digit fields, a value
// text read back as a number, fixed-point numbers and Latin-1 bytes.
#include <cstdint>
#include <string>

// 0 English, 1 German; anything else counts as English.
inline int LanguageIndex(int language) { return language == 1 ? 1 : 0; }

// "07" for 7, "12" for 12.
std::string Pad2(unsigned value);

// The number of a value text (" 231.2 V" gives 231.2); 0 when there is none.
// Value texts always use '.'.
double ParseValueText(const std::string& text);

// value with the given count of decimals, never "-0".
std::string FixedText(double value, int decimals);

// Appends one byte of a Latin-1 field as UTF-8.
void AppendLatin1(std::string& text, uint8_t c);
