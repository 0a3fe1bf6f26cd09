// Pictures an HTML report shows above its tables. A provider draws its
// figures from the run model alone; a suite that has something to show (the
// time each check took, timings, memory) adds one provider file and one line
// in figure_providers.cpp (checks) or bench/bench_figures.cpp (bench), and
// touches no other provider.
#pragma once

#include "runner/run_model.h"

#include <string>
#include <vector>

namespace checks::runner {

struct Figure {
    std::string title;    // plain text
    std::string svg;      // an <svg> element, text in it escaped
    std::string caption;  // plain text: how to read it
};

template <class Model>
using FigureProvider = std::vector<Figure> (*)(const Model& model);

const std::vector<FigureProvider<RunSummary>>& CheckFigureProviders();

// Every provider's figures as HTML, in the providers' order.
template <class Model>
std::string FiguresHtml(const std::vector<FigureProvider<Model>>& providers, const Model& model);

}  // namespace checks::runner

#include "runner/html_page.h"

template <class Model>
std::string checks::runner::FiguresHtml(const std::vector<FigureProvider<Model>>& providers, const Model& model)
{
    std::string out;
    for (const FigureProvider<Model> provider : providers)
        for (const Figure& figure : provider(model))
            if (!figure.svg.empty())
                out += HtmlFigure(figure.title, figure.svg, figure.caption);
    return out;
}
