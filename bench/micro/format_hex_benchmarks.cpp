// FormatHex at the sizes the programs render: a 512-bit number, a 4096-bit
// base, and the largest key's worth of words.
#include "common/hex_format.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace {

void FormatHexWords(benchmark::State& state)
{
    std::vector<std::uint32_t> words(static_cast<std::size_t>(state.range(0)));
    std::uint32_t value = 0xC0FFEE11u;
    for (auto& word : words)
        word = value = value * 69069u + 1u;
    for (auto _ : state) {
        CString text = FormatHex(words.data(), static_cast<int>(words.size()));
        benchmark::DoNotOptimize(text);
    }
}

}  // namespace

BENCHMARK(FormatHexWords)->Name("format_hex")->Arg(16)->Arg(128)->Arg(256)->UseRealTime();
