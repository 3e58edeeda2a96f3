#include "store/history.h"

#include <cmath>
#include <cstdio>

#include "sources/format.h"

// The CSV side of the history: the text of the rows, the write buffer and the
// joining of files for an export. The file operations are in history_csv_win.cpp.
namespace ovra {

namespace {

// C formatting rules whatever the user's locale: a full stop, no grouping.
void appendNumber(std::string& row, float value, int decimals) {
    row += ',';
    if (!std::isfinite(value)) return; // missing: the field stays empty
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%.*f", decimals, double(value));
    if (length <= 0 || length >= int(sizeof text)) return;
    for (int i = 0; i < length; ++i) {
        // A C runtime switched to another locale would write its own radix character.
        if (text[i] == ',') text[i] = '.';
    }
    row.append(text, size_t(length));
}

// Drops the oldest rows until at most `limit` remain.
void keepNewestRows(HistoryStore& store, int32_t limit) {
    size_t cut = 0;
    while (store.pendingRows > limit) {
        const size_t end = store.writeBuffer.find('\n', cut);
        if (end == std::string::npos) break;
        cut = end + 1;
        --store.pendingRows;
    }
    store.writeBuffer.erase(0, cut);
    // The row whose beginning is on disk is gone: the fragment will get its line end.
    if (cut > 0) store.cutRowBytes = 0;
}

} // namespace

std::wstring formatLocalTime(const LocalTime& time) {
    return formatText(L"%04u-%02u-%02u %02u:%02u:%02u", unsigned(time.year), unsigned(time.month),
                      unsigned(time.day), unsigned(time.hour), unsigned(time.minute),
                      unsigned(time.second));
}

std::string csvRow(const std::string& timeField, const Sample& sample) {
    std::string row = timeField;
    appendNumber(row, sample.cpuPercent, 1);
    appendNumber(row, sample.ramPercent, 1);
    appendNumber(row, sample.downloadRate, 0);
    appendNumber(row, sample.uploadRate, 0);
    appendNumber(row, sample.diskReadRate, 0);
    appendNumber(row, sample.diskWriteRate, 0);
    appendNumber(row, sample.temperature, 1);
    row += "\r\n";
    return row;
}

void historyBufferRow(HistoryStore& store, const Sample& sample) {
    if (!store.saving) return;
    store.writeBuffer += formatCsvRow(sample);
    ++store.pendingRows;
    ++store.rowsSinceFlush;
    keepNewestRows(store, historyMaxPendingRows);
    // Counted from the last attempt, so a file that stays locked is tried once a
    // batch, not on every tick.
    if (store.rowsSinceFlush >= historyFlushRows && !store.writeBuffer.empty()) historyFlush(store);
}

void historyRowsWritten(HistoryStore& store, uint64_t rowBytes, uint64_t fileBytes) {
    size_t whole = 0;
    for (;;) {
        const size_t end = store.writeBuffer.find('\n', whole);
        if (end == std::string::npos || end + 1 > rowBytes) break;
        whole = end + 1;
        --store.pendingRows;
    }
    store.writeBuffer.erase(0, whole);
    store.cutRowBytes = store.writeBuffer.empty() ? 0 : rowBytes - whole;
    store.cutFileBytes = fileBytes;
}

void historySetSaving(HistoryStore& store, bool on) {
    if (!on) historyFlush(store);
    store.saving = on;
}

std::string appendText(uint64_t fileBytes, char lastByte, const std::string& rows) {
    std::string text;
    text.reserve(rows.size() + sizeof csvHeader);
    if (fileBytes == 0)
        text = csvHeader;
    else if (lastByte != '\n')
        text = "\r\n"; // the fragment stays; the new rows start on their own line
    text += rows;
    return text;
}

void appendFileRows(std::string& output, const std::string& content) {
    const size_t firstLineEnd = content.find('\n');
    if (firstLineEnd == std::string::npos) return;
    const size_t before = output.size();
    output.append(content, firstLineEnd + 1, std::string::npos);
    if (output.size() > before && output.back() != '\n') output += "\r\n";
}

} // namespace ovra
