// The runtime generator's values predicted from first principles, so tests
// can say which values a dialog must have drawn for a given seed.
#pragma once

#include <cstdint>
#include <vector>

class LcgReference {
public:
    explicit LcgReference(std::uint32_t seed) : m_state(seed) {}

    int Next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFFu);
    }
    void Skip(int count)
    {
        for (int i = 0; i < count; ++i)
            Next();
    }

private:
    std::uint32_t m_state;
};
