#pragma once
// The number of items a logger read asks for, as its count box gives it.
#include <string>
#include <string_view>

// The text cut to maxChars characters; "10" when it is then empty, begins
// with '0' or is not a whole number; the cap when its number is above it.
std::string CleanItemCount(std::string_view text, size_t maxChars, int cap);
