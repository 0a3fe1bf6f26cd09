#include "harness/below_base.h"

#include <cstddef>

namespace harness {

bool IsBelow(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b)
{
    for (std::size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i])
            return a[i] < b[i];
    }
    return false;
}

bool KeepBelowBase(std::span<std::uint32_t> data, std::span<const std::uint32_t> base)
{
    std::size_t top = base.size();
    while (top > 0 && base[top - 1] == 0)
        --top;
    if (top == 0 || (top == 1 && base[0] == 1))
        return false;
    if (IsBelow(data, base))
        return true;
    const std::size_t topIndex = top - 1;
    for (std::size_t i = topIndex + 1; i < data.size(); ++i)
        data[i] = 0;
    if (data[topIndex] >= base[topIndex])
        data[topIndex] = base[topIndex] - 1;
    return true;
}

}  // namespace harness
