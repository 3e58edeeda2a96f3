#include "store/history.h"

// The CSV side of the history. Rows are not written yet: saving only records the
// user's choice until the CSV writer is built.
namespace ovra {

void historyBufferRow(HistoryStore&, const Sample&) {}

void historyFlush(HistoryStore&) {}

void historySetSaving(HistoryStore& store, bool on) {
    if (!on) historyFlush(store);
    store.saving = on;
}

} // namespace ovra
