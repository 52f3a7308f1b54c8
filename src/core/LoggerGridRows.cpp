#include "core/LoggerGridRows.h"

#include <charconv>
#include <cstring>

namespace {

// Rough sizes of a row's texts, so that a fill allocates once.
constexpr size_t kDemandRowBytes = 104;
constexpr size_t kEventsRowBytes = 64;
constexpr size_t kCertifiedRowBytes = 72;

constexpr std::string_view kMinutes = " min.";

} // namespace

void GridRowTexts::Clear()
{
    // Frees the memory too: an idle tool holds no rows.
    std::string().swap(text_);
    std::vector<uint32_t>().swap(rowStarts_);
}

std::string_view GridRowTexts::Cell(size_t row, int col) const
{
    if (row >= rowStarts_.size() || col < 0) return {};
    size_t pos = rowStarts_[row];
    const size_t end = row + 1 < rowStarts_.size() ? rowStarts_[row + 1] : text_.size();
    for (int c = 0; c < col; ++c) {
        const void* hit = std::memchr(text_.data() + pos, kCellEnd, end - pos);
        if (!hit) return {};
        pos = static_cast<size_t>(static_cast<const char*>(hit) - text_.data()) + 1;
    }
    const void* hit = std::memchr(text_.data() + pos, kCellEnd, end - pos);
    const size_t cellEnd = hit ? static_cast<size_t>(static_cast<const char*>(hit) - text_.data()) : end;
    return std::string_view(text_).substr(pos, cellEnd - pos);
}

void GridRowTexts::Reserve(size_t rows, size_t bytes)
{
    rowStarts_.reserve(rows);
    text_.reserve(bytes);
}

void GridRowTexts::BeginRow() { rowStarts_.push_back(static_cast<uint32_t>(text_.size())); }

void GridRowTexts::AddCell(std::string_view a, std::string_view b, std::string_view c)
{
    text_ += a;
    text_ += b;
    text_ += c;
    text_.push_back(kCellEnd);
}

void GridRowTexts::AddNumberCell(size_t number)
{
    char digits[24];
    digits[0] = ' ';
    const auto result = std::to_chars(digits + 1, digits + sizeof digits, number);
    AddCell(std::string_view(digits, static_cast<size_t>(result.ptr - digits)));
}

size_t FillDemandGridRows(GridRowTexts& rows, const DemandRecordStore& records, size_t count, bool recordNumbers,
                          bool reactiveEnergies)
{
    rows.Clear();
    rows.Reserve(count, count * kDemandRowBytes);
    size_t k = 0;
    for (; k < count; ++k) {
        const CDemandLogger& r = records[k];
        if (r.Date.empty()) break;
        rows.BeginRow();
        rows.AddNumberCell(k);
        rows.AddCell(r.Date);
        rows.AddCell(r.Time);
        if (recordNumbers)
            rows.AddCell(" ", r.RecordNo);
        else
            rows.AddCell(" ", r.Period, kMinutes);
        rows.AddCell(r.Tariff);
        rows.AddCell(r.EpOut, r.EpUnit);
        rows.AddCell(r.EpIn, r.EpUnit);
        if (reactiveEnergies) {
            rows.AddCell(r.EqOut, r.EqUnit);
            rows.AddCell(r.EqIn, r.EqUnit);
        } else {
            rows.AddCell({});
            rows.AddCell({});
        }
        rows.AddCell(r.Status);
    }
    return k;
}

size_t FillEventsGridRows(GridRowTexts& rows, const EventRecordStore& records, size_t count)
{
    rows.Clear();
    rows.Reserve(count, count * kEventsRowBytes);
    size_t k = 0;
    for (; k < count; ++k) {
        const EventRecord& r = records[k];
        if (r.Date.empty()) break;
        rows.BeginRow();
        rows.AddNumberCell(k);
        rows.AddCell(r.Date);
        rows.AddCell(r.Time);
        rows.AddCell(r.EventCode);
        rows.AddCell(r.Parameters);
    }
    return k;
}

size_t FillCertifiedGridRows(GridRowTexts& rows, const CertifiedRecordStore& records, size_t count)
{
    rows.Clear();
    rows.Reserve(count, count * kCertifiedRowBytes);
    size_t k = 0;
    for (; k < count; ++k) {
        const CCertifiedLogger& r = records[k];
        if (r.EntryId.empty()) break;
        rows.BeginRow();
        rows.AddNumberCell(k);
        rows.AddCell(" ", r.EntryId);
        rows.AddCell(r.OldTime);
        rows.AddCell(r.NewTime);
        rows.AddCell(" ", r.Event);
        rows.AddCell(" ", r.Checksum);
    }
    return k;
}
