// The CSV files of the logger reads, written when a read's result is handled:
// the file chosen at the read command, the device as the window shows it,
// and a message whenever the file is not whole.
#include <QCheckBox>
#include <QIODevice>
#include <QMessageBox>
#include <algorithm>

#include "app/MainForm.h"
#include "app/Text.h"
#include "core/LoggerCsv.h"
#include "loggers/LoggerCsvWriter.h"
#include "loggers/LoggerHandlers.h"

namespace {

size_t Bounded(int count, size_t capacity) { return std::min(static_cast<size_t>(std::max(0, count)), capacity); }

CsvDeviceInfo DeviceInfo(const TMainForm& f)
{
    return {f.DeviceTimeDateText, f.DeviceTypeText, f.SerialNumberText, f.DeviceOptionsText};
}

std::string Header(const TMainForm& f, CsvLogger logger, DemandCsvLayout layout)
{
    return CsvHeaderBlock(logger, layout, f.Brand, f.Language, f.DeviceVariant, DeviceInfo(f));
}

bool Report(TMainForm& f, bool whole)
{
    if (!whole) {
        QMessageBox box(QMessageBox::Warning, Txt(TxtError, f.Language), Txt(TxtFileNotSaved, f.Language),
                        QMessageBox::Ok, &f);
        box.exec();
    }
    return whole;
}

} // namespace

bool TMainForm::WriteDemandLoggerCsv()
{
    const DemandCsvLayout layout = DemandCsvLayoutFor(DeviceVariant, HasReactiveEnergy != 0);
    // The records of this read, as the grid counts them, on every transport:
    // the store keeps an earlier, longer read's records past them, and the
    // count box only says what was asked for.
    const int count = DeviceVariant == 2 ? RecordCount.load() : DemandItemCount.load();
    const std::string header = Header(*this, CsvLogger::Demand, layout);
    const char separator = CsvDecimalSeparator(Language);
    return Report(*this, WriteCsvFile(CsvTargetFile(*this, CsvLogger::Demand), [&](QIODevice& out) {
                      return WriteDemandCsv(out, header, DemandRecords, Bounded(count, DemandRecordCapacity), layout,
                                            separator);
                  }));
}

bool TMainForm::WriteCertifiedLoggerCsv()
{
    const std::string header = Header(*this, CsvLogger::Certified, DemandCsvLayout::ActiveOnly);
    const size_t count = Bounded(RecordCount, CertifiedRecordCapacity);
    return Report(*this, WriteCsvFile(CsvTargetFile(*this, CsvLogger::Certified), [&](QIODevice& out) {
                      return WriteCertifiedCsv(out, header, CertifiedRecords, count);
                  }));
}

bool TMainForm::WriteEventsLoggerCsv(size_t count)
{
    const std::string header = Header(*this, CsvLogger::Events, DemandCsvLayout::ActiveOnly);
    count = std::min(count, EventRecordCapacity);
    return Report(*this, WriteCsvFile(CsvTargetFile(*this, CsvLogger::Events), [&](QIODevice& out) {
                      return WriteEventsCsv(out, header, EventRecords, count);
                  }));
}
