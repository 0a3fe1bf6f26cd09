#include "bench/bench_formats.h"

namespace bench {
namespace {

class BenchJsonReporter final : public checks::runner::Reporter<BenchRun> {
public:
    std::string Render(const BenchRun& run) const override { return BenchJson(run); }
};

}  // namespace

std::unique_ptr<checks::runner::Reporter<BenchRun>> MakeBenchJsonReporter()
{
    return std::make_unique<BenchJsonReporter>();
}

}  // namespace bench
