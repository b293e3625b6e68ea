// Everything that decides what a panel's draw list draws, gathered as plain bytes. A panel keeps the
// key of its last presented frame; an equal key means the frame is still right and is not drawn again.
// Only arithmetic values and arrays of them go in, so no padding byte ever takes part in a comparison.
#pragma once

#include <cstddef>
#include <type_traits>
#include <vector>

class CDrawingKey {
public:
    template <typename T>
    void Append(const T& value) {
        static_assert(std::is_arithmetic_v<T> || std::is_pointer_v<T>, "append structures field by field");
        AppendBytes(&value, sizeof value);
    }
    // Raw memory of values laid out without padding, such as an array of doubles.
    void AppendBytes(const void* data, std::size_t size);

    void Clear() { bytes.clear(); }
    bool operator==(const CDrawingKey& other) const { return bytes == other.bytes; }
    void Swap(CDrawingKey& other) noexcept { bytes.swap(other.bytes); }

private:
    // Cleared, never shrunk: after the first render a panel's keys allocate nothing.
    std::vector<unsigned char> bytes;
};
