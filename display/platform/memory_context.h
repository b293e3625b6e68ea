// A memory context: a drawing target that is not a window, into which one bitmap at a time is selected.
// Drawing on the context lands in the selected bitmap's pixels. A new context has no bitmap selected.
#pragma once

namespace platform {

struct Bitmap;
struct MemoryContext;

MemoryContext* CreateMemoryContext();

// Deletes the context; the bitmap selected into it, if any, is left alone.
bool DeleteMemoryContext(MemoryContext* context);

// Selects bitmap (null selects nothing) and returns the bitmap it displaced, null when none was selected.
Bitmap* SelectBitmap(MemoryContext* context, Bitmap* bitmap);

// The bitmap now selected, or null.
Bitmap* SelectedBitmap(const MemoryContext* context);

// Contexts made and not yet deleted, for checks that the pool neither leaks nor over-deletes.
int LiveMemoryContextCount();

}  // namespace platform
