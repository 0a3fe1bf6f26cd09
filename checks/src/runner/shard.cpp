#include "runner/shard.h"

#include <algorithm>
#include <numeric>

namespace checks::runner {

std::vector<std::size_t> ShardPositions(const std::vector<std::string>& names, const std::vector<double>& seconds,
                                        unsigned index, unsigned count)
{
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return seconds[a] != seconds[b] ? seconds[a] > seconds[b] : names[a] < names[b];
    });
    std::vector<double> load(count, 0.0);
    std::vector<std::size_t> mine;
    for (const std::size_t at : order) {
        const auto part = static_cast<unsigned>(std::min_element(load.begin(), load.end()) - load.begin());
        load[part] += seconds[at];
        if (part + 1 == index)
            mine.push_back(at);
    }
    std::sort(mine.begin(), mine.end());
    return mine;
}

}  // namespace checks::runner
