#include "core/ItemCount.h"

#include <charconv>

namespace {
constexpr std::string_view kDefaultCount = "10";
}

std::string CleanItemCount(std::string_view text, size_t maxChars, int cap)
{
    text = text.substr(0, maxChars);
    if (text.empty() || text.front() == '0') return std::string(kDefaultCount);
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < 0) return std::string(kDefaultCount);
    if (number > cap) return std::to_string(cap);
    return std::string(text);
}
