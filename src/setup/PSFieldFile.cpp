#include "setup/PSFieldFile.h"

#include <QFile>
#include <QFileInfo>

bool WritePsFieldBytes(QIODevice& device, const TPsFieldBytes& bytes)
{
    const auto size = static_cast<qint64>(bytes.size());
    return device.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

bool WritePsFieldFile(const QString& name, const TPsFieldBytes& bytes)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const bool written = WritePsFieldBytes(file, bytes) && file.flush();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

std::optional<TPsFieldBytes> ReadPsFieldFile(const QString& name)
{
    if (QFileInfo(name).isDir()) return std::nullopt;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray head = file.read(static_cast<qint64>(PsFieldFileSize));
    return ParsePsFieldFile(std::span(reinterpret_cast<const uint8_t*>(head.constData()),
                                      static_cast<size_t>(head.size())));
}
