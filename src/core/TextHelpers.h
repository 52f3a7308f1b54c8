#pragma once
// Small text helpers shared by the monitor, the decoders, the logger texts and
// the setup frames: hexadecimal bytes, blank removal, decimal separators.
#include <cstdint>
#include <string>
#include <string_view>

// Two upper-case hexadecimal digits: 10 -> "0A".
std::string ByteToHex(uint8_t value);

// The first two characters as a hexadecimal byte, high digit first. Decimal digit
// pairs give their BCD byte ("42" -> 0x42). Lower-case 'a'-'f' count like upper
// case; any other character, and a character missing from a short text, counts as
// digit 0. Nothing beyond the text's end is read.
uint8_t HexToByte(std::string_view text);

// A copy without any blank; other characters keep their order.
std::string RemoveSpaces(std::string_view text);

// Language 0 turns ',' into '.', language 1 turns '.' into ','; any other value
// keeps the separators. Then only '0'-'9', ',' and '.' are kept.
std::string LocalizeNumber(std::string_view text, int language);
