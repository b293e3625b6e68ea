#include "display/platform/memory_context.h"

#include <atomic>
#include <new>

namespace platform {

struct MemoryContext {
    Bitmap* selected = nullptr;
};

namespace {

std::atomic<int> liveContexts{0};

}  // namespace

MemoryContext* CreateMemoryContext() {
    MemoryContext* context = new (std::nothrow) MemoryContext;
    if (context != nullptr) ++liveContexts;
    return context;
}

bool DeleteMemoryContext(MemoryContext* context) {
    if (context == nullptr) return false;
    delete context;
    --liveContexts;
    return true;
}

Bitmap* SelectBitmap(MemoryContext* context, Bitmap* bitmap) {
    if (context == nullptr) return nullptr;
    Bitmap* displaced = context->selected;
    context->selected = bitmap;
    return displaced;
}

Bitmap* SelectedBitmap(const MemoryContext* context) { return context == nullptr ? nullptr : context->selected; }

int LiveMemoryContextCount() { return liveContexts.load(); }

}  // namespace platform
