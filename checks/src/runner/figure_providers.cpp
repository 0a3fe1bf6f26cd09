#include "runner/figures.h"

namespace checks::runner {

// One line per provider; each lives in a file of its own.
std::vector<Figure> SlowestChecksFigure(const RunSummary& run);
std::vector<Figure> TimingFigures(const RunSummary& run);

const std::vector<FigureProvider<RunSummary>>& CheckFigureProviders()
{
    static const std::vector<FigureProvider<RunSummary>> providers = {
        &SlowestChecksFigure,
        &TimingFigures,
    };
    return providers;
}

}  // namespace checks::runner
