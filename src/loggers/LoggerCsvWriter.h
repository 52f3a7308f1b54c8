#pragma once
// Writing the logger CSV files: each writer puts the header block and the data
// lines of a store on a device and says whether every byte went out. Asking
// for the file and telling the user stay with the result actions.
#include <QString>
#include <functional>
#include <string_view>

#include "core/LoggerCsv.h"
#include "core/LoggerStores.h"

class QIODevice;

// Records 0 to count - 1; the demand and certified data end early at the
// first empty record.
bool WriteDemandCsv(QIODevice& out, std::string_view header, const DemandRecordStore& records, size_t count,
                    DemandCsvLayout layout, char separator);
bool WriteCertifiedCsv(QIODevice& out, std::string_view header, const CertifiedRecordStore& records, size_t count);
bool WriteEventsCsv(QIODevice& out, std::string_view header, const EventRecordStore& records, size_t count);

// Creates the file anew (an existing one is replaced) and hands it to the
// writer. False when the file cannot be created, the writer fails, or the
// bytes do not all reach the file.
bool WriteCsvFile(const QString& path, const std::function<bool(QIODevice&)>& writer);
