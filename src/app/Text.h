#pragma once
// Turning message-table entries into the QStrings that widgets show.
#include <QColor>
#include <QString>
#include <cstdint>

#include "core/MessageTable.h"

// Out-of-range indices give an empty text instead of reading past the table.
inline QString Txt(const LangText& t, int language)
{
    return (language == 0 || language == 1) ? QString::fromUtf8(t[language]) : QString();
}
inline QString Txt(const BrandText& t, int brand)
{
    return (brand >= 0 && brand <= 2) ? QString::fromUtf8(t[brand]) : QString();
}
inline QString Txt(const char* single) { return QString::fromUtf8(single); }

// A 0x00BBGGRR colour value as QColor.
inline QColor ToQColor(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
