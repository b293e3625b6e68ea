#include "display/drawing_key.h"

#include <cstring>

void CDrawingKey::AppendBytes(const void* data, std::size_t size) {
    const std::size_t at = bytes.size();
    bytes.resize(at + size);
    if (size > 0) std::memcpy(bytes.data() + at, data, size);
}
