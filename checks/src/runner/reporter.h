// A report format: one class that renders a whole run from its model, the
// same model every other format renders. The checks' formats are listed in
// report_formats.cpp, the bench's in bench/bench_formats.cpp: a new format
// is one reporter file and one line there.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace checks::runner {

template <class Model>
class Reporter {
public:
    virtual ~Reporter() = default;
    // The whole document; it is valid (UTF-8, and JSON, XML or HTML as the
    // format is) whatever bytes the model holds.
    virtual std::string Render(const Model& model) const = 0;
};

template <class Model>
struct ReportFormat {
    const char* name;  // the option: "json" is --json FILE
    const char* help;  // one line for --help
    std::unique_ptr<Reporter<Model>> (*make)();
};

template <class Model, class Concrete>
std::unique_ptr<Reporter<Model>> Make()
{
    return std::make_unique<Concrete>();
}

template <class Model>
const ReportFormat<Model>* FindFormat(const std::vector<ReportFormat<Model>>& formats, const std::string& name)
{
    for (const ReportFormat<Model>& format : formats)
        if (name == format.name)
            return &format;
    return nullptr;
}

}  // namespace checks::runner
