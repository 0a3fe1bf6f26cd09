#include "common/fill_random.h"

#include "runtime/runtime.h"

void FillRandom(std::uint32_t* words, int count)
{
    if (count <= 0 || !words)
        return;
    for (int i = 4 * count - 1; i >= 0; --i) {
        const auto value = static_cast<std::uint32_t>(crt::rand() & 0xFF);
        const int shift = 8 * (i % 4);
        words[i / 4] = (words[i / 4] & ~(0xFFu << shift)) | (value << shift);
    }
}
