#include "loggers/LoggerCsvWriter.h"

#include <QFile>
#include <QIODevice>
#include <string>

namespace {

// The lines go out in blocks of about this size: few writes, little memory.
constexpr size_t kBlockBytes = 256 * 1024;

bool WriteAll(QIODevice& out, std::string_view bytes)
{
    if (bytes.empty()) return true;
    const qint64 n = out.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return n == static_cast<qint64>(bytes.size());
}

// Hands the lines that appendLine makes, record by record, to the device in
// blocks; stops at the first record whose line is refused.
template <typename Store, typename AppendLine>
bool WriteLines(QIODevice& out, std::string_view header, const Store& records, size_t count, AppendLine appendLine)
{
    std::string block;
    block.reserve(kBlockBytes + 1024);
    block.append(header);
    for (size_t k = 0; k < count; ++k) {
        if (!appendLine(block, records[k])) break;
        if (block.size() >= kBlockBytes) {
            if (!WriteAll(out, block)) return false;
            block.clear();
        }
    }
    return WriteAll(out, block);
}

} // namespace

bool WriteDemandCsv(QIODevice& out, std::string_view header, const DemandRecordStore& records, size_t count,
                    DemandCsvLayout layout, char separator)
{
    return WriteLines(out, header, records, count, [layout, separator](std::string& block, const CDemandLogger& r) {
        return AppendDemandCsvLine(block, r, layout, separator);
    });
}

bool WriteCertifiedCsv(QIODevice& out, std::string_view header, const CertifiedRecordStore& records, size_t count)
{
    return WriteLines(out, header, records, count,
                      [](std::string& block, const CCertifiedLogger& r) { return AppendCertifiedCsvLine(block, r); });
}

bool WriteEventsCsv(QIODevice& out, std::string_view header, const EventRecordStore& records, size_t count)
{
    return WriteLines(out, header, records, count, [](std::string& block, const EventRecord& r) {
        AppendEventsCsvLine(block, r);
        return true;
    });
}

bool WriteCsvFile(const QString& path, const std::function<bool(QIODevice&)>& writer)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Truncate)) return false;
    // The device's own buffer would take a write that the disk then refuses:
    // only the flush says whether the bytes reached the file.
    bool whole = writer(file) && file.flush();
    file.close();
    whole = whole && file.error() == QFileDevice::NoError;
    return whole;
}
