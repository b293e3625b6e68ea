// Up to four idle memory contexts kept for reuse, so that a capture does not make and delete one each
// time. Slots are filled and emptied only by atomic exchanges; a context given back always lands in
// slot 0 and pushes the others on, and the one pushed out of the last slot is deleted.
#pragma once

#include <atomic>

#include "display/platform/bitmap.h"

class CMemoryDCPool {
public:
    static constexpr int kSlotCount = 4;

    CMemoryDCPool() = default;
    CMemoryDCPool(const CMemoryDCPool&) = delete;
    CMemoryDCPool& operator=(const CMemoryDCPool&) = delete;
    // Deletes every context still held.
    ~CMemoryDCPool();

    // The one pool every image borrows from; its contexts are deleted when the process exits.
    static CMemoryDCPool& Instance();

    // A held context, taken from the lowest slot that has one, or a new context when all are empty.
    platform::MemoryContext* Take();
    void GiveBack(platform::MemoryContext* context);

    // What slot index holds now, null when empty; for inspection only.
    platform::MemoryContext* Slot(int index) const;

private:
    std::atomic<platform::MemoryContext*> slots[kSlotCount] = {};
};
