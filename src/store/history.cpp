#include "store/history.h"

namespace ovra {

void historyInit(HistoryStore& store, std::wstring path, std::wstring oldPath) {
    store.path = std::move(path);
    store.oldPath = std::move(oldPath);
}

void historyAppend(HistoryStore& store, const Sample& sample) {
    store.buffer[store.head] = sample;
    store.head = (store.head + 1) % historyCapacity;
    if (store.count < historyCapacity) ++store.count;
    historyBufferRow(store, sample);
}

const Sample& historyAt(const HistoryStore& store, uint64_t i) {
    const uint64_t oldest = (store.head + historyCapacity - store.count) % historyCapacity;
    return store.buffer[(oldest + i) % historyCapacity];
}

void historyClearRing(HistoryStore& store) {
    store.head = 0;
    store.count = 0;
}

} // namespace ovra
