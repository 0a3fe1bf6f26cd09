#include "des_hash_tests/random_dword.h"

#include "runtime/runtime.h"

std::uint32_t RandomDword()
{
    // Two statements so the low half is certainly drawn first.
    std::uint32_t value = static_cast<std::uint32_t>(crt::rand());
    value |= static_cast<std::uint32_t>(crt::rand()) << 16;
    return value;
}
